#pragma once

#include "Movieoptions.h"

struct BatchOptions;

// Runs the simulation that options describe: builds the world from the
// settings file as the window's reset-and-apply does, runs it to the end time
// or a stop signal, writes the observations and prints the final state.
// Returns the exit status (Exitstatus.h); every problem has been reported on
// standard error. movies makes the frames of --movie (empty: this program
// cannot make pictures).
int RunBatch(const BatchOptions &options, const RunFramesMaker &movies);
