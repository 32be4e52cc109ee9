#pragma once

#include "Mechanics.h"
#include "MechanicsModel.h"

#include <vector>

// The constants of the rigid-body model. Only the wall and bacterium
// coefficients, the Brownian moduli and the frictions act in its step; the
// interaction distances and the filament-filament coefficient are kept for
// display.
struct RigidConstants {
    double FFInterCoef = 0.0;
    double FFInterDist = 0.0;
    double BFInterCoef = 0.0;
    double BFInterDist = 0.0;
    double FWInterCoef = 0.0;
    double FWInterDist = 0.0;
    double BrownianForce = 0.0;     // N
    double BrownianMoment = 0.0;    // N m
    double FilamentFriction = 0.0;  // m/(s kg): speed limit per kg of mass
    double BacteriumFriction = 0.0; // m/(s kg)
};

// "Rigid bodies": penalty forces from the six walls of the box and from the
// bacterium's body, Brownian kicks on filaments that touch no wall, speed
// limits, then every body integrates itself. Contacts are found on all
// threads, the kicks drawn from the world's one stream in list order on the
// calling one, then every filament moves on all threads.
class CRigidMechanics final : public CMechanicsModel {
public:
    RigidConstants Constants;

    void Step(CCellContents &world, double dt, std::uint64_t step, CThreadTeam &threads, int team) override;
    std::vector<ModelConstant> ConstantList() override;

    // How many filaments the bacterium's contact force acts on as they lie
    // now; 0 without a bacterium.
    int FilamentsTouchingBacterium(const CCellContents &world) const;

private:
    // What the first stage of a step finds for one filament. What the one
    // thread that draws the kicks reads and writes comes first, on one cache
    // line of its own.
    struct alignas(64) FilamentContacts {
        bool TouchesWall = false;
        bool TouchesBacterium = false;
        // Directions of the Brownian kick of a filament that touches no wall.
        CVector KickForceDirection, KickTorqueDirection;
        CVector BacteriumForce, BacteriumTorque;
        CVector WallForce, WallTorque;
    };

    // The forces of the walls and of the bacterium on one filament.
    void FindContacts(const CCellContents &world, const CSolidFilament &f, FilamentContacts &contacts) const;
    // Adds the force and torque of the wall at coordinate `wall` on `axis`
    // (0 x, 1 y, 2 z) on a filament with ends `pointed` and `barbed` and
    // centre of mass `position`; true when the filament touches that wall.
    // The end tested is the outer one on that axis (for an upper wall the
    // one with the larger coordinate), the barbed end when both are level.
    bool WallContact(const CVector &pointed, const CVector &barbed, const CVector &position, double wall,
                     int axis, bool upper, CVector &force, CVector &torque) const;
    // Adds the contact force and torque on a filament whose end `inside` lies
    // in the sphere (centre, radius) and whose other end is `other`; false
    // (nothing added) when the contact is degenerate.
    bool BacteriumContact(const CVector &inside, const CVector &other, const CVector &filamentCenter,
                          const CVector &sphereCenter, double radius, CVector &force, CVector &torque) const;
    // Applies the contact forces or the kick and friction, then moves f.
    void ForceAndMove(CSolidFilament &f, const FilamentContacts &contacts, double dt) const;

    // One entry per slot of the filament list, reused from step to step.
    std::vector<FilamentContacts> contacts_;
};

// The rigid-body constants of a world's mechanics.
inline RigidConstants &RigidConstantsOf(CMechanics &mechanics)
{
    return mechanics.UnitOf<CRigidMechanics>().Constants;
}
inline const RigidConstants &RigidConstantsOf(const CMechanics &mechanics)
{
    return mechanics.UnitOf<CRigidMechanics>().Constants;
}
