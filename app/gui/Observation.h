#pragma once

#include "Cell.h"

#include <array>
#include <cstdint>
#include <vector>

// What the displays show of the cell at one observation, copied out of it so
// that the window can show it while the cell runs on.

// The read-outs and one point of every chart curve.
struct ObservedCounts {
    double Time = 0.0; // s, the observation time
    std::int64_t ReactionCount = 0;
    std::array<std::int64_t, CCell::SPECIES_COUNT> Species{};
    std::array<std::int64_t, CCell::REACTION_COUNT> Occurrences{};
    std::array<double, CCell::REACTION_COUNT> Propensities{}; // 1/s
    double MeanFilamentSize = 0.0; // monomers
};

// How many filaments have each size from Smallest up; empty without
// filaments.
struct FilamentSizeHistogram {
    std::int32_t Smallest = 0;
    std::vector<int> Counts;
};

// The 3D view's objects: one line per filament and the bacterium.
struct ObservedScene {
    struct Filament {
        CVector Barbed;  // m
        CVector Pointed; // m
        bool Capped = false;
    };
    std::vector<Filament> Filaments;
    bool HasBacterium = false;
    CVector BacteriumCentre; // m
    double BacteriumRadius = 0.0; // m
};

ObservedCounts ObserveCounts(const CCell &cell);
// Fill the given objects, reusing their memory.
void ObserveSizes(const CCell &cell, FilamentSizeHistogram &histogram);
void ObserveScene(const CCell &cell, ObservedScene &scene);

// The sum of the propensities, by which the reaction probabilities divide.
double PropensitySum(const ObservedCounts &counts);
