#include "Chemreaction.h"

#include "FloatingPoint.h"

#include <gtest/gtest.h>

namespace {

// Molecules in 8e-15 litres (a 2 um box) at 1 uM.
constexpr double MOLECULES_PER_MICROMOLAR = 6.0221415e23 * 1e-6 * 8e-15;

TEST(ChemReaction, StartsEmpty)
{
    const CChemReaction reaction;
    EXPECT_EQ(reaction.RateConstant, 0.0);
    EXPECT_EQ(reaction.Volume, 0.0);
    EXPECT_EQ(reaction.VolumeExponent, 0);
    EXPECT_FALSE(reaction.Handler);
    EXPECT_EQ(reaction.Count, 0);
    EXPECT_EQ(reaction.StochasticRate, 0.0);
    EXPECT_EQ(reaction.Propensity, 0.0);
}

TEST(ChemReaction, StochasticRateOfTwoBodyReaction)
{
    CChemReaction reaction;
    reaction.SetOrder(1, nullptr);
    reaction.SetRate(11.6, 8e-15);
    EXPECT_NEAR(MOLECULES_PER_MICROMOLAR, 4817.7132, 1e-4);
    EXPECT_DOUBLE_EQ(reaction.StochasticRate, 11.6 / MOLECULES_PER_MICROMOLAR);
    EXPECT_NEAR(reaction.StochasticRate, 2.4078e-3, 1e-7);
    EXPECT_EQ(reaction.RateConstant, 11.6);
    EXPECT_EQ(reaction.Volume, 8e-15);
}

TEST(ChemReaction, StochasticRateOfThreeBodyReaction)
{
    CChemReaction reaction;
    reaction.SetOrder(2, nullptr);
    reaction.SetRate(1e-6, 8e-15);
    EXPECT_DOUBLE_EQ(reaction.StochasticRate, 1e-6 / (MOLECULES_PER_MICROMOLAR * MOLECULES_PER_MICROMOLAR));
    EXPECT_NEAR(reaction.StochasticRate, 4.3084e-14, 1e-18);
}

TEST(ChemReaction, OneBodyRateIgnoresTheVolume)
{
    CChemReaction reaction;
    for (const double volume : {8e-15, 1.0, 0.0, -3.0}) {
        reaction.SetRate(1.4, volume);
        EXPECT_EQ(reaction.StochasticRate, 1.4);
    }
}

TEST(ChemReaction, FireCountsThenRunsTheHandler)
{
    CChemReaction reaction;
    int calls = 0;
    int countSeenByHandler = -1;
    reaction.SetOrder(1, [&] {
        ++calls;
        countSeenByHandler = reaction.Count;
    });
    reaction.Fire();
    reaction.Fire();
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(countSeenByHandler, 2);
    EXPECT_EQ(reaction.Count, 2);
}

TEST(ChemReaction, FireWithoutHandlerOnlyCounts)
{
    CChemReaction reaction;
    reaction.Fire();
    EXPECT_EQ(reaction.Count, 1);
}

TEST(ChemReaction, SetRateRestartsCountAndPropensity)
{
    CChemReaction reaction;
    reaction.SetOrder(1, nullptr);
    reaction.SetRate(2.0, 1.0);
    reaction.SetPropensityFactor(10.0);
    EXPECT_EQ(reaction.Propensity, reaction.StochasticRate * 10.0);
    reaction.Fire();
    reaction.Fire();
    reaction.SetRate(3.0, 1.0);
    EXPECT_EQ(reaction.Count, 0);
    EXPECT_EQ(reaction.Propensity, 0.0);
}

TEST(ChemReaction, ZeroFactorGivesZeroPropensity)
{
    CChemReaction reaction;
    reaction.SetRate(1e12, 1.0);
    reaction.SetPropensityFactor(0.0);
    EXPECT_EQ(reaction.Propensity, 0.0);
}

TEST(ChemReaction, ZeroVolumeOfTwoBodyReactionDividesByZero)
{
    CChemReaction reaction;
    reaction.SetOrder(1, nullptr);
    const fp::Traps traps;
    try {
        reaction.SetRate(1.0, 0.0);
        FAIL() << "no fault raised";
    } catch (const fp::FloatingPointError &error) {
        EXPECT_EQ(error.fault(), fp::Fault::DivisionByZero);
    }
}

} // namespace
