// A channel is a row: a throw-away tenth channel, added through a table of
// its own, reaches every part that reads channels.

#include "Cell.h"
#include "Parameters.h"
#include "Resetandapply.h"
#include "Statereport.h"
#include "TestSupport.h"
#include "Worldfile.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <vector>

namespace {

// "GROW": a second barbed-end growth, counted apart from ASSB (idle here).
void Grow(CChemistry &chemistry)
{
    chemistry.AssocBarbed();
}

std::vector<ChannelRow> TableWithTenthChannel()
{
    std::vector<ChannelRow> rows(SpecifiedChannels().begin(), SpecifiedChannels().end());
    rows.push_back({"GROW", "RATE_ASSB", 1.0, ChannelVolume::Cell, 1, {CCell::FIB, CCell::ACG}, &Grow,
                    {-1, 1, 0, 0, 0}, {1, 0, 1, 0, 0}, {1, 0, 0, 0, 0}, true});
    return rows;
}

class TenthChannel : public ::testing::Test {
protected:
    TenthChannel()
    {
        CreateParameterTables(store, nullptr);
        // GROW takes its rate from RATE_ASSB; every other channel is idle.
        for (ParameterTable &table : store.Tables)
            for (ParameterRow &row : table.Rows)
                if ((row.Key.starts_with("RATE_") && row.Key != "RATE_ASSB") || row.Key == "C_CAP" ||
                    row.Key == "C_ADC")
                    row.Value = "0";
        cell.Random.SeedWith(5);
        ResetAndApply(store, cell);
        // Filaments enough for a leap to fire GROW many times (it is not
        // critical) and to bound the leap by the change of G- and F-actin.
        for (int i = 0; i < 24; ++i)
            cell.FormFilament();
        for (int i = 0; i < 2400; ++i)
            cell.AssocBarbed();
        cell.Reactions[CCell::ASSB].SetRate(0.0, 1.0);
        cell.UpdatePropensities();
    }

    std::vector<ChannelRow> rows = TableWithTenthChannel();
    ParameterStore store;
    CCell cell{rows};
    ScratchDirectory dir;
};

TEST_F(TenthChannel, HasItsPropensityAndIsTheOnlyOneChosen)
{
    ASSERT_EQ(cell.Reactions.size(), 10u);
    EXPECT_EQ(cell.Reactions[9].Name, "GROW");
    EXPECT_EQ(cell.Reactions[9].RateConstant, 11.6);
    EXPECT_EQ(cell.Reactions[9].Propensity,
              cell.Reactions[9].StochasticRate * (24.0 * cell.Species[CCell::ACG]));
    EXPECT_GT(cell.Reactions[9].Propensity, 0.0);

    cell.SetMethod(SimulationMethod::NextReaction);
    const std::int32_t actin = cell.Species[CCell::ACG];
    cell.RunChemistry(0.05);
    EXPECT_GT(cell.Reactions[9].Count, 0);
    EXPECT_EQ(cell.ReactionCount, cell.Reactions[9].Count);
    EXPECT_LE(cell.Species[CCell::ACG], actin - cell.Reactions[9].Count / 2); // growth out of the box is refused
    EXPECT_FALSE(cell.CounterMismatch());
}

TEST_F(TenthChannel, LeapsFireItByItsOwnVectors)
{
    cell.SetMethod(SimulationMethod::TauLeap);
    const std::optional<CTauLeap::Leap> leap = cell.TauLeap.Plan(1.0);
    ASSERT_TRUE(leap);
    ASSERT_EQ(leap->Count.size(), 10u);
    // Its change vector (-1 G-actin, +1 F-actin) alone bounds the leap: the
    // expected change of each stays within max(epsilon x / g, 1).
    const double g = cell.Species[CCell::ACG];
    const double f = cell.Species[CCell::ACF];
    const double epsilon = cell.TauLeap.Accuracy;
    const double allowedG = std::max(epsilon * g / (3.0 + 1.0 / (g - 1) + 2.0 / (g - 2)), 1.0);
    const double allowedF = std::max(epsilon * f / 2.0, 1.0);
    EXPECT_DOUBLE_EQ(leap->Tau, std::min(allowedG, allowedF) / cell.Reactions[9].Propensity);
    EXPECT_GT(leap->Count[9], 0);
    EXPECT_EQ(cell.TauLeap.Apply(*leap), leap->Count[9]);
    EXPECT_EQ(cell.Reactions[9].Count, leap->Count[9]);
}

TEST_F(TenthChannel, IsSavedReadAndReported)
{
    cell.RunChemistry(0.02);
    const std::string path = dir.File("ten.fxworld");
    SaveWorld(path, cell, store, 1.0);
    const nlohmann::json saved = nlohmann::json::parse(ReadFile(path));
    ASSERT_EQ(saved["cell"]["channels"].size(), 10u);
    EXPECT_EQ(saved["cell"]["channels"][9]["name"], "GROW");

    CCell same(rows);
    LoadWorld(path, same);
    EXPECT_EQ(same.Reactions[9].Count, cell.Reactions[9].Count);
    EXPECT_EQ(same.Reactions[9].StochasticRate, cell.Reactions[9].StochasticRate);

    // A program without the channel refuses the file, naming it.
    CCell specified;
    try {
        LoadWorld(path, specified);
        FAIL() << "a world with an unknown channel was read";
    } catch (const WorldFileError &error) {
        EXPECT_NE(std::string(error.what()).find("\"GROW\" is no reaction channel"), std::string::npos)
            << error.what();
    }

    // A file without it reads with the channel unfired and unable to fire.
    nlohmann::json older = saved;
    older["cell"]["channels"].erase(9);
    older["cell"]["pendingReaction"] = nullptr;
    older["cell"]["reactionCount"] = cell.ReactionCount - cell.Reactions[9].Count;
    WriteFile(path, older.dump(2));
    CCell newer(rows);
    LoadWorld(path, newer);
    EXPECT_EQ(newer.Reactions[9].Count, 0);
    EXPECT_EQ(newer.Reactions[9].StochasticRate, 0.0);
    EXPECT_EQ(newer.Reactions[CCell::ASSB].Count, cell.Reactions[CCell::ASSB].Count);

    char *text = nullptr;
    std::size_t size = 0;
    std::FILE *report = open_memstream(&text, &size);
    PrintState(report, cell);
    std::fclose(report);
    const std::string state(text, size);
    std::free(text);
    const std::string counts = state.substr(state.find("counts"), state.find('\n', state.find("counts")) -
                                                                      state.find("counts"));
    EXPECT_EQ(counts, "counts 0 0 0 0 0 0 0 0 0 " + std::to_string(cell.Reactions[9].Count));
}

} // namespace
