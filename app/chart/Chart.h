#pragma once

#include "Chartaxis.h"

#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QSize>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class QCPGraph;
class QCustomPlot;
class QTimer;
class TChart;
class TChartPlot;

// One curve of a chart: a titled line of (x, y) points kept in the order they
// were added (two points may share an x). An inactive curve is hidden.
class TChartSeries {
public:
    TChartSeries(const TChartSeries &) = delete;
    TChartSeries &operator=(const TChartSeries &) = delete;

    QString Title() const;
    void SetTitle(const QString &title);
    bool Active() const;
    void SetActive(bool active);
    QColor Color() const;
    void SetColor(const QColor &color);

    void AddXY(double x, double y);
    int Count() const { return static_cast<int>(Xs.size()); }
    double XValue(int i) const { return Xs.at(i); }
    double YValue(int i) const { return Ys.at(i); }
    void SetYValue(int i, double y);
    void Clear();

private:
    friend class TChart;
    TChartSeries(TChart &chart, QCPGraph *graph);
    // Hands the drawn line the points again after they were changed in a way
    // the line could not follow point by point.
    void SyncGraph();

    TChart &Owner;
    QCPGraph *Graph;
    std::vector<double> Xs;
    std::vector<double> Ys;
    // The drawn line sorts its points by x; while the points arrive in
    // non-decreasing x the line's point i is our point i.
    bool InXOrder = true;
    bool GraphStale = false;
};

// A line chart over QCustomPlot with the properties the chart tools edit: a
// chart (margin) colour, a back wall colour, four axes, curves in order.
//
// Adding or changing points only marks the chart for drawing; the chart is
// drawn in a later turn of the event loop, at most every MinDrawInterval ms,
// with automatic axes fitted to the data of the active curves just before.
// So a run that adds points at every observation costs one drawing per
// interval, not one per point. The left mouse button drags a
// rectangle to zoom in, a double click undoes the zoom. Resting the mouse near
// a point of a curve shows that point (HoverText) as a hint.
class TChart : public QWidget {
    Q_OBJECT

public:
    explicit TChart(QWidget *parent = nullptr);
    ~TChart() override;

    // Curves. The colour defaults to the next colour of the automatic palette.
    TChartSeries *AddSeries(const QString &title, const QColor &color = QColor());
    int SeriesCount() const { return static_cast<int>(SeriesList.size()); }
    TChartSeries *Series(int i) const { return SeriesList.at(i).get(); }
    void RemoveAllSeries();

    // Axes: bottom (X), left (Y), top (X2), right (Y2). Only bottom and left
    // are drawn; the titles of the other two are kept for the text export.
    TChartAxis &BottomAxis() { return *Bottom; }
    TChartAxis &LeftAxis() { return *Left; }
    TChartAxis &TopAxis() { return *Top; }
    TChartAxis &RightAxis() { return *Right; }
    const TChartAxis &BottomAxis() const { return *Bottom; }
    const TChartAxis &LeftAxis() const { return *Left; }
    const TChartAxis &TopAxis() const { return *Top; }
    const TChartAxis &RightAxis() const { return *Right; }

    // The chart colour fills the margins around the plot area, the back
    // colour the plot area (the back wall). The chart shows no title; its
    // font colour is kept for the configuration dialog.
    QColor Color() const;
    void SetColor(const QColor &color);
    QColor BackColor() const;
    void SetBackColor(const QColor &color);
    QColor TitleFontColor() const { return TitleColor; }
    void SetTitleFontColor(const QColor &color) { TitleColor = color; }

    // The extent of the points of the active curves (0 without points).
    double MinXValue() const;
    double MaxXValue() const;
    double MinYValue() const;
    double MaxYValue() const;

    // The legend names the active curves in their colours; hidden at first.
    bool LegendVisible() const;
    void SetLegendVisible(bool shown);

    // The hint for the mouse at `at` (plot widget pixels): of the points of
    // the active curves, the one nearest to it within HoverReach, as the
    // curve's title and the point's x and y, each named and with the unit of
    // its axis title ("Time [s]" gives "Time: 4 s"); empty when no point is
    // that near.
    QString HoverText(const QPoint &at) const;
    static constexpr double HoverReach = 8; // px
    // The hint reads x on a grid of this step (a time on the observation
    // grid), without its rounding noise; 0 (the default) reads x as it is.
    void SetXResolution(double step) { XResolution = step; }
    double XStep() const { return XResolution; }

    bool Zoomed() const { return IsZoomed; }
    // Restores the axes as they were before the first zoom.
    void UndoZoom();
    // Asks for a drawing in a later turn of the event loop.
    void Repaint();
    // Whether a drawing has been asked for and not yet done.
    bool DrawingPending() const;
    static constexpr int MinDrawInterval = 40; // ms

    // The chart drawn now at its current size on a white background.
    QImage Picture();

    QCustomPlot *Plot() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    friend class TChartPlot;
    // Brings the drawn lines and the automatic axis ranges up to date.
    void PrepareDrawing();
    // Fixes the bottom and left axes to the part of the plot area inside
    // the rectangle (in pixels).
    void ZoomTo(const QRect &area);

    TChartPlot *PlotWidget;
    QTimer *DrawTimer;
    QElapsedTimer SinceDrawing;
    std::unique_ptr<TChartAxis> Bottom;
    std::unique_ptr<TChartAxis> Left;
    std::unique_ptr<TChartAxis> Top;
    std::unique_ptr<TChartAxis> Right;
    std::vector<std::unique_ptr<TChartSeries>> SeriesList;
    QColor ChartColor;
    QColor WallColor = Qt::white;
    QColor TitleColor = Qt::black;
    double XResolution = 0.0;
    // A hidden chart is drawn when it is shown again.
    bool DrawWhenShown = false;
    // The plot area the ticks of the running replot are spaced for, and
    // whether that replot corrects one drawn for another size.
    QSize TickedArea;
    bool CorrectingTicks = false;

    // Axis settings from before the zoom, restored by UndoZoom.
    struct AxisState {
        bool Automatic;
        double Minimum;
        double Maximum;
    };
    bool IsZoomed = false;
    AxisState BottomBeforeZoom{};
    AxisState LeftBeforeZoom{};
};
