#include "ObservationHandover.h"

#include <utility>

void ObservationHandover::Record(const CCell &cell)
{
    const ObservationRecord record = RecordObservation(cell);
    const bool sizes = RecordSizes;
    if (sizes)
        ObserveSizes(cell, sizes_);
    // The scene is the costly part (every filament): one per take is enough
    // for a view drawn at display rate.
    const bool scene = RecordScene && sceneWanted_;
    if (scene)
        ObserveScene(cell, scene_);
    const std::lock_guard<std::mutex> hold(lock_);
    pending_.Observations.push_back(record);
    if (sizes) {
        std::swap(pending_.Sizes, sizes_);
        pending_.HasSizes = true;
    }
    if (scene) {
        std::swap(pending_.Scene, scene_);
        pending_.HasScene = true;
        sceneWanted_ = false;
    }
}

bool ObservationHandover::Take(Records &into)
{
    into.Observations.clear();
    into.HasSizes = into.HasScene = false;
    const std::lock_guard<std::mutex> hold(lock_);
    if (pending_.Observations.empty())
        return false;
    std::swap(into, pending_);
    sceneWanted_ = true;
    return true;
}
