#pragma once

#include "Container3d.h"

// The root of a scene: adds the user's view transform, the projection and a
// region of interest ("box") that is centred in the view.
class TCustomScene3D : public TContainer3D {
public:
    TCustomScene3D();

    TCustomWindow3D *GetWindow3D() const override = 0;
    void Update() override;
    // Local transform, then box centring, then the view.
    void UpdateMatrix() override;
    // Re-centres the box after the box or the projection changed.
    virtual void ApplyBox();
    virtual void MakeBoxNormalization();

    TMatrix3D ViewMatrix = IdentityMatrix();
    TMatrix3D ProjectionMatrix = IdentityMatrix();
    TXYZ BoxMin{0.0};
    TXYZ BoxMax{1.0};
    // Stretch the box to a cube when normalising. Off: the projection bounds
    // are chosen per box dimension by the user of the scene, and an equalised
    // box would distort anything that is not a cube.
    bool EqualizeBox = false;
    TMatrix3D BoxMatrix;
};
