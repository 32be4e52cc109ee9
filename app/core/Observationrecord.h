#pragma once

#include "Cell.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// The values of one observation of a cell, copied out of it once and read by
// every consumer: the window's lists and charts, the observe file and the
// table. A copy, so it may be read while the cell runs on.
struct ObservationRecord {
    double Time = 0.0; // s, the observation time
    std::int64_t ReactionCount = 0;
    std::array<std::int32_t, CCell::SPECIES_COUNT> Species{};      // molecules
    // One entry for each channel, in channel order.
    std::vector<std::int64_t> Occurrences; // reactions fired so far
    std::vector<double> Propensities;      // 1/s
    double PropensitySum = 0.0;            // 1/s, summed in channel order
    // Each channel's share of PropensitySum; undefined (left 0) while that
    // sum is 0, when nothing can react.
    std::vector<double> Probabilities;
    double MeanFilamentSize = 0.0; // monomers per filament

    // Where the bacterium has gone since the world was reset (at 0 s).
    struct BacteriumMotion {
        CVector Position;             // m, its centre
        CVector Displacement;         // m, from its position at reset
        double Distance = 0.0;        // m, the length of Displacement
        double SquaredDistance = 0.0; // m^2
        int TouchingFilaments = 0;    // those its contact force acts on
    };
    // None in a world without a bacterium.
    std::optional<BacteriumMotion> Bacterium;

    bool HasProbabilities() const { return PropensitySum != 0.0; }
    // The length of the bacterium's mean velocity since reset (m/s): its
    // distance from where it was then over the time; none without a
    // bacterium or at 0 s.
    std::optional<double> BacteriumMeanVelocity() const;
};

// The cell at its last observation time (ObsTime) during a run, and at its
// time between runs (the starting point of a run, a loaded world). Counting the filaments
// that touch the bacterium takes a pass over every filament, and only the
// window shows that count: without countTouching it is left 0.
ObservationRecord RecordObservation(const CCell &cell, bool countTouching = true);
