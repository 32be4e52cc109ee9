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
    cell.ObsTime = 0.25;
    cell.ReactionCount = 12345;
    const double propensities[] = {1, 2, 0, 0.5, 0, 0, 3, 0, 1.5}; // 1/s, summing to 8
    for (int i = 0; i < CCell::REACTION_COUNT; ++i) {
        cell.Reactions[i].Count = 10 * i + 1;
        cell.Reactions[i].Propensity = propensities[i];
    }

    const ObservationRecord record = RecordObservation(cell);

    EXPECT_EQ(record.Time, 0.25);
    EXPECT_EQ(record.ReactionCount, 12345);
    const std::int32_t species[] = {91, 9, 2, 2, 7, 0, 0, 0, 0, 11};
    for (int i = 0; i < CCell::SPECIES_COUNT; ++i)
        EXPECT_EQ(record.Species[i], species[i]) << CCell::SpeciesNames[i];
    EXPECT_EQ(record.PropensitySum, 8.0);
    ASSERT_TRUE(record.HasProbabilities());
    for (int i = 0; i < CCell::REACTION_COUNT; ++i) {
        EXPECT_EQ(record.Occurrences[i], 10 * i + 1) << CCell::ReactionNames[i];
        EXPECT_EQ(record.Propensities[i], propensities[i]) << CCell::ReactionNames[i];
        EXPECT_EQ(record.Probabilities[i], propensities[i] / 8) << CCell::ReactionNames[i];
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
}

} // namespace
