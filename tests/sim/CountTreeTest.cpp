#include "CountTree.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Every unit of every slot, as a walk over the counts finds it.
void ExpectRanksAsTheWalk(const CCountTree &tree, const std::vector<std::int32_t> &counts)
{
    std::int64_t rank = 0;
    for (std::size_t slot = 0; slot < counts.size(); ++slot) {
        EXPECT_EQ(tree.Count(slot), counts[slot]);
        for (std::int32_t within = 0; within < counts[slot]; ++within, ++rank) {
            const CCountTree::Unit unit = tree.FindByRank(rank);
            ASSERT_EQ(unit.Slot, slot) << rank;
            EXPECT_EQ(unit.Within, within);
        }
    }
    EXPECT_EQ(tree.Total(), rank);
    EXPECT_EQ(tree.FindByRank(rank).Slot, counts.size());
    EXPECT_EQ(tree.FindByRank(-1).Slot, counts.size());
}

// Sizes on both sides of a full node and of full trees of two and three
// levels, grown slot by slot or built at once; every node ends in an empty
// slot.
TEST(CountTree, RanksAsTheWalkAcrossNodesAndGrowth)
{
    for (const std::size_t size : {0, 1, 16, 17, 256, 257, 4097}) {
        CCountTree tree;
        std::vector<std::int32_t> counts;
        for (std::size_t slot = 0; slot < size; ++slot) {
            counts.push_back(slot % 16 == 15 ? 0 : std::int32_t(slot % 3));
            tree.Append(counts.back());
        }
        ExpectRanksAsTheWalk(tree, counts);
        if (size > 0) {
            tree.Add(size - 1, 5);
            counts.back() += 5;
            tree.Add(0, 2);
            counts.front() += 2;
            ExpectRanksAsTheWalk(tree, counts);
        }
        // Built at once, then grown by one slot.
        CCountTree assigned;
        assigned.Assign(counts);
        counts.push_back(4);
        assigned.Append(4);
        ExpectRanksAsTheWalk(assigned, counts);
    }
}

} // namespace
