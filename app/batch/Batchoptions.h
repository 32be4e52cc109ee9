#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
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
    bool Quiet = false;
    int Threads = 0; // of the mechanics step; 0: one per core
    std::optional<std::string> ResumePath;     // a world file to continue
    std::optional<std::string> SaveWorldPath;  // the world at the end of the run
    std::optional<std::string> CheckpointPath; // the world during the run...
    std::optional<double> CheckpointPeriod;    // ...every so many simulated seconds
    bool Help = false;
};

// A command line that cannot be used; the message says why.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Options as "--name value" or "--name=value"; raises UsageError for an
// unknown option, a missing or malformed value, a stray argument, or options
// that do not go together.
BatchOptions ParseBatchOptions(const std::vector<std::string> &arguments);

extern const char *const kBatchUsage;
