#pragma once

// The render pass shared by every view of a scene, on screen or off it. Its
// callers have made their OpenGL context current.

#include "Types3d.h"

class TCustomScene3D;

// The correction that keeps a w x h pixel picture's aspect: the identity, or
// a squeeze of the longer side so that a cube is drawn square.
TMatrix3D ProportionalCorrection(int width, int height);

// The state a new context needs before the first scene is drawn in it.
void OGL_PrepareContext();

// Clears to background and draws scene (none: only the clear) through its
// projection followed by correction.
void OGL_PaintScene(TCustomScene3D *scene, TColor background, const TMatrix3D &correction);
