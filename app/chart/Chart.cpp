#include "Chart.h"

#include "Numbertext.h"

#include <qcustomplot.h>

#include <QRegularExpression>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

// The plot widget of a chart: a rectangle dragged with the left button zooms
// in, a double click zooms out again.
class TChartPlot : public QCustomPlot {
public:
    TChartPlot(TChart &chart, QWidget *parent) : QCustomPlot(parent), Chart(chart)
    {
        setSelectionRectMode(QCP::srmZoom);
        setMouseTracking(true);
    }

protected:
    void mouseMoveEvent(QMouseEvent *event) override
    {
        QCustomPlot::mouseMoveEvent(event);
        const QPoint at = event->position().toPoint();
        const QString text = Chart.HoverText(at);
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(mapToGlobal(at), text, this);
    }
    void processRectZoom(QRect rect, QMouseEvent *) override { Chart.ZoomTo(rect); }
    void mouseDoubleClickEvent(QMouseEvent *event) override
    {
        Chart.UndoZoom();
        QCustomPlot::mouseDoubleClickEvent(event);
    }

private:
    TChart &Chart;
};

namespace {

// Colours of curves added without one, by position in the chart; all read
// well on a white back wall.
const std::array<QColor, 12> AutomaticPalette = {
    QColor(255, 0, 0),   QColor(0, 128, 0),     QColor(0, 0, 255),   QColor(255, 0, 255),
    QColor(0, 128, 128), QColor(0, 0, 128),     QColor(128, 0, 0),   QColor(128, 128, 0),
    QColor(128, 0, 128), QColor(128, 128, 128), QColor(255, 128, 0), QColor(0, 160, 192),
};

} // namespace

TChartSeries::TChartSeries(TChart &chart, QCPGraph *graph) : Owner(chart), Graph(graph)
{
}

QString TChartSeries::Title() const
{
    return Graph->name();
}

void TChartSeries::SetTitle(const QString &title)
{
    Graph->setName(title);
}

bool TChartSeries::Active() const
{
    return Graph->visible();
}

void TChartSeries::SetActive(bool active)
{
    Graph->setVisible(active);
    Owner.Repaint();
}

QColor TChartSeries::Color() const
{
    return Graph->pen().color();
}

void TChartSeries::SetColor(const QColor &color)
{
    Graph->setPen(QPen(color));
    Owner.Repaint();
}

void TChartSeries::AddXY(double x, double y)
{
    InXOrder = InXOrder && (Xs.empty() || x >= Xs.back());
    Xs.push_back(x);
    Ys.push_back(y);
    if (InXOrder && !GraphStale)
        Graph->addData(x, y);
    else
        GraphStale = true;
    Owner.Repaint();
}

void TChartSeries::SetYValue(int i, double y)
{
    Ys.at(i) = y;
    if (InXOrder && !GraphStale)
        (Graph->data()->begin() + i)->value = y;
    else
        GraphStale = true;
    Owner.Repaint();
}

void TChartSeries::Clear()
{
    Xs.clear();
    Ys.clear();
    Graph->data()->clear();
    InXOrder = true;
    GraphStale = false;
    Owner.Repaint();
}

void TChartSeries::SyncGraph()
{
    Graph->setData(QVector<double>(Xs.begin(), Xs.end()), QVector<double>(Ys.begin(), Ys.end()), InXOrder);
    GraphStale = false;
}

TChart::TChart(QWidget *parent)
    : QWidget(parent), PlotWidget(new TChartPlot(*this, this)), DrawTimer(new QTimer(this)),
      Bottom(std::make_unique<TChartAxis>(PlotWidget->xAxis)),
      Left(std::make_unique<TChartAxis>(PlotWidget->yAxis)),
      Top(std::make_unique<TChartAxis>(PlotWidget->xAxis2)),
      Right(std::make_unique<TChartAxis>(PlotWidget->yAxis2))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(PlotWidget);
    // Curves in one column beside the plot area when shown (see
    // SetLegendVisible), so that it never covers a curve and leaves the plot
    // area most of a narrow chart's width.
    QCPLegend *legend = PlotWidget->legend;
    legend->setVisible(false);
    legend->setWrap(0);
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    legend->setFont(small);
    legend->setBrush(QColor(255, 255, 255, 200));
    legend->setRowSpacing(0);
    legend->setColumnSpacing(6);
    SetColor(palette().color(QPalette::Button));
    SetBackColor(Qt::white);
    DrawTimer->setSingleShot(true);
    connect(DrawTimer, &QTimer::timeout, PlotWidget, [this] { PlotWidget->replot(); });
    connect(PlotWidget, &QCustomPlot::beforeReplot, this, [this] {
        DrawTimer->stop();
        SinceDrawing.start();
        PrepareDrawing();
        TickedArea = PlotWidget->axisRect()->rect().size();
    });
    // Tick steps follow the axis length in pixels, but a replot spaces the
    // ticks before it lays the plot area out: a chart drawn first at another
    // size (hidden during a run, then shown) would keep ticks spaced for that
    // size, too far apart for their numbers. One more replot at the new size
    // corrects it; the correction itself is not corrected again, so labels
    // that change the margins cannot keep it replotting.
    connect(PlotWidget, &QCustomPlot::afterReplot, this, [this] {
        const bool resized = PlotWidget->axisRect()->rect().size() != TickedArea;
        if (resized && !CorrectingTicks) {
            CorrectingTicks = true;
            PlotWidget->replot(QCustomPlot::rpQueuedReplot);
        } else {
            CorrectingTicks = false;
        }
    });
}

TChart::~TChart() = default;

TChartSeries *TChart::AddSeries(const QString &title, const QColor &color)
{
    QCPGraph *graph = PlotWidget->addGraph(PlotWidget->xAxis, PlotWidget->yAxis);
    graph->setLineStyle(QCPGraph::lsLine);
    graph->setScatterStyle(QCPScatterStyle::ssNone);
    SeriesList.push_back(std::unique_ptr<TChartSeries>(new TChartSeries(*this, graph)));
    TChartSeries *series = SeriesList.back().get();
    series->SetTitle(title);
    series->SetColor(color.isValid() ? color
                                     : AutomaticPalette[(SeriesList.size() - 1) % AutomaticPalette.size()]);
    return series;
}

void TChart::RemoveAllSeries()
{
    SeriesList.clear();
    PlotWidget->clearGraphs();
    Repaint();
}

QColor TChart::Color() const
{
    return ChartColor;
}

void TChart::SetColor(const QColor &color)
{
    ChartColor = color;
    PlotWidget->setBackground(QBrush(color));
    Repaint();
}

QColor TChart::BackColor() const
{
    return WallColor;
}

void TChart::SetBackColor(const QColor &color)
{
    WallColor = color;
    PlotWidget->axisRect()->setBackground(QBrush(color));
    Repaint();
}

namespace {

// The smallest and largest of one coordinate over the active curves; 0 and 0
// without points.
template <typename Coordinate>
std::pair<double, double> Extent(const std::vector<std::unique_ptr<TChartSeries>> &curves,
                                 Coordinate coordinate)
{
    double lowest = std::numeric_limits<double>::infinity();
    double highest = -lowest;
    for (const auto &curve : curves) {
        if (!curve->Active())
            continue;
        for (int i = 0; i < curve->Count(); ++i) {
            lowest = std::min(lowest, coordinate(*curve, i));
            highest = std::max(highest, coordinate(*curve, i));
        }
    }
    if (lowest > highest)
        return {0.0, 0.0};
    return {lowest, highest};
}

double X(const TChartSeries &curve, int i)
{
    return curve.XValue(i);
}
double Y(const TChartSeries &curve, int i)
{
    return curve.YValue(i);
}

} // namespace

double TChart::MinXValue() const
{
    return Extent(SeriesList, X).first;
}
double TChart::MaxXValue() const
{
    return Extent(SeriesList, X).second;
}
double TChart::MinYValue() const
{
    return Extent(SeriesList, Y).first;
}
double TChart::MaxYValue() const
{
    return Extent(SeriesList, Y).second;
}

bool TChart::LegendVisible() const
{
    return PlotWidget->legend->visible();
}

void TChart::SetLegendVisible(bool shown)
{
    // Shown, the legend has a column of its own right of the plot area, at
    // its top; hidden, it waits inside the plot area (which keeps it), and
    // the plot area takes the whole width again.
    QCPLegend *legend = PlotWidget->legend;
    QCPLayoutGrid *plotLayout = PlotWidget->plotLayout();
    QCPLayoutInset *inside = PlotWidget->axisRect()->insetLayout();
    if (shown && !plotLayout->hasElement(0, 1)) {
        inside->take(legend);
        auto *side = new QCPLayoutGrid;
        plotLayout->addElement(0, 1, side);
        plotLayout->setColumnStretchFactor(1, 0.001);
        side->addElement(0, 0, legend);
        side->addElement(1, 0, new QCPLayoutElement(PlotWidget));
        side->setRowStretchFactor(0, 0.001);
        side->setMargins(QMargins(0, 6, 6, 0));
    } else if (!shown && plotLayout->hasElement(0, 1)) {
        auto *side = static_cast<QCPLayoutGrid *>(plotLayout->element(0, 1));
        side->take(legend);
        plotLayout->remove(side);
        plotLayout->simplify();
        inside->addElement(legend, Qt::AlignRight | Qt::AlignTop);
    }
    legend->setVisible(shown);
    Repaint();
}

namespace {

QString Number(double value)
{
    return QString::fromStdString(FormatNumber(value));
}

// "Name: value unit" from an axis title "Name [unit]" (or a bare "Name").
QString Reading(const TChartAxis &axis, const char *otherwise, const QString &value)
{
    static const QRegularExpression withUnit(R"(^(.*\S)\s*\[(.+)\]$)");
    const QString title = axis.Title().isEmpty() ? QString(otherwise) : axis.Title();
    const QRegularExpressionMatch match = withUnit.match(title);
    if (!match.hasMatch())
        return QString("%1: %2").arg(title, value);
    return QString("%1: %2 %3").arg(match.captured(1), value, match.captured(2));
}

} // namespace

QString TChart::HoverText(const QPoint &at) const
{
    if (!PlotWidget->axisRect()->rect().contains(at))
        return {};
    const QCPAxis *x = PlotWidget->xAxis;
    const QCPAxis *y = PlotWidget->yAxis;
    const TChartSeries *nearest = nullptr;
    QCPGraphData point;
    double reach = HoverReach;
    // Only points within reach in x can be within reach at all.
    const double keyFrom = x->pixelToCoord(at.x() - HoverReach);
    const double keyTo = x->pixelToCoord(at.x() + HoverReach);
    for (const auto &series : SeriesList) {
        if (!series->Active())
            continue;
        const QCPGraphDataContainer &data = *series->Graph->data();
        const auto end = data.findEnd(std::max(keyFrom, keyTo));
        for (auto it = data.findBegin(std::min(keyFrom, keyTo)); it != end; ++it) {
            const double distance =
                std::hypot(x->coordToPixel(it->key) - at.x(), y->coordToPixel(it->value) - at.y());
            if (distance <= reach) {
                reach = distance;
                nearest = series.get();
                point = *it;
            }
        }
    }
    if (!nearest)
        return {};
    return QString("%1\n%2\n%3")
        .arg(nearest->Title(),
             Reading(*Bottom, "x", QString::fromStdString(FormatOnGrid(point.key, XResolution))),
             Reading(*Left, "y", Number(point.value)));
}

void TChart::ZoomTo(const QRect &area)
{
    // A click or a sliver is no zoom.
    if (area.width() < 3 || area.height() < 3)
        return;
    if (!IsZoomed) {
        BottomBeforeZoom = {Bottom->Automatic(), Bottom->Minimum(), Bottom->Maximum()};
        LeftBeforeZoom = {Left->Automatic(), Left->Minimum(), Left->Maximum()};
        IsZoomed = true;
    }
    QCPAxis *x = PlotWidget->xAxis;
    QCPAxis *y = PlotWidget->yAxis;
    Bottom->SetMinMax(x->pixelToCoord(area.left()), x->pixelToCoord(area.right()));
    Left->SetMinMax(y->pixelToCoord(area.bottom()), y->pixelToCoord(area.top()));
    Repaint();
}

void TChart::UndoZoom()
{
    if (!IsZoomed)
        return;
    IsZoomed = false;
    const auto restore = [](TChartAxis &axis, const AxisState &state) {
        if (state.Automatic)
            axis.SetAutomatic(true);
        else
            axis.SetMinMax(state.Minimum, state.Maximum);
    };
    restore(*Bottom, BottomBeforeZoom);
    restore(*Left, LeftBeforeZoom);
    Repaint();
}

void TChart::Repaint()
{
    // Hidden charts (on other tabs) are drawn when they are shown.
    if (!isVisible()) {
        DrawWhenShown = true;
        return;
    }
    if (DrawTimer->isActive())
        return;
    const qint64 since = SinceDrawing.isValid() ? SinceDrawing.elapsed() : MinDrawInterval;
    DrawTimer->start(static_cast<int>(std::max<qint64>(0, MinDrawInterval - since)));
}

bool TChart::DrawingPending() const
{
    return DrawTimer->isActive() || DrawWhenShown;
}

void TChart::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (DrawWhenShown) {
        DrawWhenShown = false;
        Repaint();
    }
}

void TChart::PrepareDrawing()
{
    for (const auto &series : SeriesList)
        if (series->GraphStale)
            series->SyncGraph();
    if (Bottom->Automatic())
        PlotWidget->xAxis->rescale(true);
    if (Left->Automatic())
        PlotWidget->yAxis->rescale(true);
}

QImage TChart::Picture()
{
    PrepareDrawing();
    QImage picture(PlotWidget->size(), QImage::Format_RGB32);
    if (picture.isNull())
        return picture;
    picture.fill(Qt::white);
    QCPPainter painter(&picture);
    PlotWidget->toPainter(&painter, picture.width(), picture.height());
    painter.end();
    return picture;
}

QCustomPlot *TChart::Plot() const
{
    return PlotWidget;
}
