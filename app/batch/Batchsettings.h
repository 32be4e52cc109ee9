#pragma once

#include "Parameters.h"

#include <optional>
#include <string>

struct BatchOptions;
class SettingsFile;

// The settings file of a run: the one given by --settings, else the window
// program's filonex.ini beside the runner (a missing one means the defaults).
std::string BatchSettingsPath(const BatchOptions &options);

// Why the settings file at path cannot be read, naming it and giving the
// system's reason (missing, no permission, a symbolic link loop, a name too
// long, not a regular file, too large) or that its text is UTF-16, or an
// empty text when it can. A missing file is a problem only when mustExist.
std::string SettingsFileProblem(const std::string &path, bool mustExist);

// The parameter tables of a run from settings, with the method given (on the
// command line) or else the one the file names, else "First reaction":
// unlike the window, which always starts with "First reaction", a run takes
// the method of its settings file. What the file holds in vain is told by
// SettingsFileWarnings.
ParameterStore RunParameters(const SettingsFile &settings, const std::optional<std::string> &method);

// RunParameters after the warnings about the settings file (see
// SettingsFileWarnings): each printed, or with strict raised together as a
// std::runtime_error.
ParameterStore CheckedRunParameters(const SettingsFile &settings, const std::optional<std::string> &method,
                                    bool strict);
