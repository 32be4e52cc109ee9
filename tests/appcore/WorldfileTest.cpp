// The world file itself; that resumed worlds go on exactly is tested through
// the runner (BatchResumeTest.cpp).

#include "Worldfile.h"

#include "Appliedparameters.h"
#include "Cell.h"
#include "ViscousMechanics.h"
#include "CounterRandom.h"
#include "Random.h"
#include "Resetandapply.h"
#include "TestSupport.h"

#include <nlohmann/json.hpp>

#include <bit>
#include <cmath>
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
        cell.Random.SeedWith(63);
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
    const double values[] = {0.1,
                             -0.0,
                             1.0 / 3.0,
                             5e-324,
                             std::numeric_limits<double>::max(),
                             -1.2345678901234567e-19,
                             std::bit_cast<double>(0x3FF0000000000001ull)};
    cell.Time = values[0];
    cell.Pending.reset(); // it would be due before that time
    cell.Bacterium->Torque.x = values[1];
    cell.Bacterium->Force = CVector(values[2], values[3], values[4]);
    cell.Bacterium->Velocity = CVector(values[5], values[6], 0.0);
    Saved(cell);
    CCell loaded;
    EXPECT_EQ(LoadWorld(dir.File("state.fxworld"), loaded).TargetTime, 1.0);
    const double read[] = {loaded.Time,
                           loaded.Bacterium->Torque.x,
                           loaded.Bacterium->Force.x,
                           loaded.Bacterium->Force.y,
                           loaded.Bacterium->Force.z,
                           loaded.Bacterium->Velocity.x,
                           loaded.Bacterium->Velocity.y};
    for (std::size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(std::bit_cast<std::uint64_t>(read[i]), std::bit_cast<std::uint64_t>(values[i])) << i;
    EXPECT_EQ(Saved(loaded), Saved(cell));
}

// A saved file as a program of an older format version would have written
// it: without the members that later versions brought.
Json OlderFile(Json saved, int version)
{
    saved["formatVersion"] = version;
    if (version < 3) {
        saved["random"].erase("counterKey");
        for (const char *key : {"mechanicsModel", "temperature", "contactStiffness", "mechStepCount",
                                "nextFilamentId", "tauLeap"})
            saved["cell"].erase(key);
        if (saved["bacterium"].is_object())
            saved["bacterium"].erase("resetPosition");
        saved.erase("filamentIds");
    }
    if (version < 2)
        saved["cell"].erase("pendingReaction");
    return saved;
}

TEST_F(WorldFile, CounterKeyIsKeptAndOlderFilesTakeItFromTheStream)
{
    cell.CounterKey = 0x89abcdefu;
    Json saved = Json::parse(Saved(cell));
    CCell loaded;
    LoadWorld(dir.File("state.fxworld"), loaded);
    EXPECT_EQ(loaded.CounterKey, 0x89abcdefu);

    WriteFile(dir.File("old.fxworld"), OlderFile(saved, 2).dump());
    LoadWorld(dir.File("old.fxworld"), loaded);
    EXPECT_EQ(loaded.CounterKey, CounterKeyOf(loaded.Random.Capture()));
}

TEST_F(WorldFile, BacteriumResetPositionIsKeptAndOlderFilesCountFromTheSavedCentre)
{
    // Reset puts it at the centre of the 0.5 um box.
    EXPECT_EQ(cell.Bacterium->ResetPosition.y, 0.25e-6);
    cell.Bacterium->ResetPosition = CVector(1.0 / 3.0 * 1e-6, 0.2e-6, -0.0);
    cell.Bacterium->Center = CVector(0.26e-6, 0.25e-6, 0.24e-6);
    Json saved = Json::parse(Saved(cell));
    CCell loaded;
    LoadWorld(dir.File("state.fxworld"), loaded);
    EXPECT_EQ(loaded.Bacterium->ResetPosition.x, 1.0 / 3.0 * 1e-6);
    EXPECT_EQ(loaded.Bacterium->ResetPosition.y, 0.2e-6);
    EXPECT_TRUE(std::signbit(loaded.Bacterium->ResetPosition.z));

    WriteFile(dir.File("old.fxworld"), OlderFile(saved, 2).dump());
    LoadWorld(dir.File("old.fxworld"), loaded);
    EXPECT_EQ(loaded.Bacterium->ResetPosition.x, 0.26e-6);
    EXPECT_EQ(loaded.Bacterium->ResetPosition.z, 0.24e-6);
}

// A viscous world saved halfway through its run and resumed ends bit for bit
// as the run that went through: the file keeps the model, its constants, the
// step count that numbers the noise and every filament's id.
TEST_F(WorldFile, ViscousWorldResumesExactly)
{
    store.Table(kMechanics)->Find("MECH_MODEL")->Value = "Viscous";
    cell.Random.SeedWith(64);
    ResetAndApply(store, cell);
    cell.RunChemMech(0.02);
    Saved(cell);
    CCell resumed;
    LoadWorld(dir.File("state.fxworld"), resumed);
    EXPECT_EQ(resumed.Model, MechanicsModel::Viscous);
    EXPECT_EQ(resumed.MechStepCount, cell.MechStepCount);
    EXPECT_EQ(resumed.Filaments.NextId(), cell.Filaments.NextId());
    cell.RunChemMech(0.04);
    resumed.RunChemMech(0.04);
    ASSERT_GT(cell.Filaments.size(), 0u);
    EXPECT_EQ(Saved(resumed), Saved(cell));
}

// Files before version 3 knew the rigid-body model only and numbered nothing.
TEST_F(WorldFile, OlderFilesAreRigidWithFilamentsNumberedInOrder)
{
    Json old = OlderFile(Json::parse(Saved(cell)), 2);
    old["parameters"]["ValueListMechanics"].erase("MECH_MODEL");
    WriteFile(dir.File("old.fxworld"), old.dump());
    CCell loaded;
    loaded.Model = MechanicsModel::Viscous;
    const ParameterStore shown = LoadWorld(dir.File("old.fxworld"), loaded).Parameters;
    EXPECT_EQ(loaded.Model, MechanicsModel::RigidBodies);
    EXPECT_EQ(ParameterText(shown, kMechanics, "MECH_MODEL"), "Rigid bodies");
    std::uint32_t id = CFilamentList::kFirstFilamentId;
    for (const CSolidFilament &f : loaded.Filaments)
        EXPECT_EQ(f.Id, id++);
}

// Ids that no run could leave are refused.
TEST_F(WorldFile, RepeatedFilamentIdsAreRefused)
{
    Json saved = Json::parse(Saved(cell));
    ASSERT_GE(saved["filamentIds"].size(), 2u);
    saved["filamentIds"][1] = saved["filamentIds"][0];
    WriteFile(dir.File("bad.fxworld"), saved.dump());
    CCell loaded;
    try {
        LoadWorld(dir.File("bad.fxworld"), loaded);
        ADD_FAILURE() << "accepted";
    } catch (const WorldFileError &e) {
        EXPECT_NE(std::string(e.what()).find("filamentIds: two filaments have the same id"),
                  std::string::npos)
            << e.what();
    }
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

    const Json old = OlderFile(Json::parse(saved), 1);
    WriteFile(dir.File("old.fxworld"), old.dump());
    LoadWorld(dir.File("old.fxworld"), loaded);
    EXPECT_FALSE(loaded.Pending);
}

TEST_F(WorldFile, LeapStateIsKeptAndOlderFilesHaveNone)
{
    cell.TauLeap.LeapNumber = 123456789012ull;
    cell.TauLeap.ExactStepsLeft = 17;
    store.Table(kSimulation)->Find("SIM_TAUEPS")->Value = "0.125";
    const Json saved = Json::parse(Saved(cell));
    CCell loaded;
    LoadWorld(dir.File("state.fxworld"), loaded);
    EXPECT_EQ(loaded.TauLeap.LeapNumber, 123456789012ull);
    EXPECT_EQ(loaded.TauLeap.ExactStepsLeft, 17);
    EXPECT_EQ(loaded.TauLeap.Accuracy, 0.125);

    Json old = OlderFile(saved, 2);
    old["parameters"]["ValueListSimulation"].erase("SIM_TAUEPS");
    WriteFile(dir.File("old.fxworld"), old.dump());
    LoadWorld(dir.File("old.fxworld"), loaded);
    EXPECT_EQ(loaded.TauLeap.LeapNumber, 0u);
    EXPECT_EQ(loaded.TauLeap.ExactStepsLeft, 0);
    EXPECT_EQ(loaded.TauLeap.Accuracy, 0.03);

    const auto refused = [&](Json bad, const char *where) {
        WriteFile(dir.File("bad.fxworld"), bad.dump());
        try {
            LoadWorld(dir.File("bad.fxworld"), loaded);
            ADD_FAILURE() << where << " accepted";
        } catch (const WorldFileError &e) {
            EXPECT_NE(std::string(e.what()).find(where), std::string::npos) << e.what();
        }
    };
    Json bad = saved;
    bad["parameters"]["ValueListSimulation"]["SIM_TAUEPS"] = 1.0;
    refused(bad, "parameters.ValueListSimulation.SIM_TAUEPS");
    bad = saved;
    bad["cell"]["tauLeap"]["exactStepsLeft"] = 101;
    refused(bad, "cell.tauLeap.exactStepsLeft");
}

TEST_F(WorldFile, GridsShowTheAppliedValuesExactly)
{
    store.Table(kRates)->Find("RATE_ASSB")->Value = "11.600000000000001";
    ResetAndApply(store, cell);
    Saved(cell);
    const ParameterStore shown = LoadWorld(dir.File("state.fxworld"), cell).Parameters;
    EXPECT_EQ(ParameterText(shown, kConcentrations, "C_ACG"), "12");
    EXPECT_EQ(ParameterText(shown, kMechanics, "MECH_FWINTERCOEF"), "1E-15");
    EXPECT_EQ(ParameterNumber(shown, kRates, "RATE_ASSB"), 11.600000000000001);
    EXPECT_EQ(ParameterText(shown, kSimulation, "SIM_METHOD"), "First reaction");
}

TEST_F(WorldFile, RandomStreamsOfTheLibraryGeneratorAreDeclaredIncomplete)
{
    cell.Random.Mode = 2;
    const std::string warning = IncompleteRandomStateWarning(cell);
    EXPECT_NE(warning.find("rand()"), std::string::npos);
    const Json random = Json::parse(Saved(cell))["random"];
    cell.Random.Mode = 0;
    EXPECT_EQ(random["complete"], false);
    EXPECT_EQ(random["note"], warning);
    EXPECT_FALSE(LoadWorld(dir.File("state.fxworld"), cell).RandomStateComplete);
    EXPECT_EQ(cell.Random.Mode, 2);
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

// The column of a filament row.
std::size_t Column(const Json &d, const char *name)
{
    const auto &columns = d["filamentColumns"];
    return std::size_t(std::find(columns.begin(), columns.end(), name) - columns.begin());
}

void Scale(Json &number, double factor)
{
    number = number.get<double>() * factor;
}

void Increase(Json &count, std::int64_t by)
{
    count = count.get<std::int64_t>() + by;
}

// The filament's direction scaled by factor.
void ScaleDirection(Json &d, std::size_t filament, double factor)
{
    for (const char *axis : {"direction.x", "direction.y", "direction.z"})
        Scale(d["filaments"][filament][Column(d, axis)], factor);
}

// A member of the saved text replaced by text that JSON values cannot hold.
std::string Replaced(const std::string &good, void (*edit)(Json &), const std::string &text)
{
    std::string g = Edited(good, edit);
    return g.replace(g.find("12345.75"), 8, text);
}

const BadFile kBadFiles[] = {
    {[](std::string good) { return good.substr(0, good.size() * 2 / 3); }, {"truncated"}},
    {[](std::string) { return std::string(); }, {"truncated"}},
    {[](std::string) { return std::string("[ViewSettings]\nZoom=1\n"); }, {"byte ", "not a world file"}},
    {[](std::string) { return std::string(R"({"format": "Chart"})"); }, {"format", "not a world file"}},
    {[](std::string g) { return Edited(g, [](Json &d) { d["formatVersion"] = 5; }); },
     {"formatVersion", "version 5", "reads versions 1 to 4"}},
    {[](std::string g) {
         return Edited(g, [](Json &d) {
             d["cell"]["pendingReaction"] = {{"channel", "GROW"}, {"time", 1.0}};
         });
     },
     {"cell.pendingReaction.channel", "\"GROW\" is no reaction channel"}},
    {[](std::string g) {
         return Edited(g, [](Json &d) {
             d["cell"]["pendingReaction"] = {{"channel", "SEVR"}, {"time", 0.01}};
         });
     },
     {"cell.pendingReaction.time", "due before the cell's time"}},
    {[](std::string g) {
         return Replaced(
             g, [](Json &d) { d["filaments"][1][29] = 12345.75; }, "1e999");
     },
     {"filaments[1].velocity.z", "not finite", "1e999"}},
    {[](std::string g) {
         return Replaced(
             g, [](Json &d) { d["cell"]["viscosity"] = 12345.75; }, "-1e400");
     },
     {"cell.viscosity", "not finite"}},
    {[](std::string g) {
         return Replaced(
             g, [](Json &d) { d["cell"]["viscosity"] = 12345.75; }, "1,\"size\":[1,1,1]");
     },
     {"cell.size", "appears twice"}},
    {[](std::string g) { return Edited(g, [](Json &d) { d["filaments"][1][29] = "fast"; }); },
     {"filaments[1].velocity.z", "a number is expected"}},
    {[](std::string g) { return Edited(g, [](Json &d) { d["bacterium"].erase("density"); }); },
     {"bacterium.density", "missing"}},
    {[](std::string g) { return Edited(g, [](Json &d) { d["bacterium"].erase("resetPosition"); }); },
     {"bacterium.resetPosition", "missing"}},
    {[](std::string g) { return Edited(g, [](Json &d) { d["parameters"]["ValueListRates"]["X"] = 1; }); },
     {"parameters.ValueListRates.X", "no such parameter"}},
    {[](std::string g) { return Edited(g, [](Json &d) { d["cell"]["species"]["ACG"] = 3e9; }); },
     {"cell.species.ACG", "a whole number"}},
    // Nesting that no world has, refused before it costs memory: 16 levels
    // with the document's own are read (and the member refused), 17 are not.
    {[](std::string g) { return g.insert(1, "\"deep\": " + std::string(20000, '[')); },
     {"deep[0][0][0][0]", "nested more than 16 deep"}},
    {[](std::string g) { return g.insert(1, "\"deep\": " + std::string(16, '[') + std::string(16, ']') + ", "); },
     {"nested more than 16 deep"}},
    {[](std::string g) { return g.insert(1, "\"deep\": " + std::string(15, '[') + std::string(15, ']') + ", "); },
     {"deep: there is no such member"}},
};

// A good world edited one way into one that no run could leave or run on.
struct BadEdit {
    void (*Edit)(Json &);
    std::vector<std::string> Message;
};

const BadEdit kBadEdits[] = {
    // Whole numbers below their range, or below what a count can be.
    {[](Json &d) { d["filaments"][2][0] = 2; }, {"filaments[2].monomers", "2 monomers"}},
    {[](Json &d) { d["cell"]["species"]["ACG"] = -2147483649LL; }, {"cell.species.ACG", "out of range"}},
    {[](Json &d) { d["cell"]["species"]["ACG"] = -2147483648LL; },
     {"cell.species.ACG", "is -2147483648; a number of molecules is 0 or more"}},
    {[](Json &d) { d["cell"]["species"]["CAP"] = -1; }, {"cell.species.CAP", "0 or more"}},
    {[](Json &d) { d["random"]["mode"] = -1; }, {"random.mode", "out of range"}},
    {[](Json &d) { d["cell"]["reactionCount"] = 1ULL << 63; }, {"cell.reactionCount", "out of range"}},
    {[](Json &d) { d["cell"]["channels"][2]["count"] = -1; }, {"cell.channels[2].count", "0 or more"}},
    {[](Json &d) { d["cell"]["reactionCount"] = -1; }, {"cell.reactionCount", "0 or more"}},
    {[](Json &d) { d["random"]["shuffleOutput"] = -1; }, {"random.shuffleOutput", "0 or more"}},
    {[](Json &d) { d["random"]["shuffleTable"][31] = -5; }, {"random.shuffleTable[31]", "0 or more"}},

    // Counters and counts that disagree with what decides them, or overflow.
    {[](Json &d) { d["cell"]["species"]["FIP"] = 1; },
     {"cell.species.FIP", "is 1 but the filament list holds"}},
    {[](Json &d) { d["filaments"][0][0] = 99; }, {"cell.species.ACF", "monomers"}},
    {[](Json &d) { Increase(d["cell"]["species"]["FIB"], 1); }, {"cell.species.FIB", "free barbed end"}},
    {[](Json &d) { Increase(d["cell"]["species"]["CAF"], 1); }, {"cell.species.CAF", "capped filaments"}},
    {[](Json &d) { d["cell"]["species"]["ARB"] = 1; }, {"cell.species.ARB", "always 0"}},
    {[](Json &d) { d["cell"]["species"]["ACG"] = 2147483647; },
     {"cell.species.ACG", "ACG + ACF", "more than a counter holds"}},
    {[](Json &d) {
         Json &species = d["cell"]["species"];
         if (Json &capped = d["filaments"][0][Column(d, "capped")]; !capped.get<bool>()) {
             capped = true;
             Increase(species["CAF"], 1);
             Increase(species["FIB"], -1);
         }
         species["CAP"] = 2147483647 - species["CAF"].get<std::int32_t>() + 1;
     },
     {"cell.species.CAP", "CAP + CAF", "more than a counter holds"}},
    {[](Json &d) { Increase(d["cell"]["reactionCount"], 1); }, {"cell.reactionCount", "add up to"}},
    {[](Json &d) { d["cell"]["channels"][8]["count"] = (1LL << 62) - 1; },
     {"cell.reactionCount", "add up to"}},
    {[](Json &d) { d["cell"]["channels"][4]["count"] = 1LL << 62; }, {"cell.channels[4].count", "overflow"}},
    {[](Json &d) { d["cell"]["reactionCount"] = INT64_MAX; }, {"cell.reactionCount", "overflow"}},

    // Values that no run leaves, or that would fail a run.
    {[](Json &d) { d["cell"]["mechTime"] = d["cell"]["time"].get<double>() * 1.5; },
     {"cell.mechTime", "ahead of the time"}},
    {[](Json &d) { d["cell"]["obsTime"] = d["cell"]["time"].get<double>() * 1.5; },
     {"cell.obsTime", "ahead of the time"}},
    {[](Json &d) { ScaleDirection(d, 2, 0.0); }, {"filaments[2].direction", "unit vector"}},
    {[](Json &d) { ScaleDirection(d, 3, 1 + 2e-9); }, {"filaments[3].direction", "unit vector"}},
    {[](Json &d) { Scale(d["cell"]["channels"][1]["stochasticRate"], 1e6); },
     {"cell.channels[1].stochasticRate", "the rate constant and the volume give"}},
    {[](Json &d) { d["cell"]["channels"][0]["volume"] = 0.0; },
     {"cell.channels[0].volume", "no stochastic rate"}},
    {[](Json &d) { d["cell"]["size"][1] = -1e-6; }, {"cell.size[1]", "above 0"}},
    {[](Json &d) { d["cell"]["size"][2] = 0.0; }, {"cell.size[2]", "above 0"}},
    {[](Json &d) { d["bacterium"]["radius"] = -2e-7; }, {"bacterium.radius", "above 0"}},
    {[](Json &d) { d["cell"]["filamentRadius"] = -1.5e-9; }, {"cell.filamentRadius", "above 0"}},
    {[](Json &d) { d["cell"]["filamentLinearDensity"] = 0.0; }, {"cell.filamentLinearDensity", "above 0"}},
    {[](Json &d) {
         d["bacterium"]["mass"] = 0.0;
         d["bacterium"]["changed"] = false;
     },
     {"bacterium.mass", "above 0"}},
    {[](Json &d) { d["random"]["seed"] = -1; }, {"random.seed", "is -1; the generators' seed is 0 or more"}},
    {[](Json &d) { d["cell"]["mechStepCount"] = 1ULL << 62; }, {"cell.mechStepCount", "wrap"}},
    {[](Json &d) { d["cell"]["tauLeap"]["leapNumber"] = UINT64_MAX; }, {"cell.tauLeap.leapNumber", "wrap"}},
    {[](Json &d) { d["bacterium"]["resetPosition"][0] = 1e300; },
     {"bacterium.resetPosition[0]", "more than 10^6 box edges"}},
    {[](Json &d) { d["bacterium"]["prevPosition"][2] = -1e300; }, {"bacterium.prevPosition[2]", "10^6 box edges"}},
    {[](Json &d) { d["filaments"][1][Column(d, "pointedEnd.y")] = 0.51; },
     {"filaments[1].pointedEnd[1]", "10^6 box edges"}},

    // Reactions pending that cannot fire: nothing to act on.
    {[](Json &d) {
         d["cell"]["species"]["CAP"] = 0;
         d["cell"]["pendingReaction"] = {{"channel", "CAPB"}, {"time", d["cell"]["time"]}};
     },
     {"cell.pendingReaction.channel", "is CAPB, which cannot fire"}},
    {[](Json &d) {
         d["cell"]["species"]["ACG"] = 0;
         d["cell"]["pendingReaction"] = {{"channel", "FORM2"}, {"time", d["cell"]["time"]}};
     },
     {"cell.pendingReaction.channel", "is FORM2, which cannot fire"}},

    // Members the file's format version does not have: one rule for all.
    {[](Json &d) { d["comment"] = "mine"; }, {"comment", "no such member"}},
    {[](Json &d) { d["cell"]["species"]["ACT"] = 1; }, {"cell.species.ACT", "no such member"}},
    {[](Json &d) { d["cell"]["channels"][3]["rate"] = 1; }, {"cell.channels[3].rate", "no such member"}},
    {[](Json &d) { d = OlderFile(d, 2); d["cell"]["mechStepCount"] = 5; }, {"cell.mechStepCount", "no such member"}},
    {[](Json &d) { d = OlderFile(d, 2); d["filamentIds"] = Json::array(); }, {"filamentIds", "no such member"}},
    {[](Json &d) { d = OlderFile(d, 1); d["cell"]["pendingReaction"] = nullptr; },
     {"cell.pendingReaction", "no such member"}},
};

TEST_F(WorldFile, EveryKindOfBadFileIsRefusedWithTheWorldUnchanged)
{
    ASSERT_GT(cell.Filaments.size(), 3u);
    const std::string good = Saved(cell);
    const std::string path = dir.File("bad.fxworld");
    std::vector<std::pair<std::string, std::vector<std::string>>> files;
    for (const BadFile &bad : kBadFiles)
        files.emplace_back(bad.Damage(good), bad.Message);
    for (const BadEdit &bad : kBadEdits)
        files.emplace_back(Edited(good, bad.Edit), bad.Message);
    for (const auto &[text, message] : files) {
        WriteFile(path, text);
        try {
            LoadWorld(path, cell);
            ADD_FAILURE() << "accepted: " << message.front();
        } catch (const WorldFileError &e) {
            for (const std::string &words : message)
                EXPECT_NE(std::string(e.what()).find(words), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
        }
        EXPECT_EQ(Saved(cell), good);
    }
}

// Values at the edge of what a run can leave, each of which must load.
void (*const kEdgeEdits[])(Json &) = {
    [](Json &d) { ScaleDirection(d, 1, 1 + 0.9e-9); },
    [](Json &d) { d["cell"]["mechTime"] = d["cell"]["obsTime"] = d["cell"]["time"]; },
    [](Json &d) {
        Json &rate = d["cell"]["channels"][1]["stochasticRate"];
        rate = std::nextafter(rate.get<double>(), 0.0);
    },
    [](Json &d) {
        Json &cell = d["cell"];
        const std::int64_t more = (1LL << 62) - 1 - cell["reactionCount"].get<std::int64_t>();
        cell["channels"][5]["count"] = cell["channels"][5]["count"].get<std::int64_t>() + more;
        cell["reactionCount"] = (1LL << 62) - 1;
    },
    [](Json &d) {
        Json &species = d["cell"]["species"];
        species["ACG"] = 2147483647 - species["ACF"].get<std::int32_t>();
        species["CAP"] = 0;
        // The concentrations that make those totals in the box.
        const double edge = d["cell"]["size"][0].get<double>();
        const double perMicromolar = edge * edge * edge * 1000 * 6.0221415e23 * 1e-6;
        Json &concentrations = d["parameters"]["ValueListConcentrations"];
        concentrations["C_ACG"] = 2147483647 / perMicromolar;
        concentrations["C_CAP"] = species["CAF"].get<double>() / perMicromolar;
    },
    [](Json &d) {
        Json &species = d["cell"]["species"];
        species["CAP"] = 2147483647 - species["CAF"].get<std::int32_t>();
        const double edge = d["cell"]["size"][0].get<double>();
        d["parameters"]["ValueListConcentrations"]["C_CAP"] = 2147483647 / (edge * edge * edge * 1e3 * 6.0221415e17);
    },
    [](Json &d) {
        Json &monomers = d["filaments"][0][Column(d, "monomers")];
        const int lost = monomers.get<int>() - 3;
        Increase(d["cell"]["species"]["ACF"], -lost);
        Increase(d["cell"]["species"]["ACG"], lost);
        monomers = 3;
    },
    // The parameters that are only a record.
    [](Json &d) { d["parameters"]["ValueListSimulation"]["SIM_TIME"] = 7.0; },
    [](Json &d) {
        d["bacterium"]["mass"] = 0.0;
        d["bacterium"]["changed"] = true;
    },
    // A masked state of the generator, and bodies flung far but not too far.
    [](Json &d) { d["random"]["seed"] = 2147483647; },
    [](Json &d) { d["bacterium"]["resetPosition"][0] = -0.99e6 * 0.5e-6; },
    [](Json &d) { d["filaments"][0][Column(d, "position.z")] = 0.5e-6 * (1 + 0.99e6); },
    [](Json &d) { d["cell"]["mechStepCount"] = (1ULL << 62) - 1; },
};

TEST_F(WorldFile, ValuesAtTheEdgeOfTheChecksAreAccepted)
{
    const std::string good = Saved(cell);
    const std::string path = dir.File("edge.fxworld");
    for (const auto edit : kEdgeEdits) {
        WriteFile(path, Edited(good, edit));
        CCell loaded;
        EXPECT_NO_THROW(LoadWorld(path, loaded));
    }
}

// A parameter edited in a saved world, and what the refusal names: the
// parameter and both values.
const struct {
    const char *Section;
    const char *Key;
    Json Value;
    std::vector<std::string> Message;
} kEditedParameters[] = {
    {"ValueListConcentrations", "C_ACG", 30.0, {"C_ACG is 30 uM, which makes", "(ACG + ACF, 12"}},
    {"ValueListConcentrations", "C_ADC", 2.0, {"C_ADC is 2 uM", "(ADC, 1"}},
    {"ValueListMechanics", "MECH_TEMP", 400.0, {"MECH_TEMP is 400, but the world holds 298.15", "--set"}},
    {"ValueListRates", "RATE_ASSB", 5.0, {"RATE_ASSB is 5, but the world holds 11.6"}},
    {"ValueListRates", "RATE_FORM", 2e-4, {"RATE_FORM is 0.0002, but the world holds 1e-04"}},
    {"ValueListSimulation", "SIM_CUBESIZE", 0.6, {"SIM_CUBESIZE is 0.6, but the world holds 0.5 (5e-07)"}},
    {"ValueListSimulation", "SIM_OBSERVTIMESTEP", 0.02, {"SIM_OBSERVTIMESTEP is 0.02"}},
    {"ValueListMechanics", "MECH_ACr", 2e-9, {"MECH_ACr is 2E-9, but the world holds 1.5e-09"}},
    {"ValueListMechanics", "MECH_MODEL", "Viscous", {"MECH_MODEL is Viscous", "\"Rigid bodies\""}},
    {"ValueListBacterium", "BACT_RAD", 3e-7, {"BACT_RAD is 3E-7, but the world holds 2e-07"}},
};

TEST_F(WorldFile, ParametersThatDisagreeWithTheWorldAreRefusedNamingBothValues)
{
    const std::string good = Saved(cell);
    const std::string path = dir.File("edited.fxworld");
    for (const auto &edit : kEditedParameters) {
        Json document = Json::parse(good);
        document["parameters"][edit.Section][edit.Key] = edit.Value;
        WriteFile(path, document.dump());
        CCell loaded;
        try {
            LoadWorld(path, loaded);
            ADD_FAILURE() << "accepted: " << edit.Key;
        } catch (const WorldFileError &e) {
            const std::string where = std::string("parameters.") + edit.Section + "." + edit.Key;
            for (const std::string &words : edit.Message)
                EXPECT_NE(std::string(e.what()).find(words), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(where), std::string::npos) << e.what();
        }
    }
}

TEST_F(WorldFile, ParametersChangedBetweenRunsGoIntoTheWorldAndItsFile)
{
    SetRunParameter(store, cell, "rate_form", "2e-4");
    SetRunParameter(store, cell, "MECH_TEMP", "310");
    EXPECT_EQ(cell.Reactions[CCell::FORM].RateConstant, 2e-4);
    EXPECT_DOUBLE_EQ(cell.Reactions[CCell::FORM2].RateConstant, 20.0);
    EXPECT_EQ(ViscousConstantsOf(cell).Temperature, 310.0);
    EXPECT_EQ(ParameterText(store, kRates, "RATE_FORM"), "2e-4");
    Saved(cell);
    CCell loaded;
    EXPECT_EQ(ParameterText(LoadWorld(dir.File("state.fxworld"), loaded).Parameters, kMechanics, "MECH_TEMP"),
              "310");

    const struct {
        const char *Key, *Value, *Message;
    } refused[] = {
        {"C_ACG", "3", "C_ACG cannot change while a world runs on"},
        {"SIM_TIMESTEP", "1e-3", "only the rate constants (RATE_...), MECH_TEMP and MECH_VISC can"},
        {"RATE_FROM", "1", "RATE_FROM is not a parameter"},
        {"RATE_ASSB", "abc", "'abc' is not a valid floating point value"},
        {"RATE_ASSB", "-1", "must be 0 or greater"},
    };
    const std::string before = Saved(cell);
    for (const auto &r : refused) {
        try {
            SetRunParameter(store, cell, r.Key, r.Value);
            ADD_FAILURE() << "accepted: " << r.Key << "=" << r.Value;
        } catch (const ParameterError &e) {
            EXPECT_NE(std::string(e.what()).find(r.Message), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(Saved(cell), before);
}

// What is not a regular file of a sensible size is refused before it is read.
TEST_F(WorldFile, OnlyRegularFilesOfAtMostFourGibibytesAreRead)
{
    const std::string huge = dir.File("huge.fxworld");
    WriteFile(huge, "");
    std::filesystem::resize_file(huge, (std::uintmax_t(4) << 30) + 1); // sparse
    for (const auto &[path, reason] :
         {std::pair{dir.Path().string(), "Is a directory"},
          std::pair{dir.File("missing.fxworld"), "No such file or directory"},
          std::pair{std::string("/dev/zero"), "not a regular file"}, std::pair{huge, "larger than 4 GiB"}}) {
        try {
            LoadWorld(path, cell);
            ADD_FAILURE() << "accepted: " << path;
        } catch (const WorldFileError &e) {
            const std::string message = e.what();
            EXPECT_NE(message.find("cannot be read: "), std::string::npos) << message;
            EXPECT_NE(message.find(reason), std::string::npos) << message;
        }
    }
}

} // namespace
