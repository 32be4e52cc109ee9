#pragma once

#include "Object3d.h"

class GLUquadric;

// A sphere about the local origin, drawn with a GLU quadric that exists
// exactly while the sphere is connected.
class TSphere3D : public TObject3D {
public:
    TSphere3D();
    // Takes the quadric unlike the base, and does not run Update: the
    // container or the caller refreshes the absolute matrix.
    void OGL_Connect() override;
    void OGL_Disconnect() override;
    // Also sets the polygon mode (filled or wire frame) for what follows.
    void OGL_Paint() override;
    ~TSphere3D() override;
    // Redraws whatever the argument.
    virtual void ApplyChanges(int changes);

    // Tessellation given to spheres created from now on.
    static int DefSlices;
    static int DefStacks;

    TRGBA Color = MakeRGBA(128, 128, 128, 255);
    double Radius = 0.9;
    int Slices;
    int Stacks;
    bool Solid = true;

    bool HasQuadric() const { return Quadric != nullptr; }

private:
    GLUquadric *Quadric = nullptr;
};
