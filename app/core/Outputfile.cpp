#include "Outputfile.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Bytes gathered before one write; bounds the memory a long output needs.
constexpr std::size_t kBlockSize = 1 << 16;

// Links followed before giving up, as the system does (Linux: 40).
constexpr int kMaxLinks = 40;

// The mode a new file gets: 0666 less the umask, as open(..., 0666) would
// give (mkstemp creates its file with 0600). The umask can be read only by
// setting it, which would race with any thread that creates a file meanwhile;
// so it is read once here, during static initialisation, before main and any
// thread it starts. A program that changes its umask later does not change
// the mode of its outputs.
const mode_t kNewFileMode = [] {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}();

std::string Reason(int error)
{
    return std::strerror(error);
}

std::string CannotCreate(const std::string &path, int error)
{
    return "Cannot create file! " + path + ": " + Reason(error);
}

constexpr const char *kNotRegular = "it is not a regular file";

// The errno of a lookup that refuses path, EINVAL for an entry that is no
// regular file, 0 for a regular file or none.
int TargetError(const std::string &path)
{
    struct stat target;
    if (::stat(path.c_str(), &target) != 0)
        return errno == ENOENT ? 0 : errno;
    return S_ISREG(target.st_mode) ? 0 : EINVAL;
}

// The mode of the file a new one replaces, or that of a new file.
mode_t ModeFor(const std::string &replaced)
{
    struct stat existing;
    if (::stat(replaced.c_str(), &existing) == 0)
        return existing.st_mode & 07777;
    return kNewFileMode;
}

fs::path FolderOf(const fs::path &file)
{
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

// ".NAME.tmp-": what the temporaries of target NAME begin with.
std::string TemporaryPrefix(const fs::path &file)
{
    return "." + file.filename().string() + ".tmp-";
}

// Whether a process of this id exists on this machine (a zombie counts);
// one of another user exists too (EPERM).
bool ProcessExists(pid_t pid)
{
    return ::kill(pid, 0) == 0 || errno != ESRCH;
}

// The process id in a temporary's name after its prefix ("PID-XXXXXX"), or 0.
pid_t WriterOf(std::string_view rest)
{
    const auto dash = rest.find('-');
    if (dash == std::string_view::npos || rest.size() - dash - 1 != 6)
        return 0;
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + dash, pid);
    return error == std::errc() && end == rest.data() + dash && pid > 0 ? pid : 0;
}

// Removes what a killed writer of file left: temporaries of this target
// whose process is gone. Best effort: a folder that cannot be read is
// reported when the new temporary cannot be made there.
void RemoveStaleTemporaries(const fs::path &file)
{
    const std::string prefix = TemporaryPrefix(file);
    std::error_code error;
    for (fs::directory_iterator it(FolderOf(file), error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (!name.starts_with(prefix))
            continue;
        const pid_t writer = WriterOf(std::string_view(name).substr(prefix.size()));
        if (writer != 0 && writer != ::getpid() && !ProcessExists(writer))
            ::unlink(it->path().c_str());
    }
}

// Flushes the folder's entry of a renamed file to the disk. EINVAL: a file
// system that cannot sync folders, which then needs no sync.
int SyncFolder(const fs::path &file)
{
    const int fd = ::open(FolderOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = ::fsync(fd) != 0 && errno != EINVAL ? errno : 0;
    ::close(fd);
    return error;
}

} // namespace

std::string OutputTargetProblem(const std::string &path)
{
    const int error = TargetError(path);
    if (error == 0)
        return {};
    if (error == EINVAL)
        return "cannot write results to '" + path + "': " + kNotRegular;
    return "cannot use '" + path + "' for results: " + Reason(error);
}

std::string ReplacedFile(const std::string &path)
{
    fs::path file(path);
    for (int links = 0; links < kMaxLinks; ++links) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(file, error)))
            return file.string();
        const fs::path target = fs::read_symlink(file, error);
        if (error)
            throw OutputError(CannotCreate(path, error.value()), error.value());
        file = target.is_absolute() ? target : file.parent_path() / target;
    }
    throw OutputError(CannotCreate(path, ELOOP), ELOOP);
}

OutputFile::OutputFile(std::string path) : path_(std::move(path)), replaced_(ReplacedFile(path_))
{
    if (const int error = TargetError(replaced_); error != 0) {
        const std::string reason = error == EINVAL ? kNotRegular : Reason(error);
        throw OutputError("Cannot create file! " + path_ + ": " + reason, error, reason);
    }
    const fs::path file(replaced_);
    RemoveStaleTemporaries(file);
    temporary_ =
        (file.parent_path() / (TemporaryPrefix(file) + std::to_string(::getpid()) + "-XXXXXX")).string();
    fd_ = ::mkostemp(temporary_.data(), O_CLOEXEC);
    if (fd_ < 0) {
        const int error = errno;
        throw OutputError(CannotCreate(path_, error), error);
    }
    buffer_.reserve(kBlockSize);
}

OutputFile::~OutputFile()
{
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(temporary_.c_str());
    }
}

void OutputFile::Write(std::string_view text)
{
    buffer_ += text;
    if (buffer_.size() >= kBlockSize)
        Flush();
}

void OutputFile::Commit(Durability durability)
{
    Flush();
    const bool flushed = durability == Durability::PowerCut;
    if (::fchmod(fd_, ModeFor(replaced_)) != 0 || (flushed && ::fsync(fd_) != 0))
        Fail(errno);
    const int fd = fd_;
    fd_ = -1; // closed below whatever happens
    if (::close(fd) != 0 || ::rename(temporary_.c_str(), replaced_.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary_.c_str());
        Fail(error);
    }
    if (const int error = flushed ? SyncFolder(replaced_) : 0; error != 0)
        Fail(error);
}

void OutputFile::Flush()
{
    std::size_t done = 0;
    while (done < buffer_.size()) {
        const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            Fail(errno);
        done += static_cast<std::size_t>(n);
    }
    buffer_.clear();
}

void OutputFile::Fail(int error)
{
    throw OutputError("cannot write '" + path_ + "': " + Reason(error), error);
}

void ReserveStandardDescriptors()
{
    for (int fd = 0; fd <= 2; ++fd)
        if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF)
            ::open("/dev/null", O_RDONLY); // takes the lowest free descriptor: fd
}

void WriteOutputFile(const std::string &path, std::string_view text, Durability durability)
{
    OutputFile file(path);
    file.Write(text);
    file.Commit(durability);
}
