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
};

// A movie at path of width x height pixels and fps frames a second, of the
// kind its ending names (see MovieKindOf): MP4 and GIF are encoded by ffmpeg,
// a folder (made when missing) gets "frame-000000.png" and on. Raises
// OutputError when it cannot be begun.
std::unique_ptr<MovieFile> OpenMovieFile(const std::string &path, double fps, int width, int height);
