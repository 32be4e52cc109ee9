// The run loops of the cell: an exact stochastic simulation with observation
// and mechanics clocks that catch up in fixed steps between reactions.

#include "Cell.h"

#include "FloatingPoint.h"
#include "Stalledclock.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace {

// How far from a grid time (in steps) a time is still that grid time: far
// above the rounding of any product or sum of steps, far below any step a
// user means.
constexpr double kGridTolerance = 1e-6;

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
    passesAtThisTime_ = 0;
    runEnd_ = tEnd;
    const bool advances = Time < tEnd;
    while (Time < tEnd && Running) {
        if (BetweenReactions)
            BetweenReactions();
        UpdatePropensities();
        const bool leaps = Leaping && !Pending && TauLeap.ExactStepsLeft == 0;
        if (!(leaps ? LeapPass(tEnd, withMechanics) : ExactPass(tEnd, withMechanics)))
            break;
    }
    // Every run's last observation is its end, off the grid when the end is.
    if (advances && Running && Time == tEnd && ObsTime < tEnd) {
        ObsTime = tEnd;
        NotifyObserver();
    }
    if (!withMechanics)
        MechTime = Time;
}

std::int64_t CCell::ObservationIndexAt(double t, double step)
{
    if (!(step > 0.0) || !(t > 0.0))
        return 0;
    const double steps = std::min(t / step, 0x1p62);
    const double nearest = std::round(steps);
    if (std::fabs(nearest * step - t) <= kGridTolerance * step)
        return std::int64_t(nearest);
    return std::int64_t(std::floor(steps));
}

double CCell::NextObservationTime() const
{
    const double next = double(ObsCount + 1) * ObsTimeStep;
    return std::fabs(next - runEnd_) <= kGridTolerance * ObsTimeStep ? runEnd_ : next;
}

void CCell::CountPassAt(double due)
{
    // A waiting time below the clock's resolution leaves Time as it was;
    // at rates that make that the rule, the run would never end.
    passesAtThisTime_ = due == Time ? passesAtThisTime_ + 1 : 0;
    if (passesAtThisTime_ >= StalledClockError::kLimit)
        throw StalledClockError(Time);
}

bool CCell::ExactPass(double tEnd, bool withMechanics)
{
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
    CountPassAt(due);
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
        return false;
    }
    if (reaction) {
        reaction->Fire();
        CheckAfterFiring(std::size_t(IndexOf(*reaction)));
        ++ReactionCount;
    }
    // The exact steps between leaps are counted when they are done.
    if (Leaping && !Pending && TauLeap.ExactStepsLeft > 0)
        --TauLeap.ExactStepsLeft;
    return true;
}

bool CCell::LeapPass(double tEnd, bool withMechanics)
{
    // After a stop in the middle of a catch-up the clocks may owe steps to
    // the present: the leap is then empty and only lets them catch up.
    const double limit = std::max(NextLeapLimit(tEnd, withMechanics), Time);
    const std::optional<CTauLeap::Leap> leap = TauLeap.Plan(limit - Time);
    if (!leap)
        return ExactPass(tEnd, withMechanics);
    const double end = leap->ReachesLimit ? limit : std::min(Time + leap->Tau, limit);
    CountPassAt(end);
    const double before = Time;
    // The observation or mechanics step at the leap's end sees the world
    // before its firings, as with a reaction due there.
    Time = end;
    if (withMechanics)
        MechUpToTime(Time);
    Observe(Time);
    if (!Running) {
        // Stopped after the last observation or mechanics step owed to the
        // leap's end: the leap fires and the world is whole there. Stopped
        // before: the leap is dropped whole (its draws depend on the leap
        // number alone, which it did not advance) and the world ends where
        // its clocks got to.
        const bool caughtUp =
            Time < NextObservationTime() && (!withMechanics || Time - MechTime < MechTimeStep);
        if (caughtUp)
            ReactionCount += TauLeap.Apply(*leap);
        else
            Time = std::max(before, withMechanics ? MechTime : ObsTime);
        return false;
    }
    ReactionCount += TauLeap.Apply(*leap);
    return true;
}

double CCell::NextLeapLimit(double tEnd, bool withMechanics) const
{
    // The first time t at which a catch-up loop's test t - clock >= step
    // holds, so that the clock does catch up at a leap's end.
    const auto firstDue = [](double clock, double step) {
        double t = clock + step;
        while (t - clock < step)
            t = std::nextafter(t, std::numeric_limits<double>::infinity());
        return t;
    };
    double limit = std::min(tEnd, NextObservationTime());
    if (withMechanics)
        limit = std::min(limit, firstDue(MechTime, MechTimeStep));
    return limit;
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
    while (Running) {
        const double next = NextObservationTime();
        if (!(next <= t))
            return;
        if (!(next > ObsTime)) {
            // A clock set without its grid index joins the grid after it.
            const std::int64_t index = ObservationIndexAt(ObsTime, ObsTimeStep);
            if (index <= ObsCount)
                throw ClockStepError("observation", ObsTime, ObsTimeStep);
            ObsCount = index;
            continue;
        }
        ++ObsCount;
        ObsTime = next;
        NotifyObserver();
    }
}

void CCell::NotifyObserver()
{
    if (OnObserve) {
        // The observer runs window code, which must not trap.
        const fp::Traps off(false);
        OnObserve();
    }
}

void CCell::Stop()
{
    Running = false;
}
