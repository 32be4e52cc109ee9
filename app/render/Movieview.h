#pragma once

#include "Movieoptions.h"
#include "Types3d.h"

// The view transform of the 3D scene that a MovieView describes, as the
// window's drags build it: the turn about the vertical axis first, then the
// tilt, then the zoom.
TMatrix3D ViewMatrixOf(const MovieView &view);
