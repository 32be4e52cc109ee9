#include "CounterRandom.h"

#include <immintrin.h>

std::uint32_t CounterKeyOf(const RandomState &state)
{
    // The seed is the part of the state that every draw moves.
    return static_cast<std::uint32_t>(state.Seed);
}

void CounterBlocksOneByOne(CounterStreamTag tag, std::uint32_t key, const CounterColumns &counters,
                           DrawBlocks &blocks)
{
    for (std::uint32_t draw = 0; draw < kCounterDraws; ++draw) {
        for (std::size_t i = 0; i < kCounterLanes; ++i) {
            const CounterWords block =
                CounterBlock(tag, key, {counters[0][i], counters[1][i], counters[2][i], draw});
            for (std::size_t w = 0; w < 4; ++w)
                blocks[draw][w][i] = block[w];
        }
    }
}

namespace {

constexpr std::uint32_t kRounds = r123::Philox4x32::rounds;

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

// Word w of eight counters in one register; two such groups at a time.
constexpr std::size_t kGroups = kCounterLanes / 8;
using Group = __m256i[4];

// The keys of Random123's philox4x32 rounds, with its key increments.
struct RoundKeys {
    __m256i First[kRounds], Second[kRounds];

    [[gnu::target("avx2")]] RoundKeys(CounterStreamTag tag, std::uint32_t key)
    {
        std::uint32_t k0 = static_cast<std::uint32_t>(tag), k1 = key;
        for (std::uint32_t round = 0; round < kRounds; ++round) {
            First[round] = _mm256_set1_epi32(int(k0));
            Second[round] = _mm256_set1_epi32(int(k1));
            k0 += PHILOX_W32_0;
            k1 += PHILOX_W32_1;
        }
    }
};

// One round of Random123's philox4x32, with its multipliers.
[[gnu::target("avx2")]] inline void PhiloxRound(Group &c, __m256i key0, __m256i key1)
{
    __m256i high0, low0, high1, low1;
    MultiplyHighLow(c[0], _mm256_set1_epi64x(PHILOX_M4x32_0), high0, low0);
    MultiplyHighLow(c[2], _mm256_set1_epi64x(PHILOX_M4x32_1), high1, low1);
    c[0] = _mm256_xor_si256(_mm256_xor_si256(high1, c[1]), key0);
    c[1] = low1;
    c[2] = _mm256_xor_si256(_mm256_xor_si256(high0, c[3]), key1);
    c[3] = low0;
}

// The draw, the counter's last word, reaches only word 2 in the first round
// (by an exclusive or) and only the product of word 2 in the second: the
// first round and the second's other product are computed once, with draw
// 0, for all draws.
[[gnu::target("avx2")]] void CounterBlocksAvx2(CounterStreamTag tag, std::uint32_t key,
                                               const CounterColumns &counters, DrawBlocks &blocks)
{
    const RoundKeys keys(tag, key);
    Group first[kGroups];
    __m256i sharedHigh[kGroups], sharedLow[kGroups];
    for (std::size_t g = 0; g < kGroups; ++g) {
        for (std::size_t w = 0; w < 3; ++w)
            first[g][w] = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(counters[w].data() + 8 * g));
        first[g][3] = _mm256_setzero_si256();
        PhiloxRound(first[g], keys.First[0], keys.Second[0]);
        __m256i high0, low0;
        MultiplyHighLow(first[g][0], _mm256_set1_epi64x(PHILOX_M4x32_0), high0, low0);
        sharedHigh[g] = _mm256_xor_si256(_mm256_xor_si256(high0, first[g][3]), keys.Second[1]);
        sharedLow[g] = low0;
    }
    for (std::uint32_t draw = 0; draw < kCounterDraws; ++draw) {
        Group c[kGroups];
        for (std::size_t g = 0; g < kGroups; ++g) {
            __m256i high1, low1;
            MultiplyHighLow(_mm256_xor_si256(first[g][2], _mm256_set1_epi32(int(draw))),
                            _mm256_set1_epi64x(PHILOX_M4x32_1), high1, low1);
            c[g][0] = _mm256_xor_si256(_mm256_xor_si256(high1, first[g][1]), keys.First[1]);
            c[g][1] = low1;
            c[g][2] = sharedHigh[g];
            c[g][3] = sharedLow[g];
        }
        for (std::uint32_t round = 2; round < kRounds; ++round)
            for (Group &group : c)
                PhiloxRound(group, keys.First[round], keys.Second[round]);
        for (std::size_t g = 0; g < kGroups; ++g)
            for (std::size_t w = 0; w < 4; ++w)
                _mm256_storeu_si256(reinterpret_cast<__m256i *>(blocks[draw][w].data() + 8 * g), c[g][w]);
    }
}

} // namespace

void CounterBlocksOfDraws(CounterStreamTag tag, std::uint32_t key, const CounterColumns &counters,
                          DrawBlocks &blocks)
{
    static const bool hasAvx2 = __builtin_cpu_supports("avx2");
    if (hasAvx2)
        CounterBlocksAvx2(tag, key, counters, blocks);
    else
        CounterBlocksOneByOne(tag, key, counters, blocks);
}
