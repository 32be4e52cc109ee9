#include "FilamentList.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>
#include <vector>

namespace {

CSolidFilament Filament(std::int32_t monomers, bool capped)
{
    CSolidFilament f;
    f.Monomers = monomers;
    f.Capped = capped;
    return f;
}

// The picks as a walk from the front of the list finds them.
struct Walk {
    std::vector<const CSolidFilament *> freeBarbed;
    std::vector<std::pair<const CSolidFilament *, std::int32_t>> monomers;

    explicit Walk(CFilamentList &list)
    {
        for (const CSolidFilament &f : list) {
            if (f.IsBarbedEndFree())
                freeBarbed.push_back(&f);
            for (std::int32_t k = 0; k < f.Monomers; ++k)
                monomers.emplace_back(&f, k);
        }
    }
};

void ExpectPicksAsTheWalk(CFilamentList &list)
{
    const Walk walk(list);
    for (std::size_t i = 0; i <= walk.freeBarbed.size(); ++i)
        EXPECT_EQ(list.FreeBarbed(std::int64_t(i)),
                  i < walk.freeBarbed.size() ? walk.freeBarbed[i] : nullptr);
    for (std::size_t i = 0; i < walk.monomers.size(); ++i) {
        const CFilamentList::MonomerSite site = list.OfMonomer(std::int64_t(i));
        ASSERT_EQ(site.Filament, walk.monomers[i].first) << i;
        EXPECT_EQ(site.FromBarbedEnd, walk.monomers[i].second) << i;
    }
    EXPECT_EQ(list.OfMonomer(std::int64_t(walk.monomers.size())).Filament, nullptr);
    std::size_t i = 0;
    for (const CSolidFilament &f : list)
        EXPECT_EQ(&list[i++], &f);
    EXPECT_EQ(i, list.size());
}

TEST(FilamentList, EmptyListHasNothingToPick)
{
    CFilamentList list;
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.begin(), list.end());
    EXPECT_EQ(list.FreeBarbed(0), nullptr);
    EXPECT_EQ(list.OfMonomer(0).Filament, nullptr);
    EXPECT_FALSE(list.Remove(CSolidFilament()));
}

TEST(FilamentList, LastFilamentRemovedLeavesAnEmptyListThatGrowsAgain)
{
    CFilamentList list;
    list.Remove(list.Append(Filament(5, false)));
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.FreeBarbed(0), nullptr);
    EXPECT_EQ(list.OfMonomer(0).Filament, nullptr);
    list.Append(Filament(4, false));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.OfMonomer(3).FromBarbedEnd, 3);
    ExpectPicksAsTheWalk(list);
}

TEST(FilamentList, CapOnTheLastFreeFilamentTakesItOutOfTheBarbedPicks)
{
    CFilamentList list;
    list.Append(Filament(3, true));
    CSolidFilament &only = list.Append(Filament(4, false));
    list.Append(Filament(6, true));
    EXPECT_EQ(list.FreeBarbed(0), &only);
    only.Capped = true;
    list.Refresh(only);
    EXPECT_EQ(list.FreeBarbed(0), nullptr);
    ExpectPicksAsTheWalk(list);
}

// Removals that leave most slots empty make the list compact itself; order,
// picks and growth stay those of a plain list.
TEST(FilamentList, RemovalWhileManySlotsAreEmptyKeepsTheOrder)
{
    CFilamentList list;
    std::vector<std::int32_t> expectedSizes;
    for (std::int32_t i = 0; i < 3000; ++i)
        list.Append(Filament(3 + i % 7, i % 5 == 0));
    for (std::int32_t i = 0; i < 3000; ++i)
        if (i % 4 == 0)
            expectedSizes.push_back(3 + i % 7);
    // Keep every fourth filament: the list compacts itself half-way.
    for (std::size_t kept = 0; kept < 750; ++kept)
        for (int k = 0; k < 3; ++k)
            ASSERT_TRUE(list.Remove(list[kept + 1]));
    // Then grow a filament and append more, as the reactions would.
    list[10].Monomers += 2;
    list.Refresh(list[10]);
    expectedSizes[10] += 2;
    list.Append(Filament(9, false));
    expectedSizes.push_back(9);
    // A loop over every slot asks for dense slots first.
    list.CompactIfSparse();
    EXPECT_EQ(list.SlotCount(), list.size());

    ASSERT_EQ(list.size(), expectedSizes.size());
    std::size_t i = 0;
    for (const CSolidFilament &f : list)
        EXPECT_EQ(f.Monomers, expectedSizes[i++]);
    ExpectPicksAsTheWalk(list);

    // Down to one filament, past several compactions.
    while (list.size() > 1)
        list.Remove(list.front());
    EXPECT_EQ(list.front().Monomers, 9);
    ExpectPicksAsTheWalk(list);
}

} // namespace

// Every appended filament gets a new id, never one of a removed filament,
// and keeps it when the list compacts; clear starts the ids again.
TEST(FilamentList, LastIdIsGivenAndThenNoneNotTheBacteriumsZero)
{
    CFilamentList list;
    list.SetNextId(std::numeric_limits<std::uint32_t>::max());
    EXPECT_EQ(list.Append(Filament(3, false)).Id, std::numeric_limits<std::uint32_t>::max());
    EXPECT_THROW(list.Append(Filament(3, false)), std::runtime_error);
    EXPECT_EQ(list.size(), 1u);
}

TEST(FilamentList, IdsAreNewForEveryFilamentAndSurviveCompaction)
{
    CFilamentList list;
    std::vector<std::uint32_t> kept;
    for (int i = 0; i < 600; ++i)
        list.Append(Filament(3, false));
    for (int i = 0; i < 600; i += 2)
        list.Remove(list[std::size_t(i / 2)]);
    for (const CSolidFilament &f : list)
        kept.push_back(f.Id);
    list.CompactIfSparse();
    std::vector<std::uint32_t> after;
    for (const CSolidFilament &f : list)
        after.push_back(f.Id);
    EXPECT_EQ(after, kept);
    EXPECT_EQ(kept.front(), CFilamentList::kFirstFilamentId + 1);
    EXPECT_EQ(list.Append(Filament(3, false)).Id, CFilamentList::kFirstFilamentId + 600);
    list.clear();
    EXPECT_EQ(list.Append(Filament(3, false)).Id, CFilamentList::kFirstFilamentId);
}
