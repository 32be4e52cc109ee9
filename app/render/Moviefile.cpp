#include "Moviefile.h"

#include "Ffmpegmovie.h"
#include "Outputfile.h"

#include <QBuffer>

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace {

constexpr const char *kFramePrefix = "frame-";

bool HoldsFrames(const std::filesystem::path &folder)
{
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.starts_with(kFramePrefix) && name.ends_with(".png"))
            return true;
    }
    return false;
}

// Numbered pictures in a folder, each written whole.
class PictureFolder : public MovieFile {
public:
    explicit PictureFolder(std::string folder) : Folder(std::move(folder))
    {
        if (const std::string problem = MovieTargetProblem(Folder); !problem.empty())
            throw OutputError(problem, EEXIST, problem);
        std::error_code error;
        std::filesystem::create_directory(Folder, error);
        if (!std::filesystem::is_directory(Folder))
            throw OutputError("cannot write pictures into the folder '" + Folder +
                                  "': " + (error ? error.message() : "it is not a folder"),
                              error ? error.value() : ENOTDIR);
        // A picture can be made there: its temporary file is removed at once.
        OutputFile probe(PicturePath());
    }

    void Add(const QImage &frame) override
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!frame.save(&buffer, "PNG"))
            throw OutputError("cannot encode the picture '" + PicturePath() + "'", EINVAL);
        WriteOutputFile(PicturePath(), std::string_view(bytes.constData(), std::size_t(bytes.size())));
        ++Count;
    }

    void Close() override {}

private:
    std::string PicturePath() const
    {
        char name[32];
        std::snprintf(name, sizeof name, "%s%06d.png", kFramePrefix, Count);
        return (std::filesystem::path(Folder) / name).string();
    }

    std::string Folder;
    int Count = 0;
};

} // namespace

std::string MovieTargetProblem(const std::string &path)
{
    if (MovieKindOf(path) != MovieKind::PngFolder)
        return OutputTargetProblem(path);
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return {};
    if (error)
        return "cannot use '" + path + "' for the movie's pictures: " + error.message();
    if (status.type() != std::filesystem::file_type::directory)
        return "cannot write pictures into the folder '" + path + "': it is not a folder";
    if (HoldsFrames(path))
        return "cannot write pictures into the folder '" + path +
               "': it holds the pictures of another movie, which would mix with this one's; "
               "remove them or name another folder";
    return {};
}

std::unique_ptr<MovieFile> OpenMovieFile(const std::string &path, double fps, int width, int height)
{
    const MovieKind kind = MovieKindOf(path);
    if (kind == MovieKind::PngFolder)
        return std::make_unique<PictureFolder>(path);
    return std::make_unique<FfmpegMovie>(path, kind, fps, width, height);
}
