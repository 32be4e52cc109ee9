// The result files of filonex-batch, run as a program: the paths it refuses
// before a run and the mode of what it writes.

#include "Programrun.h"
#include "TestSupport.h"

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

class BatchOutputs : public ::testing::Test {
protected:
    BatchOutputs() : settings(dir.File("settings.ini")) { WriteFile(settings, ""); }

    ProgramResult Run(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), FILONEX_BATCH);
        return RunProgram(dir, std::move(arguments));
    }

    std::vector<std::string> ShortRun() const
    {
        return {"--settings", settings, "--seed", "1", "--time", "0.05", "--chemistry-only"};
    }

    ScratchDirectory dir;
    std::string settings;
};

mode_t ModeOf(const std::string &path)
{
    struct stat status {};
    ::stat(path.c_str(), &status);
    return status.st_mode & 07777;
}

std::vector<std::string> Joined(std::vector<std::string> first, const std::vector<std::string> &second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

TEST_F(BatchOutputs, OutputOnAnInputOrOnAnotherOutputIsRefusedBeforeTheRun)
{
    const std::string world = dir.File("w.fxworld");
    auto save = ShortRun();
    save.insert(save.end(), {"--save-world", world});
    ASSERT_EQ(Run(save).Status, 0);
    const std::string saved = ReadFile(world);
    fs::create_directories(dir.Path() / "sub");
    fs::create_symlink(world, dir.File("link-to-world"));
    fs::create_hard_link(world, dir.File("hard-link-to-world"));
    fs::create_symlink(settings, dir.File("link-to-settings"));
    fs::create_symlink("x.tsv", dir.File("link-to-x")); // x.tsv is yet to be made
    const std::string x = dir.File("x.tsv");
    const std::string resumes = "it is the world file that --resume reads";
    const std::string same = "are the same file";
    const std::string onSettings = "it is the settings file";
    const struct {
        std::vector<std::string> Arguments;
        std::string Message;
    } cases[] = {
        {{"--resume", world, "--time", "1", "--table", world}, resumes},
        {{"--resume", world, "--time", "1", "--observe", dir.File("link-to-world")}, resumes},
        {{"--resume", world, "--time", "1", "--table", dir.File("hard-link-to-world")}, resumes},
        {{"--resume", dir.File("sub/../w.fxworld"), "--time", "1", "--table", world}, resumes},
        {Joined(ShortRun(), {"--table", dir.File("sub/../settings.ini")}), onSettings},
        {Joined(ShortRun(), {"--observe", dir.File("link-to-settings")}), onSettings},
        {Joined(ShortRun(), {"--table", x, "--save-world", x}), same},
        {Joined(ShortRun(), {"--table", x, "--observe", dir.File("./sub/../x.tsv")}), same},
        {Joined(ShortRun(), {"--table", x, "--checkpoint", dir.File("link-to-x"), "--checkpoint-every", "1"}),
         same},
        {Joined(ShortRun(), {"--save-world", x, "--checkpoint", x, "--checkpoint-every", "1"}), same},
        {{"--resume", world, "--time", "1", "--save-world", world, "--checkpoint", dir.File("link-to-world"),
          "--checkpoint-every", "1"},
         same},
    };
    for (const auto &c : cases) {
        const ProgramResult result = Run(c.Arguments);
        EXPECT_EQ(result.Status, 2) << testing::PrintToString(c.Arguments) << " " << result.Err;
        EXPECT_EQ(result.Out, "") << testing::PrintToString(c.Arguments);
        EXPECT_NE(result.Err.find(c.Message), std::string::npos) << result.Err;
        EXPECT_EQ(ReadFile(world), saved);
        EXPECT_EQ(ReadFile(settings), "");
        EXPECT_FALSE(fs::exists(x)) << testing::PrintToString(c.Arguments);
    }

    // The world files of a resumed run may replace the world it continues.
    const ProgramResult resumed =
        Run({"--resume", world, "--checkpoint", world, "--checkpoint-every", "1", "--time", "0.1"});
    EXPECT_EQ(resumed.Status, 0) << resumed.Err;
}

TEST_F(BatchOutputs, FoldersOfAllOutputsAreCheckedBeforeTheRun)
{
    const std::string missing = dir.File("missing/out");
    for (const auto &output :
         std::vector<std::vector<std::string>>{{"--save-world", missing},
                                               {"--checkpoint", missing, "--checkpoint-every", "0.01"},
                                               {"--save-world", "/sys/out.fxworld"}, // refused even to root
                                               {"--table", missing},
                                               {"--observe", missing}}) {
        const ProgramResult result = Run(Joined(ShortRun(), output));
        EXPECT_EQ(result.Status, 2) << output[0] << " " << result.Err;
        EXPECT_EQ(result.Out, "") << output[0] << ": the run was made";
        EXPECT_NE(result.Err.find("Cannot create file! " + output[1]), std::string::npos) << result.Err;
    }
}

TEST_F(BatchOutputs, NewFilesGetTheModeTheUmaskAllows)
{
    const std::vector<std::string> outputs = {dir.File("run.txt"), dir.File("run.tsv"),
                                              dir.File("run.fxworld")};
    for (const auto &[umask, mode] : {std::pair<mode_t, mode_t>{022, 0644}, {077, 0600}, {002, 0664}}) {
        for (const std::string &output : outputs)
            fs::remove(output);
        const mode_t previous = ::umask(umask);
        const Program run(
            dir, Joined({FILONEX_BATCH}, Joined(ShortRun(), {"--observe", outputs[0], "--table", outputs[1],
                                                             "--save-world", outputs[2]})));
        ::umask(previous);
        ASSERT_EQ(run.Wait().Status, 0);
        for (const std::string &output : outputs)
            EXPECT_EQ(ModeOf(output), mode) << output << " under umask " << std::oct << umask;
    }
}

// A result's bytes reach the disk before its name does: the system calls of
// a run, traced, fsync the temporary file before renaming it into place.
TEST_F(BatchOutputs, EachResultIsFlushedBeforeItIsRenamedIntoPlace)
{
    if (RunProgram(dir, {"/usr/bin/strace", "-V"}).Status != 0)
        GTEST_SKIP() << "strace is missing (scripts/setup.sh installs it)";
    const std::string table = dir.File("t.tsv"), trace = dir.File("trace.txt");
    // LeakSanitizer, in the sanitizer build, cannot run under a tracer.
    auto line = Joined({"/usr/bin/strace", "-f", "-qq", "-e", "trace=openat,fsync,fdatasync,rename,renameat,renameat2",
                        "-E", "ASAN_OPTIONS=detect_leaks=0", "-o", trace, FILONEX_BATCH},
                       ShortRun());
    line.insert(line.end(), {"--table", table});
    ASSERT_EQ(RunProgram(dir, line).Status, 0);
    std::istringstream calls(ReadFile(trace));
    std::string descriptor; // of the temporary, once opened
    bool flushed = false;
    int renamed = 0;
    for (std::string call; std::getline(calls, call);) {
        if (call.find(".t.tsv.tmp-") != std::string::npos && call.find("openat(") != std::string::npos)
            descriptor = call.substr(call.rfind("= ") + 2);
        else if (!descriptor.empty() && (call.find("fsync(" + descriptor + ")") != std::string::npos ||
                                         call.find("fdatasync(" + descriptor + ")") != std::string::npos))
            flushed = true;
        else if (call.find("rename") != std::string::npos && call.find(table + "\"") != std::string::npos) {
            EXPECT_TRUE(flushed) << call;
            ++renamed;
        }
    }
    EXPECT_EQ(renamed, 1) << ReadFile(trace);
}

} // namespace
