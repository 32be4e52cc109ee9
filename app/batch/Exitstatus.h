#pragma once

#include <string>

// The exit statuses of filonex-batch, listed by its --help.
constexpr int kExitDone = 0;
constexpr int kExitRunFailed = 1;    // the run ended by an error (floating point, stalled clock)
constexpr int kExitBadInput = 2;     // command line, settings, parameters or output paths
constexpr int kExitOutputFailed = 3; // a result could not be written
// A run stopped by a signal exits with 128 + its number, as a shell reports
// a program killed by it: 130 Ctrl-C, 143 SIGTERM, 129 SIGHUP.
int StoppedStatus(int signal);

// Of two outcomes of one run, the one to report: a lost result before a
// failed run, a failed run before a stop, a stop before success.
int MoreSeriousStatus(int a, int b);

// Prints "filonex-batch: message" on standard error; returns status.
int Fail(int status, const std::string &message);
// Prints "filonex-batch: warning: message" on standard error.
void Warn(const std::string &message);
