#include "Movieoptions.h"

#include "Commandline.h"
#include "Numbertext.h"

#include <cctype>
#include <cmath>
#include <regex>

namespace {

// The frame rates a movie can have: ffmpeg is given the rate with six
// decimals, and players show a few hundred frames a second at most.
constexpr double kSlowestFps = 0.01;
constexpr double kFastestFps = 1000.0;
// The enlargements the view can take: beyond them the box or its scale bar
// leaves the picture, and the float matrices of the drawing overflow.
constexpr double kSmallestZoom = 0.001;
constexpr double kLargestZoom = 1000.0;

double ParsedOrNaN(std::string_view text)
{
    try {
        return ParseNumber(text);
    } catch (const ConversionError &) {
        return std::nan("");
    }
}

double PositiveValue(const std::string &name, const std::string &what, const std::string &text)
{
    const double value = ParsedOrNaN(text);
    if (!(value > 0.0) || !std::isfinite(value))
        throw UsageError(name + " needs " + what + " above 0, not '" + text + "'");
    return value;
}

double FpsValue(const std::string &text)
{
    const double value = ParsedOrNaN(text);
    if (!(value >= kSlowestFps && value <= kFastestFps))
        throw UsageError("--movie-fps needs a number of frames per second from 0.01 to 1000, not '" + text + "'");
    return value;
}

// "WxH" with even sides: H.264 in yuv420p halves both.
void SizeValue(const std::string &text, MovieOptions &movie)
{
    static const std::regex form("([0-9]{1,5})x([0-9]{1,5})");
    std::smatch parts;
    const auto side = [&parts](int i) { return std::stoi(parts[i].str()); };
    if (!std::regex_match(text, parts, form) || side(1) < 16 || side(2) < 16 || side(1) > 8192 ||
        side(2) > 8192 || side(1) % 2 || side(2) % 2)
        throw UsageError("--movie-size needs WIDTHxHEIGHT in pixels, even numbers from 16 to 8192 (for "
                         "example 1280x720), not '" +
                         text + "'");
    movie.Width = side(1);
    movie.Height = side(2);
}

void ViewValue(const std::string &text, MovieOptions &movie)
{
    const std::string problem = "--movie-view needs AZIMUTH,ELEVATION,ZOOM (degrees, degrees, a factor "
                                "from 0.001 to 1000; for example 30,20,1.5), not '" +
                                text + "'";
    double values[3] = {};
    std::size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        const std::size_t end = i < 2 ? text.find(',', start) : text.size();
        if (end == std::string::npos)
            throw UsageError(problem);
        values[i] = ParsedOrNaN(std::string_view(text).substr(start, end - start));
        if (!std::isfinite(values[i]))
            throw UsageError(problem);
        start = end + 1;
    }
    if (!(values[2] >= kSmallestZoom && values[2] <= kLargestZoom))
        throw UsageError(problem);
    movie.View = {values[0], values[1], values[2]};
}

bool EndsWith(const std::string &path, const std::string &ending)
{
    if (path.size() < ending.size())
        return false;
    for (std::size_t i = 0; i < ending.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(path[path.size() - ending.size() + i])) != ending[i])
            return false;
    return true;
}

} // namespace

MovieKind MovieKindOf(const std::string &path)
{
    if (EndsWith(path, ".mp4"))
        return MovieKind::Mp4;
    if (EndsWith(path, ".gif"))
        return MovieKind::Gif;
    return MovieKind::PngFolder;
}

void AddMovieOptions(CommandLine &line, MovieOptions &movie, bool withEvery)
{
    if (withEvery)
        line.AddValue("--movie-every", "T",
                      "a frame at the start and at each multiple of T simulated seconds (default: the "
                      "observation step; at least the observation step)",
                      [&movie](const std::string &text) {
                          movie.Every = PositiveValue("--movie-every", "a number of seconds", text);
                          movie.Tuned = true;
                      });
    line.AddValue("--movie-fps", "F", "frames per second of the movie, 0.01 to 1000 (default 25)",
                  [&movie](const std::string &text) {
                      movie.Fps = FpsValue(text);
                      movie.Tuned = true;
                  });
    line.AddValue("--movie-size", "WxH",
                  "the size of the pictures in pixels, even numbers (default 1280x720)",
                  [&movie](const std::string &text) {
                      SizeValue(text, movie);
                      movie.Tuned = true;
                  });
    line.AddValue("--movie-view", "AZIMUTH,ELEVATION,ZOOM",
                  "the view turned by AZIMUTH degrees about the vertical axis, then by ELEVATION degrees "
                  "about the horizontal one, enlarged ZOOM times, 0.001 to 1000 (default 0,0,1: the box from the front, as "
                  "after \"Reset view\")",
                  [&movie](const std::string &text) {
                      ViewValue(text, movie);
                      movie.Tuned = true;
                  });
}
