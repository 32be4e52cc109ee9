// filonex-batch: the simulation of the window program without a window, for
// scripts and clusters. It builds the world from a settings file exactly as
// the window's reset-and-apply does, runs it to an end time and prints the
// final state.

#include "Batchoptions.h"
#include "Batchrun.h"
#include "Exitstatus.h"
#include "Outputfile.h"

#include <cstdio>
#include <new>

int main(int argc, char **argv)
{
    ReserveStandardDescriptors();
    BatchOptions options;
    try {
        options = ParseBatchOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError &e) {
        Fail(kExitBadInput, e.what());
        std::fputs("Try 'filonex-batch --help'.\n", stderr);
        return kExitBadInput;
    }
    if (options.Help) {
        std::fputs(kBatchUsage, stdout);
        return kExitDone;
    }
    try {
        return RunBatch(options);
    } catch (const std::bad_alloc &) {
        return Fail(kExitRunFailed, "out of memory");
    }
}
