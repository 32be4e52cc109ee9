// Runs end exactly at their end time, a run split in two by a later --time
// ends as the run in one piece, in a new process each, and a stop always
// gives its exit status.

#include "Programrun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <tuple>

namespace {

// A small box where filaments form, grow, get capped and severed quickly.
constexpr const char *kBusySettings = "[ValueListConcentrations]\nC_ACG=20\nC_CAP=2\nC_ADC=3\n"
                                      "[ValueListRates]\nRATE_FORM=1E-5\nRATE_DISB=20\nRATE_SEVR=0.1\n"
                                      "[ValueListSimulation]\nSIM_CUBESIZE=0.5\n"
                                      "[ValueListMechanics]\nMECH_BROWNIANFORCE=1E-23\n";

ProgramResult RunBatch(const ScratchDirectory &dir, std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), FILONEX_BATCH);
    arguments.push_back("--quiet");
    return RunProgram(dir, std::move(arguments));
}

// The simulated time on the first line of a final state, "time <t>".
double StateTime(const std::string &state)
{
    EXPECT_EQ(state.rfind("time ", 0), 0u) << state;
    return std::strtod(state.c_str() + 5, nullptr);
}

class SplitRun : public ::testing::TestWithParam<std::tuple<std::string, bool>> {
protected:
    SplitRun() { WriteFile(settings, kBusySettings); }

    // The options of a fresh run of the busy world.
    std::vector<std::string> Fresh(const std::string &time) const
    {
        return WithMode(
            {"--settings", settings, "--seed", "72", "--method", std::get<0>(GetParam()), "--time", time});
    }
    std::vector<std::string> WithMode(std::vector<std::string> arguments) const
    {
        if (!std::get<1>(GetParam()))
            arguments.push_back("--chemistry-only");
        return arguments;
    }

    ScratchDirectory dir;
    std::string settings = dir.File("busy.ini");
    std::string world = dir.File("run.fxworld");
};

TEST_P(SplitRun, ByALaterEndTimeEndsAsTheRunInOnePiece)
{
    const ProgramResult whole = RunBatch(dir, Fresh("0.2"));
    ASSERT_EQ(whole.Status, 0) << whole.Err;
    EXPECT_EQ(StateTime(whole.Out), 0.2);

    std::vector<std::string> first = Fresh("0.1");
    first.insert(first.end(), {"--save-world", world});
    const ProgramResult half = RunBatch(dir, first);
    ASSERT_EQ(half.Status, 0) << half.Err;
    EXPECT_EQ(StateTime(half.Out), 0.1);
    const ProgramResult rest = RunBatch(dir, WithMode({"--resume", world, "--time", "0.2"}));
    ASSERT_EQ(rest.Status, 0) << rest.Err;
    EXPECT_EQ(rest.Out, whole.Out);
}

INSTANTIATE_TEST_SUITE_P(BothMethods, SplitRun,
                         ::testing::Combine(::testing::Values(std::string("First reaction"), "Next reaction"),
                                            ::testing::Bool()));

TEST(RunEnd, SlowWorldsEndAtTheirEndTime)
{
    // The first reaction lies far after the end: about 2e3 s, 2e9 s, 2e5 s.
    const struct {
        const char *Rate, *Time;
        bool Mechanics;
    } cases[] = {{"1E-12", "0.02", false}, {"1E-18", "0.02", false}, {"1E-15", "0.01", true}};
    ScratchDirectory dir;
    const std::string settings = dir.File("slow.ini"), table = dir.File("table.tsv");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Rate);
        WriteFile(settings, std::string("[ValueListRates]\nRATE_FORM=") + c.Rate + "\n");
        std::vector<std::string> arguments = {"--settings", settings, "--seed",  "5",
                                              "--time",     c.Time,   "--table", table};
        if (!c.Mechanics)
            arguments.push_back("--chemistry-only");
        const ProgramResult result = RunBatch(dir, arguments);
        ASSERT_EQ(result.Status, 0) << result.Err;
        EXPECT_EQ(StateTime(result.Out), std::stod(c.Time));
        EXPECT_NE(result.Out.find("\nreactions 0\n"), std::string::npos) << result.Out;
        // A header and one row per 1e-4 s observation step, the start included.
        const std::string rows = ReadFile(table);
        EXPECT_LE(std::count(rows.begin(), rows.end(), '\n'), std::stod(c.Time) / 1e-4 + 3);
    }
}

TEST(RunEnd, AStopInASlowWorldGivesItsStatus)
{
    ScratchDirectory dir;
    const std::string settings = dir.File("slow.ini");
    WriteFile(settings, "[ValueListRates]\nRATE_FORM=1E-15\n");
    const Program run(dir,
                      {FILONEX_BATCH, "--settings", settings, "--seed", "5", "--time", "1000", "--quiet"});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    run.Signal(SIGTERM);
    const ProgramResult result = run.Wait();
    EXPECT_EQ(result.Status, 143) << result.Err;
    EXPECT_NE(result.Err.find("stopped by SIGTERM"), std::string::npos) << result.Err;
    EXPECT_LT(StateTime(result.Out), 1000.0);
}

} // namespace
