#pragma once

class CCell;

// Ctrl-C (SIGINT), SIGTERM (sent by timeout, schedulers and container stops)
// and SIGHUP (a closed terminal) all end a run the same way: the handler
// stops the cell at once, the run returns at its next pass or mechanics step,
// and the runner writes what it has.

// While alive, the stop signals stop cell. The handlers stay installed
// afterwards and only record a signal.
class StopOnSignals {
public:
    explicit StopOnSignals(CCell &cell);
    ~StopOnSignals();
    StopOnSignals(const StopOnSignals &) = delete;
    StopOnSignals &operator=(const StopOnSignals &) = delete;
};

// Installs the handlers with no cell to stop, for a process that waits for
// runs of its own (an ensemble): it asks ReceivedStopSignal.
void CatchStopSignals();

// The stop signal received since the handlers were installed, or 0.
int ReceivedStopSignal();

// "Ctrl-C", "SIGTERM" or "SIGHUP", for the message of a stopped run.
const char *StopSignalName(int signal);
