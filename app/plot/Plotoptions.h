#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// The command line of filonex-plot.
struct PlotOptions {
    std::string SummaryPath;
    std::vector<std::string> Columns;
    std::vector<int> Points; // empty: every point of the summary
    std::string OutputPath;  // .png, .svg or .pdf
    int Width = 1200;        // pixels
    int Height = 800;
    bool Help = false;
};

class PlotUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Raises PlotUsageError for an unknown option, a missing or malformed value
// or a missing summary, column list or output file.
PlotOptions ParsePlotOptions(const std::vector<std::string> &arguments);

extern const char *const kPlotUsage;
