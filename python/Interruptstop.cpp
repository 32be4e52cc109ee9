#include "Interruptstop.h"

#include "Pythonworld.h"

#include <atomic>

namespace {

// A signal handler can reach only what is global; PythonWorld::Stop is one
// store into a lock-free atomic.
static_assert(std::atomic<PythonWorld *>::is_always_lock_free);
std::atomic<PythonWorld *> stoppedWorld = nullptr;
// The interpreter's handler, called after the stop: it only notes the signal.
struct sigaction interpreterHandler = {};

void OnInterrupt(int signal, siginfo_t *info, void *context)
{
    if (PythonWorld *world = stoppedWorld.load())
        world->Stop();
    if (interpreterHandler.sa_flags & SA_SIGINFO)
        interpreterHandler.sa_sigaction(signal, info, context);
    else
        interpreterHandler.sa_handler(signal);
}

// A handler of the interpreter's (a function), not the default action or
// "ignore", which a Ctrl-C must keep.
bool IsFunction(const struct sigaction &action)
{
    if (action.sa_flags & SA_SIGINFO)
        return action.sa_sigaction != nullptr;
    return action.sa_handler != SIG_DFL && action.sa_handler != SIG_IGN;
}

} // namespace

InterruptStopsRun::InterruptStopsRun(PythonWorld &world) : outer_(stoppedWorld.exchange(&world))
{
    if (outer_)
        return; // the outer run's handler is in place
    sigaction(SIGINT, nullptr, &interpreterAction_);
    if (!IsFunction(interpreterAction_))
        return;
    interpreterHandler = interpreterAction_;
    struct sigaction action = interpreterAction_;
    action.sa_sigaction = OnInterrupt;
    action.sa_flags |= SA_SIGINFO;
    installed_ = sigaction(SIGINT, &action, nullptr) == 0;
}

InterruptStopsRun::~InterruptStopsRun()
{
    if (installed_)
        sigaction(SIGINT, &interpreterAction_, nullptr);
    stoppedWorld = outer_;
}
