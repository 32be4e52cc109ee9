#pragma once

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

// Raised by a run whose clock has stopped advancing: the waiting times have
// fallen below the resolution of the simulated time (Time + tau == Time),
// so reactions would follow one another at a fixed time for ever.
class StalledClockError : public std::runtime_error {
public:
    // Passes in a row that may leave the clock unchanged before a run gives
    // up. Far more than rounding ever causes at sane rates, yet only a
    // fraction of a second of wasted work.
    static constexpr std::int64_t kLimit = 1'000'000;

    explicit StalledClockError(double time) : std::runtime_error(Message(time)), time_(time) {}

    double Time() const { return time_; }

private:
    static std::string Message(double time)
    {
        char text[256];
        std::snprintf(text, sizeof text,
                      "Simulated time stopped advancing at %.17g s: %lld reactions in a row did "
                      "not move the clock. The rates are too high for the clock's precision at "
                      "this time.",
                      time, static_cast<long long>(kLimit));
        return text;
    }

    double time_;
};

// Raised by a catch-up loop whose clock no longer moves when its step is
// added: at a time of 1e13 s a step of 1e-4 s is below the clock's
// resolution, and the loop would make observations or mechanics steps at
// one time for ever.
class ClockStepError : public std::runtime_error {
public:
    ClockStepError(const char *clock, double time, double step)
        : std::runtime_error(Message(clock, time, step))
    {
    }

private:
    static std::string Message(const char *clock, double time, double step)
    {
        char text[256];
        std::snprintf(text, sizeof text,
                      "The %s clock stopped advancing at %.17g s: its step of %.17g s is below "
                      "the clock's resolution at this time.",
                      clock, time, step);
        return text;
    }
};
