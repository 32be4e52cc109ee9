#pragma once

#include "Types3d.h"

#include <vector>

// The geometry behind the 3D page: how a mouse drag or a wheel step changes
// the view. Pure functions, so that the window only forwards its input here.

enum class DragMode { Rotate, MoveXY, MoveZ };

// The matrices a drag of (dx, dy) pixels multiplies into the view, in order.
// The drag is measured against the main window's outer size (width, height)
// and shifts scale with the box size (metres): a drag across the whole
// window turns the view by about one full turn or shifts it by one box edge.
std::vector<TMatrix3D> DragMatrices(DragMode mode, int dx, int dy, int windowWidth, int windowHeight,
                                    const TXYZ &boxSize);

// The zoom of one wheel step: a uniform scaling by 1 + 0.001 * delta, so one
// notch (delta 120) enlarges by 1.12 and the opposite notch shrinks by 0.88.
TMatrix3D WheelZoomMatrix(int wheelDelta);
