#pragma once

#include <string>

struct BatchOptions;

// Why the result files that options name cannot be written, or an empty
// text when they can; checked before a run, so that no run is lost to an
// output it cannot write:
// - an existing entry that is not a regular file (a folder, a FIFO, a device)
//   or that cannot be looked up;
// - an output on an input (the settings file at settingsPath, the world that
//   --resume reads) or on another output, whatever path leads to it: links,
//   other spellings of the same folder, hard links. The world files of a run
//   (--checkpoint, --save-world) may replace the world it resumes: a later
//   state of the same run;
// - a folder in which the output's temporary file cannot be made (missing,
//   not writable, a name too long).
std::string OutputPathsProblem(const BatchOptions &options, const std::string &settingsPath);
