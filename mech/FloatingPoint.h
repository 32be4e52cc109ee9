#pragma once

#include <stdexcept>

namespace fp {

// The three floating-point faults that simulation code reports instead of
// leaving an infinity or a NaN behind. Underflow and inexact results are not
// faults.
enum class Fault { DivisionByZero, Invalid, Overflow };

class FloatingPointError : public std::runtime_error {
public:
    explicit FloatingPointError(Fault fault);
    Fault fault() const { return fault_; }

private:
    Fault fault_;
};

// The user-visible message of a fault.
const char *FaultMessage(Fault fault);

// While a Traps scope with enabled = true is alive on the calling thread,
// division by zero, invalid operations and overflow trap at the faulting
// instruction and are thrown as FloatingPointError from there, so the value
// that would have been stored never is. A scope with enabled = false switches
// the traps off (for window and OpenGL code called from inside a run). Scopes
// nest; each restores the state it found.
//
// Only arithmetic compiled into our own code can throw this way: a fault
// inside a math library call (sqrt of a negative, log of zero) cannot unwind
// through the library and ends the process, so callers keep such arguments
// in the function's domain.
class Traps {
public:
    explicit Traps(bool enabled = true);
    ~Traps();
    Traps(const Traps &) = delete;
    Traps &operator=(const Traps &) = delete;

private:
    bool previous_;
};

// Whether traps are on for the calling thread.
bool TrapsEnabled();

} // namespace fp
