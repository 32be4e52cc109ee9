#pragma once

#include "BrownianNoise.h"
#include "Lib3d.h"

#include <array>
#include <cstddef>
#include <cstdint>

// The free step of the viscous model for a batch of rods: each moved by its
// own thermal noise alone, before any contact, and checked against the box
// and the bacterium. The rods are held in columns so that the arithmetic of
// the whole batch runs in vectors.
struct ThermalMoveBatch {
    using Column = std::array<double, kNoiseBatch>;

    // The bodies' ids, by which their noise is drawn.
    std::array<std::uint32_t, kNoiseBatch> Ids;
    // Centre and unit axis, in and out; half the length (m).
    Column CenterX, CenterY, CenterZ;
    Column AxisX, AxisY, AxisZ;
    Column HalfLength;
    // Per-step noise amplitudes: along and across the axis (m) and of the
    // rotation (rad).
    Column AlongNoise, AcrossNoise, RotationNoise;
    // Mobilities along and across the axis and of the rotation, for the
    // walls.
    Column AlongMobility, AcrossMobility, RotationMobility;
    // Out: the pointed end after the move; 1 where the rod is done with the
    // walls (both ends lie in the box, or it has been pushed in), else 0; 1
    // where an end lies in the sphere.
    Column PointedX, PointedY, PointedZ;
    Column WallsDone, InSphere;

    // Rod i at rest at the origin, along x, without length or noise, of unit
    // mobilities: what the lanes of a batch that is not full hold, all of
    // whose arithmetic stays finite.
    void Rest(std::size_t i);
};

// The box [Lower, Upper] and the bacterium's sphere (radius 0: none).
struct ThermalMoveBounds {
    CVector Lower, Upper;
    CVector SphereCenter;
    double SphereRadius = 0.0;
};

// Moves every rod of the batch in step `step` with the world's noise key:
// the centre by the noise along and across the axis, the axis by the exact
// rotation through the noise across it; then finds its ends. A rod's move
// depends on its own columns and id alone.
void MoveByThermalNoise(ThermalMoveBatch &batch, const ThermalMoveBounds &bounds, std::uint32_t key,
                        std::uint64_t step);
