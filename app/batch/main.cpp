// filonex-batch: the simulation of the window program without a window, for
// scripts and clusters. It builds the world from a settings file exactly as
// the window's reset-and-apply does, runs it to an end time and prints the
// final state.

#include "Batchoptions.h"
#include "Cell.h"
#include "Charttext.h"
#include "FloatingPoint.h"
#include "Observationrecord.h"
#include "Parameters.h"
#include "Progressbar.h"
#include "Random.h"
#include "Resetandapply.h"
#include "Settingsfile.h"
#include "Statereport.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kDone = 0;
constexpr int kRunFailed = 1;
constexpr int kBadInput = 2;
constexpr int kInterrupted = 128 + SIGINT;

volatile std::sig_atomic_t interruptRequested = 0;

void OnInterrupt(int)
{
    interruptRequested = 1;
}

void InstallInterruptHandler()
{
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
}

int Fail(int status, const std::string &message)
{
    std::fprintf(stderr, "filonex-batch: %s\n", message.c_str());
    return status;
}

// The window program's settings file: filonex.ini beside both programs.
std::string WindowSettingsPath()
{
    return (std::filesystem::path(ExecutablePath()).parent_path() / "filonex.ini").string();
}

bool IsReadableFile(const std::string &path)
{
    return std::filesystem::is_regular_file(path) && std::ifstream(path).good();
}

// Creates the file if it is missing, without touching an existing one, to
// find out before a long run whether its results can be written at all.
bool CanCreate(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, 0666);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

std::string ExportFailure(ChartTextOutcome outcome, const BatchOptions &options)
{
    return std::string(ChartTextMessage(outcome)) + " " + *options.ObservePath;
}

// The seed of this run: the given one, or one taken from the clock, which is
// reported so that the run can be repeated with --seed.
void Seed(const BatchOptions &options)
{
    if (options.Seed) {
        SeedRandomWith(*options.Seed);
        return;
    }
    const auto seed = static_cast<std::uint32_t>(SeedRandom());
    SeedRandomWith(seed);
    std::fprintf(stderr, "seed %u\n", static_cast<unsigned>(seed));
}

int Simulate(const BatchOptions &options)
{
    const std::string settingsPath = options.SettingsPath.value_or(WindowSettingsPath());
    if (options.SettingsPath && !IsReadableFile(settingsPath))
        return Fail(kBadInput, "cannot read the settings file '" + settingsPath + "'");
    const SettingsFile settings(settingsPath);
    ParameterStore store;
    CreateParameterTables(store, &settings);
    // Unlike the window, which always starts with "First reaction", a batch
    // run takes the method that the settings file names.
    store.Table(kSimulation)->Find("SIM_METHOD")->Value = options.Method.value_or(
        settings.ReadString(kSimulation, "SIM_METHOD", kFirstReaction));

    CCell cell;
    cell.MechanicsThreads = options.Threads;
    Seed(options);
    AppliedWorld applied;
    try {
        applied = ResetAndApply(store, cell);
    } catch (const std::exception &e) {
        return Fail(kBadInput, e.what());
    }
    const bool withMechanics = !options.ChemistryOnly;
    if (const std::string problem = RunStartProblem(cell, withMechanics); !problem.empty())
        return Fail(kBadInput, problem);
    const double endTime = options.EndTime.value_or(applied.TargetTime);
    if (options.ObservePath && !CanCreate(*options.ObservePath))
        return Fail(kBadInput, ExportFailure(ChartTextOutcome::CannotCreateFile, options));

    ObservationRecord record;
    if (options.ObservePath)
        record.AddPoints(cell);
    ProgressBar progress(!options.Quiet && ::isatty(STDERR_FILENO), cell.ObsTime, endTime);
    cell.OnObserve = [&] {
        if (options.ObservePath)
            record.AddPoints(cell);
        progress.Update(cell);
        if (interruptRequested)
            cell.Stop();
    };

    InstallInterruptHandler();
    int status = kDone;
    try {
        if (withMechanics)
            cell.RunChemMech(endTime);
        else
            cell.RunChemistry(endTime);
        progress.Finish(cell);
    } catch (const fp::FloatingPointError &e) {
        progress.Finish(cell);
        status = Fail(kRunFailed, e.what());
    }
    if (interruptRequested && status == kDone)
        status = Fail(kInterrupted, "stopped by Ctrl-C");

    if (options.ObservePath) {
        const ChartTextOutcome outcome = WriteChartText(record.Chart(), *options.ObservePath);
        if (outcome != ChartTextOutcome::Written) {
            const int failed = Fail(kRunFailed, ExportFailure(outcome, options));
            status = status == kDone ? failed : status;
        }
    }
    PrintState(stdout, cell);
    return status;
}

} // namespace

int main(int argc, char **argv)
{
    BatchOptions options;
    try {
        options = ParseBatchOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError &e) {
        Fail(kBadInput, e.what());
        std::fputs("Try 'filonex-batch --help'.\n", stderr);
        return kBadInput;
    }
    if (options.Help) {
        std::fputs(kBatchUsage, stdout);
        return kDone;
    }
    return Simulate(options);
}
