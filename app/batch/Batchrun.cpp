#include "Batchrun.h"

#include "Batchoptions.h"
#include "Batchsettings.h"
#include "Batchworldfile.h"
#include "Boxescape.h"
#include "Cell.h"
#include "Exitstatus.h"
#include "Numbertext.h"
#include "Observationtable.h"
#include "Observationwriter.h"
#include "Outputpaths.h"
#include "Parameters.h"
#include "Progressbar.h"
#include "Resetandapply.h"
#include "Runseed.h"
#include "Settingsfile.h"
#include "Statereport.h"
#include "Stopsignals.h"
#include "Worldfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include <unistd.h>

namespace {

// Why the run cannot go from the cell's time to endTime, or an empty text.
std::string EndTimeProblem(const CCell &cell, double endTime)
{
    if (endTime > cell.Time)
        return {};
    return "the end time " + FormatNumber(endTime) + " s (--time, or SIM_TIME or the end of " +
           "the saved run) is not after the current time " + FormatNumber(cell.Time) + " s";
}

// The final state goes to statePath when given, else to standard output.
int WriteFinalState(const CCell &cell, const std::optional<std::string> &statePath)
{
    if (statePath) {
        try {
            WriteOutputFile(*statePath, StateText(cell));
            return kExitDone;
        } catch (const OutputError &e) {
            return Fail(kExitOutputFailed, e.what());
        }
    }
    PrintState(stdout, cell);
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return kExitDone;
    return Fail(kExitOutputFailed, std::string("cannot write the final state to standard "
                                               "output: ") +
                                       std::strerror(errno));
}

// Warns once when bodies are flung out of the box.
class BodyWatch {
public:
    explicit BodyWatch(ProgressBar &progress) : progress_(progress) {}

    void Check(const CCell &cell)
    {
        if (warned_ || !AnyBodyFarOutsideBox(cell))
            return;
        warned_ = true;
        progress_.ClearLine();
        Warn(kBodyFarOutsideBoxWarning);
    }

private:
    ProgressBar &progress_;
    bool warned_ = false;
};

// How a prepared world is run.
struct RunPlan {
    double EndTime; // s
    bool WithMechanics;
    bool ShowProgress;
};

// Where the results of a run go.
struct RunOutputs {
    std::optional<ObservationWriter> Observations;
    std::optional<ObservationTableWriter> Table;
    std::optional<std::string> StatePath; // standard output when not given
    std::unique_ptr<RunFrames> Movie;
};

// Runs the cell to the end of the plan or a stop signal, then writes the
// observations, the world files and the final state; returns the exit status.
int RunAndWrite(CCell &cell, const RunPlan &plan, RunOutputs &outputs, RunWorldFiles &worlds)
{
    auto &[observations, table, statePath, movie] = outputs;
    const auto observe = [&] {
        if (!observations && !table)
            return;
        // Neither file holds the count of filaments touching the bacterium.
        const ObservationRecord record = RecordObservation(cell, false);
        if (observations)
            observations->Add(record);
        if (table)
            table->Add(record);
    };
    ProgressBar progress(plan.ShowProgress, cell.ObsTime, plan.EndTime);
    BodyWatch bodies(progress);
    cell.OnObserve = [&] {
        observe();
        if (movie)
            movie->Observe(cell);
        progress.Update(cell);
        bodies.Check(cell);
        // A signal that came before the run had begun.
        if (ReceivedStopSignal())
            cell.Stop();
    };
    worlds.Start(cell, [&progress](const std::string &message) {
        progress.ClearLine();
        Fail(kExitOutputFailed, message);
    });
    const StopOnSignals stopSignals(cell);

    int status = kExitDone;
    std::string failure;
    // A run that reached its end leaves the cell running; a stop, also one
    // before the start, leaves it stopped.
    bool stopped = false;
    try {
        observe(); // the starting point
        if (movie)
            movie->Observe(cell);
        if (!ReceivedStopSignal())
            plan.WithMechanics ? cell.RunChemMech(plan.EndTime) : cell.RunChemistry(plan.EndTime);
        stopped = !cell.Running;
    } catch (const OutputError &e) {
        status = kExitOutputFailed;
        failure = e.what();
        observations.reset();
        table.reset();
    } catch (const std::runtime_error &e) { // a floating-point error, a stalled clock
        status = kExitRunFailed;
        failure = e.what();
    }
    progress.Finish(cell);
    bodies.Check(cell);
    if (!failure.empty())
        Fail(status, failure);
    // A signal after the end of the run stopped nothing.
    if (const int signal = ReceivedStopSignal(); signal && stopped)
        status = MoreSeriousStatus(
            status, Fail(StoppedStatus(signal), std::string("stopped by ") + StopSignalName(signal)));

    status = MoreSeriousStatus(status, worlds.Finish(cell, !failure.empty()));
    const auto finish = [&](auto &writer) {
        try {
            if (writer)
                writer->Finish();
        } catch (const OutputError &e) {
            status = MoreSeriousStatus(status, Fail(kExitOutputFailed, e.what()));
        }
    };
    finish(observations);
    finish(table);
    try {
        // After an error or a stop, the movie of the frames so far.
        if (movie)
            movie->Finish(cell, stopped || !failure.empty());
    } catch (const MovieAbandoned &e) { // the stop's or the failure's status says it
        Warn(e.what());
    } catch (const OutputError &e) {
        status = MoreSeriousStatus(status, Fail(kExitOutputFailed, e.what()));
    }
    return MoreSeriousStatus(status, WriteFinalState(cell, statePath));
}

} // namespace

int RunBatch(const BatchOptions &options, const RunFramesMaker &movies)
{
    const std::string settingsPath = BatchSettingsPath(options);
    CCell cell;
    cell.MechanicsThreads = options.Threads;
    ParameterStore store;
    double targetTime = 0.0;
    if (options.ResumePath) {
        try {
            targetTime = ResumeWorld(options, cell, store);
        } catch (const WorldFileError &e) {
            return Fail(kExitBadInput, e.what());
        }
    } else {
        if (const std::string problem = SettingsFileProblem(settingsPath, bool(options.SettingsPath));
            !problem.empty())
            return Fail(kExitBadInput, problem);
        try {
            store = CheckedRunParameters(SettingsFile(settingsPath), options.Method, options.Strict);
        } catch (const std::runtime_error &e) {
            return Fail(kExitBadInput, e.what());
        }
        const std::uint32_t seed = SeedTheRun(cell.Random, options.Seed);
        if (!options.Seed)
            std::fprintf(stderr, "seed %u\n", static_cast<unsigned>(seed));
        try {
            targetTime = ResetAndApply(store, cell).TargetTime;
        } catch (const std::exception &e) {
            return Fail(kExitBadInput, e.what());
        }
    }
    const double endTime = options.EndTime.value_or(targetTime);
    for (const std::string &problem :
         {RunStartProblem(cell, !options.ChemistryOnly), EndTimeProblem(cell, endTime),
          StepCountProblem(cell, endTime, !options.ChemistryOnly), LeapMemoryProblem(cell),
          CheckpointPeriodProblem(options, endTime), OutputPathsProblem(options, settingsPath)})
        if (!problem.empty())
            return Fail(kExitBadInput, problem);

    RunOutputs outputs;
    outputs.StatePath = options.StatePath;
    try {
        if (options.ObservePath)
            outputs.Observations.emplace(*options.ObservePath);
        if (options.TablePath)
            outputs.Table.emplace(*options.TablePath);
        if (options.Movie.Path) {
            if (!movies)
                return Fail(kExitBadInput, "this filonex-batch was built without pictures: --movie cannot "
                                           "be used");
            outputs.Movie = movies(options.Movie, cell);
        }
    } catch (const OutputError &e) {
        return Fail(kExitBadInput, e.what());
    } catch (const UsageError &e) {
        return Fail(kExitBadInput, e.what());
    }

    const bool showProgress = !options.Quiet && ::isatty(STDERR_FILENO);
    RunWorldFiles worlds(options, store, endTime);
    return RunAndWrite(cell, {endTime, !options.ChemistryOnly, showProgress}, outputs, worlds);
}
