#pragma once

#include <chrono>

// Chooses how many threads the mechanics step uses when the user left it
// open: all cores, unless the machine is busy enough that waiting for each
// other costs the threads more than they gain, which happens when other
// programs share the cores. Every few hundred to few ten thousand steps it
// times a few steps on one thread and a few on all, and keeps the faster for
// the steps between.
// The step gives the same results on any number of threads, so the choice
// changes only the speed.
class CTeamSizeChooser {
public:
    // The team for the next step, from 1 to `available`.
    int Next(int available);
    // The wall time of the step just made with the team Next gave.
    void Took(std::chrono::steady_clock::duration time);

private:
    static constexpr int kTrialSteps = 8;
    static constexpr int kShortestPeriodSteps = 512;
    static constexpr int kLongestPeriodSteps = 32768;

    int period_ = kShortestPeriodSteps;
    int step_ = 0; // within the period: first the trials, then the choice
    int team_ = 1;
    int choice_ = 0; // 0: all cores, until the trials say otherwise
    std::chrono::steady_clock::duration alone_{}, together_{};
};
