#pragma once

#include "Moviefile.h"
#include "Outputfile.h"

#include <sys/types.h>

// An MP4 (H.264 in yuv420p, which common players open) or a GIF (a fixed
// palette of 256 colours, so that memory stays bounded), encoded by ffmpeg
// from raw frames fed through a pipe. ffmpeg runs in a process group of its
// own, so that a Ctrl-C meant for the run does not kill the movie before it
// is closed; it writes into the temporary file, which Close renames.
class FfmpegMovie : public MovieFile {
public:
    FfmpegMovie(const std::string &path, MovieKind kind, double fps, int width, int height);
    ~FfmpegMovie() override;

    void Add(const QImage &frame) override;
    void Close() override;

private:
    // Waits for ffmpeg to end; its status as text, empty for success.
    std::string Reap();

    OutputFile Target;
    int Width;
    int Height;
    pid_t Encoder = -1;
    int Pipe = -1; // the writing end
};
