#include "Appliedparameters.h"

#include "Cell.h"
#include "Numbertext.h"
#include "Parameters.h"
#include "Resetandapply.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <iterator>
#include <vector>

namespace {

constexpr double kMicrometre = 1e-6; // m: SIM_CUBESIZE is in µm

// A parameter that one number of the cell repeats: the cell holds
// Scale × the parameter.
struct RepeatedNumber {
    std::string_view Section;
    std::string_view Key;
    double (*Value)(const CCell &);
    double Scale = 1.0;
};

const RepeatedNumber kRepeatedNumbers[] = {
    {kSimulation, "SIM_CUBESIZE", [](const CCell &c) { return c.Size.x; }, kMicrometre},
    {kSimulation, "SIM_TIMESTEP", [](const CCell &c) { return c.MechTimeStep; }},
    {kSimulation, "SIM_OBSERVTIMESTEP", [](const CCell &c) { return c.ObsTimeStep; }},
    {kMechanics, "MECH_ACr", [](const CCell &c) { return c.Material.Radius; }},
    {kMechanics, "MECH_FLINDENS", [](const CCell &c) { return c.Material.LinearDensity; }},
};

// Whether key is the rate parameter of a channel of the table.
bool IsRateKey(ChannelTable channels, std::string_view key)
{
    return std::any_of(channels.begin(), channels.end(),
                       [key](const ChannelRow &channel) { return channel.RateKey == key; });
}

// The concentration parameters and the species whose sum each one fixes.
struct ConservedTotal {
    std::string_view Key;
    std::vector<CCell::SpeciesIndex> Species;
};

const ConservedTotal kConservedTotals[] = {
    {"C_ACG", {CCell::ACG, CCell::ACF}},
    {"C_CAP", {CCell::CAP, CCell::CAF}},
    {"C_ARP", {CCell::ARP, CCell::ARF, CCell::ARB}},
    {"C_ADC", {CCell::ADC}},
};

// The shortest text that reads back as v.
std::string Exact(double v)
{
    char buffer[32];
    return std::string(buffer, std::to_chars(std::begin(buffer), std::end(buffer), v).ptr);
}

std::string Differs(std::string_view key, const std::string &text, const std::string &world)
{
    return std::string(key) + " is " + text + ", but the world holds " + world +
           (MayChangeMidRun(key) ? "; to change it for the rest of a run, set it on resuming (--set, World.set)"
                                 : "");
}

std::optional<ParameterMismatch> NumberMismatch(const ParameterStore &applied, std::string_view section,
                                                std::string_view key, double world, double scale = 1.0)
{
    const std::string text = ParameterText(applied, section, key);
    double value = 0.0;
    try {
        value = ParameterNumber(applied, section, key);
    } catch (const ConversionError &) {
        return ParameterMismatch{section, std::string(key), std::string(key) + " is no number: " + text};
    }
    if (value * scale == world)
        return std::nullopt;
    const std::string held = scale == 1.0 ? Exact(world) : Exact(world / scale) + " (" + Exact(world) + ")";
    return ParameterMismatch{section, std::string(key), Differs(key, text, held)};
}

// A new rate constant in the channel's volume; the channel keeps its count.
void ChangeRate(CChemReaction &reaction, double rateConstant)
{
    const std::int64_t count = reaction.Count;
    reaction.SetRate(rateConstant, reaction.Volume);
    reaction.Count = count;
}

} // namespace

std::optional<ParameterMismatch> AppliedParameterMismatch(const ParameterStore &applied, const CCell &cell,
                                                          ModelTexts modelTexts)
{
    const double volume = cell.GetVolume();
    for (const ConservedTotal &total : kConservedTotals) {
        std::int64_t count = 0;
        std::string names;
        for (const CCell::SpeciesIndex i : total.Species) {
            count += cell.Species[i];
            names += (names.empty() ? "" : " + ") + std::string(CCell::SpeciesNames[i]);
        }
        const std::string text = ParameterText(applied, kConcentrations, total.Key);
        double concentration = 0.0;
        try {
            concentration = ParameterNumber(applied, kConcentrations, total.Key);
        } catch (const ConversionError &) {
            return ParameterMismatch{kConcentrations, std::string(total.Key),
                                     std::string(total.Key) + " is no number: " + text};
        }
        const double molecules = double(MoleculesAt(concentration, volume));
        const double low = std::floor(molecules);
        const double high = molecules > low ? low + 1 : low;
        if (double(count) == low || double(count) == high)
            continue;
        const std::string made = low == high ? Exact(low) : Exact(low) + " or " + Exact(high);
        return ParameterMismatch{kConcentrations, std::string(total.Key),
                                 std::string(total.Key) + " is " + text + " uM, which makes " + made +
                                     " molecules in the world's box, but the world holds " +
                                     std::to_string(count) + " (" + names + ", " +
                                     Exact(double(count) / double(MoleculesAt(1.0L, volume))) + " uM)"};
    }
    for (std::size_t i = 0; i < cell.Channels.size(); ++i) {
        const CChemReaction &reaction = cell.Reactions[i];
        // A channel that a world file does not list was no part of its world.
        const bool absent = reaction.RateConstant == 0.0 && reaction.StochasticRate == 0.0 && reaction.Count == 0;
        if (absent)
            continue;
        if (auto m = NumberMismatch(applied, kRates, cell.Channels[i].RateKey, reaction.RateConstant,
                                    cell.Channels[i].RateMultiplier))
            return m;
    }
    for (const RepeatedNumber &number : kRepeatedNumbers)
        if (auto m = NumberMismatch(applied, number.Section, number.Key, number.Value(cell), number.Scale))
            return m;
    for (const HeldConstant &held : MechanicsConstants(cell)) {
        const ParameterTable *table = TableHolding(applied, held.Constant.Parameter);
        if (auto m = NumberMismatch(applied, table ? std::string_view(table->SectionName) : kMechanics,
                                    held.Constant.Parameter, *held.Constant.Value))
            return m;
    }
    const std::string model = ParameterText(applied, kMechanics, "MECH_MODEL");
    const std::string_view worldModel = TextOfModel(cell.Model, modelTexts);
    if (model != worldModel)
        return ParameterMismatch{kMechanics, "MECH_MODEL",
                                 Differs("MECH_MODEL", model, "the model \"" + std::string(worldModel) + "\"")};
    if (const CBacterium *bacterium = cell.Bacterium.get()) {
        const CSphereSpace &body = *bacterium;
        if (auto m = NumberMismatch(applied, kBacterium, "BACT_RAD", body.Radius))
            return m;
        if (auto m = NumberMismatch(applied, kBacterium, "BACT_DENS", bacterium->Density))
            return m;
    }
    return std::nullopt;
}

bool MayChangeMidRun(std::string_view key)
{
    return key == "MECH_TEMP" || key == "MECH_VISC" || IsRateKey(SpecifiedChannels(), key) ||
           IsRateKey(BranchingChannels(), key);
}

void SetRunParameter(ParameterStore &applied, CCell &cell, std::string_view key, const std::string &value)
{
    std::string ident(key);
    std::transform(ident.begin(), ident.end(), ident.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    ParameterTable *table = nullptr;
    for (ParameterTable &candidate : applied.Tables)
        if (candidate.Find(ident))
            table = &candidate;
    if (!table)
        throw ParameterError(std::string(key) + " is not a parameter");
    if (!MayChangeMidRun(ident))
        throw ParameterError(ident + " cannot change while a world runs on: it is fixed by the world's " +
                             "state; only the rate constants (RATE_...), MECH_TEMP and MECH_VISC can");

    ParameterStore changed = applied;
    changed.Table(table->SectionName)->Find(ident)->Value = value;
    const double number = CheckedParameterNumber(changed, table->SectionName, ident);
    double *constant = nullptr;
    for (const HeldConstant &held : MechanicsConstants(cell)) {
        if (held.Constant.Parameter != ident)
            continue;
        constant = held.Constant.Value;
        if (held.Constant.PositiveWhenChosen && held.Model == cell.Model && !(number > 0))
            throw ParameterError(ParameterName(*table, *table->Find(ident)) +
                                 " must be greater than 0 for the \"" + std::string(TextOfModel(cell.Model)) +
                                 "\" model, not " + value);
    }

    if (constant)
        *constant = number;
    for (std::size_t i = 0; i < cell.Channels.size(); ++i)
        if (cell.Channels[i].RateKey == ident)
            ChangeRate(cell.Reactions[i], cell.Channels[i].RateMultiplier * number);
    cell.UpdatePropensities();
    applied = std::move(changed);
}
