#pragma once

#include "Solid.h"
#include "Space.h"

// The bacterium: a rigid ball of uniform density (the body sphere) with a
// surface shell reaching from its surface out to 1.1 radii.
class CBacterium : public CSymmetricSolid, public CSphereSpace {
public:
    double Density = 0.0; // [kg/m^3]
    CHollowSphereSpace Shell;
    bool Changed = true; // mass properties must be refreshed before the next step
    // Where the world placed its centre at reset (m); its displacement is
    // measured from here, across saving and resuming.
    CVector ResetPosition;

    double GetMass() const override;
    CMatrix GetInertia() const override;
    // The body's Center.
    CVector GetMassCenter() const override;
    // Mass, Inertia and InvInertia from radius and density; Position and the
    // velocities are left alone.
    void UpdateMassProperties() override;
    void MarkChanged() override;
    ~CBacterium() override = default;

    // One mechanics step; afterwards the body, the shell and the rigid body
    // share one centre.
    void Move(double dt);
};
