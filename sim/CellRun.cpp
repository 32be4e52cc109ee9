// The run loops of the cell: an exact stochastic simulation with observation
// and mechanics clocks that catch up in fixed steps between reactions.

#include "Cell.h"

#include "FloatingPoint.h"
#include "Stalledclock.h"

#include <algorithm>
#include <stdexcept>

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
    // A step that is not positive would make a catch-up loop repeat for ever.
    if (!Method)
        throw std::logic_error("No simulation method is selected");
    if (!(ObsTimeStep > 0.0))
        throw std::logic_error("The observation time step must be positive");
    if (withMechanics && !(MechTimeStep > 0.0))
        throw std::logic_error("The mechanics time step must be positive");

    const fp::Traps traps;
    Running = true;
    std::int64_t passesAtThisTime = 0;
    while (Time < tEnd && Running) {
        if (BetweenReactions)
            BetweenReactions();
        UpdatePropensities();
        double tau = 0.0;
        CChemReaction *reaction = Method(tau);
        // A channel that can hardly occur is no reaction: the clock moves on,
        // but not past the end, so a world where nothing can react runs its
        // mechanics and observations to the end and stops.
        const bool fires = reaction && reaction->Propensity >= NEGLIGIBLE_PROPENSITY;
        const double before = Time;
        Time = fires ? Time + tau : std::min(Time + tau, tEnd);
        // A waiting time below the clock's resolution leaves Time as it was;
        // at rates that make that the rule, the run would never end.
        passesAtThisTime = Time == before ? passesAtThisTime + 1 : 0;
        if (passesAtThisTime >= StalledClockError::kLimit)
            throw StalledClockError(Time);
        if (withMechanics)
            MechUpToTime(Time);
        Observe(Time);
        if (fires) {
            reaction->Fire();
            ++ReactionCount;
        }
    }
    MechTime = Time;
    ObsTime = Time;
}

void CCell::MechUpToTime(double t)
{
    while (t - MechTime >= MechTimeStep && Running) {
        MechStep(MechTimeStep);
        MechTime += MechTimeStep;
        Observe(MechTime);
    }
}

void CCell::Observe(double t)
{
    while (t - ObsTime >= ObsTimeStep && Running) {
        ObsTime += ObsTimeStep;
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
