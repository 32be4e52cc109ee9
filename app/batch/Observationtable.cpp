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
    return columns;
}

std::string ObservationTableHeader()
{
    return JoinFields(ObservationColumns());
}

std::string ObservationTableRow(const CCell &cell)
{
    std::vector<std::string> row = {ExactNumber(cell.ObsTime)};
    for (const auto count : cell.Species)
        row.push_back(std::to_string(count));
    for (const CChemReaction &reaction : cell.Reactions)
        row.push_back(std::to_string(reaction.Count));
    double sum = 0;
    for (const CChemReaction &reaction : cell.Reactions) {
        row.push_back(ExactNumber(reaction.Propensity));
        sum += reaction.Propensity;
    }
    for (const CChemReaction &reaction : cell.Reactions)
        row.push_back(sum != 0 ? ExactNumber(reaction.Propensity / sum) : std::string());
    row.push_back(ExactNumber(cell.MeanFilamentSize()));
    return JoinFields(row);
}

ObservationTableWriter::ObservationTableWriter(const std::string &path) : file_(path)
{
    file_.Write(ObservationTableHeader());
}

void ObservationTableWriter::Add(const CCell &cell)
{
    file_.Write(ObservationTableRow(cell));
}

void ObservationTableWriter::Finish()
{
    file_.Commit();
}
