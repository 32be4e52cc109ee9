#pragma once

#include "CellContents.h"
#include "TeamSizeChooser.h"
#include "ThreadTeam.h"
#include "ViscousMechanics.h"

#include <cstdint>
#include <vector>

// What the constants of the viscous model are until they are set.
inline constexpr double kDefaultTemperature = 298.15;    // K
inline constexpr double kDefaultContactStiffness = 1e-4; // N/m

// The two mechanics models a world can follow.
enum class MechanicsModel {
    RigidBodies, // Newton's equations with a fixed-size random kick
    Viscous,     // Brownian dynamics: drag and thermal noise, no inertia
};

// The mechanics of a world in one of two models. "Rigid bodies": penalty forces from the six walls of the box and
// from the bacterium's body, Brownian kicks on filaments that touch no wall,
// speed limits, then every body integrates itself. "Viscous": see
// ViscousMechanics.h. The step runs on the world's own threads and gives the
// same result on any number of them.
class CMechanics {
public:
    // Acting on the filaments and bacterium of world, drawing its kicks from
    // the world's stream.
    explicit CMechanics(CCellContents &world) : world_(world) {}
    CMechanics(const CMechanics &) = delete;
    CMechanics &operator=(const CMechanics &) = delete;

    // Mechanical constants. Only the wall and bacterium coefficients, the
    // Brownian moduli and the frictions act in the mechanics step; the others
    // are kept for display.
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
    double Viscosity = 0.0;         // Pa s; acts in the viscous model only

    MechanicsModel Model = MechanicsModel::RigidBodies;
    double Temperature = kDefaultTemperature;           // K, viscous model
    double ContactStiffness = kDefaultContactStiffness; // N/m, viscous model
    // Mechanics steps made since reset; numbers the viscous model's noise.
    std::uint64_t MechStepCount = 0;

    // Threads of the mechanics step; 0 means one per core, or one alone
    // while that is faster (on a machine busy with other work). Any number
    // gives the same results.
    int MechanicsThreads = 0;

    // One step of dt seconds of the chosen model.
    void MechStep(double dt);

    // How many filaments the bacterium's contact force acts on as they lie
    // now; 0 without a bacterium.
    int FilamentsTouchingBacterium() const;

private:
    // The rigid-body step on `team` threads: wall and Brownian forces,
    // bacterium contacts, speed limits, then every body moves.
    void RigidStep(double dt, int team);

    // What the first stage of a mechanics step finds for one filament.
    // What the one thread that draws the kicks reads and writes comes first,
    // on one cache line of its own.
    struct alignas(64) FilamentContacts {
        bool TouchesWall = false;
        bool TouchesBacterium = false;
        // Directions of the Brownian kick of a filament that touches no wall.
        CVector KickForceDirection, KickTorqueDirection;
        CVector BacteriumForce, BacteriumTorque;
        CVector WallForce, WallTorque;
    };

    // The forces of the walls and of the bacterium on one filament.
    void FindContacts(const CSolidFilament &f, FilamentContacts &contacts) const;
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

    CCellContents &world_;
    // One entry per slot of the filament list, reused from step to step.
    std::vector<FilamentContacts> contacts_;
    CTeamSizeChooser teamSize_;
    CThreadTeam threads_;
    CViscousMechanics viscous_;
};
