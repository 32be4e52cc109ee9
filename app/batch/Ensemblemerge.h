#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What a merge found: the runs of the plan by how they ended.
struct MergeOutcome {
    std::int64_t Runs = 0;
    std::vector<std::int64_t> Done;
    std::vector<std::int64_t> Failed;
    std::vector<std::int64_t> Stopped;
    std::vector<std::int64_t> Missing;
    // One line per done run whose table could not be used, naming its file
    // and line; such a run counts as failed.
    std::vector<std::string> Problems;

    bool AllDone() const { return static_cast<std::int64_t>(Done.size()) == Runs; }
    // "8 runs: 5 done, 1 failed (3), 1 stopped (4), 1 missing (5)".
    std::string Report() const;
};

// Raises std::runtime_error when the manifest or the summary of the
// ensemble folder dir cannot be replaced: an entry of their names that is
// not a regular file (OutputTargetProblem). Checked before the runs.
void CheckMergeTargets(const std::string &dir);

// Builds the manifest (runs.tsv: one line per run of the plan, "missing" for
// a run without a record) and the summary (summary.tsv, over the completed
// runs) of the ensemble folder dir from whatever runs have ended. A done
// run whose table is cut short or holds what is not a number is left out
// and counted as failed. Raises std::runtime_error when the plan or a record
// cannot be read, a run belongs to another ensemble, the tables of a point
// disagree, or the results cannot be written.
MergeOutcome MergeEnsemble(const std::string &dir);
