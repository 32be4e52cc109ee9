// The viscous model against the laws of Brownian motion: free diffusion and
// rotation of rods, the bacterium's diffusion, Boltzmann's law at a wall,
// the exact relaxation of a contact, and reproducibility. Statistics are
// judged by Z = sqrt(N) (mean - expected) / sd within 3 under fixed seeds.

#include "Cell.h"
#include "ViscousMechanics.h"
#include "Drag.h"
#include "FloatingPoint.h"
#include "StepFault.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace {

constexpr double kViscosity = 1e-3;     // Pa s
constexpr double kTemperature = 298.15; // K
constexpr double kRadius = 1.5e-9;      // m, filament radius
constexpr double kKT = 1.380649e-23 * kTemperature;

// A viscous world in a cube of edge `edge` (m) without bacterium.
void ViscousWorld(CCell &cell, double edge, double stiffness = 1e-4)
{
    cell.Reset();
    cell.SetBox(CVector(0.0), CVector(edge));
    cell.Material = {kRadius, 3.4e-14};
    cell.Model = MechanicsModel::Viscous;
    ViscousConstantsOf(cell).Viscosity = kViscosity;
    ViscousConstantsOf(cell).Temperature = kTemperature;
    ViscousConstantsOf(cell).ContactStiffness = stiffness;
    cell.CounterKey = 20260;
    cell.Bacterium.reset();
}

CVector UnitVector(std::mt19937_64 &random)
{
    std::normal_distribution<double> normal;
    return Normalized(CVector(normal(random), normal(random), normal(random)));
}

void AddFilament(CCell &cell, const CVector &center, const CVector &axis, std::int32_t monomers)
{
    CSolidFilament f;
    f.SetGeometry(center - (0.5 * MONOMER_LENGTH * monomers) * axis, axis);
    f.Monomers = monomers;
    cell.Filaments.Append(f);
}

CVector CenterOf(const CSolidFilament &f)
{
    return f.PointedEnd + (0.5 * MONOMER_LENGTH * f.Monomers) * f.Direction;
}

// Mean and standard deviation of a sample.
struct Sample {
    std::vector<double> Values;
    double Mean() const
    {
        double sum = 0.0;
        for (const double v : Values)
            sum += v;
        return sum / double(Values.size());
    }
    double Deviation() const
    {
        const double mean = Mean();
        double sum = 0.0;
        for (const double v : Values)
            sum += (v - mean) * (v - mean);
        return std::sqrt(sum / double(Values.size() - 1));
    }
    // Z of the mean against `expected`, with the sample's own deviation
    // unless the law's is given.
    double Z(double expected, double deviation = 0.0) const
    {
        const double sd = deviation > 0.0 ? deviation : Deviation();
        return std::sqrt(double(Values.size())) * (Mean() - expected) / sd;
    }
};

// Checks |Z| <= 3 and records Z under `name` in the test report.
void ExpectZ(const char *name, double z)
{
    testing::Test::RecordProperty(name, std::to_string(z));
    EXPECT_LE(std::fabs(z), 3.0) << name;
}

RodDrag DragOf(std::int32_t monomers)
{
    return FilamentDrag(MONOMER_LENGTH * monomers, 2.0 * kRadius, kViscosity);
}

struct FreeRodCase {
    std::int32_t Monomers; // p = monomers (3 nm each over a 3-nm diameter)
    bool Decomposed;       // also along/across and orientation decay
};

class FreeRods : public testing::TestWithParam<FreeRodCase> {};

// 20,000 rods far from any wall: the centre's mean squared displacement is
// 2 (D_par + 2 D_perp) t whatever the rotation; summed per-step
// displacements along and across the axis give 2 D_par t and 4 D_perp t;
// the axis decorrelates as exp(-2 D_r t).
TEST_P(FreeRods, DiffuseAndRotateAsTheirDragSays)
{
    const FreeRodCase c = GetParam();
    constexpr int kRods = 20000;
    const RodDrag drag = DragOf(c.Monomers);
    const double dAlong = kKT / drag.Along, dAcross = kKT / drag.Across, dRotation = kKT / drag.Rotation;
    // D_r dt = 0.01; 2 D_r t = 1 after 50 steps.
    const double dt = 0.01 / dRotation;
    constexpr int kSteps = 50;
    CCell cell;
    ViscousWorld(cell, 1.0);
    std::mt19937_64 random(c.Monomers);
    std::vector<CVector> start, axis0;
    for (int i = 0; i < kRods; ++i) {
        axis0.push_back(UnitVector(random));
        start.push_back(CVector(0.5));
        AddFilament(cell, start.back(), axis0.back(), c.Monomers);
    }
    Sample along, across;
    along.Values.assign(kRods, 0.0);
    across.Values.assign(kRods, 0.0);
    for (int step = 0; step < kSteps; ++step) {
        std::vector<CVector> axes, centres;
        for (const CSolidFilament &f : cell.Filaments) {
            axes.push_back(f.Direction);
            centres.push_back(CenterOf(f));
        }
        cell.MechStep(dt);
        int i = 0;
        for (const CSolidFilament &f : cell.Filaments) {
            const CVector d = CenterOf(f) - centres[i];
            const double a = Dot(d, axes[i]);
            along.Values[i] += a * a;
            across.Values[i] += Dot(d, d) - a * a;
            ++i;
        }
    }
    const double t = kSteps * dt;
    Sample total, overlap;
    int i = 0;
    for (const CSolidFilament &f : cell.Filaments) {
        const CVector d = CenterOf(f) - start[i];
        total.Values.push_back(Dot(d, d));
        overlap.Values.push_back(Dot(f.Direction, axis0[i]));
        ++i;
    }
    ExpectZ("total", total.Z(2.0 * (dAlong + 2.0 * dAcross) * t));
    if (!c.Decomposed)
        return;
    ExpectZ("along", along.Z(2.0 * dAlong * t));
    ExpectZ("across", across.Z(4.0 * dAcross * t));
    ExpectZ("overlap", overlap.Z(std::exp(-2.0 * dRotation * t)));
}

INSTANTIATE_TEST_SUITE_P(AspectRatios, FreeRods,
                         testing::Values(FreeRodCase{3, false}, FreeRodCase{30, true},
                                         FreeRodCase{300, true}));

// Rods of three monomers turn so far in one step (D_r dt >> 1) that a few
// steps leave their axes uniform on the sphere: u_z of mean 0 and variance
// 1/3, u_z^2 of mean 1/3 and variance 4/45.
TEST(ViscousMechanics, ShortRodsForgetTheirOrientation)
{
    constexpr int kRods = 20000;
    CCell cell;
    ViscousWorld(cell, 1.0);
    for (int i = 0; i < kRods; ++i)
        AddFilament(cell, CVector(0.5), CVector(0.0, 0.0, 1.0), 3);
    ASSERT_GT(kKT / DragOf(3).Rotation * 1e-4, 100.0);
    for (int step = 0; step < 10; ++step)
        cell.MechStep(1e-4);
    Sample z, z2;
    for (const CSolidFilament &f : cell.Filaments) {
        z.Values.push_back(f.Direction.z);
        z2.Values.push_back(f.Direction.z * f.Direction.z);
    }
    ExpectZ("z", z.Z(0.0, std::sqrt(1.0 / 3.0)));
    ExpectZ("z2", z2.Z(1.0 / 3.0, std::sqrt(4.0 / 45.0)));
}

// The bacterium alone far from the walls: over 2,500 separate windows of 4
// steps its squared displacement / (2 D t) is chi-squared with 3 degrees of
// freedom: mean 6 D t, deviation sqrt(6) 2 D t. Each axis on its own: x^2
// of mean 2 D t, deviation sqrt(2) 2 D t; two axes together: x y of mean 0,
// deviation 2 D t (independent axes).
TEST(ViscousMechanics, BacteriumDiffusesWithStokesDrag)
{
    CCell cell;
    ViscousWorld(cell, 1e-3);
    cell.CreateBacterium();
    cell.Bacterium->Radius = 2e-7;
    cell.Bacterium->Center = CVector(0.5e-3);
    const double d = kKT / SphereTranslationDrag(2e-7, kViscosity);
    constexpr int kWindows = 2500, kStepsPerWindow = 4;
    constexpr double dt = 1e-4, t = kStepsPerWindow * dt;
    Sample squared, axis[3], pair[3];
    for (int w = 0; w < kWindows; ++w) {
        const CVector before = cell.Bacterium->Center;
        for (int s = 0; s < kStepsPerWindow; ++s)
            cell.MechStep(dt);
        const CVector moved = cell.Bacterium->Center - before;
        squared.Values.push_back(Dot(moved, moved));
        const double r[3] = {moved.x, moved.y, moved.z};
        for (int i = 0; i < 3; ++i) {
            axis[i].Values.push_back(r[i] * r[i]);
            pair[i].Values.push_back(r[i] * r[(i + 1) % 3]);
        }
    }
    ExpectZ("squared", squared.Z(6.0 * d * t, std::sqrt(6.0) * 2.0 * d * t));
    for (int i = 0; i < 3; ++i) {
        const std::string name = "axis " + std::to_string(i);
        ExpectZ(name.c_str(), axis[i].Z(2.0 * d * t, std::sqrt(2.0) * 2.0 * d * t));
        ExpectZ((name + " with the next").c_str(), pair[i].Z(0.0, 2.0 * d * t));
    }
    EXPECT_EQ(Length(cell.Bacterium->Position - cell.Bacterium->Center), 0.0);
}

// Rods of three monomers from an even spread reach a uniform density of
// centres across the box's interior (slabs 40 nm, a few steps' reach, from
// the walls): chi-squared over 10 slabs below 21.67 (p = 0.01, 9 degrees of
// freedom).
TEST(ViscousMechanics, ConfinedRodsFillTheInteriorEvenly)
{
    constexpr double kEdge = 400e-9, kMargin = 40e-9, kDt = 1e-6;
    constexpr int kRods = 10000, kSlabs = 10;
    CCell cell;
    ViscousWorld(cell, kEdge);
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> inside(0.0, kEdge);
    for (int i = 0; i < kRods; ++i)
        AddFilament(cell, CVector(inside(random), inside(random), inside(random)), UnitVector(random), 3);
    for (int step = 0; step < 200; ++step)
        cell.MechStep(kDt);
    std::vector<int> counts(kSlabs, 0);
    int total = 0;
    for (const CSolidFilament &f : cell.Filaments) {
        const double x = CenterOf(f).x;
        if (x < kMargin || x >= kEdge - kMargin)
            continue;
        ++counts[std::size_t((x - kMargin) / (kEdge - 2.0 * kMargin) * kSlabs)];
        ++total;
    }
    const double expected = double(total) / kSlabs;
    double chiSquared = 0.0;
    for (const int n : counts)
        chiSquared += (n - expected) * (n - expected) / expected;
    RecordProperty("chiSquared", std::to_string(chiSquared));
    EXPECT_LT(chiSquared, 21.666);
}

// With stiff walls (1 N/m, k dt / gamma near 10^6) no end of a rod of 3 or
// 30 monomers lies more than 1 nm beyond a wall after any step, corners
// included.
TEST(ViscousMechanics, StiffWallsHoldEveryEnd)
{
    constexpr double kEdge = 200e-9;
    CCell cell;
    ViscousWorld(cell, kEdge, 1.0);
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> inside(0.0, kEdge);
    for (int i = 0; i < 2000; ++i)
        AddFilament(cell, CVector(inside(random), inside(random), inside(random)), UnitVector(random),
                    i % 2 ? 3 : 30);
    double deepest = 0.0;
    for (int step = 0; step < 50; ++step) {
        cell.MechStep(1e-4);
        for (const CSolidFilament &f : cell.Filaments)
            for (const CVector &end : {f.GetPointedEnd(), f.GetBarbedEnd()})
                deepest =
                    std::max({deepest, -end.x, -end.y, -end.z, end.x - kEdge, end.y - kEdge, end.z - kEdge});
    }
    RecordProperty("deepestNm", std::to_string(deepest * 1e9));
    EXPECT_LE(deepest, 1e-9);
}

// Boltzmann's law at a wall. Given its axis, a rod's position across a wall
// is distributed as exp(-U/kT), so the depth d of its outer end, while its
// inner end is not beyond the wall (d < c = L |u|), follows the Gaussian of
// sd sqrt(kT/k) cut to [0, c]: F = erf(d / (sd sqrt 2)) / erf(c / (sd sqrt
// 2)) is uniform, of mean 1/2 and sd 1/sqrt(12). Rods start from that law
// exactly (by rejection) and take 300 steps short enough (k m dt near
// 0.01) for the splitting of noise and relaxation not to show.
TEST(ViscousMechanics, DepthBeyondAWallIsHalfGaussian)
{
    constexpr double kEdge = 60e-9, kStiffness = 1e-4;
    constexpr int kRods = 6000, kMonomers = 3;
    const double sd = std::sqrt(kKT / kStiffness);
    const double length = kMonomers * MONOMER_LENGTH;
    // The energy of a rod's ends beyond the walls.
    const auto energy = [&](const CVector &center, const CVector &axis) {
        double sum = 0.0;
        for (const double side : {-0.5, 0.5}) {
            const CVector end = center + (side * length) * axis;
            for (const double x : {end.x, end.y, end.z}) {
                const double depth = std::max({-x, x - kEdge, 0.0});
                sum += 0.5 * kStiffness * depth * depth;
            }
        }
        return sum;
    };
    CCell cell;
    ViscousWorld(cell, kEdge, kStiffness);
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> around(-length - 6.0 * sd, kEdge + length + 6.0 * sd);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    while (cell.Filaments.size() < kRods) {
        const CVector center(around(random), around(random), around(random));
        const CVector axis = UnitVector(random);
        if (unit(random) < std::exp(-energy(center, axis) / kKT))
            AddFilament(cell, center, axis, kMonomers);
    }
    for (int step = 0; step < 300; ++step)
        cell.MechStep(2.5e-9);
    Sample uniform;
    for (const CSolidFilament &f : cell.Filaments) {
        const CVector center = CenterOf(f);
        const double cs[] = {center.x, center.y, center.z};
        const double us[] = {f.Direction.x, f.Direction.y, f.Direction.z};
        for (int axis = 0; axis < 3; ++axis) {
            const double reach = 0.5 * length * std::fabs(us[axis]);
            const double cut = length * std::fabs(us[axis]);
            for (const double depth : {reach - cs[axis], cs[axis] + reach - kEdge})
                if (depth > 0.0 && depth < cut)
                    uniform.Values.push_back(std::erf(depth / (sd * std::sqrt(2.0))) /
                                             std::erf(cut / (sd * std::sqrt(2.0))));
        }
    }
    RecordProperty("samples", int(uniform.Values.size()));
    ASSERT_GT(uniform.Values.size(), 1000u);
    ExpectZ("uniform", uniform.Z(0.5, std::sqrt(1.0 / 12.0)));
}

// A worked example at 0 K: a 10-monomer rod points straight out of the
// bacterium with its pointed end 2 nm deep. The depth relaxes as
// d exp(-k (1/gamma_par + 1/gamma_b) dt); the rod takes the share
// (1/gamma_par) / (1/gamma_par + 1/gamma_b) of the distance, the bacterium
// the rest, both along the normal, and the rod does not turn.
TEST(ViscousMechanics, ContactWithTheBacteriumRelaxesBothBodiesExactly)
{
    constexpr double kStiffness = 1e-4, kDepth = 2e-9, kDt = 1e-6, kBacteriumRadius = 2e-7;
    CCell cell;
    ViscousWorld(cell, 1e-5, kStiffness);
    ViscousConstantsOf(cell).Temperature = 0.0;
    cell.CreateBacterium();
    cell.Bacterium->Radius = kBacteriumRadius;
    cell.Bacterium->Center = CVector(5e-6);
    const CVector center = cell.Bacterium->Center;
    const CVector pointed = center + CVector(kBacteriumRadius - kDepth, 0.0, 0.0);
    AddFilament(cell, pointed + CVector(15e-9, 0.0, 0.0), CVector(1.0, 0.0, 0.0), 10);
    const double rod = 1.0 / DragOf(10).Along;
    const double ball = 1.0 / (6.0 * std::numbers::pi * kViscosity * kBacteriumRadius);
    const double relaxed = kDepth * (1.0 - std::exp(-kStiffness * (rod + ball) * kDt));
    cell.MechStep(kDt);
    const CSolidFilament &f = cell.Filaments.front();
    EXPECT_NEAR(f.PointedEnd.x - pointed.x, relaxed * rod / (rod + ball), 1e-6 * relaxed);
    EXPECT_NEAR(cell.Bacterium->Center.x - center.x, -relaxed * ball / (rod + ball), 1e-6 * relaxed);
    EXPECT_EQ(f.Direction.x, 1.0);
    EXPECT_EQ(f.PointedEnd.y, pointed.y);
    EXPECT_EQ(cell.Bacterium->Center.y, center.y);
}

// A crowded box of rods about the bacterium: over 3000 steps the bacterium
// never leaves the box (its sphere reaches at most 20 nm beyond a wall).
TEST(ViscousMechanics, BacteriumStaysInTheBox)
{
    constexpr double kEdge = 0.6e-6, kBacteriumRadius = 2e-7;
    CCell cell;
    ViscousWorld(cell, kEdge);
    cell.CreateBacterium();
    cell.Bacterium->Radius = kBacteriumRadius;
    cell.Bacterium->Center = CVector(0.5 * kEdge);
    std::mt19937_64 random(3);
    std::uniform_real_distribution<double> inside(0.0, kEdge);
    for (int i = 0; i < 300; ++i)
        AddFilament(cell, CVector(inside(random), inside(random), inside(random)), UnitVector(random), 10);
    double beyond = 0.0;
    for (int step = 0; step < 3000; ++step) {
        cell.MechStep(1e-4);
        const CVector c = cell.Bacterium->Center;
        beyond = std::max({beyond, kBacteriumRadius - c.x, kBacteriumRadius - c.y, kBacteriumRadius - c.z,
                           c.x + kBacteriumRadius - kEdge, c.y + kBacteriumRadius - kEdge,
                           c.z + kBacteriumRadius - kEdge});
    }
    RecordProperty("beyondNm", std::to_string(beyond * 1e9));
    EXPECT_LT(beyond, 20e-9);
}

// The same world stepped on 1, 2 and 4 threads ends bit for bit the same.
TEST(ViscousMechanics, AnyThreadCountGivesTheSameWorld)
{
    const auto run = [](int threads) {
        CCell cell;
        ViscousWorld(cell, 1e-6);
        cell.CreateBacterium();
        cell.Bacterium->Radius = 2e-7;
        cell.Bacterium->Center = CVector(0.5e-6);
        cell.MechanicsThreads = threads;
        std::mt19937_64 random(9);
        std::uniform_real_distribution<double> inside(0.2e-6, 0.8e-6);
        for (int i = 0; i < 3000; ++i)
            AddFilament(cell, CVector(inside(random), inside(random), inside(random)), UnitVector(random),
                        3 + i % 40);
        for (int step = 0; step < 20; ++step)
            cell.MechStep(1e-4);
        std::vector<std::uint64_t> bits;
        for (const CSolidFilament &f : cell.Filaments)
            for (const double v : {f.PointedEnd.x, f.PointedEnd.y, f.PointedEnd.z, f.Direction.x,
                                   f.Direction.y, f.Direction.z})
                bits.push_back(std::bit_cast<std::uint64_t>(v));
        for (const double v : {cell.Bacterium->Center.x, cell.Bacterium->Center.y, cell.Bacterium->Center.z})
            bits.push_back(std::bit_cast<std::uint64_t>(v));
        return bits;
    };
    const std::vector<std::uint64_t> one = run(1);
    EXPECT_EQ(run(2), one);
    EXPECT_EQ(run(4), one);
}

} // namespace

namespace {

// 400 rods in the box, two of them faulty: one whose axis is not a number
// (an invalid comparison in its move) and one whose axis is huge (its move
// overflows). The rods move in batches in vectors; a fault is still charged
// to its own rod, so every thread count reports the fault of the first
// faulty rod in list order.
enum class Flaw { NotANumber, Huge };

struct FaultyRods {
    std::size_t FirstAt;
    Flaw First;
    std::size_t SecondAt;
    Flaw Second;
    fp::Fault Expected;
};

class ViscousFaults : public ::testing::TestWithParam<FaultyRods> {};

TEST_P(ViscousFaults, EveryThreadCountReportsTheFirstFaultyRod)
{
    const FaultyRods &world = GetParam();
    const auto axisOf = [](Flaw flaw) {
        return flaw == Flaw::Huge ? CVector(1e308, 0, 0) : CVector(std::nan(""), 0, 0);
    };
    for (const int threads : {1, 2, 4}) {
        CCell cell;
        ViscousWorld(cell, 1e-6);
        for (std::size_t i = 0; i < 400; ++i) {
            CSolidFilament f;
            f.PointedEnd = CVector(5e-7);
            f.Direction = i == world.FirstAt    ? axisOf(world.First)
                          : i == world.SecondAt ? axisOf(world.Second)
                                                : CVector(0, 0, 1);
            f.Monomers = 5;
            cell.Filaments.Append(f);
        }
        ExpectStepFault(cell, threads, world.Expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Batches, ViscousFaults,
    ::testing::Values(FaultyRods{3, Flaw::NotANumber, 5, Flaw::Huge, fp::Fault::Invalid},
                      FaultyRods{3, Flaw::Huge, 5, Flaw::NotANumber, fp::Fault::Overflow},
                      FaultyRods{17, Flaw::NotANumber, 390, Flaw::Huge, fp::Fault::Invalid},
                      FaultyRods{17, Flaw::Huge, 390, Flaw::NotANumber, fp::Fault::Overflow}));

} // namespace
