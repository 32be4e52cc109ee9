#pragma once

#include "Summaryseries.h"

#include <map>
#include <string>
#include <vector>

class QCustomPlot;

// Draws each series as its mean over time with a band of one standard
// deviation either side, one colour per series, with axis titles and units
// and a legend that names the column, the sweep point (by its swept values
// when pointLabels has them) and the number of replicas.
void DrawEnsemblePlot(QCustomPlot &plot, const std::vector<SummarySeries> &series,
                      const std::map<int, std::string> &pointLabels);

// The title of the value axis for these columns, with units.
std::string ValueAxisTitle(const std::vector<std::string> &columns);

// Saves the plot as PNG, SVG or PDF, chosen by the file's extension, at
// width x height pixels (points for PDF and SVG). Returns false when the
// file cannot be written.
bool SavePlot(QCustomPlot &plot, const std::string &path, int width, int height);

// Whether SavePlot knows the file's extension.
bool IsPlotFileName(const std::string &path);
