// The parts of the headless runner, linked directly.

#include "Cell.h"
#include "Charttext.h"
#include "Exitstatus.h"
#include "Observationtable.h"
#include "Observationwriter.h"
#include "Progressbar.h"
#include "Random.h"
#include "Runseed.h"
#include "TestSupport.h"

#include <cmath>
#include <filesystem>
#include <numeric>

namespace {

// Rows of propensities at times 0, 1, ... (all else 0, the bacterium of a
// world with one at (1, 2, 3) and 4 from where it was at reset) as the
// window's chart and its text export have them, with each curve's own axis
// titles: the reference for the streamed file.
std::string ExportOf(const std::vector<std::vector<double>> &rows, bool withBacterium)
{
    ChartModel chart{{"Time", "", "Number of molecules", ""}, {}};
    for (const char *name : CCell::SpeciesNames)
        chart.Curves.push_back({std::string("N: ") + name, true, {}});
    for (const char *chartName : {"Num of reactions: ", "A: ", "React prob: "})
        for (const char *name : ChannelNames())
            chart.Curves.push_back({chartName + std::string(name), true, {}});
    chart.Curves.push_back({"Filament size: MeanFilamentSize", true, {}});
    const std::pair<const char *, double> bacterium[] = {
        {"bact_x", 1}, {"bact_y", 2}, {"bact_z", 3}, {"bact_disp", 4}, {"bact_disp2", 16}};
    for (const auto &[name, value] : bacterium)
        chart.Curves.push_back({std::string("Bacterium: ") + name, true, {}});
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const double t = static_cast<double>(row);
        const double sum = std::accumulate(rows[row].begin(), rows[row].end(), 0.0);
        for (int i = 0; i < 38; ++i) {
            const double a = i >= 19 && i < 37 ? rows[row][(i - 19) % 9] : 0.0;
            const bool probability = i >= 28 && i < 37;
            if (!probability || sum != 0)
                chart.Curves[i].Points.push_back({t, probability ? a / sum : a});
        }
        for (int i = 0; withBacterium && i < 5; ++i)
            chart.Curves[38 + i].Points.push_back({t, bacterium[i].second});
    }
    // The file names each curve's own axes on its second line.
    std::string titles;
    for (const auto &[y, curves] :
         std::vector<std::pair<std::string, int>>{{"Molecules", 10},
                                                  {"Reactions", 9},
                                                  {"Propensity [1/s]", 9},
                                                  {"Probability", 9},
                                                  {"Mean size [monomers]", 1},
                                                  {"Position [m]", 3},
                                                  {"Displacement [m]", 1},
                                                  {"Squared displacement [m^2]", 1}})
        for (int i = 0; i < curves; ++i)
            titles += "Time [s]\t" + y + "\t";
    std::string text = ChartText(chart);
    const std::size_t second = text.find("\r\n") + 2;
    return text.replace(second, text.find("\r\n", second) - second, titles);
}

TEST(ObservationWriter, StreamsTheBytesOfTheChartTextExport)
{
    const std::vector<double> none(9, 0.0), some = {1, 2, 0, 0.5, 0, 0, 3, 0, 1e-40};
    // Not yet computed at the start; all 0 later: a world that cannot react.
    for (const auto &rows : std::vector<std::vector<std::vector<double>>>{
             {none, some, some, some}, {none, none, none}, {none, some, none, none}, {some}})
        for (const bool withBacterium : {false, true}) {
            ScratchDirectory dir;
            CCell cell;
            if (withBacterium) {
                cell.CreateBacterium();
                cell.Bacterium->ResetPosition = CVector(1, 2, -1);
                cell.Bacterium->Center = CVector(1, 2, 3);
            }
            ObservationWriter writer(dir.File("observe.txt"));
            for (std::size_t row = 0; row < rows.size(); ++row) {
                cell.ObsTime = cell.Time = static_cast<double>(row);
                for (int i = 0; i < 9; ++i)
                    cell.Reactions[i].Propensity = rows[row][i];
                writer.Add(RecordObservation(cell));
            }
            writer.Finish();
            EXPECT_EQ(ReadFile(dir.File("observe.txt")), ExportOf(rows, withBacterium))
                << rows.size() << " rows, bacterium " << withBacterium;
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
            writer.Add(RecordObservation(cell));
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

TEST(ObservationTable, BacteriumColumnsAreEmptyWithoutOne)
{
    CCell cell;
    const std::string without = ObservationTableRow(RecordObservation(cell));
    EXPECT_TRUE(without.ends_with("\t0\t\t\t\t\t\n")) << without; // mean size 0, then nothing
    cell.CreateBacterium();
    cell.Bacterium->ResetPosition = CVector(1, 1, 1);
    cell.Bacterium->Center = CVector(0.5, 1, 3);
    const std::string with = ObservationTableRow(RecordObservation(cell));
    // Moved by (-0.5, 0, 2): sqrt(4.25) away.
    EXPECT_TRUE(with.ends_with("\t0\t0.5\t1\t3\t2.0615528128088303\t4.25\n")) << with;
}

TEST(ProgressBar, ClockTextIsNeverNegative)
{
    const std::pair<double, const char *> cases[] = {
        {0, "0:00:00"},           {3599.6, "1:00:00"},         {-3, "0:00:00"},
        {1e300, ">876600:00:00"}, {INFINITY, ">876600:00:00"}, {NAN, "?"}};
    for (const auto &[seconds, text] : cases)
        EXPECT_EQ(ClockText(seconds), text) << seconds;
}

TEST(RunSeed, EverySeedInTheRangeGivesItsOwnRun)
{
    const auto firstDraw = [](std::uint32_t seed) {
        CRandomStream random;
        random.SeedWith(seed);
        return random.UniformReal();
    };
    EXPECT_EQ(firstDraw(kLargestSeed + 1), firstDraw(0)); // so left out of the range
    EXPECT_NE(firstDraw(kLargestSeed), firstDraw(0));
    EXPECT_EQ(SeedInRange(INT32_MAX), 0u);
}

TEST(ExitStatus, ALostResultOutranksAFailedRunWhichOutranksAStop)
{
    const struct {
        int A, B, Reported;
    } cases[] = {{3, 1, 3},   {1, 3, 3},     {1, 143, 1},   {130, 1, 1}, {3, 130, 3},
                 {143, 3, 3}, {143, 0, 143}, {0, 129, 129}, {1, 0, 1},   {0, 0, 0}};
    for (const auto &c : cases)
        EXPECT_EQ(MoreSeriousStatus(c.A, c.B), c.Reported) << c.A << " and " << c.B;
}

} // namespace
