// The observation record filled from a cell whose counts, propensities and
// filaments are known.

#include "Cell.h"
#include "Observationrecord.h"

#include <gtest/gtest.h>

namespace {

TEST(ObservationRecord, CopiesTheCellAndDividesEachPropensityByTheirSum)
{
    CCell cell;
    cell.Species[CCell::ACG] = 100;
    cell.Species[CCell::CAP] = 7;
    cell.Species[CCell::ADC] = 11;
    // Two nuclei of three, then three monomers onto the barbed ends: twelve
    // monomers leave the pool, nine of them in two filaments.
    cell.FormFilament();
    cell.FormFilament();
    for (int i = 0; i < 3; ++i)
        cell.AssocBarbed();
    ASSERT_EQ(cell.Filaments.size(), 2u);
    cell.ObsTime = 0.25; // observed during a run, whose clock is ahead
    cell.Time = 0.3;
    cell.Running = true;
    cell.ReactionCount = 12345;
    const double propensities[] = {1, 2, 0, 0.5, 0, 0, 3, 0, 1.5}; // 1/s, summing to 8
    for (int i = 0; i < CCell::REACTION_COUNT; ++i) {
        cell.Reactions[i].Count = 10 * i + 1;
        cell.Reactions[i].Propensity = propensities[i];
    }

    const ObservationRecord record = RecordObservation(cell);

    EXPECT_EQ(record.Time, 0.25);
    cell.Running = false; // between runs the world is at its own time
    EXPECT_EQ(RecordObservation(cell).Time, 0.3);
    EXPECT_EQ(record.ReactionCount, 12345);
    const std::int32_t species[] = {91, 9, 2, 2, 7, 0, 0, 0, 0, 11};
    for (int i = 0; i < CCell::SPECIES_COUNT; ++i)
        EXPECT_EQ(record.Species[i], species[i]) << CCell::SpeciesNames[i];
    EXPECT_EQ(record.PropensitySum, 8.0);
    ASSERT_TRUE(record.HasProbabilities());
    for (int i = 0; i < CCell::REACTION_COUNT; ++i) {
        EXPECT_EQ(record.Occurrences[i], 10 * i + 1) << cell.Reactions[i].Name;
        EXPECT_EQ(record.Propensities[i], propensities[i]) << cell.Reactions[i].Name;
        EXPECT_EQ(record.Probabilities[i], propensities[i] / 8) << cell.Reactions[i].Name;
    }
    EXPECT_EQ(record.MeanFilamentSize, 4.5);
}

TEST(ObservationRecord, WorldThatCannotReactHasNoProbabilities)
{
    CCell cell;
    cell.Species[CCell::ACG] = 5;
    const ObservationRecord record = RecordObservation(cell);
    EXPECT_EQ(record.Species[CCell::ACG], 5);
    EXPECT_EQ(record.PropensitySum, 0.0);
    EXPECT_FALSE(record.HasProbabilities());
    for (const double probability : record.Probabilities)
        EXPECT_EQ(probability, 0.0);
    EXPECT_EQ(record.MeanFilamentSize, 0.0); // no filaments
    EXPECT_FALSE(record.Bacterium);
    EXPECT_FALSE(record.BacteriumMeanVelocity());
}

TEST(ObservationRecord, BacteriumMotionCountsFromItsPositionAtReset)
{
    CCell cell;
    cell.SetBox(CVector(0.0), CVector(1e-6));
    cell.CreateBacterium();
    CBacterium &bacterium = *cell.Bacterium;
    bacterium.Radius = 1e-7;
    bacterium.ResetPosition = CVector(5e-7, 5e-7, 5e-7);
    // Moved by (3, -4, 12) nm: 13 nm away.
    bacterium.Center = CVector(5.03e-7, 4.96e-7, 5.12e-7);
    // One filament with its pointed end 10 nm inside the body, one far off.
    CSolidFilament touching, apart;
    touching.SetGeometry(bacterium.Center + CVector(0.9e-7, 0, 0), CVector(1, 0, 0));
    apart.SetGeometry(CVector(1e-8), CVector(0, 0, 1));
    for (CSolidFilament *f : {&touching, &apart}) {
        f->Monomers = 10;
        cell.Filaments.Append(*f);
    }

    cell.Time = 0.0;
    EXPECT_FALSE(RecordObservation(cell).BacteriumMeanVelocity()); // no time has passed
    cell.Time = 2.0;
    const ObservationRecord record = RecordObservation(cell);

    ASSERT_TRUE(record.Bacterium);
    const ObservationRecord::BacteriumMotion &motion = *record.Bacterium;
    EXPECT_EQ(motion.Position.x, 5.03e-7);
    EXPECT_EQ(motion.Position.z, 5.12e-7);
    EXPECT_NEAR(motion.Displacement.y, -4e-9, 1e-22);
    EXPECT_NEAR(motion.Distance, 13e-9, 13e-21);
    EXPECT_NEAR(motion.SquaredDistance, 169e-18, 169e-30); // the move is rounded to 1e-22 m
    EXPECT_EQ(motion.TouchingFilaments, 1);
    ASSERT_TRUE(record.BacteriumMeanVelocity());
    EXPECT_NEAR(*record.BacteriumMeanVelocity(), 6.5e-9, 6.5e-21); // m/s over 2 s
}

} // namespace
