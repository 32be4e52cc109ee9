#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Prefix sums of non-negative counts over a growing array of slots, with
// updates, appends and rank queries in O(log n).
class CFenwickTree {
public:
    std::size_t Size() const { return tree_.size(); }
    void Clear() { tree_.clear(); }
    // Replaces every count at once, in O(n).
    void Assign(const std::vector<std::int64_t> &counts);
    // A new last slot holding `count`.
    void Append(std::int64_t count);
    void Add(std::size_t slot, std::int64_t delta);
    // The sum of the counts of slots [0, end).
    std::int64_t PrefixSum(std::size_t end) const;
    std::int64_t Total() const { return PrefixSum(tree_.size()); }
    // The slot holding unit number `rank` (from 0) when every slot holds as
    // many units as its count: the first slot whose prefix sum including it
    // exceeds rank. Size() when rank is not below the total.
    std::size_t FindByRank(std::int64_t rank) const;

private:
    // tree_[i - 1] holds the sum of the slots (i - lowbit(i), i].
    std::vector<std::int64_t> tree_;
};
