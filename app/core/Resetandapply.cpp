#include "Resetandapply.h"

#include "Cell.h"
#include "Drag.h"
#include "FloatingPoint.h"
#include "Numbertext.h"
#include "Parameters.h"
#include "RigidMechanics.h"
#include "ViscousMechanics.h"
#include "CounterRandom.h"
#include "Random.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <stdexcept>
#include <string_view>

namespace {

constexpr double kMicrometre = 1e-6; // m
constexpr double kLitresPerCubicMetre = 1000;
constexpr double kShellOuterRadiusFactor = 1.1;   // of the bacterium's radius

// Molecules in a volume V (m^3) at the concentration of key (uM), rounded
// stochastically. Raises ParameterError when they would not fit a species counter.
std::int32_t Population(const ParameterStore &store, std::string_view key, double volume,
                        CRandomStream &random)
{
    const long double concentration = CheckedParameterNumber(store, kConcentrations, key);
    const long double molecules = MoleculesAt(concentration, volume);
    constexpr std::int32_t kMostMolecules = std::numeric_limits<std::int32_t>::max();
    if (molecules > kMostMolecules) {
        const ParameterTable &table = *store.Table(kConcentrations);
        const double limit = double(kMostMolecules / (molecules / concentration));
        throw ParameterError(ParameterName(table, *table.Find(key)) + " is " +
                             ParameterText(store, kConcentrations, key) + ": in a box of " +
                             FormatNumber(volume * kLitresPerCubicMetre) +
                             " litres that is more molecules than a counter holds (2147483647); in this "
                             "box it must be at most " +
                             LimitText(limit, true));
    }
    return random.StochasticRound(static_cast<double>(molecules));
}

using ParameterKey = std::pair<std::string_view, std::string_view>; // section, key

// The quantity that compute derives from the parameters keys, refused when
// it is no positive number that a run can use (not finite, 0 by underflow),
// or when computing it fails on a floating-point error, naming them all.
template <typename Compute>
double Derived(const ParameterStore &store, std::initializer_list<ParameterKey> keys, std::string_view quantity,
               Compute compute)
{
    std::string reason;
    double value = 0.0;
    try {
        value = compute();
        if (!(std::isfinite(value) && value >= std::numeric_limits<double>::min()))
            reason = "is " + FormatNumber(value);
    } catch (const fp::FloatingPointError &e) {
        reason = "cannot be computed (" + std::string(e.what()) + ")";
    }
    if (reason.empty())
        return value;
    std::string names;
    for (const auto &[section, key] : keys) {
        const ParameterTable &table = *store.Table(section);
        names += (names.empty() ? "" : ", ") + ParameterName(table, *table.Find(key)) + " = " +
                 ParameterText(store, section, key);
    }
    throw ParameterError("With " + names + " " + std::string(quantity) + " " + reason +
                         ": no run can use it; choose values nearer to the defaults");
}

// The quantities the first mechanics step of cell's model derives from its
// constants: a three-monomer filament's mass, inertia and kicks for the
// rigid bodies, the mobilities, noise and contact relaxation of the rods and
// the bacterium for the viscous model.
void CheckMechanicsQuantities(const ParameterStore &store, const CCell &cell)
{
    constexpr ParameterKey kRadius{kMechanics, "MECH_ACr"}, kDensity{kMechanics, "MECH_FLINDENS"},
        kViscosity{kMechanics, "MECH_VISC"}, kTemperature{kMechanics, "MECH_TEMP"},
        kStiffness{kMechanics, "MECH_CONTACTK"}, kStep{kSimulation, "SIM_TIMESTEP"},
        kBacteriumRadius{kBacterium, "BACT_RAD"};
    const double dt = cell.MechTimeStep;
    if (cell.Model == MechanicsModel::RigidBodies) {
        CSolidFilament probe;
        probe.Material = &cell.Material;
        probe.Monomers = 3;
        probe.SetGeometry(cell.GetCenter(), CVector(0.0, 0.0, 1.0));
        Derived(store, {kRadius, kDensity}, "a filament's mass and inertia", [&] {
            probe.UpdateMassProperties();
            return std::min({probe.Mass, probe.Inertia.m00, probe.InvInertia.m00, probe.InvInertia.m22});
        });
        const double mass = probe.Mass;
        Derived(store, {{kMechanics, "MECH_BROWNIANFORCE"}, kDensity, kStep}, "a filament's kick over a step",
                [&] { return std::max(RigidConstantsOf(cell).BrownianForce * dt * dt / mass, std::numeric_limits<double>::min()); });
        Derived(store, {{kMechanics, "MECH_BROWNIANMOMENT"}, kRadius, kDensity, kStep},
                "a filament's turn over a step", [&] {
                    return std::max(RigidConstantsOf(cell).BrownianMoment * dt * dt * probe.InvInertia.m00,
                                    std::numeric_limits<double>::min());
                });
        return;
    }
    if (cell.Model != MechanicsModel::Viscous)
        return;
    // The shortest rod moves as one monomer, the most mobile of all.
    const double mobility = Derived(store, {kRadius, kViscosity}, "a filament's mobility", [&] {
        const RodDrag drag = FilamentDrag(MONOMER_LENGTH, 2.0 * cell.Material.Radius, ViscousConstantsOf(cell).Viscosity);
        return 1.0 / std::min({drag.Along, drag.Across, drag.Rotation});
    });
    const double bacteriumMobility =
        cell.Bacterium ? Derived(store, {kBacteriumRadius, kViscosity}, "the bacterium's mobility",
                                 [&] { return 1.0 / SphereTranslationDrag(cell.Bacterium->Radius, ViscousConstantsOf(cell).Viscosity); })
                       : mobility;
    Derived(store, {kTemperature, kViscosity, kStep}, "the thermal noise over a step", [&] {
        return std::max(std::sqrt(2.0 * kBoltzmann * ViscousConstantsOf(cell).Temperature * dt * std::max(mobility, bacteriumMobility)),
                        std::numeric_limits<double>::min());
    });
    Derived(store, {kStiffness, kViscosity, kStep}, "the contact stiffness times mobility and step (k m dt)",
            [&] {
                return std::max(ViscousConstantsOf(cell).ContactStiffness * std::max(mobility, bacteriumMobility) * dt,
                                std::numeric_limits<double>::min());
            });
}

// The propensities that the first step of a run finds, computed anew; each
// must be a finite number.
void UpdateCheckedPropensities(const ParameterStore &store, CCell &cell)
{
    {
        const fp::Traps off(false); // an overflow leaves its channel's propensity infinite
        cell.UpdatePropensities();
    }
    for (std::size_t i = 0; i < cell.Channels.size(); ++i) {
        Derived(store, {{kRates, cell.Channels[i].RateKey}, {kSimulation, "SIM_CUBESIZE"}},
                std::string("the propensity of ") + cell.Channels[i].Name, [&] {
                    return std::max(std::fabs(cell.Reactions[i].Propensity), std::numeric_limits<double>::min());
                });
    }
}

// The table holding the parameter that sets a model's constant.
const ParameterTable &TableOfConstant(const ParameterStore &store, std::string_view key)
{
    const ParameterTable *table = TableHolding(store, key);
    if (!table)
        throw std::logic_error("no parameter table holds " + std::string(key) +
                               ", a mechanics model's constant");
    return *table;
}

// Every model's constants from their parameters, each model's read
// completely before any of them is stored.
void ApplyModelConstants(const ParameterStore &store, CCell &cell)
{
    for (const MechanicsModelRow &row : cell.Models()) {
        const std::vector<ModelConstant> constants = cell.Unit(row.Model).ConstantList();
        std::vector<double> values;
        for (const ModelConstant &constant : constants)
            values.push_back(CheckedParameterNumber(
                store, TableOfConstant(store, constant.Parameter).SectionName, constant.Parameter));
        for (std::size_t i = 0; i < constants.size(); ++i)
            *constants[i].Value = values[i];
    }
}

// The model chosen in MECH_MODEL; it must be one of the cell's, and the
// constants it cannot move a world without must be above 0.
MechanicsModel ChosenModel(const ParameterStore &store, CCell &cell, ModelTexts modelTexts)
{
    const ParameterTable &table = *store.Table(kMechanics);
    const ParameterRow &row = *table.Find("MECH_MODEL");
    const std::optional<MechanicsModel> model = ModelOfText(row.Value, modelTexts);
    if (!model || !FindModelRow(cell.Models(), *model)) {
        std::string choices;
        for (std::size_t i = 0; i < modelTexts.size(); ++i)
            choices += std::string(i == 0                      ? ""
                                   : i + 1 < modelTexts.size() ? ", "
                                                               : " or ") +
                       "\"" + std::string(modelTexts[i].Text) + "\"";
        throw ParameterError(ParameterName(table, row) + " must be " + choices + ", not " + row.Value);
    }
    for (const ModelConstant &constant : cell.Unit(*model).ConstantList()) {
        if (!constant.PositiveWhenChosen || *constant.Value > 0)
            continue;
        const ParameterTable &owner = TableOfConstant(store, constant.Parameter);
        const ParameterRow &parameter = *owner.Find(constant.Parameter);
        throw ParameterError(ParameterName(owner, parameter) + " must be greater than 0 for the \"" +
                             row.Value + "\" model, not " + parameter.Value);
    }
    return *model;
}

constexpr double kDegree = 3.14159265358979323846 / 180; // rad
constexpr double kNanometre = 1e-9;                     // m

} // namespace

long double MoleculesAt(long double concentration, double volume)
{
    return concentration * volume * 1000.0L * static_cast<long double>(AVOGADRO) * 1e-6L;
}

void ApplyArpModel(const ParameterStore &store, CCell &cell)
{
    const ParameterTable &rates = *store.Table(kRates);
    const ParameterRow &row = *rates.Find(kArpModelKey);
    if (row.Value != kBindingOnly && row.Value != kBranches)
        throw ParameterError(ParameterName(rates, row) + " must be \"" + std::string(kBindingOnly) + "\" or \"" +
                             std::string(kBranches) + "\", not " + row.Value);
    const ArpModel model = row.Value == kBranches ? ArpModel::Branches : ArpModel::BindingOnly;
    if (model == ArpModel::Branches) {
        const std::string mechanics = ParameterText(store, kMechanics, "MECH_MODEL");
        const std::string method = ParameterText(store, kSimulation, "SIM_METHOD");
        if (mechanics != kViscous)
            throw ParameterError("\"" + std::string(kBranches) + "\" (" + ParameterName(rates, row) +
                                 ") needs the \"" + std::string(kViscous) + "\" mechanics model, not \"" +
                                 mechanics + "\"");
        if (MethodOfText(method) == SimulationMethod::TauLeap)
            throw ParameterError("\"" + std::string(kBranches) + "\" (" + ParameterName(rates, row) +
                                 ") needs an exact method, not \"" + method + "\"");
        const double angle = CheckedParameterNumber(store, kRates, "ARP_ANGLE");
        if (!(angle > 0 && angle < 180))
            throw ParameterError(ParameterName(rates, *rates.Find("ARP_ANGLE")) +
                                 " must be greater than 0 and less than 180, not " +
                                 ParameterText(store, kRates, "ARP_ANGLE"));
        cell.Branching.Angle = angle * kDegree;
        cell.Branching.AngleSpread = CheckedParameterNumber(store, kRates, "ARP_ANGLESD") * kDegree;
        cell.Branching.ActivationZone = CheckedParameterNumber(store, kRates, "ARP_ZONE") * kNanometre;
    }
    if (cell.Arp != model)
        cell.SetArpModel(model);
}

std::vector<HeldConstant> MechanicsConstants(const CCell &cell)
{
    std::vector<HeldConstant> held;
    for (const MechanicsModelRow &row : cell.Models())
        for (const ModelConstant &constant : const_cast<CCell &>(cell).Unit(row.Model).ConstantList())
            held.push_back({row.Model, constant});
    return held;
}

AppliedWorld ResetAndApply(const ParameterStore &store, CCell &cell, ModelTexts modelTexts)
{
    fp::Traps traps;
    AppliedWorld applied;

    cell.Reset();
    cell.CounterKey = CounterKeyOf(cell.Random.Capture());

    const double edge = CheckedParameterNumber(store, kSimulation, "SIM_CUBESIZE") * kMicrometre;
    cell.SetBox(CVector(0.0), CVector(edge));
    const double volume =
        Derived(store, {{kSimulation, "SIM_CUBESIZE"}}, "the box's volume", [&cell] { return cell.GetVolume(); });
    applied.BoxEdge = edge;
    applied.VolumeLitres = volume * kLitresPerCubicMetre;

    cell.MechTimeStep = CheckedParameterNumber(store, kSimulation, "SIM_TIMESTEP");
    cell.ObsTimeStep = CheckedParameterNumber(store, kSimulation, "SIM_OBSERVTIMESTEP");

    cell.Species[CCell::ACG] = Population(store, "C_ACG", volume, cell.Random);
    cell.Species[CCell::CAP] = Population(store, "C_CAP", volume, cell.Random);
    cell.Species[CCell::ARP] = Population(store, "C_ARP", volume, cell.Random);
    cell.Species[CCell::ADC] = Population(store, "C_ADC", volume, cell.Random);

    ApplyModelConstants(store, cell);
    cell.Model = ChosenModel(store, cell, modelTexts);

    cell.Material.Radius = CheckedParameterNumber(store, kMechanics, "MECH_ACr");
    cell.Material.LinearDensity = CheckedParameterNumber(store, kMechanics, "MECH_FLINDENS");

    cell.CreateBacterium();
    CBacterium &bacterium = *cell.Bacterium;
    CSphereSpace &body = bacterium;
    const double radius = CheckedParameterNumber(store, kBacterium, "BACT_RAD");
    body.Radius = radius;
    bacterium.Shell.InnerRadius = radius;
    bacterium.Shell.OuterRadius = kShellOuterRadiusFactor * radius;
    body.Center = cell.GetCenter();
    bacterium.Shell.Center = body.Center;
    bacterium.ResetPosition = body.Center;
    bacterium.Density = CheckedParameterNumber(store, kBacterium, "BACT_DENS");
    const ParameterKey bacteriumRadius{kBacterium, "BACT_RAD"};
    const double bodyVolume = Derived(store, {bacteriumRadius}, "the bacterium's volume", [&] { return body.GetVolume(); });
    const double shellVolume =
        Derived(store, {bacteriumRadius}, "the bacterium's shell volume", [&] { return bacterium.Shell.GetVolume(); });
    Derived(store, {bacteriumRadius, {kBacterium, "BACT_DENS"}}, "the bacterium's mass and inertia", [&] {
        bacterium.UpdateMassProperties();
        return std::min({bacterium.Mass, bacterium.Inertia.m00, bacterium.InvInertia.m00});
    });
    ApplyArpModel(store, cell);
    for (std::size_t i = 0; i < cell.Channels.size(); ++i) {
        const ChannelRow &channel = cell.Channels[i];
        double channelVolume = volume; // m^3
        if (channel.Volume == ChannelVolume::Shell)
            channelVolume = shellVolume;
        else if (channel.Volume == ChannelVolume::Bulk)
            channelVolume = volume - bodyVolume - shellVolume;
        const double constant = channel.RateMultiplier * CheckedParameterNumber(store, kRates, channel.RateKey);
        // A rate constant of 0 leaves its channel idle; any other must give a usable stochastic rate.
        Derived(store, {{kRates, channel.RateKey}, {kSimulation, "SIM_CUBESIZE"}, bacteriumRadius},
                std::string("the stochastic rate of ") + channel.Name, [&] {
                    cell.Reactions[i].SetRate(constant, channelVolume * kLitresPerCubicMetre);
                    return constant == 0.0 ? 1.0 : std::fabs(cell.Reactions[i].StochasticRate);
                });
    }
    // With the populations and the rates in place, so that the displays at
    // 0 s show what can react rather than zeros.
    UpdateCheckedPropensities(store, cell);

    applied.TargetTime = CheckedParameterNumber(store, kSimulation, "SIM_TIME");

    CheckMechanicsQuantities(store, cell);

    cell.TauLeap.Accuracy = CheckedParameterNumber(store, kSimulation, "SIM_TAUEPS");
    cell.SetMethod(MethodOfText(ParameterText(store, kSimulation, "SIM_METHOD")));
    return applied;
}

bool ExtendTargetTime(const ParameterStore &store, const CCell &cell, double &targetTime)
{
    // A run ends exactly at its target, and a restart must then move on.
    if (cell.Time < targetTime)
        return false;
    fp::Traps traps;
    targetTime += CheckedParameterNumber(store, kSimulation, "SIM_TIME");
    return true;
}

std::string RunStartProblem(const CCell &cell, bool withMechanics)
{
    if (!cell.Method)
        return "No simulation method: choose \"First reaction\", \"Next reaction\" or \"Tau-leap\" as "
               "the \"Simulation method\" and apply.";
    if (!(cell.ObsTimeStep > 0))
        return "The \"Observation Time step [s]\" must be greater than 0.";
    if (withMechanics && !(cell.MechTimeStep > 0))
        return "The \"Time step [s]\" must be greater than 0 for a run with mechanics.";
    // A denormal step would leave the clocks where they are.
    const std::string smallest = FormatNumber(std::numeric_limits<double>::min());
    if (!std::isnormal(cell.ObsTimeStep))
        return "The \"Observation Time step [s]\" must be at least " + smallest + ".";
    if (withMechanics && !std::isnormal(cell.MechTimeStep))
        return "The \"Time step [s]\" must be at least " + smallest + " for a run with mechanics.";
    return {};
}

std::string StepCountProblem(const CCell &cell, double endTime, bool withMechanics)
{
    constexpr double kMostSteps = 0x1p53;
    const struct {
        double Step; // s
        double From; // s, the clock the steps start at
        const char *Name;
        bool Used;
    } steps[] = {{cell.ObsTimeStep, cell.ObsTime, "\"Observation Time step [s]\" (SIM_OBSERVTIMESTEP)", true},
                 {cell.MechTimeStep, cell.MechTime, "\"Time step [s]\" (SIM_TIMESTEP)", withMechanics}};
    for (const auto &step : steps) {
        const double span = endTime - step.From;
        if (step.Used && span / step.Step > kMostSteps)
            return "The " + std::string(step.Name) + " of " + FormatNumber(step.Step) +
                   " s gives more than " + "2^53 steps to the end of the run at " + FormatNumber(endTime) +
                   " s, which could never be reached; it must be at least " +
                   FormatNumber(span / kMostSteps) + " s.";
    }
    return {};
}

namespace {

// Bytes this process may take: the machine's memory, or its own limits.
double UsableMemory()
{
    double bytes = double(::sysconf(_SC_PHYS_PAGES)) * double(::sysconf(_SC_PAGE_SIZE));
    for (const int resource : {RLIMIT_AS, RLIMIT_DATA}) {
        rlimit limit{};
        if (::getrlimit(resource, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
            bytes = std::min(bytes, double(limit.rlim_cur));
    }
    return bytes;
}

} // namespace

std::string LeapMemoryProblem(const CCell &cell)
{
    if (!cell.Leaping)
        return {};
    const double filaments = (double(cell.Species[CCell::ACG]) + double(cell.Species[CCell::ACF])) / 3.0;
    const double bytes = filaments * double(sizeof(CSolidFilament));
    const double usable = UsableMemory();
    if (bytes <= usable)
        return {};
    return "A \"Tau-leap\" run of this world could run out of memory: its " +
           std::to_string(cell.Species[CCell::ACG]) + " G-actin (C_ACG) and " +
           std::to_string(cell.Species[CCell::ACF]) + " F-actin can form " + FormatNumber(std::floor(filaments)) +
           " filaments, which a few leaps may do, taking at least " + FormatNumber(std::round(bytes / 1e8) / 10) +
           " GB; this process may take " + FormatNumber(std::round(usable / 1e8) / 10) +
           " GB. Use a lower concentration, a smaller box or an exact method.";
}
