#pragma once

#include "CellContents.h"
#include "ChannelTable.h"
#include "Chemreaction.h"
#include "SimulationMethod.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <unordered_map>
#include <string>
#include <string_view>
#include <vector>

// What Arp2/3 does once bound (the "Arp2/3 model").
enum class ArpModel {
    BindingOnly, // ARPB is counted and changes nothing
    Branches,    // ARPB makes a branch on a mother filament (BranchingChannels)
};

// Where and at what angle new branches form.
struct BranchGeometry {
    double Angle = 70.0 * 3.14159265358979323846 / 180.0; // rad, mean angle to the mother
    double AngleSpread = 7.0 * 3.14159265358979323846 / 180.0; // rad, its standard deviation
    // m: a branch site must lie within this distance of the bacterium's
    // surface; 0 lets branches form anywhere.
    double ActivationZone = 0.0;
};

// The chemistry of a world: ten species counters, the reaction channels of a
// channel table (ChannelTable.h), the handlers that fire them on the world's
// filaments, and the two selection methods of the exact stochastic simulation.
//
// The counters and the filament list are kept consistent by every reaction:
// "FIB" is the number of filaments with a free barbed end, "FIP" the number of
// filaments and "ACF" the sum of their sizes; every filament has at least
// three monomers.
class CChemistry {
public:
    enum SpeciesIndex : int { ACG, ACF, FIB, FIP, CAP, CAF, ARP, ARF, ARB, ADC, SPECIES_COUNT };
    // The channels of SpecifiedChannels(), in their order.
    enum ReactionIndex : int { FORM, ASSB, ASSP, DISB, DISP, CAPB, ARPB, SEVR, FORM2, REACTION_COUNT };
    // The terms of a channel's combinatorial factor: the species counts, then
    // counts derived from them.
    enum FactorTerm : int {
        FREE_BARBED_ENDS = SPECIES_COUNT, // "ARB" + "FIB"
        BULK_ACTIN_TRIPLES,  // ordered triples of the G-actin in the bulk's share of the box
        SHELL_ACTIN_TRIPLES, // ordered triples of the G-actin in the shell's share
        FREE_POINTED_ENDS,   // "FIP" - "ARF": the pointed ends no branch point holds
        UNIT_TERM,           // 1
        FACTOR_TERM_COUNT
    };

    // Row and curve titles, indexed like Species.
    static constexpr std::array<const char *, SPECIES_COUNT> SpeciesNames = {
        "ACG", "ACF", "FIB", "FIP", "CAP", "CAF", "ARP", "ARF", "ARB", "ADC"};

    // Propensities below this count as zero: such a channel is never fired.
    static constexpr double NEGLIGIBLE_PROPENSITY = 1e-30;

    // Writes the waiting time (s) and returns the chosen channel, or nullptr.
    using SelectionMethod = std::function<CChemReaction *(double &tau)>;

    // A monomer chosen by FilamentOfMonomer: its filament and its position
    // counted from the barbed end (0 is the barbed-end monomer).
    using MonomerSite = CFilamentList::MonomerSite;

    // The channels of the table with k = 1 and a volume of 1 litre, method
    // NextReaction, counters zero; acting on the filaments, bacterium and
    // stream of world.
    explicit CChemistry(CCellContents &world, ChannelTable channels = SpecifiedChannels());
    // The channels' handlers and the method are bound to this object.
    CChemistry(const CChemistry &) = delete;
    CChemistry &operator=(const CChemistry &) = delete;

    // Selection method of the run; empty means none.
    SelectionMethod Method;
    // Whether the run leaps (TauLeap.h), with Method for its exact steps.
    bool Leaping = false;
    std::array<std::int32_t, SPECIES_COUNT> Species{};
    // One channel for each row of Channels, in its order.
    ChannelTable Channels;
    std::vector<CChemReaction> Reactions;
    // Chosen with SetArpModel; the geometry acts under Branches only.
    ArpModel Arp = ArpModel::BindingOnly;
    BranchGeometry Branching;

    // Takes the channels of the model (SpecifiedChannels or
    // BranchingChannels) with k = 1 in a volume of 1 litre, unfired.
    void SetArpModel(ArpModel model);
    // Finds every branch's mother again (after the filaments were read).
    void IndexBranches();

    void UpdatePropensities();
    // The index of the channel of that name, if the table has one.
    std::optional<int> ChannelIndex(std::string_view name) const;
    // The first counter that disagrees with the filament list ("FIP" the
    // number of filaments, "FIB" those with a free barbed end, "ACF" their
    // monomers, "CAF" the capped ones), or nothing when all agree.
    struct CounterDisagreement {
        SpeciesIndex Species;
        std::int64_t Listed;  // what the filament list holds
        std::int32_t Counter; // what the counter says
        const char *What;    // "filaments", "monomers", ...
        // "is 4 but the filament list holds 3 filaments"
        std::string Describe() const;
    };
    std::optional<CounterDisagreement> CounterMismatch() const;
    // After a firing of channel i: in builds that check invariants
    // (FILONEX_CHECK_INVARIANTS), throws std::logic_error when a counter
    // disagrees with the filament list; nothing otherwise.
    void CheckAfterFiring(std::size_t i) const
    {
#ifdef FILONEX_CHECK_INVARIANTS
        CheckCounters(i);
#else
        (void)i;
#endif
    }
    // Mean number of monomers per filament; 0 without filaments.
    double MeanFilamentSize() const;

    // The i-th (from 0) filament with a free barbed end, or nullptr.
    CSolidFilament *FreeBarbedFilament(std::int32_t i);
    // The i-th filament of the list, or nullptr.
    CSolidFilament *FilamentAt(std::int32_t i);
    // The filament holding the i-th monomer of all filaments, counted from
    // the front of the list.
    MonomerSite FilamentOfMonomer(std::int32_t i);
    // Takes f out of the list, returns its monomers and its cap, deletes it.
    void RemoveFilament(CSolidFilament *f);

    // The reaction handlers (ChemistryHandlers.cpp), called through the
    // channels' Fire. A handler with nothing to act on returns at once
    // without drawing.
    void FormFilament();
    void FormFilamentAtBacterium();
    void AssocBarbed();
    void AssocPointed();
    void DissocBarbed();
    void DissocPointed();
    void CapBarbed();
    void Sever();
    // Under the "Branches" model (BranchingChannels): ASSP and DISP on a
    // free pointed end; ARPB making a branch on the barbed-end monomer of a
    // mother with a free barbed end; DEBR releasing the i-th bound branch.
    // Draws of Branch: the mother (as ASSB), then, when the branch forms, two
    // for its angle (Box-Muller) and one for its azimuth about the mother.
    void AssocFreePointed();
    void DissocFreePointed();
    void Branch();
    void Debranch();
    // Cuts f at the monomer that has `barbedSide` monomers between it and the
    // barbed end (the part of Sever after the draw).
    void SeverAt(CSolidFilament *f, std::int32_t barbedSide);

    // One exponential waiting time per channel (nine draws); the shortest
    // wins, the lower channel on a tie.
    CChemReaction *FirstReaction(double &tau);
    // One waiting time for the total propensity, then a second draw picks
    // the channel. A zero total raises fp::FloatingPointError (division by
    // zero).
    CChemReaction *NextReaction(double &tau);
    // The channel index of one of Reactions.
    int IndexOf(const CChemReaction &reaction) const;
    // Binds Method to FirstReaction or NextReaction, or sets Leaping with
    // FirstReaction for the exact steps; None leaves no method.
    void SetMethod(SimulationMethod method);
    SimulationMethod CurrentMethod() const { return method_; }

private:
    void CheckCounters(std::size_t channel) const;
    // Marks f for its next Move and keeps the list's trees current; called
    // after every change of a listed filament's size, ends or cap.
    void FilamentChanged(CSolidFilament &f);
    // Appends a filament of the given size placed by SetGeometry; the caller
    // updates the counters.
    CSolidFilament &AppendFilament(const CVector &pointedEnd, const CVector &direction,
                                   std::int32_t monomers);

    // Builds Reactions for Channels.
    void BindChannels();
    // The pointed-end reactions on f, after its pick.
    void GrowAtPointedEnd(CSolidFilament *f);
    void ShrinkAtPointedEnd(CSolidFilament *f);
    // Moves the sites of f's branches by `shift` monomers and releases those
    // whose site left f's monomers.
    void MoveSites(CSolidFilament &f, std::int32_t shift);
    // After f was cut at monomer `cut` (from the pointed end): the branches
    // on the cut monomer or on a piece that dissolves are released, those on
    // the barbed-side piece move to `barbedPiece` (which may be f itself,
    // its pointed part gone).
    void SplitSites(CSolidFilament &f, std::int32_t cut, bool pointedDissolves, bool barbedDissolves,
                    CSolidFilament *barbedPiece);
    // Frees a branch's pointed end and returns its Arp2/3.
    void Release(CSolidFilament &branch);
    // The ids of f's branches, a copy that releases leave whole.
    std::vector<std::uint32_t> BranchesOn(const CSolidFilament &f) const;
    // Takes a branch off its mother's list.
    void Unlink(const CSolidFilament &branch);
    // Whether a branch may form at p (the activation zone).
    bool InActivationZone(const CVector &p) const;

    CCellContents &world_;
    SimulationMethod method_ = SimulationMethod::None;
    // The ids of the branches on each mother, by the mother's id, oldest
    // first.
    std::unordered_map<std::uint32_t, std::vector<std::uint32_t>> branches_;
};
