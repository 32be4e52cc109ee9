#include "Wholefile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include <unistd.h>

void WriteWholeFile(const std::string &path, const std::string &text)
{
    // The process id keeps two processes that write the same file (the
    // plan, written by every run of a job array) apart.
    const std::string temporary = path + ".tmp" + std::to_string(::getpid());
    std::FILE *file = std::fopen(temporary.c_str(), "wb");
    bool written = file && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const int error = errno;
    written = file && std::fclose(file) == 0 && written;
    if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string reason = std::strerror(written ? errno : error);
        std::remove(temporary.c_str());
        throw std::runtime_error("cannot write '" + path + "': " + reason);
    }
}
