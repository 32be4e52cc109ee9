#include "Batchsettings.h"

#include "Batchoptions.h"
#include "Settingsfile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string BatchSettingsPath(const BatchOptions &options)
{
    if (options.SettingsPath)
        return *options.SettingsPath;
    return (std::filesystem::path(ExecutablePath()).parent_path() / "filonex.ini").string();
}

std::string SettingsFileProblem(const std::string &path, bool mustExist)
{
    const std::string prefix = "cannot read the settings file '" + path + "': ";
    // Non-blocking, so that opening a FIFO does not wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT && !mustExist ? std::string() : prefix + std::strerror(errno);
    struct stat file;
    const bool regular = ::fstat(fd, &file) == 0 && S_ISREG(file.st_mode);
    ::close(fd);
    return regular ? std::string() : prefix + "it is not a regular file";
}
