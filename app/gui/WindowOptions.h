#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// The command line of the window program:
//   filonex [--settings FILE] [--seed N] [--run] [--quit-when-done]
struct WindowOptions {
    std::optional<QString> SettingsPath; // instead of the file beside the program
    std::optional<std::uint32_t> Seed;   // as filonex-batch --seed
    bool RunAtOnce = false;
    bool QuitWhenDone = false; // close the window when the first run ends
    bool Help = false;
};

// A command line that cannot be used; the message says why.
class WindowUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Options as "--name value" or "--name=value", each at most once, no value
// that starts with "--"; raises WindowUsageError for an unknown, repeated or
// malformed option, or a stray argument.
WindowOptions ParseWindowOptions(const std::vector<std::string> &arguments);

// The text of --help.
std::string WindowHelp();
