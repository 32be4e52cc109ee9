#pragma once

#include "CountTree.h"
#include "FlagTree.h"
#include "Solidfilament.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <unordered_map>
#include <vector>

// The cell's filaments in list order, stored in large contiguous blocks. A
// removed filament leaves an empty slot, so that the others keep their order
// and their places without shifting; the slots are compacted once more than
// half of them are empty. Order-statistics trees over the slots find the i-th
// filament, the i-th filament with a free barbed end and the filament holding
// the i-th monomer in O(log n).
//
// A reference to a filament stays valid until that filament, or any filament
// when the list compacts itself, is removed. Whoever changes a listed
// filament's size or cap calls Refresh.
class CFilamentList {
public:
    // A monomer: its filament and its position counted from the barbed end
    // (0 is the barbed-end monomer).
    struct MonomerSite {
        CSolidFilament *Filament = nullptr;
        std::int32_t FromBarbedEnd = -1;
    };

    template <typename List, typename Filament>
    class Iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = CSolidFilament;
        using difference_type = std::ptrdiff_t;
        using pointer = Filament *;
        using reference = Filament &;

        Iterator() = default;
        Iterator(List *list, std::size_t slot) : list_(list), slot_(list->NextLiveSlot(slot)) {}
        reference operator*() const { return list_->AtSlot(slot_); }
        pointer operator->() const { return &list_->AtSlot(slot_); }
        Iterator &operator++()
        {
            slot_ = list_->NextLiveSlot(slot_ + 1);
            return *this;
        }
        Iterator operator++(int)
        {
            Iterator before = *this;
            ++*this;
            return before;
        }
        bool operator==(const Iterator &other) const { return slot_ == other.slot_; }

    private:
        List *list_ = nullptr;
        std::size_t slot_ = 0;
    };
    using iterator = Iterator<CFilamentList, CSolidFilament>;
    using const_iterator = Iterator<const CFilamentList, const CSolidFilament>;

    // Every filament appended takes `material`, which must outlive the list.
    explicit CFilamentList(const CFilamentMaterial &material = NO_FILAMENT_MATERIAL) : material_(&material) {}
    CFilamentList(const CFilamentList &) = delete;
    CFilamentList &operator=(const CFilamentList &) = delete;

    iterator begin() { return iterator(this, 0); }
    iterator end() { return iterator(this, slotCount_); }
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, slotCount_); }

    std::size_t size() const { return slotCount_ - emptySlots_; }
    bool empty() const { return size() == 0; }
    // The i-th filament in list order; i must be below size().
    CSolidFilament &operator[](std::size_t i) { return Picked(alive_.FindByRank(std::int64_t(i))); }
    const CSolidFilament &operator[](std::size_t i) const
    {
        return AtSlot(alive_.FindByRank(std::int64_t(i)));
    }
    CSolidFilament &front() { return (*this)[0]; }
    CSolidFilament &back() { return (*this)[size() - 1]; }
    const CSolidFilament &front() const { return (*this)[0]; }
    const CSolidFilament &back() const { return (*this)[size() - 1]; }

    // Also starts the ids again from kFirstFilamentId.
    void clear();
    // Appends a copy of `filament`, made of the list's material and with the
    // next id, at the end of the list; raises std::runtime_error when the
    // ids are used up (the next would wrap to the bacterium's 0).
    CSolidFilament &Append(const CSolidFilament &filament);
    // The id the next appended filament gets; set when a saved world is
    // restored with the ids its filaments had.
    std::uint32_t NextId() const { return nextId_; }
    void SetNextId(std::uint32_t id) { nextId_ = id; }
    // Finds the filaments by their ids again after the ids were set anew
    // (to those of a saved world).
    void IndexIds();
    // Ids below this belong to other bodies (the bacterium is 0).
    static constexpr std::uint32_t kFirstFilamentId = 1;
    // Takes f out of the list, keeping the order of the others; false when f
    // is not in the list.
    bool Remove(const CSolidFilament &f);
    // Brings the trees up to date after f's size, cap or mother changed.
    void Refresh(const CSolidFilament &f);
    // Compacts the slots now if more than an eighth of them are empty, for a
    // loop over every filament that runs again and again (the mechanics
    // step): it then runs over dense memory.
    void CompactIfSparse();

    // What the list holds by its trees: filaments, free barbed ends (every
    // filament has monomers, so the others are capped), monomers and bound
    // branches.
    struct Totals {
        std::int64_t Filaments, FreeBarbedEnds, Monomers, Branches;
    };
    Totals ListedTotals() const
    {
        return {alive_.Total(), freeBarbed_.Total(), monomers_.Total(), bound_.Total()};
    }
    // The i-th (from 0) filament with a free barbed end, or nullptr.
    CSolidFilament *FreeBarbed(std::int64_t i);
    // The i-th (from 0) filament whose pointed end is free, or held by a
    // mother (a bound branch); nullptr when there is none.
    CSolidFilament *FreePointed(std::int64_t i);
    CSolidFilament *BoundBranch(std::int64_t i);
    // The listed filament of that id, or nullptr.
    CSolidFilament *FindById(std::uint32_t id);
    // The filament holding monomer i of all filaments counted from the
    // front, filaments below size 1 holding none; no filament when i is not
    // below the total. A negative i gives the first filament that holds
    // monomers, with i itself as the position.
    MonomerSite OfMonomer(std::int64_t i);

    // The slots in list order, for loops that visit every filament by index;
    // only live slots hold a filament.
    std::size_t SlotCount() const { return slotCount_; }
    bool IsLive(std::size_t slot) const { return alive_.Test(slot); }
    CSolidFilament &AtSlot(std::size_t slot) { return blocks_[slot / kBlockSize][slot % kBlockSize]; }
    const CSolidFilament &AtSlot(std::size_t slot) const
    {
        return blocks_[slot / kBlockSize][slot % kBlockSize];
    }

private:
    static constexpr std::size_t kBlockSize = 1024;
    // A list with fewer empty slots than this is never compacted, so that
    // small lists keep their filaments in place.
    static constexpr std::size_t kMinEmptySlotsToCompact = 256;

    std::size_t NextLiveSlot(std::size_t slot) const;
    // The slot of f, or SlotCount() when f is not stored here.
    std::size_t SlotOf(const CSolidFilament &f) const;
    // The filament in `slot`, remembered for SlotOf.
    CSolidFilament &Picked(std::size_t slot)
    {
        pickedSlot_ = slot;
        return AtSlot(slot);
    }
    void Compact();
    // What a filament counts for in the monomer tree.
    static std::int32_t MonomerCount(const CSolidFilament &f) { return f.Monomers > 0 ? f.Monomers : 0; }

    const CFilamentMaterial *material_;
    std::vector<std::unique_ptr<CSolidFilament[]>> blocks_;
    std::size_t slotCount_ = 0;
    std::size_t emptySlots_ = 0;
    std::uint32_t nextId_ = kFirstFilamentId;
    // The slot of the last filament picked by rank: the handlers refresh or
    // remove that filament next, and SlotOf tries it before searching the
    // blocks.
    std::size_t pickedSlot_ = 0;
    // Per slot: whether it holds a filament, whether that has a free barbed
    // end, and its monomers.
    CFlagTree alive_;
    CFlagTree freeBarbed_;
    CFlagTree freePointed_;
    CFlagTree bound_;
    // The slot of every listed filament by its id.
    std::unordered_map<std::uint32_t, std::size_t> slotOfId_;
    CCountTree monomers_;
};
