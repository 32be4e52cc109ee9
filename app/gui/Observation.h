#pragma once

#include "Cell.h"
#include "Observationrecord.h"

#include <array>
#include <cstdint>
#include <vector>

// What the displays show of the cell at one observation besides its record
// (see Observationrecord.h), copied out of it so that the window can show it
// while the cell runs on.

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

// Fill the given objects, reusing their memory.
void ObserveSizes(const CCell &cell, FilamentSizeHistogram &histogram);
void ObserveScene(const CCell &cell, ObservedScene &scene);
