#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Non-negative counts over a growing array of slots, with updates, appends
// and rank queries in O(log n) to the base 16. Each node has 16 children and
// holds their running sums in one cache line, so that a rank query compares
// sixteen sums at once per level: four levels for up to 65,536 slots, where a
// binary tree takes sixteen dependent steps. All counts together stay below
// 2^31.
class CCountTree {
public:
    // Unit number Within (from 0) of slot Slot.
    struct Unit {
        std::size_t Slot = 0;
        std::int64_t Within = 0;
    };

    CCountTree() { Clear(); }
    std::size_t Size() const { return size_; }
    void Clear();
    // Replaces every count at once.
    void Assign(const std::vector<std::int32_t> &counts);
    // A new last slot holding `count`.
    void Append(std::int32_t count);
    void Add(std::size_t slot, std::int32_t delta);
    std::int32_t Count(std::size_t slot) const;
    std::int64_t Total() const { return levels_.back()[0].Sums[kFanout - 1]; }
    // Unit number `rank` (from 0) when every slot holds as many units as its
    // count: its slot is the first whose running sum including it exceeds
    // rank. Slot Size() when rank is negative or not below the total.
    Unit FindByRank(std::int64_t rank) const;

    static constexpr int kFanoutBits = 4;
    static constexpr std::size_t kFanout = std::size_t(1) << kFanoutBits;

private:
    struct alignas(64) Node {
        // Sums[j]: the counts of children 0 to j together; children beyond
        // the last slot count 0.
        std::int32_t Sums[kFanout] = {};
    };

    // levels_[0] holds the leaves, whose children are the slots; the last
    // level has the root alone.
    std::vector<std::vector<Node>> levels_;
    std::size_t size_ = 0;
};
