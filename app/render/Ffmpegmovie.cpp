#include "Ffmpegmovie.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

// After a stop, how long ffmpeg may take no bytes of a frame, and how long it
// may take to end once it has them all, before the movie is given up: a
// stop ends the run within a second even with an encoder that hangs.
constexpr auto kStalledAfterStop = std::chrono::milliseconds(500);
constexpr auto kEndAfterStop = std::chrono::seconds(3);
// How often a full pipe and a running encoder are looked at again.
constexpr int kPollMilliseconds = 20;

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
    // Our end only: a full pipe must not block a write past a stop.
    ::fcntl(Pipe, F_SETFL, ::fcntl(Pipe, F_GETFL) | O_NONBLOCK);
}

FfmpegMovie::~FfmpegMovie()
{
    // A movie given up: the encoder goes, and the temporary file with it.
    Kill();
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
    for (int row = 0; row < Height; ++row)
        Feed(reinterpret_cast<const char *>(pixels.constScanLine(row)), std::size_t(Width) * 4);
}

void FfmpegMovie::Feed(const char *bytes, std::size_t left)
{
    auto progress = Clock::now();
    while (left > 0) {
        const ssize_t written = ::write(Pipe, bytes, left);
        if (written > 0) {
            bytes += written;
            left -= std::size_t(written);
            progress = Clock::now();
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno == EAGAIN) {
            if (Hurried && Clock::now() - progress > kStalledAfterStop)
                Abandon("ffmpeg took no more frames after the stop");
            pollfd pipe = {Pipe, POLLOUT, 0};
            ::poll(&pipe, 1, kPollMilliseconds);
            continue;
        }
        const int error = written < 0 ? errno : EIO;
        ::close(Pipe);
        Pipe = -1;
        const std::string status = Reap();
        throw OutputError("the movie '" + Target.Path() + "' is lost: ffmpeg stopped taking frames (" +
                              std::strerror(error) + (status.empty() ? "" : ", " + status) + ")",
                          error);
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
    const auto start = Clock::now();
    for (;;) {
        ended = ::waitpid(Encoder, &status, Hurried ? WNOHANG : 0);
        if (ended < 0 && errno == EINTR)
            continue;
        if (ended != 0)
            break;
        if (Clock::now() - start > kEndAfterStop)
            Abandon("ffmpeg did not end after the stop");
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMilliseconds));
    }
    Encoder = -1;
    if (ended < 0)
        return std::string("cannot wait for it: ") + std::strerror(errno);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return {};
    if (WIFEXITED(status))
        return "it ended with status " + std::to_string(WEXITSTATUS(status));
    return std::string("it was ended by ") + strsignal(WTERMSIG(status));
}

void FfmpegMovie::Kill()
{
    if (Pipe >= 0) {
        ::close(Pipe);
        Pipe = -1;
    }
    if (Encoder <= 0)
        return;
    // The group: whatever ffmpeg (or a wrapper in its place) started goes too.
    ::kill(-Encoder, SIGKILL);
    while (::waitpid(Encoder, nullptr, 0) < 0 && errno == EINTR) {}
    Encoder = -1;
}

void FfmpegMovie::Abandon(const std::string &what)
{
    Kill();
    throw MovieAbandoned("the movie '" + Target.Path() + "' was given up: " + what, EINTR);
}
