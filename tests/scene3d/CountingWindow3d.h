#pragma once

#include "Window3d.h"

// A view control that counts its render passes.
class TCountingWindow3D : public TWindow3D {
public:
    int Paints = 0;

protected:
    void OGL_Paint() override
    {
        ++Paints;
        TWindow3D::OGL_Paint();
    }
};
