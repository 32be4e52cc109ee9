// The parts of the headless runner, linked directly.

#include "Cell.h"
#include "Charttext.h"
#include "Observationwriter.h"
#include "Progressbar.h"
#include "Random.h"
#include "Runseed.h"
#include "Statereport.h"
#include "TestSupport.h"

#include <cmath>
#include <filesystem>

namespace {

// The text export of the chart that the window builds from the same
// observations, as the reference for the streamed file.
std::string ExportOf(const std::vector<std::vector<double>> &propensities)
{
    ChartModel chart;
    chart.AxisTitles = {"Time", "", "Number of molecules", ""};
    const auto curve = [&](const std::string &title) -> auto & {
        return chart.Curves.emplace_back(ChartCurve{title, true, {}}).Points;
    };
    for (int i = 0; i < CCell::SPECIES_COUNT; ++i)
        curve(std::string("N: ") + CCell::SpeciesNames[i]);
    for (const char *chartName : {"Num of reactions: ", "A: ", "React prob: "})
        for (const char *name : CCell::ReactionNames)
            curve(chartName + std::string(name));
    curve("Filament size: MeanFilamentSize");
    for (std::size_t row = 0; row < propensities.size(); ++row) {
        const double t = static_cast<double>(row), count = static_cast<double>(row % 3);
        for (int i = 0; i < 19; ++i)
            chart.Curves[i].Points.push_back({t, i == 11 ? count : 0.0});
        double sum = 0;
        for (int i = 0; i < 9; ++i)
            sum += propensities[row][i];
        for (int i = 0; i < 9; ++i) {
            chart.Curves[19 + i].Points.push_back({t, propensities[row][i]});
            if (sum != 0)
                chart.Curves[28 + i].Points.push_back({t, propensities[row][i] / sum});
        }
        chart.Curves[37].Points.push_back({t, 0.0});
    }
    return ChartText(chart);
}

TEST(ObservationWriter, StreamsTheBytesOfTheChartTextExport)
{
    const std::vector<double> none(9, 0.0), some = {1, 2, 0, 0.5, 0, 0, 3, 0, 1e-40};
    // Not yet computed at the start; all 0 later: a world that cannot react.
    const std::vector<std::vector<std::vector<double>>> runs = {
        {none, some, some, some}, {none, none, none}, {none, some, none, none}, {some}};
    ScratchDirectory dir;
    const std::string path = dir.File("observe.txt");
    for (const auto &run : runs) {
        CCell cell;
        ObservationWriter writer(path);
        for (std::size_t row = 0; row < run.size(); ++row) {
            cell.ObsTime = static_cast<double>(row);
            cell.Reactions[CCell::ASSB].Count = static_cast<std::int64_t>(row % 3);
            for (int i = 0; i < 9; ++i)
                cell.Reactions[i].Propensity = run[row][i];
            writer.Add(cell);
        }
        writer.Finish();
        EXPECT_EQ(ReadFile(path), ExportOf(run)) << run.size() << " rows";
    }
}

TEST(ObservationWriter, WritesAsItGoesAndLeavesNoFileWithoutFinish)
{
    ScratchDirectory dir;
    const std::string path = dir.File("observe.txt");
    WriteFile(path, "previous");
    {
        CCell cell;
        ObservationWriter writer(path);
        for (int i = 0; i < 3000; ++i) // rows of 118 bytes
            writer.Add(cell);
        std::uintmax_t written = 0;
        for (const auto &entry : std::filesystem::directory_iterator(dir.Path()))
            if (entry.path() != path)
                written += entry.file_size();
        EXPECT_GT(written, 3000u * 118u - 65536u); // all but one block is on the disk
        EXPECT_EQ(ReadFile(path), "previous");
    }
    EXPECT_EQ(ReadFile(path), "previous");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(ProgressBar, ClockTextIsNeverNegative)
{
    const std::pair<double, const char *> cases[] = {
        {0, "0:00:00"},          {3599.6, "1:00:00"},          {-3, "0:00:00"},
        {1e300, ">876600:00:00"}, {INFINITY, ">876600:00:00"}, {NAN, "?"},
    };
    for (const auto &[seconds, text] : cases)
        EXPECT_EQ(ClockText(seconds), text) << seconds;
}

TEST(RunSeed, EverySeedInTheRangeGivesItsOwnRun)
{
    const auto firstDraw = [](std::uint32_t seed) {
        SeedRandomWith(seed);
        return UniformReal();
    };
    // Seeds that the range leaves out repeat one inside it.
    EXPECT_EQ(firstDraw(kLargestSeed + 1), firstDraw(0));
    EXPECT_EQ(firstDraw(5 + (1u << 31)), firstDraw(5));
    EXPECT_NE(firstDraw(kLargestSeed), firstDraw(0));
    EXPECT_EQ(SeedInRange(INT32_MAX), 0u);
    EXPECT_EQ(SeedInRange(static_cast<std::int32_t>(kLargestSeed)), kLargestSeed);
}

TEST(StateReport, CountsBeyondThe32BitRange)
{
    CCell cell;
    cell.ReactionCount = 3'000'000'000;
    cell.Reactions[CCell::SEVR].Count = 5'000'000'000;
    ScratchDirectory dir;
    std::FILE *out = std::fopen(dir.File("state").c_str(), "w");
    PrintState(out, cell);
    std::fclose(out);
    const std::string text = ReadFile(dir.File("state"));
    EXPECT_NE(text.find("reactions 3000000000\n"), std::string::npos);
    EXPECT_NE(text.find(" 5000000000 0\n"), std::string::npos);
}

} // namespace
