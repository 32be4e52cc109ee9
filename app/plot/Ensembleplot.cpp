#include "Ensembleplot.h"

#include <QFileInfo>
#include <QSvgGenerator>
#include <qcustomplot.h>

#include <cmath>
#include <set>

namespace {

// Okabe and Ito's colours, told apart also with the common colour-vision
// deficiencies.
const QColor kColours[] = {QColor(0, 114, 178),   QColor(213, 94, 0),  QColor(0, 158, 115),
                           QColor(204, 121, 167), QColor(230, 159, 0), QColor(86, 180, 233),
                           QColor(0, 0, 0),       QColor(240, 228, 66)};
constexpr int kBandAlpha = 60;

// Sizes for a figure of about 1200 x 800 pixels seen on a projector.
constexpr int kTickFontSize = 14;
constexpr int kLabelFontSize = 16;
constexpr int kLegendFontSize = 13;

QString Label(const SummarySeries &series, const std::map<int, std::string> &pointLabels)
{
    QString label = QString::fromStdString(series.Column);
    if (const auto found = pointLabels.find(series.Point); found != pointLabels.end())
        label += ", " + QString::fromStdString(found->second);
    else if (series.Point != 0)
        label += QString(", point %1").arg(series.Point);
    return label + QString(": mean ± SD of %1 runs").arg(series.MaxN);
}

void StyleAxis(QCPAxis *axis, const QString &title)
{
    QFont ticks = axis->tickLabelFont();
    ticks.setPointSize(kTickFontSize);
    axis->setTickLabelFont(ticks);
    QFont label = axis->labelFont();
    label.setPointSize(kLabelFontSize);
    axis->setLabelFont(label);
    axis->setLabel(title);
}

} // namespace

EnsemblePlot::~EnsemblePlot()
{
    legend->clear();
    // From the first: each list QCustomPlot keeps then loses its head.
    while (graphCount() > 0)
        removeGraph(0);
}

std::string ValueAxisTitle(const std::vector<std::string> &names, const ObservationColumns &columns)
{
    std::string title;
    std::set<std::string> seen;
    for (const std::string &name : names) {
        const ObservationColumn *column = columns.Find(name);
        const std::string kind = column ? column->Title() : name;
        if (seen.insert(kind).second)
            title += (title.empty() ? "" : " / ") + kind;
    }
    return title;
}

void DrawEnsemblePlot(QCustomPlot &plot, const std::vector<SummarySeries> &series,
                      const std::map<int, std::string> &pointLabels)
{
    std::vector<std::string> columns;
    // Only the curves enter the legend, each at its own row: QCustomPlot's
    // own legend filling looks for a free cell from the start each time,
    // which makes thousands of sweep points take minutes.
    plot.setAutoAddPlottableToLegend(false);
    for (std::size_t i = 0; i < series.size(); ++i) {
        const SummarySeries &one = series[i];
        columns.push_back(one.Column);
        const QColor colour = kColours[i % std::size(kColours)];
        QVector<double> time, mean, low, high;
        for (std::size_t k = 0; k < one.Time.size(); ++k) {
            // Without a deviation (one replica) the band closes onto the mean.
            const double sd = std::isnan(one.Sd[k]) ? 0 : one.Sd[k];
            time << one.Time[k];
            mean << one.Mean[k];
            low << one.Mean[k] - sd;
            high << one.Mean[k] + sd;
        }
        QCPGraph *lower = plot.addGraph();
        QCPGraph *upper = plot.addGraph();
        for (QCPGraph *edge : {lower, upper})
            edge->setPen(Qt::NoPen);
        lower->setData(time, low, true);
        upper->setData(time, high, true);
        QColor band = colour;
        band.setAlpha(kBandAlpha);
        upper->setBrush(band);
        upper->setChannelFillGraph(lower);

        QCPGraph *curve = plot.addGraph();
        curve->setData(time, mean, true);
        curve->setPen(QPen(colour, 2.5));
        curve->setName(Label(one, pointLabels));
        plot.legend->addElement(static_cast<int>(i), 0, new QCPPlottableLegendItem(plot.legend, curve));
    }
    StyleAxis(plot.xAxis, "Time [s]");
    StyleAxis(plot.yAxis, QString::fromStdString(ValueAxisTitle(columns)));
    plot.rescaleAxes();
    plot.yAxis->scaleRange(1.08, plot.yAxis->range().center());

    plot.legend->setVisible(true);
    QFont legendFont = plot.legend->font();
    legendFont.setPointSize(kLegendFontSize);
    plot.legend->setFont(legendFont);
    plot.legend->setBrush(QColor(255, 255, 255, 220));
    // Room below each entry's text, which would otherwise clip the
    // underscores of names such as C_ACG.
    for (int i = 0; i < plot.legend->itemCount(); ++i)
        plot.legend->item(i)->setMargins(QMargins(0, 0, 0, 3));
    plot.axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignRight);
}

std::string FigureSizeProblem(int width, int height)
{
    if (width <= kLargestFigureSide && height <= kLargestFigureSide)
        return "";
    return "--size " + std::to_string(width) + "x" + std::to_string(height) +
           " is larger than a figure may be (" + std::to_string(kLargestFigureSide) + " a side)";
}

bool IsPlotFileName(const std::string &path)
{
    const QString suffix = QFileInfo(QString::fromStdString(path)).suffix().toLower();
    return suffix == "png" || suffix == "svg" || suffix == "pdf";
}

bool SavePlot(QCustomPlot &plot, const std::string &path, int width, int height)
{
    const QString file = QString::fromStdString(path);
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix == "png")
        return plot.savePng(file, width, height);
    if (suffix == "pdf")
        return plot.savePdf(file, width, height);
    if (suffix != "svg")
        return false;
    QSvgGenerator svg;
    svg.setFileName(file);
    svg.setSize(QSize(width, height));
    svg.setViewBox(QRect(0, 0, width, height));
    svg.setTitle("Ensemble mean and standard deviation");
    QCPPainter painter;
    if (!painter.begin(&svg))
        return false;
    plot.toPainter(&painter, width, height);
    return painter.end() && QFileInfo(file).size() > 0;
}
