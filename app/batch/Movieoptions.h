#pragma once

#include "Outputfile.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

class CCell;
class CommandLine;

// How the 3D view is turned for a picture: about the vertical axis by
// Azimuth, then about the horizontal one by Elevation (degrees), enlarged Zoom
// times. 0,0,1 is the window's reset view, the box seen from the front.
struct MovieView {
    double Azimuth = 0.0;   // degrees
    double Elevation = 0.0; // degrees
    double Zoom = 1.0;
};

// A movie of a run or of saved worlds: FILE ending in .mp4 (H.264), .gif, or
// else a folder of numbered PNG pictures.
struct MovieOptions {
    std::optional<std::string> Path;
    std::optional<double> Every; // s of simulated time; the observation step when not given
    double Fps = 25.0;           // frames per second of the movie
    int Width = 1280;            // px, even
    int Height = 720;            // px, even
    MovieView View;
    // Whether an option besides the path was given.
    bool Tuned = false;
};

enum class MovieKind { Mp4, Gif, PngFolder };
// By the path's ending: ".mp4", ".gif" (in any case), else a folder.
MovieKind MovieKindOf(const std::string &path);

// Adds --movie-fps, --movie-size and --movie-view (and --movie-every when
// withEvery) to line, each written into movie.
void AddMovieOptions(CommandLine &line, MovieOptions &movie, bool withEvery);

// A movie given up after a stop because its encoder took no more frames or
// did not end: the stop ended the run, and with it the movie, which is no
// result lost (what was written of it is removed).
class MovieAbandoned : public OutputError {
public:
    using OutputError::OutputError;
};

// The frames of a run, taken as it goes.
class RunFrames {
public:
    virtual ~RunFrames() = default;
    // On the run's thread: at the start and at every observation.
    virtual void Observe(const CCell &cell) = 0;
    // After the run: the frame of its end when one is due there (not after
    // a stop), then the movie is closed. Raises OutputError; after a stop
    // MovieAbandoned when the encoder does not finish promptly.
    virtual void Finish(const CCell &cell, bool stopped) = 0;
};

// Makes the frames of a run to the cell's world before it starts; raises
// OutputError, or UsageError for options that do not suit the world. Empty
// in a program built without pictures.
using RunFramesMaker =
    std::function<std::unique_ptr<RunFrames>(const MovieOptions &movie, const CCell &cell)>;
