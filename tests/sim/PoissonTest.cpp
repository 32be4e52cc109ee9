#include "Poisson.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>

namespace {

// Uniforms in (0, 1] from 53 bits of a Mersenne twister.
UniformDraw TwisterUniforms(std::mt19937_64 &engine)
{
    return [&engine] { return double((engine() >> 11) + 1) * 0x1p-53; };
}

// Means on both sides of the switch from inversion to PTRS, and far above it.
class PoissonLaw : public ::testing::TestWithParam<double> {};

// The DSMTS criteria: |Z| <= 3 for the mean, |Y| <= 5 for the variance.
TEST_P(PoissonLaw, MeanAndVarianceMatchTheLaw)
{
    const double mean = GetParam();
    std::mt19937_64 engine(std::uint64_t(mean * 1000) + 17);
    const UniformDraw uniform = TwisterUniforms(engine);
    constexpr int kDraws = 40000;
    double sum = 0.0, sumOfSquares = 0.0;
    for (int i = 0; i < kDraws; ++i) {
        const double k = double(PoissonCount(mean, uniform));
        sum += k;
        sumOfSquares += k * k;
    }
    const double sampleMean = sum / kDraws;
    const double sampleVariance = (sumOfSquares - kDraws * sampleMean * sampleMean) / (kDraws - 1);
    const double z = std::sqrt(double(kDraws)) * (sampleMean - mean) / std::sqrt(mean);
    const double y = (sampleVariance / mean - 1.0) * std::sqrt(kDraws / 2.0);
    EXPECT_LE(std::fabs(z), 3.0) << "mean " << sampleMean;
    EXPECT_LE(std::fabs(y), 5.0) << "variance " << sampleVariance;
}

INSTANTIATE_TEST_SUITE_P(InversionAndPtrs, PoissonLaw, ::testing::Values(1.5, 4.0, 9.99, 10.0, 37.5, 2500.0));

// Single probabilities, where a wrong hat or a wrong search would show:
// P(k) within three standard errors for k around the mean.
TEST(PoissonCount, ProbabilitiesOfSingleCounts)
{
    for (const double mean : {3.0, 12.0}) {
        std::mt19937_64 engine(99);
        const UniformDraw uniform = TwisterUniforms(engine);
        constexpr int kDraws = 100000;
        std::vector<int> seen(64, 0);
        for (int i = 0; i < kDraws; ++i) {
            const std::int64_t k = PoissonCount(mean, uniform);
            if (k < std::int64_t(seen.size()))
                ++seen[std::size_t(k)];
        }
        for (int k = 0; k <= int(2 * mean); ++k) {
            const double p = std::exp(-mean + k * std::log(mean) - std::lgamma(k + 1.0));
            const double standardError = std::sqrt(p * (1 - p) / kDraws);
            EXPECT_NEAR(seen[std::size_t(k)] / double(kDraws), p, 3.5 * standardError)
                << "mean " << mean << ", k " << k;
        }
    }
}

TEST(PoissonCount, ZeroMeanNeedsNoDraw)
{
    int draws = 0;
    const UniformDraw counting = [&draws] { return ++draws, 0.5; };
    EXPECT_EQ(PoissonCount(0.0, counting), 0);
    EXPECT_EQ(draws, 0);
}

TEST(PoissonCount, LogFactorialMatchesLogGamma)
{
    for (const std::int64_t k : {0, 1, 2, 9, 10, 11, 40, 1000, 123456789})
        EXPECT_NEAR(LogFactorial(k), std::lgamma(double(k) + 1.0),
                    1e-12 * (1.0 + std::lgamma(double(k) + 1.0)))
            << k;
}

} // namespace
