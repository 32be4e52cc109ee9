#include "Cell.h"

#include "FloatingPoint.h"
#include "Random.h"
#include "Stalledclock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace {

constexpr std::int64_t MODULUS = 2147483647;
constexpr std::int32_t MASK = 123459876;

// The seed from which one step of the minimal standard generator lands on
// `stepped`: stepped * 16807^-1 mod (2^31 - 1).
std::int32_t SeedBefore(std::int64_t stepped)
{
    std::int64_t inverse = 1;
    std::int64_t base = 16807;
    for (std::int64_t e = MODULUS - 2; e > 0; e >>= 1) {
        if (e & 1)
            inverse = inverse * base % MODULUS;
        base = base * base % MODULUS;
    }
    return std::int32_t(stepped * inverse % MODULUS);
}

// Sets the random stream so that its second draw comes from the stepped
// generator value `second` (u = second * 2^-31); returns the first draw.
double SeedSoThatSecondDrawIs(CRandomStream &random, std::int64_t second)
{
    const std::int32_t maskedBefore = SeedBefore(second);
    const std::int32_t first = maskedBefore ^ MASK;
    random.SetSeed(SeedBefore(first));
    return double(float(std::ldexp(double(first), -31)));
}

// A method that always returns `channel` after `tau` seconds, making it
// likely enough to fire.
CCell::SelectionMethod Always(CCell &cell, int channel, double tau)
{
    return [&cell, channel, tau](double &waitingTime) {
        waitingTime = tau;
        cell.Reactions[channel].Propensity = 1.0;
        return &cell.Reactions[channel];
    };
}

class CellRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        cell.SetBox(CVector(0.0), CVector(1e-6));
        cell.Material.Radius = 1.5e-9;
        cell.Material.LinearDensity = 3.4e-14;
        cell.OnObserve = [this] {
            observedTimes.push_back(cell.ObsTime);
            observedMechTimes.push_back(cell.MechTime);
            observedReactionCounts.push_back(cell.ReactionCount);
        };
    }

    CCell cell;
    std::vector<double> observedTimes;
    std::vector<double> observedMechTimes;
    std::vector<std::int64_t> observedReactionCounts;
};

TEST_F(CellRun, ObservationsBeforeTheReactionTheyPrecede)
{
    cell.ObsTimeStep = 0.01;
    cell.Method = Always(cell, CCell::ARPB, 0.035);
    cell.RunChemistry(0.035);
    ASSERT_EQ(observedTimes.size(), 4u);
    EXPECT_DOUBLE_EQ(observedTimes[0], 0.01);
    EXPECT_DOUBLE_EQ(observedTimes[1], 0.02);
    EXPECT_DOUBLE_EQ(observedTimes[2], 0.03);
    EXPECT_EQ(observedTimes[3], 0.035); // the end
    // The grid's observations come before the reaction; the end's is the
    // final state, after it.
    EXPECT_EQ(observedReactionCounts, (std::vector<std::int64_t>{0, 0, 0, 1}));
    EXPECT_EQ(cell.ReactionCount, 1);
    EXPECT_EQ(cell.Reactions[CCell::ARPB].Count, 1);
    EXPECT_EQ(cell.Time, 0.035);
    // The last observation is at the end; a chemistry-only run takes the
    // mechanics clock along with Time.
    EXPECT_EQ(cell.ObsTime, observedTimes.back());
    EXPECT_EQ(cell.MechTime, 0.035);
    EXPECT_FALSE(cell.Pending);
    EXPECT_TRUE(cell.Running);
}

// Observation times are k × step from a whole k, and each run ends with one
// observation at its end; the next run goes on on the grid.
TEST_F(CellRun, ObservationsOnTheGridAndOnceAtEveryRunsEnd)
{
    const struct {
        double Step;
        std::vector<double> Ends; // of runs one after the other
    } cases[] = {
        {0.01, {0.3, 1.0, 2.0}}, // a summed clock falls short of these ends
        {0.1, {0.3, 0.7}},       // 3 × 0.1 is 0.30000000000000004: that is the end
        {0.01, {0.305, 0.4}},    // an end between two grid times
    };
    for (const auto &c : cases) {
        cell.Reset();
        observedTimes.clear();
        cell.ObsTimeStep = c.Step;
        cell.Method = Always(cell, CCell::ARPB, 100.0);
        std::vector<double> expected;
        double start = 0.0;
        for (const double end : c.Ends) {
            for (int k = 1; double(k) * c.Step < end + 1e-9; ++k)
                if (double(k) * c.Step > start + 1e-9)
                    expected.push_back(std::fabs(double(k) * c.Step - end) < 1e-9 ? end : double(k) * c.Step);
            if (expected.back() != end)
                expected.push_back(end);
            cell.RunChemistry(end);
            start = end;
        }
        EXPECT_EQ(observedTimes, expected) << c.Step;
    }
}

TEST(ObservationIndex, ContinuesTheGridOfAnySavedClock)
{
    double summed = 0.0; // as an earlier program summed its clock
    for (int i = 0; i < 99; ++i)
        summed += 0.01;
    const struct {
        double Time, Step;
        std::int64_t Index;
    } cases[] = {{summed, 0.01, 99}, {0.305, 0.01, 30}, {0.3, 0.1, 3}, {2.0, 0.01, 200}, {0.0, 0.01, 0}};
    for (const auto &c : cases)
        EXPECT_EQ(CCell::ObservationIndexAt(c.Time, c.Step), c.Index) << c.Time;
}

TEST_F(CellRun, MechanicsInWholeStepsEachFollowedByItsObservations)
{
    cell.MechTimeStep = 1e-4;
    cell.ObsTimeStep = 1e-4;
    CSolidFilament filament;
    filament.SetGeometry(CVector(5e-7), CVector(1, 0, 0));
    filament.Monomers = 5;
    filament.Material = &cell.Material;
    filament.UpdateMassProperties();
    filament.Velocity = CVector(0, 1e-6, 0);
    const double startY = filament.PointedEnd.y;
    CSolidFilament &f = cell.Filaments.Append(filament);

    cell.Method = Always(cell, CCell::ARPB, 3.5e-4);
    cell.RunChemMech(3.5e-4);
    ASSERT_EQ(observedMechTimes.size(), 4u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_DOUBLE_EQ(observedMechTimes[i], (i + 1) * 1e-4);
        EXPECT_EQ(observedTimes[i], observedMechTimes[i]);
    }
    // The end's observation sees the mechanics where its last step left it.
    EXPECT_EQ(observedTimes[3], 3.5e-4);
    EXPECT_EQ(observedMechTimes[3], observedMechTimes[2]);
    // Three steps at 1 um/s; the remaining 0.5e-4 s is not integrated.
    EXPECT_NEAR(f.PointedEnd.y - startY, 3e-10, 1e-22);
    EXPECT_EQ(cell.ReactionCount, 1);
    EXPECT_EQ(cell.MechTime, observedMechTimes.back());
}

TEST_F(CellRun, RunToAnEndAlreadyReachedKeepsTheClocks)
{
    cell.Time = 2.0;
    cell.MechTime = 1.5;
    cell.ObsTime = 1.7;
    cell.Method = Always(cell, CCell::ARPB, 1.0);
    cell.RunChemMech(2.0);
    EXPECT_TRUE(observedTimes.empty());
    EXPECT_EQ(cell.ReactionCount, 0);
    EXPECT_TRUE(cell.Running);
    EXPECT_EQ(cell.MechTime, 1.5);
    EXPECT_EQ(cell.ObsTime, 1.7);
    cell.RunChemistry(2.0);
    EXPECT_EQ(cell.MechTime, 2.0);
    EXPECT_EQ(cell.ObsTime, 1.7);
}

TEST_F(CellRun, AReactionAfterTheEndWaitsForTheNextRun)
{
    cell.ObsTimeStep = 0.25;
    cell.MechTimeStep = 0.125;
    int draws = 0;
    const auto always = Always(cell, CCell::ARPB, 0.75);
    cell.Method = [&](double &tau) { return ++draws, always(tau); };
    cell.RunChemMech(1.0);
    // 0.75 fires; 1.5 lies after the end.
    EXPECT_EQ(cell.Time, 1.0);
    EXPECT_EQ(cell.ReactionCount, 1);
    ASSERT_TRUE(cell.Pending);
    EXPECT_EQ(cell.Pending->Channel, CCell::ARPB);
    EXPECT_EQ(cell.Pending->Time, 1.5);
    EXPECT_EQ(cell.MechTime, 1.0);
    EXPECT_EQ(observedTimes.back(), 1.0);
    EXPECT_EQ(draws, 2);

    // Still after the end of the next run: no new draw, nothing fires.
    cell.RunChemMech(1.25);
    EXPECT_EQ(cell.Time, 1.25);
    EXPECT_EQ(cell.ReactionCount, 1);
    EXPECT_EQ(draws, 2);

    cell.RunChemMech(1.5);
    EXPECT_EQ(cell.Time, 1.5);
    EXPECT_EQ(cell.ReactionCount, 2);
    EXPECT_EQ(draws, 2);
    EXPECT_FALSE(cell.Pending);
    EXPECT_EQ(observedTimes.back(), 1.5);

    cell.Reset();
    EXPECT_FALSE(cell.Pending);
}

TEST_F(CellRun, AStopOnTheWayEndsWhereTheClocksGotTo)
{
    struct Case {
        bool mechanics;
        double stopAt; // the observation that stops the run
    };
    // Observations every 0.25 s, mechanics steps every 0.125 s, the
    // reaction drawn for t = 5 after one at t = 1; the stop ends the run at
    // the stopping observation (with mechanics, at the step it follows).
    for (const Case c : {Case{true, 1.5}, Case{false, 1.5}, Case{false, 1.25}}) {
        SCOPED_TRACE(c.mechanics);
        cell.Reset();
        cell.ObsTimeStep = 0.25;
        cell.MechTimeStep = 0.125;
        bool first = true;
        cell.Method = [&](double &tau) {
            tau = first ? 1.0 : 4.0;
            first = false;
            cell.Reactions[CCell::ARPB].Propensity = 1.0;
            return &cell.Reactions[CCell::ARPB];
        };
        cell.OnObserve = [&] {
            if (cell.ObsTime == c.stopAt && cell.ReactionCount == 1)
                cell.Stop();
        };
        c.mechanics ? cell.RunChemMech(10.0) : cell.RunChemistry(10.0);
        EXPECT_FALSE(cell.Running);
        EXPECT_EQ(cell.ReactionCount, 1);
        EXPECT_EQ(cell.Time, c.stopAt);
        EXPECT_EQ(cell.MechTime, c.stopAt);
        ASSERT_TRUE(cell.Pending);
        EXPECT_EQ(cell.Pending->Time, 5.0);
    }
}

TEST_F(CellRun, ClockBelowItsResolutionEndsTheRunWithAnError)
{
    cell.Time = cell.ObsTime = 1.0;
    cell.ObsTimeStep = 1.0;
    cell.Method = Always(cell, CCell::ARPB, 1e-30); // 1 + 1e-30 == 1
    try {
        cell.RunChemistry(2.0);
        FAIL() << "no error";
    } catch (const StalledClockError &e) {
        EXPECT_EQ(e.Time(), 1.0);
        EXPECT_NE(std::string(e.what()).find("rates are too high"), std::string::npos);
    }
    EXPECT_EQ(cell.ReactionCount, StalledClockError::kLimit - 1);
}

TEST_F(CellRun, CatchUpClocksWhoseStepNoLongerMovesThemEndTheRun)
{
    for (const bool mechanics : {false, true}) {
        SCOPED_TRACE(mechanics);
        cell.Reset();
        cell.Time = cell.ObsTime = cell.MechTime = 1e13;
        cell.ObsTimeStep = mechanics ? 1.0 : 1e-4;
        cell.MechTimeStep = 1e-4;
        cell.Method = Always(cell, CCell::ARPB, 1.0);
        EXPECT_THROW(mechanics ? cell.RunChemMech(2e13) : cell.RunChemistry(2e13), ClockStepError);
    }
}

TEST_F(CellRun, CountersGoBeyondThe32BitRange)
{
    cell.ReactionCount = INT32_MAX;
    cell.Reactions[CCell::ARPB].Count = INT32_MAX;
    cell.ObsTimeStep = 1.0;
    cell.Method = Always(cell, CCell::ARPB, 1.0);
    cell.RunChemistry(1.0);
    EXPECT_EQ(cell.ReactionCount, std::int64_t{1} << 31);
    EXPECT_EQ(cell.Reactions[CCell::ARPB].Count, std::int64_t{1} << 31);
}

TEST_F(CellRun, ObserverRunsWithTrapsOffAndTheMethodWithTrapsOn)
{
    cell.ObsTimeStep = 0.5;
    bool trapsInObserver = true;
    bool trapsInMethod = false;
    cell.OnObserve = [&] { trapsInObserver = fp::TrapsEnabled(); };
    const auto always = Always(cell, CCell::ARPB, 1.0);
    cell.Method = [&](double &tau) {
        trapsInMethod = fp::TrapsEnabled();
        return always(tau);
    };
    cell.RunChemistry(1.0);
    EXPECT_FALSE(trapsInObserver);
    EXPECT_TRUE(trapsInMethod);
    EXPECT_FALSE(fp::TrapsEnabled());
}

TEST_F(CellRun, RefusesToStartWhenItCouldNotEnd)
{
    cell.SetMethod(SimulationMethod::None);
    EXPECT_FALSE(cell.Method);
    EXPECT_THROW(cell.RunChemistry(1.0), std::logic_error);
    EXPECT_FALSE(cell.Running);

    cell.SetMethod(SimulationMethod::FirstReaction);
    cell.ObsTimeStep = 0.0;
    EXPECT_THROW(cell.RunChemistry(1.0), std::logic_error);
    cell.ObsTimeStep = 0.01;
    cell.MechTimeStep = -1e-4;
    EXPECT_THROW(cell.RunChemMech(1.0), std::logic_error);
    // Denormal steps leave every clock that has left zero where it is.
    cell.MechTimeStep = 1e-320;
    EXPECT_THROW(cell.RunChemMech(1.0), std::logic_error);
    cell.ObsTimeStep = 1e-320;
    EXPECT_THROW(cell.RunChemistry(1.0), std::logic_error);
    EXPECT_EQ(cell.Time, 0.0);
}

TEST_F(CellRun, NothingCanReactSoTheRunGoesToTheEndAndStops)
{
    // No species at all: every propensity is 0.
    // Steps that are exact in binary, so that the catch-up counts are exact.
    cell.MechTimeStep = 0.0625;
    cell.ObsTimeStep = 0.25;
    cell.SetMethod(SimulationMethod::FirstReaction);
    cell.Random.SetSeed(99);
    cell.RunChemMech(2.0);
    EXPECT_EQ(cell.Time, 2.0);
    EXPECT_EQ(cell.ReactionCount, 0);
    for (const CChemReaction &reaction : cell.Reactions)
        EXPECT_EQ(reaction.Count, 0);
    ASSERT_EQ(observedTimes.size(), 8u);
    EXPECT_EQ(observedTimes.back(), 2.0);
    EXPECT_EQ(observedMechTimes.back(), 2.0);
}

TEST_F(CellRun, NextReactionWithNothingToReactDividesByZero)
{
    cell.SetMethod(SimulationMethod::NextReaction);
    try {
        cell.RunChemistry(1.0);
        FAIL() << "no fault raised";
    } catch (const fp::FloatingPointError &error) {
        EXPECT_EQ(error.fault(), fp::Fault::DivisionByZero);
        EXPECT_STREQ(error.what(), "Floating point division by zero");
    }
    EXPECT_FALSE(fp::TrapsEnabled());
}

TEST_F(CellRun, NextReactionPicksByTheSecondDraw)
{
    const double propensities[CCell::REACTION_COUNT] = {0, 2, 0, 0, 0, 0, 0, 0, 1};
    for (int i = 0; i < CCell::REACTION_COUNT; ++i)
        cell.Reactions[i].Propensity = propensities[i];

    // u2 = 0.5: r = 1.5, and 1.5 - 0 - 2 < 0.
    const double u1 = SeedSoThatSecondDrawIs(cell.Random, std::int64_t(1) << 30);
    double tau = 0.0;
    EXPECT_EQ(cell.NextReaction(tau), &cell.Reactions[CCell::ASSB]);
    EXPECT_EQ(tau, -std::log(u1) / 3.0);

    // u2 = 0.8 (in single precision): r = 2.4 passes channel 1.
    SeedSoThatSecondDrawIs(cell.Random, std::int64_t(std::llround(0.8 * 2147483648.0)));
    EXPECT_EQ(cell.NextReaction(tau), &cell.Reactions[CCell::FORM2]);

    // u2 = 1.0 (2^31 - 2 rounds up in single precision): r = 3 - 2 - 1 = 0
    // is never below zero, and the draw goes to the last channel that can
    // occur, not to one that cannot.
    cell.Reactions[CCell::ARPB].Propensity = 1e-31;
    SeedSoThatSecondDrawIs(cell.Random, 2147483646);
    EXPECT_EQ(cell.NextReaction(tau), &cell.Reactions[CCell::FORM2]);
}

TEST_F(CellRun, NextReactionNeverPicksAChannelWithoutPropensity)
{
    cell.Reactions[CCell::DISP].Propensity = 0.5;
    cell.Random.SetSeed(2024);
    double tau = 0.0;
    for (int i = 0; i < 1000; ++i) {
        CChemReaction *picked = cell.NextReaction(tau);
        EXPECT_TRUE(picked == &cell.Reactions[CCell::DISP] || picked == nullptr);
    }
}

TEST_F(CellRun, NegativePropensitiesNeverOccur)
{
    // As a negative rate constant or population would give.
    cell.Reactions[CCell::ASSB].Propensity = -5.0;
    cell.Reactions[CCell::CAPB].Propensity = 1.0;
    cell.Random.SetSeed(77);
    double tau = 0.0;
    for (int i = 0; i < 1000; ++i) {
        CChemReaction *picked = cell.NextReaction(tau);
        EXPECT_TRUE(picked == &cell.Reactions[CCell::CAPB] || picked == nullptr);
        EXPECT_GE(tau, 0.0);
        picked = cell.FirstReaction(tau);
        EXPECT_TRUE(picked == &cell.Reactions[CCell::CAPB] || picked == nullptr);
    }
    cell.Reactions[CCell::CAPB].Propensity = 0.0;
    EXPECT_THROW(cell.NextReaction(tau), fp::FloatingPointError);
}

TEST_F(CellRun, FirstReactionTieGoesToTheLowerChannel)
{
    cell.Random.SetSeed(31337);
    double draws[CCell::REACTION_COUNT];
    for (double &u : draws)
        u = cell.Random.UniformReal();
    // Channels 2 and 5 get waiting time -ln(u) / -ln(u) = 1 exactly; the
    // others have none.
    cell.Reactions[2].Propensity = -std::log(draws[2]);
    cell.Reactions[5].Propensity = -std::log(draws[5]);
    cell.Random.SetSeed(31337);
    double tau = 0.0;
    EXPECT_EQ(cell.FirstReaction(tau), &cell.Reactions[2]);
    EXPECT_EQ(tau, 1.0);
}

TEST_F(CellRun, FirstReactionWithNothingToReactWaitsAboutForEver)
{
    cell.Random.SetSeed(5);
    double tau = 0.0;
    CChemReaction *chosen = cell.FirstReaction(tau);
    if (chosen) {
        EXPECT_LT(chosen->Propensity, CCell::NEGLIGIBLE_PROPENSITY);
    }
    EXPECT_GE(tau, 0.0);
    EXPECT_LE(tau, 1e30);
    EXPECT_GT(tau, 1e25);
}

// The waiting times of NextReaction are exponential with mean 1 / a0.
TEST_F(CellRun, NextReactionWaitingTimesHaveMeanOneOverTotalPropensity)
{
    cell.Reactions[CCell::ASSB].Propensity = 3.0;
    cell.Reactions[CCell::SEVR].Propensity = 1.0;
    cell.Random.SetSeed(8080);
    const int samples = 40000;
    double sum = 0.0;
    int severings = 0;
    for (int i = 0; i < samples; ++i) {
        double tau = 0.0;
        severings += cell.NextReaction(tau) == &cell.Reactions[CCell::SEVR] ? 1 : 0;
        sum += tau;
    }
    // Standard error of the mean: (1/4) / sqrt(n); of the fraction sqrt(p(1-p)/n).
    EXPECT_NEAR(sum / samples, 0.25, 4 * 0.25 / std::sqrt(double(samples)));
    EXPECT_NEAR(double(severings) / samples, 0.25, 4 * std::sqrt(0.25 * 0.75 / samples));
}

} // namespace
