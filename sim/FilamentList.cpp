#include "FilamentList.h"

#include <functional>

void CFilamentList::clear()
{
    blocks_.clear();
    slotCount_ = 0;
    emptySlots_ = 0;
    live_.clear();
    countedMonomers_.clear();
    countedFreeBarbed_.clear();
    alive_.Clear();
    freeBarbed_.Clear();
    monomers_.Clear();
}

CSolidFilament &CFilamentList::Append(const CSolidFilament &filament)
{
    if (slotCount_ == blocks_.size() * kBlockSize)
        blocks_.push_back(std::make_unique<CSolidFilament[]>(kBlockSize));
    const std::size_t slot = slotCount_++;
    CSolidFilament &stored = AtSlot(slot);
    stored = filament;
    live_.push_back(1);
    countedMonomers_.push_back(std::int32_t(MonomerCount(stored)));
    countedFreeBarbed_.push_back(std::uint8_t(FreeBarbedCount(stored)));
    alive_.Append(1);
    freeBarbed_.Append(countedFreeBarbed_.back());
    monomers_.Append(countedMonomers_.back());
    return stored;
}

bool CFilamentList::Remove(const CSolidFilament &f)
{
    const std::size_t slot = SlotOf(f);
    if (slot == slotCount_)
        return false;
    alive_.Add(slot, -1);
    freeBarbed_.Add(slot, -std::int64_t(countedFreeBarbed_[slot]));
    monomers_.Add(slot, -std::int64_t(countedMonomers_[slot]));
    live_[slot] = 0;
    countedFreeBarbed_[slot] = 0;
    countedMonomers_[slot] = 0;
    AtSlot(slot) = CSolidFilament();
    ++emptySlots_;
    if (emptySlots_ >= kMinEmptySlotsToCompact && emptySlots_ * 2 > slotCount_)
        Compact();
    return true;
}

void CFilamentList::Refresh(const CSolidFilament &f)
{
    const std::size_t slot = SlotOf(f);
    if (slot == slotCount_)
        return;
    const std::int64_t monomers = MonomerCount(f);
    const std::int64_t freeBarbed = FreeBarbedCount(f);
    monomers_.Add(slot, monomers - countedMonomers_[slot]);
    freeBarbed_.Add(slot, freeBarbed - countedFreeBarbed_[slot]);
    countedMonomers_[slot] = std::int32_t(monomers);
    countedFreeBarbed_[slot] = std::uint8_t(freeBarbed);
}

void CFilamentList::CompactIfSparse()
{
    if (emptySlots_ * 8 > slotCount_)
        Compact();
}

CSolidFilament *CFilamentList::FreeBarbed(std::int64_t i)
{
    const std::size_t slot = freeBarbed_.FindByRank(i);
    return slot < slotCount_ ? &AtSlot(slot) : nullptr;
}

CFilamentList::MonomerSite CFilamentList::OfMonomer(std::int64_t i)
{
    const std::size_t slot = monomers_.FindByRank(i < 0 ? 0 : i);
    if (slot == slotCount_)
        return {};
    const std::int64_t position = i < 0 ? i : i - monomers_.PrefixSum(slot);
    return {&AtSlot(slot), std::int32_t(position)};
}

std::size_t CFilamentList::NextLiveSlot(std::size_t slot) const
{
    while (slot < slotCount_ && !live_[slot])
        ++slot;
    return slot;
}

std::size_t CFilamentList::SlotOf(const CSolidFilament &f) const
{
    const std::less<const CSolidFilament *> before;
    for (std::size_t block = 0; block < blocks_.size(); ++block) {
        const CSolidFilament *first = blocks_[block].get();
        if (!before(&f, first) && before(&f, first + kBlockSize)) {
            const std::size_t slot = block * kBlockSize + std::size_t(&f - first);
            return slot < slotCount_ && live_[slot] ? slot : slotCount_;
        }
    }
    return slotCount_;
}

void CFilamentList::Compact()
{
    std::size_t kept = 0;
    for (std::size_t slot = 0; slot < slotCount_; ++slot) {
        if (!live_[slot])
            continue;
        if (kept != slot)
            AtSlot(kept) = AtSlot(slot);
        countedMonomers_[kept] = countedMonomers_[slot];
        countedFreeBarbed_[kept] = countedFreeBarbed_[slot];
        ++kept;
    }
    slotCount_ = kept;
    emptySlots_ = 0;
    blocks_.resize((kept + kBlockSize - 1) / kBlockSize);
    live_.assign(kept, 1);
    countedMonomers_.resize(kept);
    countedFreeBarbed_.resize(kept);
    alive_.Assign(std::vector<std::int64_t>(kept, 1));
    freeBarbed_.Assign(std::vector<std::int64_t>(countedFreeBarbed_.begin(), countedFreeBarbed_.end()));
    monomers_.Assign(std::vector<std::int64_t>(countedMonomers_.begin(), countedMonomers_.end()));
}
