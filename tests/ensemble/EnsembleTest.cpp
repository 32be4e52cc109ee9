// Runs ensembles and sweeps with the built filonex-batch and checks their
// folders against single runs and a direct computation.

#include "Ensembleplan.h"
#include "Programrun.h"
#include "Tidytable.h"

#include <cmath>
#include <fstream>
#include <map>
#include <thread>

#include <sys/stat.h>

namespace {

using Table = std::vector<std::vector<std::string>>; // header first

Table ReadTable(const std::string &path)
{
    TidyTableReader reader(path);
    Table table = {reader.Header()};
    for (std::vector<std::string> row; reader.Next(row);)
        table.push_back(row);
    return table;
}

std::size_t ColumnOf(const Table &table, const std::string &title)
{
    return std::find(table[0].begin(), table[0].end(), title) - table[0].begin();
}

// The state letter ('R', 'S', 'Z', ...) and parent of a process, from
// /proc; state 0 for a process that is gone.
std::pair<char, pid_t> ProcessStatus(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat;
    std::getline(in, stat);
    const auto nameEnd = stat.rfind(')'); // the name may hold spaces
    std::pair<char, pid_t> status = {0, 0};
    if (nameEnd != std::string::npos)
        std::istringstream(stat.substr(nameEnd + 1)) >> status.first >> status.second;
    return status;
}

bool Running(pid_t pid)
{
    const char state = ProcessStatus(pid).first;
    return state != 0 && state != 'Z' && state != 'X';
}

std::vector<pid_t> ChildrenOf(pid_t parent)
{
    std::vector<pid_t> children;
    for (const auto &entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") == std::string::npos &&
            ProcessStatus(std::stoi(name)).second == parent)
            children.push_back(std::stoi(name));
    }
    return children;
}

class Ensemble : public ::testing::Test {
protected:
    Ensemble() { WriteFile(settings, ""); }

    ProgramResult Batch(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), {FILONEX_BATCH, "--settings", settings});
        return RunProgram(dir, arguments);
    }
    std::string RunFile(const std::string &folder, int run, const std::string &name)
    {
        return folder + "/" + RunFolderName(run) + "/" + name;
    }
    // Waits until each of the runs has begun its table in out, and so its run.
    void WaitUntilBegun(const std::vector<int> &runs)
    {
        const auto begun = [&](int run) {
            const auto folder = std::filesystem::path(RunFile(out, run, "")).parent_path();
            if (!std::filesystem::exists(folder))
                return false;
            for (const auto &entry : std::filesystem::directory_iterator(folder))
                if (entry.path().filename().string().rfind("table.tsv.", 0) == 0)
                    return true;
            return false;
        };
        for (int wait = 0; wait < 1000 && !std::all_of(runs.begin(), runs.end(), begun); ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    ScratchDirectory dir;
    const std::string settings = dir.File("settings.ini");
    const std::string out = dir.File("ensemble");
    const std::vector<std::string> run = {"--time", "0.3", "--chemistry-only", "--seed", "11"};
};

std::vector<std::string> Plus(std::vector<std::string> a, const std::vector<std::string> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(Ensemble, ParallelRunsEqualSingleRunsWithTheirRecordedSeeds)
{
    const ProgramResult ensemble = Batch(Plus(run, {"--runs", "8", "--jobs", "2", "--out", out}));
    ASSERT_EQ(ensemble.Status, 0) << ensemble.Err;
    const Table runs = ReadTable(out + "/runs.tsv");
    ASSERT_EQ(runs.size(), 9u);
    // SplitMix64(11 * 2^32 + r) modulo 2^31 - 1, worked out apart from the code.
    const char *const seeds[] = {"386233026",  "1577679676", "1013934213", "580852591",
                                 "1261644303", "1835987737", "2130565544", "1458460696"};
    for (int k = 0; k < 8; ++k) {
        const auto &row = runs[k + 1];
        EXPECT_EQ(row[0], std::to_string(k));
        EXPECT_EQ(row[ColumnOf(runs, "status")], "done");
        EXPECT_EQ(row[ColumnOf(runs, "seed")], seeds[k]);
        const ProgramResult single =
            Batch({"--time", "0.3", "--chemistry-only", "--seed", row[ColumnOf(runs, "seed")]});
        EXPECT_EQ(single.Out, ReadFile(RunFile(out, k, "state.txt"))) << "run " << k;
    }

    // Run 5 alone, as a task of a job array, into another folder.
    const std::string other = dir.File("other");
    const ProgramResult five = Batch(Plus(run, {"--runs", "8", "--out", other, "--run-index", "5"}));
    ASSERT_EQ(five.Status, 0) << five.Err;
    EXPECT_EQ(ReadFile(RunFile(other, 5, "state.txt")), ReadFile(RunFile(out, 5, "state.txt")));
    EXPECT_EQ(ReadFile(RunFile(other, 5, "table.tsv")), ReadFile(RunFile(out, 5, "table.tsv")));
    EXPECT_FALSE(std::filesystem::exists(RunFile(other, 4, "state.txt")));
}

TEST_F(Ensemble, SweepOfTwoValuesOfTwoParametersMakesFourPoints)
{
    const ProgramResult sweep =
        Batch(Plus(run, {"--runs", "2", "--sweep", "C_ACG=6,12", "--sweep", "C_CAP=0,1", "--out", out}));
    ASSERT_EQ(sweep.Status, 0) << sweep.Err;
    const Table runs = ReadTable(out + "/runs.tsv");
    ASSERT_EQ(runs.size(), 9u);
    EXPECT_EQ(runs[0], (std::vector<std::string>{"run", "point", "replica", "seed", "C_ACG", "C_CAP",
                                                 "status", "wall_time"}));
    // Points with the last sweep fastest; replica seeds shared by the points.
    const char *const points[] = {"0 6 0", "1 6 1", "2 12 0", "3 12 1"};
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(runs[k + 1][1] + " " + runs[k + 1][4] + " " + runs[k + 1][5], points[k / 2]);
        EXPECT_EQ(runs[k + 1][3], runs[k % 2 + 1][3]);
    }
    // The summary carries each point's swept values beside it.
    const Table summary = ReadTable(out + "/summary.tsv");
    EXPECT_EQ(std::vector(summary[0].begin(), summary[0].begin() + 4),
              (std::vector<std::string>{"point", "C_ACG", "C_CAP", "time"}));
    for (const auto &row : std::vector(summary.begin() + 1, summary.end()))
        ASSERT_EQ(row[0] + " " + row[1] + " " + row[2], points[std::stoi(row[0])]);
    // The swept values reach the world: no capping protein where C_CAP is 0,
    // half the actin where C_ACG is 6.
    std::map<std::string, double> first; // point and column -> mean at time 0
    for (const auto &row : summary)
        if (row[3] == "0")
            first[row[0] + row[4]] = std::strtod(row[6].c_str(), nullptr);
    EXPECT_EQ(first.size(), 4u * 43u);
    EXPECT_EQ(first["0CAP"], 0);
    EXPECT_GT(first["1CAP"], 4000);
    EXPECT_NEAR(first["2ACG"] / first["0ACG"], 2, 1e-3);
}

TEST_F(Ensemble, SummaryAgreesWithADirectComputation)
{
    const ProgramResult ensemble = Batch(Plus(run, {"--runs", "3", "--out", out, "--quiet"}));
    ASSERT_EQ(ensemble.Status, 0) << ensemble.Err;
    std::vector<Table> tables;
    for (int k = 0; k < 3; ++k)
        tables.push_back(ReadTable(RunFile(out, k, "table.tsv")));
    const Table summary = ReadTable(out + "/summary.tsv");
    std::size_t rows = 0;
    for (const auto &line : std::vector(summary.begin() + 1, summary.end())) {
        const std::size_t row = std::lround(std::stod(line[1]) / 0.01) + 1,
                          column = ColumnOf(tables[0], line[2]);
        std::vector<double> x;
        for (const Table &t : tables) {
            ASSERT_EQ(t[row][0], line[1]);
            if (!t[row][column].empty())
                x.push_back(std::stod(t[row][column]));
        }
        ASSERT_EQ(line[3], std::to_string(x.size()));
        if (x.empty())
            continue;
        const double mean = (x[0] + x[1] + x[2]) / 3;
        double squares = 0;
        for (const double v : x)
            squares += (v - mean) * (v - mean);
        const double sd = std::sqrt(squares / 2);
        EXPECT_NEAR(std::stod(line[4]), mean, 1e-12 * std::fabs(mean)) << line[2];
        EXPECT_NEAR(std::stod(line[5]), sd, 1e-9 * std::fabs(mean) + 1e-300) << line[2];
        // t(0.975, 2) = 4.302652729911275
        EXPECT_NEAR(std::stod(line[7]) - std::stod(line[4]), 4.302652729911275 * sd / std::sqrt(3),
                    1e-9 * (sd + 1));
        ++rows;
    }
    // Every observation up to the end of the shortest table, all 43 columns.
    const auto shortest = std::min({tables[0].size(), tables[1].size(), tables[2].size()});
    EXPECT_EQ(summary.size() - 1, (shortest - 1) * 43);
    EXPECT_EQ(rows, summary.size() - 1); // p_ values at time 0 too
}

TEST_F(Ensemble, FailedAndMissingRunsAreRecordedAndTheOthersGoOn)
{
    // An observation step of 0 cannot start: those runs fail.
    const ProgramResult sweep =
        Batch(Plus(run, {"--runs", "2", "--sweep", "SIM_OBSERVTIMESTEP=0,0.01", "--out", out}));
    EXPECT_EQ(sweep.Status, 1);
    EXPECT_NE(sweep.Err.find("4 runs: 2 done, 2 failed (0 1)"), std::string::npos) << sweep.Err;
    EXPECT_NE(ReadFile(RunFile(out, 0, "log.txt")).find("Observation Time step"), std::string::npos);
    const Table runs = ReadTable(out + "/runs.tsv");
    EXPECT_EQ(runs[1][5], "failed");
    EXPECT_EQ(runs[3][5], "done");
    EXPECT_EQ(ReadTable(out + "/summary.tsv").at(1)[0], "1");

    std::filesystem::remove(RunFile(out, 3, "run.tsv"));
    const ProgramResult merge = RunProgram(dir, {FILONEX_BATCH, "merge", out});
    EXPECT_EQ(merge.Status, 1);
    EXPECT_EQ(merge.Err, "4 runs: 1 done, 2 failed (0 1), 1 missing (3)\n");
    EXPECT_EQ(ReadTable(out + "/runs.tsv")[4][5], "missing");
}

TEST_F(Ensemble, SigtermStopsTheRunsWhichRecordWhatTheyReached)
{
    const Program ensemble(dir, {FILONEX_BATCH, "--settings", settings, "--time", "100", "--runs", "3",
                                 "--jobs", "2", "--seed", "1", "--out", out});
    WaitUntilBegun({0, 1});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ensemble.Signal(SIGTERM);
    const ProgramResult result = ensemble.Wait();
    EXPECT_EQ(result.Status, 143);
    EXPECT_NE(result.Err.find("3 runs: 0 done, 2 stopped (0 1), 1 missing (2)"), std::string::npos)
        << result.Err;
    for (int run = 0; run < 2; ++run) {
        EXPECT_GT(ReadTable(RunFile(out, run, "table.tsv")).size(), 1u);
        EXPECT_NE(ReadFile(RunFile(out, run, "state.txt")).find("filaments"), std::string::npos);
    }
}

TEST_F(Ensemble, BadEnsemblesAreRefusedWithStatus2)
{
    ASSERT_EQ(Batch(Plus(run, {"--runs", "2", "--out", out})).Status, 0);
    const std::vector<std::vector<std::string>> bad = {
        {"--runs", "0", "--out", out},
        {"--jobs", "2"},
        {"--out", out},
        {"--runs", "2"},
        {"--sweep", "BOGUS=1", "--out", out},
        {"--sweep", "C_ACG=", "--out", out},
        {"--sweep", "C_ACG=1,1", "--out", out},
        {"--sweep", "C_ACG=1,2,x", "--out", out},
        {"--sweep", "C_ACG=1", "--sweep", "C_ACG=2", "--out", out},
        {"--runs", "2", "--out", out, "--table", dir.File("t.tsv")},
        {"--runs", "2", "--out", out, "--save-world", dir.File("w.fxworld")},
        {"--runs", "2", "--out", out, "--run-index", "2"},
        {"--sweep", "SIM_TIME=1,2", "--out", out}, // --time would override it
        {"--runs", "3", "--out", out},             // the folder holds another ensemble
    };
    for (const auto &arguments : bad) {
        const ProgramResult result = Batch(Plus(run, arguments));
        EXPECT_EQ(result.Status, 2) << arguments[0] << " " << arguments[1];
        EXPECT_EQ(result.Err.rfind("filonex-batch: ", 0), 0u) << result.Err;
    }
    EXPECT_EQ(RunProgram(dir, {FILONEX_BATCH, "merge", dir.Path()}).Status, 2);

    // A summary or manifest that is no regular file is kept, and no run begins.
    for (const char *name : {"summary.tsv", "runs.tsv"}) {
        const std::string path = out + "/" + name;
        std::filesystem::remove(path);
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        for (const ProgramResult &result :
             {Batch(Plus(run, {"--runs", "2", "--out", out})), RunProgram(dir, {FILONEX_BATCH, "merge", out})}) {
            EXPECT_EQ(result.Status, 2) << name;
            EXPECT_NE(result.Err.find("'" + path + "': it is not a regular file"), std::string::npos)
                << result.Err;
        }
        EXPECT_EQ(std::filesystem::status(path).type(), std::filesystem::file_type::fifo);
        std::filesystem::remove(path);
    }
}

TEST_F(Ensemble, TableHasTheTidyColumnsAndExactNumbers)
{
    const std::string path = dir.File("table.tsv");
    ASSERT_EQ(Batch(Plus(run, {"--table", path})).Status, 0);
    const Table table = ReadTable(path);
    ASSERT_EQ(table[0].size(), 44u);
    EXPECT_EQ(table[0][11], "n_FORM");
    EXPECT_EQ(table[0][38], "mean_size");
    EXPECT_EQ(table[0][43], "bact_disp2");
    // Times 0, 0.01, ..., 0.3: k × 0.01, the last the end time.
    ASSERT_EQ(table.size(), 32u);
    EXPECT_EQ(table[30][0], "0.29");
    EXPECT_EQ(table.back()[0], "0.3");
    for (std::size_t row = 2; row < table.size(); ++row) {
        double a = 0, p = 0;
        for (std::size_t c = 20; c < 29; ++c)
            a += std::stod(table[row][c]);
        // Every p is a / sum a, which the printed numbers give back exactly.
        for (std::size_t c = 29; c < 38; ++c) {
            EXPECT_EQ(std::stod(table[row][c]), std::stod(table[row][c - 9]) / a);
            p += std::stod(table[row][c]);
        }
        EXPECT_NEAR(p, 1, 1e-12);
    }
}

TEST_F(Ensemble, RunsStopWhenTheEnsembleIsKilled)
{
    const Program ensemble(dir, {FILONEX_BATCH, "--settings", settings, "--time", "100", "--runs", "2",
                                 "--jobs", "2", "--seed", "1", "--out", out});
    WaitUntilBegun({0, 1});
    const std::vector<pid_t> runs = ChildrenOf(ensemble.Pid());
    ASSERT_EQ(runs.size(), 2u);
    ensemble.Signal(SIGKILL);
    EXPECT_EQ(ensemble.Wait().Status, 1000 + SIGKILL);
    // Polled: only that they end soon matters, not how soon.
    const auto anyRunning = [&] { return std::any_of(runs.begin(), runs.end(), Running); };
    for (int wait = 0; wait < 1000 && anyRunning(); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(anyRunning());
    for (const pid_t pid : runs)
        if (Running(pid))
            ::kill(pid, SIGKILL);
    // Stopped as by SIGTERM: each wrote what it reached.
    for (int run = 0; run < 2; ++run)
        EXPECT_NE(ReadFile(RunFile(out, run, "run.tsv")).find("\tstopped\t"), std::string::npos);
}

TEST_F(Ensemble, AHangupIgnoredByWhoeverStartedItStopsNothing)
{
    // As under nohup: the program inherits the ignored hangup.
    struct sigaction ignore = {}, previous;
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGHUP, &ignore, &previous);
    const Program ensemble(dir, {FILONEX_BATCH, "--settings", settings, "--time", "0.5", "--runs", "2",
                                 "--jobs", "2", "--seed", "1", "--out", out});
    sigaction(SIGHUP, &previous, nullptr);
    WaitUntilBegun({0, 1});
    for (const pid_t pid : ChildrenOf(ensemble.Pid()))
        ::kill(pid, SIGHUP);
    ensemble.Signal(SIGHUP);
    const ProgramResult result = ensemble.Wait();
    EXPECT_EQ(result.Status, 0) << result.Err;
    EXPECT_NE(result.Err.find("2 runs: 2 done"), std::string::npos) << result.Err;
}

TEST_F(Ensemble, PlansOfMoreThanAMillionRunsAreRefused)
{
    const struct {
        std::vector<std::string> Arguments;
        std::string Out; // empty: refused
    } cases[] = {
        {{"--runs", "1000000", "--prepare"}, "1000000\n"},
        {{"--runs", "500000", "--sweep", "C_ACG=1,2", "--prepare"}, "1000000\n"},
        {{"--runs", "500001", "--sweep", "C_ACG=1,2", "--prepare"}, ""},
        {{"--runs", "2147483647", "--sweep", "C_ACG=1,2", "--prepare"}, ""},
        {{"--runs", "1073741824", "--sweep", "C_ACG=1,2", "--sweep", "C_CAP=1,2"}, ""},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const std::string folder = dir.File("plan" + std::to_string(i));
        const ProgramResult result = Batch(Plus(Plus(run, cases[i].Arguments), {"--out", folder}));
        EXPECT_EQ(result.Out, cases[i].Out) << i;
        EXPECT_EQ(result.Status, cases[i].Out.empty() ? 2 : 0) << i << result.Err;
        if (cases[i].Out.empty()) {
            EXPECT_NE(result.Err.find("the 1000000 runs an ensemble may have"), std::string::npos)
                << result.Err;
            EXPECT_FALSE(std::filesystem::exists(folder)) << i;
        }
    }
}

TEST_F(Ensemble, TasksAndMergesOfAnotherEnsembleAreRefusedNamingTheDifference)
{
    const std::vector<std::string> plan = {"--runs", "2", "--out", out}; // run has --seed 11
    ASSERT_EQ(Batch(Plus(Plus(run, plan), {"--prepare"})).Status, 0);
    const std::string other = dir.File("other.ini");
    WriteFile(other, "[ValueListConcentrations]\nC_ACG=5\n");
    const struct {
        std::vector<std::string> Arguments;
        std::string Difference;
    } cases[] = {
        {{"--settings", settings, "--time", "0.2", "--chemistry-only"}, "time 0.2 here, 0.3 there"},
        {{"--settings", settings, "--time", "0.3"}, "mechanics on here, off there"},
        {{"--settings", settings, "--time", "0.3", "--chemistry-only", "--method", "Next reaction"},
         "method Next reaction here, that of the settings file there"},
        {{"--settings", other, "--time", "0.3", "--chemistry-only"}, "parameters hash "},
    };
    for (const auto &c : cases) {
        std::vector<std::string> task = Plus(Plus({FILONEX_BATCH}, c.Arguments), plan);
        const ProgramResult result = RunProgram(dir, Plus(task, {"--run-index", "1"}));
        EXPECT_EQ(result.Status, 2) << c.Difference;
        EXPECT_NE(result.Err.find(c.Difference), std::string::npos) << result.Err;
        EXPECT_FALSE(std::filesystem::exists(RunFile(out, 1, "")));
    }
    // A run of another ensemble moved into the folder.
    const std::string elsewhere = dir.File("elsewhere");
    ASSERT_EQ(Batch({"--time", "0.2", "--chemistry-only", "--seed", "11", "--runs", "2", "--out", elsewhere,
                     "--run-index", "1"})
                  .Status,
              0);
    std::filesystem::rename(elsewhere + "/" + RunFolderName(1), out + "/" + RunFolderName(1));
    const ProgramResult merge = RunProgram(dir, {FILONEX_BATCH, "merge", out});
    EXPECT_EQ(merge.Status, 2);
    EXPECT_NE(merge.Err.find(RunFolderName(1) + " is a run of another ensemble: time 0.2 here, "
                                                "0.3 there"),
              std::string::npos)
        << merge.Err;
}

TEST_F(Ensemble, TheWindowsSectionAndDefaultsWrittenOutMakeNoOtherEnsemble)
{
    const std::vector<std::string> plan = {"--runs", "2", "--out", out};
    ASSERT_EQ(Batch(Plus(Plus(run, plan), {"--run-index", "0"})).Status, 0);
    WriteFile(settings, "[Window]\nWidth=900\n; the default\n[ValueListConcentrations]\nC_ACG=12\n");
    const ProgramResult second = Batch(Plus(Plus(run, plan), {"--run-index", "1"}));
    ASSERT_EQ(second.Status, 0) << second.Err;
    EXPECT_EQ(second.Err.find("[Window]"), std::string::npos) << second.Err;
    const std::string parameters = ReadFile(RunFile(out, 1, "parameters.ini"));
    EXPECT_EQ(parameters.find("Window"), std::string::npos) << parameters;
    EXPECT_NE(parameters.find("C_ACG=12"), std::string::npos) << parameters;
}

TEST_F(Ensemble, MergeLeavesOutARunWhoseTableIsDamagedNamingFileAndLine)
{
    ASSERT_EQ(Batch(Plus(run, {"--runs", "3", "--out", out, "--quiet"})).Status, 0);
    const std::string table = RunFile(out, 1, "table.tsv");
    const std::string whole = ReadFile(table);
    // Line 5 (the header is line 1) and what follows it.
    std::size_t start = 0;
    for (int line = 1; line < 5; ++line)
        start = whole.find('\n', start) + 1;
    const std::size_t end = whole.find('\n', start);
    const std::string line = whole.substr(start, end - start), rest = whole.substr(end);
    // Line 5 with its second field replaced.
    const std::size_t second = line.find('\t') + 1, third = line.find('\t', second);
    const auto withSecond = [&](const std::string &field) {
        return whole.substr(0, start) + line.substr(0, second) + field + line.substr(third) + rest;
    };
    const std::string damaged[] = {
        whole.substr(0, start) + line.substr(0, line.rfind('\t')) + rest, // a field short
        withSecond("nan"),
        withSecond("-inf"),
        withSecond("12x"),
        whole.substr(0, start + line.size() / 2), // cut short
    };
    for (const std::string &text : damaged) {
        WriteFile(table, text);
        const ProgramResult merge = RunProgram(dir, {FILONEX_BATCH, "merge", out});
        EXPECT_EQ(merge.Status, 1);
        EXPECT_NE(merge.Err.find(table + ":5: "), std::string::npos) << merge.Err;
        EXPECT_NE(merge.Err.find("3 runs: 2 done, 1 failed (1)"), std::string::npos) << merge.Err;
        const Table runs = ReadTable(out + "/runs.tsv");
        EXPECT_EQ(runs[2][ColumnOf(runs, "status")], "failed");
        const Table summary = ReadTable(out + "/summary.tsv");
        ASSERT_GT(summary.size(), 1u);
        EXPECT_EQ(summary[1][ColumnOf(summary, "n")], "2"); // the two other runs
    }
}

TEST(ReplicaSeed, FollowsTheDocumentedFormula)
{
    // SplitMix64(base * 2^32 + r) modulo 2^31 - 1, worked out apart from the code.
    const struct {
        std::uint32_t Base;
        std::int64_t Replica;
        std::uint32_t Seed;
    } cases[] = {{0, 0, 1063198245}, {0, 1, 722909340}, {42, 3, 680342255}, {4294967295u, 999999, 69921869}};
    for (const auto &c : cases)
        EXPECT_EQ(ReplicaSeed(c.Base, c.Replica), c.Seed) << c.Base << " " << c.Replica;
}

} // namespace
