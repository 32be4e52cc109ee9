#include "ObservationHandover.h"

#include <utility>

void ObservationHandover::Record(const CCell &cell)
{
    const ObservationRecord record = RecordObservation(cell);
    const bool chartPoints = RecordChartPoints;
    const bool scene = RecordScene;
    const std::lock_guard<std::mutex> hold(lock_);
    pending_.HasLatest = true;
    pending_.Latest = record;
    if (chartPoints) {
        pending_.ChartPoints.push_back(record);
        ObserveSizes(cell, pending_.Sizes);
        pending_.HasSizes = true;
    }
    // The scene is the costly part (every filament): one per take is enough
    // for a view drawn at display rate.
    if (scene && !pending_.HasScene) {
        ObserveScene(cell, pending_.Scene);
        pending_.HasScene = true;
    }
}

bool ObservationHandover::Take(Records &into)
{
    into.ChartPoints.clear();
    into.HasLatest = into.HasSizes = into.HasScene = false;
    const std::lock_guard<std::mutex> hold(lock_);
    if (!pending_.HasLatest)
        return false;
    std::swap(into, pending_);
    return true;
}
