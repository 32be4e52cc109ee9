#include "Outputfile.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Bytes gathered before one write; bounds the memory a long output needs.
constexpr std::size_t kBlockSize = 1 << 16;

std::string Reason(int error)
{
    return std::strerror(error);
}

// The mode a new file gets from the user's umask, as open(..., 0666) would
// give; mkstemp creates its file with 0600.
mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool SameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

std::string OutputPathProblem(const std::string &path, const std::string &settingsPath)
{
    struct stat target;
    if (::stat(path.c_str(), &target) != 0) {
        if (errno == ENOENT)
            return {};
        return "cannot use '" + path + "' for results: " + Reason(errno);
    }
    if (!S_ISREG(target.st_mode))
        return "cannot write results to '" + path + "': it is not a regular file";
    struct stat settings;
    if (::stat(settingsPath.c_str(), &settings) == 0 && SameFile(target, settings))
        return "cannot write results to '" + path + "': it is the settings file";
    return {};
}

OutputFile::OutputFile(std::string path) : path_(std::move(path)), temporary_(path_ + ".XXXXXX")
{
    fd_ = ::mkstemp(temporary_.data());
    if (fd_ < 0)
        throw OutputError("Cannot create file! " + path_ + ": " + Reason(errno));
    if (::fchmod(fd_, NewFileMode()) != 0)
        Fail(errno);
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

void OutputFile::Commit()
{
    Flush();
    if (::fsync(fd_) != 0)
        Fail(errno);
    const int fd = fd_;
    fd_ = -1; // closed below whatever happens
    if (::close(fd) != 0 || ::rename(temporary_.c_str(), path_.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary_.c_str());
        Fail(error);
    }
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
    throw OutputError("cannot write '" + path_ + "': " + Reason(error));
}

void ReserveStandardDescriptors()
{
    for (int fd = 0; fd <= 2; ++fd)
        if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF)
            ::open("/dev/null", O_RDONLY); // takes the lowest free descriptor: fd
}

void WriteOutputFile(const std::string &path, std::string_view text)
{
    OutputFile file(path);
    file.Write(text);
    file.Commit();
}
