#include "Regularfile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

FileReadError SystemError(int error)
{
    return FileReadError(error, std::strerror(error));
}

std::string SizeText(std::uint64_t bytes)
{
    constexpr std::uint64_t kMebibyte = std::uint64_t(1) << 20;
    constexpr std::uint64_t kGibibyte = std::uint64_t(1) << 30;
    if (bytes % kGibibyte == 0)
        return std::to_string(bytes / kGibibyte) + " GiB";
    if (bytes % kMebibyte == 0)
        return std::to_string(bytes / kMebibyte) + " MiB";
    return std::to_string(bytes) + " bytes";
}

} // namespace

std::string ReadRegularFile(const std::string &path, std::uint64_t maxBytes)
{
    // Non-blocking, so that opening a FIFO does not wait for a writer.
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.Get() < 0)
        throw SystemError(errno);
    struct stat status;
    if (::fstat(file.Get(), &status) != 0)
        throw SystemError(errno);
    if (S_ISDIR(status.st_mode))
        throw SystemError(EISDIR);
    if (!S_ISREG(status.st_mode))
        throw FileReadError(EINVAL, "it is not a regular file");
    const FileReadError tooLarge(EFBIG, "it is larger than " + SizeText(maxBytes));
    if (std::uint64_t(status.st_size) > maxBytes)
        throw tooLarge;

    // One byte more than the size notices a file that grows while it is read.
    std::string content(std::size_t(status.st_size) + 1, '\0');
    std::size_t filled = 0;
    for (;;) {
        if (filled == content.size())
            content.resize(std::size_t(std::min<std::uint64_t>(2 * content.size(), maxBytes + 1)));
        const ssize_t n = ::read(file.Get(), content.data() + filled, content.size() - filled);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw SystemError(errno);
        if (n == 0)
            break;
        filled += std::size_t(n);
        if (filled > maxBytes)
            throw tooLarge;
    }
    content.resize(filled);
    return content;
}
