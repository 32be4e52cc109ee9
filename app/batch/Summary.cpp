#include "Summary.h"

#include "Studentt.h"
#include "Tidytable.h"

#include <cmath>
#include <limits>
#include <memory>
#include <stdexcept>

namespace {

constexpr double kConfidence = 0.95;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::string Field(double value)
{
    return std::isnan(value) ? std::string() : ExactNumber(value);
}

double Value(const std::string &field, const TidyTableReader &table)
{
    try {
        return ParseField(field).value_or(kNaN);
    } catch (const std::runtime_error &e) {
        throw std::runtime_error(table.Path() + ":" + std::to_string(table.Line()) + ": " + e.what());
    }
}

void WritePoint(const PointTables &point, const std::function<void(const std::string &)> &write)
{
    if (point.Paths.empty())
        return;
    std::vector<std::unique_ptr<TidyTableReader>> tables;
    for (const std::string &path : point.Paths) {
        tables.push_back(std::make_unique<TidyTableReader>(path));
        if (tables.back()->Header() != tables.front()->Header())
            throw std::runtime_error(path + " has other columns than " + point.Paths.front());
    }
    const std::vector<std::string> &header = tables.front()->Header();
    const auto timeColumn = tables.front()->Column("time");
    if (!timeColumn)
        throw std::runtime_error(point.Paths.front() + " has no column 'time'");

    std::vector<std::vector<std::string>> rows(tables.size());
    std::vector<double> values;
    for (long row = 1;; ++row) {
        for (std::size_t i = 0; i < tables.size(); ++i)
            if (!tables[i]->Next(rows[i]))
                return;
        const std::string &time = rows.front()[*timeColumn];
        for (std::size_t i = 1; i < tables.size(); ++i)
            if (rows[i][*timeColumn] != time)
                throw std::runtime_error(point.Paths[i] + " has the time " + rows[i][*timeColumn] +
                                         " where " + point.Paths.front() + " has " + time + " (row " +
                                         std::to_string(row) + ")");
        for (std::size_t column = 0; column < header.size(); ++column) {
            if (column == *timeColumn)
                continue;
            values.clear();
            for (std::size_t i = 0; i < tables.size(); ++i)
                if (const double value = Value(rows[i][column], *tables[i]); !std::isnan(value))
                    values.push_back(value);
            const ColumnSummary s = Summarise(values);
            std::vector<std::string> fields = {std::to_string(point.Point)};
            fields.insert(fields.end(), point.SweptValues.begin(), point.SweptValues.end());
            fields.insert(fields.end(), {time, header[column], std::to_string(s.N), Field(s.Mean), Field(s.Sd),
                                         Field(s.CiLow), Field(s.CiHigh)});
            write(JoinFields(fields));
        }
    }
}

} // namespace

ColumnSummary Summarise(const std::vector<double> &values)
{
    ColumnSummary s;
    s.N = values.size();
    s.Mean = s.Sd = s.CiLow = s.CiHigh = kNaN;
    if (values.empty())
        return s;
    double sum = 0;
    for (const double value : values)
        sum += value;
    s.Mean = sum / s.N;
    if (s.N < 2)
        return s;
    // Two passes: the squares of the deviations lose nothing to cancellation.
    double squares = 0;
    for (const double value : values)
        squares += (value - s.Mean) * (value - s.Mean);
    s.Sd = std::sqrt(squares / (s.N - 1));
    const double halfWidth = StudentTQuantile(0.5 + kConfidence / 2, s.N - 1) * s.Sd / std::sqrt(s.N);
    s.CiLow = s.Mean - halfWidth;
    s.CiHigh = s.Mean + halfWidth;
    return s;
}

std::string ObservationTableProblem(const std::string &path)
{
    try {
        TidyTableReader table(path);
        const auto time = table.Column("time");
        if (!time)
            return path + " has no column 'time'";
        for (std::vector<std::string> fields; table.Next(fields);) {
            for (const std::string &field : fields)
                Value(field, table);
            if (fields[*time].empty())
                return path + ":" + std::to_string(table.Line()) + ": no time";
        }
    } catch (const std::runtime_error &e) {
        return e.what();
    }
    return "";
}

void WriteSummary(const std::vector<PointTables> &points,
                  const std::function<void(const std::string &line)> &write,
                  const std::vector<std::string> &sweptIdents)
{
    std::vector<std::string> header = {"point"};
    header.insert(header.end(), sweptIdents.begin(), sweptIdents.end());
    header.insert(header.end(), {"time", "column", "n", "mean", "sd", "ci_low", "ci_high"});
    write(JoinFields(header));
    for (const PointTables &point : points)
        WritePoint(point, write);
}
