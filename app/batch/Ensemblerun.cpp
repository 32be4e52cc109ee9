#include "Ensemblerun.h"

#include "Ensembleplan.h"
#include "Parentwatch.h"
#include "Runrecord.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <map>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPollInterval = std::chrono::milliseconds(50);

struct StartedRun {
    std::int64_t Run;
    Clock::time_point Started;
};

std::string RunFolder(const EnsembleLaunch &launch, std::int64_t run)
{
    return launch.Folder + "/" + RunFolderName(run);
}

// Starts the run's process with its standard output and error going to the
// log in its folder; returns its process id, or -1.
pid_t Start(const EnsembleLaunch &launch, std::int64_t run)
{
    const std::string folder = RunFolder(launch, run);
    std::filesystem::create_directories(folder);
    std::filesystem::remove(folder + "/" + kRunRecordFile);
    std::vector<std::string> arguments = launch.Arguments;
    arguments.insert(arguments.begin(), launch.Program);
    arguments.insert(arguments.end(), {"--run-index", std::to_string(run)});
    std::vector<std::string> environment = RunEnvironment();
    const auto pointers = [](std::vector<std::string> &texts) {
        std::vector<char *> list;
        for (std::string &text : texts)
            list.push_back(text.data());
        list.push_back(nullptr);
        return list;
    };
    std::vector<char *> argv = pointers(arguments), envp = pointers(environment);

    const std::string log = folder + "/" + kRunLogFile;
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&files, STDOUT_FILENO, STDERR_FILENO);
    pid_t pid = -1;
    if (posix_spawn(&pid, launch.Program.c_str(), &files, nullptr, argv.data(), envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&files);
    return pid;
}

// Records the ended run as failed when it left no record of its own, and
// reports how it ended.
void Finish(const EnsemblePlan &plan, const EnsembleLaunch &launch, std::int64_t run, double seconds)
{
    const std::string folder = RunFolder(launch, run);
    std::string status = kRunFailed;
    try {
        if (const auto record = ReadRunRecord(folder, plan, run))
            status = record->at(record->size() - 2);
        else
            WriteRunRecord(folder, plan, run, kRunFailed, seconds);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "filonex-batch: run %lld: %s\n", static_cast<long long>(run), e.what());
    }
    if (!launch.Report)
        return;
    if (status == kRunDone)
        std::fprintf(stderr, "run %lld of %lld done in %.1f s\n", static_cast<long long>(run + 1),
                     static_cast<long long>(plan.RunCount()), seconds);
    else
        std::fprintf(stderr, "run %lld of %lld %s, see %s/%s\n", static_cast<long long>(run + 1),
                     static_cast<long long>(plan.RunCount()), status.c_str(), folder.c_str(), kRunLogFile);
}

} // namespace

void RunEnsemble(const EnsemblePlan &plan, const EnsembleLaunch &launch)
{
    std::map<pid_t, StartedRun> running;
    bool stopping = false;
    const auto seconds = [](const StartedRun &run) {
        return std::chrono::duration<double>(Clock::now() - run.Started).count();
    };
    for (std::int64_t next = 0; next < plan.RunCount() || !running.empty();) {
        if (!stopping && launch.StopRequested && launch.StopRequested()) {
            stopping = true;
            for (const auto &[pid, run] : running)
                ::kill(pid, SIGTERM);
        }
        if (!stopping && next < plan.RunCount() && static_cast<int>(running.size()) < launch.Jobs) {
            const StartedRun run = {next++, Clock::now()};
            const pid_t pid = Start(launch, run.Run);
            if (pid > 0)
                running.emplace(pid, run);
            else
                Finish(plan, launch, run.Run, 0);
            continue;
        }
        if (running.empty())
            break;
        // Polled, so that a stop request is seen within 50 ms.
        int status = 0;
        const pid_t ended = ::waitpid(-1, &status, WNOHANG);
        if (ended == 0 || (ended < 0 && errno == EINTR)) {
            std::this_thread::sleep_for(kPollInterval);
            continue;
        }
        if (ended < 0) { // no child left to wait for: none of these can report
            for (const auto &[pid, run] : running)
                Finish(plan, launch, run.Run, seconds(run));
            break;
        }
        const auto found = running.find(ended);
        if (found == running.end())
            continue;
        Finish(plan, launch, found->second.Run, seconds(found->second));
        running.erase(found);
    }
}
