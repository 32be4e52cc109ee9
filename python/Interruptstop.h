#pragma once

#include <csignal>

class PythonWorld;

// Ctrl-C during a run from Python: the run stops cleanly at its next pass or
// mechanics step, and the interpreter's own handler still records the
// signal, so that it raises KeyboardInterrupt once the run has returned.
//
// Only the interpreter's main thread gets KeyboardInterrupt, so only runs on
// that thread use this. A run started from inside another run's observer
// takes over until it ends.
class InterruptStopsRun {
public:
    explicit InterruptStopsRun(PythonWorld &world);
    ~InterruptStopsRun();
    InterruptStopsRun(const InterruptStopsRun &) = delete;
    InterruptStopsRun &operator=(const InterruptStopsRun &) = delete;

private:
    PythonWorld *outer_;
    bool installed_ = false;
    struct sigaction interpreterAction_ = {};
};
