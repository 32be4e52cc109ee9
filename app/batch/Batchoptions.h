#pragma once

#include "Commandline.h"
#include "Ensembleplan.h"
#include "Movieoptions.h"
#include "ObservationColumns.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The command line of filonex-batch.
struct BatchOptions {
    std::optional<std::string> SettingsPath; // must exist when given
    std::optional<std::uint32_t> Seed;
    std::optional<std::string> Method; // "First reaction" or "Next reaction"
    bool ChemistryOnly = false;
    std::optional<double> EndTime; // s; SIM_TIME when not given
    std::optional<std::string> ObservePath;
    std::optional<std::string> TablePath; // the observations as a tidy table
    bool Quiet = false;
    bool Strict = false; // a warning about the settings file is an error
    int Threads = 0;                           // of the mechanics step; 0: one per core
    std::optional<std::string> ResumePath;     // a world file to continue
    // --set: parameters of the resumed world changed for this run, (ident,
    // value) in the order given.
    std::vector<std::pair<std::string, std::string>> Changes;
    std::optional<std::string> SaveWorldPath;  // the world at the end of the run
    std::optional<std::string> CheckpointPath; // the world during the run...
    std::optional<double> CheckpointPeriod;    // ...every so many simulated seconds
    MovieOptions Movie;                        // --movie and its settings
    bool Help = false;

    // An ensemble: replicas, sweeps, the folder of its results.
    std::optional<std::int64_t> Runs;
    std::vector<SweepAxis> Sweeps;
    std::optional<int> Jobs;
    std::optional<std::string> OutPath;
    std::optional<int> RunIndex; // only this run of the ensemble
    bool Prepare = false;        // only write the plan and print the number of runs

    // Where a run of an ensemble writes its final state; standard output
    // when not given.
    std::optional<std::string> StatePath;

    // filonex-batch merge DIR: the ensemble folder to merge.
    std::optional<std::string> MergePath;

    bool IsEnsemble() const { return Runs || !Sweeps.empty() || RunIndex || Prepare; }
};

// Options as "--name value" or "--name=value" (see CommandLine); raises
// UsageError for an unknown option, a missing, malformed or repeated one, a
// stray argument, or options that do not go together.
BatchOptions ParseBatchOptions(const std::vector<std::string> &arguments);

// The text of --help; --table lists the columns.
std::string BatchHelp(const ObservationColumns &columns = StandardColumns());
