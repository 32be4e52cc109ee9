#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct EnsemblePlan;

// The line of one run in the ensemble's manifest: its index, sweep point,
// replica and seed, the value of each swept parameter, its status and its
// wall time (s). Each run writes its own line into its folder when it ends;
// the merge gathers them.

// How a run ended.
inline constexpr const char *kRunDone = "done";
inline constexpr const char *kRunFailed = "failed";
inline constexpr const char *kRunStopped = "stopped"; // by Ctrl-C or a termination signal
inline constexpr const char *kRunMissing = "missing"; // no record: not run, or not ended yet

// "run", "point", "replica", "seed", the swept idents, "status", "wall_time".
std::vector<std::string> ManifestColumns(const EnsemblePlan &plan);

// The manifest line of a run; an unknown wall time is an empty field.
std::vector<std::string> RunFields(const EnsemblePlan &plan, std::int64_t run, const std::string &status,
                                   std::optional<double> wallSeconds);

// Writes the header and the run's line into run.tsv in runFolder.
void WriteRunRecord(const std::string &runFolder, const EnsemblePlan &plan, std::int64_t run,
                    const std::string &status, std::optional<double> wallSeconds);

// The fields of the record in runFolder, or nothing when it has none. Raises
// std::runtime_error for a record that belongs to another plan or run.
std::optional<std::vector<std::string>> ReadRunRecord(const std::string &runFolder, const EnsemblePlan &plan,
                                                      std::int64_t run);
