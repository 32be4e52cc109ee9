#include "Parameters.h"

#include "Numbertext.h"
#include "Settingsfile.h"

#include <algorithm>
#include <iterator>
#include <span>

namespace {

struct TableDefinition {
    std::string_view SectionName;
    std::string_view TabCaption;
};

constexpr TableDefinition kTableDefinitions[] = {
    {kConcentrations, "Concentrations"}, {kRates, "Rates"},         {kSimulation, "Simulation"},
    {kMechanics, "Mechanics"},           {kBacterium, "Bacterium"},
};

// One numeric parameter: its table, key, caption, default value and the
// values that have a physical meaning. Defaults become text in the general
// number format when the tables are built.
struct ParameterDefinition {
    std::string_view SectionName;
    std::string_view Key;
    std::string_view Caption;
    double Default;
    ParameterRange Range = ParameterRange::Any;
};

constexpr auto kNotNegative = ParameterRange::NotNegative;
constexpr auto kPositive = ParameterRange::Positive;
constexpr auto kOpenUnit = ParameterRange::OpenUnit;

// The two text parameters are added on their own: SIM_METHOD between
// SIM_CUBESIZE and SIM_TIMESTEP, MECH_MODEL after MECH_VISC.
constexpr std::string_view kMethodKey = "SIM_METHOD";
constexpr std::string_view kMethodFollows = "SIM_CUBESIZE";
constexpr std::string_view kModelKey = "MECH_MODEL";
constexpr std::string_view kModelFollows = "MECH_VISC";
constexpr std::string_view kArpModelFollows = "RATE_SEVR";

constexpr ParameterDefinition kParameterDefinitions[] = {
    {kConcentrations, "C_ACG", "Concentration of G-actin [uM]", 12, kNotNegative},
    {kConcentrations, "C_CAP", "Concentration of capping prot. [uM]", 1, kNotNegative},
    {kConcentrations, "C_ARP", "Concentration of Arp2/3 [uM]", 0.3, kNotNegative},
    {kConcentrations, "C_ADC", "Concentration of ADF/cofilin [uM]", 1, kNotNegative},
    {kRates, "RATE_FORM", "Filament formation [uM-2s-1]", 1E-6, kNotNegative},
    {kRates, "RATE_ASSB", "Association at barbed end [uM-1s-1]", 11.6, kNotNegative},
    {kRates, "RATE_ASSP", "Association at pointed end [uM-1s-1]", 0.16, kNotNegative},
    {kRates, "RATE_DISB", "Dissociation at barbed end [s-1]", 1.4, kNotNegative},
    {kRates, "RATE_DISP", "Dissociation at pointed end [s-1]", 0.8, kNotNegative},
    {kRates, "RATE_CAPB", "Capping of barbed end [uM-1s-1]", 3, kNotNegative},
    {kRates, "RATE_ARPB", "Arp2/3 binding (barbed) [uM-1s-1]", 3, kNotNegative},
    {kRates, "RATE_SEVR", "Severing by ADF/cofilin [uM-1s-1]", 0.01, kNotNegative},
    {kRates, "ARP_ANGLE", "Branch angle [deg]", 70, kPositive},
    {kRates, "ARP_ANGLESD", "Branch angle spread [deg]", 7, kNotNegative},
    {kRates, "ARP_ZONE", "Activation zone [nm]", 0, kNotNegative},
    {kRates, "RATE_DEBR", "Debranching [1/s]", 2.3E-4, kNotNegative},
    {kSimulation, "SIM_CUBESIZE", "Consider cube with side length [um]", 2, kPositive},
    {kSimulation, "SIM_TIMESTEP", "Time step [s]", 0.0001},
    {kSimulation, "SIM_OBSERVTIMESTEP", "Observation Time step [s]", 0.01},
    {kSimulation, "SIM_TIME", "Maximum time [s]", 100, kPositive},
    {kSimulation, "SIM_TAUEPS", "Tau-leap accuracy", 0.03, kOpenUnit},
    {kMechanics, "MECH_ACr", "Filament Radius [m]", 1.5E-9, kPositive},
    {kMechanics, "MECH_FLINDENS", "Filament Linear Density [kg/m]", 3.4E-14, kPositive},
    {kMechanics, "MECH_FFINTERCOEF", "F-F Interaction Coefficient", 1E-17},
    {kMechanics, "MECH_FFINTERDIST", "F-F Interaction Distance", 1E-9},
    {kMechanics, "MECH_FWINTERCOEF", "F-W Interaction Coefficient", 1E-15},
    {kMechanics, "MECH_FWINTERDIST", "F-W Interaction Distance", 1E-9},
    {kMechanics, "MECH_BROWNIANFORCE", "Brownian Force Module [N]", 1E-26},
    {kMechanics, "MECH_BROWNIANMOMENT", "Brownian Moment of Force Module [N*m]", 1E-32},
    {kMechanics, "MECH_FRICCOEF", "Friction Coefficient [m/(s*kg)]", 1E-15},
    {kMechanics, "MECH_VISC", "Dynamic Viscosity [Pa·s]", 0.001},
    {kMechanics, "MECH_TEMP", "Temperature [K]", 298.15, kNotNegative},
    {kMechanics, "MECH_CONTACTK", "Contact stiffness [N/m]", 1E-4, kPositive},
    {kBacterium, "BACT_RAD", "Bacterium Radius [m]", 2E-7, kPositive},
    {kBacterium, "BACT_DENS", "Bacterium Density [kg/m3]", 1000, kPositive},
    {kBacterium, "BACT_FSINTERCOEF", "B-F Interaction Coefficient", 1E-12},
    {kBacterium, "BACT_FSINTERDIST", "B-F Interaction Distance", 0},
    {kBacterium, "BACT_FRICCOEF", "Friction Coefficient [m/(s*kg)]", 1E-15},
};

struct StateRowDefinition {
    std::string_view Key;
    std::string_view Caption;
};

constexpr StateRowDefinition kStateRows[] = {
    {"STATE_MAXTIME", "Maximal time [s]"},
    {"STATE_VALUME", "Volume [litres]"},
    {"STATE_TIME", "Time [s]"},
    {"STATE_REACTIONS", "Number of reactions"},
};

// A row of free text, without pick list.
ParameterRow TextRow(std::string_view key, std::string_view caption, std::string value)
{
    return {std::string(key), std::string(caption), std::move(value), {}, false};
}

void AddPickListRow(ParameterTable &table, std::string_view key, std::string_view caption, std::string value,
                    std::vector<std::string> pickList)
{
    table.Rows.push_back(
        {std::string(key), std::string(caption), std::move(value), std::move(pickList), true});
}

void AddMethodRow(ParameterTable &table)
{
    std::vector<std::string> texts;
    for (const MethodText &method : kMethodTexts)
        texts.emplace_back(method.Text);
    AddPickListRow(table, kMethodKey, "Simulation method", std::string(kFirstReaction), std::move(texts));
}

void AddModelRow(ParameterTable &table, const SettingsFile *settings, ModelTexts modelTexts)
{
    const std::string value = settings ? settings->ReadString(table.SectionName, kModelKey, kRigidBodies)
                                       : std::string(kRigidBodies);
    std::vector<std::string> texts;
    for (const ModelText &model : modelTexts)
        texts.emplace_back(model.Text);
    AddPickListRow(table, kModelKey, "Mechanics model", value, std::move(texts));
}

void AddArpModelRow(ParameterTable &table, const SettingsFile *settings)
{
    const std::string value = settings ? settings->ReadString(table.SectionName, kArpModelKey, kBindingOnly)
                                       : std::string(kBindingOnly);
    AddPickListRow(table, kArpModelKey, "Arp2/3 model", value, {std::string(kBindingOnly), std::string(kBranches)});
}

template <typename Table>
auto *FindRow(Table &table, std::string_view key)
{
    const auto row = std::find_if(table.Rows.begin(), table.Rows.end(),
                                  [key](const ParameterRow &r) { return r.Key == key; });
    return row == table.Rows.end() ? nullptr : &*row;
}

template <typename Store>
auto *FindTable(Store &store, std::string_view sectionName)
{
    if (store.CurrentState.SectionName == sectionName)
        return &store.CurrentState;
    const auto table =
        std::find_if(store.Tables.begin(), store.Tables.end(),
                     [sectionName](const ParameterTable &t) { return t.SectionName == sectionName; });
    return table == store.Tables.end() ? nullptr : &*table;
}

} // namespace

const ParameterRow *ParameterTable::Find(std::string_view key) const
{
    return FindRow(*this, key);
}

ParameterRow *ParameterTable::Find(std::string_view key)
{
    return FindRow(*this, key);
}

const ParameterTable *ParameterStore::Table(std::string_view sectionName) const
{
    return FindTable(*this, sectionName);
}

ParameterTable *ParameterStore::Table(std::string_view sectionName)
{
    return FindTable(*this, sectionName);
}

const ParameterTable *TableHolding(const ParameterStore &store, std::string_view key)
{
    for (const ParameterTable &table : store.Tables)
        if (table.Find(key))
            return &table;
    return nullptr;
}

void CreateParameterTables(ParameterStore &store, const SettingsFile *settings, ModelTexts modelTexts)
{
    store.Tables.clear();
    for (const TableDefinition &definition : kTableDefinitions) {
        ParameterTable &table = store.Tables.emplace_back();
        table.SectionName = definition.SectionName;
        table.TabCaption = definition.TabCaption;
        for (const ParameterDefinition &parameter : kParameterDefinitions) {
            if (parameter.SectionName != definition.SectionName)
                continue;
            AddParameterRow(table, parameter.Key, FormatNumber(parameter.Default), settings,
                            parameter.Caption);
            if (parameter.Key == kMethodFollows)
                AddMethodRow(table);
            if (parameter.Key == kModelFollows)
                AddModelRow(table, settings, modelTexts);
            if (parameter.Key == kArpModelFollows)
                AddArpModelRow(table, settings);
        }
    }

    store.CurrentState = ParameterTable();
    store.CurrentState.SectionName = kCurrentState;
    store.CurrentState.TabCaption = "Current state";
    for (const StateRowDefinition &state : kStateRows)
        store.CurrentState.Rows.push_back(TextRow(state.Key, state.Caption, "0"));
}

void AddParameterRow(ParameterTable &table, std::string_view key, std::string_view defaultText,
                     const SettingsFile *settings, std::string_view caption)
{
    std::string value(defaultText);
    if (settings) {
        value = settings->ReadString(table.SectionName, key, defaultText);
        // Both characters count as a decimal separator in the file, whichever
        // locale wrote it.
        const char separator = DecimalSeparator();
        std::replace(value.begin(), value.end(), '.', separator);
        std::replace(value.begin(), value.end(), ',', separator);
    }
    table.Rows.push_back(TextRow(key, caption, std::move(value)));
}

std::string ParameterText(const ParameterTable *table, std::string_view key)
{
    const ParameterRow *row = table ? table->Find(key) : nullptr;
    return row ? row->Value : std::string();
}

std::string ParameterText(const ParameterStore &store, std::string_view sectionName, std::string_view key)
{
    return ParameterText(store.Table(sectionName), key);
}

double ParameterNumber(const ParameterStore &store, std::string_view sectionName, std::string_view key)
{
    return ParseNumber(ParameterText(store, sectionName, key));
}

std::string ParameterName(const ParameterTable &table, const ParameterRow &row)
{
    return table.TabCaption + ", \"" + row.Caption + "\"";
}

ParameterRange ParameterRangeOf(std::string_view sectionName, std::string_view key)
{
    const auto definition = std::find_if(
        std::begin(kParameterDefinitions), std::end(kParameterDefinitions),
        [&](const ParameterDefinition &d) { return d.SectionName == sectionName && d.Key == key; });
    return definition == std::end(kParameterDefinitions) ? ParameterRange::Any : definition->Range;
}

double CheckedParameterNumber(const ParameterStore &store, std::string_view sectionName, std::string_view key)
{
    const ParameterTable *table = store.Table(sectionName);
    const ParameterRow *row = table ? table->Find(key) : nullptr;
    if (!row)
        return ParameterNumber(store, sectionName, key);
    const std::string name = ParameterName(*table, *row);
    double value = 0;
    try {
        value = ParseNumber(row->Value);
    } catch (const ConversionError &e) {
        throw ParameterError(name + ": " + e.what());
    }
    const ParameterRange range = ParameterRangeOf(sectionName, key);
    if (range == ParameterRange::NotNegative && !(value >= 0))
        throw ParameterError(name + " must be 0 or greater, not " + row->Value);
    if (range == ParameterRange::Positive && !(value > 0))
        throw ParameterError(name + " must be greater than 0, not " + row->Value);
    if (range == ParameterRange::OpenUnit && !(value > 0 && value < 1))
        throw ParameterError(name + " must be greater than 0 and less than 1, not " + row->Value);
    return value;
}

bool IsUnusedByMechanicsModel(const ParameterStore &store, std::string_view sectionName, std::string_view key,
                              const MechanicsModelTable &models, ModelTexts modelTexts)
{
    if ((sectionName != kMechanics && sectionName != kBacterium) || key == kModelKey)
        return false;
    const std::optional<MechanicsModel> model =
        ModelOfText(ParameterText(store, kMechanics, kModelKey), modelTexts);
    const MechanicsModelRow *row = model ? FindModelRow(models, *model) : nullptr;
    return row && std::find(row->Uses.begin(), row->Uses.end(), key) == row->Uses.end();
}

void SaveParameterTable(const ParameterTable &table, SettingsFile &settings)
{
    for (const ParameterRow &row : table.Rows)
        settings.WriteString(table.SectionName, row.Key, row.Value);
}

void SaveSettings(const ParameterStore &store, const std::string &path)
{
    SettingsFile settings(path);
    for (const ParameterTable &table : store.Tables)
        SaveParameterTable(table, settings);
    settings.Save();
}

void SetStateValue(ParameterStore &store, std::string_view key, std::string_view value)
{
    if (ParameterRow *row = store.CurrentState.Find(key)) {
        row->Value = value;
        return;
    }
    store.CurrentState.Rows.push_back(TextRow(key, key, std::string(value)));
}

SimulationMethod MethodOfText(std::string_view text)
{
    for (const MethodText &method : kMethodTexts)
        if (method.Text == text)
            return method.Method;
    return SimulationMethod::None;
}

std::optional<MechanicsModel> ModelOfText(std::string_view text, ModelTexts texts)
{
    for (const ModelText &model : texts)
        if (model.Text == text)
            return model.Model;
    return std::nullopt;
}

std::string_view TextOfModel(MechanicsModel model, ModelTexts texts)
{
    for (const ModelText &text : texts)
        if (text.Model == model)
            return text.Text;
    return {};
}
