#include "FloatingPoint.h"

#include <cfenv>
#include <csignal>
#include <mutex>

namespace fp {
namespace {

constexpr int kTrappedExceptions = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;

thread_local bool trapsOn = false;

void SetHardwareTraps(bool on)
{
    if (on) {
        // A flag left raised would trap at once where the x87 unit is used.
        std::feclearexcept(FE_ALL_EXCEPT);
        feenableexcept(kTrappedExceptions);
    } else {
        fedisableexcept(kTrappedExceptions);
    }
}

Fault FaultOfSignalCode(int code)
{
    switch (code) {
    case FPE_FLTDIV:
    case FPE_INTDIV:
        return Fault::DivisionByZero;
    case FPE_FLTOVF:
        return Fault::Overflow;
    default:
        return Fault::Invalid;
    }
}

// The kernel enters the handler with a fresh floating-point environment (traps
// masked) and, because we leave by an exception instead of returning, that
// environment is the one the program continues with. Re-arm the traps, since
// the enclosing Traps scope is still alive and will restore on its way out.
void OnFloatingPointSignal(int, siginfo_t *info, void *)
{
    SetHardwareTraps(true);
    throw FloatingPointError(FaultOfSignalCode(info->si_code));
}

void InstallHandlerOnce()
{
    static std::once_flag installed;
    std::call_once(installed, [] {
        struct sigaction action = {};
        action.sa_sigaction = OnFloatingPointSignal;
        // SA_NODEFER: the handler never returns, so the signal must not stay
        // blocked after the throw.
        action.sa_flags = SA_SIGINFO | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        sigaction(SIGFPE, &action, nullptr);
    });
}

} // namespace

FloatingPointError::FloatingPointError(Fault fault) : std::runtime_error(FaultMessage(fault)), fault_(fault)
{
}

const char *FaultMessage(Fault fault)
{
    switch (fault) {
    case Fault::DivisionByZero:
        return "Floating point division by zero";
    case Fault::Overflow:
        return "Floating point overflow";
    case Fault::Invalid:
        break;
    }
    return "Invalid floating point operation";
}

// The hardware is set only where the state changes: a parallel stage sets
// the traps for each chunk of work, and the calling thread, whose traps are
// on already, takes chunks too.
Traps::Traps(bool enabled) : previous_(trapsOn)
{
    if (enabled)
        InstallHandlerOnce();
    if (enabled != trapsOn)
        SetHardwareTraps(enabled);
    trapsOn = enabled;
}

Traps::~Traps()
{
    if (previous_ != trapsOn)
        SetHardwareTraps(previous_);
    trapsOn = previous_;
}

bool TrapsEnabled()
{
    return trapsOn;
}

} // namespace fp
