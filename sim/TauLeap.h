#pragma once

#include "CellContents.h"
#include "Chemistry.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// Adaptive tau-leaping after Cao, Gillespie and Petzold (J. Chem. Phys. 124,
// 044109, 2006): each leap fires every channel a Poisson number of times for
// a step tau chosen so that no reactant species is expected to change by more
// than a share Accuracy of itself. Channels that could exhaust what they act
// on within CRITICAL_FIRINGS firings fire at most once per leap, as the exact
// method would pick them. When a leap would be too short to pay off, the
// world takes EXACT_STEPS steps of the first-reaction method instead.
//
// The firings land on filaments one by one through the channels' handlers,
// so the filament list stays what the exact method would make of it. The
// Poisson counts come from counter-based draws (tag TauLeap, the world's
// counter key, the leap number); the critical firing and the handlers' picks
// come from the world's random stream.
class CTauLeap {
public:
    static constexpr std::int64_t CRITICAL_FIRINGS = 10;
    // A leap shorter than this many mean waiting times of the exact method
    // is not worth its overhead.
    static constexpr double SHORTEST_LEAP_IN_STEPS = 10.0;
    static constexpr std::int32_t EXACT_STEPS = 100;
    static constexpr double DEFAULT_ACCURACY = 0.03;

    // Firings of each channel, in channel order.
    using Firings = std::vector<std::int64_t>;

    // A leap ready to be applied: its length and the firings of each channel.
    struct Leap {
        double Tau = 0.0;          // s
        bool ReachesLimit = false; // Tau is the whole time allowed
        Firings Count{};
    };

    CTauLeap(CChemistry &chemistry, CCellContents &world);
    CTauLeap(const CTauLeap &) = delete;
    CTauLeap &operator=(const CTauLeap &) = delete;

    // epsilon of the step selection, in (0, 1).
    double Accuracy = DEFAULT_ACCURACY;
    // Leaps applied so far; the counter of the next leap's Poisson draws.
    std::uint64_t LeapNumber = 0;
    // Exact steps still to take before the next leap.
    std::int32_t ExactStepsLeft = 0;

    // Clears the leap number and the exact steps owed.
    void Reset();

    // Plans a leap of at most `longest` seconds from the current
    // propensities. Returns nothing when the leap would be too short: then
    // ExactStepsLeft is EXACT_STEPS. Draws the critical firing from the
    // world's stream (two draws when a critical channel can occur). A leap
    // that might not apply (a species or the filaments a firing needs could
    // run out on the way) is drawn again with the selected tau halved.
    std::optional<Leap> Plan(double longest);

    // Fires the leap's firings channel by channel in channel order; returns
    // how many there were. Advances the leap number.
    std::int64_t Apply(const Leap &leap);

private:
    // The Poisson counts of the non-critical channels for a step tau (s),
    // drawn for the given attempt at the current leap, into count.
    void DrawCounts(double tau, const std::vector<bool> &critical, std::uint32_t attempt, Firings &count) const;

    CChemistry &chemistry_;
    CCellContents &world_;
    // Each channel's usable rate and whether it is critical, for Plan.
    std::vector<double> rate_;
    std::vector<bool> critical_;
};
