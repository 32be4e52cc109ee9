#pragma once

#include "Cell.h"

#include <array>
#include <cstdint>

// The values of one observation of a cell, copied out of it once and read by
// every consumer: the window's lists and charts, the observe file and the
// table. A copy, so it may be read while the cell runs on.
struct ObservationRecord {
    double Time = 0.0; // s, the observation time
    std::int64_t ReactionCount = 0;
    std::array<std::int32_t, CCell::SPECIES_COUNT> Species{};      // molecules
    std::array<std::int64_t, CCell::REACTION_COUNT> Occurrences{}; // reactions fired so far
    std::array<double, CCell::REACTION_COUNT> Propensities{};      // 1/s
    double PropensitySum = 0.0;                                    // 1/s, summed in channel order
    // Each channel's share of PropensitySum; undefined (left 0) while that
    // sum is 0, when nothing can react.
    std::array<double, CCell::REACTION_COUNT> Probabilities{};
    double MeanFilamentSize = 0.0; // monomers per filament

    bool HasProbabilities() const { return PropensitySum != 0.0; }
};

// The cell at its last observation time (ObsTime).
ObservationRecord RecordObservation(const CCell &cell);
