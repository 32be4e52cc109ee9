#include "FlagTree.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

void ExpectRanksAsTheWalk(const CFlagTree &tree, const std::vector<bool> &flags)
{
    std::int64_t rank = 0;
    for (std::size_t slot = 0; slot < flags.size(); ++slot) {
        ASSERT_EQ(tree.Test(slot), flags[slot]) << slot;
        if (flags[slot]) {
            ASSERT_EQ(tree.FindByRank(rank++), slot);
        }
    }
    EXPECT_EQ(tree.FindByRank(rank), flags.size());
    EXPECT_EQ(tree.FindByRank(-1), flags.size());
}

// Every flag, the last bit of each word alone, an empty second word. Sizes on
// both sides of a word and of a full count tree over the words of one and two
// levels (16 and 256 words); grown flag by flag, or built at once and then
// grown by one, and the last flag flipped.
TEST(FlagTree, RanksAsTheWalkAcrossWordsAndGrowth)
{
    const std::vector<bool (*)(std::size_t)> patterns = {
        [](std::size_t) { return true; }, [](std::size_t i) { return i % 64 == 63; },
        [](std::size_t i) { return i / 64 != 1 && i % 3 != 1; }};
    for (const auto pattern : patterns) {
        for (const std::size_t size : {0, 1, 63, 64, 65, 1024, 1025, 16384, 16385}) {
            std::vector<bool> flags;
            CFlagTree grown, assigned;
            for (std::size_t slot = 0; slot < size; ++slot) {
                flags.push_back(pattern(slot));
                grown.Append(flags.back());
            }
            ExpectRanksAsTheWalk(grown, flags);
            assigned.Assign(flags);
            assigned.Append(true);
            flags.push_back(true);
            ExpectRanksAsTheWalk(assigned, flags);
            assigned.Set(size, false);
            flags.back() = false;
            ExpectRanksAsTheWalk(assigned, flags);
        }
    }
}

} // namespace
