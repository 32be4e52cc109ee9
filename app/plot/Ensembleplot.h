#pragma once

#include "ObservationColumns.h"
#include "Summaryseries.h"

#include <QColor>
#include <QPointF>
#include <QRectF>

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

    // Lays the plot out at the size of a figure, as saving it will.
    void LayOut(int width, int height);
};

// The band drawn about each mean: one standard deviation either side, one
// standard error of the mean, or the 95 % confidence interval of the mean.
enum class PlotBand { Sd, Sem, Ci95 };

struct PlotFigure {
    PlotBand Band = PlotBand::Sd;
    std::string Title;
    std::string Provenance; // where the figure comes from, in one line
    int Width = 1200;       // pixels
    int Height = 800;
};

// Where the figure put its parts, in pixels of the figure.
struct PlotLayout {
    QRectF Legend;
    bool LegendOutside = false; // beside the axes rather than inside them
    std::vector<std::vector<QPointF>> Curves; // the points of each mean, in series order
    std::vector<QColor> Colours;              // the pen of each mean
    std::string Title, Provenance;
};

// The colours of the curves in turn: Okabe and Ito's, told apart also with
// the common colour-vision deficiencies, without the yellow that white
// hides. After them the colours come again with dashes.
const std::vector<QColor> &PlotPalette();

// Draws each series as its mean over time with a band about it, one colour
// per series, with a title, a provenance line, axis titles in the units that
// suit the values, and a legend that names the column, the sweep point (by
// its swept values when pointLabels has them) and the number of replicas.
// The legend goes into the corner of the axes that no curve crosses, else
// beside them. Returns the layout at the figure's size.
PlotLayout DrawEnsemblePlot(EnsemblePlot &plot, const std::vector<SummarySeries> &series,
                            const std::map<int, std::string> &pointLabels, const PlotFigure &figure,
                            const ObservationColumns &columns = StandardColumns());

// A unit of the observation columns shown at the size of values up to
// largest: "m" as "nm", "µm", "mm" or "m", "m^2" likewise squared; others as
// they are. Values in the unit are multiplied by Factor.
struct DisplayUnit {
    std::string Unit;
    double Factor = 1.0;
};
DisplayUnit UnitForValues(const std::string &unit, double largest);

// The title of the value axis for the columns of these names, with units as
// shown for the largest value of each name.
std::string ValueAxisTitle(const std::vector<std::string> &names,
                           const ObservationColumns &columns = StandardColumns(),
                           const std::map<std::string, double> &largest = {});

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
