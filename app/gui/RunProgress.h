#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

// The speed of a run in simulated seconds per second of wall time, overall
// and recent. Runs slow down as filaments pile up, so the time left is
// estimated from the recent speed: the simulated and the wall time of the
// steps between observations, each weighted by exp(-age / RecentTime), so
// that the last ~10 s of wall time carry 86 % of the weight.
class RunSpeed {
public:
    static constexpr double RecentTime = 5.0; // s of wall time
    // Recent and overall speeds further apart than this share of the overall
    // one: the speed is unsteady and the time left a rough guess.
    static constexpr double UnsteadyShare = 0.2;

    // A run begins at simulated time `time` (s); wall time counts from here.
    void Begin(double time);
    // At `wall` s after Begin the run has reached simulated time `time` (s).
    void Observe(double wall, double time);
    // Whether both times have advanced since Begin.
    bool Known() const { return weightedWall_ > 0.0 && weightedSimulated_ > 0.0; }
    double Recent() const { return weightedSimulated_ / weightedWall_; }
    double Overall() const { return (time_ - start_) / wall_; }
    bool Steady() const;

private:
    double start_ = 0.0; // s, simulated
    double time_ = 0.0;  // s, simulated, at the last observation
    double wall_ = 0.0;  // s since Begin, at the last observation
    double weightedSimulated_ = 0.0;
    double weightedWall_ = 0.0;
};

// The progress panel of the status bar: a bar with the simulated time within
// the stretch of the run (from 0, or from where "Start" extended a finished
// run, to the end time), the recent speed and the time left at that speed,
// "about" while the speed is unsteady.
class TRunProgress : public QWidget {
    Q_OBJECT

public:
    explicit TRunProgress(QWidget *parent = nullptr);

    // The world at `time` of a stretch from `from` to `end` (s), times read
    // on the grid of `step`; no speed.
    void ShowWorld(double time, double from, double end, double step);
    // A run (or its continuation) begins at `time`.
    void BeginRun(double time);
    // The run has reached `time` `wall` s after BeginRun.
    void ShowRun(double time, double wall);
    // Nothing: there is no world to show.
    void Clear();

    static constexpr int Steps = 1000; // of the bar

private:
    void ShowBar(double time);
    QString TimeText(double time) const;

    QProgressBar *bar_;
    QLabel *speed_;
    QLabel *left_;
    RunSpeed measured_;
    double from_ = 0.0; // s
    double end_ = 0.0;  // s
    double step_ = 0.0; // s
};
