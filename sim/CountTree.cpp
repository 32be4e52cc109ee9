#include "CountTree.h"

#include <algorithm>
#include <array>

namespace {

// kFanout zeros, then kFanout all-ones masks: from entry kFanout - c on,
// the masks pick the sums of children c and after.
constexpr auto kFromChildMask = [] {
    std::array<std::int32_t, 2 * CCountTree::kFanout> masks{};
    for (std::size_t j = CCountTree::kFanout; j < masks.size(); ++j)
        masks[j] = -1;
    return masks;
}();

} // namespace

void CCountTree::Clear()
{
    levels_.assign(1, std::vector<Node>(1));
    size_ = 0;
}

void CCountTree::Assign(const std::vector<std::int32_t> &counts)
{
    // Level by level from the leaves, in O(n): the children of the leaves
    // are the slots, those of a higher level the nodes below it; the first
    // level of one node is the root.
    size_ = counts.size();
    levels_.clear();
    std::vector<std::int32_t> children = counts;
    do {
        const std::size_t nodeCount = std::max<std::size_t>(1, (children.size() + kFanout - 1) / kFanout);
        std::vector<Node> &nodes = levels_.emplace_back(nodeCount);
        std::vector<std::int32_t> totals(nodeCount);
        for (std::size_t child = 0; child < nodeCount * kFanout; ++child) {
            const std::size_t node = child / kFanout;
            totals[node] += child < children.size() ? children[child] : 0;
            nodes[node].Sums[child % kFanout] = totals[node];
        }
        children = std::move(totals);
    } while (children.size() > 1);
}

void CCountTree::Append(std::int32_t count)
{
    const std::size_t slot = size_;
    if (slot >> (kFanoutBits * levels_.size()) != 0) {
        // A full tree becomes child 0 of a new root.
        Node root;
        for (std::int32_t &sum : root.Sums)
            sum = std::int32_t(Total());
        levels_.push_back({root});
    }
    for (std::size_t level = 0; level < levels_.size(); ++level)
        if (slot >> (kFanoutBits * (level + 1)) == levels_[level].size())
            levels_[level].emplace_back();
    ++size_;
    Add(slot, count);
}

void CCountTree::Add(std::size_t slot, std::int32_t delta)
{
    for (std::size_t level = 0; level < levels_.size(); ++level) {
        Node &node = levels_[level][slot >> (kFanoutBits * (level + 1))];
        const std::size_t child = (slot >> (kFanoutBits * level)) % kFanout;
        // Masked rather than branched, and kept a loop (GCC unrolls it fully
        // before it could vectorise it otherwise), so that the compiler adds
        // to four sums at once.
        const std::int32_t *fromChild = kFromChildMask.data() + kFanout - child;
#pragma GCC unroll 1
        for (std::size_t j = 0; j < kFanout; ++j)
            node.Sums[j] += fromChild[j] & delta;
    }
}

std::int32_t CCountTree::Count(std::size_t slot) const
{
    const Node &leaf = levels_[0][slot / kFanout];
    const std::size_t child = slot % kFanout;
    return leaf.Sums[child] - (child > 0 ? leaf.Sums[child - 1] : 0);
}

CCountTree::Unit CCountTree::FindByRank(std::int64_t rank) const
{
    if (rank < 0 || rank >= Total())
        return {size_, 0};
    std::int32_t within = std::int32_t(rank);
    std::size_t index = 0;
    for (std::size_t level = levels_.size(); level-- > 0;) {
        const Node &node = levels_[level][index];
        // The children whose running sums do not exceed the rank come before
        // the one that holds it; counted four at a time, without branches,
        // which would go either way at random.
        std::int32_t child = 0;
#pragma GCC unroll 1
        for (std::size_t j = 0; j < kFanout; ++j)
            child += node.Sums[j] <= within ? 1 : 0;
        if (child > 0)
            within -= node.Sums[child - 1];
        index = index * kFanout + std::size_t(child);
    }
    return {index, within};
}
