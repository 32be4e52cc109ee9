#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

class CChemistry;

// The volume a channel's molecules meet in.
enum class ChannelVolume {
    Cell,  // the whole box
    Shell, // the shell around the bacterium
    Bulk,  // the box without the bacterium and its shell
};

// A channel's effect on the species that limit a tau-leap: "ACG", "ACF",
// "FIB", "FIP", "CAP", in this order.
constexpr int LEAP_REACTANT_COUNT = 5;
using LeapVector = std::array<std::int64_t, LEAP_REACTANT_COUNT>;

// One reaction channel, all that the chemistry, the tau-leap, the parameters
// and the world file need to know of it.
struct ChannelRow {
    const char *Name;
    // The parameter of its macroscopic rate constant, k = RateMultiplier x
    // the parameter's value.
    std::string_view RateKey;
    double RateMultiplier = 1.0;
    ChannelVolume Volume = ChannelVolume::Cell;
    // n: the number of reactant molecules minus one.
    std::int32_t VolumeExponent = 0;
    // The combinatorial factor is the product of two terms (CChemistry::FactorTerm).
    std::array<int, 2> Factor{};
    // Performs one firing on the chemistry's world.
    void (*Fire)(CChemistry &) = nullptr;
    // For the tau-leap: the change of an ordinary firing; what a firing needs
    // to find (its handler's test); the most a firing can take away.
    LeapVector Change{};
    LeapVector Needs{};
    LeapVector WorstLoss{};
    // Whether a firing can change the filament list.
    bool ChangesFilaments = false;
};

using ChannelTable = std::span<const ChannelRow>;

// The nine channels of the chemistry, in the order of CChemistry::ReactionIndex.
ChannelTable SpecifiedChannels();
// The nine with Arp2/3 branching, and DEBR, the release of a branch.
ChannelTable BranchingChannels();
// The channels' names, the row and curve titles of their read-outs.
std::vector<const char *> ChannelNames(ChannelTable channels = SpecifiedChannels());
