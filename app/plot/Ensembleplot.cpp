#include "Ensembleplot.h"

#include <QFileInfo>
#include <QSvgGenerator>
#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace {

constexpr int kBandAlpha = 60;

// Sizes for a figure of about 1200 x 800 pixels seen on a projector.
constexpr int kTickFontSize = 14;
constexpr int kLabelFontSize = 16;
constexpr int kLegendFontSize = 13;
constexpr int kTitleFontSize = 18;
constexpr int kProvenanceFontSize = 10;
constexpr double kLegendClearance = 4; // pixels between the legend and any curve

const char *BandText(PlotBand band)
{
    switch (band) {
    case PlotBand::Sd:
        return "mean ± SD";
    case PlotBand::Sem:
        return "mean ± SEM";
    case PlotBand::Ci95:
        break;
    }
    return "mean and 95 % CI";
}

QString Label(const SummarySeries &series, const std::map<int, std::string> &pointLabels, PlotBand band,
              bool clipped)
{
    QString label = QString::fromStdString(series.Column);
    if (const auto found = pointLabels.find(series.Point); found != pointLabels.end())
        label += ", " + QString::fromStdString(found->second);
    else if (series.Point != 0)
        label += QString(", point %1").arg(series.Point);
    label += QString(": %1 of %2 runs").arg(BandText(band)).arg(series.MaxN);
    return clipped ? label + " (band clipped at 0)" : label;
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

// The band's edges about the mean at point k.
std::pair<double, double> BandAt(const SummarySeries &series, std::size_t k, PlotBand band)
{
    const double mean = series.Mean[k];
    const auto about = [mean](double half) {
        return std::isnan(half) ? std::pair(mean, mean) : std::pair(mean - half, mean + half);
    };
    switch (band) {
    case PlotBand::Sd:
        return about(series.Sd[k]);
    case PlotBand::Sem:
        return about(series.Sd[k] / std::sqrt(series.N[k]));
    case PlotBand::Ci95:
        break;
    }
    // Without an interval (one replica) the band closes onto the mean.
    return {std::isnan(series.CiLow[k]) ? mean : series.CiLow[k],
            std::isnan(series.CiHigh[k]) ? mean : series.CiHigh[k]};
}

bool Crosses(const QRectF &box, const std::vector<QPointF> &points)
{
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (box.contains(points[i]))
            return true;
        if (i == 0)
            continue;
        const QLineF segment(points[i - 1], points[i]);
        for (const QLineF &edge : {QLineF(box.topLeft(), box.topRight()), QLineF(box.topRight(), box.bottomRight()),
                                   QLineF(box.bottomRight(), box.bottomLeft()),
                                   QLineF(box.bottomLeft(), box.topLeft())})
            if (segment.intersects(edge, nullptr) == QLineF::BoundedIntersection)
                return true;
    }
    return false;
}

QCPTextElement *AddText(QCustomPlot &plot, int row, const std::string &text, int pointSize, bool bold,
                        const QColor &colour)
{
    QFont font = plot.font();
    font.setPointSize(pointSize);
    font.setBold(bold);
    // Broken at its " · " into lines that fit the figure.
    const QFontMetricsF metrics(font);
    const double room = plot.viewport().width() - 20;
    QString lines;
    for (const QString &part : QString::fromStdString(text).split(" · ")) {
        const QString line = lines.mid(lines.lastIndexOf('\n') + 1);
        const bool fits = line.isEmpty() || metrics.horizontalAdvance(line + " · " + part) <= room;
        lines += (lines.isEmpty() ? "" : fits ? " · " : "\n") + part;
    }
    auto *element = new QCPTextElement(&plot, lines, font);
    element->setTextColor(colour);
    plot.plotLayout()->insertRow(row);
    plot.plotLayout()->addElement(row, 0, element);
    return element;
}

} // namespace

EnsemblePlot::~EnsemblePlot()
{
    legend->clear();
    // From the first: each list QCustomPlot keeps then loses its head.
    while (graphCount() > 0)
        removeGraph(0);
}

void EnsemblePlot::LayOut(int width, int height)
{
    setViewport(QRect(0, 0, width, height));
    updateLayout();
}

const std::vector<QColor> &PlotPalette()
{
    static const std::vector<QColor> palette = {QColor(0, 114, 178),   QColor(213, 94, 0),
                                                QColor(0, 158, 115),   QColor(204, 121, 167),
                                                QColor(230, 159, 0),   QColor(86, 180, 233),
                                                QColor(0, 0, 0)};
    return palette;
}

DisplayUnit UnitForValues(const std::string &unit, double largest)
{
    if (unit != "m" && unit != "m^2")
        return {unit, 1.0};
    const int power = unit == "m" ? 1 : 2;
    const struct {
        const char *Prefix;
        double Scale; // m
    } prefixes[] = {{"", 1.0}, {"m", 1e-3}, {"µ", 1e-6}, {"n", 1e-9}};
    // The largest prefix that shows the largest value as 1 or more; µm for
    // nothing but zeros.
    std::size_t chosen = largest > 0 ? std::size(prefixes) - 1 : 2;
    for (std::size_t i = 0; largest > 0 && i < std::size(prefixes); ++i)
        if (largest >= std::pow(prefixes[i].Scale, power)) {
            chosen = i;
            break;
        }
    return {std::string(prefixes[chosen].Prefix) + "m" + (power == 2 ? "²" : ""),
            1.0 / std::pow(prefixes[chosen].Scale, power)};
}

std::string ValueAxisTitle(const std::vector<std::string> &names, const ObservationColumns &columns,
                           const std::map<std::string, double> &largest)
{
    std::string title;
    std::set<std::string> seen;
    for (const std::string &name : names) {
        std::string kind = name;
        if (const ObservationColumn *column = columns.Find(name)) {
            const auto found = largest.find(name);
            const DisplayUnit unit = UnitForValues(column->Unit, found == largest.end() ? 0.0 : found->second);
            kind = column->Caption + (unit.Unit.empty() ? "" : " [" + unit.Unit + "]");
        }
        if (seen.insert(kind).second)
            title += (title.empty() ? "" : " / ") + kind;
    }
    return title;
}

PlotLayout DrawEnsemblePlot(EnsemblePlot &plot, const std::vector<SummarySeries> &series,
                            const std::map<int, std::string> &pointLabels, const PlotFigure &figure,
                            const ObservationColumns &columns)
{
    std::vector<std::string> names;
    std::map<std::string, double> largest;
    for (const SummarySeries &one : series) {
        names.push_back(one.Column);
        double &most = largest[one.Column];
        for (const double mean : one.Mean)
            if (!std::isnan(mean))
                most = std::max(most, std::abs(mean));
    }
    const std::vector<QColor> &palette = PlotPalette();
    const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine};
    std::vector<QCPGraph *> means;
    // Only the curves enter the legend, each at its own row: QCustomPlot's
    // own legend filling looks for a free cell from the start each time,
    // which makes thousands of sweep points take minutes.
    plot.setAutoAddPlottableToLegend(false);
    for (std::size_t i = 0; i < series.size(); ++i) {
        const SummarySeries &one = series[i];
        const ObservationColumn *column = columns.Find(one.Column);
        const double factor = column ? UnitForValues(column->Unit, largest[one.Column]).Factor : 1.0;
        const bool amount = column && !column->Signed;
        const QColor colour = palette[i % palette.size()];
        bool clipped = false;
        QVector<double> time, mean, low, high;
        for (std::size_t k = 0; k < one.Time.size(); ++k) {
            auto [from, to] = BandAt(one, k, figure.Band);
            if (amount && from < 0) {
                from = 0;
                clipped = true;
            }
            time << one.Time[k];
            mean << one.Mean[k] * factor;
            low << from * factor;
            high << to * factor;
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
        curve->setPen(QPen(colour, 2.5, styles[(i / palette.size()) % std::size(styles)]));
        curve->setName(Label(one, pointLabels, figure.Band, clipped));
        plot.legend->addElement(static_cast<int>(i), 0, new QCPPlottableLegendItem(plot.legend, curve));
        means.push_back(curve);
    }
    StyleAxis(plot.xAxis, kTimeTitle);
    StyleAxis(plot.yAxis, QString::fromStdString(ValueAxisTitle(names, columns, largest)));
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

    plot.setViewport(QRect(0, 0, figure.Width, figure.Height));
    PlotLayout layout;
    layout.Title = figure.Title;
    layout.Provenance = figure.Provenance;
    AddText(plot, 0, figure.Title, kTitleFontSize, true, Qt::black);
    AddText(plot, plot.plotLayout()->rowCount(), figure.Provenance, kProvenanceFontSize, false, Qt::darkGray);
    const int axesRow = 1;

    const auto points = [&] {
        std::vector<std::vector<QPointF>> all;
        for (const QCPGraph *curve : means) {
            std::vector<QPointF> line;
            for (auto point = curve->data()->constBegin(); point != curve->data()->constEnd(); ++point)
                if (!std::isnan(point->value))
                    line.emplace_back(plot.xAxis->coordToPixel(point->key), plot.yAxis->coordToPixel(point->value));
            all.push_back(std::move(line));
        }
        return all;
    };
    const auto clear = [&](const QRectF &box) {
        const QRectF room = box.adjusted(-kLegendClearance, -kLegendClearance, kLegendClearance, kLegendClearance);
        const std::vector<std::vector<QPointF>> curves = points();
        return std::none_of(curves.begin(), curves.end(),
                            [&](const std::vector<QPointF> &curve) { return Crosses(room, curve); });
    };
    bool placed = false;
    for (const Qt::Alignment corner : {Qt::AlignTop | Qt::AlignRight, Qt::AlignTop | Qt::AlignLeft,
                                       Qt::AlignBottom | Qt::AlignRight, Qt::AlignBottom | Qt::AlignLeft}) {
        plot.axisRect()->insetLayout()->setInsetAlignment(0, corner);
        plot.LayOut(figure.Width, figure.Height);
        if (clear(plot.legend->outerRect())) {
            placed = true;
            break;
        }
    }
    if (!placed) {
        // Below the axes, as tall as its entries, in two columns from four
        // entries on where two fit the width.
        const int across =
            plot.legend->itemCount() > 3 && 2 * plot.legend->minimumOuterSizeHint().width() < figure.Width ? 2 : 1;
        std::vector<QCPLayoutElement *> entries;
        for (int i = 0; i < plot.legend->itemCount(); ++i)
            entries.push_back(plot.legend->item(i));
        for (QCPLayoutElement *entry : entries)
            plot.legend->take(entry);
        plot.legend->simplify();
        for (std::size_t i = 0; i < entries.size(); ++i)
            plot.legend->addElement(int(i) / across, int(i) % across, entries[i]);
        plot.axisRect()->insetLayout()->take(plot.legend);
        plot.plotLayout()->insertRow(axesRow + 1);
        plot.plotLayout()->addElement(axesRow + 1, 0, plot.legend);
        plot.plotLayout()->setRowStretchFactor(axesRow + 1, 0.001);
        // Only its height: a grid column is no wider than its narrowest
        // element may be.
        plot.legend->setMaximumSize(QWIDGETSIZE_MAX, plot.legend->minimumOuterSizeHint().height());
        plot.LayOut(figure.Width, figure.Height);
        layout.LegendOutside = true;
    }
    layout.Legend = plot.legend->outerRect();
    layout.Curves = points();
    for (const QCPGraph *curve : means)
        layout.Colours.push_back(curve->pen().color());
    return layout;
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
