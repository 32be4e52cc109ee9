#include "Ensemblecommand.h"

#include "Batchoptions.h"
#include "Batchrun.h"
#include "Batchsettings.h"
#include "Ensemblemerge.h"
#include "Ensembleplan.h"
#include "Ensemblerun.h"
#include "Exitstatus.h"
#include "Outputfile.h"
#include "Parentwatch.h"
#include "Parameters.h"
#include "Random.h"
#include "Runrecord.h"
#include "Runseed.h"
#include "Settingsfile.h"
#include "Stopsignals.h"
#include "Tidytable.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

std::string PlanPath(const BatchOptions &options)
{
    return *options.OutPath + "/" + kPlanFile;
}

std::optional<std::string> ReadText(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The base seed: --seed, else the one of the plan already in the folder
// (so that a command given again continues the same ensemble), else one
// from the clock, which is printed.
std::uint32_t BaseSeed(const BatchOptions &options)
{
    if (options.Seed)
        return *options.Seed;
    if (std::filesystem::exists(PlanPath(options)))
        return ReadEnsemblePlan(PlanPath(options)).BaseSeed;
    const std::uint32_t seed = SeedInRange(FreshSeed());
    std::fprintf(stderr, "seed %u\n", static_cast<unsigned>(seed));
    return seed;
}

// The world's parameters that the settings file at path gives, one line
// each: what an ensemble's runs must share, whatever else the file holds
// (the window's own section, comments, the order of entries).
std::string ParametersText(const std::string &path)
{
    std::string text;
    for (const ParameterTable &table : RunParameters(SettingsFile(path), std::nullopt).Tables)
        for (const ParameterRow &row : table.Rows)
            text += table.SectionName + "\t" + row.Key + "\t" + row.Value + "\n";
    return text;
}

// The plan of the command line; raises std::runtime_error for one too large
// or a settings file that cannot be read.
EnsemblePlan PlanOf(const BatchOptions &options, std::uint32_t baseSeed)
{
    EnsemblePlan plan;
    plan.BaseSeed = baseSeed;
    plan.Replicas = options.Runs.value_or(1);
    plan.Sweeps = options.Sweeps;
    CheckPlanSize(plan);
    const std::string settings = BatchSettingsPath(options);
    if (const std::string problem = SettingsFileProblem(settings, bool(options.SettingsPath));
        !problem.empty())
        throw std::runtime_error(problem);
    if (options.Strict)
        CheckedRunParameters(SettingsFile(settings), options.Method, true);
    plan.SettingsHash = ContentHash(ParametersText(settings));
    plan.SettingsPath = settings;
    plan.Method = options.Method.value_or("");
    plan.EndTime = options.EndTime ? ExactNumber(*options.EndTime) : "";
    plan.Mechanics = !options.ChemistryOnly;
    return plan;
}

// Writes the plan into the folder, or checks that the one there is the same:
// the runs of two different ensembles must not mix in one folder. Raises
// std::runtime_error.
void SettlePlan(const BatchOptions &options, const EnsemblePlan &plan)
{
    std::filesystem::create_directories(*options.OutPath);
    const std::string path = PlanPath(options);
    if (std::filesystem::exists(path)) {
        if (const std::string difference = PlanDifference(plan, ReadEnsemblePlan(path)); !difference.empty())
            throw std::runtime_error(*options.OutPath + " holds another ensemble (" + path +
                                     "): " + difference + "; give another folder or remove that one");
        return;
    }
    WriteOutputFile(path, plan.Text());
}

// The run's settings file: the one of the command line with the values of
// the run's sweep point, and --method and --time when given, written in, so
// that "--settings parameters.ini --seed S" repeats the run; the window's
// own section stays out.
void WriteRunSettings(const BatchOptions &options, const EnsemblePlan &plan, std::int64_t run,
                      const std::string &path)
{
    const std::string source = BatchSettingsPath(options);
    if (const std::string problem = SettingsFileProblem(source, bool(options.SettingsPath)); !problem.empty())
        throw std::runtime_error(problem);
    const auto text = ReadText(source);
    WriteOutputFile(path, text.value_or(""));
    SettingsFile settings(path);
    settings.RemoveSection(kWindowSection);
    const auto values = plan.PointValues(plan.PointOf(run));
    for (std::size_t i = 0; i < values.size(); ++i)
        settings.WriteString(plan.Sweeps[i].Section, plan.Sweeps[i].Ident, values[i]);
    if (options.Method)
        settings.WriteString(kSimulation, "SIM_METHOD", *options.Method);
    if (options.EndTime)
        settings.WriteString(kSimulation, "SIM_TIME", ExactNumber(*options.EndTime));
    settings.Save();
}

std::string StatusText(int status)
{
    if (status == kExitDone)
        return kRunDone;
    return status > 128 ? kRunStopped : kRunFailed; // 128 + the number of the stopping signal
}

// Merges the ensemble in dir and says how its runs ended (when quiet, only
// when not all are done); returns the exit status.
int MergeAndReport(const std::string &dir, bool quiet)
{
    try {
        const MergeOutcome outcome = MergeEnsemble(dir);
        for (const std::string &problem : outcome.Problems)
            Fail(kExitRunFailed, problem);
        if (!quiet || !outcome.AllDone())
            std::fprintf(stderr, "%s\n", outcome.Report().c_str());
        return outcome.AllDone() ? kExitDone : kExitRunFailed;
    } catch (const OutputError &e) {
        return Fail(kExitOutputFailed, e.what());
    } catch (const std::exception &e) { // a plan, record or table that cannot be read
        return Fail(kExitBadInput, e.what());
    }
}

} // namespace

int RunEnsembleMember(const BatchOptions &options, const RunFramesMaker &movies)
{
    StopWithParent();
    if (!options.Seed && !std::filesystem::exists(PlanPath(options)))
        return Fail(kExitBadInput,
                    "--run-index needs --seed, or the plan " + PlanPath(options) + " that --prepare writes");
    EnsemblePlan plan;
    std::string folder;
    BatchOptions member = options;
    try {
        plan = PlanOf(options, BaseSeed(options));
        const std::int64_t index = *options.RunIndex;
        if (index >= plan.RunCount())
            return Fail(kExitBadInput, "--run-index " + std::to_string(index) +
                                           " is not a run of this ensemble of " +
                                           std::to_string(plan.RunCount()) + " runs");
        SettlePlan(options, plan);
        folder = *options.OutPath + "/" + RunFolderName(index);
        std::filesystem::create_directories(folder);
        std::filesystem::remove(folder + "/" + kRunRecordFile);
        // The plan the run belongs to, which the merge checks.
        WriteOutputFile(folder + "/" + kPlanFile, plan.Text());
        member.SettingsPath = folder + "/" + kRunSettingsFile;
        WriteRunSettings(options, plan, index, *member.SettingsPath);
        member.Seed = plan.SeedOf(index);
    } catch (const std::exception &e) {
        return Fail(kExitBadInput, e.what());
    }
    member.StatePath = folder + "/" + kRunStateFile;
    member.TablePath = folder + "/" + kRunTableFile;
    member.Quiet = true;
    if (options.Movie.Path)
        member.Movie.Path = folder + "/" + std::filesystem::path(*options.Movie.Path).filename().string();

    const auto started = std::chrono::steady_clock::now();
    const int status = RunBatch(member, movies);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    try {
        WriteRunRecord(folder, plan, *options.RunIndex, StatusText(status), seconds);
    } catch (const std::exception &e) {
        return MoreSeriousStatus(status, Fail(kExitOutputFailed, e.what()));
    }
    return status;
}

int RunEnsembleCommand(const BatchOptions &options, const std::vector<std::string> &arguments)
{
    EnsemblePlan plan;
    try {
        plan = PlanOf(options, BaseSeed(options));
        SettlePlan(options, plan);
        CheckMergeTargets(*options.OutPath);
    } catch (const std::exception &e) {
        return Fail(kExitBadInput, e.what());
    }
    EnsembleLaunch launch;
    launch.Program = ExecutablePath();
    // Each run takes the base seed from the plan just settled and is quiet.
    launch.Arguments = arguments;
    launch.Folder = *options.OutPath;
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    launch.Jobs = static_cast<int>(std::min<std::int64_t>(options.Jobs.value_or(cores), plan.RunCount()));
    // Runs side by side share the cores: each keeps its mechanics to one
    // thread (the results are the same for any number of threads).
    if (launch.Jobs > 1 && options.Threads == 0)
        launch.Arguments.insert(launch.Arguments.end(), {"--threads", "1"});
    launch.Report = !options.Quiet;
    launch.StopRequested = [] { return ReceivedStopSignal() != 0; };
    CatchStopSignals();
    RunEnsemble(plan, launch);

    const int merged = MergeAndReport(*options.OutPath, options.Quiet);
    if (const int signal = ReceivedStopSignal())
        return Fail(StoppedStatus(signal), std::string("stopped by ") + StopSignalName(signal));
    return merged;
}

int PrepareEnsemble(const BatchOptions &options)
{
    try {
        const EnsemblePlan plan = PlanOf(options, BaseSeed(options));
        SettlePlan(options, plan);
        std::printf("%lld\n", static_cast<long long>(plan.RunCount()));
    } catch (const std::exception &e) {
        return Fail(kExitBadInput, e.what());
    }
    return kExitDone;
}

int MergeCommand(const std::string &dir)
{
    if (!std::filesystem::exists(dir + "/" + kPlanFile))
        return Fail(kExitBadInput, dir + " is not an ensemble folder (it has no " + kPlanFile + ")");
    return MergeAndReport(dir, false);
}
