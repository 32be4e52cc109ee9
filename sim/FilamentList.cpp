#include "FilamentList.h"

#include <functional>
#include <limits>
#include <stdexcept>
#include <string>

void CFilamentList::clear()
{
    blocks_.clear();
    slotCount_ = 0;
    emptySlots_ = 0;
    nextId_ = kFirstFilamentId;
    alive_.Clear();
    freeBarbed_.Clear();
    freePointed_.Clear();
    bound_.Clear();
    monomers_.Clear();
    slotOfId_.clear();
}

CSolidFilament &CFilamentList::Append(const CSolidFilament &filament)
{
    // Past the last id the count wraps to the bacterium's 0.
    if (nextId_ < kFirstFilamentId)
        throw std::runtime_error("No filament id is left for a new filament: all " +
                                 std::to_string(std::numeric_limits<std::uint32_t>::max()) +
                                 " have been given (nextFilamentId of the world)");
    if (slotCount_ == blocks_.size() * kBlockSize)
        blocks_.push_back(std::make_unique<CSolidFilament[]>(kBlockSize));
    const std::size_t slot = slotCount_++;
    CSolidFilament &stored = AtSlot(slot);
    stored = filament;
    stored.Material = material_;
    stored.Id = nextId_++;
    alive_.Append(true);
    freeBarbed_.Append(stored.IsBarbedEndFree());
    freePointed_.Append(stored.IsPointedEndFree());
    bound_.Append(!stored.IsPointedEndFree());
    monomers_.Append(MonomerCount(stored));
    slotOfId_[stored.Id] = slot;
    return stored;
}

bool CFilamentList::Remove(const CSolidFilament &f)
{
    const std::size_t slot = SlotOf(f);
    if (slot == slotCount_)
        return false;
    alive_.Set(slot, false);
    freeBarbed_.Set(slot, false);
    freePointed_.Set(slot, false);
    bound_.Set(slot, false);
    monomers_.Add(slot, -monomers_.Count(slot));
    slotOfId_.erase(f.Id);
    // The slot keeps the removed filament's bytes: nothing reads an empty
    // slot, and clearing it would write ten cache lines.
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
    monomers_.Add(slot, MonomerCount(f) - monomers_.Count(slot));
    freeBarbed_.Set(slot, f.IsBarbedEndFree());
    // Branches are rare: the pointed-end trees change only when they must.
    if (freePointed_.Test(slot) != f.IsPointedEndFree()) {
        freePointed_.Set(slot, f.IsPointedEndFree());
        bound_.Set(slot, !f.IsPointedEndFree());
    }
}

void CFilamentList::IndexIds()
{
    slotOfId_.clear();
    for (std::size_t slot = 0; slot < slotCount_; ++slot)
        if (IsLive(slot))
            slotOfId_[AtSlot(slot).Id] = slot;
}

void CFilamentList::CompactIfSparse()
{
    if (emptySlots_ * 8 > slotCount_)
        Compact();
}

CSolidFilament *CFilamentList::FreeBarbed(std::int64_t i)
{
    const std::size_t slot = freeBarbed_.FindByRank(i);
    return slot < slotCount_ ? &Picked(slot) : nullptr;
}

CSolidFilament *CFilamentList::FreePointed(std::int64_t i)
{
    const std::size_t slot = freePointed_.FindByRank(i);
    return slot < slotCount_ ? &Picked(slot) : nullptr;
}

CSolidFilament *CFilamentList::BoundBranch(std::int64_t i)
{
    const std::size_t slot = bound_.FindByRank(i);
    return slot < slotCount_ ? &Picked(slot) : nullptr;
}

CSolidFilament *CFilamentList::FindById(std::uint32_t id)
{
    const auto found = slotOfId_.find(id);
    return found == slotOfId_.end() ? nullptr : &Picked(found->second);
}

CFilamentList::MonomerSite CFilamentList::OfMonomer(std::int64_t i)
{
    const CCountTree::Unit monomer = monomers_.FindByRank(i < 0 ? 0 : i);
    if (monomer.Slot == slotCount_)
        return {};
    return {&Picked(monomer.Slot), std::int32_t(i < 0 ? i : monomer.Within)};
}

std::size_t CFilamentList::NextLiveSlot(std::size_t slot) const
{
    while (slot < slotCount_ && !IsLive(slot))
        ++slot;
    return slot;
}

std::size_t CFilamentList::SlotOf(const CSolidFilament &f) const
{
    if (pickedSlot_ < slotCount_ && &AtSlot(pickedSlot_) == &f)
        return IsLive(pickedSlot_) ? pickedSlot_ : slotCount_;
    const std::less<const CSolidFilament *> before;
    for (std::size_t block = 0; block < blocks_.size(); ++block) {
        const CSolidFilament *first = blocks_[block].get();
        if (!before(&f, first) && before(&f, first + kBlockSize)) {
            const std::size_t slot = block * kBlockSize + std::size_t(&f - first);
            return slot < slotCount_ && IsLive(slot) ? slot : slotCount_;
        }
    }
    return slotCount_;
}

void CFilamentList::Compact()
{
    std::vector<bool> freeBarbed;
    std::vector<bool> freePointed;
    std::vector<std::int32_t> monomers;
    for (std::size_t slot = 0; slot < slotCount_; ++slot) {
        if (!IsLive(slot))
            continue;
        const std::size_t kept = freeBarbed.size();
        if (kept != slot)
            AtSlot(kept) = AtSlot(slot);
        slotOfId_[AtSlot(kept).Id] = kept;
        freeBarbed.push_back(freeBarbed_.Test(slot));
        freePointed.push_back(freePointed_.Test(slot));
        monomers.push_back(monomers_.Count(slot));
    }
    slotCount_ = freeBarbed.size();
    emptySlots_ = 0;
    blocks_.resize((slotCount_ + kBlockSize - 1) / kBlockSize);
    alive_.Assign(std::vector<bool>(slotCount_, true));
    freeBarbed_.Assign(freeBarbed);
    freePointed_.Assign(freePointed);
    std::vector<bool> bound(freePointed.size());
    for (std::size_t slot = 0; slot < bound.size(); ++slot)
        bound[slot] = !freePointed[slot];
    bound_.Assign(bound);
    monomers_.Assign(monomers);
}
