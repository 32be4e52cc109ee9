// The run loops of the cell and its two selection methods: an exact
// stochastic simulation with observation and mechanics clocks that catch up
// in fixed steps between reactions.

#include "Cell.h"

#include "FloatingPoint.h"
#include "Stalledclock.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

// A uniform draw in (0, 1] for a logarithm: a draw of exactly 0 (about once
// in 2^31) is drawn again.
double DrawForLogarithm(CRandomStream &random)
{
    double u;
    do
        u = random.UniformReal();
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

CChemReaction *CCell::FirstReaction(double &tau)
{
    tau = 1e30;
    CChemReaction *chosen = nullptr;
    for (CChemReaction &reaction : Reactions) {
        const double u = DrawForLogarithm(Random);
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
    const double u1 = DrawForLogarithm(Random);
    // Raised explicitly: with traps off -log(u1) / 0 would give an infinity,
    // and with u1 = 1 the quotient 0 / 0 would report an invalid operation.
    if (total == 0.0)
        throw fp::FloatingPointError(fp::Fault::DivisionByZero);
    tau = -std::log(u1) / total;
    double r = Random.UniformReal() * total;
    for (CChemReaction &reaction : Reactions) {
        r -= OccurrenceWeight(reaction);
        if (r < 0.0)
            return &reaction;
    }
    return nullptr;
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
