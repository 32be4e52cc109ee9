// Movies from filonex-batch --movie and filonex-render, run as programs
// without a display.

#include "Programrun.h"
#include "WithoutDisplay.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include <sys/stat.h>

namespace {

// Runs of the default world with mechanics; small pictures for speed.
std::vector<std::string> Batch(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), {FILONEX_BATCH, "--seed", "5", "--quiet", "--movie-size", "160x120"});
    return arguments;
}

// What ffprobe reads of a movie's video stream: "nb_read_frames", "width",
// "height", "pix_fmt".
std::map<std::string, std::string> Probe(const ScratchDirectory &dir, const std::string &movie)
{
    const ProgramResult probe = RunProgram(
        dir, {"/usr/bin/ffprobe", "-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
              "stream=nb_read_frames,width,height,pix_fmt", "-of", "default=noprint_wrappers=1", movie});
    std::map<std::string, std::string> fields;
    std::istringstream lines(probe.Out);
    for (std::string line; std::getline(lines, line);)
        if (const std::size_t equals = line.find('='); equals != std::string::npos)
            fields[line.substr(0, equals)] = line.substr(equals + 1);
    return fields;
}

// Pixels in a filament's colours: blue, yellow or red, none of the greys
// of the box and the bacterium, nor the white caption.
int FilamentPixels(const QImage &picture)
{
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            const int spread =
                std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()});
            count += spread > 100;
        }
    return count;
}

bool NoTemporaryLeft(const ScratchDirectory &dir)
{
    for (const auto &entry : std::filesystem::recursive_directory_iterator(dir.Path()))
        if (entry.path().filename().string().find(".tmp-") != std::string::npos)
            return false;
    return true;
}

TEST(Movie, HalfSecondRunGivesElevenFramesOfTheAskedSize)
{
    const ScratchDirectory dir;
    const ProgramResult run =
        RunProgram(dir, Batch({"--time", "0.5", "--movie-every", "0.05", "--movie", dir.File("run.mp4")}));
    ASSERT_EQ(run.Status, 0) << run.Err;
    const auto movie = Probe(dir, dir.File("run.mp4"));
    EXPECT_EQ(movie.at("nb_read_frames"), "11");
    EXPECT_EQ(movie.at("width"), "160");
    EXPECT_EQ(movie.at("height"), "120");
    EXPECT_EQ(movie.at("pix_fmt"), "yuv420p");
    EXPECT_TRUE(NoTemporaryLeft(dir));
}

TEST(Movie, PictureFolderShowsTheNetworkGrow)
{
    const ScratchDirectory dir;
    const std::string folder = dir.File("frames");
    const ProgramResult run =
        RunProgram(dir, Batch({"--time", "0.6", "--movie-every", "0.2", "--movie", folder}));
    ASSERT_EQ(run.Status, 0) << run.Err;
    std::vector<int> pixels;
    for (int i = 0; i < 4; ++i) {
        const QImage picture(QString::fromStdString(folder + "/frame-00000" + std::to_string(i) + ".png"));
        ASSERT_EQ(picture.size(), QSize(160, 120)) << i;
        pixels.push_back(FilamentPixels(picture));
    }
    EXPECT_FALSE(std::filesystem::exists(folder + "/frame-000004.png"));
    for (int i = 1; i < 4; ++i)
        EXPECT_GT(pixels[i], pixels[i - 1]) << "frame " << i;
}

TEST(Movie, FramesComeAtEachPeriodWhenNothingReacts)
{
    // Without actin the clock jumps to the end, and the observations on the
    // way still get their frames.
    const ScratchDirectory dir;
    WriteFile(dir.File("empty.ini"), "[ValueListConcentrations]\nC_ACG=0\nC_CAP=0\nC_ARP=0\nC_ADC=0\n");
    const std::string folder = dir.File("frames");
    const ProgramResult run =
        RunProgram(dir, Batch({"--settings", dir.File("empty.ini"), "--chemistry-only", "--time", "0.5",
                               "--movie-every", "0.05", "--movie", folder}));
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_TRUE(std::filesystem::exists(folder + "/frame-000010.png"));
    EXPECT_FALSE(std::filesystem::exists(folder + "/frame-000011.png"));
}

TEST(Movie, GifHasAFramePerPeriod)
{
    const ScratchDirectory dir;
    const ProgramResult run =
        RunProgram(dir, Batch({"--time", "0.3", "--movie-every", "0.1", "--movie", dir.File("run.gif")}));
    ASSERT_EQ(run.Status, 0) << run.Err;
    const auto movie = Probe(dir, dir.File("run.gif"));
    EXPECT_EQ(movie.at("nb_read_frames"), "4");
    EXPECT_EQ(movie.at("width"), "160");
}

TEST(Movie, SigtermLeavesAValidMovieOfTheFramesSoFar)
{
    const ScratchDirectory dir;
    const Program run(dir, Batch({"--time", "100", "--movie-every", "0.01", "--movie", dir.File("run.mp4")}));
    // Long enough for the run to have begun, with frames taken.
    std::this_thread::sleep_for(std::chrono::seconds(2));
    run.Signal(SIGTERM);
    const ProgramResult result = run.Wait();
    EXPECT_EQ(result.Status, 143) << result.Err;
    EXPECT_GE(std::stoi(Probe(dir, dir.File("run.mp4")).at("nb_read_frames")), 1);
    EXPECT_TRUE(NoTemporaryLeft(dir));
}

TEST(Movie, EncoderThatDiesIsAnErrorNotACrash)
{
    const ScratchDirectory dir;
    WriteFile(dir.File("ffmpeg"), "#!/bin/sh\nexit 1\n");
    std::filesystem::permissions(dir.File("ffmpeg"), std::filesystem::perms::owner_all);
    const std::string path = std::getenv("PATH");
    setenv("PATH", (dir.Path().string() + ":" + path).c_str(), 1);
    const ProgramResult run = RunProgram(dir, Batch({"--time", "0.1", "--movie", dir.File("run.mp4")}));
    setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(run.Status, 3);
    EXPECT_NE(run.Err.find("the movie '" + dir.File("run.mp4") + "' is lost: ffmpeg stopped"),
              std::string::npos)
        << run.Err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("run.mp4")));
    EXPECT_TRUE(NoTemporaryLeft(dir));
}

TEST(Movie, SigtermEndsARunWhoseEncoderTakesNoFramesAndTheEncoderWithIt)
{
    const ScratchDirectory dir;
    // An ffmpeg that never reads its input, in a process of its own below the shell.
    WriteFile(dir.File("ffmpeg"), "#!/bin/sh\nsleep 1000 &\necho $! > " + dir.File("encoder.pid") + "\nwait\n");
    std::filesystem::permissions(dir.File("ffmpeg"), std::filesystem::perms::owner_all);
    const std::string path = std::getenv("PATH");
    setenv("PATH", (dir.Path().string() + ":" + path).c_str(), 1);
    const Program run(dir, Batch({"--time", "100", "--movie", dir.File("run.mp4")}));
    setenv("PATH", path.c_str(), 1);
    for (int wait = 0; wait < 500 && !std::filesystem::exists(dir.File("encoder.pid")); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::this_thread::sleep_for(std::chrono::seconds(1)); // the first frame fills the pipe
    run.Signal(SIGTERM);
    const ProgramResult result = run.Wait(std::chrono::seconds(60));
    EXPECT_EQ(result.Status, 143) << result.Err;
    EXPECT_NE(result.Err.find("the movie '" + dir.File("run.mp4") + "' was given up"), std::string::npos)
        << result.Err;
    // Killed with its parent, it may stay a while as a zombie left to init.
    std::string encoder = ReadFile(dir.File("encoder.pid"));
    encoder.erase(encoder.find_last_not_of('\n') + 1);
    const auto running = [stat = "/proc/" + encoder + "/stat"] {
        const std::string text = ReadFile(stat);
        return !text.empty() && text[text.rfind(')') + 2] != 'Z';
    };
    for (int wait = 0; wait < 100 && running(); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(running()) << "the encoder outlived the run";
    EXPECT_FALSE(std::filesystem::exists(dir.File("run.mp4")));
    EXPECT_TRUE(NoTemporaryLeft(dir));
}

TEST(Movie, EveryRunOfAnEnsembleHasItsOwnMovie)
{
    const ScratchDirectory dir;
    const ProgramResult run = RunProgram(dir, Batch({"--time", "0.05", "--runs", "2", "--jobs", "1", "--out",
                                                     dir.File("ensemble"), "--movie", "net.gif"}));
    ASSERT_EQ(run.Status, 0) << run.Err;
    for (const char *folder : {"run-0000", "run-0001"})
        EXPECT_EQ(Probe(dir, dir.File("ensemble/") + folder + "/net.gif").at("nb_read_frames"), "6")
            << folder;
}

TEST(Movie, RefusesWhatItCannotMake)
{
    const ScratchDirectory dir;
    const std::string movie = dir.File("run.mp4");
    std::filesystem::create_directories(dir.Path() / "frames");
    WriteFile(dir.File("frames/frame-000040.png"), "an earlier run's");
    const struct {
        std::vector<std::string> Arguments;
        std::string Message;
    } cases[] = {
        {{"--movie", movie, "--movie-size", "161x120"}, "--movie-size needs WIDTHxHEIGHT"},
        {{"--movie", movie, "--movie-size", "160x121"}, "--movie-size needs WIDTHxHEIGHT"},
        {{"--movie", movie, "--movie-view", "30,20,0"}, "--movie-view needs AZIMUTH,ELEVATION,ZOOM"},
        {{"--movie", movie, "--movie-view", "0,0,1e300"}, "--movie-view needs AZIMUTH,ELEVATION,ZOOM"},
        {{"--movie", movie, "--movie-fps", "1e-300"}, "--movie-fps needs a number of frames per second"},
        {{"--movie", movie, "--movie-fps", "1e300"}, "--movie-fps needs a number of frames per second"},
        {{"--movie", dir.File("frames")}, "it holds the pictures of another movie"},
        {{"--movie-fps", "10"}, "need --movie"},
        {{"--movie", movie, "--movie-every", "0.001"}, "is shorter than the observation step 0.01 s"},
        {{"--movie", dir.Path().string() + "/missing/run.mp4"}, "Cannot create file!"},
    };
    for (const auto &[arguments, message] : cases) {
        std::vector<std::string> line = {FILONEX_BATCH, "--seed", "5", "--quiet", "--time", "0.1"};
        line.insert(line.end(), arguments.begin(), arguments.end());
        const ProgramResult run = RunProgram(dir, line);
        EXPECT_EQ(run.Status, 2) << message;
        EXPECT_NE(run.Err.find(message), std::string::npos) << run.Err;
    }
}

TEST(Render, OneWorldIsAPictureAndSeveralAMovieInTimeOrder)
{
    const ScratchDirectory dir;
    for (const char *end : {"0.1", "0.3"})
        ASSERT_EQ(RunProgram(dir, {FILONEX_BATCH, "--seed", "5", "--quiet", "--time", end, "--save-world",
                                   dir.File(std::string("t") + end + ".fxworld")})
                      .Status,
                  0);
    const ProgramResult one = RunProgram(dir, {FILONEX_RENDER, dir.File("t0.1.fxworld"), "-o",
                                               dir.File("one.png"), "--movie-size", "200x100"});
    ASSERT_EQ(one.Status, 0) << one.Err;
    EXPECT_EQ(QImage(QString::fromStdString(dir.File("one.png"))).size(), QSize(200, 100));

    const std::string frames = dir.File("frames");
    const ProgramResult several =
        RunProgram(dir, {FILONEX_RENDER, dir.File("t0.3.fxworld"), dir.File("t0.1.fxworld"), "-o", frames,
                         "--movie-size", "200x100"});
    ASSERT_EQ(several.Status, 0) << several.Err;
    const QImage first(QString::fromStdString(frames + "/frame-000000.png"));
    const QImage second(QString::fromStdString(frames + "/frame-000001.png"));
    EXPECT_EQ(first, QImage(QString::fromStdString(dir.File("one.png"))));
    EXPECT_GT(FilamentPixels(second), FilamentPixels(first));
}

TEST(Render, OutputsThatAreNoFilesOrHoldFramesAreRefusedBeforeDrawing)
{
    const ScratchDirectory dir;
    const std::string world = dir.File("w.fxworld");
    ASSERT_EQ(RunProgram(dir, {FILONEX_BATCH, "--seed", "5", "--quiet", "--time", "0.05", "--save-world", world})
                  .Status,
              0);
    for (const char *fifo : {"fifo", "fifo.mp4"})
        ASSERT_EQ(::mkfifo(dir.File(fifo).c_str(), 0600), 0);
    std::filesystem::create_symlink("fifo", dir.File("link.gif"));
    std::filesystem::create_directories(dir.Path() / "frames");
    WriteFile(dir.File("frames/frame-000009.png"), "an earlier movie's");
    const struct {
        std::string Out;
        int Worlds;
        std::string Message;
        std::filesystem::file_type Kept;
    } cases[] = {
        {"fifo", 1, "it is not a regular file", std::filesystem::file_type::fifo},
        {"fifo.mp4", 2, "it is not a regular file", std::filesystem::file_type::fifo},
        {"link.gif", 2, "it is not a regular file", std::filesystem::file_type::fifo},
        {"frames", 2, "it holds the pictures of another movie", std::filesystem::file_type::directory},
    };
    for (const auto &c : cases) {
        std::vector<std::string> line = {FILONEX_RENDER, "--movie-size", "160x120", "-o", dir.File(c.Out)};
        line.insert(line.end(), std::size_t(c.Worlds), world);
        const ProgramResult run = Program(dir, line).Wait(std::chrono::seconds(30));
        EXPECT_EQ(run.Status, 2) << c.Out << ": " << run.Err;
        EXPECT_NE(run.Err.find(c.Message), std::string::npos) << run.Err;
        EXPECT_EQ(std::filesystem::status(dir.File(c.Out)).type(), c.Kept) << c.Out;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("frames/frame-000000.png")));
    EXPECT_TRUE(NoTemporaryLeft(dir));
}

} // namespace
