#include "Cell.h"

#include "CellTestWorld.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

namespace {

CCell &LeapingWorld(CCell &cell, std::uint32_t seed, WorldParameters p = {})
{
    cell.Random.SeedWith(seed);
    p.Method = SimulationMethod::TauLeap;
    BuildWorld(cell, p);
    return cell;
}

// The end of a leap that reaches a grid point lies within rounding of it.
bool OnGrid(double time, double gridPoint)
{
    return std::fabs(time - gridPoint) <= 1e-12 * time;
}

// Every observation falls on a leap's end (or on an exact step's reaction
// time while exact steps are owed), and the run ends at its end time.
TEST(TauLeap, LeapsEndAtEveryObservationAndAtTheEndTime)
{
    CCell cell;
    LeapingWorld(cell, 5);
    int observations = 0, offGrid = 0;
    cell.OnObserve = [&] {
        ++observations;
        offGrid += !OnGrid(cell.Time, cell.ObsTime) && cell.TauLeap.ExactStepsLeft == 0;
    };
    cell.RunChemistry(1.005);
    EXPECT_EQ(observations, 101); // the grid's 100 and the end's
    EXPECT_EQ(offGrid, 0);
    EXPECT_EQ(cell.Time, 1.005);
    EXPECT_GT(cell.TauLeap.LeapNumber, 100u);
}

TEST(TauLeap, LeapsEndAtEveryMechanicsStep)
{
    CCell cell;
    WorldParameters p;
    p.CubeSize = 0.5;
    LeapingWorld(cell, 6, p);
    int steps = 0, offGrid = 0;
    cell.BetweenReactions = [&] {
        if (cell.TauLeap.ExactStepsLeft == 0 && !cell.Pending) {
            ++steps;
            offGrid += !OnGrid(cell.Time, cell.MechTime);
        }
    };
    cell.RunChemMech(0.01);
    EXPECT_GT(steps, 0);
    EXPECT_EQ(offGrid, 0);
    EXPECT_TRUE(OnGrid(cell.Time, cell.MechTime));
}

// With capping protein kept at nine molecules CAPB is critical: it fires at
// most once per leap, though at this rate a Poisson count for the leap would
// often be two or more.
TEST(TauLeap, CriticalChannelsFireAtMostOncePerLeap)
{
    CCell cell;
    LeapingWorld(cell, 7);
    cell.RunChemistry(0.5); // filaments to cap
    cell.Reactions[CCell::CAPB].SetRate(300.0, cell.Reactions[CCell::ASSB].Volume);
    std::uint64_t leapBefore = cell.TauLeap.LeapNumber;
    std::int64_t cappedBefore = cell.Reactions[CCell::CAPB].Count;
    int leaps = 0, once = 0, moreThanOnce = 0;
    cell.BetweenReactions = [&] {
        const std::int64_t capped = cell.Reactions[CCell::CAPB].Count - cappedBefore;
        if (cell.TauLeap.LeapNumber == leapBefore + 1) {
            ++leaps;
            once += capped == 1;
            moreThanOnce += capped > 1;
        }
        cell.Species[CCell::CAP] = 9;
        leapBefore = cell.TauLeap.LeapNumber;
        cappedBefore = cell.Reactions[CCell::CAPB].Count;
    };
    cell.RunChemistry(1.0);
    EXPECT_GT(leaps, 20);
    EXPECT_GT(once, 10);
    EXPECT_EQ(moreThanOnce, 0);
}

// Forty free monomers on twenty filaments: ASSB and DISB are not critical,
// but a leap that kept ACG within 3 % would be shorter than ten exact steps,
// so the world takes exactly 100 exact steps, then tries again.
TEST(TauLeap, ShortLeapsGiveWayToOneHundredExactSteps)
{
    CCell cell;
    WorldParameters p;
    p.ConcentrationACG = p.ConcentrationCAP = p.ConcentrationARP = p.ConcentrationADC = 0.0;
    LeapingWorld(cell, 8, p);
    AddFilaments(cell, 20, 50);
    cell.Species[CCell::ACG] = 40;
    cell.UpdatePropensities();
    ASSERT_FALSE(cell.TauLeap.Plan(1.0));
    EXPECT_EQ(cell.TauLeap.ExactStepsLeft, CTauLeap::EXACT_STEPS);
    cell.TauLeap.ExactStepsLeft = 0;
    cell.BetweenReactions = [&] {
        if (cell.ReactionCount > 0 && cell.TauLeap.ExactStepsLeft == 0)
            cell.Stop();
    };
    cell.RunChemistry(1e3);
    EXPECT_EQ(cell.ReactionCount, CTauLeap::EXACT_STEPS);
    EXPECT_EQ(cell.TauLeap.LeapNumber, 0u);
}

// Ten free filaments of three monomers beside ten long capped ones: DISB is
// not critical and the long ones let the leap be long, but more than ten DISB
// firings could find no free barbed end. Such leaps are drawn again shorter.
TEST(TauLeap, LeapsThatCouldRunOutOfFilamentsAreHalved)
{
    CCell cell;
    WorldParameters p;
    p.ConcentrationACG = p.ConcentrationCAP = p.ConcentrationARP = p.ConcentrationADC = 0.0;
    p.RateFORM = p.RateASSB = p.RateASSP = p.RateCAPB = p.RateARPB = p.RateSEVR = 0.0;
    LeapingWorld(cell, 10, p);
    AddFilaments(cell, 10, 3);
    AddFilaments(cell, 10, 10000);
    for (CSolidFilament &f : cell.Filaments)
        f.Capped = f.Monomers > 3;
    for (CSolidFilament &f : cell.Filaments)
        cell.Filaments.Refresh(f);
    cell.Species[CCell::FIB] = 10;
    cell.Species[CCell::CAF] = 10;
    cell.Species[CCell::ACG] = 100000;
    cell.UpdatePropensities();
    int halved = 0;
    for (std::uint64_t leapNumber = 0; leapNumber < 20; ++leapNumber) {
        cell.TauLeap.LeapNumber = leapNumber;
        const std::optional<CTauLeap::Leap> leap = cell.TauLeap.Plan(1.0);
        ASSERT_TRUE(leap);
        EXPECT_LE(leap->Count[CCell::DISB], 10);
        halved += leap->Tau < 1.0;
    }
    EXPECT_GT(halved, 5);
}

// A world that plans leaps from the given counters and propensities (s^-1)
// alone: every other channel is idle.
void PlanningWorld(CCell &cell, std::vector<std::pair<CCell::SpeciesIndex, std::int32_t>> species,
                   std::vector<std::pair<CCell::ReactionIndex, double>> propensities)
{
    LeapingWorld(cell, 11);
    cell.Species.fill(0);
    for (const auto &[i, count] : species)
        cell.Species[i] = count;
    for (CChemReaction &reaction : cell.Reactions)
        reaction.Propensity = 0.0;
    for (const auto &[j, a] : propensities)
        cell.Reactions[j].Propensity = a;
}

// ASSB alone on 10,000 G-actin: ACG limits the leap to the tau of Cao,
// Gillespie and Petzold (2006) with g = 3 + 1/(x - 1) + 2/(x - 2), the
// F-actin's limit (3 % of 200,000 over g = 2) being far longer.
TEST(TauLeap, TauIsTheOneThatKeepsTheActinWithinTheAccuracy)
{
    CCell cell;
    PlanningWorld(cell, {{CCell::ACG, 10000}, {CCell::ACF, 200000}, {CCell::FIB, 20}, {CCell::FIP, 20}},
                  {{CCell::ASSB, 500.0}});
    const double allowed = 0.03 * 10000 / (3.0 + 1.0 / 9999.0 + 2.0 / 9998.0); // molecules
    const double expected = std::min(allowed / 500.0, allowed * allowed / 500.0);
    const std::optional<CTauLeap::Leap> leap = cell.TauLeap.Plan(1.0);
    ASSERT_TRUE(leap);
    EXPECT_NEAR(leap->Tau, expected, 1e-12 * expected);
    EXPECT_FALSE(leap->ReachesLimit);
}

// DISB and CAPB both take free barbed ends, of which there are 12: whatever
// the draws, no leap fires them more than 12 times together, the ends that
// DISB may take being gone for CAPB.
TEST(TauLeap, ChannelsDrainingOneSpeciesShareWhatItHolds)
{
    CCell cell;
    PlanningWorld(cell,
                  {{CCell::ACG, 100000}, {CCell::ACF, 100036}, {CCell::FIB, 12}, {CCell::FIP, 22}, {CCell::CAP, 1000}},
                  {{CCell::DISB, 120.0}, {CCell::CAPB, 10.0}});
    int both = 0;
    for (std::uint64_t leapNumber = 0; leapNumber < 200; ++leapNumber) {
        cell.TauLeap.LeapNumber = leapNumber;
        const std::optional<CTauLeap::Leap> leap = cell.TauLeap.Plan(1.0);
        ASSERT_TRUE(leap);
        EXPECT_LE(leap->Count[CCell::DISB] + leap->Count[CCell::CAPB], 12) << "leap " << leapNumber;
        both += leap->Count[CCell::DISB] > 0 && leap->Count[CCell::CAPB] > 0;
    }
    EXPECT_GT(both, 20);
}

// The leap's counts depend on the counter key and the leap number alone: the
// same world leaps the same way, and another key leaps another way.
TEST(TauLeap, SameSeedSameRunOtherCounterKeyOtherRun)
{
    CCell first, second, third;
    for (CCell *cell : {&first, &second, &third})
        LeapingWorld(*cell, 9);
    third.CounterKey ^= 1u;
    for (CCell *cell : {&first, &second, &third})
        cell->RunChemistry(2.0);
    EXPECT_EQ(Fingerprint(first), Fingerprint(second));
    EXPECT_NE(Fingerprint(first), Fingerprint(third));
}

} // namespace
