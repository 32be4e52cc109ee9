#include "Cell.h"

#include "CellTestWorld.h"
#include "Random.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>

namespace {

// What must hold after every reaction, checked against the filament list.
::testing::AssertionResult Consistent(const CCell &cell, std::int32_t actin, std::int32_t cappingProtein)
{
    for (const auto &f : cell.Filaments)
        if (f.Monomers < 3)
            return ::testing::AssertionFailure() << "a filament of " << f.Monomers << " monomers";
    const auto &n = cell.Species;
    for (int i = 0; i < CCell::SPECIES_COUNT; ++i) {
        if (n[i] < 0)
            return ::testing::AssertionFailure() << CCell::SpeciesNames[i] << " = " << n[i];
    }
    if (const auto mismatch = cell.CounterMismatch())
        return ::testing::AssertionFailure() << CCell::SpeciesNames[mismatch->Species] << " "
                                             << mismatch->Describe();
    if (n[CCell::ACG] + n[CCell::ACF] != actin)
        return ::testing::AssertionFailure() << "actin " << n[CCell::ACG] + n[CCell::ACF] << " of " << actin;
    if (n[CCell::CAP] + n[CCell::CAF] != cappingProtein)
        return ::testing::AssertionFailure()
               << "capping protein " << n[CCell::CAP] + n[CCell::CAF] << " of " << cappingProtein;
    if (n[CCell::ARF] != 0 || n[CCell::ARB] != 0)
        return ::testing::AssertionFailure() << "ARF or ARB changed";
    return ::testing::AssertionSuccess();
}

class CellInvariants : public ::testing::TestWithParam<std::tuple<SimulationMethod, bool>> {};

TEST_P(CellInvariants, CountersFollowTheFilamentsThroughLongRuns)
{
    const auto [method, withMechanics] = GetParam();
    constexpr std::int32_t reactionsPerSeed = 4000;
    std::array<std::int64_t, CCell::REACTION_COUNT> fired{};
    std::int64_t removals = 0;

    for (std::uint32_t seed = 1; seed <= 8; ++seed) {
        SCOPED_TRACE(::testing::Message() << "seed " << seed);
        CCell cell;
        cell.Random.SeedWith(seed * 7919u);
        BuildWorld(cell, PushedWorld(method));
        const std::int32_t actin = cell.Species[CCell::ACG];
        const std::int32_t cappingProtein = cell.Species[CCell::CAP];
        ::testing::AssertionResult state = ::testing::AssertionSuccess();
        // Checked before every selection, that is after every reaction.
        // A reaction changes the number of filaments by one at most, so a
        // smaller list means that the last reaction removed one.
        const CCell::SelectionMethod select = cell.Method;
        std::size_t filaments = 0;
        cell.Method = [&](double &tau) {
            removals += cell.Filaments.size() < filaments ? 1 : 0;
            filaments = cell.Filaments.size();
            state = Consistent(cell, actin, cappingProtein);
            if (!state || cell.ReactionCount >= reactionsPerSeed)
                cell.Stop();
            return select(tau);
        };
        if (withMechanics)
            cell.RunChemMech(1e3);
        else
            cell.RunChemistry(1e3);
        ASSERT_TRUE(state);
        ASSERT_TRUE(Consistent(cell, actin, cappingProtein));
        EXPECT_GE(cell.ReactionCount, reactionsPerSeed);
        for (int i = 0; i < CCell::REACTION_COUNT; ++i)
            fired[i] += cell.Reactions[i].Count;
    }
    for (int i = 0; i < CCell::REACTION_COUNT; ++i)
        EXPECT_GT(fired[i], 0) << ChannelNames()[i];
    EXPECT_GT(removals, 0);
}

// Leaps fire many reactions at once, through the same handlers: checked
// after every leap and exact step.
TEST(CellInvariantsWhileLeaping, CountersFollowTheFilamentsThroughLongRuns)
{
    std::int64_t leaps = 0;
    std::array<std::int64_t, CCell::REACTION_COUNT> fired{};
    for (std::uint32_t seed = 1; seed <= 4; ++seed) {
        SCOPED_TRACE(::testing::Message() << "seed " << seed);
        CCell cell;
        cell.Random.SeedWith(seed * 7919u);
        BuildWorld(cell, PushedWorld(SimulationMethod::TauLeap));
        const std::int32_t actin = cell.Species[CCell::ACG];
        const std::int32_t cappingProtein = cell.Species[CCell::CAP];
        ::testing::AssertionResult state = ::testing::AssertionSuccess();
        cell.BetweenReactions = [&] {
            state = Consistent(cell, actin, cappingProtein);
            if (!state)
                cell.Stop();
        };
        cell.RunChemistry(2.0);
        ASSERT_TRUE(state);
        ASSERT_TRUE(Consistent(cell, actin, cappingProtein));
        leaps += std::int64_t(cell.TauLeap.LeapNumber);
        for (int i = 0; i < CCell::REACTION_COUNT; ++i)
            fired[i] += cell.Reactions[i].Count;
    }
    EXPECT_GT(leaps, 100);
    for (int i = 0; i < CCell::REACTION_COUNT; ++i)
        EXPECT_GT(fired[i], 0) << ChannelNames()[i];
}

INSTANTIATE_TEST_SUITE_P(MethodsAndMechanics, CellInvariants,
                         ::testing::Combine(::testing::Values(SimulationMethod::FirstReaction, SimulationMethod::NextReaction),
                                            ::testing::Bool()),
                         [](const auto &info) {
                             return std::string(std::get<0>(info.param) == SimulationMethod::FirstReaction ? "First"
                                                                                                 : "Next") +
                                    (std::get<1>(info.param) ? "WithMechanics" : "ChemistryOnly");
                         });

} // namespace
