#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ParameterStore;

// One parameter of the settings file varied over a list of values.
struct SweepAxis {
    std::string Section; // the settings file section of Ident
    std::string Ident;
    std::vector<std::string> Values; // as typed, "." as decimal point
};

// Parses "IDENT=v1,v2,..." against the parameters in store: IDENT must be a
// parameter of one of its tables, every value a number (SIM_METHOD: one of
// its pick list texts), no value twice. Raises UsageError.
SweepAxis ParseSweep(const std::string &text, const ParameterStore &store);

// An ensemble: Replicas runs at each point of the grid of all combinations
// of the sweep values (one point without sweeps).
//
// Runs are numbered from 0: run = point * Replicas + replica. Points are
// numbered with the last sweep varying fastest. Replica r has the same seed
// at every point, so points differ by their parameters and not by their
// random numbers (common random numbers): the seed of replica r is
// SplitMix64(BaseSeed * 2^32 + r) modulo 2^31 - 1, a seed of a run of its own
// (see Runseed.h).
struct EnsemblePlan {
    std::uint32_t BaseSeed = 0;
    int Replicas = 1;
    std::vector<SweepAxis> Sweeps;

    int PointCount() const;
    int RunCount() const;
    int PointOf(int run) const { return run / Replicas; }
    int ReplicaOf(int run) const { return run % Replicas; }
    // The value of each sweep at the point, in sweep order.
    std::vector<std::string> PointValues(int point) const;
    std::uint32_t SeedOf(int run) const;

    // The plan as the text of its file: "base_seed", "replicas" and one
    // "sweep" line per axis (section, ident, values), tab-separated.
    std::string Text() const;
};

// The inverse of EnsemblePlan::Text; raises std::runtime_error naming path.
EnsemblePlan ReadEnsemblePlan(const std::string &path);

// The seed of replica r derived from a base seed (see EnsemblePlan).
std::uint32_t ReplicaSeed(std::uint32_t baseSeed, int replica);

// The files of an ensemble folder.
inline constexpr const char *kPlanFile = "ensemble.tsv";
inline constexpr const char *kManifestFile = "runs.tsv";
inline constexpr const char *kSummaryFile = "summary.tsv";
// Within the folder of each run.
inline constexpr const char *kRunRecordFile = "run.tsv";
inline constexpr const char *kRunStateFile = "state.txt";
inline constexpr const char *kRunTableFile = "table.tsv";
inline constexpr const char *kRunSettingsFile = "parameters.ini";
inline constexpr const char *kRunLogFile = "log.txt";

// "run-0007": the folder of a run, numbered so that folders sort in order.
std::string RunFolderName(int run);
