#include "Movierecorder.h"

#include "Cell.h"
#include "Commandline.h"
#include "Moviefile.h"
#include "Movieview.h"
#include "Numbertext.h"
#include "Outputfile.h"
#include "Worldpicture.h"

#include <cerrno>
#include <cmath>

namespace {

// Frames taken but not yet drawn; the run waits beyond them.
constexpr std::size_t kFramesAhead = 4;
// How often a run waiting for room looks whether it was stopped.
constexpr auto kStopLook = std::chrono::milliseconds(20);

} // namespace

bool FrameClock::Due(double time)
{
    if (Started && time < Next - Slack)
        return false;
    Started = true;
    Next = (std::floor((time + Slack) / Period) + 1.0) * Period;
    return true;
}

MovieRecorder::MovieRecorder(const MovieOptions &options, const TMatrix3D &view, const CCell &cell)
    : Clock(options.Every.value_or(cell.ObsTimeStep), cell.ObsTimeStep / 2),
      Period(options.Every.value_or(cell.ObsTimeStep))
{
    // A little below the step, so that a period given as the step is not
    // refused for its last bit.
    if (Period < cell.ObsTimeStep * (1 - 1e-9))
        throw UsageError("--movie-every " + FormatNumber(Period) + " is shorter than the observation step " +
                         FormatNumber(cell.ObsTimeStep) + " s: frames are taken at observations");
    try {
        Picture = std::make_unique<WorldPicture>(options.Width, options.Height, view);
    } catch (const Offscreen3DError &e) {
        throw OutputError("cannot draw the movie '" + options.Path.value_or("") + "': " + e.what(), ENODEV);
    }
    Picture->SetBox({cell.Size.x, cell.Size.y, cell.Size.z});
    File = OpenMovieFile(*options.Path, options.Fps, options.Width, options.Height);
    Drawer = std::thread([this] { Draw(); });
}

MovieRecorder::~MovieRecorder()
{
    StopDrawing();
}

void MovieRecorder::Observe(const CCell &cell)
{
    if (const double time = StateTime(cell); Clock.Due(time))
        Take(cell, time);
}

double MovieRecorder::StateTime(const CCell &cell)
{
    // During a run the clock already shows the next reaction's time while
    // the observations on the way to it are made.
    return cell.Running ? cell.ObsTime : cell.Time;
}

void MovieRecorder::Take(const CCell &cell, double time)
{
    Frame frame;
    ObserveScene(cell, frame.Scene);
    frame.Time = time;
    std::unique_lock lock(Lock);
    // A stop (from a signal handler, which cannot notify) ends the wait for
    // an encoder that takes no frames; the frame is dropped.
    while (Frames.size() >= kFramesAhead) {
        if (!cell.Running)
            return;
        Changed.wait_for(lock, kStopLook);
    }
    Frames.push_back(std::move(frame));
    Changed.notify_all();
}

void MovieRecorder::Finish(const CCell &cell, bool stopped)
{
    if (stopped)
        File->Hurry();
    TakeEnd(cell, stopped);
    Close();
}

void MovieRecorder::TakeEnd(const CCell &cell, bool stopped)
{
    if (!stopped && Clock.Due(cell.Time))
        Take(cell, cell.Time);
}

void MovieRecorder::Close()
{
    const std::string failure = StopDrawing();
    if (Abandoned)
        throw MovieAbandoned(failure, EINTR);
    if (!failure.empty())
        throw OutputError(failure, EIO);
    File->Close();
}

std::string MovieRecorder::StopDrawing()
{
    {
        const std::lock_guard lock(Lock);
        Closing = true;
    }
    Changed.notify_all();
    if (Drawer.joinable())
        Drawer.join();
    return Failure;
}

void MovieRecorder::Draw()
{
    for (;;) {
        Frame frame;
        {
            std::unique_lock lock(Lock);
            Changed.wait(lock, [this] { return !Frames.empty() || Closing; });
            if (Frames.empty())
                return;
            frame = std::move(Frames.front());
            Frames.pop_front();
        }
        Changed.notify_all();
        if (!Failure.empty())
            continue; // given up: the run is not kept waiting
        try {
            File->Add(Picture->Draw(frame.Scene, TimeCaption(frame.Time, Period)));
        } catch (const std::exception &e) {
            const std::lock_guard lock(Lock);
            Failure = e.what();
            Abandoned = dynamic_cast<const MovieAbandoned *>(&e) != nullptr;
        }
    }
}

std::unique_ptr<RunFrames> MakeRunMovie(const MovieOptions &options, const CCell &cell)
{
    return std::make_unique<MovieRecorder>(options, ViewMatrixOf(options.View), cell);
}
