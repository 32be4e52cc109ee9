#include "WorldSnapshots.h"

#include <algorithm>

void ObserveSizes(const CCell &cell, FilamentSizeHistogram &histogram)
{
    histogram.Counts.clear();
    if (cell.Filaments.empty())
        return;
    const auto [smallest, largest] =
        std::minmax_element(cell.Filaments.begin(), cell.Filaments.end(),
                            [](const auto &a, const auto &b) { return a.Monomers < b.Monomers; });
    histogram.Smallest = smallest->Monomers;
    histogram.Counts.assign(std::size_t(largest->Monomers - histogram.Smallest) + 1, 0);
    for (const CSolidFilament &filament : cell.Filaments)
        ++histogram.Counts[std::size_t(filament.Monomers - histogram.Smallest)];
}

void ObserveScene(const CCell &cell, ObservedScene &scene)
{
    scene.Filaments.clear();
    for (const CSolidFilament &filament : cell.Filaments)
        scene.Filaments.push_back({filament.GetBarbedEnd(), filament.GetPointedEnd(), filament.Capped});
    // Before the first complete apply there may be no bacterium to show.
    scene.HasBacterium = bool(cell.Bacterium);
    if (scene.HasBacterium) {
        scene.BacteriumCentre = cell.Bacterium->Center;
        scene.BacteriumRadius = cell.Bacterium->Radius;
    }
}
