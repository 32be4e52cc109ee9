#include "Cell.h"

#include "CellTestWorld.h"
#include "Random.h"

#include <gtest/gtest.h>

namespace {

void ExpectVector(const CVector &actual, double x, double y, double z)
{
    EXPECT_EQ(actual.x, x);
    EXPECT_EQ(actual.y, y);
    EXPECT_EQ(actual.z, z);
}

// A fixed-seed run with mechanics, compared bit for bit with the values it
// gave when recorded. Any change in the order of the random draws or of the
// floating-point operations shows here; re-record only on purpose.
TEST(CellGolden, FixedSeedRunWithMechanics)
{
    CCell cell;
    cell.Random.SeedWith(20261207u);
    BuildWorld(cell, PushedWorld(SimulationMethod::NextReaction));
    cell.RunChemMech(0.3);

    // The run ends at 0.3 exactly; the reaction drawn for after it waits.
    EXPECT_EQ(cell.Time, 0.3);
    EXPECT_EQ(cell.MechTime, 0.29999999999998328);
    EXPECT_EQ(cell.ObsTime, 0.3);
    ASSERT_TRUE(cell.Pending);
    EXPECT_EQ(cell.Pending->Channel, CCell::ASSB);
    EXPECT_EQ(cell.Pending->Time, 0.30002514197616015);
    EXPECT_EQ(cell.ReactionCount, 1861);
    const std::array<std::int32_t, CCell::SPECIES_COUNT> species = {594, 911, 29, 58, 122, 29, 76, 0, 0, 225};
    EXPECT_EQ(cell.Species, species);
    const std::int32_t counts[CCell::REACTION_COUNT] = {0, 1228, 26, 182, 253, 42, 30, 35, 65};
    for (int i = 0; i < CCell::REACTION_COUNT; ++i)
        EXPECT_EQ(cell.Reactions[i].Count, counts[i]) << cell.Reactions[i].Name;
    ASSERT_EQ(cell.Filaments.size(), 58u);
    EXPECT_EQ(cell.MeanFilamentSize(), 15.706896551724139);

    const CSolidFilament &first = cell.Filaments.front();
    ExpectVector(first.PointedEnd, 2.2755556067776183e-07, 2.7213847837637458e-07, 2.9223646685685977e-07);
    ExpectVector(first.Direction, 0.46849869895304896, -0.61934402247905229, -0.63001742110736303);
    ExpectVector(first.Velocity, -0.00010255833839704891, 7.1078420201812906e-05, 1.4404852299185329e-05);
    EXPECT_EQ(first.Monomers, 19);
    EXPECT_TRUE(first.Capped);

    const CSolidFilament &last = cell.Filaments.back();
    ExpectVector(last.PointedEnd, 2.4853227783459831e-07, 2.592495232348057e-07, 2.3716074356674226e-07);
    ExpectVector(last.Direction, 0.56749371990940733, -0.41017877543270387, 0.71393574644215141);
    ExpectVector(last.Velocity, -9.2413390948660175e-05, 0.00014138401308605057, 1.1206688351251222e-05);
    EXPECT_EQ(last.Monomers, 9);
    EXPECT_TRUE(last.Capped);

    ExpectVector(cell.Bacterium->Center, 2.4550066324308087e-07, 2.5332170356804457e-07,
                 2.555429136287281e-07);
}

} // namespace
