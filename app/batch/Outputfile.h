#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

// An output that could not be written; the message names the file and gives
// the system's reason.
class OutputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Why path cannot take a result file, or an empty text when it can: an
// existing entry that is not a regular file (a folder, a FIFO, a device),
// the settings file itself, or a path that cannot be looked up.
std::string OutputPathProblem(const std::string &path, const std::string &settingsPath);

// A result file that is either whole or not there: the text goes to a
// temporary file beside the target (so that both lie on the same file system)
// and is renamed over the target by Commit. Until then a file of the target's
// name keeps what it held; without Commit the temporary file is removed.
// Writes are buffered in a block of bounded size.
class OutputFile {
public:
    // Creates the temporary file; raises OutputError with the text
    // "Cannot create file!" and the reason when that fails.
    explicit OutputFile(std::string path);
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // Raises OutputError when the system refuses the bytes (disk full, file
    // size limit, I/O error).
    void Write(std::string_view text);
    // Writes what is buffered, flushes it to the disk and renames the file
    // into place. Raises OutputError; the target is then left as it was.
    void Commit();

    const std::string &Path() const { return path_; }
    // The temporary name while the file is being written.
    const std::string &TemporaryPath() const { return temporary_; }

private:
    void Flush();
    [[noreturn]] void Fail(int error);

    std::string path_;
    std::string temporary_;
    std::string buffer_;
    int fd_ = -1;
};

// Opens /dev/null read-only on each of the descriptors 0 to 2 that is closed,
// so that no file opened later takes the place of a standard stream: a write
// to a closed standard output then fails instead of landing in a result file.
void ReserveStandardDescriptors();

// Writes text as the whole new content of the file at path (see OutputFile);
// raises OutputError.
void WriteOutputFile(const std::string &path, std::string_view text);
