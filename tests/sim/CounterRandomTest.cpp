#include "CounterRandom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <utility>
#include <vector>

// The published known-answer vectors of Philox4x32-10 (counter, key -> block).
TEST(CounterRandom, PhiloxGivesThePublishedBlocks)
{
    struct Case {
        CounterWords Counter;
        std::uint32_t Key0, Key1;
        CounterWords Block;
    };
    const Case cases[] = {
        {{0, 0, 0, 0}, 0, 0, {0x6627e8d5, 0xe169c58d, 0xbc57ac4c, 0x9b00dbd8}},
        {{0xffffffff, 0xffffffff, 0xffffffff, 0xffffffff},
         0xffffffff,
         0xffffffff,
         {0x408f276d, 0x41c83b0e, 0xa20bc7c6, 0x6d5451fd}},
        {{0x243f6a88, 0x85a308d3, 0x13198a2e, 0x03707344},
         0xa4093822,
         0x299f31d0,
         {0xd16cfe09, 0x94fdcceb, 0x5001e420, 0x24126ea1}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CounterBlock(static_cast<CounterStreamTag>(c.Key0), c.Key1, c.Counter), c.Block);
}

TEST(CounterRandom, UniformsLieInTheHalfOpenUnitIntervalWithTheRightMean)
{
    const int n = 200000;
    double sum = 0.0;
    for (int i = 0; i < n; ++i)
        for (const double u : CounterUniforms(CounterStreamTag::MechanicsNoise, 7, CounterOf(i, 3, 0))) {
            ASSERT_GT(u, 0.0);
            ASSERT_LE(u, 1.0);
            sum += u;
        }
    // Mean 1/2 + 2^-54, standard deviation 1/sqrt(12) over 2n values.
    const double z = (sum / (2.0 * n) - 0.5) / (1.0 / std::sqrt(12.0 * 2.0 * n));
    EXPECT_LT(std::abs(z), 3.0);
}

// The 53 bits m of two words give exactly (m + 1) / 2^53: the extremes, the
// parts' edges and random words against the integer that holds m + 1.
TEST(CounterRandom, WordsGiveTheirFiftyThreeBitsUniform)
{
    std::vector<std::pair<std::uint32_t, std::uint32_t>> words = {
        {0, 0}, {0, 0x7ff}, {0, 0x800}, {1, 0}, {0xffffffff, 0xffffffff}, {0xffffffff, 0xfffff7ff}};
    std::mt19937 random(5);
    for (int i = 0; i < 1000; ++i)
        words.emplace_back(random(), random());
    for (const auto &[high, low] : words) {
        const std::uint64_t units = (std::uint64_t(high) << 21) + (low >> 11) + 1; // at most 2^53
        EXPECT_EQ(UniformFromWords(high, low), double(units) * 0x1p-53) << high << " " << low;
    }
    EXPECT_EQ(UniformFromWords(0xffffffff, 0xffffffff), 1.0);
    EXPECT_EQ(UniformFromWords(0, 0), 0x1p-53);
}

TEST(CounterRandom, TagsKeysAndCountersGiveDifferentBlocks)
{
    const CounterWords counter = CounterOf(std::uint64_t(1) << 32, 5, 9);
    const CounterWords base = CounterBlock(CounterStreamTag::TauLeap, 1, counter);
    EXPECT_NE(base, CounterBlock(CounterStreamTag::MechanicsNoise, 1, counter));
    EXPECT_NE(base, CounterBlock(CounterStreamTag::TauLeap, 2, counter));
    EXPECT_NE(base, CounterBlock(CounterStreamTag::TauLeap, 1, CounterOf(0, 5, 9)));
}

// Sixteen counters and their draws at once (in vectors where the processor
// has them) are the blocks one at a time, for both tags and counters of
// every size; the counters' own last word does not count.
TEST(CounterRandom, BlocksOfDrawsInColumnsAreTheSingleBlocks)
{
    std::mt19937 random(17);
    for (const CounterStreamTag tag : {CounterStreamTag::MechanicsNoise, CounterStreamTag::TauLeap}) {
        for (int round = 0; round < 50; ++round) {
            const std::uint32_t key = random();
            CounterColumns counters;
            for (auto &word : counters)
                for (std::uint32_t &lane : word)
                    lane = round % 2 ? random() : random() % 4;
            DrawBlocks blocks, oneByOne;
            CounterBlocksOfDraws(tag, key, counters, blocks);
            // The path of processors without AVX2, on any processor.
            CounterBlocksOneByOne(tag, key, counters, oneByOne);
            ASSERT_EQ(oneByOne, blocks) << "round " << round;
            for (std::uint32_t draw = 0; draw < kCounterDraws; ++draw) {
                for (std::size_t i = 0; i < kCounterLanes; ++i) {
                    const CounterWords counter = {counters[0][i], counters[1][i], counters[2][i], draw};
                    const CounterWords expected = CounterBlock(tag, key, counter);
                    for (std::size_t w = 0; w < 4; ++w)
                        ASSERT_EQ(blocks[draw][w][i], expected[w])
                            << "draw " << draw << " lane " << i << " word " << w;
                }
            }
        }
    }
}
