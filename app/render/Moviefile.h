#pragma once

#include "Movieoptions.h"

#include <QImage>

#include <memory>
#include <string>

// A movie being written frame by frame, like every result file: under a
// temporary name until Close renames it into place, removed when the movie
// is given up (destroyed without Close). A folder of pictures gets each
// picture that way instead.
class MovieFile {
public:
    virtual ~MovieFile() = default;
    // The next frame, of the movie's size in QImage::Format_RGB32; raises
    // OutputError.
    virtual void Add(const QImage &frame) = 0;
    // Completes the movie; raises OutputError.
    virtual void Close() = 0;
    // From any thread, after a stop: from now on Add and Close give up
    // (MovieAbandoned) rather than wait long for an encoder that takes no
    // frames or does not end.
    virtual void Hurry() {}
};

// Why no movie can be written at path, or an empty text: for a movie file
// OutputTargetProblem; for a folder of pictures, an entry that is not a
// folder or a folder that already holds pictures of a movie (their
// "frame-NNNNNN.png" names), whose frames beyond this movie's would stay
// and mix two runs.
std::string MovieTargetProblem(const std::string &path);

// A movie at path of width x height pixels and fps frames a second, of the
// kind its ending names (see MovieKindOf): MP4 and GIF are encoded by ffmpeg,
// a folder (made when missing) gets "frame-000000.png" and on. Raises
// OutputError when it cannot be begun (MovieTargetProblem among others).
std::unique_ptr<MovieFile> OpenMovieFile(const std::string &path, double fps, int width, int height);
