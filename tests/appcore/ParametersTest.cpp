#include "Numbertext.h"
#include "Parameters.h"
#include "Settingsfile.h"
#include "TestSupport.h"

#include <algorithm>
#include <map>

namespace {

struct ExpectedRow {
    const char *Key;
    const char *Caption;
    const char *Default;
};

struct ExpectedTable {
    const char *Section;
    const char *Caption;
    std::vector<ExpectedRow> Rows;
};

const std::vector<ExpectedTable> &ExpectedTables()
{
    static const std::vector<ExpectedTable> tables = {
        {"ValueListConcentrations",
         "Concentrations",
         {{"C_ACG", "Concentration of G-actin [uM]", "12"},
          {"C_CAP", "Concentration of capping prot. [uM]", "1"},
          {"C_ARP", "Concentration of Arp2/3 [uM]", "0.3"},
          {"C_ADC", "Concentration of ADF/cofilin [uM]", "1"}}},
        {"ValueListRates",
         "Rates",
         {{"RATE_FORM", "Filament formation [uM-2s-1]", "1E-6"},
          {"RATE_ASSB", "Association at barbed end [uM-1s-1]", "11.6"},
          {"RATE_ASSP", "Association at pointed end [uM-1s-1]", "0.16"},
          {"RATE_DISB", "Dissociation at barbed end [s-1]", "1.4"},
          {"RATE_DISP", "Dissociation at pointed end [s-1]", "0.8"},
          {"RATE_CAPB", "Capping of barbed end [uM-1s-1]", "3"},
          {"RATE_ARPB", "Arp2/3 binding (barbed) [uM-1s-1]", "3"},
          {"RATE_SEVR", "Severing by ADF/cofilin [uM-1s-1]", "0.01"},
          {"ARP_MODEL", "Arp2/3 model", "Binding only"},
          {"ARP_ANGLE", "Branch angle [deg]", "70"},
          {"ARP_ANGLESD", "Branch angle spread [deg]", "7"},
          {"ARP_ZONE", "Activation zone [nm]", "0"},
          {"RATE_DEBR", "Debranching [1/s]", "0.00023"}}},
        {"ValueListSimulation",
         "Simulation",
         {{"SIM_CUBESIZE", "Consider cube with side length [um]", "2"},
          {"SIM_METHOD", "Simulation method", "First reaction"},
          {"SIM_TIMESTEP", "Time step [s]", "0.0001"},
          {"SIM_OBSERVTIMESTEP", "Observation Time step [s]", "0.01"},
          {"SIM_TIME", "Maximum time [s]", "100"},
          {"SIM_TAUEPS", "Tau-leap accuracy", "0.03"}}},
        {"ValueListMechanics",
         "Mechanics",
         {{"MECH_ACr", "Filament Radius [m]", "1.5E-9"},
          {"MECH_FLINDENS", "Filament Linear Density [kg/m]", "3.4E-14"},
          {"MECH_FFINTERCOEF", "F-F Interaction Coefficient", "1E-17"},
          {"MECH_FFINTERDIST", "F-F Interaction Distance", "1E-9"},
          {"MECH_FWINTERCOEF", "F-W Interaction Coefficient", "1E-15"},
          {"MECH_FWINTERDIST", "F-W Interaction Distance", "1E-9"},
          {"MECH_BROWNIANFORCE", "Brownian Force Module [N]", "1E-26"},
          {"MECH_BROWNIANMOMENT", "Brownian Moment of Force Module [N*m]", "1E-32"},
          {"MECH_FRICCOEF", "Friction Coefficient [m/(s*kg)]", "1E-15"},
          {"MECH_VISC", "Dynamic Viscosity [Pa·s]", "0.001"},
          {"MECH_MODEL", "Mechanics model", "Rigid bodies"},
          {"MECH_TEMP", "Temperature [K]", "298.15"},
          {"MECH_CONTACTK", "Contact stiffness [N/m]", "0.0001"}}},
        {"ValueListBacterium",
         "Bacterium",
         {{"BACT_RAD", "Bacterium Radius [m]", "2E-7"},
          {"BACT_DENS", "Bacterium Density [kg/m3]", "1000"},
          {"BACT_FSINTERCOEF", "B-F Interaction Coefficient", "1E-12"},
          {"BACT_FSINTERDIST", "B-F Interaction Distance", "0"},
          {"BACT_FRICCOEF", "Friction Coefficient [m/(s*kg)]", "1E-15"}}},
    };
    return tables;
}

TEST(ParameterTables, DefaultsWithoutSettings)
{
    ParameterStore store;
    CreateParameterTables(store, nullptr);
    const auto &expected = ExpectedTables();
    ASSERT_EQ(store.Tables.size(), expected.size());
    for (std::size_t t = 0; t < expected.size(); ++t) {
        const ParameterTable &table = store.Tables[t];
        EXPECT_EQ(table.SectionName, expected[t].Section);
        EXPECT_EQ(table.TabCaption, expected[t].Caption);
        ASSERT_EQ(table.Rows.size(), expected[t].Rows.size()) << table.SectionName;
        for (std::size_t r = 0; r < table.Rows.size(); ++r) {
            EXPECT_EQ(table.Rows[r].Key, expected[t].Rows[r].Key);
            EXPECT_EQ(table.Rows[r].Caption, expected[t].Rows[r].Caption);
            EXPECT_EQ(table.Rows[r].Value, expected[t].Rows[r].Default);
        }
    }
}

TEST(ParameterTables, OnlyTheMethodAndTheModelsHavePickListsAndAreReadOnly)
{
    ParameterStore store;
    CreateParameterTables(store, nullptr);
    const std::map<std::string, std::vector<std::string>> pickLists = {
        {"SIM_METHOD", {"First reaction", "Next reaction", "Tau-leap"}},
        {"MECH_MODEL", {"Rigid bodies", "Viscous"}},
        {"ARP_MODEL", {"Binding only", "Branches"}}};
    for (const ParameterTable &table : store.Tables) {
        for (const ParameterRow &row : table.Rows) {
            const auto pickList = pickLists.find(row.Key);
            EXPECT_EQ(row.ReadOnly, pickList != pickLists.end()) << row.Key;
            if (pickList != pickLists.end())
                EXPECT_EQ(row.PickList, pickList->second);
            else
                EXPECT_TRUE(row.PickList.empty()) << row.Key;
        }
    }
}

// The model is read from the settings file, unlike the method; each model
// marks what only the other one reads, and both the parameters no model reads.
TEST(ParameterTables, TheChosenModelMarksWhatItDoesNotUse)
{
    ScratchDirectory dir;
    const std::string path = dir.File("filonex.ini");
    WriteFile(path, "[ValueListMechanics]\nMECH_MODEL=Viscous\n");
    const SettingsFile settings(path);
    ParameterStore store;
    CreateParameterTables(store, &settings);
    EXPECT_EQ(ParameterText(store, kMechanics, "MECH_MODEL"), "Viscous");
    EXPECT_TRUE(IsUnusedByMechanicsModel(store, kMechanics, "MECH_BROWNIANFORCE"));
    EXPECT_TRUE(IsUnusedByMechanicsModel(store, kBacterium, "BACT_DENS"));
    EXPECT_FALSE(IsUnusedByMechanicsModel(store, kMechanics, "MECH_VISC"));
    EXPECT_FALSE(IsUnusedByMechanicsModel(store, kBacterium, "BACT_RAD"));
    EXPECT_TRUE(IsUnusedByMechanicsModel(store, kMechanics, "MECH_FFINTERDIST"));
    store.Table(kMechanics)->Find("MECH_MODEL")->Value = "Rigid bodies";
    EXPECT_FALSE(IsUnusedByMechanicsModel(store, kMechanics, "MECH_BROWNIANFORCE"));
    EXPECT_TRUE(IsUnusedByMechanicsModel(store, kMechanics, "MECH_CONTACTK"));
    EXPECT_FALSE(IsUnusedByMechanicsModel(store, kSimulation, "SIM_TIME"));
}

TEST(ParameterTables, CurrentStateRows)
{
    ParameterStore store;
    CreateParameterTables(store, nullptr);
    const ParameterTable *state = store.Table("ValueListCurrentState");
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->TabCaption, "Current state");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"STATE_MAXTIME", "Maximal time [s]"},
        {"STATE_VALUME", "Volume [litres]"},
        {"STATE_TIME", "Time [s]"},
        {"STATE_REACTIONS", "Number of reactions"}};
    ASSERT_EQ(state->Rows.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(state->Rows[i].Key, expected[i].first);
        EXPECT_EQ(state->Rows[i].Caption, expected[i].second);
        EXPECT_EQ(state->Rows[i].Value, "0");
    }
    SetStateValue(store, "STATE_VALUME", "8E-15");
    SetStateValue(store, "STATE_EXTRA", "1");
    EXPECT_EQ(ParameterText(store, kCurrentState, "STATE_VALUME"), "8E-15");
    EXPECT_EQ(ParameterText(store, kCurrentState, "STATE_EXTRA"), "1");
    EXPECT_EQ(store.CurrentState.Rows.size(), 5u);
}

TEST(ParameterTables, FirstStartWritesFiveSectionsAnd41Entries)
{
    ScratchDirectory dir;
    const std::string path = dir.File("filonex.ini");
    const SettingsFile settings(path);
    ParameterStore store;
    CreateParameterTables(store, &settings);
    for (const auto &table : ExpectedTables())
        for (const auto &row : table.Rows)
            EXPECT_EQ(ParameterText(store, table.Section, row.Key), row.Default);

    SaveSettings(store, path);
    const std::string text = ReadFile(path);
    EXPECT_EQ(Count(text, "["), 5);
    EXPECT_EQ(Count(text, "="), 41);
    EXPECT_NE(text.find("[ValueListSimulation]\nSIM_CUBESIZE=2\nSIM_METHOD=First reaction\n"),
              std::string::npos);
    EXPECT_NE(text.find("MECH_ACr=1.5E-9\n"), std::string::npos);
    EXPECT_EQ(text.find("STATE_"), std::string::npos);
}

TEST(ParameterTables, PointFileReadInACommaLocale)
{
    ScratchDirectory dir;
    WriteFile(dir.File("a.ini"), "[ValueListConcentrations]\nC_ARP=0.3\n");
    USE_COMMA_LOCALE(locale);
    const SettingsFile settings(dir.File("a.ini"));
    ParameterStore store;
    CreateParameterTables(store, &settings);
    EXPECT_EQ(ParameterText(store, kConcentrations, "C_ARP"), "0,3");
    EXPECT_EQ(ParameterNumber(store, kConcentrations, "C_ARP"), 0.3);
    // Defaults follow the locale too.
    EXPECT_EQ(ParameterText(store, kMechanics, "MECH_ACr"), "1,5E-9");
}

TEST(ParameterTables, CommaFileReadInAPointLocale)
{
    ScratchDirectory dir;
    WriteFile(dir.File("a.ini"), "[ValueListConcentrations]\nC_ARP=0,3\n");
    NumericLocale locale("C");
    const SettingsFile settings(dir.File("a.ini"));
    ParameterStore store;
    CreateParameterTables(store, &settings);
    EXPECT_EQ(ParameterText(store, kConcentrations, "C_ARP"), "0.3");
    EXPECT_EQ(ParameterNumber(store, kConcentrations, "C_ARP"), 0.3);
}

TEST(ParameterTables, MethodAlwaysStartsAsFirstReactionButIsSaved)
{
    ScratchDirectory dir;
    const std::string path = dir.File("a.ini");
    WriteFile(path, "[ValueListSimulation]\nSIM_METHOD=Next reaction\n");
    const SettingsFile settings(path);
    ParameterStore store;
    CreateParameterTables(store, &settings);
    EXPECT_EQ(ParameterText(store, kSimulation, "SIM_METHOD"), "First reaction");

    store.Table(kSimulation)->Find("SIM_METHOD")->Value = "Tau-leap";
    SaveSettings(store, path);
    EXPECT_EQ(SettingsFile(path).ReadString(kSimulation, "SIM_METHOD", ""), "Tau-leap");
}

TEST(ParameterTables, EmptyValueStaysEmptyAndFailsWhenUsed)
{
    ScratchDirectory dir;
    WriteFile(dir.File("a.ini"), "[ValueListConcentrations]\nC_ACG=\n");
    const SettingsFile settings(dir.File("a.ini"));
    ParameterStore store;
    CreateParameterTables(store, &settings);
    EXPECT_EQ(ParameterText(store, kConcentrations, "C_ACG"), "");
    try {
        ParameterNumber(store, kConcentrations, "C_ACG");
        FAIL() << "no error";
    } catch (const ConversionError &e) {
        EXPECT_STREQ(e.what(), "'' is not a valid floating point value");
    }
}

TEST(ParameterTables, MissingKeyOrTableReadsAsEmptyText)
{
    ParameterStore store;
    CreateParameterTables(store, nullptr);
    EXPECT_EQ(ParameterText(store, kRates, "RATE_FORM2"), "");
    EXPECT_EQ(ParameterText(store, "ValueListNone", "C_ACG"), "");
    EXPECT_THROW(ParameterNumber(store, kRates, "RATE_FORM2"), ConversionError);
}

TEST(ParameterTables, ForeignEntriesSurviveASave)
{
    ScratchDirectory dir;
    const std::string path = dir.File("a.ini");
    WriteFile(path, "[Window]\nLeft=10\n\n"
                    "[ValueListRates]\nRATE_FORM=2E-6\nOLD_KEY=kept\n");
    ParameterStore store;
    {
        const SettingsFile settings(path);
        CreateParameterTables(store, &settings);
    }
    EXPECT_EQ(ParameterNumber(store, kRates, "RATE_FORM"), 2e-6);
    store.Table(kRates)->Find("RATE_FORM")->Value = "3E-6";
    SaveSettings(store, path);

    const SettingsFile saved(path);
    EXPECT_EQ(saved.ReadString("Window", "Left", ""), "10");
    EXPECT_EQ(saved.ReadString(kRates, "OLD_KEY", ""), "kept");
    EXPECT_EQ(saved.ReadString(kRates, "RATE_FORM", ""), "3E-6");
    EXPECT_EQ(saved.ReadString(kBacterium, "BACT_RAD", ""), "2E-7");
    const std::string text = ReadFile(path);
    const std::string kept = "[Window]\nLeft=10\n\n[ValueListRates]\nRATE_FORM=3E-6\nOLD_KEY=kept\n";
    EXPECT_EQ(text.rfind(kept, 0), 0u);
}

TEST(ParameterTables, FailedSaveRaisesTheWriteErrorWithThePath)
{
    ScratchDirectory dir;
    ParameterStore store;
    CreateParameterTables(store, nullptr);
    const std::string path = dir.File("no/such/folder/filonex.ini");
    try {
        SaveSettings(store, path);
        FAIL() << "no error";
    } catch (const SettingsWriteError &e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
    }
}

} // namespace
