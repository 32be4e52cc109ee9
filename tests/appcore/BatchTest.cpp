// Runs the built filonex-batch program and checks its output and exit status.

#include "Programrun.h"
#include "TestSupport.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <numeric>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>

namespace {

using BatchResult = ProgramResult;

// filonex-batch with these arguments; stdoutPath as for Program.
class BatchProcess : public Program {
public:
    BatchProcess(const ScratchDirectory &dir, std::vector<std::string> arguments,
                 std::optional<std::string> stdoutPath = {})
        : Program(dir, WithProgram(std::move(arguments)), std::move(stdoutPath))
    {
    }

private:
    static std::vector<std::string> WithProgram(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), FILONEX_BATCH);
        return arguments;
    }
};

BatchResult RunBatch(const ScratchDirectory &dir, std::vector<std::string> arguments)
{
    return BatchProcess(dir, std::move(arguments)).Wait();
}

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<double> Fields(const std::string &line, const std::string &label)
{
    std::istringstream in(line);
    std::string first;
    in >> first;
    EXPECT_EQ(first, label);
    std::vector<double> values;
    for (std::string field; in >> field;)
        values.push_back(std::strtod(field.c_str(), nullptr));
    return values;
}

class Batch : public ::testing::Test {
protected:
    Batch() : settings(dir.File("settings.ini")) { WriteFile(settings, ""); }

    BatchResult Run(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), {"--settings", settings});
        return RunBatch(dir, std::move(arguments));
    }

    ScratchDirectory dir;
    std::string settings;
};

TEST_F(Batch, SameSeedSameStateOtherSeedOtherState)
{
    const BatchResult first = Run({"--seed", "1", "--time", "1", "--chemistry-only"});
    const BatchResult again = Run({"--seed", "1", "--time", "1", "--chemistry-only"});
    const BatchResult other = Run({"--seed", "2", "--time", "1", "--chemistry-only"});
    ASSERT_EQ(first.Status, 0) << first.Err;
    EXPECT_EQ(again.Status, 0);
    EXPECT_EQ(other.Status, 0);
    EXPECT_EQ(first.Out, again.Out);
    EXPECT_NE(first.Out, other.Out);
    EXPECT_EQ(first.Err, "");
}

TEST_F(Batch, FinalStateAgreesWithItself)
{
    const BatchResult result = Run({"--seed", "7", "--time", "0.5", "--chemistry-only"});
    ASSERT_EQ(result.Status, 0) << result.Err;
    const auto lines = Lines(result.Out);
    ASSERT_GE(lines.size(), 7u);
    EXPECT_GE(Fields(lines[0], "time")[0], 0.5);
    const double reactions = Fields(lines[1], "reactions").at(0);
    const auto species = Fields(lines[2], "species");
    const auto counts = Fields(lines[3], "counts");
    ASSERT_EQ(species.size(), 10u);
    ASSERT_EQ(counts.size(), 9u);
    EXPECT_EQ(Fields(lines[4], "propensities").size(), 9u);
    EXPECT_EQ(std::accumulate(counts.begin(), counts.end(), 0.0), reactions);
    // Chemistry alone leaves the bacterium at the box centre.
    for (const double c : Fields(lines[5], "bacterium"))
        EXPECT_EQ(c, 1e-6);

    const auto filaments = Fields(lines[6], "filaments");
    ASSERT_EQ(lines.size(), 7 + static_cast<std::size_t>(filaments.at(0)));
    double monomers = 0, freeBarbedEnds = 0, caps = 0;
    for (std::size_t i = 7; i < lines.size(); ++i) {
        std::istringstream in(lines[i]);
        double size, capped, px, py, pz, dx, dy, dz;
        ASSERT_TRUE(in >> size >> capped >> px >> py >> pz >> dx >> dy >> dz) << lines[i];
        EXPECT_GE(size, 3);
        EXPECT_NEAR(dx * dx + dy * dy + dz * dz, 1.0, 1e-12);
        monomers += size;
        freeBarbedEnds += capped == 0;
        caps += capped;
    }
    EXPECT_EQ(species[1], monomers);        // ACF
    EXPECT_EQ(species[2], freeBarbedEnds);  // FIB
    EXPECT_EQ(species[3], filaments.at(0)); // FIP
    EXPECT_EQ(species[5], caps);            // CAF
    const double initialActin = species[0] + species[1];
    EXPECT_TRUE(initialActin == 57812 || initialActin == 57813);
}

TEST_F(Batch, MethodFromTheSettingsFileOrTheCommandLine)
{
    const std::vector<std::string> run = {"--seed", "3", "--time", "0.2", "--chemistry-only"};
    const BatchResult first = Run(run);
    WriteFile(settings, "[ValueListSimulation]\nSIM_METHOD=Next reaction\n");
    const BatchResult next = Run(run);
    auto overridden = run;
    overridden.insert(overridden.end(), {"--method", "First reaction"});
    const BatchResult backToFirst = Run(overridden);
    ASSERT_EQ(next.Status, 0) << next.Err;
    EXPECT_NE(first.Out, next.Out);
    EXPECT_EQ(first.Out, backToFirst.Out);
}

TEST_F(Batch, SettingsFileParametersAreApplied)
{
    WriteFile(settings, "[ValueListConcentrations]\nC_ACG=0\nC_CAP=0,5\n");
    const BatchResult result = Run({"--seed", "1", "--time", "0.1", "--chemistry-only"});
    ASSERT_EQ(result.Status, 0) << result.Err;
    const auto species = Fields(Lines(result.Out).at(2), "species");
    EXPECT_EQ(species[0], 0);
    EXPECT_TRUE(species[4] == 2408 || species[4] == 2409); // 0.5 uM in 8e-15 litres
}

TEST_F(Batch, WithMechanicsRepeatableAndDifferentFromChemistryAlone)
{
    const BatchResult mechanics = Run({"--seed", "5", "--time", "0.02", "--quiet"});
    const BatchResult again = Run({"--seed", "5", "--time", "0.02", "--quiet"});
    const BatchResult chemistry = Run({"--seed", "5", "--time", "0.02", "--chemistry-only"});
    ASSERT_EQ(mechanics.Status, 0) << mechanics.Err;
    EXPECT_EQ(mechanics.Out, again.Out);
    EXPECT_NE(mechanics.Out, chemistry.Out);
}

TEST_F(Batch, ObservationsAreWrittenAsAChartText)
{
    const std::string observe = dir.File("observe.txt");
    const BatchResult result =
        Run({"--seed", "1", "--time", "0.1", "--chemistry-only", "--observe", observe});
    ASSERT_EQ(result.Status, 0) << result.Err;
    const std::string text = ReadFile(observe);
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(text.substr(at, end - at));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0].rfind("Curve: N: ACG\t\tCurve: N: ACF\t\t", 0), 0u);
    for (const char *title : {"Curve: Num of reactions: FORM\t", "Curve: A: FORM\t",
                              "Curve: React prob: FORM2\t\tCurve: Filament size: "
                              "MeanFilamentSize\t\tCurve: Bacterium: bact_x\t",
                              "Curve: Bacterium: bact_disp2\t\t\r"})
        EXPECT_EQ(Count(text, title), 1) << title;
    EXPECT_EQ(Count(lines[0], "Curve: "), 43);
    // Each chart's axis titles, once per curve.
    std::string captions;
    const std::pair<const char *, int> charts[] = {
        {"Molecules", 10},           {"Reactions", 9},
        {"Propensity [1/s]", 9},     {"Probability", 9},
        {"Mean size [monomers]", 1}, {"Position [m]", 3},
        {"Displacement [m]", 1},     {"Squared displacement [m^2]", 1}};
    for (const auto &[title, curves] : charts)
        for (int i = 0; i < curves; ++i)
            captions += std::string("Time [s]\t") + title + "\t";
    EXPECT_EQ(lines[1], captions);
    // The starting point at time 0 and one row per observation step of 0.01 s
    // up to the end (the last reaction may pass it).
    EXPECT_EQ(lines[2].rfind("0\t", 0), 0u);
    EXPECT_GE(lines.size(), 2u + 1u + 10u);
    // The starting point has the propensities of the applied world (the
    // nucleation's), so every row has all 43 curves' points.
    for (const std::string &row : {lines[2], lines.back()})
        EXPECT_EQ(Count(row, "\t"), 2 * 43);
}

TEST_F(Batch, BadInputIsRefusedWithStatus2AndNothingWritten)
{
    const std::string observe = dir.File("observe.txt");
    WriteFile(observe, "keep");
    std::filesystem::create_symlink("loop.ini", dir.File("loop.ini"));
    ::mkfifo(dir.File("fifo").c_str(), 0600);
    const std::vector<std::vector<std::string>> bad = {
        {"--observe", dir.Path().string()},
        {"--observe", settings},
        {"--observe", dir.File("fifo")},
        {"--bogus"},
        {"stray"},
        {"--seed", "abc"},
        {"--seed", "-1"},
        {"--seed", "4294967296"},
        {"--seed", "2147483647"},
        {"--time", "0"},
        {"--time", "-1"},
        {"--settings", dir.File("loop.ini")},
        {"--settings", dir.File(std::string(300, 'a'))},
        {"--settings", dir.Path().string()},
        {"--seed"},
        {"--time", "1,5"},
        {"--time", "soon"},
        {"--method", "Tau leap"},
        {"--quiet=yes"},
        {"--settings", dir.File("missing.ini")},
    };
    for (auto arguments : bad) {
        // The file that must stay, and the fixture's settings, where the case
        // gives none: an option given twice would be refused for that alone.
        const auto gives = [&](const char *option) {
            return std::find(arguments.begin(), arguments.end(), option) != arguments.end();
        };
        if (!gives("--observe"))
            arguments.insert(arguments.begin(), {"--observe", observe});
        const BatchResult result = gives("--settings") ? RunBatch(dir, arguments) : Run(arguments);
        EXPECT_EQ(result.Status, 2) << arguments[0];
        EXPECT_EQ(result.Out, "") << arguments[0];
        EXPECT_NE(result.Err.find("filonex-batch: "), std::string::npos) << arguments[0];
    }
    EXPECT_EQ(ReadFile(observe), "keep");
    EXPECT_EQ(ReadFile(settings), "");
}

TEST_F(Batch, SeedRangeIsAccepted)
{
    EXPECT_EQ(Run({"--seed", "0", "--time", "0.01", "--chemistry-only"}).Status, 0);
    EXPECT_EQ(Run({"--seed=2147483646", "--time=0.01", "--chemistry-only"}).Status, 0);
}

TEST_F(Batch, ParameterThatIsNotANumber)
{
    WriteFile(settings, "[ValueListConcentrations]\nC_ACG=abc\n");
    const BatchResult result = Run({"--seed", "1", "--time", "1"});
    EXPECT_EQ(result.Status, 2);
    EXPECT_NE(result.Err.find("'abc' is not a valid floating point value"), std::string::npos);
    EXPECT_EQ(result.Out, "");
}

TEST_F(Batch, RunsThatCannotStartAreRefused)
{
    WriteFile(settings, "[ValueListSimulation]\nSIM_METHOD=Gillespie\n");
    EXPECT_EQ(Run({"--time", "1"}).Status, 2);
    WriteFile(settings, "[ValueListSimulation]\nSIM_OBSERVTIMESTEP=0\n");
    EXPECT_EQ(Run({"--time", "1", "--chemistry-only"}).Status, 2);
    WriteFile(settings, "[ValueListSimulation]\nSIM_TIMESTEP=0\n");
    EXPECT_EQ(Run({"--time", "1"}).Status, 2);
    EXPECT_EQ(Run({"--seed", "1", "--time", "0.01", "--chemistry-only"}).Status, 0);

    // Runs of more than 2^53 steps, which would write rows without end, and
    // leaps that could form more filaments than the memory holds (2e9 G-actin).
    const struct {
        std::string Settings;
        std::vector<std::string> Arguments;
        std::string Message;
    } endless[] = {
        {"SIM_OBSERVTIMESTEP=1E-300", {"--time", "1", "--chemistry-only"},
         "(SIM_OBSERVTIMESTEP) of 1E-300 s gives more than 2^53 steps"},
        {"SIM_TIMESTEP=1E-300", {"--time", "1"}, "(SIM_TIMESTEP) of 1E-300 s gives more than 2^53 steps"},
        {"", {"--time", "1E300", "--chemistry-only"}, "(SIM_OBSERVTIMESTEP) of 0.01 s gives more than 2^53 steps"},
        {"SIM_METHOD=Tau-leap\n[ValueListConcentrations]\nC_ACG=400000", {"--time", "1", "--chemistry-only"},
         "A \"Tau-leap\" run of this world could run out of memory"},
    };
    for (const auto &c : endless) {
        WriteFile(settings, "[ValueListSimulation]\n" + c.Settings + "\n");
        const BatchResult result = Run(c.Arguments);
        EXPECT_EQ(result.Status, 2) << c.Message;
        EXPECT_NE(result.Err.find(c.Message), std::string::npos) << result.Err;
    }
}

TEST_F(Batch, FloatingPointErrorDuringTheRunGivesStatus1AndTheState)
{
    // Nothing to react: "Next reaction" divides by a zero total propensity.
    WriteFile(settings, "[ValueListConcentrations]\nC_ACG=0\nC_CAP=0\nC_ARP=0\nC_ADC=0\n"
                        "[ValueListSimulation]\nSIM_METHOD=Next reaction\n");
    const BatchResult result = Run({"--seed", "1", "--time", "1", "--chemistry-only"});
    EXPECT_EQ(result.Status, 1);
    EXPECT_NE(result.Err.find("Floating point division by zero"), std::string::npos);
    EXPECT_EQ(result.Out.rfind("time 0\nreactions 0\n", 0), 0u) << result.Out;
}

TEST_F(Batch, WithoutASeedTheSeedIsReportedAndRepeatsTheRun)
{
    const BatchResult result = Run({"--time", "0.2", "--chemistry-only"});
    ASSERT_EQ(result.Status, 0);
    ASSERT_EQ(result.Err.rfind("seed ", 0), 0u) << result.Err;
    const std::string seed = result.Err.substr(5, result.Err.find('\n') - 5);
    const BatchResult repeated = Run({"--seed", seed, "--time", "0.2", "--chemistry-only"});
    EXPECT_EQ(repeated.Out, result.Out);
}

// The number of entries in the folder: a temporary file left behind shows.
std::ptrdiff_t Entries(const ScratchDirectory &dir)
{
    return std::distance(std::filesystem::directory_iterator(dir.Path()), {});
}

TEST_F(Batch, StopSignalsEndTheRunPromptlyAndWriteWholeFiles)
{
    // Observations far apart and, with mechanics, a pass of many tiny steps:
    // the stop must not wait for an observation.
    const struct {
        int Signal, Status;
        const char *Name, *Settings, *Mode;
    } cases[] = {
        {SIGINT, 130, "Ctrl-C", "", "--chemistry-only"},
        {SIGTERM, 143, "SIGTERM", "SIM_OBSERVTIMESTEP=1E6", "--chemistry-only"},
        {SIGHUP, 129, "SIGHUP", "SIM_OBSERVTIMESTEP=1E6\nSIM_TIMESTEP=1E-6", "--quiet"}, // 2^53 steps reach 9E9 s
    };
    const std::string observe = dir.File("observe.txt");
    for (const auto &c : cases) {
        WriteFile(settings, std::string("[ValueListSimulation]\n") + c.Settings + "\n");
        WriteFile(observe, "previous run");
        BatchProcess process(
            dir, {"--settings", settings, "--seed", "1", "--time", "1e9", c.Mode, "--observe", observe});
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        EXPECT_EQ(ReadFile(observe), "previous run") << c.Name;
        process.Signal(c.Signal);
        const BatchResult result = process.Wait(std::chrono::seconds(3));
        EXPECT_EQ(result.Status, c.Status);
        EXPECT_NE(result.Err.find(std::string("stopped by ") + c.Name), std::string::npos);
        EXPECT_EQ(result.Out.rfind("time ", 0), 0u) << c.Name;
        const std::string text = ReadFile(observe);
        EXPECT_EQ(text.rfind("Curve: N: ACG", 0), 0u) << c.Name;
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
        EXPECT_EQ(Entries(dir), 4) << c.Name; // settings, observations, stdout, stderr
    }
}

TEST_F(Batch, FailedWritesNameTheFileAndTheReason)
{
    const std::string observe = dir.File("observe.txt");
    const std::vector<std::string> run = {"--settings", settings, "--seed",          "1",
                                          "--time",     "0.05",   "--chemistry-only"};
    const struct {
        std::optional<std::string> Stdout;
        std::string Reason;
    } cases[] = {{"/dev/full", "standard output: No space left on device"},
                 {"", "standard output: Bad file descriptor"}};
    for (const auto &c : cases) {
        const BatchResult result = BatchProcess(dir, run, c.Stdout).Wait();
        EXPECT_EQ(result.Status, 3);
        EXPECT_NE(result.Err.find(c.Reason), std::string::npos) << result.Err;
    }

    // Observations beyond the file size limit, which a child inherits.
    WriteFile(settings, "[ValueListSimulation]\nSIM_OBSERVTIMESTEP=1E-5\n");
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous;
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit limited = previous;
    limited.rlim_cur = 100000;
    ::setrlimit(RLIMIT_FSIZE, &limited);
    auto withObserve = run;
    withObserve.insert(withObserve.end(), {"--observe", observe});
    BatchProcess process(dir, withObserve);
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, SIG_DFL);
    const BatchResult result = process.Wait();
    EXPECT_EQ(result.Status, 3);
    EXPECT_NE(result.Err.find("cannot write '" + observe + "': File too large"), std::string::npos)
        << result.Err;
    EXPECT_EQ(result.Out.rfind("time ", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(observe));
    EXPECT_EQ(Entries(dir), 3);
}

TEST_F(Batch, SettingsTheRunDoesNotUseAreReported)
{
    WriteFile(settings, "\xEF\xBB\xBF[ValueListConcentrations]\nC_ACG=0\nC_APR=1\n"
                        "[ValueListRate]\nRATE_FORM=1\n");
    const BatchResult result = Run({"--seed", "1", "--time", "0.01", "--chemistry-only"});
    EXPECT_EQ(result.Status, 0);
    EXPECT_EQ(Fields(Lines(result.Out).at(2), "species")[0], 0);
    EXPECT_NE(result.Err.find("C_APR in [ValueListConcentrations]"), std::string::npos);
    EXPECT_NE(result.Err.find("did you mean [ValueListRates]?"), std::string::npos);

    // With --strict the same warnings refuse the run, and the ensemble's
    // before any of its runs.
    const BatchResult strict = Run({"--seed", "1", "--time", "0.01", "--strict"});
    EXPECT_EQ(strict.Status, 2);
    EXPECT_EQ(strict.Out, "");
    EXPECT_NE(strict.Err.find("--strict: unknown ident C_APR"), std::string::npos) << strict.Err;
    EXPECT_NE(strict.Err.find("; unknown section [ValueListRate]"), std::string::npos) << strict.Err;
    const BatchResult ensemble = Run({"--seed", "1", "--runs", "2", "--out", dir.File("e"), "--strict"});
    EXPECT_EQ(ensemble.Status, 2);
    EXPECT_NE(ensemble.Err.find("--strict: unknown ident C_APR"), std::string::npos) << ensemble.Err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("e")));
}

TEST_F(Batch, DegenerateWorldsAreReported)
{
    // A reaction that changes nothing at 1E30 outruns the clock; extreme
    // Brownian forces fling the filaments out of the box.
    WriteFile(settings, "[ValueListRates]\nRATE_ARPB=1E30\n");
    const BatchResult stalled =
        Run({"--seed", "1", "--time", "1", "--method", "Next reaction", "--chemistry-only"});
    EXPECT_EQ(stalled.Status, 1);
    EXPECT_NE(stalled.Err.find("Simulated time stopped advancing"), std::string::npos);
    EXPECT_EQ(stalled.Out.rfind("time ", 0), 0u);

    WriteFile(settings, "[ValueListMechanics]\nMECH_BROWNIANFORCE=1E-8\nMECH_FRICCOEF=1E20\n");
    const BatchResult flung = Run({"--seed", "1", "--time", "0.05", "--quiet"});
    EXPECT_EQ(flung.Status, 0);
    EXPECT_EQ(Count(flung.Err, "more than one box size outside the box"), 1) << flung.Err;
}

TEST(BatchHelp, PrintsUsage)
{
    ScratchDirectory dir;
    const BatchResult result = RunBatch(dir, {"--help"});
    EXPECT_EQ(result.Status, 0);
    EXPECT_EQ(result.Out.rfind("Usage: filonex-batch", 0), 0u);
    for (const char *status : {"0  done", "1  the run", "2  bad input", "3  a result", "143"})
        EXPECT_NE(result.Out.find(status), std::string::npos) << status;
}

} // namespace

namespace {

TEST_F(Batch, WorldSavedAfterSigtermResumesFromWhereTheRunStopped)
{
    const std::string world = dir.File("run.fxworld");
    BatchProcess process(dir, {"--settings", settings, "--seed", "3", "--time", "1e9", "--quiet",
                               "--chemistry-only", "--save-world", world});
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    process.Signal(SIGTERM);
    const BatchResult stopped = process.Wait(std::chrono::seconds(5));
    EXPECT_EQ(stopped.Status, 143) << stopped.Err;
    const double stoppedAt = Fields(Lines(stopped.Out).at(0), "time").at(0);

    const BatchResult resumed = RunBatch(
        dir, {"--resume", world, "--time", std::to_string(stoppedAt + 0.01), "--quiet", "--chemistry-only"});
    ASSERT_EQ(resumed.Status, 0) << resumed.Err;
    EXPECT_GT(Fields(Lines(resumed.Out).at(0), "time").at(0), stoppedAt);
    EXPECT_EQ(Entries(dir), 4); // settings, world, stdout, stderr: no temporary file left
}

TEST_F(Batch, ResumeRefusesBadWorldFilesAndOptionsThatDoNotGoWithIt)
{
    const std::string world = dir.File("bad.fxworld");
    WriteFile(world, "{\"format\": \"Filonex world\", \"formatVersion\": 7}");
    for (const auto &[arguments, message] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"--resume", world}, "version 7"},
             {{"--resume", world, "--settings", settings}, "--settings cannot be used with --resume"},
             {{"--resume", world, "--method", "Next reaction"}, "--method cannot be used with --resume"},
             {{"--checkpoint", world}, "--checkpoint and --checkpoint-every go together"},
             {{"--checkpoint-every", "0", "--checkpoint", world}, "above 0"}}) {
        const BatchResult result = RunBatch(dir, arguments);
        EXPECT_EQ(result.Status, 2) << message;
        EXPECT_NE(result.Err.find(message), std::string::npos) << result.Err;
    }
}

} // namespace
