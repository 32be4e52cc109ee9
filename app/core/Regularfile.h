#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// A file that cannot be read whole. The message is the reason alone (the
// system's text, such as "Permission denied", or what is wrong with the
// file), so that the caller can put it after the file's name.
class FileReadError : public std::runtime_error {
public:
    FileReadError(int error, const std::string &reason) : std::runtime_error(reason), error_(error) {}
    // The errno value of the reason.
    int Error() const { return error_; }

private:
    int error_;
};

// The whole content of the regular file at path, at most maxBytes long. A
// FIFO, a device or a folder is refused without waiting on it or reading it,
// and so is a file that is or grows larger than maxBytes.
std::string ReadRegularFile(const std::string &path, std::uint64_t maxBytes);
