#include "Stopsignals.h"

#include "Cell.h"

#include <csignal>

namespace {

// CCell::Stop is one store into this atomic; only a lock-free atomic may be
// touched from a signal handler.
static_assert(std::atomic<bool>::is_always_lock_free);

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

CCell *stoppedCell = nullptr;
volatile std::sig_atomic_t receivedSignal = 0;

void OnStopSignal(int signal)
{
    receivedSignal = signal;
    if (stoppedCell)
        stoppedCell->Stop();
}

} // namespace

void StopOnSignals(CCell &cell)
{
    stoppedCell = &cell;
    CatchStopSignals();
}

void CatchStopSignals()
{
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
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
