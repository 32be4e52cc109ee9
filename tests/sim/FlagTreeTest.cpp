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
            EXPECT_EQ(tree.FindByRank(rank++), slot);
        }
    }
    EXPECT_EQ(tree.Total(), rank);
    EXPECT_EQ(tree.FindByRank(rank), flags.size());
    EXPECT_EQ(tree.FindByRank(-1), flags.size());
}

// Every flag; the last bit of each word alone; an empty second word. Grown
// flag by flag past a word or built at once, then the ends flipped.
TEST(FlagTree, RanksAsTheWalkAcrossWords)
{
    const std::vector<bool (*)(std::size_t)> patterns = {
        [](std::size_t) { return true; }, [](std::size_t slot) { return slot % 64 == 63; },
        [](std::size_t slot) { return slot / 64 != 1 && slot % 3 != 1; }};
    for (const auto pattern : patterns) {
        for (const std::size_t size : {0, 1, 63, 64, 65, 200}) {
            std::vector<bool> flags;
            CFlagTree grown, assigned;
            for (std::size_t slot = 0; slot < size; ++slot) {
                flags.push_back(pattern(slot));
                grown.Append(flags.back());
            }
            assigned.Assign(flags);
            ExpectRanksAsTheWalk(grown, flags);
            ExpectRanksAsTheWalk(assigned, flags);
            if (size < 2)
                continue;
            for (const std::size_t end : {std::size_t(0), size - 1}) {
                flags[end] = !flags[end];
                assigned.Set(end, flags[end]);
            }
            ExpectRanksAsTheWalk(assigned, flags);
        }
    }
}

} // namespace
