#include "Ffmpegmovie.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include <fcntl.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

// While alive, a write to a pipe whose reader is gone fails with EPIPE in
// this thread instead of killing the process; the signal it raises is
// taken back.
class BrokenPipeAsError {
public:
    BrokenPipeAsError()
    {
        sigemptyset(&pipeSignal_);
        sigaddset(&pipeSignal_, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSignal_, &previous_);
    }
    ~BrokenPipeAsError()
    {
        const timespec now = {0, 0};
        while (sigtimedwait(&pipeSignal_, nullptr, &now) > 0) {}
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }

private:
    sigset_t pipeSignal_;
    sigset_t previous_;
};

std::vector<std::string> EncoderArguments(MovieKind kind, double fps, int width, int height,
                                          const std::string &output)
{
    std::vector<std::string> arguments = {"ffmpeg",
                                          "-hide_banner",
                                          "-loglevel",
                                          "error",
                                          "-nostats",
                                          "-f",
                                          "rawvideo",
                                          "-pix_fmt",
                                          "bgra",
                                          "-video_size",
                                          std::to_string(width) + "x" + std::to_string(height),
                                          "-framerate",
                                          std::to_string(fps),
                                          "-i",
                                          "pipe:0"};
    // The temporary name says nothing of the format, so it is named.
    if (kind == MovieKind::Mp4)
        arguments.insert(arguments.end(),
                         {"-c:v", "libx264", "-preset", "veryfast", "-pix_fmt", "yuv420p", "-f", "mp4"});
    else
        arguments.insert(arguments.end(), {"-pix_fmt", "rgb8", "-f", "gif"});
    arguments.insert(arguments.end(), {"-y", output});
    return arguments;
}

} // namespace

FfmpegMovie::FfmpegMovie(const std::string &path, MovieKind kind, double fps, int width, int height)
    : Target(path), Width(width), Height(height)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        throw OutputError("cannot begin the movie '" + path + "': " + std::strerror(errno), errno);
    std::vector<std::string> arguments = EncoderArguments(kind, fps, width, height, Target.TemporaryPath());
    std::vector<char *> argv;
    for (std::string &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_adddup2(&files, ends[0], STDIN_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    const int error = posix_spawnp(&Encoder, "ffmpeg", &files, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&files);
    ::close(ends[0]);
    if (error != 0) {
        ::close(ends[1]);
        Encoder = -1;
        throw OutputError("cannot start ffmpeg (Debian package ffmpeg) for the movie '" + path +
                              "': " + std::strerror(error),
                          error);
    }
    Pipe = ends[1];
}

FfmpegMovie::~FfmpegMovie()
{
    if (Pipe >= 0)
        ::close(Pipe);
    if (Encoder > 0) {
        // A movie given up: the encoder goes, and the temporary file with it.
        ::kill(Encoder, SIGKILL);
        Reap();
    }
}

void FfmpegMovie::Add(const QImage &frame)
{
    if (Pipe < 0)
        throw OutputError("the movie '" + Target.Path() + "' is closed", EBADF);
    const QImage pixels =
        frame.format() == QImage::Format_RGB32 ? frame : frame.convertToFormat(QImage::Format_RGB32);
    if (pixels.width() != Width || pixels.height() != Height)
        throw OutputError("a frame of another size for the movie '" + Target.Path() + "'", EINVAL);
    const BrokenPipeAsError broken;
    for (int row = 0; row < Height; ++row) {
        const char *bytes = reinterpret_cast<const char *>(pixels.constScanLine(row));
        std::size_t left = std::size_t(Width) * 4;
        while (left > 0) {
            const ssize_t written = ::write(Pipe, bytes, left);
            if (written < 0 && errno == EINTR)
                continue;
            if (written < 0) {
                const int error = errno;
                ::close(Pipe);
                Pipe = -1;
                const std::string status = Reap();
                throw OutputError("the movie '" + Target.Path() +
                                      "' is lost: ffmpeg stopped taking frames (" + std::strerror(error) +
                                      (status.empty() ? "" : ", " + status) + ")",
                                  error);
            }
            bytes += written;
            left -= std::size_t(written);
        }
    }
}

void FfmpegMovie::Close()
{
    if (Pipe >= 0) {
        ::close(Pipe);
        Pipe = -1;
    }
    const std::string status = Reap();
    if (!status.empty())
        throw OutputError("ffmpeg could not write the movie '" + Target.Path() + "': " + status, EIO);
    Target.Commit();
}

std::string FfmpegMovie::Reap()
{
    if (Encoder <= 0)
        return "it had already ended";
    int status = 0;
    pid_t ended;
    do
        ended = ::waitpid(Encoder, &status, 0);
    while (ended < 0 && errno == EINTR);
    Encoder = -1;
    if (ended < 0)
        return std::string("cannot wait for it: ") + std::strerror(errno);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return {};
    if (WIFEXITED(status))
        return "it ended with status " + std::to_string(WEXITSTATUS(status));
    return std::string("it was ended by ") + strsignal(WTERMSIG(status));
}
