// Runs the built filonex-plot on a small summary and looks at its figures.

#include "Programrun.h"

#include <QColor>
#include <QImage>

#include <sys/stat.h>

namespace {

const char *const kColumns[] = {"ACG", "ACF", "p_FORM"};

class Plot : public ::testing::Test {
protected:
    Plot()
    {
        std::string summary = "point\ttime\tcolumn\tn\tmean\tsd\tci_low\tci_high\n";
        for (int point = 0; point < 2; ++point)
            for (int t = 0; t <= 10; ++t)
                for (const int column : {0, 1, 2})
                    summary += std::to_string(point) + "\t" + std::to_string(t * 0.1) + "\t" +
                               kColumns[column] + "\t4\t" +
                               std::to_string(2000 * point + 500 * column + 50 * t) + "\t30\t\t\n";
        WriteFile(dir.File("summary.tsv"), summary);
        WriteFile(dir.File("runs.tsv"), "run\tpoint\treplica\tseed\tC_ACG\tstatus\twall_time\n"
                                        "0\t0\t0\t1\t6\tdone\t1\n1\t1\t0\t1\t12\tdone\t1\n");
    }

    ProgramResult PlotWith(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), {FILONEX_PLOT, dir.File("summary.tsv")});
        return RunProgram(dir, arguments);
    }

    ScratchDirectory dir;
};

TEST_F(Plot, WritesAPngAndAnSvgWithCurvesBandsAndTitles)
{
    const std::string png = dir.File("figure.png"), svg = dir.File("figure.svg");
    // Without a runtime folder Qt would warn about it; nothing else to say.
    const std::string runtime = std::getenv("XDG_RUNTIME_DIR") ? std::getenv("XDG_RUNTIME_DIR") : "";
    ::unsetenv("XDG_RUNTIME_DIR");
    const ProgramResult first = PlotWith({"--columns", "ACG,ACF", "-o", png});
    if (!runtime.empty())
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    ASSERT_EQ(first.Status, 0);
    EXPECT_EQ(first.Err, "");
    ASSERT_EQ(PlotWith({"--columns", "ACG,ACF", "-o", svg}).Status, 0);
    const QImage image(QString::fromStdString(png));
    EXPECT_EQ(image.size(), QSize(1200, 800));
    // The first curve's blue, and its band: that blue faded on white.
    const auto near = [](const QColor &c, int r, int g, int b) {
        return std::abs(c.red() - r) + std::abs(c.green() - g) + std::abs(c.blue() - b) < 40;
    };
    int curve = 0, band = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            curve += near(image.pixelColor(x, y), 0, 114, 178);
            band += near(image.pixelColor(x, y), 191, 219, 236);
        }
    EXPECT_GT(curve, 1000);
    EXPECT_GT(band, 1000);
    const std::string text = ReadFile(svg);
    EXPECT_NE(text.find("<svg"), std::string::npos);
    EXPECT_NE(text.find("Time [s]"), std::string::npos);
    EXPECT_NE(text.find("Molecules"), std::string::npos);
    EXPECT_NE(text.find("ACF, Concentration of G-actin 12 µM: mean ± SD of 4 runs"), std::string::npos);
    ASSERT_EQ(PlotWith({"--columns", "ACG", "--sweep-point", "1", "--band", "sem", "-o", svg}).Status, 0);
    EXPECT_EQ(ReadFile(svg).find("G-actin 6 µM"), std::string::npos);
    EXPECT_NE(ReadFile(svg).find("mean ± SEM of 4 runs"), std::string::npos);
}

TEST_F(Plot, BadRequestsAreRefused)
{
    const std::string png = dir.File("figure.png");
    const ProgramResult unknown = PlotWith({"--columns", "ACG,XYZ", "-o", png});
    EXPECT_EQ(unknown.Status, 2);
    EXPECT_NE(unknown.Err.find("unknown column 'XYZ'; the columns are ACG, ACF,"), std::string::npos);
    const ProgramResult absent = PlotWith({"--columns", "ACG,FIB", "-o", png});
    EXPECT_EQ(absent.Status, 2);
    EXPECT_NE(absent.Err.find("no column 'FIB'; it has ACF, ACG, p_FORM"), std::string::npos);
    EXPECT_EQ(PlotWith({"--columns", "ACG", "--sweep-point", "2", "-o", png}).Status, 2);
    EXPECT_EQ(PlotWith({"--columns", "ACG", "-o", dir.File("figure.gif")}).Status, 2);
    EXPECT_EQ(PlotWith({"-o", png}).Status, 2);
    EXPECT_EQ(PlotWith({"--columns", "ACG", "-o", dir.File("no/such/folder.png")}).Status, 1);
}

TEST_F(Plot, ValuesThatAreOptionsAndRepeatedOptionsAreRefused)
{
    const std::string png = dir.File("figure.png");
    const std::string svg = dir.File("figure.svg");
    const struct {
        std::vector<std::string> arguments;
        const char *message;
    } refused[] = {
        {{"--columns", "--sweep-point", "0", "-o", png}, "--columns needs a value, not '--sweep-point'"},
        {{"--columns", "ACG", "-o", "--size", "300x200"}, "--output needs a value, not '--size'"},
        {{"--columns", "ACG", "--columns", "ACF", "-o", png}, "--columns is given more than once"},
        {{"--columns", "ACG", "-o", png, "--output", svg}, "--output is given more than once"},
    };
    for (const auto &c : refused) {
        const ProgramResult result = PlotWith(c.arguments);
        EXPECT_EQ(result.Status, 2) << c.message;
        EXPECT_NE(result.Err.find(c.message), std::string::npos) << result.Err;
    }
    EXPECT_FALSE(std::filesystem::exists(png));
}

TEST_F(Plot, SummariesWithNothingSoundToDrawAreRefusedNamingTheLine)
{
    const std::string header = "point\ttime\tcolumn\tn\tmean\tsd\tci_low\tci_high\n",
                      first = "0\t0\tACG\t4\t10\t1\t\t\n";
    const std::pair<std::string, std::string> cases[] = {
        {header + first + "0\t0.1\tACG\t4\tnan\t1\t\t\n", "bad.tsv:3: 'nan'"},
        {header + first + "0\t0.1\tACG\t4\t12\t-nan\t\t\n", "bad.tsv:3: '-nan'"},
        {header + first + "0\t0.1\tACG\t4\tinf\t1\t\t\n", "bad.tsv:3: 'inf'"},
        {header + first + "0\tinfinity\tACG\t4\t12\t1\t\t\n", "bad.tsv:3: 'infinity'"},
        {header + first + "0\t\tACG\t4\t12\t1\t\t\n", "bad.tsv:3: '' is not a number"},
        {header + "0\t0\tACG\t4\t\t\t\t\n0\t0.1\tACG\t4\t\t\t\t\n", "no mean of ACG"},
        {header, "has no rows"},
        {header + first + "0\t0.1\tACG\t4\t1", "bad.tsv:3: the line has no end"},
    };
    const std::string png = dir.File("figure.png");
    for (const auto &[summary, message] : cases) {
        WriteFile(dir.File("bad.tsv"), summary);
        const ProgramResult result =
            RunProgram(dir, {FILONEX_PLOT, dir.File("bad.tsv"), "--columns", "ACG", "-o", png});
        EXPECT_EQ(result.Status, 2) << message;
        EXPECT_NE(result.Err.find(message), std::string::npos) << result.Err;
        EXPECT_FALSE(std::filesystem::exists(png)) << message;
    }
}

TEST_F(Plot, InputsThatAreNoRegularFilesAndHugeFiguresAreBadInput)
{
    const std::string png = dir.File("figure.png"), fifo = dir.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string &input : {std::string("/dev/zero"), fifo, std::string(dir.Path())}) {
        const ProgramResult result = RunProgram(dir, {FILONEX_PLOT, input, "--columns", "ACG", "-o", png});
        EXPECT_EQ(result.Status, 2) << input;
        EXPECT_NE(result.Err.find("not a regular file"), std::string::npos) << result.Err;
    }
    // A figure aimed at a FIFO (which would block) or through a link to one.
    ASSERT_EQ(::mkfifo(dir.File("fifo.png").c_str(), 0600), 0);
    std::filesystem::create_symlink("fifo", dir.File("link.svg"));
    for (const std::string &output : {dir.File("fifo.png"), dir.File("link.svg")}) {
        const ProgramResult result =
            Program(dir, {FILONEX_PLOT, dir.File("summary.tsv"), "--columns", "ACG", "-o", output})
                .Wait(std::chrono::seconds(30));
        EXPECT_EQ(result.Status, 2) << output;
        EXPECT_NE(result.Err.find("it is not a regular file"), std::string::npos) << result.Err;
        EXPECT_EQ(std::filesystem::status(output).type(), std::filesystem::file_type::fifo);
    }
    for (const char *size : {"100000x100000", "8001x800", "1200x8001"})
        EXPECT_EQ(PlotWith({"--columns", "ACG", "--size", size, "-o", png}).Status, 2) << size;
    EXPECT_FALSE(std::filesystem::exists(png));
}

} // namespace
