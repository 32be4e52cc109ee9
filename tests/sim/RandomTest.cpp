#include "Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

namespace {

constexpr std::int64_t kModulus = 2147483647;
constexpr std::int32_t kMask = 123459876;

// The minimal standard step in 64-bit arithmetic, independent of Schrage's
// decomposition.
std::int32_t DirectStep(std::int32_t s)
{
    return static_cast<std::int32_t>(static_cast<std::int64_t>(s) * 16807 % kModulus);
}

std::int64_t PowMod(std::int64_t base, std::int64_t exponent)
{
    std::int64_t result = 1;
    base %= kModulus;
    for (; exponent > 0; exponent >>= 1) {
        if (exponent & 1)
            result = result * base % kModulus;
        base = base * base % kModulus;
    }
    return result;
}

// The seed from which one step lands on the given value.
std::int32_t SeedBefore(std::int32_t stepped)
{
    const std::int64_t inverse = PowMod(16807, kModulus - 2);
    return static_cast<std::int32_t>(stepped * inverse % kModulus);
}

struct ReferenceMasked {
    std::int32_t seed;
    float Next()
    {
        const std::int32_t stepped = DirectStep(seed);
        seed = stepped ^ kMask;
        return static_cast<float>(std::ldexp(static_cast<double>(stepped), -31));
    }
};

struct ReferenceShuffled {
    std::int32_t seed;
    std::array<std::int32_t, 32> table{};
    std::int32_t output = 0;

    // Forty warm-up steps from a positive seed; the last 32 fill the table
    // from its end to its start.
    explicit ReferenceShuffled(std::int32_t start) : seed(start)
    {
        for (int step = 0; step < 40; ++step) {
            seed = DirectStep(seed);
            if (step >= 8)
                table[39 - step] = seed;
        }
        output = table[0];
    }
    double Next()
    {
        seed = DirectStep(seed);
        const int j = output / (1 << 26);
        output = table[j];
        table[j] = seed;
        return output * (1.0 / 2147483647.0);
    }
};

class RandomTest : public ::testing::Test {
protected:
    void SetUp() override { random.SeedWith(20240607); }
    CRandomStream random;
};

TEST_F(RandomTest, SchrageStepIsTheMinimalStandardProduct)
{
    EXPECT_EQ(SchrageStep(1), 16807);
    // Across the whole range, including the seeds next to the quotient and
    // the modulus where Schrage's correction kicks in.
    for (std::int32_t s : {2, 127772, 127773, 127774, 2836, 1000000, 123459876, 2147483646})
        EXPECT_EQ(SchrageStep(s), DirectStep(s)) << s;
    for (std::int64_t s = 1; s < kModulus; s += 7919 * 997)
        ASSERT_EQ(SchrageStep(std::int32_t(s)), DirectStep(std::int32_t(s))) << s;
    EXPECT_EQ(SchrageStep(0), 0);
    EXPECT_EQ(SchrageStep(2147483647), 0);
    // Negative seeds (a restored or hand-set state) keep Schrage's residue.
    EXPECT_EQ(SchrageStep(-1), 2147483647 - 16807);
    EXPECT_EQ(SchrageStep(-2147483647 - 1), 2147483647 - 16807);
}

TEST_F(RandomTest, MaskedGeneratorFromSeedOne)
{
    random.SetSeed(1);
    const float u = random.MaskedUniform();
    EXPECT_EQ(u, static_cast<float>(16807.0 / 2147483648.0));
    EXPECT_EQ(random.Seed(), 123443331);
    EXPECT_EQ(123443331, 16807 ^ kMask);
}

TEST_F(RandomTest, MaskedGeneratorFollowsTheReferenceStream)
{
    random.SetSeed(987654321);
    ReferenceMasked reference{987654321};
    for (int i = 0; i < 10000; ++i)
        ASSERT_EQ(random.UniformReal(), static_cast<double>(reference.Next())) << i;
    EXPECT_EQ(random.Seed(), reference.seed);
}

TEST_F(RandomTest, MaskedGeneratorReachesOneAndZero)
{
    // The 63 largest stepped seeds round up to 1.0 in single precision.
    for (std::int32_t stepped : {2147483584, 2147483600, 2147483646}) {
        random.SetSeed(SeedBefore(stepped));
        EXPECT_EQ(random.MaskedUniform(), 1.0f) << stepped;
    }
    random.SetSeed(SeedBefore(2147483583));
    EXPECT_LT(random.MaskedUniform(), 1.0f);

    random.SetSeed(0);
    EXPECT_EQ(random.MaskedUniform(), 0.0f);
    EXPECT_EQ(random.Seed(), kMask);
}

TEST_F(RandomTest, SeedWithSeedsBothGenerators)
{
    EXPECT_EQ(random.SeedWith(1), 123443331);
    EXPECT_EQ(random.Seed(), 123443331);

    const std::uint32_t v = 0xDEADBEEF;
    const auto low31 = static_cast<std::int32_t>(v & 0x7FFFFFFFu);
    ReferenceShuffled shuffled(low31);
    shuffled.Next(); // the draw made while seeding
    ReferenceMasked masked{low31};
    masked.Next();
    EXPECT_EQ(random.SeedWith(v), masked.seed);

    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(random.UniformReal(), static_cast<double>(masked.Next()));
    // The shuffled generator continues from its table with the shared seed.
    random.Mode = 1;
    shuffled.seed = masked.seed;
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(random.UniformReal(), shuffled.Next()) << i;
}

TEST_F(RandomTest, SeedWithoutLowBitsFillsTheShuffleTableFromOne)
{
    random.SeedWith(0x80000000u);
    // Step 4 then seeds the masked generator with 0: its step stays at 0.
    EXPECT_EQ(random.Seed(), kMask);
    ReferenceShuffled shuffled(1);
    shuffled.Next();
    shuffled.seed = kMask;
    random.Mode = 1;
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(random.UniformReal(), shuffled.Next()) << i;
}

TEST_F(RandomTest, SeedingIsRepeatable)
{
    random.SeedWith(42);
    const double first = random.UniformReal();
    const std::int32_t index = random.UniformInt(0, 1000);
    random.SeedWith(42);
    EXPECT_EQ(random.UniformReal(), first);
    EXPECT_EQ(random.UniformInt(0, 1000), index);

    const std::int32_t seed = random.SeedFromClock();
    EXPECT_EQ(seed, random.Seed());
    EXPECT_GE(seed, 0);
}

TEST_F(RandomTest, LibraryModeDrawsFromRandSeededWithV)
{
    random.Mode = 2;
    random.SeedWith(7);
    std::vector<double> draws;
    for (int i = 0; i < 1000; ++i) {
        const double u = random.UniformReal();
        ASSERT_GE(u, 0.0);
        ASSERT_LE(u, 1.0);
        draws.push_back(u);
    }
    EXPECT_LT(*std::min_element(draws.begin(), draws.end()), 0.01);
    EXPECT_GT(*std::max_element(draws.begin(), draws.end()), 0.99);
    EXPECT_GT(std::set<double>(draws.begin(), draws.end()).size(), 990u);

    std::srand(7);
    random.SetSeed(1); // the congruential seed plays no part in this mode
    EXPECT_EQ(random.UniformReal(), draws[0]);
}

TEST_F(RandomTest, UniformRangeScalesASinglePrecisionDraw)
{
    random.SetSeed(5550123);
    ReferenceMasked reference{5550123};
    for (int i = 0; i < 1000; ++i) {
        const double a = -3.5 + i, b = 10.25 * i;
        const double expected = (b - a) * static_cast<double>(reference.Next()) + a;
        ASSERT_EQ(random.UniformRange(a, b), expected) << i;
    }

    // With the shuffled generator the draw is rounded to single precision too.
    random.Mode = 1;
    for (int i = 0; i < 1000; ++i) {
        const double u = random.UniformRange(0.0, 1.0);
        ASSERT_EQ(static_cast<double>(static_cast<float>(u)), u);
        ASSERT_GE(u, 0.0);
        ASSERT_LE(u, 1.0);
    }
}

TEST_F(RandomTest, UniformIntStaysInItsRange)
{
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(random.UniformInt(0, 0), 0);
    EXPECT_EQ(random.UniformInt(0, -1), 0);
    EXPECT_EQ(random.UniformInt(5, 2), 5);
    // A draw of exactly 1.0 still gives the upper end, never one beyond it.
    random.SetSeed(SeedBefore(2147483646));
    EXPECT_EQ(random.UniformInt(0, 9), 9);
    random.SetSeed(SeedBefore(2147483646));
    EXPECT_EQ(random.UniformInt(-7, -3), -3);
    random.SetSeed(0);
    EXPECT_EQ(random.UniformInt(-7, -3), -7);
    random.SetSeed(SeedBefore(2147483646));
    EXPECT_EQ(random.UniformInt(INT32_MIN, INT32_MAX), INT32_MAX);
}

TEST_F(RandomTest, UniformIntIsUniform)
{
    constexpr int kDraws = 100000;
    std::array<int, 10> counts{};
    for (int i = 0; i < kDraws; ++i) {
        const std::int32_t r = random.UniformInt(0, 9);
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 9);
        ++counts[r];
    }
    const double sigma = std::sqrt(kDraws * 0.1 * 0.9);
    for (int count : counts)
        EXPECT_NEAR(count, kDraws * 0.1, 5 * sigma);
}

TEST_F(RandomTest, StochasticRoundKeepsTheExpectation)
{
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(random.StochasticRound(3.0), 3);

    constexpr int kDraws = 100000;
    int up = 0, down = 0, negativeUp = 0;
    for (int i = 0; i < kDraws; ++i) {
        const std::int32_t r = random.StochasticRound(2.25);
        ASSERT_TRUE(r == 2 || r == 3) << r;
        up += r == 3;
        const std::int32_t n = random.StochasticRound(-0.5);
        ASSERT_TRUE(n == -1 || n == 0) << n;
        negativeUp += n == 0;
    }
    EXPECT_NEAR(up / double(kDraws), 0.25, 5 * std::sqrt(0.25 * 0.75 / kDraws));
    EXPECT_NEAR(negativeUp / double(kDraws), 0.5, 5 * std::sqrt(0.25 / kDraws));

    // The start-up population of free actin: 57812.56 molecules.
    long long total = 0;
    for (int i = 0; i < kDraws; ++i) {
        const std::int32_t r = random.StochasticRound(57812.56);
        ASSERT_TRUE(r == 57812 || r == 57813) << r;
        total += r;
        down += r == 57812;
    }
    EXPECT_NEAR(total / double(kDraws), 57812.56, 5 * std::sqrt(0.56 * 0.44 / kDraws));
    EXPECT_GT(down, 0);
}

TEST_F(RandomTest, StochasticRoundUsesTheNextUniformDraw)
{
    // A draw of 0 rounds every fraction up, but never a whole number; a draw
    // of 1 rounds every fraction down.
    random.SetSeed(0);
    EXPECT_EQ(random.StochasticRound(2.0), 2);
    random.SetSeed(0);
    EXPECT_EQ(random.StochasticRound(2.001), 3);
    random.SetSeed(SeedBefore(2147483646));
    EXPECT_EQ(random.StochasticRound(2.999), 2);
}

TEST_F(RandomTest, IntPowerMultipliesRepeatedly)
{
    for (double x : {0.0, -2.0, 1e300, 3.25})
        EXPECT_EQ(IntPower(x, 0), 1.0) << x;
    // A negative exponent counts as 0.
    EXPECT_EQ(IntPower(2.0, -3), 1.0);
    EXPECT_EQ(IntPower(3.0, 2), 9.0);
    EXPECT_EQ(IntPower(-1.5, 3), -3.375);
    const double x = 1.1;
    EXPECT_EQ(IntPower(x, 2), x * x);
    EXPECT_EQ(IntPower(x, 3), x * x * x);
}

} // namespace
