#pragma once

#include "Random.h"

#include <Random123/philox.h>

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

// Counter-based draws (Philox4x32-10): each block of random bits is a pure
// function of a key and a counter, so a draw does not depend on which draws
// came before it, on the thread that makes it or on the order of the bodies.
// Models and methods that need draws in no fixed order take them from here;
// the specified chemistry and mechanics keep CRandomStream. The block and the
// uniforms are inline so that a loop over many counters vectorises.

// Which user a block belongs to; part of the key, so the users never share a
// block.
enum class CounterStreamTag : std::uint32_t {
    MechanicsNoise = 0x4e6f6973, // "Nois"
    TauLeap = 0x5461754c,        // "TauL"
};

using CounterWords = std::array<std::uint32_t, 4>;

// The key of a world's counter-based draws, read off the state of its random
// stream without drawing from it.
std::uint32_t CounterKeyOf(const RandomState &state);

// The block for (tag, key, counter): four independent uniform 32-bit words.
inline CounterWords CounterBlock(CounterStreamTag tag, std::uint32_t key, const CounterWords &counter)
{
    const r123::Philox4x32 philox;
    const r123::Philox4x32::key_type k = {{static_cast<std::uint32_t>(tag), key}};
    const r123::Philox4x32::ctr_type c = {{counter[0], counter[1], counter[2], counter[3]}};
    const r123::Philox4x32::ctr_type out = philox(c, k);
    return {out[0], out[1], out[2], out[3]};
}

// Blocks computed sixteen at a time, in columns: words[w][i] is word w of
// block i.
inline constexpr std::size_t kCounterLanes = 16;
using CounterColumns = std::array<std::array<std::uint32_t, kCounterLanes>, 4>;

// Each counter drawn several times: the draw is its last word.
inline constexpr std::uint32_t kCounterDraws = 3;
using DrawBlocks = std::array<CounterColumns, kCounterDraws>;

// CounterBlock of each of the counters with its last word replaced by the
// draw d, for every draw: blocks[d][w][i] is word w of block i of draw d.
// With AVX2, eight at a time in each of two interleaved chains, where the
// processor has it.
void CounterBlocksOfDraws(CounterStreamTag tag, std::uint32_t key, const CounterColumns &counters,
                          DrawBlocks &blocks);
// The same, one block after another: the path of processors without AVX2,
// which gives the same bits.
void CounterBlocksOneByOne(CounterStreamTag tag, std::uint32_t key, const CounterColumns &counters,
                           DrawBlocks &blocks);

// (m + 1) / 2^53 for the 53 bits m = high 2^21 + (low >> 11) of two words:
// in (0, 1], never 0. Each part is converted exactly by integer operations
// alone: a word under the exponent of 2^20 counts in units of 2^-32, one
// under the exponent of 1/2 in units of 2^-53; the sum is exact.
inline double UniformFromWords(std::uint32_t high, std::uint32_t low)
{
    constexpr double kTwoTo20 = 0x1p20, kHalf = 0.5;
    const double highPart = std::bit_cast<double>(std::bit_cast<std::uint64_t>(kTwoTo20) | high) - kTwoTo20;
    const double lowPart =
        std::bit_cast<double>(std::bit_cast<std::uint64_t>(kHalf) | std::uint64_t((low >> 11) + 1)) - kHalf;
    return highPart + lowPart;
}

// Two uniform doubles in (0, 1] built from 53 bits each, never 0, so that
// a logarithm of them is finite.
inline std::array<double, 2> CounterUniforms(CounterStreamTag tag, std::uint32_t key,
                                             const CounterWords &counter)
{
    const CounterWords w = CounterBlock(tag, key, counter);
    return {UniformFromWords(w[0], w[1]), UniformFromWords(w[2], w[3])};
}

// Splits a 64-bit count (a step or leap number) over two counter words.
inline CounterWords CounterOf(std::uint64_t count, std::uint32_t third, std::uint32_t fourth)
{
    return {std::uint32_t(count), std::uint32_t(count >> 32), third, fourth};
}
