#pragma once

#include "Movieoptions.h"

#include <string>
#include <vector>

struct BatchOptions;

// The ensemble commands of the runner; each returns its exit status and
// writes its messages to standard error.

// Runs every run of the ensemble in options.OutPath, each as the program
// with its own command line plus --run-index (and --threads 1 when several
// run at a time and the command line sets no number), then merges. Ctrl-C, SIGTERM
// and SIGHUP stop the runs, which still write what they have.
int RunEnsembleCommand(const BatchOptions &options, const std::vector<std::string> &arguments);

// Runs run options.RunIndex of the ensemble (see Ensembleplan.h); its folder
// gets its settings, final state, table and record, and its own movie
// (named as --movie names it) when movies can make it.
int RunEnsembleMember(const BatchOptions &options, const RunFramesMaker &movies);

// Writes the plan and prints the number of runs.
int PrepareEnsemble(const BatchOptions &options);

// filonex-batch merge DIR.
int MergeCommand(const std::string &dir);
