// filonex-batch: the simulation of the window program without a window, for
// scripts and clusters. It builds the world from a settings file exactly as
// the window's reset-and-apply does, runs it to an end time and prints the
// final state; or runs ensembles of such runs and summarises them.

#include "Batchoptions.h"
#include "Batchrun.h"
#include "Ensemblecommand.h"
#include "Exitstatus.h"
#include "Outputfile.h"

#include <cstdio>
#include <new>
#include <optional>

#ifdef FILONEX_MOVIES
#include "Headlessapplication.h"
#include "Movierecorder.h"
#endif

int main(int argc, char **argv)
{
    ReserveStandardDescriptors();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    BatchOptions options;
    try {
        options = ParseBatchOptions(arguments);
    } catch (const UsageError &e) {
        Fail(kExitBadInput, e.what());
        std::fputs("Try 'filonex-batch --help'.\n", stderr);
        return kExitBadInput;
    }
    if (options.Help) {
        std::fputs(BatchHelp().c_str(), stdout);
        return kExitDone;
    }
    if (options.MergePath)
        return MergeCommand(*options.MergePath);
    RunFramesMaker movies;
#ifdef FILONEX_MOVIES
    std::optional<HeadlessApplication> pictures;
    if (options.Movie.Path) {
        pictures.emplace(argc, argv);
        movies = MakeRunMovie;
    }
#endif
    try {
        if (options.Prepare)
            return PrepareEnsemble(options);
        if (options.RunIndex)
            return RunEnsembleMember(options, movies);
        if (options.IsEnsemble())
            return RunEnsembleCommand(options, arguments);
        return RunBatch(options, movies);
    } catch (const std::bad_alloc &) {
        return Fail(kExitRunFailed, "out of memory");
    }
}
