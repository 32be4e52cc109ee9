// The atomic writer of every result file: whole content, the mode it gives,
// links, temporary names and the errors it reports.

#include "Outputfile.h"
#include "TestSupport.h"

#include <cerrno>
#include <regex>

#include <sys/stat.h>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

mode_t ModeOf(const std::string &path)
{
    struct stat status {};
    ::stat(path.c_str(), &status);
    return status.st_mode & 07777;
}

// The id of a process that has ended.
pid_t EndedProcess()
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

TEST(OutputFile, ReplacedFileKeepsItsMode)
{
    const ScratchDirectory dir;
    const std::string path = dir.File("kept.txt");
    for (const mode_t mode : {0600, 0640, 0604, 0755, 0444}) {
        WriteFile(path, "old");
        ::chmod(path.c_str(), mode);
        WriteOutputFile(path, "new");
        EXPECT_EQ(ModeOf(path), mode) << std::oct << mode;
        EXPECT_EQ(ReadFile(path), "new");
    }
}

TEST(OutputFile, LinkedTargetIsReplacedThroughTheLink)
{
    const ScratchDirectory dir;
    fs::create_directories(dir.Path() / "real");
    fs::create_directories(dir.Path() / "links");
    const std::string real = dir.File("real/target.txt");
    const struct {
        std::string Name;
        std::vector<std::pair<std::string, std::string>> Links; // link, what it holds
        std::string Replaced;
    } cases[] = {
        {"relative", {{"links/a", "../real/target.txt"}}, real},
        {"absolute", {{"links/a", real}}, real},
        {"chain", {{"links/b", "../real/target.txt"}, {"links/a", "b"}}, real},
        {"dangling", {{"links/a", "../real/new.txt"}}, dir.File("real/new.txt")},
    };
    for (const auto &c : cases) {
        WriteFile(real, "old");
        ::chmod(real.c_str(), 0640);
        for (const auto &[link, target] : c.Links)
            fs::create_symlink(target, dir.File(link));
        WriteOutputFile(dir.File("links/a"), "new");
        EXPECT_TRUE(fs::is_symlink(dir.File("links/a"))) << c.Name;
        EXPECT_EQ(ReadFile(c.Replaced), "new") << c.Name;
        EXPECT_EQ(ModeOf(real), 0640u) << c.Name;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path() / "links"), {}), c.Links.size())
            << c.Name << ": a temporary left";
        for (const auto &entry : c.Links)
            fs::remove(dir.File(entry.first));
        fs::remove(dir.File("real/new.txt"));
    }
}

TEST(OutputFile, ContentIsWholeOrTheOldOne)
{
    const ScratchDirectory dir;
    const std::string path = dir.File("big.tsv");
    std::string text;
    for (int row = 0; text.size() < 300000; ++row)
        text += std::to_string(row) + "\t" + std::to_string(row * 0.37) + "\n";
    {
        OutputFile file(path);
        for (std::size_t at = 0; at < text.size(); at += 1000)
            file.Write(std::string_view(text).substr(at, 1000));
        EXPECT_FALSE(fs::exists(path)); // not before Commit
        file.Commit();
    }
    EXPECT_EQ(ReadFile(path), text);
    {
        OutputFile abandoned(path);
        abandoned.Write("partial");
    }
    EXPECT_EQ(ReadFile(path), text);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 1);
}

TEST(OutputFile, TemporaryIsNamedAfterTheTargetAndTheProcess)
{
    const ScratchDirectory dir;
    const OutputFile file(dir.File("run.fxworld"));
    const fs::path temporary(file.TemporaryPath());
    EXPECT_EQ(temporary.parent_path(), dir.Path());
    EXPECT_TRUE(std::regex_match(
        temporary.filename().string(),
        std::regex(R"(\.run\.fxworld\.tmp-)" + std::to_string(::getpid()) + "-[A-Za-z0-9]{6}")))
        << temporary;
}

TEST(OutputFile, TemporariesOfEndedWritersOfTheTargetAreRemoved)
{
    const ScratchDirectory dir;
    const std::string ended = std::to_string(EndedProcess());
    const std::string running = std::to_string(::getppid());
    const struct {
        std::string Name;
        bool Removed;
    } cases[] = {
        {".run.fxworld.tmp-" + ended + "-aB3xYz", true},
        {".run.fxworld.tmp-" + running + "-aB3xYz", false}, // still being written
        {".other.fxworld.tmp-" + ended + "-aB3xYz", false}, // another target
        {".run.fxworld.tmp-" + ended + "-aB3", false},      // not a temporary's name
        {".run.fxworld.tmp-0-aB3xYz", false},
        {"run.fxworld.aB3xYz", false},
    };
    for (const auto &c : cases)
        WriteFile(dir.File(c.Name), "stale");
    WriteOutputFile(dir.File("run.fxworld"), "new");
    for (const auto &c : cases)
        EXPECT_EQ(fs::exists(dir.File(c.Name)), !c.Removed) << c.Name;
}

TEST(OutputFile, FolderThatCannotTakeTheFileIsReported)
{
    const ScratchDirectory dir;
    fs::create_directories(dir.Path() / "readonly");
    ::chmod(dir.File("readonly").c_str(), 0555);
    struct Case {
        std::string Path;
        int Error;
    };
    std::vector<Case> cases = {{dir.File("missing/out.txt"), ENOENT},
                               {"/sys/out.txt", EACCES}}; // refused even to root
    if (::geteuid() != 0)                                 // root writes into any folder of mode 0555
        cases.push_back({dir.File("readonly/out.txt"), EACCES});
    for (const Case &c : cases) {
        try {
            WriteOutputFile(c.Path, "text");
            ADD_FAILURE() << c.Path << " written";
        } catch (const OutputError &e) {
            EXPECT_EQ(e.Error(), c.Error) << c.Path;
            EXPECT_NE(std::string(e.what()).find(c.Path), std::string::npos) << e.what();
        }
    }
    ::chmod(dir.File("readonly").c_str(), 0755);
}

} // namespace

TEST(OutputFile, TargetThatIsNoRegularFileIsRefusedAndKept)
{
    const ScratchDirectory dir;
    ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
    fs::create_symlink("fifo", dir.File("link"));
    fs::create_directories(dir.Path() / "folder");
    WriteFile(dir.File("regular"), "old");
    const struct {
        std::string Name;
        fs::file_type Type; // of what the name leads to, before and after
    } cases[] = {{"fifo", fs::file_type::fifo},
                 {"link", fs::file_type::fifo},
                 {"folder", fs::file_type::directory},
                 {"regular", fs::file_type::regular},
                 {"absent", fs::file_type::not_found}};
    for (const auto &c : cases) {
        const std::string path = dir.File(c.Name);
        const bool refused = c.Type == fs::file_type::fifo || c.Type == fs::file_type::directory;
        EXPECT_EQ(OutputTargetProblem(path).empty(), !refused) << c.Name;
        try {
            OutputFile file(path);
            EXPECT_FALSE(refused) << c.Name << " taken";
        } catch (const OutputError &e) {
            EXPECT_TRUE(refused) << e.what();
            EXPECT_EQ(e.Reason(), "it is not a regular file") << c.Name;
        }
        EXPECT_EQ(fs::status(path).type(), c.Type) << c.Name;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 4) << "a temporary left";
}
