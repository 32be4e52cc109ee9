#include "FlagTree.h"

#include <array>
#include <bit>

namespace {

// kSelectInByte[byte][k]: the position of set bit number k (from 0) of the
// byte; 8 where the byte has no such bit.
constexpr auto kSelectInByte = [] {
    std::array<std::array<std::uint8_t, 8>, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        std::size_t k = 0;
        for (std::uint8_t bit = 0; bit < 8; ++bit)
            if (byte >> bit & 1)
                table[byte][k++] = bit;
        for (; k < 8; ++k)
            table[byte][k] = 8;
    }
    return table;
}();

// The position of set bit number k (from 0) of a word that has more than k
// set bits. Eight bytes at once, in portable arithmetic (no population-count
// or bit-deposit instructions are assumed): the byte that holds the bit from
// the running counts of set bits over the bytes, then a table within it.
unsigned SelectInWord(std::uint64_t word, unsigned k)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101;
    constexpr std::uint64_t kHighs = 0x8080808080808080;
    std::uint64_t perByte = word - (word >> 1 & 0x5555555555555555);
    perByte = (perByte & 0x3333333333333333) + (perByte >> 2 & 0x3333333333333333);
    perByte = (perByte + (perByte >> 4)) & 0x0F0F0F0F0F0F0F0F;
    // Byte b: the set bits of bytes 0 to b (at most 64, so no carries).
    const std::uint64_t running = perByte * kOnes;
    // The high bit of byte b is set where that running count does not exceed
    // k: 0x80 + k - count stays within a byte for counts up to 64 and k up
    // to 63. The bytes before the one holding the bit are exactly those.
    const std::uint64_t notAbove = ((kHighs | k * kOnes) - running) & kHighs;
    const unsigned byte = unsigned((notAbove >> 7) * kOnes >> 56);
    const unsigned before = unsigned((running << 8) >> (8 * byte) & 0xFF);
    return 8 * byte + kSelectInByte[word >> (8 * byte) & 0xFF][k - before];
}

} // namespace

void CFlagTree::Clear()
{
    words_.clear();
    wordCounts_.Clear();
    size_ = 0;
}

void CFlagTree::Assign(const std::vector<bool> &flags)
{
    words_.assign((flags.size() + kWordBits - 1) / kWordBits, 0);
    for (std::size_t slot = 0; slot < flags.size(); ++slot)
        words_[slot / kWordBits] |= std::uint64_t(flags[slot]) << (slot % kWordBits);
    std::vector<std::int32_t> counts;
    for (const std::uint64_t word : words_)
        counts.push_back(std::popcount(word));
    wordCounts_.Assign(counts);
    size_ = flags.size();
}

void CFlagTree::Append(bool flag)
{
    if (size_ % kWordBits == 0) {
        words_.push_back(0);
        wordCounts_.Append(0);
    }
    ++size_;
    Set(size_ - 1, flag);
}

void CFlagTree::Set(std::size_t slot, bool flag)
{
    if (Test(slot) == flag)
        return;
    words_[slot / kWordBits] ^= std::uint64_t(1) << (slot % kWordBits);
    wordCounts_.Add(slot / kWordBits, flag ? 1 : -1);
}

std::size_t CFlagTree::FindByRank(std::int64_t rank) const
{
    const CCountTree::Unit flag = wordCounts_.FindByRank(rank);
    if (flag.Slot == words_.size())
        return size_;
    return flag.Slot * kWordBits + SelectInWord(words_[flag.Slot], unsigned(flag.Within));
}
