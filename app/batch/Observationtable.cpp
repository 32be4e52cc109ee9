#include "Observationtable.h"

#include "Cell.h"
#include "Tidytable.h"

std::vector<std::string> ObservationColumns()
{
    std::vector<std::string> columns = {"time"};
    for (const char *species : CCell::SpeciesNames)
        columns.push_back(species);
    for (const char *prefix : {"n_", "a_", "p_"})
        for (const char *reaction : CCell::ReactionNames)
            columns.push_back(prefix + std::string(reaction));
    columns.push_back("mean_size");
    for (const char *bacterium : ObservationRecord::BacteriumValueNames)
        columns.push_back(bacterium);
    return columns;
}

std::string ObservationTableHeader()
{
    return JoinFields(ObservationColumns());
}

std::string ObservationTableRow(const ObservationRecord &record)
{
    std::vector<std::string> row = {ExactNumber(record.Time)};
    for (const auto count : record.Species)
        row.push_back(std::to_string(count));
    for (const auto count : record.Occurrences)
        row.push_back(std::to_string(count));
    for (const double propensity : record.Propensities)
        row.push_back(ExactNumber(propensity));
    for (const double probability : record.Probabilities)
        row.push_back(record.HasProbabilities() ? ExactNumber(probability) : std::string());
    row.push_back(ExactNumber(record.MeanFilamentSize));
    if (record.Bacterium)
        for (const double value : record.Bacterium->Values())
            row.push_back(ExactNumber(value));
    else
        row.resize(row.size() + ObservationRecord::BacteriumValueNames.size());
    return JoinFields(row);
}

ObservationTableWriter::ObservationTableWriter(const std::string &path) : file_(path)
{
    file_.Write(ObservationTableHeader());
}

void ObservationTableWriter::Add(const ObservationRecord &record)
{
    file_.Write(ObservationTableRow(record));
}

void ObservationTableWriter::Finish()
{
    file_.Commit();
}
