// The run loops of the cell and its two selection methods: an exact
// stochastic simulation with observation and mechanics clocks that catch up
// in fixed steps between reactions.

#include "Cell.h"

#include "FloatingPoint.h"
#include "Random.h"
#include "Stalledclock.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

// A uniform draw in (0, 1] for a logarithm: a draw of exactly 0 (about once
// in 2^31) is drawn again.
double DrawForLogarithm()
{
    double u;
    do
        u = UniformReal();
    while (u == 0.0);
    return u;
}

// A negative propensity (from a negative rate constant or population entered
// by the user) means that the channel cannot occur. Counted as such, it can
// neither be chosen nor turn the total negative, which would run the clock
// backwards for ever.
double OccurrenceWeight(const CChemReaction &reaction)
{
    return std::max(reaction.Propensity, 0.0);
}

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

CChemReaction *CCell::FirstReaction(double &tau)
{
    tau = 1e30;
    CChemReaction *chosen = nullptr;
    for (CChemReaction &reaction : Reactions) {
        const double u = DrawForLogarithm();
        const double a = reaction.Propensity;
        const double t = a >= NEGLIGIBLE_PROPENSITY ? -std::log(u) / a : -std::log(u) * 1e30;
        if (t < tau) {
            tau = t;
            chosen = &reaction;
        }
    }
    return chosen;
}

CChemReaction *CCell::NextReaction(double &tau)
{
    double total = 0.0;
    for (const CChemReaction &reaction : Reactions)
        total += OccurrenceWeight(reaction);
    const double u1 = DrawForLogarithm();
    // Raised explicitly: with traps off -log(u1) / 0 would give an infinity,
    // and with u1 = 1 the quotient 0 / 0 would report an invalid operation.
    if (total == 0.0)
        throw fp::FloatingPointError(fp::Fault::DivisionByZero);
    tau = -std::log(u1) / total;
    double r = UniformReal() * total;
    CChemReaction *lastPossible = nullptr;
    for (CChemReaction &reaction : Reactions) {
        r -= OccurrenceWeight(reaction);
        if (r < 0.0)
            return &reaction;
        if (reaction.Propensity >= NEGLIGIBLE_PROPENSITY)
            lastPossible = &reaction;
    }
    // A second draw of 1.0, or rounding, leaves r at or above zero: the draw
    // belongs to the last channel that can occur.
    return lastPossible;
}

CCell::ReactionIndex CCell::IndexOf(const CChemReaction &reaction) const
{
    return static_cast<ReactionIndex>(&reaction - Reactions.data());
}

bool CCell::SetMethodByName(std::string_view name)
{
    if (name == FIRST_REACTION)
        Method = [this](double &tau) { return FirstReaction(tau); };
    else if (name == NEXT_REACTION)
        Method = [this](double &tau) { return NextReaction(tau); };
    else
        Method = nullptr;
    return bool(Method);
}
