#include "CounterRandom.h"

#include <Random123/philox.h>

std::uint32_t CounterKeyOf(const RandomState &state)
{
    // The seed is the part of the state that every draw moves.
    return static_cast<std::uint32_t>(state.Seed);
}

CounterWords CounterBlock(CounterStreamTag tag, std::uint32_t key, const CounterWords &counter)
{
    const r123::Philox4x32 philox;
    const r123::Philox4x32::key_type k = {{static_cast<std::uint32_t>(tag), key}};
    const r123::Philox4x32::ctr_type c = {{counter[0], counter[1], counter[2], counter[3]}};
    const r123::Philox4x32::ctr_type out = philox(c, k);
    return {out[0], out[1], out[2], out[3]};
}

namespace {

// (m + 1) / 2^53 for the 53 bits m of two words: in (0, 1], never 0.
double UniformFrom(std::uint32_t high, std::uint32_t low)
{
    const std::uint64_t bits = (std::uint64_t(high) << 21) ^ (std::uint64_t(low) >> 11);
    constexpr double kTwoToMinus53 = 1.0 / 9007199254740992.0;
    return double(bits + 1) * kTwoToMinus53;
}

} // namespace

std::array<double, 2> CounterUniforms(CounterStreamTag tag, std::uint32_t key, const CounterWords &counter)
{
    const CounterWords w = CounterBlock(tag, key, counter);
    return {UniformFrom(w[0], w[1]), UniformFrom(w[2], w[3])};
}
