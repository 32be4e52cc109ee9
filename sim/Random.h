#pragma once

#include <array>
#include <cstdint>

// The random streams of the simulation: two congruential generators sharing
// one seed (one of them behind a shuffle table) and the C library generator,
// behind a mode selector, and the draws derived from them. Each world owns
// one CRandomStream; it is not safe to share between threads.

// One step of the minimal standard generator, s * 16807 mod (2^31 - 1),
// computed with Schrage's method so that no 32-bit product overflows.
inline std::int32_t SchrageStep(std::int32_t s)
{
    constexpr std::int32_t kMultiplier = 16807;
    constexpr std::int32_t kModulus = 2147483647;
    constexpr std::int32_t kSchrageQuotient = 127773;
    constexpr std::int32_t kSchrageRemainder = 2836;
    if (s >= 0) {
        // For s >= 0 Schrage's result is the residue in [0, 2^31 - 2]. The
        // 64-bit product folded at bit 31 (2^31 = 1 modulo 2^31 - 1) gives the
        // same residue with half the latency: the mechanics step draws a long
        // chain of these.
        const std::uint64_t product = std::uint64_t(s) * kMultiplier;
        std::uint64_t folded = (product & std::uint64_t(kModulus)) + (product >> 31);
        if (folded >= std::uint64_t(kModulus))
            folded -= kModulus;
        return std::int32_t(folded);
    }
    const std::int32_t k = s / kSchrageQuotient;
    s = kMultiplier * (s - k * kSchrageQuotient) - kSchrageRemainder * k;
    if (s < 0)
        s += kModulus;
    return s;
}

// The C library's rand(), scaled onto [0, 1]. Its state is hidden inside the
// C library and so is process-wide by nature: worlds that use it share it.
double LibraryUniform();

// Whether the draws of this mode come partly from rand(), so that a captured
// state cannot reproduce them.
bool UsesLibraryGenerator(std::uint8_t mode);

// The largest of the seeds that give distinct runs: the generators keep the
// low 31 bits of a seed, and of those 0 and 2^31 - 1 start the same stream
// (both are 0 modulo 2^31 - 1), so 0 to 2^31 - 2 are exactly those seeds.
inline constexpr std::uint32_t LARGEST_DISTINCT_SEED = 2147483646;

// Everything that decides the next draws of the congruential generators: the
// mode, the shared seed and the shuffle table with its last output. The C
// library generator's state is hidden inside rand() and is not part of it.
struct RandomState {
    static constexpr int SHUFFLE_TABLE_SIZE = 32;
    std::uint8_t Mode = 0;
    std::int32_t Seed = 0;
    std::array<std::int32_t, SHUFFLE_TABLE_SIZE> ShuffleTable{};
    std::int32_t ShuffleOutput = 0; // 0: the table is filled at the next shuffled draw
};

class CRandomStream {
public:
    // Selects the generator of UniformReal: 0 the masked generator, 1 the
    // shuffled generator, any other value the C library generator.
    std::uint8_t Mode = 0;

    // Park-Miller generator whose stored seed is kept XOR-masked between
    // calls. The value is rounded to single precision, so it can be exactly
    // 1.0. Inline: the mechanics step draws millions per second.
    float MaskedUniform()
    {
        constexpr std::int32_t kOutputMask = 123459876;
        constexpr float kMaskedScale = 4.656612873077393e-10f; // 2^-31, exact in float
        seed_ = SchrageStep(seed_);
        const float u = static_cast<float>(seed_) * kMaskedScale;
        seed_ ^= kOutputMask;
        return u;
    }
    // Park-Miller generator with a Bays-Durham shuffle table, in [0, 1].
    double ShuffledUniform();

    // A uniform double in [0, 1] from the generator chosen by Mode.
    double UniformReal()
    {
        switch (Mode) {
        case 0:
            return MaskedUniform();
        case 1:
            return ShuffledUniform();
        default:
            return LibraryUniform();
        }
    }
    // a + (b - a) * u with u rounded to single precision.
    double UniformRange(double a, double b);
    // A uniform integer in [lo, hi]; lo when hi < lo.
    std::int32_t UniformInt(std::int32_t lo, std::int32_t hi);
    // floor(x) + 1 with probability equal to the fractional part of x, else
    // floor(x); the expected result is x.
    std::int32_t StochasticRound(double x);

    // The seed shared by both congruential generators.
    std::int32_t Seed() const { return seed_; }
    void SetSeed(std::int32_t seed) { seed_ = seed; }

    // Seeds the congruential generators (and rand) deterministically from v,
    // for reproducible runs and tests; returns the new seed.
    std::int32_t SeedWith(std::uint32_t v);
    // Seeds every generator from the clock and a stack address; returns the
    // new seed. Runs seeded this way are not reproducible.
    std::int32_t SeedFromClock();

    RandomState Capture() const;
    void Restore(const RandomState &state);

private:
    // Fills the shuffle table from a fresh positive seed.
    void FillShuffleTable();
    // Seeds both congruential generators from v and draws once from each.
    std::int32_t SeedGenerators(std::uint32_t v);

    std::int32_t seed_ = 826364705;
    std::array<std::int32_t, RandomState::SHUFFLE_TABLE_SIZE> shuffleTable_{};
    std::int32_t shuffleOutput_ = 0; // 0: the table is not yet filled
};

// A seed from the clock, as SeedFromClock draws it, for a world seeded later
// (also seeds rand from the clock).
std::int32_t FreshSeed();

// x to the power n by repeated multiplication; 1.0 when n <= 0.
double IntPower(double x, int n);
