#include "CounterRandom.h"

#include <immintrin.h>

std::uint32_t CounterKeyOf(const RandomState &state)
{
    // The seed is the part of the state that every draw moves.
    return static_cast<std::uint32_t>(state.Seed);
}

namespace {

void CounterBlocksOneByOne(CounterStreamTag tag, std::uint32_t key, const CounterColumns &counters,
                           CounterColumns &blocks)
{
    for (std::size_t i = 0; i < kCounterLanes; ++i) {
        const CounterWords block =
            CounterBlock(tag, key, {counters[0][i], counters[1][i], counters[2][i], counters[3][i]});
        for (std::size_t w = 0; w < 4; ++w)
            blocks[w][i] = block[w];
    }
}

// The high and low words of the products m x of the eight words x.
[[gnu::target("avx2")]] inline void MultiplyHighLow(__m256i x, __m256i m, __m256i &high, __m256i &low)
{
    // The even words and the odd ones, each multiplied into 64 bits.
    const __m256i even = _mm256_mul_epu32(x, m);
    const __m256i odd = _mm256_mul_epu32(_mm256_srli_epi64(x, 32), m);
    constexpr int kOddWords = 0b10101010;
    high = _mm256_blend_epi32(_mm256_srli_epi64(even, 32), odd, kOddWords);
    low = _mm256_blend_epi32(even, _mm256_slli_epi64(odd, 32), kOddWords);
}

// Philox4x32 with word w of eight counters in one register, two such
// groups at a time: the rounds of Random123's philox4x32, with its
// multipliers and key increments.
[[gnu::target("avx2")]] void CounterBlocksAvx2(CounterStreamTag tag, std::uint32_t key,
                                               const CounterColumns &counters, CounterColumns &blocks)
{
    constexpr std::size_t kGroups = kCounterLanes / 8;
    __m256i c[kGroups][4];
    for (std::size_t g = 0; g < kGroups; ++g)
        for (std::size_t w = 0; w < 4; ++w)
            c[g][w] = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(counters[w].data() + 8 * g));
    const __m256i m0 = _mm256_set1_epi64x(PHILOX_M4x32_0);
    const __m256i m1 = _mm256_set1_epi64x(PHILOX_M4x32_1);
    std::uint32_t k0 = static_cast<std::uint32_t>(tag), k1 = key;
    for (unsigned round = 0; round < r123::Philox4x32::rounds; ++round) {
        if (round > 0) {
            k0 += PHILOX_W32_0;
            k1 += PHILOX_W32_1;
        }
        const __m256i key0 = _mm256_set1_epi32(int(k0)), key1 = _mm256_set1_epi32(int(k1));
        for (auto &group : c) {
            __m256i high0, low0, high1, low1;
            MultiplyHighLow(group[0], m0, high0, low0);
            MultiplyHighLow(group[2], m1, high1, low1);
            group[0] = _mm256_xor_si256(_mm256_xor_si256(high1, group[1]), key0);
            group[1] = low1;
            group[2] = _mm256_xor_si256(_mm256_xor_si256(high0, group[3]), key1);
            group[3] = low0;
        }
    }
    for (std::size_t g = 0; g < kGroups; ++g)
        for (std::size_t w = 0; w < 4; ++w)
            _mm256_storeu_si256(reinterpret_cast<__m256i *>(blocks[w].data() + 8 * g), c[g][w]);
}

} // namespace

void CounterBlocks(CounterStreamTag tag, std::uint32_t key, const CounterColumns &counters,
                   CounterColumns &blocks)
{
    static const bool hasAvx2 = __builtin_cpu_supports("avx2");
    if (hasAvx2)
        CounterBlocksAvx2(tag, key, counters, blocks);
    else
        CounterBlocksOneByOne(tag, key, counters, blocks);
}
