// The reaction channels of the chemistry, one row each.

#include "ChannelTable.h"

#include "Chemistry.h"

namespace {

using C = CChemistry;

// Tau-leap vectors over ACG, ACF, FIB, FIP, CAP (CTauLeap's reactants).
// The worst losses: a filament of three dissolving (DISB, DISP), a piece of
// up to five dissolving whole (SEVR).
constexpr ChannelRow kSpecified[] = {
    {"FORM", "RATE_FORM", 1.0, ChannelVolume::Bulk, 2, {C::BULK_ACTIN_TRIPLES, C::UNIT_TERM},
     [](C &c) { c.FormFilament(); }, {-3, 3, 1, 1, 0}, {3, 0, 0, 0, 0}, {3, 0, 0, 0, 0}, true},
    {"ASSB", "RATE_ASSB", 1.0, ChannelVolume::Cell, 1, {C::FREE_BARBED_ENDS, C::ACG},
     [](C &c) { c.AssocBarbed(); }, {-1, 1, 0, 0, 0}, {1, 0, 1, 0, 0}, {1, 0, 0, 0, 0}, true},
    {"ASSP", "RATE_ASSP", 1.0, ChannelVolume::Cell, 1, {C::FIP, C::ACG},
     [](C &c) { c.AssocPointed(); }, {-1, 1, 0, 0, 0}, {1, 0, 0, 1, 0}, {1, 0, 0, 0, 0}, true},
    {"DISB", "RATE_DISB", 1.0, ChannelVolume::Cell, 0, {C::FIB, C::UNIT_TERM},
     [](C &c) { c.DissocBarbed(); }, {1, -1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 3, 1, 1, 0}, true},
    {"DISP", "RATE_DISP", 1.0, ChannelVolume::Cell, 0, {C::FIP, C::UNIT_TERM},
     [](C &c) { c.DissocPointed(); }, {1, -1, 0, 0, 0}, {0, 0, 0, 1, 0}, {0, 3, 1, 1, 0}, true},
    {"CAPB", "RATE_CAPB", 1.0, ChannelVolume::Cell, 1, {C::FREE_BARBED_ENDS, C::CAP},
     [](C &c) { c.CapBarbed(); }, {0, 0, -1, 0, -1}, {0, 0, 1, 0, 1}, {0, 0, 1, 0, 1}, true},
    // Counted, but binding alone changes nothing.
    {"ARPB", "RATE_ARPB", 1.0, ChannelVolume::Cell, 1, {C::FIB, C::ARP}, nullptr, {}, {}, {}, false},
    {"SEVR", "RATE_SEVR", 1.0, ChannelVolume::Cell, 1, {C::ACF, C::ADC},
     [](C &c) { c.Sever(); }, {1, -1, 1, 1, 0}, {0, 1, 0, 0, 0}, {0, 5, 1, 1, 0}, true},
    // Nucleation at the bacterium, 1e5 times faster than in the bulk.
    {"FORM2", "RATE_FORM", 1e5, ChannelVolume::Shell, 2, {C::SHELL_ACTIN_TRIPLES, C::UNIT_TERM},
     [](C &c) { c.FormFilamentAtBacterium(); }, {-3, 3, 1, 1, 0}, {3, 0, 0, 0, 0}, {3, 0, 0, 0, 0}, true},
};
static_assert(std::size(kSpecified) == C::REACTION_COUNT);

// Under the "Branches" model of Arp2/3: ARPB makes a branch, a branch's
// pointed end is held (ASSP and DISP act on free pointed ends only), and
// DEBR lets branches go. Tau-leaping does not serve this model.
constexpr ChannelRow kBranching[] = {
    kSpecified[C::FORM],
    kSpecified[C::ASSB],
    {"ASSP", "RATE_ASSP", 1.0, ChannelVolume::Cell, 1, {C::FREE_POINTED_ENDS, C::ACG},
     [](C &c) { c.AssocFreePointed(); }, {-1, 1, 0, 0, 0}, {1, 0, 0, 1, 0}, {1, 0, 0, 0, 0}, true},
    kSpecified[C::DISB],
    {"DISP", "RATE_DISP", 1.0, ChannelVolume::Cell, 0, {C::FREE_POINTED_ENDS, C::UNIT_TERM},
     [](C &c) { c.DissocFreePointed(); }, {1, -1, 0, 0, 0}, {0, 0, 0, 1, 0}, {0, 3, 1, 1, 0}, true},
    kSpecified[C::CAPB],
    {"ARPB", "RATE_ARPB", 1.0, ChannelVolume::Cell, 1, {C::FIB, C::ARP}, [](C &c) { c.Branch(); },
     {-3, 3, 1, 1, 0}, {3, 0, 1, 0, 0}, {3, 0, 0, 0, 0}, true},
    kSpecified[C::SEVR],
    kSpecified[C::FORM2],
    {"DEBR", "RATE_DEBR", 1.0, ChannelVolume::Cell, 0, {C::ARF, C::UNIT_TERM}, [](C &c) { c.Debranch(); },
     {}, {}, {}, true},
};

} // namespace

ChannelTable SpecifiedChannels()
{
    return kSpecified;
}

ChannelTable BranchingChannels()
{
    return kBranching;
}

std::vector<const char *> ChannelNames(ChannelTable channels)
{
    std::vector<const char *> names;
    for (const ChannelRow &channel : channels)
        names.push_back(channel.Name);
    return names;
}
