// The run loops of the cell: an exact stochastic simulation with observation
// and mechanics clocks that catch up in fixed steps between reactions.

#include "Cell.h"

#include "FloatingPoint.h"
#include "Stalledclock.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

bool IsUsableStep(double step)
{
    return std::isnormal(step) && step > 0.0;
}

// clock + step, which must differ from clock.
double Advanced(const char *name, double clock, double step)
{
    const double next = clock + step;
    if (next == clock)
        throw ClockStepError(name, clock, step);
    return next;
}

} // namespace

void CCell::RunChemistry(double tEnd)
{
    Run(tEnd, false);
}

void CCell::RunChemMech(double tEnd)
{
    Run(tEnd, true);
}

void CCell::Run(double tEnd, bool withMechanics)
{
    // A step that is not a normal positive number would make a catch-up loop
    // repeat for ever: a denormal one moves no clock that has left zero.
    if (!Method)
        throw std::logic_error("No simulation method is selected");
    if (!IsUsableStep(ObsTimeStep))
        throw std::logic_error("The observation time step must be a normal positive number");
    if (withMechanics && !IsUsableStep(MechTimeStep))
        throw std::logic_error("The mechanics time step must be a normal positive number");

    const fp::Traps traps;
    Running = true;
    std::int64_t passesAtThisTime = 0;
    while (Time < tEnd && Running) {
        if (BetweenReactions)
            BetweenReactions();
        UpdatePropensities();
        CChemReaction *reaction = nullptr;
        double due = 0.0; // s: when the reaction fires
        if (Pending) {
            reaction = &Reactions[Pending->Channel];
            due = Pending->Time;
            Pending.reset();
        } else {
            double tau = 0.0;
            reaction = Method(tau);
            // A channel that can hardly occur is no reaction: the clock moves
            // on, but not past the end, so a world where nothing can react
            // runs its mechanics and observations to the end and stops.
            if (reaction && reaction->Propensity < NEGLIGIBLE_PROPENSITY)
                reaction = nullptr;
            due = reaction ? Time + tau : std::min(Time + tau, tEnd);
        }
        // A waiting time below the clock's resolution leaves Time as it was;
        // at rates that make that the rule, the run would never end.
        passesAtThisTime = due == Time ? passesAtThisTime + 1 : 0;
        if (passesAtThisTime >= StalledClockError::kLimit)
            throw StalledClockError(Time);
        const double before = Time;
        // A reaction after the end belongs to the next run: the clocks catch
        // up to the end as they would for a reaction there.
        Time = std::min(due, tEnd);
        if (withMechanics)
            MechUpToTime(Time);
        Observe(Time);
        if (reaction && (due > tEnd || !Running)) {
            Pending = PendingReaction{IndexOf(*reaction), due};
            reaction = nullptr;
        }
        if (!Running) {
            // Stopped on the way: the world ends where its clocks got to,
            // so that the next run continues exactly.
            Time = std::max(before, withMechanics ? MechTime : ObsTime);
            break;
        }
        if (reaction) {
            reaction->Fire();
            ++ReactionCount;
        }
    }
    if (!withMechanics)
        MechTime = Time;
}

void CCell::MechUpToTime(double t)
{
    // After a stop in the middle of the observations of a step, they are
    // made before the next step, on the state they belong to.
    Observe(MechTime);
    while (t - MechTime >= MechTimeStep && Running) {
        MechStep(MechTimeStep);
        MechTime = Advanced("mechanics", MechTime, MechTimeStep);
        Observe(MechTime);
    }
}

void CCell::Observe(double t)
{
    while (t - ObsTime >= ObsTimeStep && Running) {
        ObsTime = Advanced("observation", ObsTime, ObsTimeStep);
        if (OnObserve) {
            // The observer runs window code, which must not trap.
            const fp::Traps off(false);
            OnObserve();
        }
    }
}

void CCell::Stop()
{
    Running = false;
}
