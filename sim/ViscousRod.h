#pragma once

#include "FixedMath.h"
#include "Lib3d.h"
#include "Solidfilament.h"

#include <algorithm>
#include <cmath>

// A filament as the viscous model moves it, and the exact relaxation of a
// contact: the pieces shared by the wall and bacterium contacts.

// The mobilities and per-step noise of a rod of one length.
struct RodMotion {
    double AlongMobility = 0.0;    // 1/gamma_parallel, m/(N s)
    double AcrossMobility = 0.0;   // 1/gamma_perpendicular, m/(N s)
    double RotationMobility = 0.0; // 1/gamma_rotation, 1/(N m s)
    double AlongNoise = 0.0;       // sqrt(2 kT dt / gamma_parallel), m
    double AcrossNoise = 0.0;      // m
    double RotationNoise = 0.0;    // sqrt(2 kT dt / gamma_rotation), rad
};

// Beyond this k m dt the library's expm1 returns exactly -1: a contact
// relaxes by its whole depth.
inline constexpr double kWhollyRelaxed = 40.0;

// The distance that a contact of depth d (m) and summed mobility m
// (m/(N s)) relaxes by in dt seconds under a spring of stiffness k.
inline double RelaxedDistance(double depth, double stiffness, double mobility, double dt)
{
    // Most wall contacts of short filaments are wholly relaxed.
    const double rate = stiffness * mobility * dt;
    return rate > kWhollyRelaxed ? depth : -depth * std::expm1(-rate);
}

// std::max(x, 0.0) and std::clamp(x, -1.0, 1.0) by selects: a branch, even
// one the compiler makes of theirs, keeps a loop over many rods from
// running in vectors.
inline double AtLeastZero(double x)
{
    return fixedmath::Select(x < 0.0, 0.0, x);
}

inline double WithinOne(double x)
{
    return fixedmath::Select(x < -1.0, -1.0, fixedmath::Select(1.0 < x, 1.0, x));
}

inline CVector SelectVector(bool pick, const CVector &a, const CVector &b)
{
    return CVector(fixedmath::Select(pick, a.x, b.x), fixedmath::Select(pick, a.y, b.y),
                   fixedmath::Select(pick, a.z, b.z));
}

// A filament as the viscous model moves it: centre, unit axis from the
// pointed to the barbed end, half its length.
struct Rod {
    CVector Center;
    CVector Axis;
    double HalfLength;
    const RodMotion &Motion;

    // side -1: the pointed end; +1: the barbed end.
    CVector End(double side) const { return Center + (side * HalfLength) * Axis; }

    // The mobility of an end along the unit normal n.
    double EndMobility(const CVector &n) const
    {
        const double along = Dot(Axis, n);
        const double across = 1.0 - along * along;
        return along * along * Motion.AlongMobility + across * Motion.AcrossMobility +
               HalfLength * HalfLength * across * Motion.RotationMobility;
    }

    // How far the end on side a moves along the unit vector na per unit
    // impulse on the end on side b along nb: the translation na M nb and the
    // rotation, (arm_a x na) . (arm_b x nb) over the rotational drag.
    double EndCoupling(double a, const CVector &na, double b, const CVector &nb) const
    {
        const double alongA = Dot(Axis, na), alongB = Dot(Axis, nb);
        const double across = Dot(na, nb) - alongA * alongB;
        return alongA * alongB * Motion.AlongMobility +
               across * (Motion.AcrossMobility + a * b * HalfLength * HalfLength * Motion.RotationMobility);
    }

    // Moves the end on `side` by the impulse j (N s) along n: the centre by
    // j M n, the axis by the rotation that moves the end along n by its
    // rotational share, exactly on its circle (at most until the end
    // points along n). The turned axis is a unit vector up to rounding; the
    // next step's rotation normalises it. Written for a short chain of
    // dependent square roots and divisions (a rod in a corner is pushed
    // several times in a row), and without a branch.
    void PushEnd(double side, const CVector &n, double j)
    {
        const double along = Dot(Axis, n);
        Center += j * (along * Motion.AlongMobility * Axis + Motion.AcrossMobility * (n - along * Axis));
        const double cosine = side * along; // of the angle between the arm and n
        const double sineSquared = AtLeastZero(1.0 - cosine * cosine);
        const double sine = std::sqrt(sineSquared);
        // The rise of the end's cosine: the rotational share of the push
        // over the arm. An arm along n, or none, does not turn.
        const double rise = j * HalfLength * sineSquared * Motion.RotationMobility;
        const bool turns = (sine > 1e-12) & (rise > 0.0) & (HalfLength != 0.0);
        const double target = fixedmath::Select(1.0 < cosine + rise, 1.0, cosine + rise);
        // The arm turns toward n from the angle a (cos a = cosine) to the
        // angle b (cos b = target): by a - b, whose cosine and sine follow
        // from theirs without an angle.
        const double targetSine = std::sqrt(AtLeastZero(1.0 - target * target));
        const double turnCosine = cosine * target + sine * targetSine;
        const double turnSine = sine * target - cosine * targetSine;
        const CVector arm = side * Axis;
        // (n - cos a arm) / sin a is the unit vector toward n across the arm.
        const CVector turned =
            turnCosine * arm + (turnSine / fixedmath::Select(turns, sine, 1.0)) * (n - cosine * arm);
        Axis = SelectVector(turns, side * turned, Axis);
    }

    // Moves the pointed end by `pointed` and the barbed end by `barbed`
    // along the unit normal n, both at once (two contacts with one wall):
    // the centre by their mean, with the translation's mobility (j M n, j
    // the summed impulse), the axis turned in the plane of itself and n so
    // that each end moves exactly its own way.
    // Without a branch.
    void PushBothEnds(const CVector &n, double pointed, double barbed)
    {
        const double along = Dot(Axis, n);
        const double across = 1.0 - along * along;
        const double mean = 0.5 * (pointed + barbed);
        const double impulse = mean / (along * along * Motion.AlongMobility + across * Motion.AcrossMobility);
        Center +=
            impulse * (along * Motion.AlongMobility * Axis + Motion.AcrossMobility * (n - along * Axis));
        // A rod along n, or without length, only moves; its divisions are
        // by 1.
        const double acrossNow = std::sqrt(AtLeastZero(across));
        const bool turns = (acrossNow > 1e-12) & (HalfLength != 0.0);
        // The barbed end, at +h along the axis, moves by h (target - along)
        // from the turn, the pointed end by as much the other way.
        const double target = WithinOne(along + (barbed - mean) / fixedmath::Select(turns, HalfLength, 1.0));
        const double acrossThen = std::sqrt(AtLeastZero(1.0 - target * target));
        const CVector turned =
            target * n + (acrossThen / fixedmath::Select(turns, acrossNow, 1.0)) * (Axis - along * n);
        Axis = SelectVector(turns, turned, Axis);
    }
};

inline double HalfLengthOf(const CSolidFilament &f)
{
    return 0.5 * MONOMER_LENGTH * f.Monomers;
}
