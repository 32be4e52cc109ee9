// A world saved by one process and resumed by filonex-batch in another ends
// in the very state that the world reaches when it goes on in memory; a run
// resumed from a mid-run checkpoint or after a stop ends as the run never
// interrupted.

#include "Cell.h"
#include "Programrun.h"
#include "Random.h"
#include "Resetandapply.h"
#include "Appliedparameters.h"
#include "Settingsfile.h"
#include "Statereport.h"
#include "TestSupport.h"
#include "Worldfile.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <tuple>

#include <sys/stat.h>

namespace {

// A small box where filaments form, grow, get capped and severed quickly.
constexpr const char *kBusySettings = "[ValueListConcentrations]\nC_ACG=20\nC_CAP=2\nC_ADC=3\n"
                                      "[ValueListRates]\nRATE_FORM=1E-5\nRATE_DISB=20\nRATE_SEVR=0.1\n"
                                      "[ValueListSimulation]\nSIM_CUBESIZE=0.5\n"
                                      "[ValueListMechanics]\nMECH_BROWNIANFORCE=1E-23\n";

std::string StateReport(const CCell &cell)
{
    char *text = nullptr;
    std::size_t size = 0;
    std::FILE *out = open_memstream(&text, &size);
    PrintState(out, cell);
    std::fclose(out);
    std::string report(text, size);
    std::free(text);
    return report;
}

// The final state that filonex-batch prints for the arguments (paths without
// blanks), or a text that names its failure.
std::string RunBatch(const ScratchDirectory &dir, const std::string &arguments)
{
    const std::string out = dir.File("out.txt"), err = dir.File("err.txt");
    const std::string command =
        std::string(FILONEX_BATCH) + " " + arguments + " --quiet >" + out + " 2>" + err;
    const int status = std::system(command.c_str());
    return status == 0 ? ReadFile(out) : "status " + std::to_string(status) + ": " + ReadFile(err);
}

class ResumeInANewProcess : public ::testing::TestWithParam<std::tuple<std::string, bool>> {
protected:
    ResumeInANewProcess() { WriteFile(settings, kBusySettings); }

    // The busy world's parameters with the method of the test.
    ParameterStore Parameters() const
    {
        ParameterStore store;
        const SettingsFile file(settings);
        CreateParameterTables(store, &file);
        store.Table(kSimulation)->Find("SIM_METHOD")->Value = std::get<0>(GetParam());
        return store;
    }
    void Run(CCell &cell, double tEnd) const
    {
        std::get<1>(GetParam()) ? cell.RunChemMech(tEnd) : cell.RunChemistry(tEnd);
    }

    ScratchDirectory dir;
    std::string settings = dir.File("busy.ini");
};

TEST_P(ResumeInANewProcess, EndsAsTheWorldContinuedInMemory)
{
    const bool withMechanics = std::get<1>(GetParam());
    const ParameterStore store = Parameters();
    CCell cell;
    cell.Random.SeedWith(71);
    ResetAndApply(store, cell);
    const auto run = [&](double tEnd) { Run(cell, tEnd); };
    run(0.1);
    ASSERT_GT(cell.Filaments.size(), 5u);
    SaveWorld(dir.File("t1.fxworld"), cell, store, 100.0);
    run(0.2);
    const std::string mode = withMechanics ? "" : " --chemistry-only";
    EXPECT_EQ(RunBatch(dir, "--resume " + dir.File("t1.fxworld") + " --time 0.2" + mode), StateReport(cell));
}

TEST_P(ResumeInANewProcess, FromAMidRunCheckpointEndsAsTheUninterruptedRun)
{
    const auto [method, withMechanics] = GetParam();
    const std::string checkpoint = dir.File("checkpoint.fxworld");
    const std::string mode = withMechanics ? "" : " --chemistry-only";
    const std::string uninterrupted =
        RunBatch(dir, "--settings " + settings + " --seed 72 --method '" + method + "' --time 0.2" + mode +
                          " --checkpoint " + checkpoint + " --checkpoint-every 0.07");
    EXPECT_EQ(uninterrupted.rfind("time ", 0), 0u) << uninterrupted;
    CCell atCheckpoint;
    LoadWorld(checkpoint, atCheckpoint);
    EXPECT_GE(atCheckpoint.Time, 0.14);
    EXPECT_LT(atCheckpoint.Time, 0.2);
    EXPECT_EQ(RunBatch(dir, "--resume " + checkpoint + mode), uninterrupted);
}

TEST_P(ResumeInANewProcess, AfterAStopInACatchUpEndsAsTheUninterruptedRun)
{
    const bool withMechanics = std::get<1>(GetParam());
    ParameterStore store = Parameters();
    store.Table(kSimulation)->Find("SIM_OBSERVTIMESTEP")->Value = "0.001";
    const auto world = [&](CCell &cell) {
        cell.Random.SeedWith(73);
        ResetAndApply(store, cell);
    };
    const auto run = [&](CCell &cell, double tEnd) { Run(cell, tEnd); };
    CCell uninterrupted;
    world(uninterrupted);
    run(uninterrupted, 0.2);
    const std::string expected = StateReport(uninterrupted);

    CCell stopped;
    world(stopped);
    // Observations come only while the clocks catch up to a drawn reaction.
    int observations = 0;
    stopped.OnObserve = [&] {
        if (++observations == 77)
            stopped.Stop();
    };
    run(stopped, 0.2);
    ASSERT_LT(stopped.Time, 0.2);
    // A leap stopped at its end fires there; a reaction waits.
    ASSERT_TRUE(stopped.Pending || stopped.Leaping);
    const std::string mode = withMechanics ? "" : " --chemistry-only";
    SaveWorld(dir.File("stopped.fxworld"), stopped, store, 0.2);
    EXPECT_EQ(RunBatch(dir, "--resume " + dir.File("stopped.fxworld") + mode), expected);
    // Start again in the same process.
    run(stopped, 0.2);
    EXPECT_EQ(StateReport(stopped), expected);
}

// The busy world above leaps rarely; the default world leaps thousands of
// times, and a checkpoint between leaps (and between the exact steps that
// interrupt them) must carry the leap count and the exact steps owed.
TEST(ResumeLeaping, FromAMidRunCheckpointEndsAsTheUninterruptedRun)
{
    ScratchDirectory dir;
    WriteFile(dir.File("default.ini"), "");
    const std::string checkpoint = dir.File("checkpoint.fxworld");
    const std::string uninterrupted =
        RunBatch(dir, "--settings " + dir.File("default.ini") +
                          " --seed 74 --method Tau-leap --time 1 --chemistry-only --checkpoint " +
                          checkpoint + " --checkpoint-every 0.3");
    EXPECT_EQ(uninterrupted.rfind("time ", 0), 0u) << uninterrupted;
    CCell atCheckpoint;
    LoadWorld(checkpoint, atCheckpoint);
    EXPECT_GT(atCheckpoint.TauLeap.LeapNumber, 50u);
    EXPECT_EQ(RunBatch(dir, "--resume " + checkpoint + " --chemistry-only"), uninterrupted);
}

// The rows of a tab-separated table, header first.
std::vector<std::vector<std::string>> ReadTable(const std::string &path)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(ReadFile(path));
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> &row = rows.emplace_back();
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, '\t');)
            row.push_back(field);
    }
    return rows;
}

// The bacterium's displacement is measured from where the reset put it, also
// in a run resumed from a checkpoint.
TEST(ResumedTable, BacteriumDisplacementGoesOnAsInTheUninterruptedRun)
{
    ScratchDirectory dir;
    WriteFile(dir.File("busy.ini"), kBusySettings);
    const std::string checkpoint = dir.File("checkpoint.fxworld");
    ASSERT_EQ(RunBatch(dir, "--settings " + dir.File("busy.ini") + " --seed 74 --time 0.2 --table " +
                                dir.File("full.tsv") + " --checkpoint " + checkpoint +
                                " --checkpoint-every 0.07")
                  .rfind("time ", 0),
              0u);
    ASSERT_EQ(RunBatch(dir, "--resume " + checkpoint + " --table " + dir.File("rest.tsv")).rfind("time ", 0),
              0u);
    const auto full = ReadTable(dir.File("full.tsv"));
    const auto rest = ReadTable(dir.File("rest.tsv"));
    ASSERT_EQ(full[0].back(), "bact_disp2");
    ASSERT_GT(rest.size(), 3u);
    // After the starting point (the world as the checkpoint left it, between
    // two observations) the rows are those of the uninterrupted run.
    EXPECT_EQ(std::vector(rest.begin() + 2, rest.end()),
              std::vector(full.end() - (rest.size() - 2), full.end()));
    // Every distance counts from the centre of the 0.5 um box, and by the
    // end the filaments have pushed the bacterium away from it.
    const std::size_t x = full[0].size() - 5;
    for (const auto &row : std::vector(full.begin() + 1, full.end())) {
        double squares = 0;
        for (std::size_t axis = 0; axis < 3; ++axis)
            squares += std::pow(std::stod(row[x + axis]) - 0.25e-6, 2);
        EXPECT_NEAR(std::stod(row[x + 3]), std::sqrt(squares), 1e-9 * std::sqrt(squares));
        EXPECT_NEAR(std::stod(row[x + 4]), squares, 1e-9 * squares);
    }
    EXPECT_GT(std::stod(full.back()[x + 3]), 0.0);
}

// A world file that cannot be read or used stops the runner with status 2,
// naming the reason or the place, before anything runs; a FIFO without a
// writer is not waited on.
TEST(ResumeRefusal, UnreadableAndInconsistentWorldsGiveStatus2)
{
    ScratchDirectory dir;
    ::mkfifo(dir.File("fifo").c_str(), 0600);
    ParameterStore store;
    CreateParameterTables(store, nullptr);
    CCell cell;
    ResetAndApply(store, cell);
    SaveWorld(dir.File("good.fxworld"), cell, store, 1.0);
    std::string text = ReadFile(dir.File("good.fxworld"));
    WriteFile(dir.File("arb.fxworld"), text.replace(text.find("\"ARB\": 0"), 8, "\"ARB\": 3"));
    for (const auto &[path, reason] :
         {std::pair{dir.Path().string(), "Is a directory"}, std::pair{dir.File("fifo"), "not a regular file"},
          std::pair{std::string("/dev/zero"), "not a regular file"},
          std::pair{dir.File("arb.fxworld"), "cell.species.ARB"}}) {
        const ProgramResult result =
            Program(dir, {FILONEX_BATCH, "--resume", path}).Wait(std::chrono::seconds(20));
        EXPECT_EQ(result.Status, 2) << path;
        EXPECT_NE(result.Err.find(reason), std::string::npos) << result.Err;
        EXPECT_EQ(result.Out, "");
    }
}

// --set changes the resumed world as SetRunParameter changes it in memory,
// and refuses what the world's state fixes.
TEST(ResumeWithChanges, RatesAndTemperatureChangeOthersAreRefused)
{
    ScratchDirectory dir;
    WriteFile(dir.File("busy.ini"), kBusySettings);
    ParameterStore store;
    const SettingsFile file(dir.File("busy.ini"));
    CreateParameterTables(store, &file);
    CCell cell;
    cell.Random.SeedWith(75);
    ResetAndApply(store, cell);
    cell.RunChemistry(0.1);
    SaveWorld(dir.File("w.fxworld"), cell, store, 0.1);
    SetRunParameter(store, cell, "RATE_ASSB", "30");
    SetRunParameter(store, cell, "MECH_TEMP", "310");
    cell.RunChemistry(0.2);
    EXPECT_EQ(RunBatch(dir, "--resume " + dir.File("w.fxworld") +
                                " --time 0.2 --chemistry-only --set RATE_ASSB=30 --set MECH_TEMP=310"),
              StateReport(cell));

    for (const auto &[arguments, message] :
         {std::pair{std::vector<std::string>{"--resume", dir.File("w.fxworld"), "--set", "C_ACG=3"},
                    "--set C_ACG=3: C_ACG cannot change while a world runs on"},
          std::pair{std::vector<std::string>{"--set", "RATE_ASSB=3"}, "--set changes a resumed world"}}) {
        std::vector<std::string> command = {FILONEX_BATCH};
        command.insert(command.end(), arguments.begin(), arguments.end());
        const ProgramResult result = Program(dir, command).Wait(std::chrono::seconds(20));
        EXPECT_EQ(result.Status, 2);
        EXPECT_NE(result.Err.find(message), std::string::npos) << result.Err;
    }
}

// Checkpoint times are whole periods of the clock: a period too short to
// count up to the end time is refused before the run, and the shortest
// period that the message gives is taken.
TEST(CheckpointPeriod, TooShortToCountIsRefusedUpFront)
{
    ScratchDirectory dir;
    WriteFile(dir.File("busy.ini"), kBusySettings);
    const auto run = [&](const std::string &period) {
        return Program(dir, {FILONEX_BATCH, "--settings", dir.File("busy.ini"), "--seed", "1", "--time",
                             "0.02", "--chemistry-only", "--checkpoint", dir.File("c.fxworld"),
                             "--checkpoint-every", period})
            .Wait(std::chrono::seconds(60));
    };
    for (const char *period : {"5E-324", "2.2E-308", "2E-18"}) {
        const ProgramResult refused = run(period);
        EXPECT_EQ(refused.Status, 2) << period;
        EXPECT_EQ(refused.Out, "");
        EXPECT_FALSE(std::filesystem::exists(dir.File("c.fxworld")));
        const std::string shortest = refused.Err.substr(refused.Err.find("at least ") + 9);
        EXPECT_EQ(shortest, "2.22045E-18 s\n"); // 0.02 s / 2^53, rounded up
    }
    EXPECT_EQ(run("2.22045E-18").Status, 0);
    EXPECT_TRUE(std::filesystem::exists(dir.File("c.fxworld")));
}

INSTANTIATE_TEST_SUITE_P(EveryMethod, ResumeInANewProcess,
                         ::testing::Combine(::testing::Values(std::string("First reaction"), "Next reaction",
                                                              "Tau-leap"),
                                            ::testing::Bool()));

} // namespace
