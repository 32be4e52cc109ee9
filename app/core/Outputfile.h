#pragma once

#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

// An output that could not be written; the message names the file and gives
// the reason, whose errno is Error().
class OutputError : public std::runtime_error {
public:
    OutputError(const std::string &message, int error)
        : OutputError(message, error, error != 0 ? std::strerror(error) : message)
    {
    }
    OutputError(const std::string &message, int error, std::string reason)
        : std::runtime_error(message), error_(error), reason_(std::move(reason))
    {
    }
    int Error() const { return error_; }
    // The reason alone: the system's text, or what is wrong with the target.
    const std::string &Reason() const { return reason_; }

private:
    int error_;
    std::string reason_;
};

// The file that an output to path replaces: path itself, or, when path is a
// symbolic link, the file it leads to (followed link by link, as opening it
// would), so that the link stays a link. Raises OutputError for a loop of
// links.
std::string ReplacedFile(const std::string &path);

// Why no output can replace what path leads to (through links): an entry
// that is not a regular file (a folder, a FIFO, a device, whose writing
// would replace it or block on it) or that cannot be looked up. Empty when
// path names a regular file or nothing.
std::string OutputTargetProblem(const std::string &path);

// A result file that is either whole or not there: the text goes to a
// temporary file beside the file it replaces (so that both lie on the same
// file system) and is renamed over it by Commit. Until then a file of the
// target's name keeps what it held; without Commit the temporary file is
// removed. Writes are buffered in a block of bounded size.
//
// The temporary file is named ".NAME.tmp-PID-XXXXXX" after the target NAME
// and the writing process. Temporaries of the same target that a process
// left behind when it was killed (its PID no longer runs on this machine)
// are removed when the target is written next.
//
// The new file gets the mode of the file it replaces, or, when there is
// none, 0666 less the umask, as a file that the program opened itself.
// How long a committed file lasts: through a power cut (its bytes and the
// folder's entry flushed to the disk, which may take seconds while other
// programs write much), or through the end of the writing process only (the
// rename alone: every reader finds it whole or not at all, but a power cut
// moments later may lose it).
enum class Durability { PowerCut, ProcessEnd };

class OutputFile {
public:
    // Creates the temporary file; raises OutputError with the text
    // "Cannot create file!" and the reason when that fails or when the
    // target is no regular file (OutputTargetProblem).
    explicit OutputFile(std::string path);
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // Raises OutputError when the system refuses the bytes (disk full, file
    // size limit, I/O error).
    void Write(std::string_view text);
    // Writes what is buffered, flushes it to the disk, renames the file into
    // place and flushes the folder, so that the rename outlasts a power
    // cut (without the flushes for ProcessEnd). Raises OutputError; before
    // the rename the target is left as it was.
    void Commit(Durability durability = Durability::PowerCut);

    const std::string &Path() const { return path_; }
    // The temporary name while the file is being written.
    const std::string &TemporaryPath() const { return temporary_; }

private:
    void Flush();
    [[noreturn]] void Fail(int error);

    std::string path_;     // as given, for messages
    std::string replaced_; // the file that Commit replaces
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
void WriteOutputFile(const std::string &path, std::string_view text,
                     Durability durability = Durability::PowerCut);
