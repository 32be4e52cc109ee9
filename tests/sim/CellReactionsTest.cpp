#include "Cell.h"
#include "RigidMechanics.h"

#include "CellTestWorld.h"
#include "Random.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Puts a filament into the cell with the counters that go with it.
CSolidFilament &AddFilament(CCell &cell, const CVector &pointedEnd, const CVector &direction,
                            std::int32_t monomers, bool capped = false)
{
    CSolidFilament filament;
    filament.SetGeometry(pointedEnd, direction);
    filament.Monomers = monomers;
    filament.Capped = capped;
    CSolidFilament &added = cell.Filaments.Append(filament);
    cell.Species[CCell::ACF] += monomers;
    cell.Species[CCell::FIP] += 1;
    if (capped)
        cell.Species[CCell::CAF] += 1;
    else
        cell.Species[CCell::FIB] += 1;
    return added;
}

// A 1 um box with plenty of free proteins and no filaments.
class CellReactions : public ::testing::Test {
protected:
    void SetUp() override
    {
        cell.Random.SetSeed(12345);
        cell.SetBox(CVector(0.0), CVector(1e-6));
        cell.Species[CCell::ACG] = 1000;
        cell.Species[CCell::CAP] = 10;
    }

    void ExpectCountersMatchFilaments() const
    {
        const auto mismatch = cell.CounterMismatch();
        EXPECT_FALSE(mismatch) << CCell::SpeciesNames[mismatch->Species] << " " << mismatch->Describe();
    }

    CCell cell;
};

TEST_F(CellReactions, ConstructionBindsTheNineChannels)
{
    const CCell fresh;
    const std::int32_t exponents[] = {2, 1, 1, 0, 0, 1, 1, 1, 2};
    const char *names[] = {"FORM", "ASSB", "ASSP", "DISB", "DISP", "CAPB", "ARPB", "SEVR", "FORM2"};
    // k = 1 in one litre.
    const double perMicromolar = 6.0221415e23 * 1e-6;
    for (int i = 0; i < CCell::REACTION_COUNT; ++i) {
        const CChemReaction &reaction = fresh.Reactions[i];
        EXPECT_EQ(reaction.Name, names[i]);
        EXPECT_EQ(reaction.VolumeExponent, exponents[i]);
        EXPECT_EQ(bool(reaction.Handler), i != CCell::ARPB); // binding alone changes nothing
        EXPECT_EQ(reaction.RateConstant, 1.0);
        EXPECT_EQ(reaction.Volume, 1.0);
        EXPECT_DOUBLE_EQ(reaction.StochasticRate, 1.0 / std::pow(perMicromolar, exponents[i]));
        EXPECT_EQ(reaction.Count, 0);
    }
    EXPECT_STREQ(CCell::SpeciesNames[CCell::ADC], "ADC");
    EXPECT_TRUE(fresh.Method);
    EXPECT_FALSE(fresh.OnObserve);
    EXPECT_FALSE(fresh.Bacterium);
    EXPECT_TRUE(fresh.Filaments.empty());
    EXPECT_EQ(fresh.GetVolume(), 1.0);
    EXPECT_EQ(fresh.MechTimeStep, 1e-4);
    EXPECT_EQ(fresh.ObsTimeStep, 1e-4);
    for (const std::int32_t count : fresh.Species)
        EXPECT_EQ(count, 0);
}

TEST_F(CellReactions, ResetKeepsBacteriumChannelsAndConstants)
{
    cell.CreateBacterium();
    const CBacterium *bacterium = cell.Bacterium.get();
    cell.Reactions[CCell::ASSB].SetRate(11.6, 8e-15);
    cell.Reactions[CCell::ASSB].Fire();
    RigidConstantsOf(cell).FWInterCoef = 7.0;
    AddFilament(cell, CVector(1e-7), CVector(1, 0, 0), 5);
    cell.Time = cell.MechTime = cell.ObsTime = 3.0;
    cell.ReactionCount = 9;
    cell.Running = true;

    cell.Reset();
    EXPECT_TRUE(cell.Filaments.empty());
    EXPECT_EQ(cell.Time, 0.0);
    EXPECT_EQ(cell.MechTime, 0.0);
    EXPECT_EQ(cell.ObsTime, 0.0);
    EXPECT_EQ(cell.ReactionCount, 0);
    EXPECT_FALSE(cell.Running);
    for (const std::int32_t count : cell.Species)
        EXPECT_EQ(count, 0);
    EXPECT_EQ(cell.Bacterium.get(), bacterium);
    EXPECT_EQ(cell.Reactions[CCell::ASSB].Count, 1);
    EXPECT_EQ(cell.Reactions[CCell::ASSB].RateConstant, 11.6);
    EXPECT_EQ(RigidConstantsOf(cell).FWInterCoef, 7.0);
}

TEST_F(CellReactions, CreateBacteriumPlacesANewOneAtTheBoxCentre)
{
    cell.CreateBacterium();
    cell.Bacterium->Radius = 5.0;
    cell.CreateBacterium();
    EXPECT_EQ(cell.Bacterium->Radius, 1.0);
    EXPECT_EQ(cell.Bacterium->Position.x, 0.5e-6);
    EXPECT_EQ(cell.Bacterium->Position.y, 0.5e-6);
    EXPECT_EQ(cell.Bacterium->Position.z, 0.5e-6);
    EXPECT_TRUE(cell.Bacterium->Changed);
}

TEST_F(CellReactions, PropensityFactorsOfTheTwoBodyAndOneBodyChannels)
{
    for (CChemReaction &reaction : cell.Reactions)
        reaction.StochasticRate = 1.0;
    cell.Species = {2, 3, 5, 7, 11, 13, 17, 0, 19, 23};
    cell.UpdatePropensities();
    EXPECT_EQ(cell.Reactions[CCell::FORM].Propensity, 0.0); // no bacterium
    EXPECT_EQ(cell.Reactions[CCell::ASSB].Propensity, (19 + 5) * 2);
    EXPECT_EQ(cell.Reactions[CCell::ASSP].Propensity, 7 * 2);
    EXPECT_EQ(cell.Reactions[CCell::DISB].Propensity, 5);
    EXPECT_EQ(cell.Reactions[CCell::DISP].Propensity, 7);
    EXPECT_EQ(cell.Reactions[CCell::CAPB].Propensity, (19 + 5) * 11);
    EXPECT_EQ(cell.Reactions[CCell::ARPB].Propensity, 5 * 17);
    EXPECT_EQ(cell.Reactions[CCell::SEVR].Propensity, 3 * 23);
    EXPECT_EQ(cell.Reactions[CCell::FORM2].Propensity, 0.0);
}

TEST_F(CellReactions, NucleationFactorsAreFallingProductsOfTheShares)
{
    cell.CreateBacterium();
    CBacterium &bacterium = *cell.Bacterium;
    bacterium.Radius = 1e-7;
    bacterium.Shell.InnerRadius = 1e-7;
    bacterium.Shell.OuterRadius = 1.1e-7;
    // A box sixteen times the shell volume: the shell holds 1/16 of the actin.
    const double shellVolume = bacterium.Shell.GetVolume();
    cell.SetBox(CVector(0.0), CVector(16 * shellVolume, 1.0, 1.0));
    for (CChemReaction &reaction : cell.Reactions)
        reaction.StochasticRate = 1.0;
    cell.Species[CCell::ACG] = 100;
    cell.UpdatePropensities();
    // trunc(6.25) = 6, and 6 * 5 * 4 without a division by 3!.
    EXPECT_EQ(cell.Reactions[CCell::FORM2].Propensity, 120.0);
    // The body is 1 / 0.331 shells: 1 - 1/16 - 1/(16 * 0.331) = 0.7487 of the
    // box, so 74 molecules.
    EXPECT_EQ(cell.Reactions[CCell::FORM].Propensity, 74.0 * 73.0 * 72.0);

    cell.Species[CCell::ACG] = 40; // 2.5 in the shell: fewer than three
    cell.UpdatePropensities();
    EXPECT_EQ(cell.Reactions[CCell::FORM2].Propensity, 0.0);
    EXPECT_EQ(cell.Reactions[CCell::FORM].Propensity, 29.0 * 28.0 * 27.0);
}

TEST_F(CellReactions, NucleationNeedsThreeMoleculesInItsShare)
{
    cell.CreateBacterium();
    cell.Bacterium->Radius = cell.Bacterium->Shell.InnerRadius = 1e-7;
    cell.Bacterium->Shell.OuterRadius = 1.1e-7;
    for (CChemReaction &reaction : cell.Reactions)
        reaction.StochasticRate = 1.0;
    for (const std::int32_t actin : {0, 1, 2, 3}) {
        cell.Species[CCell::ACG] = actin;
        cell.UpdatePropensities();
        EXPECT_EQ(cell.Reactions[CCell::FORM].Propensity, 0.0) << actin;
        EXPECT_EQ(cell.Reactions[CCell::FORM2].Propensity, 0.0) << actin;
    }
}

TEST_F(CellReactions, BacteriumLargerThanTheBoxGivesNoNegativePropensity)
{
    cell.CreateBacterium();
    cell.Bacterium->Radius = cell.Bacterium->Shell.InnerRadius = 1e-6;
    cell.Bacterium->Shell.OuterRadius = 1.1e-6;
    cell.UpdatePropensities();
    EXPECT_EQ(cell.Reactions[CCell::FORM].Propensity, 0.0);
    EXPECT_GT(cell.Reactions[CCell::FORM2].Propensity, 0.0);
}

TEST_F(CellReactions, FormPlacesANewFilamentInTheBox)
{
    cell.FormFilament();
    ASSERT_EQ(cell.Filaments.size(), 1u);
    const CSolidFilament &f = cell.Filaments[0];
    EXPECT_EQ(f.Monomers, 3);
    EXPECT_FALSE(f.Capped);
    EXPECT_TRUE(f.Changed);
    EXPECT_TRUE(cell.Contains(f.PointedEnd));
    EXPECT_NEAR(Length(f.Direction), 1.0, 1e-15);
    // Centred before its first step, so that wall torques act about the rod.
    EXPECT_NEAR(Length(f.Position - (f.GetPointedEnd() + f.GetBarbedEnd()) * 0.5), 0.0, 1e-22);
    EXPECT_EQ(cell.Species[CCell::ACG], 997);
    ExpectCountersMatchFilaments();
}

TEST_F(CellReactions, FormAtBacteriumStartsOnTheOuterShellSurface)
{
    cell.CreateBacterium();
    cell.Bacterium->Radius = 1e-7;
    cell.Bacterium->Center = CVector(4e-7, 5e-7, 6e-7);
    cell.FormFilamentAtBacterium();
    ASSERT_EQ(cell.Filaments.size(), 1u);
    const CSolidFilament &f = cell.Filaments[0];
    EXPECT_NEAR(Length(f.PointedEnd - cell.Bacterium->Center), 1.1e-7, 1e-20);
    EXPECT_EQ(f.Monomers, 3);
    EXPECT_EQ(cell.Species[CCell::ACG], 997);
    ExpectCountersMatchFilaments();
}

TEST_F(CellReactions, HandlersWithNothingToActOnChangeNothingAndDrawNothing)
{
    cell.Species[CCell::ACG] = 2;
    const auto species = cell.Species;
    const std::int32_t seed = cell.Random.Seed();
    cell.FormFilament();
    cell.FormFilamentAtBacterium(); // neither enough actin nor a bacterium
    cell.AssocBarbed();
    cell.AssocPointed();
    cell.DissocBarbed();
    cell.DissocPointed();
    cell.CapBarbed();
    cell.Sever();
    EXPECT_EQ(cell.Species, species);
    EXPECT_TRUE(cell.Filaments.empty());
    EXPECT_EQ(cell.Random.Seed(), seed);

    // A filament, but no free actin to add and no capping protein.
    AddFilament(cell, CVector(5e-7), CVector(1, 0, 0), 4);
    cell.Species[CCell::ACG] = 0;
    cell.Species[CCell::CAP] = 0;
    cell.AssocBarbed();
    cell.AssocPointed();
    cell.CapBarbed();
    EXPECT_EQ(cell.Filaments[0].Monomers, 4);
    EXPECT_FALSE(cell.Filaments[0].Capped);
    EXPECT_EQ(cell.Species[CCell::ACG], 0);
    EXPECT_EQ(cell.Random.Seed(), seed);
}

TEST_F(CellReactions, AssociationAtTheBarbedEndGrowsInsideTheBoxOnly)
{
    CSolidFilament &inside = AddFilament(cell, CVector(5e-7), CVector(1, 0, 0), 5);
    cell.AssocBarbed();
    EXPECT_EQ(inside.Monomers, 6);
    EXPECT_EQ(cell.Species[CCell::ACG], 999);
    ExpectCountersMatchFilaments();

    // Barbed end just beyond the upper x wall.
    inside.PointedEnd = CVector(1e-6 - 3e-9 * 6 + 1e-12, 5e-7, 5e-7);
    cell.Reactions[CCell::ASSB].Fire();
    EXPECT_EQ(inside.Monomers, 6);
    EXPECT_EQ(cell.Species[CCell::ACG], 999);
    EXPECT_EQ(cell.Reactions[CCell::ASSB].Count, 1);
}

TEST_F(CellReactions, AssociationAtThePointedEndKeepsTheBarbedEnd)
{
    CSolidFilament &f = AddFilament(cell, CVector(5e-7), CVector(0, 0.6, 0.8), 5);
    const CVector barbed = f.GetBarbedEnd();
    cell.AssocPointed();
    EXPECT_EQ(f.Monomers, 6);
    EXPECT_NEAR(Length(f.GetBarbedEnd() - barbed), 0.0, 1e-21);
    EXPECT_NEAR(Length(f.PointedEnd - CVector(5e-7)), 3e-9, 1e-21);
    EXPECT_EQ(cell.Species[CCell::ACG], 999);
    ExpectCountersMatchFilaments();
}

TEST_F(CellReactions, DissociationShrinksAndRemovesFilamentsOfThree)
{
    CSolidFilament &f = AddFilament(cell, CVector(5e-7), CVector(1, 0, 0), 4);
    cell.DissocBarbed();
    EXPECT_EQ(f.Monomers, 3);
    EXPECT_EQ(f.PointedEnd.x, 5e-7);
    cell.DissocBarbed();
    EXPECT_TRUE(cell.Filaments.empty());
    EXPECT_EQ(cell.Species[CCell::ACG], 1004);
    ExpectCountersMatchFilaments();

    CSolidFilament &g = AddFilament(cell, CVector(5e-7), CVector(1, 0, 0), 4);
    cell.DissocPointed();
    EXPECT_EQ(g.Monomers, 3);
    EXPECT_DOUBLE_EQ(g.PointedEnd.x, 5e-7 + 3e-9);
    EXPECT_DOUBLE_EQ(g.GetBarbedEnd().x, 5e-7 + 12e-9);
    cell.DissocPointed();
    EXPECT_TRUE(cell.Filaments.empty());
    EXPECT_EQ(cell.Species[CCell::ACG], 1008);
    ExpectCountersMatchFilaments();
}

TEST_F(CellReactions, RemovingACappedFilamentReleasesItsCap)
{
    AddFilament(cell, CVector(5e-7), CVector(1, 0, 0), 3, true);
    cell.DissocPointed();
    EXPECT_TRUE(cell.Filaments.empty());
    EXPECT_EQ(cell.Species[CCell::CAP], 11);
    EXPECT_EQ(cell.Species[CCell::CAF], 0);
    EXPECT_EQ(cell.Species[CCell::ACG], 1003);
    ExpectCountersMatchFilaments();
}

TEST_F(CellReactions, RemovalKeepsTheOrderOfTheOthers)
{
    CSolidFilament &a = AddFilament(cell, CVector(1e-7), CVector(1, 0, 0), 3);
    CSolidFilament &b = AddFilament(cell, CVector(2e-7), CVector(1, 0, 0), 4);
    CSolidFilament &c = AddFilament(cell, CVector(3e-7), CVector(1, 0, 0), 5);
    cell.RemoveFilament(&b);
    ASSERT_EQ(cell.Filaments.size(), 2u);
    EXPECT_EQ(&cell.Filaments[0], &a);
    EXPECT_EQ(&cell.Filaments[1], &c);
    ExpectCountersMatchFilaments();
}

TEST_F(CellReactions, CappingTakesAFreeBarbedEnd)
{
    CSolidFilament &f = AddFilament(cell, CVector(5e-7), CVector(1, 0, 0), 5);
    cell.CapBarbed();
    EXPECT_TRUE(f.Capped);
    EXPECT_EQ(cell.Species[CCell::CAP], 9);
    EXPECT_EQ(cell.Species[CCell::CAF], 1);
    ExpectCountersMatchFilaments();
    cell.CapBarbed(); // no free barbed end left
    EXPECT_EQ(cell.Species[CCell::CAP], 9);
}

TEST_F(CellReactions, ArpBindingOnlyCounts)
{
    AddFilament(cell, CVector(5e-7), CVector(1, 0, 0), 5);
    cell.Species[CCell::ARP] = 30;
    const auto species = cell.Species;
    cell.Reactions[CCell::ARPB].Fire();
    EXPECT_EQ(cell.Species, species);
    EXPECT_EQ(cell.Reactions[CCell::ARPB].Count, 1);
}

TEST_F(CellReactions, PickersWalkTheListFromTheFront)
{
    CSolidFilament &a = AddFilament(cell, CVector(1e-7), CVector(1, 0, 0), 3);
    CSolidFilament &b = AddFilament(cell, CVector(2e-7), CVector(1, 0, 0), 5, true);
    CSolidFilament &c = AddFilament(cell, CVector(3e-7), CVector(1, 0, 0), 4);
    EXPECT_EQ(cell.FreeBarbedFilament(0), &a);
    EXPECT_EQ(cell.FreeBarbedFilament(1), &c);
    EXPECT_EQ(cell.FreeBarbedFilament(2), nullptr);
    EXPECT_EQ(cell.FilamentAt(1), &b);
    EXPECT_EQ(cell.FilamentAt(3), nullptr);

    const struct {
        std::int32_t monomer;
        const CSolidFilament *filament;
        std::int32_t fromBarbedEnd;
    } cases[] = {{0, &a, 0}, {2, &a, 2}, {3, &b, 0}, {7, &b, 4}, {8, &c, 0}, {11, &c, 3}, {12, nullptr, -1}};
    for (const auto &expected : cases) {
        const CCell::MonomerSite site = cell.FilamentOfMonomer(expected.monomer);
        EXPECT_EQ(site.Filament, expected.filament) << expected.monomer;
        EXPECT_EQ(site.FromBarbedEnd, expected.fromBarbedEnd) << expected.monomer;
    }
}

TEST_F(CellReactions, MeanFilamentSize)
{
    EXPECT_EQ(cell.MeanFilamentSize(), 0.0);
    AddFilament(cell, CVector(1e-7), CVector(1, 0, 0), 3);
    AddFilament(cell, CVector(2e-7), CVector(1, 0, 0), 4);
    EXPECT_EQ(cell.MeanFilamentSize(), 3.5);
}

// A filament of seven monomers cut at each position from its barbed end.
class SeveringOfSeven : public CellReactions {
protected:
    CSolidFilament &AddSeven(bool capped)
    {
        return AddFilament(cell, CVector(5e-7), CVector(1, 0, 0), 7, capped);
    }
};

TEST_F(SeveringOfSeven, InTheMiddleSplitsIntoTwoFilamentsOfThree)
{
    for (const bool capped : {false, true}) {
        cell.Reset();
        cell.Species[CCell::ACG] = 1000;
        CSolidFilament &f = AddSeven(capped);
        cell.SeverAt(&f, 3);
        ASSERT_EQ(cell.Filaments.size(), 2u);
        const CSolidFilament &g = cell.Filaments[1];
        EXPECT_EQ(&cell.Filaments[0], &f);
        EXPECT_EQ(f.Monomers, 3);
        EXPECT_EQ(f.PointedEnd.x, 5e-7);
        EXPECT_FALSE(f.Capped);
        EXPECT_EQ(g.Monomers, 3);
        EXPECT_DOUBLE_EQ(g.PointedEnd.x, 5e-7 + 4 * 3e-9);
        EXPECT_EQ(g.Direction.x, 1.0);
        EXPECT_EQ(g.Capped, capped);
        EXPECT_EQ(cell.Species[CCell::ACG], 1001);
        EXPECT_EQ(cell.Species[CCell::CAF], capped ? 1 : 0);
        ExpectCountersMatchFilaments();
    }
}

TEST_F(SeveringOfSeven, NearTheBarbedEndShortensAndReleasesTheCap)
{
    CSolidFilament &f = AddSeven(true);
    cell.SeverAt(&f, 1);
    ASSERT_EQ(cell.Filaments.size(), 1u);
    EXPECT_EQ(f.Monomers, 5);
    EXPECT_EQ(f.PointedEnd.x, 5e-7);
    EXPECT_FALSE(f.Capped);
    EXPECT_EQ(cell.Species[CCell::CAP], 11);
    EXPECT_EQ(cell.Species[CCell::CAF], 0);
    EXPECT_EQ(cell.Species[CCell::ACG], 1002);
    ExpectCountersMatchFilaments();
}

TEST_F(SeveringOfSeven, NearThePointedEndMovesThePointedEndForward)
{
    CSolidFilament &f = AddSeven(true);
    const double barbedEnd = f.GetBarbedEnd().x;
    cell.SeverAt(&f, 4);
    ASSERT_EQ(cell.Filaments.size(), 1u);
    EXPECT_EQ(f.Monomers, 4);
    EXPECT_DOUBLE_EQ(f.PointedEnd.x, 5e-7 + 3 * 3e-9);
    EXPECT_DOUBLE_EQ(f.GetBarbedEnd().x, barbedEnd);
    EXPECT_TRUE(f.Capped);
    EXPECT_EQ(cell.Species[CCell::ACG], 1003);
    ExpectCountersMatchFilaments();
}

TEST_F(SeveringOfSeven, AShortFilamentDissolves)
{
    CSolidFilament &f = AddFilament(cell, CVector(5e-7), CVector(1, 0, 0), 5);
    cell.SeverAt(&f, 2); // two on each side
    EXPECT_TRUE(cell.Filaments.empty());
    EXPECT_EQ(cell.Species[CCell::ACG], 1005);
    ExpectCountersMatchFilaments();
}

TEST_F(SeveringOfSeven, SeverPicksAMonomerOfTheWholeList)
{
    AddSeven(false);
    AddSeven(true);
    cell.Species[CCell::ADC] = 5;
    for (int i = 0; i < 20 && cell.Species[CCell::ACF] > 0; ++i) {
        cell.Sever();
        ExpectCountersMatchFilaments();
        for (const auto &f : cell.Filaments)
            EXPECT_GE(f.Monomers, 3);
    }
    EXPECT_EQ(cell.Species[CCell::ACG] + cell.Species[CCell::ACF], 1014);
    EXPECT_EQ(cell.Species[CCell::CAP] + cell.Species[CCell::CAF], 11);
}

} // namespace
