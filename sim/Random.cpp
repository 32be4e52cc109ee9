#include "Random.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <iterator>

std::uint8_t GeneratorMode = 0;

namespace {

constexpr std::int32_t kModulus = 2147483647;
constexpr int kTableSize = RandomState::SHUFFLE_TABLE_SIZE;
constexpr std::int32_t kShuffleDivisor = 1 + (kModulus - 1) / kTableSize;
constexpr int kWarmUpSteps = 8;
constexpr double kShuffledScale = 1.0 / 2147483647.0;
constexpr double kIntRangeWidening = 0.9999999999999988;

std::int32_t &seed = random_state::Seed;
std::int32_t shuffleTable[kTableSize] = {};
std::int32_t shuffleOutput = 0; // 0: the table is not yet filled

void AdvanceSeed()
{
    seed = SchrageStep(seed);
}

// Fills the shuffle table from a fresh positive seed; the first warm-up
// steps are discarded.
void FillShuffleTable()
{
    const std::int64_t negated = -static_cast<std::int64_t>(seed);
    seed = negated < 1 ? 1 : static_cast<std::int32_t>(negated);
    for (int j = kTableSize + kWarmUpSteps - 1; j >= 0; --j) {
        AdvanceSeed();
        if (j < kTableSize)
            shuffleTable[j] = seed;
    }
    shuffleOutput = shuffleTable[0];
}

// Seeds both congruential generators from v and draws once from each, as
// the start-up seeding does after mixing the clock into v.
std::int32_t SeedGenerators(std::uint32_t v)
{
    const auto low31 = static_cast<std::int32_t>(v & 0x7FFFFFFFu);
    seed = -low31;
    ShuffledUniform();
    seed = low31;
    MaskedUniform();
    return seed;
}

} // namespace

double ShuffledUniform()
{
    if (seed <= 0 || shuffleOutput == 0)
        FillShuffleTable();
    AdvanceSeed();
    const std::int32_t j = shuffleOutput / kShuffleDivisor;
    shuffleOutput = shuffleTable[j];
    shuffleTable[j] = seed;
    return shuffleOutput * kShuffledScale;
}

double LibraryUniform()
{
    // Scaled by this library's own RAND_MAX so that the result stays in [0, 1].
    return std::rand() * (1.0 / RAND_MAX);
}

std::int32_t RandomSeed()
{
    return seed;
}

void SetRandomSeed(std::int32_t value)
{
    seed = value;
}

double UniformRange(double a, double b)
{
    const float u = GeneratorMode == 1 ? static_cast<float>(ShuffledUniform()) : MaskedUniform();
    return (b - a) * u + a;
}

std::int32_t UniformInt(std::int32_t lo, std::int32_t hi)
{
    // Truncated to 64 bits: near the top of the int range the widened upper
    // end rounds to hi + 1, which a 32-bit result could not hold.
    auto r = static_cast<std::int64_t>(UniformRange(lo, hi + kIntRangeWidening));
    if (r > hi)
        r = hi;
    if (r < lo)
        r = lo;
    return static_cast<std::int32_t>(r);
}

std::int32_t StochasticRound(double x)
{
    const double u = UniformReal();
    const double f = std::floor(x);
    const double fraction = x - f;
    // A draw of exactly 0 must not round a whole number up.
    const bool up = fraction >= u && fraction > 0.0;
    // Converted from double so that a result beyond the int range is an
    // invalid operation rather than an integer overflow.
    return static_cast<std::int32_t>(up ? f + 1.0 : f);
}

double IntPower(double x, int n)
{
    double result = 1.0;
    for (int i = 0; i < n; ++i)
        result = result * x;
    return result;
}

std::int32_t SeedRandom()
{
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    // The address of a local adds per-process variation to the clock.
    const auto t = static_cast<std::int32_t>(std::time(nullptr));
    const auto address = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&t));
    const std::uint32_t v = (address ^ static_cast<std::uint32_t>(t)) << (t & 15);
    return SeedGenerators(v);
}

std::int32_t SeedRandomWith(std::uint32_t v)
{
    std::srand(v);
    return SeedGenerators(v);
}

RandomState CaptureRandomState()
{
    RandomState state;
    state.Mode = GeneratorMode;
    state.Seed = seed;
    std::copy(std::begin(shuffleTable), std::end(shuffleTable), state.ShuffleTable.begin());
    state.ShuffleOutput = shuffleOutput;
    return state;
}

void RestoreRandomState(const RandomState &state)
{
    GeneratorMode = state.Mode;
    seed = state.Seed;
    std::copy(state.ShuffleTable.begin(), state.ShuffleTable.end(), std::begin(shuffleTable));
    shuffleOutput = state.ShuffleOutput;
}

bool UsesLibraryGenerator(std::uint8_t mode)
{
    return mode != 0 && mode != 1;
}
