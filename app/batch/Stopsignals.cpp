#include "Stopsignals.h"

#include "Cell.h"

#include <csignal>

namespace {

// CCell::Stop is one store into an atomic<bool>; only lock-free atomics may
// be touched from a signal handler.
static_assert(std::atomic<bool>::is_always_lock_free);
static_assert(std::atomic<CCell *>::is_always_lock_free);

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<CCell *> stoppedCell = nullptr;
volatile std::sig_atomic_t receivedSignal = 0;

void OnStopSignal(int signal)
{
    receivedSignal = signal;
    if (CCell *cell = stoppedCell.load())
        cell->Stop();
}

} // namespace

StopOnSignals::StopOnSignals(CCell &cell)
{
    stoppedCell = &cell;
    CatchStopSignals();
}

void CatchStopSignals()
{
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    // Writes under way when a signal comes go on, rather than fail with EINTR.
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int signal : kStopSignals)
        sigaddset(&action.sa_mask, signal);
    for (const int signal : kStopSignals) {
        struct sigaction previous;
        sigaction(signal, &action, &previous);
        // A signal ignored by whoever started us (nohup, a background job)
        // stays ignored.
        if (previous.sa_handler == SIG_IGN)
            sigaction(signal, &previous, nullptr);
    }
}

StopOnSignals::~StopOnSignals()
{
    stoppedCell = nullptr;
}

int ReceivedStopSignal()
{
    return receivedSignal;
}

const char *StopSignalName(int signal)
{
    switch (signal) {
    case SIGINT:
        return "Ctrl-C";
    case SIGTERM:
        return "SIGTERM";
    case SIGHUP:
        return "SIGHUP";
    default:
        return "a signal";
    }
}
