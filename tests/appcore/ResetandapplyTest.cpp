#include "Cell.h"
#include "RigidMechanics.h"
#include "ViscousMechanics.h"
#include "FloatingPoint.h"
#include "Numbertext.h"
#include "Parameters.h"
#include "Random.h"
#include "Resetandapply.h"
#include "TestSupport.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kAvogadro = 6.0221415e23;

class ResetAndApplyTest : public ::testing::Test {
protected:
    ResetAndApplyTest()
    {
        CreateParameterTables(store, nullptr);
        cell.Random.SeedWith(20240607);
    }

    void Set(std::string_view section, std::string_view key, std::string value)
    {
        store.Table(section)->Find(key)->Value = std::move(value);
    }

    ParameterStore store;
    CCell cell;
};

double SphereVolume(double r)
{
    return 4.0 / 3.0 * std::numbers::pi * r * r * r;
}

TEST_F(ResetAndApplyTest, DefaultWorld)
{
    const AppliedWorld applied = ResetAndApply(store, cell);

    EXPECT_NEAR(cell.GetVolume(), 8e-18, 8e-18 * 1e-14);
    EXPECT_EQ(applied.BoxEdge, 2e-6);
    EXPECT_EQ(FormatNumber(applied.VolumeLitres), "8E-15");
    EXPECT_EQ(applied.TargetTime, 100.0);
    EXPECT_EQ(cell.MechTimeStep, 0.0001);
    EXPECT_EQ(cell.ObsTimeStep, 0.01);

    // 1 uM in 8e-15 litres is 4817.7132 molecules.
    EXPECT_TRUE(cell.Species[CCell::ACG] == 57812 || cell.Species[CCell::ACG] == 57813);
    EXPECT_TRUE(cell.Species[CCell::CAP] == 4817 || cell.Species[CCell::CAP] == 4818);
    EXPECT_TRUE(cell.Species[CCell::ADC] == 4817 || cell.Species[CCell::ADC] == 4818);
    EXPECT_TRUE(cell.Species[CCell::ARP] == 1445 || cell.Species[CCell::ARP] == 1446);
    for (int i : {CCell::ACF, CCell::FIB, CCell::FIP, CCell::CAF, CCell::ARF, CCell::ARB})
        EXPECT_EQ(cell.Species[i], 0) << CCell::SpeciesNames[i];
    EXPECT_TRUE(cell.Filaments.empty());
    EXPECT_TRUE(static_cast<bool>(cell.Method));
    EXPECT_EQ(RunStartProblem(cell, true), "");
}

TEST_F(ResetAndApplyTest, PopulationsRoundUpWithTheirFractionalPart)
{
    // 57812.56 rounds up with probability 0.56: over 2000 applies the share of
    // 57813 lies within five standard errors (0.011 each) of it.
    const double expected = 12 * 8e-15 * kAvogadro * 1e-6 - 57812;
    int up = 0;
    const int applies = 2000;
    for (int i = 0; i < applies; ++i) {
        ResetAndApply(store, cell);
        up += cell.Species[CCell::ACG] == 57813;
    }
    EXPECT_NEAR(static_cast<double>(up) / applies, expected, 0.056);
}

TEST_F(ResetAndApplyTest, BacteriumAndShell)
{
    ResetAndApply(store, cell);
    ASSERT_TRUE(cell.Bacterium);
    const CBacterium &bacterium = *cell.Bacterium;
    const CSphereSpace &body = bacterium;
    EXPECT_EQ(body.Radius, 2e-7);
    EXPECT_EQ(bacterium.Shell.InnerRadius, 2e-7);
    EXPECT_DOUBLE_EQ(bacterium.Shell.OuterRadius, 2.2e-7);
    for (const CVector &c : {body.Center, bacterium.Shell.Center}) {
        EXPECT_DOUBLE_EQ(c.x, 1e-6);
        EXPECT_DOUBLE_EQ(c.y, 1e-6);
        EXPECT_DOUBLE_EQ(c.z, 1e-6);
    }
    EXPECT_EQ(bacterium.Density, 1000.0);
    EXPECT_NEAR(bacterium.GetMass(), 1000.0 * SphereVolume(2e-7), 1e-30);

    // A fresh bacterium at rest replaces one that had moved.
    cell.Bacterium->Velocity = CVector(1, 2, 3);
    Set(kBacterium, "BACT_RAD", "3E-7");
    ResetAndApply(store, cell);
    EXPECT_EQ(static_cast<const CSphereSpace &>(*cell.Bacterium).Radius, 3e-7);
    EXPECT_EQ(cell.Bacterium->Velocity.x, 0.0);
}

TEST_F(ResetAndApplyTest, ChannelRatesAndVolumes)
{
    ResetAndApply(store, cell);
    const double litres = 8e-15;
    const double bodyLitres = SphereVolume(2e-7) * 1000;
    const double shellLitres = (SphereVolume(2.2e-7) - SphereVolume(2e-7)) * 1000;
    const double molecules = kAvogadro * 1e-6; // per litre at 1 uM

    const auto &r = cell.Reactions;
    EXPECT_NEAR(r[CCell::FORM].Volume, litres - bodyLitres - shellLitres, 1e-28);
    EXPECT_NEAR(r[CCell::FORM2].Volume, shellLitres, 1e-28);
    EXPECT_EQ(r[CCell::FORM].RateConstant, 1e-6);
    EXPECT_DOUBLE_EQ(r[CCell::FORM2].RateConstant, 0.1);
    const double k[] = {11.6, 0.16, 1.4, 0.8, 3, 3, 0.01};
    for (int i = CCell::ASSB; i <= CCell::SEVR; ++i) {
        EXPECT_EQ(r[i].RateConstant, k[i - CCell::ASSB]) << cell.Reactions[i].Name;
        EXPECT_NEAR(r[i].Volume, litres, litres * 1e-14);
    }
    EXPECT_NEAR(r[CCell::ASSB].StochasticRate, 2.4078e-3, 1e-7);
    EXPECT_NEAR(r[CCell::DISB].StochasticRate, 1.4, 1e-15);
    const double shellMolecules = molecules * shellLitres;
    EXPECT_NEAR(r[CCell::FORM2].StochasticRate, 0.1 / (shellMolecules * shellMolecules),
                1e-12 * r[CCell::FORM2].StochasticRate);
    for (const CChemReaction &channel : r)
        EXPECT_EQ(channel.Count, 0);
}

TEST_F(ResetAndApplyTest, PropensitiesAreThoseOfTheAppliedWorld)
{
    ResetAndApply(store, cell);
    const double litres = 8e-15;
    const double shellLitres = (SphereVolume(2.2e-7) - SphereVolume(2e-7)) * 1000;
    const double bulkLitres = litres - SphereVolume(2e-7) * 1000 - shellLitres;
    const auto nucleation = [&](double share) {
        const double n = std::floor(share * cell.Species[CCell::ACG]);
        return n * (n - 1) * (n - 2);
    };
    const auto &r = cell.Reactions;
    EXPECT_NEAR(r[CCell::FORM].Propensity, r[CCell::FORM].StochasticRate * nucleation(bulkLitres / litres),
                1e-12 * r[CCell::FORM].Propensity);
    EXPECT_NEAR(r[CCell::FORM2].Propensity,
                r[CCell::FORM2].StochasticRate * nucleation(shellLitres / litres),
                1e-12 * r[CCell::FORM2].Propensity);
    EXPECT_GT(r[CCell::FORM].Propensity, 0.0);
    // No filament yet: nothing grows, shrinks, caps, branches or severs.
    for (int i = CCell::ASSB; i <= CCell::SEVR; ++i)
        EXPECT_EQ(r[i].Propensity, 0.0) << cell.Reactions[i].Name;
}

TEST_F(ResetAndApplyTest, MechanicalConstantsGoToTheirFields)
{
    const char *mechanics[] = {"MECH_ACr",           "MECH_FLINDENS",       "MECH_FFINTERCOEF",
                               "MECH_FFINTERDIST",   "MECH_FWINTERCOEF",    "MECH_FWINTERDIST",
                               "MECH_BROWNIANFORCE", "MECH_BROWNIANMOMENT", "MECH_FRICCOEF",
                               "MECH_VISC"};
    for (int i = 0; i < 10; ++i)
        Set(kMechanics, mechanics[i], std::to_string(i + 1));
    Set(kBacterium, "BACT_FSINTERCOEF", "11");
    Set(kBacterium, "BACT_FSINTERDIST", "12");
    Set(kBacterium, "BACT_FRICCOEF", "13");
    ResetAndApply(store, cell);
    EXPECT_EQ(cell.Material.Radius, 1);
    EXPECT_EQ(cell.Material.LinearDensity, 2);
    EXPECT_EQ(RigidConstantsOf(cell).FFInterCoef, 3);
    EXPECT_EQ(RigidConstantsOf(cell).FFInterDist, 4);
    EXPECT_EQ(RigidConstantsOf(cell).FWInterCoef, 5);
    EXPECT_EQ(RigidConstantsOf(cell).FWInterDist, 6);
    EXPECT_EQ(RigidConstantsOf(cell).BrownianForce, 7);
    EXPECT_EQ(RigidConstantsOf(cell).BrownianMoment, 8);
    EXPECT_EQ(RigidConstantsOf(cell).FilamentFriction, 9);
    EXPECT_EQ(ViscousConstantsOf(cell).Viscosity, 10);
    EXPECT_EQ(RigidConstantsOf(cell).BFInterCoef, 11);
    EXPECT_EQ(RigidConstantsOf(cell).BFInterDist, 12);
    EXPECT_EQ(RigidConstantsOf(cell).BacteriumFriction, 13);
}

TEST_F(ResetAndApplyTest, MethodFollowsTheMethodText)
{
    // The bound method makes the draws of the named one: "First reaction"
    // nine per selection, "Next reaction" two.
    const auto drawsOfOneSelection = [this] {
        cell.UpdatePropensities();
        const std::int32_t before = cell.Random.Seed();
        double tau = 0;
        cell.Method(tau);
        const std::int32_t after = cell.Random.Seed();
        cell.Random.SetSeed(before);
        int draws = 0;
        while (cell.Random.Seed() != after && draws < 20) {
            cell.Random.MaskedUniform();
            ++draws;
        }
        return draws;
    };
    ResetAndApply(store, cell);
    EXPECT_EQ(drawsOfOneSelection(), 9);
    Set(kSimulation, "SIM_METHOD", "Next reaction");
    ResetAndApply(store, cell);
    EXPECT_EQ(drawsOfOneSelection(), 2);
    // Leaping takes its exact steps by the first-reaction method.
    Set(kSimulation, "SIM_METHOD", "Tau-leap");
    Set(kSimulation, "SIM_TAUEPS", "0.25");
    ResetAndApply(store, cell);
    EXPECT_TRUE(cell.Leaping);
    EXPECT_EQ(cell.TauLeap.Accuracy, 0.25);
    EXPECT_EQ(drawsOfOneSelection(), 9);
    EXPECT_EQ(RunStartProblem(cell, false), "");
    Set(kSimulation, "SIM_METHOD", "Next reaction");
    ResetAndApply(store, cell);
    EXPECT_FALSE(cell.Leaping);
}

TEST_F(ResetAndApplyTest, ReplacesTheWorldOfAPreviousRun)
{
    ResetAndApply(store, cell);
    cell.RunChemistry(0.05);
    ASSERT_GT(cell.ReactionCount, 0);
    ResetAndApply(store, cell);
    EXPECT_EQ(cell.Time, 0.0);
    EXPECT_EQ(cell.ObsTime, 0.0);
    EXPECT_EQ(cell.ReactionCount, 0);
    EXPECT_TRUE(cell.Filaments.empty());
    EXPECT_EQ(cell.Species[CCell::ACF], 0);
    for (const CChemReaction &channel : cell.Reactions)
        EXPECT_EQ(channel.Count, 0);
}

TEST_F(ResetAndApplyTest, StopsAtTheFirstBadParameter)
{
    ResetAndApply(store, cell);
    cell.Bacterium->Velocity = CVector(1, 2, 3);
    Set(kSimulation, "SIM_TIMESTEP", "0.002");
    Set(kConcentrations, "C_CAP", "abc");
    Set(kMechanics, "MECH_VISC", "5");
    try {
        ResetAndApply(store, cell);
        FAIL() << "no error";
    } catch (const ParameterError &e) {
        EXPECT_STREQ(e.what(), "Concentrations, \"Concentration of capping prot. [uM]\": "
                               "'abc' is not a valid floating point value");
    }
    EXPECT_EQ(cell.MechTimeStep, 0.002);
    EXPECT_GT(cell.Species[CCell::ACG], 0);
    EXPECT_EQ(cell.Species[CCell::CAP], 0);
    EXPECT_EQ(ViscousConstantsOf(cell).Viscosity, 0.001);
    EXPECT_EQ(cell.Bacterium->Velocity.x, 1.0); // not yet replaced
}

TEST_F(ResetAndApplyTest, EmptyConcentrationReportsTheEmptyText)
{
    Set(kConcentrations, "C_ACG", "");
    try {
        ResetAndApply(store, cell);
        FAIL() << "no error";
    } catch (const ParameterError &e) {
        EXPECT_STREQ(e.what(), "Concentrations, \"Concentration of G-actin [uM]\": "
                               "'' is not a valid floating point value");
    }
}

TEST_F(ResetAndApplyTest, MechanicalPairsAreStoredTogether)
{
    ResetAndApply(store, cell);
    Set(kMechanics, "MECH_BROWNIANFORCE", "2E-26");
    Set(kMechanics, "MECH_BROWNIANMOMENT", "x");
    EXPECT_THROW(ResetAndApply(store, cell), ParameterError);
    EXPECT_EQ(RigidConstantsOf(cell).BrownianForce, 1e-26);
}

TEST_F(ResetAndApplyTest, ZeroRadiusIsRefusedWithTheRatesUntouched)
{
    ResetAndApply(store, cell);
    Set(kBacterium, "BACT_RAD", "0");
    Set(kRates, "RATE_ASSB", "20");
    EXPECT_THROW(ResetAndApply(store, cell), ParameterError);
    EXPECT_EQ(cell.Reactions[CCell::ASSB].RateConstant, 11.6);
}

TEST_F(ResetAndApplyTest, ValuesWithoutPhysicalMeaningAreRefusedByName)
{
    const std::string atLeast0 = "\" must be 0 or greater, not ", above0 = "\" must be greater than 0, not ";
    const struct {
        std::string_view Section, Key, Value;
        std::string Message;
    } cases[] = {
        {kConcentrations, "C_ACG", "-1", "Concentrations, \"Concentration of G-actin [uM]" + atLeast0 + "-1"},
        {kRates, "RATE_SEVR", "-1E-3", "Rates, \"Severing by ADF/cofilin [uM-1s-1]" + atLeast0 + "-1E-3"},
        {kSimulation, "SIM_CUBESIZE", "0",
         "Simulation, \"Consider cube with side length [um]" + above0 + "0"},
        {kMechanics, "MECH_FLINDENS", "-1", "Mechanics, \"Filament Linear Density [kg/m]" + above0 + "-1"},
        {kBacterium, "BACT_RAD", "-2E-7", "Bacterium, \"Bacterium Radius [m]" + above0 + "-2E-7"},
        {kBacterium, "BACT_DENS", "0", "Bacterium, \"Bacterium Density [kg/m3]" + above0 + "0"},
        {kSimulation, "SIM_TAUEPS", "0",
         "Simulation, \"Tau-leap accuracy\" must be greater than 0 and less than 1, not 0"},
        {kSimulation, "SIM_TAUEPS", "1",
         "Simulation, \"Tau-leap accuracy\" must be greater than 0 and less than 1, not 1"},
        {kBacterium, "BACT_FRICCOEF", "x",
         "Bacterium, \"Friction Coefficient [m/(s*kg)]\": 'x' is not a valid floating point value"},
    };
    for (const auto &c : cases) {
        CreateParameterTables(store, nullptr);
        Set(c.Section, c.Key, std::string(c.Value));
        try {
            ResetAndApply(store, cell);
            ADD_FAILURE() << c.Key << " accepted";
        } catch (const ParameterError &e) {
            EXPECT_EQ(e.what(), c.Message);
        }
    }
    CreateParameterTables(store, nullptr);
    Set(kConcentrations, "C_ACG", "0"); // the bound itself
    EXPECT_NO_THROW(ResetAndApply(store, cell));
}

// Values whose derived quantities (volumes, masses, mobilities, rates) are no
// usable numbers: refused at once, naming the parameter and the quantity,
// rather than failing the first step of a run without a name.
TEST_F(ResetAndApplyTest, ValuesWhoseDerivedQuantitiesOverflowAreRefusedByName)
{
    const struct {
        std::string_view Section, Key, Value;
        bool Viscous;
        std::string Message;
    } cases[] = {
        {kSimulation, "SIM_CUBESIZE", "1e-300", false, "side length [um]\" = 1e-300 the box's volume is 0"},
        {kSimulation, "SIM_CUBESIZE", "1e300", false, "the box's volume cannot be computed (Floating point overflow)"},
        {kBacterium, "BACT_RAD", "1e-300", false, "Radius [m]\" = 1e-300 the bacterium's volume is 0"},
        {kBacterium, "BACT_DENS", "1e300", false, "Density [kg/m3]\" = 1e300 the bacterium's mass and inertia"},
        {kMechanics, "MECH_ACr", "1e300", false, "Filament Radius [m]\" = 1e300, "},
        {kMechanics, "MECH_FLINDENS", "1e-300", false, "= 1e-300 a filament's mass and inertia"},
        {kMechanics, "MECH_BROWNIANFORCE", "1e300", false, "a filament's kick over a step"},
        {kRates, "RATE_FORM", "1e300", false, "= 1e300, Simulation, \"Consider cube with side length [um]\" = 2 the "
                                              "propensity of FORM2 is INF"},
        {kMechanics, "MECH_VISC", "1e-300", true, "= 1e-300 a filament's mobility cannot be computed"},
        {kMechanics, "MECH_VISC", "5e-324", true, "a filament's mobility"},
        {kMechanics, "MECH_CONTACTK", "1e300", true, "(k m dt) cannot be computed"},
    };
    for (const auto &c : cases) {
        CreateParameterTables(store, nullptr);
        Set(c.Section, c.Key, std::string(c.Value));
        if (c.Viscous)
            Set(kMechanics, "MECH_MODEL", "Viscous");
        try {
            ResetAndApply(store, cell);
            ADD_FAILURE() << c.Key << " " << c.Value << " accepted";
        } catch (const ParameterError &e) {
            EXPECT_NE(std::string(e.what()).find(c.Message), std::string::npos) << e.what();
        }
    }
}

// A leaping world whose actin, free or in filaments, could form more
// filaments than any memory holds; the exact methods form them one by one.
TEST_F(ResetAndApplyTest, LeapsThatCouldFillTheMemoryAreRefused)
{
    const struct {
        std::int32_t Free, Bound;
        bool Leaping, Refused;
    } cases[] = {{2000000000, 0, true, true}, {0, 2000000000, true, true},
                 {2000000000, 0, false, false}, {3000, 3000, true, false}};
    for (const auto &c : cases) {
        cell.Leaping = c.Leaping;
        cell.Species[CCell::ACG] = c.Free;
        cell.Species[CCell::ACF] = c.Bound;
        EXPECT_EQ(LeapMemoryProblem(cell).empty(), !c.Refused) << c.Free << " " << c.Bound;
    }
}

// More molecules than a 32-bit counter holds, from a high concentration or a
// large box, are refused by name with the limit; the limit itself is taken.
TEST_F(ResetAndApplyTest, PopulationsBeyondTheCountersAreRefusedWithTheLimit)
{
    const struct {
        std::string_view Key, Concentration;
        double Box; // um
        CCell::SpeciesIndex Species;
        std::string Caption;
    } cases[] = {
        {"C_ACG", "450000", 2, CCell::ACG, "Concentrations, \"Concentration of G-actin [uM]\" is 450000: "},
        {"C_ADC", "1", 200, CCell::ADC, "Concentrations, \"Concentration of ADF/cofilin [uM]\" is 1: "},
        {"C_CAP", "1E300", 2, CCell::CAP,
         "Concentrations, \"Concentration of capping prot. [uM]\" is 1E300: "},
    };
    for (const auto &c : cases) {
        CreateParameterTables(store, nullptr);
        Set(kSimulation, "SIM_CUBESIZE", FormatNumber(c.Box));
        for (const char *key : {"C_ACG", "C_CAP", "C_ARP", "C_ADC"})
            Set(kConcentrations, key, "0");
        Set(kConcentrations, c.Key, std::string(c.Concentration));
        const double litres = std::pow(c.Box * 1e-6, 3) * 1000;
        const double exactLimit = 2147483647 / (litres * kAvogadro * 1e-6); // uM
        try {
            ResetAndApply(store, cell);
            ADD_FAILURE() << c.Key << " accepted";
        } catch (const ParameterError &e) {
            const std::string message = e.what();
            EXPECT_EQ(message.rfind(c.Caption, 0), 0u) << message;
            const double limit = ParseNumber(message.substr(message.find("at most ") + 8));
            EXPECT_LE(limit, exactLimit);
            EXPECT_GT(limit, exactLimit * (1 - 1e-5));
            Set(kConcentrations, c.Key, FormatNumber(limit));
            EXPECT_NO_THROW(ResetAndApply(store, cell));
            EXPECT_GT(cell.Species[c.Species], 2147483647 * (1 - 1e-5));
        }
    }
}

TEST_F(ResetAndApplyTest, CommaLocaleReadsCommaValues)
{
    USE_COMMA_LOCALE(locale);
    ParameterStore commaStore;
    CreateParameterTables(commaStore, nullptr);
    ASSERT_EQ(ParameterText(commaStore, kConcentrations, "C_ARP"), "0,3");
    const AppliedWorld applied = ResetAndApply(commaStore, cell);
    EXPECT_EQ(FormatNumber(applied.VolumeLitres), "8E-15");
    EXPECT_TRUE(cell.Species[CCell::ARP] == 1445 || cell.Species[CCell::ARP] == 1446);
}

TEST_F(ResetAndApplyTest, RestartOfAFinishedRunExtendsTheTargetBySimTime)
{
    ResetAndApply(store, cell);
    double target = 100;
    EXPECT_FALSE(ExtendTargetTime(store, cell, target));
    EXPECT_EQ(target, 100);

    cell.Time = 12.34; // stopped early: continues to the same target
    EXPECT_FALSE(ExtendTargetTime(store, cell, target));
    EXPECT_EQ(target, 100);

    cell.Time = 100.0003;
    EXPECT_TRUE(ExtendTargetTime(store, cell, target));
    EXPECT_EQ(target, 200);

    cell.Time = 200.0001;
    Set(kSimulation, "SIM_TIME", "50");
    EXPECT_TRUE(ExtendTargetTime(store, cell, target));
    EXPECT_EQ(target, 250);

    // A run ends exactly at its target, and a restart moves on.
    cell.Time = 250;
    EXPECT_TRUE(ExtendTargetTime(store, cell, target));
    EXPECT_EQ(target, 300);

    cell.Time = 300;
    Set(kSimulation, "SIM_TIME", "later");
    EXPECT_THROW(ExtendTargetTime(store, cell, target), ParameterError);
    EXPECT_EQ(target, 300);
}

TEST_F(ResetAndApplyTest, RunsThatWouldNeverEndAreRefused)
{
    Set(kSimulation, "SIM_OBSERVTIMESTEP", "0");
    ResetAndApply(store, cell);
    EXPECT_NE(RunStartProblem(cell, false).find("Observation Time step [s]"), std::string::npos);
    Set(kSimulation, "SIM_OBSERVTIMESTEP", "0.01");
    Set(kSimulation, "SIM_TIMESTEP", "-1");
    ResetAndApply(store, cell);
    EXPECT_EQ(RunStartProblem(cell, false), "");
    EXPECT_NE(RunStartProblem(cell, true).find("Time step [s]"), std::string::npos);
    // Denormal steps: the clocks would never move.
    Set(kSimulation, "SIM_TIMESTEP", "1E-320");
    ResetAndApply(store, cell);
    EXPECT_EQ(RunStartProblem(cell, false), "");
    EXPECT_NE(RunStartProblem(cell, true).find("\"Time step [s]\" must be at least 2.2250738585072E-308"),
              std::string::npos);
    Set(kSimulation, "SIM_OBSERVTIMESTEP", "1E-320");
    ResetAndApply(store, cell);
    EXPECT_NE(RunStartProblem(cell, false).find("\"Observation Time step [s]\" must be at least"),
              std::string::npos);
}

// The model and its constants reach the cell; a model the program does not
// know, a viscous world without viscosity, a negative temperature and a
// stiffness that is not positive are refused by name.
TEST_F(ResetAndApplyTest, MechanicsModelAndItsConstants)
{
    ResetAndApply(store, cell);
    EXPECT_EQ(cell.Model, MechanicsModel::RigidBodies);
    Set(kMechanics, "MECH_MODEL", "Viscous");
    Set(kMechanics, "MECH_TEMP", "310");
    Set(kMechanics, "MECH_CONTACTK", "0.5");
    ResetAndApply(store, cell);
    EXPECT_EQ(cell.Model, MechanicsModel::Viscous);
    EXPECT_EQ(ViscousConstantsOf(cell).Temperature, 310);
    EXPECT_EQ(ViscousConstantsOf(cell).ContactStiffness, 0.5);

    const struct {
        std::string_view Key, Value, Message;
    } cases[] = {
        {"MECH_MODEL", "Sticky",
         "Mechanics, \"Mechanics model\" must be \"Rigid bodies\" or \"Viscous\", not Sticky"},
        {"MECH_VISC", "0",
         "Mechanics, \"Dynamic Viscosity [Pa·s]\" must be greater than 0 for the \"Viscous\" "
         "model, not 0"},
        {"MECH_TEMP", "-1", "Mechanics, \"Temperature [K]\" must be 0 or greater, not -1"},
        {"MECH_CONTACTK", "0", "Mechanics, \"Contact stiffness [N/m]\" must be greater than 0, not 0"},
    };
    for (const auto &c : cases) {
        CreateParameterTables(store, nullptr);
        Set(kMechanics, "MECH_MODEL", "Viscous");
        Set(kMechanics, c.Key, std::string(c.Value));
        try {
            ResetAndApply(store, cell);
            ADD_FAILURE() << c.Key << " accepted";
        } catch (const ParameterError &e) {
            EXPECT_EQ(e.what(), c.Message);
        }
    }
}

} // namespace
