#pragma once

#include "CountTree.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Flags over a growing array of slots, with the i-th set flag found in
// O(log n): 64 flags to a word and a count tree over the words' set flags,
// so that a rank query descends a tree 64 times smaller and then selects the
// bit within one word.
class CFlagTree {
public:
    std::size_t Size() const { return size_; }
    void Clear();
    // Replaces every flag at once.
    void Assign(const std::vector<bool> &flags);
    // A new last slot holding `flag`.
    void Append(bool flag);
    void Set(std::size_t slot, bool flag);
    bool Test(std::size_t slot) const { return (words_[slot / kWordBits] >> (slot % kWordBits) & 1) != 0; }
    std::int64_t Total() const { return wordCounts_.Total(); }
    // The slot of set flag number `rank` (from 0); Size() when rank is
    // negative or not below the total.
    std::size_t FindByRank(std::int64_t rank) const;

private:
    static constexpr std::size_t kWordBits = 64;

    std::vector<std::uint64_t> words_;
    // The set flags of each word.
    CCountTree wordCounts_;
    std::size_t size_ = 0;
};
