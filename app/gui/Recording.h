#pragma once

#include "Types3d.h"

#include <QObject>
#include <QString>

#include <memory>
#include <thread>

class CCell;
class MovieRecorder;
class QWidget;
class RunSession;

// "Record" on the 3D page: a movie of the next run as the view shows it at
// the start, with a frame at each observation step of simulated time, like
// filonex-batch --movie (1280x720, 25 frames a second). The frames are
// copied on the run's thread and drawn and encoded on threads of their own,
// so neither the run nor the window waits for the pictures.
class RunRecording : public QObject {
    Q_OBJECT

public:
    // Hooks into the session's observations: the session, whose runs call
    // this object, must be gone (or never run again) before this object.
    explicit RunRecording(RunSession &session, QObject *parent = nullptr);
    // A movie still closing is waited for.
    ~RunRecording() override;

    // The next run goes to path: ending in .mp4 or .gif, else a folder of
    // numbered PNG pictures.
    void Arm(const QString &path) { ArmedPath = path; }
    void Disarm() { ArmedPath.clear(); }
    bool Armed() const { return !ArmedPath.isEmpty(); }
    // Whether a run is being recorded.
    bool Recording() const { return bool(Movie); }

    // Before an armed run starts (the cell is not running): the movie begins
    // with the world as it is, seen through view. The reason when it cannot
    // begin, else an empty text; either way the recording is disarmed.
    QString RunStarting(const CCell &cell, const TMatrix3D &view);
    // After the recorded run has returned: its end's frame, then the movie
    // is closed; Written or Failed follows.
    void RunEnded(const CCell &cell, bool stopped);
    // Until the movie of the last recorded run is closed.
    void WaitUntilClosed();

    // "Record": asks for the movie's file; empty when cancelled.
    static QString AskPath(QWidget *parent);

signals:
    void Written(const QString &path);
    void Failed(const QString &message);

private:
    QString ArmedPath;
    QString MoviePath;
    // Observed by the run's thread, which it is handed to only between runs.
    std::unique_ptr<MovieRecorder> Movie;
    std::thread Closing;
};
