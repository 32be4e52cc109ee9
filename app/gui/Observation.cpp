#include "Observation.h"

#include <algorithm>

ObservedCounts ObserveCounts(const CCell &cell)
{
    ObservedCounts counts;
    counts.Time = cell.ObsTime;
    counts.ReactionCount = cell.ReactionCount;
    std::copy(cell.Species.begin(), cell.Species.end(), counts.Species.begin());
    for (int i = 0; i < CCell::REACTION_COUNT; ++i) {
        counts.Occurrences[std::size_t(i)] = cell.Reactions[std::size_t(i)].Count;
        counts.Propensities[std::size_t(i)] = cell.Reactions[std::size_t(i)].Propensity;
    }
    counts.MeanFilamentSize = cell.MeanFilamentSize();
    return counts;
}

void ObserveSizes(const CCell &cell, FilamentSizeHistogram &histogram)
{
    histogram.Counts.clear();
    if (cell.Filaments.empty())
        return;
    const auto [smallest, largest] = std::minmax_element(
        cell.Filaments.begin(), cell.Filaments.end(),
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
        scene.Filaments.push_back(
            {filament.GetBarbedEnd(), filament.GetPointedEnd(), filament.Capped});
    // Before the first complete apply there may be no bacterium to show.
    scene.HasBacterium = bool(cell.Bacterium);
    if (scene.HasBacterium) {
        scene.BacteriumCentre = cell.Bacterium->Center;
        scene.BacteriumRadius = cell.Bacterium->Radius;
    }
}

double PropensitySum(const ObservedCounts &counts)
{
    double sum = 0.0;
    for (double propensity : counts.Propensities)
        sum += propensity;
    return sum;
}
