#include "Observationtable.h"

#include "Tidytable.h"

#include <cstdint>

std::vector<std::string> ObservationColumnTitles(const ObservationColumns &columns)
{
    std::vector<std::string> titles = {"time"};
    for (const ObservationColumn &column : columns.Columns)
        titles.push_back(column.Name);
    return titles;
}

std::string ObservationTableHeader(const ObservationColumns &columns)
{
    return JoinFields(ObservationColumnTitles(columns));
}

std::string ObservationTableRow(const ObservationRecord &record, const ObservationColumns &columns)
{
    std::vector<std::string> row = {ExactNumber(record.Time)};
    for (const ObservationColumn &column : columns.Columns) {
        const std::optional<double> value = column.Read(record);
        if (!value)
            row.emplace_back();
        else if (column.Whole)
            row.push_back(std::to_string(static_cast<std::int64_t>(*value)));
        else
            row.push_back(ExactNumber(*value));
    }
    return JoinFields(row);
}

ObservationTableWriter::ObservationTableWriter(const std::string &path, const ObservationColumns &columns)
    : file_(path), columns_(columns)
{
    file_.Write(ObservationTableHeader(columns_));
}

void ObservationTableWriter::Add(const ObservationRecord &record)
{
    file_.Write(ObservationTableRow(record, columns_));
}

void ObservationTableWriter::Finish()
{
    file_.Commit();
}
