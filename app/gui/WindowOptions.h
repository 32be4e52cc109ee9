#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// The command line of the window program:
//   filonex [--settings FILE] [--seed N] [--run] [--quit-when-done]
//           [--table FILE] [--save-world FILE]
struct WindowOptions {
    std::optional<QString> SettingsPath; // instead of the file beside the program
    std::optional<std::uint32_t> Seed;   // as filonex-batch --seed
    bool RunAtOnce = false;
    bool QuitWhenDone = false; // close the window when the first run ends
    // Written as the window closes after the run, as filonex-batch's.
    std::optional<std::string> TablePath;
    std::optional<std::string> SaveWorldPath;
    bool Help = false;
};

// A command line that cannot be used; the message says why.
class WindowUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Options as "--name value" or "--name=value", each at most once, no value
// that starts with "--"; raises WindowUsageError for an unknown, repeated or
// malformed option, a stray argument, or --table or --save-world without
// --run and --quit-when-done.
WindowOptions ParseWindowOptions(const std::vector<std::string> &arguments);

// Why the result files cannot be written, or an empty text: the runner's
// checks of its output paths (see Outputpaths.h), before the run.
std::string ResultPathsProblem(const std::optional<std::string> &table,
                               const std::optional<std::string> &world, const std::string &settingsPath);

// The text of --help.
std::string WindowHelp();
