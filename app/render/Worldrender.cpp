#include "Worldrender.h"

#include "Cell.h"
#include "Commandline.h"
#include "Exitstatus.h"
#include "Moviefile.h"
#include "Movieview.h"
#include "Outputfile.h"
#include "Worldfile.h"
#include "Worldpicture.h"

#include <QBuffer>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace {

int Report(int status, const std::string &message)
{
    std::fprintf(stderr, "filonex-render: %s\n", message.c_str());
    return status;
}

// What a picture needs of a saved world.
struct SavedWorld {
    ObservedScene Scene;
    TXYZ Box;       // m
    double Time;    // s
    double ObsStep; // s, the resolution of its time
};

SavedWorld Load(const std::string &path)
{
    CCell cell;
    LoadWorld(path, cell);
    SavedWorld world{{}, {cell.Size.x, cell.Size.y, cell.Size.z}, cell.Time, cell.ObsTimeStep};
    ObserveScene(cell, world.Scene);
    return world;
}

CommandLine RenderCommandLine()
{
    return CommandLine(
        "filonex-render",
        "Draws the 3D view of saved worlds (world files of filonex and filonex-batch) without\n"
        "a display: one world as a PNG picture, several as a movie in the order of their\n"
        "simulated times (for example the checkpoints of a run).",
        "Pictures carry the simulated time, a scale bar in micrometres and the number of\n"
        "filaments. OUT is written under a temporary name and renamed when complete.\n"
        "\n"
        "Exit status: 0 done, 2 bad input (command line, world file), 3 OUT could not be\n"
        "written.\n");
}

void DefineOptions(CommandLine &line, RenderOptions &options)
{
    line.AddArguments("WORLD", "world files",
                      [&options](const std::string &text) { options.Worlds.push_back(text); });
    line.AddValue("-o,--output", "OUT",
                  "the picture (one world) or the movie: ending in .mp4 (H.264, made by ffmpeg) or .gif, "
                  "else a folder of numbered PNG pictures",
                  [&options](const std::string &text) { options.OutPath = text; });
    AddMovieOptions(line, options.Movie, false);
    line.AddFlag("-h,--help", "this text", options.Help);
}

bool SameFile(const std::string &a, const std::string &b)
{
    std::error_code error;
    return std::filesystem::equivalent(a, b, error);
}

void WritePicture(const std::string &path, const QImage &picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG"))
        throw OutputError("cannot encode the picture '" + path + "'", 0);
    WriteOutputFile(path, std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

} // namespace

RenderOptions ParseRenderOptions(const std::vector<std::string> &arguments)
{
    RenderOptions options;
    CommandLine line = RenderCommandLine();
    DefineOptions(line, options);
    line.Parse(arguments);
    if (options.Help)
        return options;
    if (options.Worlds.empty())
        throw UsageError("no world file given");
    if (options.OutPath.empty())
        throw UsageError("-o OUT is missing: where the picture or the movie goes");
    return options;
}

std::string RenderHelp()
{
    RenderOptions options;
    CommandLine line = RenderCommandLine();
    DefineOptions(line, options);
    return line.Help();
}

int RenderWorlds(const RenderOptions &options)
{
    for (const std::string &world : options.Worlds)
        if (SameFile(world, options.OutPath))
            return Report(kExitBadInput,
                          "cannot write to '" + options.OutPath + "': it is the world file it draws");
    const bool onePicture =
        options.Worlds.size() == 1 && MovieKindOf(options.OutPath) == MovieKind::PngFolder;
    if (const std::string problem =
            onePicture ? OutputTargetProblem(options.OutPath) : MovieTargetProblem(options.OutPath);
        !problem.empty())
        return Report(kExitBadInput, problem);
    std::vector<SavedWorld> worlds;
    try {
        for (const std::string &path : options.Worlds)
            worlds.push_back(Load(path));
    } catch (const WorldFileError &e) {
        return Report(kExitBadInput, e.what());
    }
    std::stable_sort(worlds.begin(), worlds.end(),
                     [](const SavedWorld &a, const SavedWorld &b) { return a.Time < b.Time; });

    const MovieOptions &movie = options.Movie;
    try {
        std::unique_ptr<WorldPicture> picture;
        try {
            picture = std::make_unique<WorldPicture>(movie.Width, movie.Height, ViewMatrixOf(movie.View));
        } catch (const Offscreen3DError &e) {
            return Report(kExitOutputFailed, e.what());
        }
        const auto draw = [&picture](const SavedWorld &world) {
            picture->SetBox(world.Box);
            return picture->Draw(world.Scene, TimeCaption(world.Time, world.ObsStep));
        };
        if (onePicture) {
            WritePicture(options.OutPath, draw(worlds.front()));
            return kExitDone;
        }
        const std::unique_ptr<MovieFile> file =
            OpenMovieFile(options.OutPath, movie.Fps, movie.Width, movie.Height);
        for (const SavedWorld &world : worlds)
            file->Add(draw(world));
        file->Close();
    } catch (const OutputError &e) {
        return Report(kExitOutputFailed, e.what());
    }
    return kExitDone;
}
