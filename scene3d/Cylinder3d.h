#pragma once

#include "Object3d.h"

class GLUquadric;

// An open tube from z = 0 to z = Height along the local z axis, drawn with a
// GLU quadric that exists exactly while the cylinder is connected. It sets no
// polygon mode and is drawn in the one the last sphere left.
class TCylinder3D : public TObject3D {
public:
    TCylinder3D();
    void OGL_Connect() override;
    void OGL_Disconnect() override;
    void OGL_Paint() override;
    ~TCylinder3D() override;
    // Redraws when changes is not 0.
    virtual void ApplyChanges(int changes);

    static int DefSlices;
    static int DefStacks;

    TRGBA Color = MakeRGBA(128, 128, 128, 255);
    double Radius = 0.9;
    double Height = 1.0;
    int Slices;
    int Stacks;

    bool HasQuadric() const { return Quadric != nullptr; }

private:
    GLUquadric *Quadric = nullptr;
};
