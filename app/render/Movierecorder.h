#pragma once

#include "Movieoptions.h"
#include "Types3d.h"
#include "WorldSnapshots.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class MovieFile;
class WorldPicture;

// When the frames of a run are due: at the start, then at each multiple of
// the period on the world's clock. Observations come in steps, so a frame is
// taken at the first time seen within slack (half an observation step)
// before its multiple or after it.
class FrameClock {
public:
    FrameClock(double period, double slack) : Period(period), Slack(slack) {}
    // Whether a frame is due at time (s); the first call always is.
    bool Due(double time);

private:
    double Period; // s
    double Slack;  // s
    bool Started = false;
    double Next = 0.0; // s
};

// A movie of a run: on the run's thread each due frame is a copy of the
// scene; a thread of the recorder's own draws and encodes them, so the run
// waits only when it is several frames ahead, and not past a stop. A movie
// that cannot be written is given up at once and reported by Finish; the
// run goes on.
class MovieRecorder : public RunFrames {
public:
    // A movie of cell's world as options say, seen through view; raises
    // OutputError, or UsageError when the frame period is shorter than the
    // world's observation step (frames are taken at observations).
    MovieRecorder(const MovieOptions &options, const TMatrix3D &view, const CCell &cell);
    // A movie not finished is given up.
    ~MovieRecorder() override;

    void Observe(const CCell &cell) override;
    void Finish(const CCell &cell, bool stopped) override;
    // Finish in two steps, so that the second can wait elsewhere: the frame
    // of the run's end when due (not after a stop), then the movie closed
    // once every frame is drawn (raises OutputError).
    void TakeEnd(const CCell &cell, bool stopped);
    void Close();

private:
    struct Frame {
        ObservedScene Scene;
        double Time; // s
    };
    // The time (s) of the state the cell shows.
    static double StateTime(const CCell &cell);
    void Take(const CCell &cell, double time);
    void Draw();
    // Stops the drawing thread after the frames taken; the failure's text.
    std::string StopDrawing();

    FrameClock Clock;
    double Period; // s
    std::unique_ptr<WorldPicture> Picture;
    std::unique_ptr<MovieFile> File;

    std::mutex Lock;
    std::condition_variable Changed;
    std::deque<Frame> Frames;
    bool Closing = false;
    std::string Failure;    // why the movie was given up
    bool Abandoned = false; // after a stop, for an encoder that took no frames
    std::thread Drawer;
};

// The movie of a batch run (RunFramesMaker), seen through options' view.
std::unique_ptr<RunFrames> MakeRunMovie(const MovieOptions &options, const CCell &cell);
