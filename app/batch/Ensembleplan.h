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
//
// Counts and indices are 64-bit, so that a plan too large to run is seen as
// such rather than wrapping round; CheckPlanSize refuses it.
struct EnsemblePlan {
    std::uint32_t BaseSeed = 0;
    std::int64_t Replicas = 1;
    std::vector<SweepAxis> Sweeps;
    // What else makes the runs runs of one model: the world's parameters
    // the settings file gives (ContentHash of their values), the --method and --time given (empty: those of
    // the settings file), and whether the mechanics runs.
    std::string SettingsHash;
    std::string Method;
    std::string EndTime; // s, exact
    bool Mechanics = true;
    // The settings file as it was given, for the record (figures name it);
    // runs from a copy of it elsewhere are the same ensemble.
    std::string SettingsPath;

    std::int64_t PointCount() const;
    std::int64_t RunCount() const;
    std::int64_t PointOf(std::int64_t run) const { return run / Replicas; }
    std::int64_t ReplicaOf(std::int64_t run) const { return run % Replicas; }
    // The value of each sweep at the point, in sweep order.
    std::vector<std::string> PointValues(std::int64_t point) const;
    std::uint32_t SeedOf(std::int64_t run) const;

    // The plan as the text of its file: "base_seed", "replicas",
    // "settings_hash", "method", "time", "mechanics", "settings" and one
    // "sweep" line per axis (section, ident, values), tab-separated.
    std::string Text() const;
};

// How plan differs from the plan of the ensemble there, item by item
// ("time 5 here, 0.3 there; ..."); empty when they are the same.
std::string PlanDifference(const EnsemblePlan &plan, const EnsemblePlan &there);

// The 64-bit FNV-1a hash of text as 16 hexadecimal digits: it tells two
// settings files apart, it does not guard against forgery.
std::string ContentHash(const std::string &text);

// The most runs an ensemble may have: a folder each, a line each in the
// manifest.
inline constexpr std::int64_t kMostEnsembleRuns = 1'000'000;

// Raises std::runtime_error when the plan has more than kMostEnsembleRuns
// runs, saying how many it would have.
void CheckPlanSize(const EnsemblePlan &plan);

// The inverse of EnsemblePlan::Text; raises std::runtime_error naming path.
EnsemblePlan ReadEnsemblePlan(const std::string &path);

// The seed of replica r derived from a base seed (see EnsemblePlan).
std::uint32_t ReplicaSeed(std::uint32_t baseSeed, std::int64_t replica);

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
std::string RunFolderName(std::int64_t run);
