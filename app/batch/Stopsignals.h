#pragma once

class CCell;

// Ctrl-C (SIGINT), SIGTERM (sent by timeout, schedulers and container stops)
// and SIGHUP (a closed terminal) all end a run the same way: the handler
// stops the cell at once, the run returns at its next pass or mechanics step,
// and the runner writes what it has.

// Installs the handlers for cell, which must outlive the run.
void StopOnSignals(CCell &cell);
// Installs the handlers for a process that runs no cell itself (an ensemble
// that waits for its runs): it asks ReceivedStopSignal.
void CatchStopSignals();

// The stop signal received since StopOnSignals, or 0.
int ReceivedStopSignal();

// "Ctrl-C", "SIGTERM" or "SIGHUP", for the message of a stopped run.
const char *StopSignalName(int signal);
