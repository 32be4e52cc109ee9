#pragma once

#include "Observationrecord.h"
#include "WorldSnapshots.h"

#include <atomic>
#include <mutex>
#include <vector>

// The hand-over between a run on its worker thread and the thread that shows
// it: at every observation the worker records what the displays need, and the
// other thread takes all of it at display rate. Every observation's chart point is kept until
// taken; of the lists and the size histogram only the latest matters, and the
// scene (a copy of every filament) is recorded once per take, at the first
// observation after it. The worker never waits for the window beyond a short
// lock.
class ObservationHandover {
public:
    // What has been recorded since the last take.
    struct Records {
        std::vector<ObservationRecord> ChartPoints; // one per observation, in order
        bool HasLatest = false;
        ObservationRecord Latest;
        bool HasSizes = false;
        FilamentSizeHistogram Sizes;
        bool HasScene = false;
        ObservedScene Scene;
    };

    // What the worker records besides the latest record; set from any
    // thread at any time, read at every observation.
    std::atomic<bool> RecordChartPoints = true;
    std::atomic<bool> RecordScene = false;

    // On the worker, at an observation: the cell as it is now.
    void Record(const CCell &cell);
    // On the showing thread: moves the records out into `into` (whose
    // memory is reused for the next ones); false when there are none.
    bool Take(Records &into);

private:
    std::mutex lock_;
    Records pending_;
};
