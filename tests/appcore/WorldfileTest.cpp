#include "Worldfile.h"

#include "Cell.h"
#include "Numbertext.h"
#include "Parameters.h"
#include "Random.h"
#include "Resetandapply.h"
#include "TestSupport.h"

#include <nlohmann/json.hpp>

#include <bit>
#include <limits>
#include <string_view>
#include <tuple>

namespace {

using Json = nlohmann::json;

// A small box where filaments form, grow, get capped and severed quickly.
ParameterStore BusyWorld(std::string_view method)
{
    ParameterStore store;
    CreateParameterTables(store, nullptr);
    const std::pair<std::string_view, std::string_view> values[] = {
        {"SIM_CUBESIZE", "0.5"}, {"C_ACG", "20"},     {"C_CAP", "2"},        {"C_ADC", "3"},
        {"RATE_FORM", "1E-5"},   {"RATE_DISB", "20"}, {"RATE_SEVR", "0.1"},  {"SIM_OBSERVTIMESTEP", "0.01"},
        {"BACT_RAD", "7E-8"},    {"MECH_BROWNIANFORCE", "1E-23"},           {"MECH_FWINTERCOEF", "1E-13"}};
    for (ParameterTable &table : store.Tables) {
        for (ParameterRow &row : table.Rows) {
            for (const auto &[key, value] : values)
                if (row.Key == key)
                    row.Value = value;
        }
    }
    store.Table(kSimulation)->Find("SIM_METHOD")->Value = method;
    return store;
}

void RunTo(CCell &cell, bool withMechanics, double tEnd)
{
    if (withMechanics)
        cell.RunChemMech(tEnd);
    else
        cell.RunChemistry(tEnd);
}

// The whole state of a cell and of the random streams, as a world file.
std::string StateText(const ScratchDirectory &dir, const CCell &cell, const ParameterStore &store)
{
    const std::string path = dir.File("state.fxworld");
    SaveWorld(path, cell, store, 1.0);
    return ReadFile(path);
}

class WorldResume : public ::testing::TestWithParam<std::tuple<std::string_view, bool>> {};

// Saved at T1 and loaded into a fresh cell with other random draws pending,
// the world ends at T2 as the world that went on in memory.
TEST_P(WorldResume, ResumedRunEndsAsTheRunContinuedInMemory)
{
    const auto [method, withMechanics] = GetParam();
    const ScratchDirectory dir;
    const std::string saved = dir.File("t1.fxworld");
    const ParameterStore store = BusyWorld(method);
    SeedRandomWith(61);
    CCell original;
    ResetAndApply(store, original);
    RunTo(original, withMechanics, 0.1);
    ASSERT_GT(original.Filaments.size(), 5u);
    SaveWorld(saved, original, store, 0.2);
    RunTo(original, withMechanics, 0.2);
    const std::string continued = StateText(dir, original, store);

    SeedRandomWith(99);
    CSolidFilament::FilamentRadius = 1.0;
    CCell resumed;
    const WorldContext context = LoadWorld(saved, resumed);
    EXPECT_EQ(context.TargetTime, 0.2);
    EXPECT_TRUE(context.RandomStateComplete);
    RunTo(resumed, withMechanics, context.TargetTime);
    EXPECT_EQ(StateText(dir, resumed, context.Parameters), continued);
}

// A checkpoint taken between two reactions in the middle of a run, resumed,
// ends exactly as the run that was never interrupted.
TEST_P(WorldResume, RunResumedFromACheckpointEndsAsTheUninterruptedRun)
{
    const auto [method, withMechanics] = GetParam();
    const ScratchDirectory dir;
    const std::string checkpoint = dir.File("checkpoint.fxworld");
    const ParameterStore store = BusyWorld(method);
    SeedRandomWith(62);
    CCell original;
    ResetAndApply(store, original);
    double checkpointTime = 0.0;
    original.BetweenReactions = [&] {
        if (checkpointTime == 0.0 && original.Time >= 0.137) {
            checkpointTime = original.Time;
            SaveWorld(checkpoint, original, store, 0.2);
        }
    };
    RunTo(original, withMechanics, 0.2);
    ASSERT_GT(checkpointTime, 0.0);
    const std::string uninterrupted = StateText(dir, original, store);

    CCell resumed;
    LoadWorld(checkpoint, resumed);
    EXPECT_EQ(resumed.Time, checkpointTime);
    RunTo(resumed, withMechanics, 0.2);
    EXPECT_EQ(StateText(dir, resumed, store), uninterrupted);
}

INSTANTIATE_TEST_SUITE_P(BothMethods, WorldResume,
                         ::testing::Combine(::testing::Values(CCell::FIRST_REACTION, CCell::NEXT_REACTION),
                                            ::testing::Bool()));

TEST(WorldFile, DoublesReadBackBitForBit)
{
    const ScratchDirectory dir;
    const ParameterStore store = BusyWorld(CCell::NEXT_REACTION);
    CCell cell;
    ResetAndApply(store, cell);
    const double values[] = {0.1, -0.0, 1.0 / 3.0, 5e-324, 2.2250738585072014e-308,
                             std::numeric_limits<double>::max(), -1.2345678901234567e-19,
                             std::bit_cast<double>(0x3FF0000000000001ull)};
    cell.Time = values[0];
    cell.MechTimeStep = values[1];
    cell.Viscosity = values[2];
    cell.Origin = CVector(values[3], values[4], values[5]);
    cell.Bacterium->Velocity = CVector(values[6], values[7], values[7]);
    SaveWorld(dir.File("w.fxworld"), cell, store, values[2]);

    CCell loaded;
    const WorldContext context = LoadWorld(dir.File("w.fxworld"), loaded);
    const double read[] = {loaded.Time, loaded.MechTimeStep, loaded.Viscosity, loaded.Origin.x,
                           loaded.Origin.y, loaded.Origin.z, loaded.Bacterium->Velocity.x,
                           loaded.Bacterium->Velocity.y};
    for (std::size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(std::bit_cast<std::uint64_t>(read[i]), std::bit_cast<std::uint64_t>(values[i])) << i;
    EXPECT_EQ(context.TargetTime, values[2]);
}

TEST(WorldFile, GridsShowTheAppliedValuesExactly)
{
    const ScratchDirectory dir;
    ParameterStore store = BusyWorld(CCell::FIRST_REACTION);
    store.Table(kRates)->Find("RATE_ASSB")->Value = "11.600000000000001";
    CCell cell;
    ResetAndApply(store, cell);
    SaveWorld(dir.File("w.fxworld"), cell, store, 5.0);
    CCell loaded;
    const ParameterStore shown = LoadWorld(dir.File("w.fxworld"), loaded).Parameters;
    EXPECT_EQ(ParameterText(shown, kConcentrations, "C_ACG"), "20");
    EXPECT_EQ(ParameterText(shown, kMechanics, "MECH_FWINTERCOEF"), "1E-13");
    EXPECT_EQ(ParameterNumber(shown, kRates, "RATE_ASSB"), 11.600000000000001);
    EXPECT_EQ(ParameterText(shown, kSimulation, "SIM_METHOD"), CCell::FIRST_REACTION);
    EXPECT_EQ(shown.CurrentState.Rows.size(), store.CurrentState.Rows.size());
}

TEST(WorldFile, RandomStreamsOfTheLibraryGeneratorAreDeclaredIncomplete)
{
    const ScratchDirectory dir;
    const ParameterStore store = BusyWorld(CCell::NEXT_REACTION);
    CCell cell;
    ResetAndApply(store, cell);
    GeneratorMode = 2;
    EXPECT_NE(IncompleteRandomStateWarning(), "");
    SaveWorld(dir.File("w.fxworld"), cell, store, 1.0);
    GeneratorMode = 0;
    const Json random = Json::parse(ReadFile(dir.File("w.fxworld")))["random"];
    EXPECT_EQ(random["complete"], false);
    EXPECT_NE(random["note"].get<std::string>().find("rand()"), std::string::npos);
    EXPECT_FALSE(LoadWorld(dir.File("w.fxworld"), cell).RandomStateComplete);
    EXPECT_EQ(GeneratorMode, 2);
    GeneratorMode = 0;
    EXPECT_EQ(IncompleteRandomStateWarning(), "");
}

TEST(WorldFile, AnUnwritablePlaceIsReportedAndNothingIsLeftBehind)
{
    const ScratchDirectory dir;
    const ParameterStore store = BusyWorld(CCell::NEXT_REACTION);
    CCell cell;
    ResetAndApply(store, cell);
    const std::string path = dir.File("missing/w.fxworld");
    try {
        SaveWorld(path, cell, store, 1.0);
        FAIL() << "saved into a missing folder";
    } catch (const WorldFileError &e) {
        EXPECT_NE(std::string(e.what()).find("cannot be written"), std::string::npos) << e.what();
    }
    cell.Time = std::numeric_limits<double>::infinity();
    EXPECT_THROW(SaveWorld(dir.File("w.fxworld"), cell, store, 1.0), WorldFileError);
    EXPECT_FALSE(std::filesystem::exists(dir.File("w.fxworld")));
}

// One damaged copy of a good world file and the words its refusal must hold.
struct BadFile {
    const char *Name;
    std::string (*Damage)(const std::string &good);
    std::vector<std::string> Message;
};

std::string Edited(const std::string &good, void (*edit)(Json &))
{
    Json document = Json::parse(good);
    edit(document);
    return document.dump(1);
}

const BadFile kBadFiles[] = {
    {"truncated", [](const std::string &good) { return good.substr(0, good.size() * 2 / 3); },
     {"truncated"}},
    {"empty", [](const std::string &) { return std::string(); }, {"truncated"}},
    {"not JSON", [](const std::string &) { return std::string("[ViewSettings]\nZoom=1\n"); },
     {"byte ", "not a world file"}},
    {"other JSON", [](const std::string &) { return std::string(R"({"format": "Chart"})"); },
     {"format", "not a world file"}},
    {"other version",
     [](const std::string &good) { return Edited(good, [](Json &d) { d["formatVersion"] = 2; }); },
     {"formatVersion", "version 2", "reads version 1"}},
    {"short filament",
     [](const std::string &good) { return Edited(good, [](Json &d) { d["filaments"][3][0] = 2; }); },
     {"filaments[3].monomers", "2 monomers"}},
    {"counter against the list",
     [](const std::string &good) { return Edited(good, [](Json &d) { d["cell"]["species"]["FIP"] = 1; }); },
     {"cell.species.FIP", "is 1 but the filament list holds"}},
    {"monomers against the list",
     [](const std::string &good) {
         return Edited(good, [](Json &d) { d["filaments"][0][0] = d["filaments"][0][0].get<int>() + 1; });
     },
     {"cell.species.ACF", "monomers"}},
    {"infinite number",
     [](const std::string &good) {
         std::string text = Edited(good, [](Json &d) { d["filaments"][1][20] = 12345.75; });
         return text.replace(text.find("12345.75"), 8, "1e999");
     },
     {"not finite", "1e999"}},
    {"null number",
     [](const std::string &good) { return Edited(good, [](Json &d) { d["cell"]["time"] = nullptr; }); },
     {"cell.time", "a number is expected"}},
    {"missing member",
     [](const std::string &good) { return Edited(good, [](Json &d) { d["bacterium"].erase("density"); }); },
     {"bacterium.density", "missing"}},
    {"unknown parameter",
     [](const std::string &good) {
         return Edited(good, [](Json &d) { d["parameters"]["ValueListRates"]["RATE_FAST"] = 1; });
     },
     {"parameters.ValueListRates.RATE_FAST", "no such parameter"}},
    {"counter out of range",
     [](const std::string &good) {
         return Edited(good, [](Json &d) { d["cell"]["species"]["ACG"] = 3000000000u; });
     },
     {"cell.species.ACG", "out of range"}},
};

TEST(WorldFile, EveryKindOfBadFileIsRefusedWithTheWorldUnchanged)
{
    const ScratchDirectory dir;
    const ParameterStore store = BusyWorld(CCell::NEXT_REACTION);
    SeedRandomWith(63);
    CCell cell;
    ResetAndApply(store, cell);
    cell.RunChemMech(0.05);
    ASSERT_GT(cell.Filaments.size(), 3u);
    const std::string good = StateText(dir, cell, store);
    const double radius = CSolidFilament::FilamentRadius;
    for (const BadFile &bad : kBadFiles) {
        SCOPED_TRACE(bad.Name);
        const std::string path = dir.File("bad.fxworld");
        WriteFile(path, bad.Damage(good));
        try {
            LoadWorld(path, cell);
            ADD_FAILURE() << "accepted";
        } catch (const WorldFileError &e) {
            const std::string message = e.what();
            EXPECT_NE(message.find(path), std::string::npos) << message;
            for (const std::string &words : bad.Message)
                EXPECT_NE(message.find(words), std::string::npos) << message;
        }
        EXPECT_EQ(StateText(dir, cell, store), good);
        EXPECT_EQ(CSolidFilament::FilamentRadius, radius);
    }
    EXPECT_THROW(LoadWorld(dir.File("none.fxworld"), cell), WorldFileError);
}

} // namespace
