// filonex-batch: the simulation of the window program without a window, for
// scripts and clusters. It builds the world from a settings file exactly as
// the window's reset-and-apply does, runs it to an end time and prints the
// final state.

#include "Batchoptions.h"
#include "Cell.h"
#include "Ensemblecommand.h"
#include "Charttext.h"
#include "FloatingPoint.h"
#include "Observationrecord.h"
#include "Observationtable.h"
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
#include <memory>

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
    const std::string settingsPath = SettingsPathOf(options);
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
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> table(nullptr, std::fclose);
    if (options.TablePath) {
        table.reset(std::fopen(options.TablePath->c_str(), "w"));
        if (!table)
            return Fail(kBadInput, "Cannot create file! " + *options.TablePath);
        std::fputs(ObservationTableHeader().c_str(), table.get());
    }
    const auto addRow = [&] {
        if (table) {
            std::fputs(ObservationTableRow(cell).c_str(), table.get());
            std::fflush(table.get());
        }
    };
    addRow();

    ObservationRecord record;
    if (options.ObservePath)
        record.AddPoints(cell);
    ProgressBar progress(!options.Quiet && ::isatty(STDERR_FILENO), cell.ObsTime, endTime);
    cell.OnObserve = [&] {
        if (options.ObservePath)
            record.AddPoints(cell);
        addRow();
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
    if (table && (std::fclose(table.release()) != 0))
        status = Fail(kRunFailed, "Cannot create file! " + *options.TablePath);
    std::FILE *state = options.StatePath ? std::fopen(options.StatePath->c_str(), "w") : stdout;
    if (!state)
        return Fail(kRunFailed, "Cannot create file! " + *options.StatePath);
    PrintState(state, cell);
    if (options.StatePath && std::fclose(state) != 0)
        return Fail(kRunFailed, "Cannot create file! " + *options.StatePath);
    return status;
}

} // namespace

int main(int argc, char **argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (!arguments.empty() && arguments[0] == "merge")
        return MergeCommand(arguments);
    BatchOptions options;
    try {
        options = ParseBatchOptions(arguments);
    } catch (const UsageError &e) {
        Fail(kBadInput, e.what());
        std::fputs("Try 'filonex-batch --help'.\n", stderr);
        return kBadInput;
    }
    if (options.Help) {
        std::fputs(kBatchUsage, stdout);
        return kDone;
    }
    if (options.Prepare)
        return PrepareEnsemble(options);
    if (options.RunIndex)
        return RunEnsembleMember(options, Simulate);
    if (options.IsEnsemble()) {
        InstallInterruptHandler();
        return RunEnsembleCommand(options, arguments, [] { return interruptRequested != 0; });
    }
    return Simulate(options);
}
