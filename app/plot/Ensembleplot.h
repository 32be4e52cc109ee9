#pragma once

#include "ObservationColumns.h"
#include "Summaryseries.h"

#include <map>
#include <string>
#include <vector>

#include <qcustomplot.h>

// A QCustomPlot that empties its legend at once and removes its curves from
// the first when it goes: its own removal goes from the last curve, searches
// each of its lists from the front for it and lays the legend out anew each
// time, which takes minutes for thousands of sweep points.
class EnsemblePlot : public QCustomPlot {
public:
    ~EnsemblePlot() override;
};

// Draws each series as its mean over time with a band of one standard
// deviation either side, one colour per series, with axis titles and units
// and a legend that names the column, the sweep point (by its swept values
// when pointLabels has them) and the number of replicas.
void DrawEnsemblePlot(QCustomPlot &plot, const std::vector<SummarySeries> &series,
                      const std::map<int, std::string> &pointLabels);

// The title of the value axis for the columns of these names, with units.
std::string ValueAxisTitle(const std::vector<std::string> &names,
                           const ObservationColumns &columns = StandardColumns());

// Saves the plot as PNG, SVG or PDF, chosen by the file's extension, at
// width x height pixels (points for PDF and SVG). Returns false when the
// file cannot be written.
bool SavePlot(QCustomPlot &plot, const std::string &path, int width, int height);

// The largest figure, a side: 8000 pixels make a PNG of 256 MB in memory.
inline constexpr int kLargestFigureSide = 8000;

// Why a figure of width x height cannot be drawn, or an empty text.
std::string FigureSizeProblem(int width, int height);

// Whether SavePlot knows the file's extension.
bool IsPlotFileName(const std::string &path);
