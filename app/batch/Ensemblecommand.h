#pragma once

#include <functional>
#include <string>
#include <vector>

struct BatchOptions;

// The exit statuses of the runner.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;   // a run failed; for an ensemble, not every run is done
inline constexpr int kExitBadInput = 2;
inline constexpr int kExitInterrupted = 130;

// One run of the runner with the given options; returns its exit status.
using SingleRun = std::function<int(const BatchOptions &)>;

// The ensemble commands of the runner; each returns its exit status and
// writes its messages to standard error.

// Runs every run of the ensemble in options.OutPath, each as the program
// with its own command line plus --run-index, then merges. stopRequested
// says whether the user has asked to stop.
int RunEnsembleCommand(const BatchOptions &options, const std::vector<std::string> &arguments,
                       const std::function<bool()> &stopRequested);

// Runs run options.RunIndex of the ensemble with run (see Ensembleplan.h);
// its folder gets its settings, final state, table and record.
int RunEnsembleMember(const BatchOptions &options, const SingleRun &run);

// Writes the plan and prints the number of runs.
int PrepareEnsemble(const BatchOptions &options);

// filonex-batch merge DIR.
int MergeCommand(const std::vector<std::string> &arguments);
