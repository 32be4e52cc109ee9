// A world saved by one process and resumed by filonex-batch in another ends
// in the very state that the world reaches when it goes on in memory.

#include "Cell.h"
#include "Parameters.h"
#include "Random.h"
#include "Resetandapply.h"
#include "Settingsfile.h"
#include "Statereport.h"
#include "TestSupport.h"
#include "Worldfile.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <tuple>

namespace {

// A small box where filaments form, grow, get capped and severed quickly.
constexpr std::string_view kBusySettings = "[ValueListConcentrations]\nC_ACG=20\nC_CAP=2\nC_ADC=3\n"
                                           "[ValueListRates]\nRATE_FORM=1E-5\nRATE_DISB=20\nRATE_SEVR=0.1\n"
                                           "[ValueListSimulation]\nSIM_CUBESIZE=0.5\n"
                                           "[ValueListMechanics]\nMECH_BROWNIANFORCE=1E-23\n"
                                           "[ValueListBacterium]\nBACT_RAD=7E-8\n";

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

// Runs filonex-batch with the arguments (paths without blanks); returns its
// standard output, or a text that names the failure.
std::string RunBatch(const ScratchDirectory &dir, const std::string &arguments)
{
    const std::string out = dir.File("out.txt");
    const int status = std::system((std::string(FILONEX_BATCH) + " " + arguments + " --quiet > " + out +
                                    " 2> " + dir.File("err.txt"))
                                       .c_str());
    if (status != 0)
        return "exit status " + std::to_string(status) + ": " + ReadFile(dir.File("err.txt"));
    return ReadFile(out);
}

class ResumeInANewProcess : public ::testing::TestWithParam<std::tuple<std::string_view, bool>> {};

TEST_P(ResumeInANewProcess, EndsAsTheWorldContinuedInMemory)
{
    const auto [method, withMechanics] = GetParam();
    const ScratchDirectory dir;
    WriteFile(dir.File("busy.ini"), std::string(kBusySettings));
    const SettingsFile settings(dir.File("busy.ini"));
    ParameterStore store;
    CreateParameterTables(store, &settings);
    store.Table(kSimulation)->Find("SIM_METHOD")->Value = method;
    SeedRandomWith(71);
    CCell cell;
    ResetAndApply(store, cell);
    const auto run = [&cell, withMechanics](double tEnd) {
        withMechanics ? cell.RunChemMech(tEnd) : cell.RunChemistry(tEnd);
    };
    run(0.1);
    ASSERT_GT(cell.Filaments.size(), 5u);
    SaveWorld(dir.File("t1.fxworld"), cell, store, 100.0);
    run(0.2);

    const std::string mode = withMechanics ? "" : " --chemistry-only";
    EXPECT_EQ(RunBatch(dir, "--resume " + dir.File("t1.fxworld") + " --time 0.2" + mode), StateReport(cell));
}

INSTANTIATE_TEST_SUITE_P(BothMethods, ResumeInANewProcess,
                         ::testing::Combine(::testing::Values(CCell::FIRST_REACTION, CCell::NEXT_REACTION),
                                            ::testing::Bool()));

TEST(ResumeInANewProcess, FromAMidRunCheckpointEndsAsTheUninterruptedRun)
{
    const ScratchDirectory dir;
    const std::string settings = dir.File("busy.ini");
    WriteFile(settings, std::string(kBusySettings));
    const std::string checkpoint = dir.File("checkpoint.fxworld");
    for (const std::string mode : {"--chemistry-only", ""}) {
        SCOPED_TRACE(mode);
        const std::string uninterrupted =
            RunBatch(dir, "--settings " + settings + " --seed 72 --method Next\\ reaction --time 0.2 " +
                              mode + " --checkpoint " + checkpoint + " --checkpoint-every 0.07");
        CCell atCheckpoint;
        LoadWorld(checkpoint, atCheckpoint);
        EXPECT_GE(atCheckpoint.Time, 0.14);
        EXPECT_LT(atCheckpoint.Time, 0.2);
        EXPECT_EQ(uninterrupted.rfind("time ", 0), 0u) << uninterrupted;
        EXPECT_EQ(RunBatch(dir, "--resume " + checkpoint + " " + mode), uninterrupted);
    }
}

} // namespace
