#include "Ensemblemerge.h"

#include "Ensembleplan.h"
#include "Outputfile.h"
#include "Runrecord.h"
#include "Summary.h"
#include "Tidytable.h"

#include <filesystem>
#include <stdexcept>

namespace {

std::string RunList(const std::string &what, const std::vector<std::int64_t> &runs)
{
    if (runs.empty())
        return "";
    std::string text = ", " + std::to_string(runs.size()) + " " + what + " (";
    for (std::size_t i = 0; i < runs.size(); ++i)
        text += (i > 0 ? " " : "") + std::to_string(runs[i]);
    return text + ")";
}

// Raises std::runtime_error when the run in folder was run as part of
// another ensemble than plan (a task given other settings, a folder copied
// in from elsewhere).
void CheckRunPlan(const std::string &folder, const EnsemblePlan &plan)
{
    const std::string path = folder + "/" + kPlanFile;
    if (!std::filesystem::exists(path))
        throw std::runtime_error(folder + " has a result but no " + kPlanFile +
                                 " that says which ensemble it belongs to");
    if (const std::string difference = PlanDifference(ReadEnsemblePlan(path), plan); !difference.empty())
        throw std::runtime_error(folder + " is a run of another ensemble: " + difference +
                                 " (in the ensemble's " + kPlanFile + ")");
}

} // namespace

std::string MergeOutcome::Report() const
{
    return std::to_string(Runs) + " runs: " + std::to_string(Done.size()) + " done" +
           RunList("failed", Failed) + RunList("stopped", Stopped) + RunList("missing", Missing);
}

void CheckMergeTargets(const std::string &dir)
{
    for (const char *name : {kManifestFile, kSummaryFile})
        if (const std::string problem = OutputTargetProblem(dir + "/" + name); !problem.empty())
            throw std::runtime_error(problem);
}

MergeOutcome MergeEnsemble(const std::string &dir)
{
    CheckMergeTargets(dir);
    const EnsemblePlan plan = ReadEnsemblePlan(dir + "/" + kPlanFile);
    MergeOutcome outcome;
    outcome.Runs = plan.RunCount();
    std::string manifest = JoinFields(ManifestColumns(plan));
    std::vector<PointTables> points(plan.PointCount());
    for (std::int64_t point = 0; point < plan.PointCount(); ++point)
        points[point] = {point, {}, plan.PointValues(point)};
    std::vector<std::string> swept;
    for (const SweepAxis &axis : plan.Sweeps)
        swept.push_back(axis.Ident);
    const std::size_t status = ManifestColumns(plan).size() - 2;

    for (std::int64_t run = 0; run < plan.RunCount(); ++run) {
        const std::string folder = dir + "/" + RunFolderName(run);
        auto record = ReadRunRecord(folder, plan, run);
        const std::string table = folder + "/" + kRunTableFile;
        if (record && record->at(status) == kRunDone) {
            CheckRunPlan(folder, plan);
            // A table the summary cannot use leaves out its run, not the others.
            if (const std::string problem = ObservationTableProblem(table); !problem.empty()) {
                outcome.Problems.push_back("run " + std::to_string(run) +
                                           " left out of the summary: " + problem);
                record->at(status) = kRunFailed;
            }
        }
        manifest += JoinFields(record.value_or(RunFields(plan, run, kRunMissing, std::nullopt)));
        if (!record) {
            outcome.Missing.push_back(run);
        } else if (record->at(status) == kRunDone) {
            outcome.Done.push_back(run);
            points[plan.PointOf(run)].Paths.push_back(table);
        } else {
            (record->at(status) == kRunStopped ? outcome.Stopped : outcome.Failed).push_back(run);
        }
    }
    WriteOutputFile(dir + "/" + kManifestFile, manifest);
    OutputFile summary(dir + "/" + kSummaryFile);
    WriteSummary(points, [&](const std::string &line) { summary.Write(line); }, swept);
    summary.Commit();
    return outcome;
}
