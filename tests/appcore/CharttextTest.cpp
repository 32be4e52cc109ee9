#include "Charttext.h"
#include "TestSupport.h"

namespace {

ChartModel TimeChart(std::vector<ChartCurve> curves)
{
    ChartModel chart;
    chart.AxisTitles.Bottom = "Time";
    chart.AxisTitles.Left = "Number of molecules";
    chart.Curves = std::move(curves);
    return chart;
}

TEST(ChartText, TheTwoCurveExampleByteForByte)
{
    ScratchDirectory dir;
    const ChartModel chart =
        TimeChart({{"ACG", true, {{0, 57812}, {0.01, 57809}}}, {"ACF", true, {{0, 0}, {0.01, 3}}}});
    const std::string path = dir.File("chart.txt");
    ASSERT_EQ(WriteChartText(chart, path), ChartTextOutcome::Written);
    EXPECT_EQ(ReadFile(path), "Curve: ACG\t\tCurve: ACF\t\t\r\n"
                              "Time\tNumber of molecules\tTime\tNumber of molecules\t\r\n"
                              "0\t57812\t0\t0\t\r\n"
                              "0.01\t57809\t0.01\t3\t\r\n");
}

TEST(ChartText, NoCurvesIsNothingToExportAndCreatesNoFile)
{
    ScratchDirectory dir;
    const std::string path = dir.File("chart.txt");
    const ChartTextOutcome outcome = WriteChartText(TimeChart({}), path);
    EXPECT_EQ(outcome, ChartTextOutcome::NothingToExport);
    EXPECT_STREQ(ChartTextMessage(outcome), "Nothing to be export!");
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(ChartText, UnopenableFileCannotBeCreated)
{
    ScratchDirectory dir;
    const ChartTextOutcome outcome =
        WriteChartText(TimeChart({{"A", true, {}}}), dir.File("missing/chart.txt"));
    EXPECT_EQ(outcome, ChartTextOutcome::CannotCreateFile);
    EXPECT_STREQ(ChartTextMessage(outcome), "Cannot create file!");
}

TEST(ChartText, ReplacesAnExistingFile)
{
    ScratchDirectory dir;
    const std::string path = dir.File("chart.txt");
    WriteFile(path, std::string(1000, 'x'));
    ASSERT_EQ(WriteChartText(TimeChart({{"A", true, {}}}), path), ChartTextOutcome::Written);
    EXPECT_EQ(ReadFile(path), "Curve: A\t\t\r\nTime\tNumber of molecules\t\r\n");
}

TEST(ChartText, CurvesWithoutPointsWriteOnlyTheTwoHeaderLines)
{
    EXPECT_EQ(ChartText(TimeChart({{"A", true, {}}, {"B", true, {}}})),
              "Curve: A\t\tCurve: B\t\t\r\n"
              "Time\tNumber of molecules\tTime\tNumber of molecules\t\r\n");
}

TEST(ChartText, InactiveCurvesAreLeftOut)
{
    EXPECT_EQ(ChartText(TimeChart({{"A", false, {{1, 2}}}, {"B", false, {}}})), "\r\n\r\n");
    EXPECT_EQ(ChartText(TimeChart({{"A", false, {{1, 2}, {3, 4}}}, {"B", true, {{5, 6}}}})),
              "Curve: B\t\t\r\nTime\tNumber of molecules\t\r\n5\t6\t\r\n");
}

TEST(ChartText, UntitledCurvesAreNumberedFromOne)
{
    const std::string text =
        ChartText(TimeChart({{"ACG", true, {}}, {"ACF", true, {}}, {"", true, {}}, {"", true, {}}}));
    EXPECT_EQ(text.substr(0, text.find("\r\n")), "Curve: ACG\t\tCurve: ACF\t\tCurve: 1\t\tCurve: 2\t\t");
}

TEST(ChartText, ColumnsMoveLeftWhenACurveRunsOut)
{
    // Like the filament size chart: a long mean curve after a short histogram.
    ChartModel chart = TimeChart({{"Histogram", true, {{3, 2}, {4, 0}}},
                                  {"Mean", true, {{0, 0}, {0.01, 3}, {0.02, 3.5}}},
                                  {"Short", true, {{7, 1}}}});
    chart.AxisTitles = {"T", "", "N", ""};
    EXPECT_EQ(ChartText(chart), "Curve: Histogram\t\tCurve: Mean\t\tCurve: Short\t\t\r\n"
                                "T\tN\tT\tN\tT\tN\t\r\n"
                                "3\t2\t0\t0\t7\t1\t\r\n"
                                "4\t0\t0.01\t3\t\r\n"
                                "0.02\t3.5\t\r\n");
}

TEST(ChartText, AxisCaptionsFallBackToTheOppositeAxisThenToXAndY)
{
    ChartModel chart;
    chart.Curves = {{"A", true, {}}};
    auto captionLine = [&chart] {
        const std::string text = ChartText(chart);
        const auto first = text.find("\r\n") + 2;
        return text.substr(first, text.find("\r\n", first) - first);
    };
    EXPECT_EQ(captionLine(), "X\tY\t");
    chart.AxisTitles.Top = "top";
    chart.AxisTitles.Right = "right";
    EXPECT_EQ(captionLine(), "top\tright\t");
    chart.AxisTitles.Bottom = "bottom";
    chart.AxisTitles.Left = "left";
    EXPECT_EQ(captionLine(), "bottom\tleft\t");
}

TEST(ChartText, NumbersFollowTheGeneralFormatAndTheLocale)
{
    const ChartModel chart = TimeChart({{"A", true, {{0.01, 4.3084e-14}, {1e-6, 1.0 / 3.0}}}});
    const auto dataLines = [&chart] {
        const std::string text = ChartText(chart);
        return text.substr(text.find("\r\n", text.find("\r\n") + 2) + 2);
    };
    EXPECT_EQ(dataLines(), "0.01\t4.3084E-14\t\r\n1E-6\t0.333333333333333\t\r\n");
    USE_COMMA_LOCALE(locale);
    EXPECT_EQ(dataLines(), "0,01\t4,3084E-14\t\r\n1E-6\t0,333333333333333\t\r\n");
}

} // namespace
