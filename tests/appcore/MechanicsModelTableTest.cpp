// A mechanics model added to the model table and the texts alone reaches the
// parameter grids' marks, reset-and-apply and the world file.

#include "Cell.h"
#include "Parameters.h"
#include "Resetandapply.h"
#include "TestSupport.h"
#include "Worldfile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A model that moves nothing, with one constant of its own.
class CStillMechanics final : public CMechanicsModel {
public:
    double Calm = 0.0;
    void Step(CCellContents &, double, std::uint64_t, CThreadTeam &, int) override {}
    std::vector<ModelConstant> ConstantList() override { return {{"MECH_ACr", "calm", &Calm}}; }
};

const auto kStill = MechanicsModel(99);

struct WithStill {
    MechanicsModelTable Models = MechanicsModels();
    std::vector<ModelText> Texts{std::begin(kModelTexts), std::end(kModelTexts)};
    WithStill()
    {
        Models.push_back({kStill, {"MECH_FLINDENS"}, [] { return std::make_unique<CStillMechanics>(); }});
        Texts.push_back({kStill, "Still"});
    }
};

TEST(MechanicsModelTable, AThrowAwayModelReachesTheMarksResetAndApplyAndTheWorldFile)
{
    const WithStill still;
    ParameterStore store;
    CreateParameterTables(store, nullptr, still.Texts);
    ParameterRow &model = *store.Table(kMechanics)->Find("MECH_MODEL");
    EXPECT_EQ(model.PickList, (std::vector<std::string>{"Rigid bodies", "Viscous", "Still"}));
    model.Value = "Still";

    // It uses the density alone: even what both other models use is marked.
    const auto unused = [&](std::string_view section, std::string_view key) {
        return IsUnusedByMechanicsModel(store, section, key, still.Models, still.Texts);
    };
    EXPECT_FALSE(unused(kMechanics, "MECH_FLINDENS"));
    EXPECT_FALSE(unused(kMechanics, "MECH_MODEL"));
    EXPECT_FALSE(unused(kSimulation, "SIM_TIME"));
    for (const char *key : {"MECH_ACr", "MECH_VISC", "MECH_BROWNIANFORCE", "MECH_FFINTERDIST"})
        EXPECT_TRUE(unused(kMechanics, key)) << key;
    EXPECT_TRUE(unused(kBacterium, "BACT_RAD"));

    store.Table(kMechanics)->Find("MECH_ACr")->Value = "2E-9";
    CCell cell(SpecifiedChannels(), still.Models);
    ResetAndApply(store, cell, still.Texts);
    EXPECT_EQ(cell.Model, kStill);
    EXPECT_EQ(cell.UnitOf<CStillMechanics>().Calm, 2e-9);

    // Saved and loaded with the model's text and constant; a program
    // without the model refuses the file by the model's name.
    ScratchDirectory dir;
    const std::string path = dir.File("still.fxworld");
    SaveWorld(path, cell, store, 1.0, still.Texts);
    const std::string text = ReadFile(path);
    EXPECT_NE(text.find("\"mechanicsModel\": \"Still\""), std::string::npos);
    EXPECT_NE(text.find("\"calm\": 2e-09"), std::string::npos) << text;
    CCell loaded(SpecifiedChannels(), still.Models);
    LoadWorld(path, loaded, still.Texts);
    EXPECT_EQ(loaded.Model, kStill);
    EXPECT_EQ(loaded.UnitOf<CStillMechanics>().Calm, 2e-9);
    CCell standard;
    try {
        LoadWorld(path, standard);
        ADD_FAILURE() << "a world of an unknown model was loaded";
    } catch (const WorldFileError &e) {
        EXPECT_NE(std::string(e.what()).find("'Still' is not one of its choices"), std::string::npos)
            << e.what();
    }
}

} // namespace
