#pragma once

#include "ThermalMoves.h"
#include "ViscousRod.h"

// The walls of the viscous model: an end beyond a wall of the box is a
// spring of stiffness k on its depth, relaxed over a step of dt by the exact
// overdamped solution.

// Pushes both ends of rod back into the box [lower, upper].
void ConfineRod(Rod &rod, const CVector &lower, const CVector &upper, double stiffness, double dt);

// The common case of ConfineRod over a batch of rods that left the box:
// a rod whose two ends lie beyond one wall and no other, each wholly
// relaxed, is pushed in by the one motion that ConfineRod finds for it, with
// the same result to the bit, and its lane gets WallsDone 1, its pointed end
// and InSphere; the other lanes get WallsDone 0, for ConfineRod.
void SettleOnOneWall(ThermalMoveBatch &batch, const ThermalMoveBounds &bounds, double stiffness, double dt);
