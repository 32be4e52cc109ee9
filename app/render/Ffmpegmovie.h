#pragma once

#include "Moviefile.h"
#include "Outputfile.h"

#include <atomic>

#include <sys/types.h>

// An MP4 (H.264 in yuv420p, which common players open) or a GIF (a fixed
// palette of 256 colours, so that memory stays bounded), encoded by ffmpeg
// from raw frames fed through a pipe. ffmpeg runs in a process group of its
// own, so that a Ctrl-C meant for the run does not kill the movie before it
// is closed; it writes into the temporary file, which Close renames. A
// movie given up ends the encoder's whole process group.
class FfmpegMovie : public MovieFile {
public:
    FfmpegMovie(const std::string &path, MovieKind kind, double fps, int width, int height);
    ~FfmpegMovie() override;

    void Add(const QImage &frame) override;
    void Close() override;
    void Hurry() override { Hurried = true; }

private:
    // Writes bytes into the pipe, waiting while it is full; raises
    // OutputError when ffmpeg has gone, MovieAbandoned when hurried and the
    // pipe has taken nothing for a while.
    void Feed(const char *bytes, std::size_t size);
    // Waits for ffmpeg to end; its status as text, empty for success. When
    // hurried and it has not ended in a while, ends it and raises
    // MovieAbandoned.
    std::string Reap();
    // Kills the encoder's process group and waits for the encoder.
    void Kill();
    [[noreturn]] void Abandon(const std::string &what);

    std::atomic<bool> Hurried = false;
    OutputFile Target;
    int Width;
    int Height;
    pid_t Encoder = -1;
    int Pipe = -1; // the writing end
};
