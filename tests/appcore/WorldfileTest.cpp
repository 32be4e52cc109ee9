// The world file itself; that resumed worlds go on exactly is tested through
// the runner (BatchResumeTest.cpp).

#include "Worldfile.h"

#include "Cell.h"
#include "Random.h"
#include "Resetandapply.h"
#include "TestSupport.h"

#include <nlohmann/json.hpp>

#include <bit>
#include <limits>

namespace {

using Json = nlohmann::json;

// A small world with a few filaments grown by chemistry.
class WorldFile : public ::testing::Test {
protected:
    WorldFile()
    {
        CreateParameterTables(store, nullptr);
        store.Table(kSimulation)->Find("SIM_CUBESIZE")->Value = "0.5";
        store.Table(kRates)->Find("RATE_FORM")->Value = "1E-4";
        SeedRandomWith(63);
        ResetAndApply(store, cell);
        cell.RunChemistry(0.05);
    }

    // The whole state of the cell and of the random streams.
    std::string Saved(const CCell &world)
    {
        SaveWorld(dir.File("state.fxworld"), world, store, 1.0);
        return ReadFile(dir.File("state.fxworld"));
    }

    ScratchDirectory dir;
    ParameterStore store;
    CCell cell;
};

TEST_F(WorldFile, DoublesReadBackBitForBit)
{
    const double values[] = {0.1, -0.0, 1.0 / 3.0, 5e-324, std::numeric_limits<double>::max(),
                             -1.2345678901234567e-19, std::bit_cast<double>(0x3FF0000000000001ull)};
    cell.Time = values[0];
    cell.Pending.reset(); // it would be due before that time
    cell.Viscosity = values[1];
    cell.Origin = CVector(values[2], values[3], values[4]);
    cell.Bacterium->Velocity = CVector(values[5], values[6], 0.0);
    Saved(cell);
    CCell loaded;
    EXPECT_EQ(LoadWorld(dir.File("state.fxworld"), loaded).TargetTime, 1.0);
    const double read[] = {loaded.Time, loaded.Viscosity, loaded.Origin.x, loaded.Origin.y,
                           loaded.Origin.z, loaded.Bacterium->Velocity.x, loaded.Bacterium->Velocity.y};
    for (std::size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(std::bit_cast<std::uint64_t>(read[i]), std::bit_cast<std::uint64_t>(values[i])) << i;
    EXPECT_EQ(Saved(loaded), Saved(cell));
}

TEST_F(WorldFile, PendingReactionIsKeptAndVersionOneFilesHaveNone)
{
    cell.Pending = CCell::PendingReaction{CCell::SEVR, 0.0625};
    const std::string saved = Saved(cell);
    CCell loaded;
    LoadWorld(dir.File("state.fxworld"), loaded);
    ASSERT_TRUE(loaded.Pending);
    EXPECT_EQ(loaded.Pending->Channel, CCell::SEVR);
    EXPECT_EQ(loaded.Pending->Time, 0.0625);

    Json old = Json::parse(saved);
    old["formatVersion"] = 1;
    old["cell"].erase("pendingReaction");
    WriteFile(dir.File("old.fxworld"), old.dump());
    LoadWorld(dir.File("old.fxworld"), loaded);
    EXPECT_FALSE(loaded.Pending);
}

TEST_F(WorldFile, GridsShowTheAppliedValuesExactly)
{
    store.Table(kRates)->Find("RATE_ASSB")->Value = "11.600000000000001";
    Saved(cell);
    const ParameterStore shown = LoadWorld(dir.File("state.fxworld"), cell).Parameters;
    EXPECT_EQ(ParameterText(shown, kConcentrations, "C_ACG"), "12");
    EXPECT_EQ(ParameterText(shown, kMechanics, "MECH_FWINTERCOEF"), "1E-15");
    EXPECT_EQ(ParameterNumber(shown, kRates, "RATE_ASSB"), 11.600000000000001);
    EXPECT_EQ(ParameterText(shown, kSimulation, "SIM_METHOD"), "First reaction");
}

TEST_F(WorldFile, RandomStreamsOfTheLibraryGeneratorAreDeclaredIncomplete)
{
    GeneratorMode = 2;
    const std::string warning = IncompleteRandomStateWarning();
    EXPECT_NE(warning.find("rand()"), std::string::npos);
    const Json random = Json::parse(Saved(cell))["random"];
    GeneratorMode = 0;
    EXPECT_EQ(random["complete"], false);
    EXPECT_EQ(random["note"], warning);
    EXPECT_FALSE(LoadWorld(dir.File("state.fxworld"), cell).RandomStateComplete);
    EXPECT_EQ(GeneratorMode, 2);
    GeneratorMode = 0;
}

TEST_F(WorldFile, WhatCannotBeWrittenIsRefusedAndNothingIsLeftBehind)
{
    EXPECT_THROW(SaveWorld(dir.File("missing/w.fxworld"), cell, store, 1.0), WorldFileError);
    cell.Time = std::numeric_limits<double>::infinity();
    EXPECT_THROW(SaveWorld(dir.File("w.fxworld"), cell, store, 1.0), WorldFileError);
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

// A good world file damaged one way, and the words its refusal must hold.
struct BadFile {
    std::string (*Damage)(std::string good);
    std::vector<std::string> Message;
};

std::string Edited(const std::string &good, void (*edit)(Json &))
{
    Json document = Json::parse(good);
    edit(document);
    return document.dump(1);
}

const BadFile kBadFiles[] = {
    {[](std::string good) { return good.substr(0, good.size() * 2 / 3); }, {"truncated"}},
    {[](std::string) { return std::string(); }, {"truncated"}},
    {[](std::string) { return std::string("[ViewSettings]\nZoom=1\n"); }, {"byte ", "not a world file"}},
    {[](std::string) { return std::string(R"({"format": "Chart"})"); }, {"format", "not a world file"}},
    {[](std::string g) { return Edited(g, [](Json &d) { d["formatVersion"] = 3; }); },
     {"formatVersion", "version 3", "reads versions 1 to 2"}},
    {[](std::string g) {
         return Edited(g, [](Json &d) { d["cell"]["pendingReaction"] = {{"channel", "GROW"}, {"time", 1.0}}; });
     },
     {"cell.pendingReaction.channel", "\"GROW\" is no reaction channel"}},
    {[](std::string g) {
         return Edited(g, [](Json &d) { d["cell"]["pendingReaction"] = {{"channel", "SEVR"}, {"time", 0.01}}; });
     },
     {"cell.pendingReaction.time", "due before the cell's time"}},
    {[](std::string g) { return Edited(g, [](Json &d) { d["filaments"][2][0] = 2; }); },
     {"filaments[2].monomers", "2 monomers"}},
    {[](std::string g) { return Edited(g, [](Json &d) { d["cell"]["species"]["FIP"] = 1; }); },
     {"cell.species.FIP", "is 1 but the filament list holds"}},
    {[](std::string g) { return Edited(g, [](Json &d) { d["filaments"][0][0] = 99; }); },
     {"cell.species.ACF", "monomers"}},
    {[](std::string g) {
         g = Edited(g, [](Json &d) { d["filaments"][1][29] = 12345.75; });
         return g.replace(g.find("12345.75"), 8, "1e999");
     },
     {"not finite", "1e999"}},
    {[](std::string g) { return Edited(g, [](Json &d) { d["filaments"][1][29] = "fast"; }); },
     {"filaments[1].velocity.z", "a number is expected"}},
    {[](std::string g) { return Edited(g, [](Json &d) { d["bacterium"].erase("density"); }); },
     {"bacterium.density", "missing"}},
    {[](std::string g) { return Edited(g, [](Json &d) { d["parameters"]["ValueListRates"]["X"] = 1; }); },
     {"parameters.ValueListRates.X", "no such parameter"}},
    {[](std::string g) { return Edited(g, [](Json &d) { d["cell"]["species"]["ACG"] = 3e9; }); },
     {"cell.species.ACG", "a whole number"}},
};

TEST_F(WorldFile, EveryKindOfBadFileIsRefusedWithTheWorldUnchanged)
{
    ASSERT_GT(cell.Filaments.size(), 3u);
    const std::string good = Saved(cell);
    const std::string path = dir.File("bad.fxworld");
    for (const BadFile &bad : kBadFiles) {
        WriteFile(path, bad.Damage(good));
        try {
            LoadWorld(path, cell);
            ADD_FAILURE() << "accepted: " << bad.Message.front();
        } catch (const WorldFileError &e) {
            for (const std::string &words : bad.Message)
                EXPECT_NE(std::string(e.what()).find(words), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
        }
        EXPECT_EQ(Saved(cell), good);
    }
}

} // namespace
