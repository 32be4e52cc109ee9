#include "FenwickTree.h"

namespace {

std::size_t LowestBit(std::size_t i)
{
    return i & (~i + 1);
}

} // namespace

void CFenwickTree::Assign(const std::vector<std::int64_t> &counts)
{
    tree_ = counts;
    for (std::size_t i = 1; i <= tree_.size(); ++i) {
        const std::size_t parent = i + LowestBit(i);
        if (parent <= tree_.size())
            tree_[parent - 1] += tree_[i - 1];
    }
}

void CFenwickTree::Append(std::int64_t count)
{
    const std::size_t i = tree_.size() + 1;
    // The new node covers (i - lowbit(i), i]: its own count and the slots
    // before it in that range.
    tree_.push_back(count + PrefixSum(i - 1) - PrefixSum(i - LowestBit(i)));
}

void CFenwickTree::Add(std::size_t slot, std::int64_t delta)
{
    for (std::size_t i = slot + 1; i <= tree_.size(); i += LowestBit(i))
        tree_[i - 1] += delta;
}

std::int64_t CFenwickTree::PrefixSum(std::size_t end) const
{
    std::int64_t sum = 0;
    for (std::size_t i = end; i > 0; i -= LowestBit(i))
        sum += tree_[i - 1];
    return sum;
}

std::size_t CFenwickTree::FindByRank(std::int64_t rank) const
{
    if (rank < 0)
        return tree_.size();
    std::size_t step = 1;
    while (step * 2 <= tree_.size())
        step *= 2;
    // Descend from the largest power of two: `position` ends as the number
    // of slots whose prefix sum does not exceed rank.
    std::size_t position = 0;
    for (; step > 0; step /= 2) {
        const std::size_t next = position + step;
        if (next > tree_.size())
            continue;
        // Selects instead of branching: which way the descent goes is
        // random, so a branch would be mispredicted half of the time.
        const std::int64_t count = tree_[next - 1];
        const bool right = count <= rank;
        position = right ? next : position;
        rank -= right ? count : 0;
    }
    return position;
}
