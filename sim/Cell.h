#pragma once

#include "CellContents.h"
#include "Chemistry.h"
#include "Mechanics.h"
#include "TauLeap.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>

// The simulated world: a box holding ten species counters, the filaments, at
// most one bacterium and nine reaction channels. It advances by an exact
// stochastic simulation or by tau-leaps (TauLeap.h), optionally with a
// rigid-body mechanics step between reactions.
//
// Its parts, each in files of its own name: what they share (CellContents.h),
// the chemistry (Chemistry.h), the mechanics step (Mechanics.h); the run loop
// with its clocks is the cell's own (CellRun.cpp).
class CCell : public CCellContents, public CChemistry, public CMechanics {
public:
    using Observer = std::function<void()>;

    // Box (0,0,0)-(1,1,1), the table's channels with k = 1 and a volume of 1
    // litre, method NextReaction, no observer, no bacterium, the mechanics
    // models of `models` (which must outlive the cell) at their default
    // constants, everything else zero.
    explicit CCell(ChannelTable channels = SpecifiedChannels(),
                   const MechanicsModelTable &models = MechanicsModels());
    ~CCell() override;

    double Time = 0.0;         // simulated time, s
    double MechTime = 0.0;     // time up to which the mechanics is integrated, s
    double MechTimeStep = 0.0; // s
    double ObsTime = 0.0;      // time of the last observation, s
    double ObsTimeStep = 0.0;  // s
    // Observations fall on the grid k × ObsTimeStep of whole k, each time
    // computed from its k (a sum of steps would drift), and at the end of
    // every run; ObsCount is the k of the last grid observation.
    std::int64_t ObsCount = 0;
    // The grid index of an observation at time t (s): the k whose
    // k × step is t but for rounding (a millionth of a step), else the last
    // k before t. It continues the grid of a saved world, whatever program
    // summed its clock.
    static std::int64_t ObservationIndexAt(double t, double step);
    std::int64_t ReactionCount = 0;
    // A reaction drawn by a run but due after that run's end time. The next
    // run catches up to its time and fires it without a new draw, so a run
    // split in two gives the result of one. Cleared by Reset.
    struct PendingReaction {
        int Channel; // an index of Reactions
        double Time; // s
    };
    std::optional<PendingReaction> Pending;
    // The state of the leaping method; used while Leaping is set.
    CTauLeap TauLeap{*this, *this};
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

    // Deletes the filaments, zeroes clocks, counters, the reaction count and
    // the mechanics step and leap counts, sets both time steps to 1e-4 s and
    // clears Running. Keeps the bacterium, the channels, the mechanical
    // constants and model, the leaping accuracy, the material and the random
    // stream.
    void Reset();

    // --- Runs (CellRun.cpp) ---

    // Run the chemistry alone, or with the mechanics, until Time reaches tEnd
    // or Stop is called, with floating-point traps on (off in OnObserve).
    // A reaction due after tEnd becomes the Pending one and Time ends at
    // tEnd exactly, with an observation there (a grid time that differs
    // from tEnd only by rounding is tEnd). A stop noticed while the clocks catch up to a reaction
    // ends the run where they got to (with mechanics the mechanics clock,
    // without it the last observation) and that reaction becomes Pending.
    // When the method yields no channel, or one with a negligible propensity,
    // nothing fires: the clock advances, but not past tEnd. A leaping run
    // cuts every leap at the next observation, mechanics step and tEnd; the
    // clocks catch up to the leap's end before its firings. Both refuse to
    // start (std::logic_error) without a method or with an observation step
    // that is not a normal positive number (RunChemMech also with such a
    // mechanics step), which would never end; a clock whose step no longer
    // moves it ends the run with a ClockStepError.
    void RunChemistry(double tEnd);
    void RunChemMech(double tEnd);
    // Mechanics steps of MechTimeStep until MechTime is within one step of t,
    // after the observations still owed to the state at MechTime.
    void MechUpToTime(double t);
    // The observations on the grid up to t, calling OnObserve at each.
    void Observe(double t);
    // Safe from any thread and from a signal handler.
    void Stop();

private:
    void Run(double tEnd, bool withMechanics);
    // One pass of the run loop by the exact method or by a leap; false when
    // the run stopped on the way.
    bool ExactPass(double tEnd, bool withMechanics);
    bool LeapPass(double tEnd, bool withMechanics);
    // Counts passes that left Time as it was; throws StalledClockError when
    // too many follow each other.
    void CountPassAt(double due);
    // Where a leap from Time must end: the next observation, the next
    // mechanics step (with mechanics) or tEnd, whichever comes first.
    double NextLeapLimit(double tEnd, bool withMechanics) const;
    // The time of the next grid observation, or the run's end when that
    // time differs from it only by rounding.
    double NextObservationTime() const;
    // Calls OnObserve, with the traps off.
    void NotifyObserver();

    std::int64_t passesAtThisTime_ = 0;
    double runEnd_ = 0.0; // s: tEnd of the run under way
};
