#include "Summaryseries.h"

#include "Ensembleplan.h"
#include "Numbertext.h"
#include "Parameters.h"
#include "Tidytable.h"

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <filesystem>
#include <limits>
#include <set>

namespace {

std::size_t RequiredColumn(const TidyTableReader &table, const std::string &title)
{
    const auto column = table.Column(title);
    if (!column)
        throw std::runtime_error(table.Path() + " is not an ensemble summary (no column '" + title + "')");
    return *column;
}

double Number(const std::string &field)
{
    return ParseField(field).value_or(std::numeric_limits<double>::quiet_NaN());
}

// A field that must hold a number; a whole one when whole.
double Required(const std::string &field, const char *title, bool whole = false)
{
    const double value = Number(field);
    if (std::isnan(value) ||
        (whole && (value != std::floor(value) || value < 0 || value > std::numeric_limits<int>::max())))
        throw std::runtime_error("'" + field + "' is not a " + (whole ? "whole " : "") + "number for '" +
                                 title + "'");
    return value;
}

std::string List(const std::set<std::string> &names)
{
    std::string text;
    for (const std::string &name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

} // namespace

std::vector<SummarySeries> ReadSummarySeries(const std::string &path, const std::vector<std::string> &columns,
                                             const std::vector<int> &points)
{
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error) &&
        std::filesystem::file_size(path, error) > kLargestSummary)
        throw std::runtime_error("the summary '" + path + "' is larger than " +
                                 std::to_string(kLargestSummary >> 30) + " GiB");
    TidyTableReader table(path);
    const std::size_t pointField = RequiredColumn(table, "point");
    const std::size_t timeField = RequiredColumn(table, "time");
    const std::size_t columnField = RequiredColumn(table, "column");
    const std::size_t nField = RequiredColumn(table, "n");
    const std::size_t meanField = RequiredColumn(table, "mean");
    const std::size_t sdField = RequiredColumn(table, "sd");
    const std::optional<std::size_t> lowField = table.Column("ci_low"), highField = table.Column("ci_high");

    std::map<std::pair<int, std::string>, SummarySeries> found;
    std::set<std::string> allColumns;
    std::set<int> allPoints;
    std::vector<std::string> fields;
    try {
        while (table.Next(fields)) {
            const int point = static_cast<int>(Required(fields[pointField], "point", true));
            const std::string &column = fields[columnField];
            allColumns.insert(column);
            allPoints.insert(point);
            const bool wanted =
                std::find(columns.begin(), columns.end(), column) != columns.end() &&
                (points.empty() || std::find(points.begin(), points.end(), point) != points.end());
            if (!wanted)
                continue;
            SummarySeries &series = found[{point, column}];
            series.Point = point;
            series.Column = column;
            series.Time.push_back(Required(fields[timeField], "time"));
            series.Mean.push_back(Number(fields[meanField]));
            series.Sd.push_back(Number(fields[sdField]));
            series.N.push_back(Required(fields[nField], "n", true));
            series.CiLow.push_back(lowField ? Number(fields[*lowField]) : std::nan(""));
            series.CiHigh.push_back(highField ? Number(fields[*highField]) : std::nan(""));
            series.MaxN = std::max(series.MaxN, static_cast<std::size_t>(series.N.back()));
        }
    } catch (const std::runtime_error &e) {
        // The reader's own messages name the file and line already.
        const std::string what = e.what();
        throw std::runtime_error(
            what.rfind(path + ":", 0) == 0 ? what : path + ":" + std::to_string(table.Line()) + ": " + what);
    }
    if (allColumns.empty())
        throw PlotRequestError("the summary '" + path + "' has no rows");
    for (const std::string &column : columns)
        if (!allColumns.count(column))
            throw PlotRequestError("the summary has no column '" + column + "'; it has " + List(allColumns));
    for (const int point : points)
        if (!allPoints.count(point))
            throw PlotRequestError("the summary has no sweep point " + std::to_string(point) + "; it has " +
                                   std::to_string(allPoints.size()) + " (from 0)");
    std::vector<SummarySeries> series;
    for (auto &[key, one] : found) {
        // Nothing to draw is no figure.
        if (std::none_of(one.Mean.begin(), one.Mean.end(), [](double m) { return !std::isnan(m); }))
            throw PlotRequestError("the summary has no mean of " + one.Column + " at sweep point " +
                                   std::to_string(one.Point));
        series.push_back(std::move(one));
    }
    const auto rank = [&](const SummarySeries &s) {
        return std::pair(s.Point, std::find(columns.begin(), columns.end(), s.Column));
    };
    std::sort(series.begin(), series.end(),
              [&](const SummarySeries &a, const SummarySeries &b) { return rank(a) < rank(b); });
    return series;
}

std::string SweptValueText(const std::string &ident, const std::string &value)
{
    ParameterStore store;
    CreateParameterTables(store, nullptr);
    for (const ParameterTable &table : store.Tables)
        if (const ParameterRow *row = table.Find(ident)) {
            std::string caption = row->Caption, unit;
            if (const std::size_t open = caption.rfind(" ["); open != std::string::npos && caption.back() == ']') {
                unit = caption.substr(open + 2, caption.size() - open - 3);
                caption.resize(open);
            }
            // Micro as the sign people read.
            if (unit.starts_with("u"))
                unit = "µ" + unit.substr(1);
            return caption + " " + value + (unit.empty() ? "" : " " + unit);
        }
    return ident + "=" + value;
}

std::map<int, std::string> ReadPointLabels(const std::string &manifestPath)
{
    std::map<int, std::string> labels;
    if (!std::filesystem::exists(manifestPath))
        return labels;
    TidyTableReader manifest(manifestPath);
    const auto &header = manifest.Header();
    const auto point = manifest.Column("point");
    const auto seed = manifest.Column("seed");
    const auto status = manifest.Column("status");
    if (!point || !seed || !status)
        return labels;
    std::vector<std::string> fields;
    while (manifest.Next(fields)) {
        std::string label;
        for (std::size_t i = *seed + 1; i < *status; ++i)
            label += (label.empty() ? "" : ", ") + SweptValueText(header[i], fields[i]);
        if (!label.empty())
            labels.emplace(static_cast<int>(Number(fields[*point])), label);
    }
    return labels;
}

std::string ReadProvenance(const std::string &summaryPath, const std::vector<SummarySeries> &series)
{
    double end = 0;
    std::size_t runs = 0;
    for (const SummarySeries &one : series) {
        runs = std::max(runs, one.MaxN);
        for (const double time : one.Time)
            end = std::max(end, time);
    }
    char rounded[32];
    std::snprintf(rounded, sizeof rounded, "%.4g", end); // the grid's last time, not its rounding error
    const std::string until = "until " + std::string(rounded) + " s";
    const auto plan = std::filesystem::path(summaryPath).parent_path() / kPlanFile;
    if (!std::filesystem::exists(plan))
        return summaryPath + " · " + std::to_string(runs) + " runs per point · " + until;
    const EnsemblePlan ensemble = ReadEnsemblePlan(plan.string());
    const std::string settings = ensemble.SettingsPath.empty() ? std::string("settings")
                                                               : std::filesystem::path(ensemble.SettingsPath)
                                                                     .filename()
                                                                     .string();
    return settings + " (hash " + ensemble.SettingsHash + ") · base seed " + std::to_string(ensemble.BaseSeed) +
           " · " + std::to_string(ensemble.Replicas) + " runs per point · " + until +
           (ensemble.Method.empty() ? "" : " · " + ensemble.Method) + " · mechanics " +
           (ensemble.Mechanics ? "on" : "off");
}
