// Arp2/3 branches: their geometry at creation, the activation zone's
// thinning, debranching against its rate, and the counters and links after
// every reaction.

#include "Cell.h"

#include "CellTestWorld.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double kDegree = std::numbers::pi / 180;

// A box with a bacterium, the "Branches" channels, plenty of Arp2/3, and
// `count` filaments of `monomers` from the centre.
void BranchingWorld(CCell &cell, WorldParameters p, std::int32_t count, std::int32_t monomers)
{
    cell.SetArpModel(ArpModel::Branches);
    p.ConcentrationARP = 5.0;
    BuildWorld(cell, p);
    AddFilaments(cell, count, monomers);
    cell.Species[CCell::ACG] -= count * monomers;
    cell.UpdatePropensities();
}

// The mother's direction and the branch's, after a branch formed on `mother`
// (the only free barbed end), and the branch then removed again.
struct Made {
    double Angle;   // rad, to the mother's axis
    double Azimuth; // rad, about it, from a fixed direction across it
    bool OnSite;    // pointed end on the mother's axis at its site
};

std::optional<Made> BranchOnce(CCell &cell, const CVector &across, const CVector &around)
{
    const std::size_t before = cell.Filaments.size();
    cell.Branch();
    if (cell.Filaments.size() == before)
        return std::nullopt;
    CSolidFilament &mother = cell.Filaments[0];
    CSolidFilament &branch = cell.Filaments.back();
    const CVector d = branch.Direction;
    const CVector site = mother.GetMonomerPosition(branch.Site);
    const CVector off = branch.PointedEnd - mother.PointedEnd;
    Made made{std::acos(std::clamp(Dot(d, mother.Direction), -1.0, 1.0)),
              std::atan2(Dot(d, around), Dot(d, across)),
              branch.Mother == mother.Id && Length(branch.PointedEnd - site) == 0.0 &&
                  Length(Cross(off, mother.Direction)) < 1e-15};
    cell.RemoveFilament(&branch);
    return made;
}

TEST(Branching, AnglesAndAzimuthsFollowTheirLaws)
{
    CCell cell;
    cell.Random.SeedWith(17);
    BranchingWorld(cell, {}, 1, 200);
    cell.Branching.Angle = 70 * kDegree;
    cell.Branching.AngleSpread = 7 * kDegree;
    const CVector axis = cell.Filaments[0].Direction;
    const CVector across = Cross(axis, CVector(0.3, -0.5, 0.8)) / Length(Cross(axis, CVector(0.3, -0.5, 0.8)));
    const CVector around = Cross(axis, across);
    std::vector<double> angles, azimuths;
    for (int i = 0; i < 10000; ++i) {
        const std::optional<Made> made = BranchOnce(cell, across, around);
        ASSERT_TRUE(made);
        ASSERT_TRUE(made->OnSite);
        angles.push_back(made->Angle);
        azimuths.push_back(made->Azimuth < 0 ? made->Azimuth + 2 * std::numbers::pi : made->Azimuth);
    }
    EXPECT_FALSE(cell.CounterMismatch());
    const double n = double(angles.size());
    double mean = 0, squares = 0;
    for (const double a : angles)
        mean += a / n;
    for (const double a : angles)
        squares += (a - mean) * (a - mean);
    const double sd = std::sqrt(squares / (n - 1));
    const double sigma = 7 * kDegree; // folding at 0 and 180 degrees is 10 SD away
    EXPECT_LT(std::fabs(mean - 70 * kDegree) / (sigma / std::sqrt(n)), 3.0);
    EXPECT_LT(std::fabs(sd - sigma) / (sigma / std::sqrt(2 * n)), 3.0);
    // Kolmogorov-Smirnov against the uniform law on [0, 2 pi): p >= 0.01
    // where sqrt(n) D stays below 1.63.
    std::sort(azimuths.begin(), azimuths.end());
    double d = 0;
    for (std::size_t i = 0; i < azimuths.size(); ++i) {
        const double f = azimuths[i] / (2 * std::numbers::pi);
        d = std::max({d, f - double(i) / n, double(i + 1) / n - f});
    }
    EXPECT_LT(std::sqrt(n) * d, 1.63);
}

TEST(Branching, TheZoneThinsBranchingToTheEndsWithinIt)
{
    // Filaments from the centre of the bacterium's box: some barbed ends lie
    // within 60 nm of its surface, the others far out. A firing forms a
    // branch with the chance that it picked an end in the zone.
    CCell cell;
    cell.Random.SeedWith(29);
    WorldParameters p;
    p.BacteriumRadius = 2e-7;
    BranchingWorld(cell, p, 0, 0);
    cell.Branching.ActivationZone = 60e-9;
    const CVector centre = cell.Bacterium->Center;
    std::int32_t inZone = 0;
    for (int i = 0; i < 40; ++i) {
        CSolidFilament f;
        const std::int32_t monomers = i % 4 == 0 ? 80 : 300; // ends at 0.24 or 0.9 um from the centre
        f.SetGeometry(centre, RandomUnitVector(cell.Random));
        f.Monomers = monomers;
        cell.Filaments.Append(f);
        cell.Species[CCell::ACF] += monomers;
        inZone += Length(f.GetMonomerPosition(monomers - 1) - centre) - 2e-7 <= 60e-9 ? 1 : 0;
    }
    cell.Species[CCell::FIB] = cell.Species[CCell::FIP] = 40;
    ASSERT_EQ(inZone, 10);
    constexpr int kFirings = 20000;
    int formed = 0;
    for (int i = 0; i < kFirings; ++i) {
        const std::size_t before = cell.Filaments.size();
        cell.Branch();
        if (cell.Filaments.size() > before) {
            ++formed;
            cell.RemoveFilament(&cell.Filaments.back());
        }
    }
    const double chance = double(inZone) / 40;
    const double z = (formed - kFirings * chance) / std::sqrt(kFirings * chance * (1 - chance));
    EXPECT_LT(std::fabs(z), 3.0) << formed << " branches of " << kFirings;
}

// The links of every branch, and what every reaction conserves.
::testing::AssertionResult Linked(CCell &cell, std::int32_t actin, std::int32_t arp)
{
    if (const auto mismatch = cell.CounterMismatch())
        return ::testing::AssertionFailure() << CCell::SpeciesNames[mismatch->Species] << " " << mismatch->Describe();
    if (cell.Species[CCell::ACG] + cell.Species[CCell::ACF] != actin ||
        cell.Species[CCell::ARP] + cell.Species[CCell::ARF] != arp)
        return ::testing::AssertionFailure() << "actin or Arp2/3 not conserved";
    for (const CSolidFilament &f : cell.Filaments) {
        if (f.IsPointedEndFree())
            continue;
        const CSolidFilament *mother = cell.Filaments.FindById(f.Mother);
        if (!mother || f.Site < 0 || f.Site >= mother->Monomers)
            return ::testing::AssertionFailure() << "filament " << f.Id << " on site " << f.Site << " of "
                                                 << f.Mother;
    }
    return ::testing::AssertionSuccess();
}

TEST(Branching, LinksAndCountersHoldAfterEveryReactionAndDebranchingKeepsItsRate)
{
    constexpr double kDebranching = 2.0; // 1/s
    double expected = 0.0;               // RATE_DEBR times the integral of ARF dt, over the seeds
    std::int64_t released = 0;
    for (std::uint32_t seed = 1; seed <= 8; ++seed) {
        SCOPED_TRACE(::testing::Message() << "seed " << seed);
        CCell cell;
        cell.Random.SeedWith(seed);
        WorldParameters p = PushedWorld(SimulationMethod::NextReaction);
        p.RateDISB = 5.0;
        p.RateSEVR = 0.3;
        BranchingWorld(cell, p, 30, 40);
        cell.Reactions[CCell::REACTION_COUNT].SetRate(kDebranching, cell.GetVolume() * 1000);
        const std::int32_t actin = cell.Species[CCell::ACG] + cell.Species[CCell::ACF];
        const std::int32_t arp = cell.Species[CCell::ARP] + cell.Species[CCell::ARF];
        ::testing::AssertionResult state = ::testing::AssertionSuccess();
        double last = 0.0;
        std::int32_t bound = 0;
        const auto integrate = [&] {
            expected += kDebranching * bound * (cell.Time - last);
            last = cell.Time;
            bound = cell.Species[CCell::ARF];
        };
        cell.BetweenReactions = [&] {
            integrate();
            if (state)
                state = Linked(cell, actin, arp);
        };
        cell.RunChemistry(1.0);
        integrate();
        ASSERT_TRUE(state);
        EXPECT_GT(cell.Reactions[CCell::ARPB].Count, 100);
        released += cell.Reactions[CCell::REACTION_COUNT].Count;
    }
    EXPECT_LT(std::fabs(double(released) - expected) / std::sqrt(expected), 3.0) << released << " of " << expected;
}

// Sites follow their monomer when the mother is cut: a mother of 20
// monomers with branches on sites 2, 9 and 15, cut with `barbedSide`
// monomers beyond the cut one.
TEST(Branching, SitesFollowTheirMonomerWhenTheMotherIsCut)
{
    struct Case {
        std::int32_t BarbedSide;
        std::vector<std::int32_t> Kept;  // sites on the mother that stays
        std::vector<std::int32_t> Moved; // sites on a new barbed piece
    };
    const Case cases[] = {
        {10, {2}, {5}},  // cut at 9: its branch goes, 15 moves to 15 - 10
        {4, {2, 9}, {}}, // cut at 15
        {1, {2, 9, 15}, {}}, // cut at 18, the barbed piece of one dissolves
        {17, {6, 12}, {}},   // cut at 2, the pointed piece of two dissolves: the mother is its barbed piece
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.BarbedSide);
        CCell cell;
        cell.Random.SeedWith(5);
        BranchingWorld(cell, {}, 1, 20);
        CSolidFilament &mother = cell.Filaments[0];
        const std::uint32_t motherId = mother.Id;
        for (const std::int32_t site : {2, 9, 15}) {
            CSolidFilament branch;
            branch.SetGeometry(mother.GetMonomerPosition(site), CVector(0, 0, 1));
            branch.Monomers = 3;
            branch.Mother = motherId;
            branch.Site = site;
            cell.Filaments.Append(branch);
        }
        cell.Species[CCell::FIB] += 3;
        cell.Species[CCell::FIP] += 3;
        cell.Species[CCell::ACF] += 9;
        cell.Species[CCell::ARF] += 3;
        cell.Species[CCell::ARP] -= 3;
        cell.IndexBranches();
        cell.SeverAt(&cell.Filaments[0], c.BarbedSide);
        std::vector<std::int32_t> kept, moved;
        for (const CSolidFilament &f : cell.Filaments) {
            if (f.IsPointedEndFree())
                continue;
            (f.Mother == motherId ? kept : moved).push_back(f.Site);
        }
        EXPECT_EQ(kept, c.Kept);
        EXPECT_EQ(moved, c.Moved);
        EXPECT_TRUE(Linked(cell, cell.Species[CCell::ACG] + cell.Species[CCell::ACF],
                           cell.Species[CCell::ARP] + cell.Species[CCell::ARF]));
    }
}

} // namespace
