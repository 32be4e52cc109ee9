// The simulation methods against an analytic law and against each other,
// judged as the discrete stochastic model test suite (DSMTS) does: a mean by
// Z = sqrt(N) (mean - mu) / sigma within +-3, a variance by
// Y = (S^2 / sigma^2 - 1) sqrt(N / 2) within +-5; two ensembles by the
// two-sample forms of both and a Kolmogorov-Smirnov test.

#include "Cell.h"

#include "CellTestWorld.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

namespace {

struct Moments {
    double Mean = 0.0;
    double Variance = 0.0; // unbiased
    double Count = 0.0;
};

Moments MomentsOf(const std::vector<double> &sample)
{
    Moments m;
    m.Count = double(sample.size());
    for (const double x : sample)
        m.Mean += x;
    m.Mean /= m.Count;
    for (const double x : sample)
        m.Variance += (x - m.Mean) * (x - m.Mean);
    m.Variance /= m.Count - 1.0;
    return m;
}

// The p-value of the two-sample Kolmogorov-Smirnov statistic, from the
// asymptotic law with Stephens' correction for the sample sizes.
double KolmogorovSmirnovP(std::vector<double> a, std::vector<double> b)
{
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    double d = 0.0;
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const double x = std::min(a[i], b[j]);
        while (i < a.size() && a[i] == x)
            ++i;
        while (j < b.size() && b[j] == x)
            ++j;
        d = std::max(d, std::fabs(double(i) / a.size() - double(j) / b.size()));
    }
    const double n = double(a.size()) * b.size() / double(a.size() + b.size());
    const double lambda = (std::sqrt(n) + 0.12 + 0.11 / std::sqrt(n)) * d;
    double p = 0.0;
    for (int k = 1; k <= 100; ++k)
        p += 2.0 * (k % 2 ? 1.0 : -1.0) * std::exp(-2.0 * k * k * lambda * lambda);
    return std::clamp(p, 0.0, 1.0);
}

// --- Exact methods against the Poisson law of a birth-death process ---

// Only ASSB and DISB act, on 200 filaments of 100 monomers whose barbed ends
// stay well inside the box: G-actin is born at k- FIB and dies at
// c+ FIB ACG, so its stationary law is Poisson with mean k- / c+.
double BirthDeathStationaryActin(SimulationMethod method, std::uint32_t seed, double runTime)
{
    WorldParameters p;
    p.CubeSize = 0.9;
    p.Method = method;
    p.ConcentrationACG = p.ConcentrationCAP = p.ConcentrationARP = p.ConcentrationADC = 0.0;
    p.RateFORM = p.RateASSP = p.RateDISP = p.RateCAPB = p.RateARPB = p.RateSEVR = 0.0;
    CCell cell;
    cell.Random.SeedWith(seed);
    BuildWorld(cell, p);
    constexpr int kFilaments = 200;
    AddFilaments(cell, kFilaments, 100);
    const double mean =
        cell.Reactions[CCell::DISB].StochasticRate / cell.Reactions[CCell::ASSB].StochasticRate;
    cell.Species[CCell::ACG] = std::int32_t(std::lround(mean));
    cell.RunChemistry(runTime);
    EXPECT_EQ(cell.Species[CCell::FIB], kFilaments);
    return cell.Species[CCell::ACG];
}

class BirthDeath : public ::testing::TestWithParam<SimulationMethod> {};

TEST_P(BirthDeath, FreeActinFollowsThePoissonLaw)
{
    CCell probe;
    WorldParameters p;
    p.CubeSize = 0.9;
    BuildWorld(probe, p);
    const double mu =
        probe.Reactions[CCell::DISB].StochasticRate / probe.Reactions[CCell::ASSB].StochasticRate;
    ASSERT_GT(mu, 30.0);
    // 2 s are more than ten relaxation times mu / (k- FIB) of the process.
    constexpr int kRuns = 1000;
    std::vector<double> actin;
    for (std::uint32_t seed = 1; seed <= kRuns; ++seed)
        actin.push_back(BirthDeathStationaryActin(GetParam(), seed, 2.0));
    const Moments m = MomentsOf(actin);
    EXPECT_LE(std::fabs(std::sqrt(m.Count) * (m.Mean - mu) / std::sqrt(mu)), 3.0) << m.Mean << " vs " << mu;
    EXPECT_LE(std::fabs((m.Variance / mu - 1.0) * std::sqrt(m.Count / 2.0)), 5.0)
        << m.Variance << " vs " << mu;
}

INSTANTIATE_TEST_SUITE_P(ExactMethods, BirthDeath,
                         ::testing::Values(SimulationMethod::FirstReaction, SimulationMethod::NextReaction),
                         [](const auto &info) {
                             return info.param == SimulationMethod::FirstReaction ? "First" : "Next";
                         });

// --- Leaping against the exact method ---

constexpr const char *kQuantities[] = {"ACG", "ACF", "FIB", "FIP", "CAP", "filaments", "mean size"};
constexpr int kQuantityCount = int(std::size(kQuantities));

// Per time, per quantity: the values of every run of an ensemble.
using Ensemble = std::vector<std::array<std::vector<double>, kQuantityCount>>;

Ensemble RunEnsemble(SimulationMethod method, const WorldParameters &world, const std::vector<double> &times,
                     int runs, std::uint32_t firstSeed, double accuracy = CTauLeap::DEFAULT_ACCURACY)
{
    Ensemble ensemble(times.size());
    for (int r = 0; r < runs; ++r) {
        CCell cell;
        cell.Random.SeedWith(firstSeed + std::uint32_t(r));
        WorldParameters p = world;
        p.Method = method;
        BuildWorld(cell, p);
        cell.TauLeap.Accuracy = accuracy;
        for (std::size_t t = 0; t < times.size(); ++t) {
            cell.RunChemistry(times[t]);
            const auto &n = cell.Species;
            const double values[kQuantityCount] = {double(n[CCell::ACG]),  double(n[CCell::ACF]),
                                                   double(n[CCell::FIB]),  double(n[CCell::FIP]),
                                                   double(n[CCell::CAP]),  double(cell.Filaments.size()),
                                                   cell.MeanFilamentSize()};
            for (int q = 0; q < kQuantityCount; ++q)
                ensemble[t][q].push_back(values[q]);
        }
    }
    return ensemble;
}

void ExpectSameLaw(const Ensemble &leaping, const Ensemble &exact, const std::vector<double> &times)
{
    for (std::size_t t = 0; t < times.size(); ++t) {
        for (int q = 0; q < kQuantityCount; ++q) {
            SCOPED_TRACE(::testing::Message() << kQuantities[q] << " at " << times[t] << " s");
            const Moments a = MomentsOf(leaping[t][q]), b = MomentsOf(exact[t][q]);
            const double z = (a.Mean - b.Mean) / std::sqrt(a.Variance / a.Count + b.Variance / b.Count);
            const double y = (a.Variance / b.Variance - 1.0) / std::sqrt(2.0 / a.Count + 2.0 / b.Count);
            EXPECT_LE(std::fabs(z), 3.0) << a.Mean << " vs " << b.Mean;
            EXPECT_LE(std::fabs(y), 5.0) << a.Variance << " vs " << b.Variance;
        }
    }
    constexpr int kFilamentCount = 5;
    EXPECT_GE(KolmogorovSmirnovP(leaping.back()[kFilamentCount], exact.back()[kFilamentCount]), 0.01);
}

// The default world in a box of 1 um (an eighth of the volume).
TEST(LeapingAgainstExact, DefaultWorldEnsemblesAgree)
{
    WorldParameters world;
    world.CubeSize = 1.0;
    const std::vector<double> times = {1.0, 4.0, 10.0};
    constexpr int kRuns = 300;
    ExpectSameLaw(RunEnsemble(SimulationMethod::TauLeap, world, times, kRuns, 1),
                  RunEnsemble(SimulationMethod::FirstReaction, world, times, kRuns, 100001), times);
}

// All concentrations ten times the default, in a box of 0.5 um. At the
// default accuracy of 0.03 the leaps' nucleation runs ahead early on (0.3 %
// more filaments at 0.2 s, Z = 3.4 over 300 runs: the bias of a leap that
// takes FORM's propensity, proportional to ACG^3, from its start); 0.02
// stays within the criteria.
TEST(LeapingAgainstExact, TenfoldConcentrationEnsemblesAgree)
{
    WorldParameters world;
    world.CubeSize = 0.5;
    world.ConcentrationACG *= 10;
    world.ConcentrationCAP *= 10;
    world.ConcentrationARP *= 10;
    world.ConcentrationADC *= 10;
    const std::vector<double> times = {0.2, 1.0, 3.0};
    constexpr int kRuns = 300;
    ExpectSameLaw(RunEnsemble(SimulationMethod::TauLeap, world, times, kRuns, 1, 0.02),
                  RunEnsemble(SimulationMethod::FirstReaction, world, times, kRuns, 100001), times);
}

// The test's own yardstick: two exact ensembles of other seeds pass it.
TEST(LeapingAgainstExact, KolmogorovSmirnovOfOneLawIsNotSmall)
{
    std::vector<double> a, b;
    for (int i = 0; i < 400; ++i) {
        a.push_back(i % 37);
        b.push_back((i * 7) % 37);
    }
    EXPECT_GT(KolmogorovSmirnovP(a, b), 0.5);
    std::vector<double> shifted = b;
    for (double &x : shifted)
        x += 5;
    EXPECT_LT(KolmogorovSmirnovP(a, shifted), 1e-3);
}

} // namespace
