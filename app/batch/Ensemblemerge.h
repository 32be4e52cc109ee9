#pragma once

#include <string>
#include <vector>

// What a merge found: the runs of the plan by how they ended.
struct MergeOutcome {
    int Runs = 0;
    std::vector<int> Done;
    std::vector<int> Failed;
    std::vector<int> Stopped;
    std::vector<int> Missing;

    bool AllDone() const { return static_cast<int>(Done.size()) == Runs; }
    // "8 runs: 5 done, 1 failed (3), 1 stopped (4), 1 missing (5)".
    std::string Report() const;
};

// Builds the manifest (runs.tsv: one line per run of the plan, "missing" for
// a run without a record) and the summary (summary.tsv, over the completed
// runs) of the ensemble folder dir from whatever runs have ended. Raises
// std::runtime_error when the plan, a record or a table cannot be read or
// the results cannot be written.
MergeOutcome MergeEnsemble(const std::string &dir);
