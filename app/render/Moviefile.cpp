#include "Moviefile.h"

#include "Ffmpegmovie.h"
#include "Outputfile.h"

#include <QBuffer>

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace {

// Numbered pictures in a folder, each written whole.
class PictureFolder : public MovieFile {
public:
    explicit PictureFolder(std::string folder) : Folder(std::move(folder))
    {
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
        std::snprintf(name, sizeof name, "frame-%06d.png", Count);
        return (std::filesystem::path(Folder) / name).string();
    }

    std::string Folder;
    int Count = 0;
};

} // namespace

std::unique_ptr<MovieFile> OpenMovieFile(const std::string &path, double fps, int width, int height)
{
    const MovieKind kind = MovieKindOf(path);
    if (kind == MovieKind::PngFolder)
        return std::make_unique<PictureFolder>(path);
    return std::make_unique<FfmpegMovie>(path, kind, fps, width, height);
}
