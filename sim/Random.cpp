#include "Random.h"

#include <cmath>
#include <cstdlib>
#include <ctime>

namespace {

constexpr std::int32_t kModulus = 2147483647;
constexpr int kTableSize = RandomState::SHUFFLE_TABLE_SIZE;
constexpr std::int32_t kShuffleDivisor = 1 + (kModulus - 1) / kTableSize;
constexpr int kWarmUpSteps = 8;
constexpr double kShuffledScale = 1.0 / 2147483647.0;
constexpr double kIntRangeWidening = 0.9999999999999988;

} // namespace

double LibraryUniform()
{
    // Scaled by this library's own RAND_MAX so that the result stays in [0, 1].
    return std::rand() * (1.0 / RAND_MAX);
}

bool UsesLibraryGenerator(std::uint8_t mode)
{
    return mode != 0 && mode != 1;
}

// The first warm-up steps are discarded.
void CRandomStream::FillShuffleTable()
{
    const std::int64_t negated = -static_cast<std::int64_t>(seed_);
    seed_ = negated < 1 ? 1 : static_cast<std::int32_t>(negated);
    for (int j = kTableSize + kWarmUpSteps - 1; j >= 0; --j) {
        seed_ = SchrageStep(seed_);
        if (j < kTableSize)
            shuffleTable_[j] = seed_;
    }
    shuffleOutput_ = shuffleTable_[0];
}

// As the start-up seeding does after mixing the clock into v.
std::int32_t CRandomStream::SeedGenerators(std::uint32_t v)
{
    const auto low31 = static_cast<std::int32_t>(v & 0x7FFFFFFFu);
    seed_ = -low31;
    ShuffledUniform();
    seed_ = low31;
    MaskedUniform();
    return seed_;
}

double CRandomStream::ShuffledUniform()
{
    if (seed_ <= 0 || shuffleOutput_ == 0)
        FillShuffleTable();
    seed_ = SchrageStep(seed_);
    const std::int32_t j = shuffleOutput_ / kShuffleDivisor;
    shuffleOutput_ = shuffleTable_[j];
    shuffleTable_[j] = seed_;
    return shuffleOutput_ * kShuffledScale;
}

double CRandomStream::UniformRange(double a, double b)
{
    const float u = Mode == 1 ? static_cast<float>(ShuffledUniform()) : MaskedUniform();
    return (b - a) * u + a;
}

std::int32_t CRandomStream::UniformInt(std::int32_t lo, std::int32_t hi)
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

std::int32_t CRandomStream::StochasticRound(double x)
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

std::int32_t CRandomStream::SeedWith(std::uint32_t v)
{
    std::srand(v);
    return SeedGenerators(v);
}

std::int32_t CRandomStream::SeedFromClock()
{
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    // The address of a local adds per-process variation to the clock.
    const auto t = static_cast<std::int32_t>(std::time(nullptr));
    const auto address = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&t));
    const std::uint32_t v = (address ^ static_cast<std::uint32_t>(t)) << (t & 15);
    return SeedGenerators(v);
}

RandomState CRandomStream::Capture() const
{
    RandomState state;
    state.Mode = Mode;
    state.Seed = seed_;
    state.ShuffleTable = shuffleTable_;
    state.ShuffleOutput = shuffleOutput_;
    return state;
}

void CRandomStream::Restore(const RandomState &state)
{
    Mode = state.Mode;
    seed_ = state.Seed;
    shuffleTable_ = state.ShuffleTable;
    shuffleOutput_ = state.ShuffleOutput;
}

std::int32_t FreshSeed()
{
    return CRandomStream().SeedFromClock();
}

double IntPower(double x, int n)
{
    double result = 1.0;
    for (int i = 0; i < n; ++i)
        result = result * x;
    return result;
}
