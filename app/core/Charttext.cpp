#include "Charttext.h"

#include "Numbertext.h"
#include "Outputfile.h"

#include <algorithm>

namespace {

const std::string &FirstTitle(const std::string &preferred, const std::string &other,
                              const std::string &fallback)
{
    if (!preferred.empty())
        return preferred;
    return other.empty() ? fallback : other;
}

} // namespace

const char *ChartTextMessage(ChartTextOutcome outcome)
{
    switch (outcome) {
    case ChartTextOutcome::NothingToExport:
        return "Nothing to be export!";
    case ChartTextOutcome::CannotCreateFile:
        return "Cannot create file!";
    case ChartTextOutcome::Written:
        break;
    }
    return "";
}

std::string ChartText(const ChartModel &chart)
{
    static const std::string kX = "X", kY = "Y";
    const ChartAxisTitles &axes = chart.AxisTitles;
    const std::string &yCaption = FirstTitle(axes.Left, axes.Right, kY);
    const std::string &xCaption = FirstTitle(axes.Bottom, axes.Top, kX);

    std::string text;
    std::size_t rows = 0;
    int untitled = 1;
    for (const ChartCurve &curve : chart.Curves) {
        if (!curve.Active)
            continue;
        rows = std::max(rows, curve.Points.size());
        text += "Curve: ";
        text += curve.Title.empty() ? std::to_string(untitled++) : curve.Title;
        text += "\t\t";
    }
    text += "\r\n";

    for (const ChartCurve &curve : chart.Curves) {
        if (curve.Active)
            text += xCaption + "\t" + yCaption + "\t";
    }
    text += "\r\n";

    // A curve that has run out of points writes nothing, so the columns of the
    // curves after it move left in that row.
    for (std::size_t row = 0; row < rows; ++row) {
        for (const ChartCurve &curve : chart.Curves) {
            if (!curve.Active || curve.Points.size() <= row)
                continue;
            const ChartPoint &point = curve.Points[row];
            text += FormatNumber(point.X) + "\t" + FormatNumber(point.Y) + "\t";
        }
        text += "\r\n";
    }
    return text;
}

ChartTextOutcome WriteChartText(const ChartModel &chart, const std::string &path)
{
    if (chart.Curves.empty())
        return ChartTextOutcome::NothingToExport;
    try {
        WriteOutputFile(path, ChartText(chart));
    } catch (const OutputError &) {
        return ChartTextOutcome::CannotCreateFile;
    }
    return ChartTextOutcome::Written;
}
