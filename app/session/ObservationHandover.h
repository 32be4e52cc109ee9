#pragma once

#include "Observationrecord.h"
#include "WorldSnapshots.h"

#include <atomic>
#include <mutex>
#include <vector>

// The hand-over between a run on its worker thread and the thread that shows
// it: at every observation the worker records what the displays need, and the
// other thread takes all of it at display rate. Every observation's record is
// kept until taken; of the size histogram only the latest matters, and the
// scene (a copy of every filament) is recorded once per take, at the first
// observation after it.
//
// Neither thread copies anything while it holds the lock: the worker fills
// buffers of its own and swaps them in, the taker swaps the pending records
// out, so either waits at most for a few swaps and a record appended.
class ObservationHandover {
public:
    // What has been recorded since the last take.
    struct Records {
        std::vector<ObservationRecord> Observations; // one per observation, in order
        const ObservationRecord &Latest() const { return Observations.back(); }
        bool HasSizes = false;
        FilamentSizeHistogram Sizes;
        bool HasScene = false;
        ObservedScene Scene;
    };

    // What the worker records besides the observation records; set from any
    // thread at any time, read at every observation.
    std::atomic<bool> RecordSizes = true;
    std::atomic<bool> RecordScene = false;

    // On the worker, at an observation: the cell as it is now.
    void Record(const CCell &cell);
    // On the showing thread: moves the records out into `into` (whose
    // memory is reused for the next ones); false when there are none.
    bool Take(Records &into);

private:
    std::mutex lock_;
    Records pending_;
    // The worker's own buffers, filled outside the lock and swapped in.
    FilamentSizeHistogram sizes_;
    ObservedScene scene_;
    // Whether pending_ lacks a scene; the worker reads it without the lock.
    std::atomic<bool> sceneWanted_ = true;
};
