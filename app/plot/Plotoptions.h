#pragma once

#include "Commandline.h"
#include "ObservationColumns.h"

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
    std::string Band = "sd"; // "sd", "sem" or "ci95"
    std::string Title;       // empty: the columns'
    bool Help = false;
};

// Options as "--name value" or "--name=value" (see CommandLine); raises
// UsageError for an unknown, repeated or malformed option, a column that is
// none of columns, or a missing summary, column list or output file.
PlotOptions ParsePlotOptions(const std::vector<std::string> &arguments,
                             const ObservationColumns &columns = StandardColumns());

// The text of --help, which lists the columns.
std::string PlotHelp(const ObservationColumns &columns = StandardColumns());
