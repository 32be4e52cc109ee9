#pragma once

#include "Cell.h"

#include <cstdint>
#include <vector>

// What the window shows of the cell besides its observation record (see
// Observationrecord.h): the filament sizes and the 3D view's objects, copied
// out of the cell so that they may be shown while the cell runs on.

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
    CVector BacteriumCentre;      // m
    double BacteriumRadius = 0.0; // m
};

// Fill the given objects, reusing their memory.
void ObserveSizes(const CCell &cell, FilamentSizeHistogram &histogram);
void ObserveScene(const CCell &cell, ObservedScene &scene);
