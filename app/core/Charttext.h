#pragma once

#include <string>
#include <vector>

// What the text export needs of a chart, without any chart widget.
struct ChartPoint {
    double X;
    double Y;
};

struct ChartCurve {
    std::string Title;
    bool Active = true; // inactive curves are hidden and not exported
    std::vector<ChartPoint> Points;
};

struct ChartAxisTitles {
    std::string Bottom;
    std::string Top;
    std::string Left;
    std::string Right;
};

struct ChartModel {
    ChartAxisTitles AxisTitles;
    std::vector<ChartCurve> Curves; // in chart order
};

enum class ChartTextOutcome {
    Written,
    NothingToExport,  // the chart has no curves at all
    CannotCreateFile, // the file could not be opened, or writing it failed
};

// The message a window shows for an outcome other than Written:
// "Nothing to be export!" or "Cannot create file!".
const char *ChartTextMessage(ChartTextOutcome outcome);

// The export text: a "Curve: " header line, an axis caption line and one line
// per point row, every field followed by a tab, every line ended by CR LF.
// Numbers are in the general number format.
std::string ChartText(const ChartModel &chart);

// Writes ChartText into the file at path, replacing what it held. A chart
// without curves writes nothing (NothingToExport); a window checks that before
// it asks for a file name.
ChartTextOutcome WriteChartText(const ChartModel &chart, const std::string &path);
