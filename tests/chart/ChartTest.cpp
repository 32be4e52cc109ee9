#include "Chart.h"
#include "WaitForDrawing.h"

#include <qcustomplot.h>

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A chart shown on screen at a fixed size, drawn at least once.
struct ShownChart {
    TChart Chart;
    ShownChart()
    {
        Chart.resize(500, 300);
        Chart.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&Chart));
        Draw();
    }
    void Draw() { WaitForDrawing(Chart); }
};

} // namespace

TEST(ChartSeries, KeepsPointsInTheOrderTheyWereAdded)
{
    TChart chart;
    TChartSeries *series = chart.AddSeries("ACG");
    series->AddXY(1.0, 10.0);
    series->AddXY(0.0, 20.0);
    series->AddXY(1.0, 30.0);
    ASSERT_EQ(series->Count(), 3);
    EXPECT_EQ(series->XValue(0), 1.0);
    EXPECT_EQ(series->XValue(1), 0.0);
    EXPECT_EQ(series->XValue(2), 1.0);
    EXPECT_EQ(series->YValue(2), 30.0);
    series->SetYValue(1, 25.0);
    EXPECT_EQ(series->YValue(1), 25.0);
    EXPECT_EQ(series->YValue(0), 10.0);
}

TEST(ChartSeries, ChangingAPointByIndexReachesTheDrawnLine)
{
    ShownChart shown;
    TChartSeries *histogram = shown.Chart.AddSeries("FilamentSizeDistrib", Qt::red);
    for (int size = 3; size <= 7; ++size)
        histogram->AddXY(size, 0.0);
    histogram->SetYValue(0, 2.0);
    histogram->SetYValue(4, 1.0);
    shown.Draw();
    const auto data = shown.Chart.Plot()->graph(0)->data();
    ASSERT_EQ(data->size(), 5);
    EXPECT_EQ(data->at(0)->value, 2.0);
    EXPECT_EQ(data->at(4)->value, 1.0);
    EXPECT_EQ(shown.Chart.LeftAxis().Maximum(), 2.0);
}

TEST(ChartSeries, PointsOutOfXOrderAreStillAllDrawn)
{
    ShownChart shown;
    TChartSeries *series = shown.Chart.AddSeries("A");
    series->AddXY(2.0, 1.0);
    series->AddXY(1.0, 5.0);
    series->AddXY(3.0, 2.0);
    series->SetYValue(0, 4.0);
    shown.Draw();
    const auto data = shown.Chart.Plot()->graph(0)->data();
    ASSERT_EQ(data->size(), 3);
    EXPECT_EQ(data->at(0)->key, 1.0);
    EXPECT_EQ(data->at(1)->value, 4.0);
    EXPECT_EQ(shown.Chart.BottomAxis().Minimum(), 1.0);
    EXPECT_EQ(shown.Chart.BottomAxis().Maximum(), 3.0);
}

TEST(ChartSeries, ClearEmptiesOnlyThePoints)
{
    TChart chart;
    TChartSeries *series = chart.AddSeries("ACF");
    series->AddXY(0.0, 1.0);
    series->SetActive(false);
    series->Clear();
    EXPECT_EQ(series->Count(), 0);
    EXPECT_EQ(series->Title(), "ACF");
    EXPECT_FALSE(series->Active());
    EXPECT_EQ(chart.SeriesCount(), 1);
    EXPECT_EQ(chart.Plot()->graph(0)->data()->size(), 0);
}

TEST(Chart, CurvesWithoutAColourGetDistinctPaletteColours)
{
    TChart chart;
    for (int i = 0; i < 10; ++i)
        chart.AddSeries(QString::number(i));
    for (int i = 0; i < 10; ++i)
        for (int j = i + 1; j < 10; ++j)
            EXPECT_NE(chart.Series(i)->Color(), chart.Series(j)->Color()) << i << " " << j;
    EXPECT_EQ(chart.AddSeries("mean", Qt::blue)->Color(), QColor(Qt::blue));
}

TEST(Chart, RemoveAllSeriesLeavesAnEmptyChart)
{
    TChart chart;
    chart.AddSeries("a")->AddXY(1, 1);
    chart.AddSeries("b");
    chart.RemoveAllSeries();
    EXPECT_EQ(chart.SeriesCount(), 0);
    EXPECT_EQ(chart.Plot()->graphCount(), 0);
    chart.AddSeries("c");
    EXPECT_EQ(chart.Series(0)->Title(), "c");
}

TEST(Chart, DataExtentCoversTheActiveCurvesOnly)
{
    TChart chart;
    EXPECT_EQ(chart.MinXValue(), 0.0);
    EXPECT_EQ(chart.MaxYValue(), 0.0);
    TChartSeries *a = chart.AddSeries("a");
    a->AddXY(0.5, -2.0);
    a->AddXY(4.0, 7.0);
    TChartSeries *b = chart.AddSeries("b");
    b->AddXY(-3.0, 100.0);
    b->SetActive(false);
    EXPECT_EQ(chart.MinXValue(), 0.5);
    EXPECT_EQ(chart.MaxXValue(), 4.0);
    EXPECT_EQ(chart.MinYValue(), -2.0);
    EXPECT_EQ(chart.MaxYValue(), 7.0);
}

TEST(Chart, AutomaticAxesFollowTheDataFixedAxesDoNot)
{
    ShownChart shown;
    TChartSeries *series = shown.Chart.AddSeries("a");
    series->AddXY(0.0, 10.0);
    series->AddXY(2.0, 30.0);
    shown.Draw();
    EXPECT_EQ(shown.Chart.BottomAxis().Minimum(), 0.0);
    EXPECT_EQ(shown.Chart.BottomAxis().Maximum(), 2.0);
    EXPECT_EQ(shown.Chart.LeftAxis().Minimum(), 10.0);
    EXPECT_EQ(shown.Chart.LeftAxis().Maximum(), 30.0);

    shown.Chart.LeftAxis().SetMinMax(0.0, 100.0);
    EXPECT_FALSE(shown.Chart.LeftAxis().Automatic());
    series->AddXY(4.0, 500.0);
    shown.Draw();
    EXPECT_EQ(shown.Chart.BottomAxis().Maximum(), 4.0);
    EXPECT_EQ(shown.Chart.LeftAxis().Maximum(), 100.0);

    shown.Chart.LeftAxis().SetAutomatic(true);
    shown.Chart.Repaint();
    shown.Draw();
    EXPECT_EQ(shown.Chart.LeftAxis().Maximum(), 500.0);
}

TEST(Chart, DraggingARectangleZoomsAndUndoZoomRestores)
{
    ShownChart shown;
    TChartSeries *series = shown.Chart.AddSeries("a");
    for (int i = 0; i <= 100; ++i)
        series->AddXY(i, i * i);
    shown.Chart.BottomAxis().SetMinMax(0.0, 100.0);
    shown.Draw();

    const QRect area = shown.Chart.Plot()->axisRect()->rect();
    QWidget *plot = shown.Chart.Plot();
    const QPoint from = area.topLeft() + QPoint(area.width() / 4, area.height() / 4);
    const QPoint to = area.topLeft() + QPoint(area.width() / 2, area.height() / 2);
    QTest::mousePress(plot, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(plot, to);
    QTest::mouseRelease(plot, Qt::LeftButton, Qt::NoModifier, to);
    shown.Draw();
    EXPECT_TRUE(shown.Chart.Zoomed());
    // A quarter to a half of the width of the 0..100 range.
    EXPECT_NEAR(shown.Chart.BottomAxis().Minimum(), 25.0, 1.0);
    EXPECT_NEAR(shown.Chart.BottomAxis().Maximum(), 50.0, 1.0);
    EXPECT_FALSE(shown.Chart.LeftAxis().Automatic());

    shown.Chart.UndoZoom();
    shown.Draw();
    EXPECT_FALSE(shown.Chart.Zoomed());
    EXPECT_EQ(shown.Chart.BottomAxis().Minimum(), 0.0);
    EXPECT_EQ(shown.Chart.BottomAxis().Maximum(), 100.0);
    EXPECT_FALSE(shown.Chart.BottomAxis().Automatic());
    EXPECT_TRUE(shown.Chart.LeftAxis().Automatic());
    EXPECT_EQ(shown.Chart.LeftAxis().Maximum(), 10000.0);
}

TEST(ChartAxis, LabelsAreWrittenWithTheValueFormat)
{
    TChart chart;
    EXPECT_EQ(chart.LeftAxis().ValueFormat(), "#,##0.###");
    EXPECT_EQ(chart.LeftAxis().LabelText(57812), "57,812");
    chart.LeftAxis().SetValueFormat("0.0E+00");
    EXPECT_EQ(chart.LeftAxis().LabelText(57812), "5.8E+04");
}

TEST(ChartAxis, TheComputedIncrementIsARoundNumberThatKeepsLabelsApart)
{
    ShownChart shown;
    TChartAxis &bottom = shown.Chart.BottomAxis();
    bottom.SetMinMax(0.0, 1000.0);
    shown.Draw();
    const double automatic = bottom.CalcIncrement();
    const double mantissa = automatic / std::pow(10.0, std::floor(std::log10(automatic)));
    EXPECT_TRUE(std::abs(mantissa - 1) < 1e-9 || std::abs(mantissa - 2) < 1e-9 ||
                std::abs(mantissa - 5) < 1e-9)
        << automatic;
    // Labels of at least the width of "1,000" must fit between two ticks.
    const double pixelsPerStep = shown.Chart.Plot()->axisRect()->width() * automatic / 1000.0;
    EXPECT_GE(pixelsPerStep, QFontMetrics(bottom.Axis()->tickLabelFont()).horizontalAdvance("1,000"));

    bottom.SetLabelsSeparation(300);
    EXPECT_GT(bottom.CalcIncrement(), automatic);

    // A given increment is kept where labels have room, and widened to a
    // multiple of it where they would overlap; without separation it stays.
    bottom.SetLabelsSeparation(5);
    bottom.SetIncrement(250.0);
    EXPECT_EQ(bottom.CalcIncrement(), 250.0);
    bottom.SetIncrement(1.0);
    const double widened = bottom.CalcIncrement();
    EXPECT_GT(widened, 1.0);
    EXPECT_EQ(widened, std::round(widened));
    bottom.SetMinMax(0.0, 20.0);
    bottom.SetLabelsSeparation(0);
    EXPECT_EQ(bottom.CalcIncrement(), 1.0);
}

TEST(Chart, PictureIsTheChartSizeOnWhite)
{
    ShownChart shown;
    shown.Chart.SetColor(Qt::white);
    shown.Chart.SetBackColor(Qt::white);
    TChartSeries *series = shown.Chart.AddSeries("a", Qt::red);
    series->AddXY(0.0, 0.0);
    series->AddXY(1.0, 1.0);
    const QImage picture = shown.Chart.Picture();
    EXPECT_EQ(picture.size(), shown.Chart.size());
    EXPECT_EQ(picture.pixelColor(0, 0), QColor(Qt::white));
    // The curve crosses the plot area: a few hundred mostly red pixels.
    int red = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QColor pixel = picture.pixelColor(x, y);
            red += pixel.red() > 200 && pixel.green() < 160 && pixel.blue() < 160;
        }
    EXPECT_GT(red, 200);
}

TEST(Chart, ManyPointsCostOneDrawingPerInterval)
{
    ShownChart shown;
    TChartSeries *series = shown.Chart.AddSeries("a");
    int drawings = 0;
    QObject::connect(shown.Chart.Plot(), &QCustomPlot::beforeReplot, [&drawings] { ++drawings; });
    for (int i = 0; i < 1000; ++i) {
        series->AddXY(i, i);
        QCoreApplication::processEvents();
    }
    shown.Draw();
    EXPECT_GE(drawings, 1);
    EXPECT_LT(drawings, 1000);
    EXPECT_EQ(shown.Chart.BottomAxis().Maximum(), 999.0);
}

TEST(Chart, AHiddenChartIsDrawnWhenShown)
{
    TChart chart;
    chart.resize(300, 200);
    TChartSeries *series = chart.AddSeries("a");
    series->AddXY(0, 0);
    series->AddXY(5, 8);
    EXPECT_TRUE(chart.DrawingPending());
    chart.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    WaitForDrawing(chart);
    EXPECT_FALSE(chart.DrawingPending());
    EXPECT_EQ(chart.LeftAxis().Maximum(), 8.0);
}

TEST(ChartHover, NamesTheNearestPointOfTheNearestActiveCurveWithUnits)
{
    ShownChart shown;
    shown.Chart.BottomAxis().SetTitle("Time [s]");
    shown.Chart.LeftAxis().SetTitle("Molecules");
    TChartSeries *acg = shown.Chart.AddSeries("ACG");
    TChartSeries *cap = shown.Chart.AddSeries("CAP");
    for (int t = 0; t <= 10; ++t) {
        acg->AddXY(t, 100.0 * t);
        cap->AddXY(t, 500);
    }
    shown.Draw();
    QCustomPlot *plot = shown.Chart.Plot();
    const auto pixel = [plot](double x, double y) {
        return QPointF(plot->xAxis->coordToPixel(x), plot->yAxis->coordToPixel(y));
    };
    // Beside ACG's point (4, 400), nearer to it than to CAP's (4, 500).
    const QPoint nearAcg = (pixel(4, 400) + QPointF(3, -2)).toPoint();
    EXPECT_EQ(shown.Chart.HoverText(nearAcg), "ACG\nTime: 4 s\nMolecules: 400");
    EXPECT_EQ(shown.Chart.HoverText(pixel(6, 500).toPoint()), "CAP\nTime: 6 s\nMolecules: 500");
    // Empty space, and the line between two points of a curve (0.5 s apart
    // is far more than the reach in pixels), show nothing.
    EXPECT_EQ(shown.Chart.HoverText(pixel(1, 900).toPoint()), "");
    EXPECT_EQ(shown.Chart.HoverText(pixel(4.5, 450).toPoint()), "");
    EXPECT_EQ(shown.Chart.HoverText({0, 0}), "");
    acg->SetActive(false);
    shown.Draw();
    EXPECT_EQ(shown.Chart.HoverText(nearAcg), "");
}

TEST(ChartLegend, HiddenAtFirstAndSwitchable)
{
    TChart chart;
    EXPECT_FALSE(chart.LegendVisible());
    chart.SetLegendVisible(true);
    EXPECT_TRUE(chart.LegendVisible());
    EXPECT_TRUE(chart.Plot()->legend->visible());
}

TEST(ChartLegend, ShownBesideThePlotAreaNeverOverIt)
{
    ShownChart shown;
    TChart &chart = shown.Chart;
    for (int i = 0; i < 10; ++i)
        chart.AddSeries(QString("Curve %1").arg(i))->AddXY(1.0, double(i));
    chart.SetLegendVisible(true);
    shown.Draw();
    const QRect area = chart.Plot()->axisRect()->rect();
    EXPECT_FALSE(chart.Plot()->legend->outerRect().intersects(area));
    EXPECT_GT(chart.Plot()->legend->outerRect().width(), 0);
    chart.SetLegendVisible(false);
    shown.Draw();
    EXPECT_GT(chart.Plot()->axisRect()->rect().width(), area.width());
}
