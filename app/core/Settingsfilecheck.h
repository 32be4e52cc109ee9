#pragma once

#include <string>
#include <vector>

class SettingsFile;
struct ParameterStore;

// What in a settings file the parameter tables of store will not use, one
// warning text each: a line that is not understood, with its number; a
// section or an ident that is not known (misspelt, or of another program),
// with the closest known name (the window's own section is known); a section or an ident that repeats an earlier
// one; and a file that holds text but no known section at all (perhaps not a
// settings file).
std::vector<std::string> SettingsFileWarnings(const SettingsFile &settings, const ParameterStore &store);
