#pragma once

#include <chrono>
#include <string>

class CCell;

// A one-line progress display on standard error: simulated time against the
// end time, reactions, filaments, elapsed and estimated remaining wall time.
// Redrawn at most ten times a second; does nothing when disabled.
class ProgressBar {
public:
    ProgressBar(bool enabled, double startTime, double endTime);

    void Update(const CCell &cell);
    // Clears the line, so that a message can be printed on it; the next
    // update draws the bar again.
    void ClearLine();
    // Draws the final state and ends the line.
    void Finish(const CCell &cell);

private:
    void Draw(const CCell &cell);

    bool enabled_;
    double startTime_;
    double endTime_;
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point lastDrawn_;
};

// A wall-clock span as "h:mm:ss", rounded to the second; beyond a century
// (an estimate for a run that will not end) ">" and a century, "?" for an
// estimate that cannot be made.
std::string ClockText(double seconds);
