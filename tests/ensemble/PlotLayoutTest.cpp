// The figure's layout as filonex-plot lays it out: the legend hides no
// curve, the colours differ, the title, provenance and units are there.

#include "Ensembleplot.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cmath>

namespace {

QApplication &Application()
{
    static int argc = 1;
    static char name[] = "plot_tests";
    static char *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication application(argc, argv);
    return application;
}

// value(k, i): series i at time k / 20 s.
template <typename Value>
std::vector<SummarySeries> Series(int count, const char *column, Value value)
{
    std::vector<SummarySeries> all;
    for (int i = 0; i < count; ++i) {
        SummarySeries one{i, column};
        for (int k = 0; k <= 20; ++k) {
            one.Time.push_back(k / 20.0);
            one.Mean.push_back(value(k, i));
            one.Sd.push_back(5.0);
            one.N.push_back(4);
            one.CiLow.push_back(value(k, i) - 8);
            one.CiHigh.push_back(value(k, i) + 8);
        }
        one.MaxN = 4;
        all.push_back(one);
    }
    return all;
}

// CIE L*a*b* of an sRGB colour (D65).
std::array<double, 3> Lab(const QColor &colour)
{
    const auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    const double r = linear(colour.redF()), g = linear(colour.greenF()), b = linear(colour.blueF());
    const double xyz[] = {(0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.9505, 0.2126 * r + 0.7152 * g + 0.0722 * b,
                          (0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.089};
    double f[3];
    for (int i = 0; i < 3; ++i)
        f[i] = xyz[i] > 216.0 / 24389 ? std::cbrt(xyz[i]) : (24389.0 / 27 * xyz[i] + 16) / 116;
    return {116 * f[1] - 16, 500 * (f[0] - f[1]), 200 * (f[1] - f[2])};
}

TEST(PlotLayout, TheLegendCoversNoPointOfAnyCurveAndTheTextsAreThere)
{
    Application();
    const struct {
        const char *Name;
        std::vector<SummarySeries> Series;
        bool Outside;
    } cases[] = {
        // Rising lines leave the top left free; the default corner, top
        // right, is where they end.
        {"rising", Series(3, "FIB", [](int k, int i) { return 10.0 * k * (i + 1); }), false},
        {"falling", Series(3, "FIB", [](int k, int i) { return 10.0 * (20 - k) * (i + 1); }), false},
        // Waves through every corner: only beside the axes is there room.
        {"waves", Series(9, "ACG", [](int k, int i) { return 100 + 100 * std::sin(k * 0.9 + i * 0.7); }), true},
    };
    for (const auto &c : cases) {
        EnsemblePlot plot;
        const PlotLayout layout = DrawEnsemblePlot(plot, c.Series, {}, {PlotBand::Sd, "A title", "settings x"});
        EXPECT_EQ(layout.LegendOutside, c.Outside) << c.Name;
        ASSERT_EQ(layout.Curves.size(), c.Series.size()) << c.Name;
        for (const auto &curve : layout.Curves) {
            EXPECT_EQ(curve.size(), 21u) << c.Name;
            for (const QPointF &point : curve)
                EXPECT_FALSE(layout.Legend.contains(point)) << c.Name << " " << point.x() << "," << point.y();
        }
        EXPECT_TRUE(QRectF(0, 0, 1200, 800).contains(layout.Legend)) << c.Name;
        EXPECT_EQ(layout.Title, "A title");
        EXPECT_EQ(layout.Provenance, "settings x");
    }
}

TEST(PlotLayout, ThePaletteColoursDifferClearlyAndTheCurvesTakeThemInTurn)
{
    Application();
    const std::vector<QColor> &palette = PlotPalette();
    ASSERT_GE(palette.size(), 6u);
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const auto a = Lab(palette[i]);
        // Not too light to see on white.
        EXPECT_LT(a[0], 80) << palette[i].name().toStdString();
        for (std::size_t j = 0; j < i; ++j) {
            const auto b = Lab(palette[j]);
            EXPECT_GT(std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]), 20)
                << palette[i].name().toStdString() << " " << palette[j].name().toStdString();
        }
    }
    EnsemblePlot plot;
    const PlotLayout layout = DrawEnsemblePlot(plot, Series(int(palette.size()), "ACG", [](int k, int i) {
                                                   return double(k + i);
                                               }),
                                               {}, {});
    EXPECT_EQ(layout.Colours, palette);
}

TEST(PlotLayout, BandsOfAmountsStopAtZeroAndUnitsSuitTheValues)
{
    Application();
    const auto nearZero = [](int, int) { return 2.0; }; // SD 5: the band would reach -3
    for (const auto &[column, clipped] : {std::pair("FIB", true), std::pair("bact_x", false)}) {
        EnsemblePlot plot;
        DrawEnsemblePlot(plot, Series(1, column, nearZero), {}, {});
        const QString name = plot.graph(2)->name();
        EXPECT_EQ(name.endsWith("(band clipped at 0)"), clipped) << name.toStdString();
        EXPECT_EQ(plot.graph(0)->data()->constBegin()->value, clipped ? 0.0 : -3.0) << column;
    }
    const struct {
        const char *Unit;
        double Largest;
        const char *Shown;
        double Factor;
    } units[] = {{"m", 3e-6, "µm", 1e6},       {"m", 2e-9, "nm", 1e9}, {"m", 0.5, "mm", 1e3},
                 {"m^2", 4e-12, "µm²", 1e12}, {"m", 0, "µm", 1e6},    {"1/s", 5, "1/s", 1}};
    for (const auto &u : units) {
        const DisplayUnit shown = UnitForValues(u.Unit, u.Largest);
        EXPECT_EQ(shown.Unit, u.Shown) << u.Unit << " " << u.Largest;
        EXPECT_DOUBLE_EQ(shown.Factor, u.Factor) << u.Unit << " " << u.Largest;
    }
    EXPECT_EQ(ValueAxisTitle({"bact_disp", "bact_disp2"}, StandardColumns(), {{"bact_disp", 2e-6}, {"bact_disp2", 5e-12}}),
              "Displacement [µm] / Squared displacement [µm²]");
}

} // namespace
