#pragma once

#include "Movieoptions.h"
#include "Types3d.h"

// The view transform of the 3D scene that a MovieView describes, as the
// window's drags build it: the turn about the vertical axis first, then the
// tilt, then the zoom.
TMatrix3D ViewMatrixOf(const MovieView &view);

// The view of a view transform that turns and zooms without a roll (as
// ViewMatrixOf makes them), for example the window's, so that a movie can be
// made of what the window showed. Of a transform with a roll or a shift only
// the turn about the vertical axis, the tilt and the zoom are kept.
MovieView MovieViewOf(const TMatrix3D &view);
