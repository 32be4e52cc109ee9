#pragma once

#include "Filament.h"
#include "Solid.h"

// The material of all filaments of a world; set when the world is rebuilt
// from the parameters, 0 until then.
struct CFilamentMaterial {
    double Radius = 0.0;        // rod radius [m]
    double LinearDensity = 0.0; // mass per length [kg/m]
};

// The material of a filament that belongs to no world.
inline constexpr CFilamentMaterial NO_FILAMENT_MATERIAL{};

// A filament as a rigid body: its mass and inertia follow from its length and
// its world's material, and every step carries its ends along with the body.
// Aligned to a cache line, so that what every mechanics step reads (the
// ends, the size and the id, first in the object) lies in one line.
class alignas(64) CSolidFilament final : public CFilament, public CAsymmetricSolid {
public:
    // Owned by the world, which outlives its filaments.
    const CFilamentMaterial *Material = &NO_FILAMENT_MATERIAL;

    bool Changed = true; // size or ends changed since the last refresh

    void UpdateMassProperties() override;
    void MarkChanged() override;
    double GetMass() const override;
    // The tensor about the centre of mass with the rod axis along z, whatever
    // the filament's Direction.
    CMatrix GetInertia() const override;
    // Midpoint of the two ends.
    CVector GetMassCenter() const override;

    // One mechanics step: refresh the mass properties, integrate, carry the
    // ends with the body, clear the accumulated force and torque.
    void Move(double dt);

private:
    double RodLength() const;
};
