#include "Runrecord.h"

#include "Ensembleplan.h"
#include "Outputfile.h"
#include "Tidytable.h"

#include <filesystem>
#include <stdexcept>

std::vector<std::string> ManifestColumns(const EnsemblePlan &plan)
{
    std::vector<std::string> columns = {"run", "point", "replica", "seed"};
    for (const SweepAxis &axis : plan.Sweeps)
        columns.push_back(axis.Ident);
    columns.insert(columns.end(), {"status", "wall_time"});
    return columns;
}

std::vector<std::string> RunFields(const EnsemblePlan &plan, std::int64_t run, const std::string &status,
                                   std::optional<double> wallSeconds)
{
    std::vector<std::string> fields = {std::to_string(run), std::to_string(plan.PointOf(run)),
                                       std::to_string(plan.ReplicaOf(run)), std::to_string(plan.SeedOf(run))};
    for (const std::string &value : plan.PointValues(plan.PointOf(run)))
        fields.push_back(value);
    fields.push_back(status);
    fields.push_back(wallSeconds ? ExactNumber(*wallSeconds) : std::string());
    return fields;
}

void WriteRunRecord(const std::string &runFolder, const EnsemblePlan &plan, std::int64_t run,
                    const std::string &status, std::optional<double> wallSeconds)
{
    WriteOutputFile(runFolder + "/" + kRunRecordFile,
                    JoinFields(ManifestColumns(plan)) +
                        JoinFields(RunFields(plan, run, status, wallSeconds)));
}

std::optional<std::vector<std::string>> ReadRunRecord(const std::string &runFolder, const EnsemblePlan &plan,
                                                      std::int64_t run)
{
    const std::string path = runFolder + "/" + kRunRecordFile;
    if (!std::filesystem::exists(path))
        return std::nullopt;
    TidyTableReader record(path);
    std::vector<std::string> fields;
    const auto expected = RunFields(plan, run, "", std::nullopt);
    if (record.Header() != ManifestColumns(plan) || !record.Next(fields) ||
        !std::equal(expected.begin(), expected.end() - 2, fields.begin()))
        throw std::runtime_error(path + " is the record of another run or ensemble");
    return fields;
}
