#pragma once

#include "Bacterium.h"
#include "Chemreaction.h"
#include "FilamentList.h"
#include "Solidfilament.h"
#include "Space.h"
#include "TeamSizeChooser.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

// The simulated world: a box [Origin, Origin + Size] (metres) holding ten
// species counters, the filaments, at most one bacterium and nine reaction
// channels. It advances by an exact stochastic simulation, optionally with a
// rigid-body mechanics step between reactions.
//
// The counters and the filament list are kept consistent by every reaction:
// "FIB" is the number of filaments with a free barbed end, "FIP" the number of
// filaments and "ACF" the sum of their sizes; every filament has at least
// three monomers.
class CCell : public CCubeSpace {
public:
    enum SpeciesIndex : int { ACG, ACF, FIB, FIP, CAP, CAF, ARP, ARF, ARB, ADC, SPECIES_COUNT };
    enum ReactionIndex : int { FORM, ASSB, ASSP, DISB, DISP, CAPB, ARPB, SEVR, FORM2, REACTION_COUNT };

    // Row and curve titles, indexed like Species and Reactions.
    static constexpr std::array<const char *, SPECIES_COUNT> SpeciesNames = {
        "ACG", "ACF", "FIB", "FIP", "CAP", "CAF", "ARP", "ARF", "ARB", "ADC"};
    static constexpr std::array<const char *, REACTION_COUNT> ReactionNames = {
        "FORM", "ASSB", "ASSP", "DISB", "DISP", "CAPB", "ARPB", "SEVR", "FORM2"};

    // The texts that select a method (see SetMethodByName).
    static constexpr std::string_view FIRST_REACTION = "First reaction";
    static constexpr std::string_view NEXT_REACTION = "Next reaction";

    // Propensities below this count as zero: such a channel is never fired.
    static constexpr double NEGLIGIBLE_PROPENSITY = 1e-30;

    // Writes the waiting time (s) and returns the chosen channel, or nullptr.
    using SelectionMethod = std::function<CChemReaction *(double &tau)>;
    using Observer = std::function<void()>;

    // A monomer chosen by FilamentOfMonomer: its filament and its position
    // counted from the barbed end (0 is the barbed-end monomer).
    using MonomerSite = CFilamentList::MonomerSite;

    // Box (0,0,0)-(1,1,1), channels with k = 1 and a volume of 1 litre, method
    // NextReaction, no observer, no bacterium, everything else zero.
    CCell();
    ~CCell() override;
    // The channels' handlers and the method are bound to this object.
    CCell(const CCell &) = delete;
    CCell &operator=(const CCell &) = delete;

    // Selection method of the run; empty means none.
    SelectionMethod Method;
    double Time = 0.0;         // simulated time, s
    double MechTime = 0.0;     // time up to which the mechanics is integrated, s
    double MechTimeStep = 0.0; // s
    double ObsTime = 0.0;      // time of the last observation, s
    double ObsTimeStep = 0.0;  // s
    std::int64_t ReactionCount = 0;
    // A reaction drawn by a run but due after that run's end time. The next
    // run catches up to its time and fires it without a new draw, so a run
    // split in two gives the result of one. Cleared by Reset.
    struct PendingReaction {
        ReactionIndex Channel;
        double Time; // s
    };
    std::optional<PendingReaction> Pending;
    std::array<std::int32_t, SPECIES_COUNT> Species{};
    std::array<CChemReaction, REACTION_COUNT> Reactions;
    // New filaments are appended; removal keeps the order of the others.
    // The handlers keep its search trees current through FilamentChanged.
    CFilamentList Filaments;
    std::unique_ptr<CBacterium> Bacterium;
    // Called at every observation step with the floating-point traps off;
    // empty means none.
    Observer OnObserve;
    // Called in a run before each reaction is picked, so after the previous
    // one has fired: the world is whole, with no reaction pending, and may be
    // saved. Runs with the traps on; empty means none.
    Observer BetweenReactions;
    // Set by a run, cleared by Stop and Reset; a run continues while it is
    // set. Stop may come from another thread or a signal handler: every pass
    // of the run loops and every mechanics step test it.
    std::atomic<bool> Running = false;

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
    double Viscosity = 0.0;

    // --- State and reactions (Cell.cpp, CellReactions.cpp) ---

    // Deletes the filaments, zeroes clocks, counters and the reaction count,
    // sets both time steps to 1e-4 s and clears Running. Keeps the bacterium,
    // the channels and the mechanical constants.
    void Reset();
    void UpdatePropensities();
    // Replaces the bacterium by a new one at the box centre; its radius,
    // shell and density are set by the caller.
    void CreateBacterium();
    // Mean number of monomers per filament; 0 without filaments.
    double MeanFilamentSize() const;

    // The i-th (from 0) filament with a free barbed end, or nullptr.
    CSolidFilament *FreeBarbedFilament(std::int32_t i);
    // The i-th filament of the list, or nullptr.
    CSolidFilament *FilamentAt(std::int32_t i);
    // The filament holding the i-th monomer of all filaments, counted from
    // the front of the list.
    MonomerSite FilamentOfMonomer(std::int32_t i);
    // Takes f out of the list, returns its monomers and its cap, deletes it.
    void RemoveFilament(CSolidFilament *f);

    // The reaction handlers, called through the channels' Fire. A handler
    // with nothing to act on returns at once without drawing.
    void FormFilament();
    void FormFilamentAtBacterium();
    void AssocBarbed();
    void AssocPointed();
    void DissocBarbed();
    void DissocPointed();
    void CapBarbed();
    void BindArp();
    void Sever();
    // Cuts f at the monomer that has `barbedSide` monomers between it and the
    // barbed end (the part of Sever after the draw).
    void SeverAt(CSolidFilament *f, std::int32_t barbedSide);

    // --- Runs (CellRun.cpp) ---

    // Run the chemistry alone, or with the mechanics, until Time reaches tEnd
    // or Stop is called, with floating-point traps on (off in OnObserve).
    // A reaction due after tEnd becomes the Pending one and Time ends at
    // tEnd exactly. A stop noticed while the clocks catch up to a reaction
    // ends the run where they got to (with mechanics the mechanics clock,
    // without it the last observation) and that reaction becomes Pending.
    // When the method yields no channel, or one with a negligible propensity,
    // nothing fires: the clock advances, but not past tEnd. Both refuse to
    // start (std::logic_error) without a method or with an observation step
    // that is not a normal positive number (RunChemMech also with such a
    // mechanics step), which would never end; a clock whose step no longer
    // moves it ends the run with a ClockStepError.
    void RunChemistry(double tEnd);
    void RunChemMech(double tEnd);
    // Mechanics steps of MechTimeStep until MechTime is within one step of t,
    // after the observations still owed to the state at MechTime.
    void MechUpToTime(double t);
    // Observation steps of ObsTimeStep up to t, calling OnObserve at each.
    void Observe(double t);
    // Safe from any thread and from a signal handler.
    void Stop();
    // One exponential waiting time per channel (nine draws); the shortest
    // wins, the lower channel on a tie.
    CChemReaction *FirstReaction(double &tau);
    // One waiting time for the total propensity, then a second draw picks
    // the channel. A zero total raises fp::FloatingPointError (division by
    // zero).
    CChemReaction *NextReaction(double &tau);
    // The channel index of one of Reactions.
    ReactionIndex IndexOf(const CChemReaction &reaction) const;
    // Binds Method to FirstReaction or NextReaction by their texts; any other
    // text leaves no method. Returns whether a method is bound.
    bool SetMethodByName(std::string_view name);

    // --- Mechanics (CellMechanics.cpp) ---

    // One step of dt seconds: wall and Brownian forces, bacterium contacts,
    // speed limits, then every body moves.
    void MechStep(double dt);
    void ApplyWallForces();
    // Adds the force and torque of the wall at coordinate `wall` on `axis`
    // (0 x, 1 y, 2 z) on a filament with ends `pointed` and `barbed` and
    // centre of mass `position`; true when the filament touches that wall.
    // The end tested is the outer one on that axis (for an upper wall the
    // one with the larger coordinate), the barbed end when both are level.
    bool WallContact(const CVector &pointed, const CVector &barbed, const CVector &position,
                     double wall, int axis, bool upper, CVector &force, CVector &torque) const;
    void ApplyBacteriumForces();
    // Adds the contact force and torque on a filament whose end `inside` lies
    // in the sphere (centre, radius) and whose other end is `other`; false
    // (nothing added) when the contact is degenerate.
    bool BacteriumContact(const CVector &inside, const CVector &other,
                          const CVector &filamentCenter, const CVector &sphereCenter,
                          double radius, CVector &force, CVector &torque) const;
    void ApplyFriction();

    // Threads of the mechanics step; 0 means one per core, or one alone
    // while that is faster (on a machine busy with other work). Any number
    // gives the same results.
    int MechanicsThreads = 0;

private:
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

    void Run(double tEnd, bool withMechanics);
    // Marks f for its next Move and keeps the list's trees current; called
    // after every change of a listed filament's size, ends or cap.
    void FilamentChanged(CSolidFilament &f);
    // The forces of the walls and of the bacterium on one filament.
    void FindContacts(const CSolidFilament &f, FilamentContacts &contacts) const;
    // Applies the contact forces or the kick and friction, then moves f.
    void ForceAndMove(CSolidFilament &f, const FilamentContacts &contacts, double dt) const;

    // One entry per slot of Filaments, reused from step to step.
    std::vector<FilamentContacts> contacts_;
    CTeamSizeChooser teamSize_;
    // Appends a filament of the given size placed by SetGeometry; the caller
    // updates the counters.
    CSolidFilament &AppendFilament(const CVector &pointedEnd, const CVector &direction,
                                   std::int32_t monomers);
};
