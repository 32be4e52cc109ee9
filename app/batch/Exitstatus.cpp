#include "Exitstatus.h"

#include <cstdio>

namespace {

int Seriousness(int status)
{
    switch (status) {
    case kExitDone:
        return 0;
    case kExitOutputFailed:
        return 4;
    case kExitRunFailed:
        return 3;
    case kExitBadInput:
        return 2;
    default: // stopped by a signal
        return 1;
    }
}

} // namespace

int StoppedStatus(int signal)
{
    return 128 + signal;
}

int MoreSeriousStatus(int a, int b)
{
    return Seriousness(b) > Seriousness(a) ? b : a;
}

int Fail(int status, const std::string &message)
{
    std::fprintf(stderr, "filonex-batch: %s\n", message.c_str());
    return status;
}

void Warn(const std::string &message)
{
    std::fprintf(stderr, "filonex-batch: warning: %s\n", message.c_str());
}
