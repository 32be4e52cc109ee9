#pragma once

#include "Filament.h"
#include "Solid.h"

// A filament as a rigid body: its mass and inertia follow from its length and
// the two material constants shared by all filaments, and every step carries
// its ends along with the body.
class CSolidFilament final : public CFilament, public CAsymmetricSolid {
public:
    // Shared by every filament; set when the world is rebuilt from the
    // parameters, 0 until then.
    static inline double FilamentRadius = 0.0;        // rod radius [m]
    static inline double FilamentLinearDensity = 0.0; // mass per length [kg/m]

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
