#include "Ensemblemerge.h"

#include "Ensembleplan.h"
#include "Outputfile.h"
#include "Runrecord.h"
#include "Summary.h"
#include "Tidytable.h"

#include <stdexcept>

namespace {

std::string RunList(const std::string &what, const std::vector<int> &runs)
{
    if (runs.empty())
        return "";
    std::string text = ", " + std::to_string(runs.size()) + " " + what + " (";
    for (std::size_t i = 0; i < runs.size(); ++i)
        text += (i > 0 ? " " : "") + std::to_string(runs[i]);
    return text + ")";
}

} // namespace

std::string MergeOutcome::Report() const
{
    return std::to_string(Runs) + " runs: " + std::to_string(Done.size()) + " done" +
           RunList("failed", Failed) + RunList("stopped", Stopped) + RunList("missing", Missing);
}

MergeOutcome MergeEnsemble(const std::string &dir)
{
    const EnsemblePlan plan = ReadEnsemblePlan(dir + "/" + kPlanFile);
    MergeOutcome outcome;
    outcome.Runs = plan.RunCount();
    std::string manifest = JoinFields(ManifestColumns(plan));
    std::vector<PointTables> points(plan.PointCount());
    for (int point = 0; point < plan.PointCount(); ++point)
        points[point].Point = point;
    const std::size_t status = ManifestColumns(plan).size() - 2;

    for (int run = 0; run < plan.RunCount(); ++run) {
        const std::string folder = dir + "/" + RunFolderName(run);
        const auto record = ReadRunRecord(folder, plan, run);
        manifest += JoinFields(record.value_or(RunFields(plan, run, kRunMissing, std::nullopt)));
        if (!record) {
            outcome.Missing.push_back(run);
        } else if (record->at(status) == kRunDone) {
            outcome.Done.push_back(run);
            points[plan.PointOf(run)].Paths.push_back(folder + "/" + kRunTableFile);
        } else {
            (record->at(status) == kRunStopped ? outcome.Stopped : outcome.Failed).push_back(run);
        }
    }
    WriteOutputFile(dir + "/" + kManifestFile, manifest);
    OutputFile summary(dir + "/" + kSummaryFile);
    WriteSummary(points, [&](const std::string &line) { summary.Write(line); });
    summary.Commit();
    return outcome;
}
