#pragma once

#include "TestSupport.h"

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <csignal>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

struct ProgramResult {
    int Status = -1; // the exit status, or 1000 + the signal that ended it
    std::string Out;
    std::string Err;
};

// A started program (arguments[0] is its path), its errors caught in a file
// of dir. Its output goes to a file of dir and is read back, or, when
// stdoutPath is given, to that file (closed when it is empty) and is not.
class Program {
public:
    Program(const ScratchDirectory &dir, std::vector<std::string> arguments,
            std::optional<std::string> stdoutPath = {})
        : out_(stdoutPath.value_or(dir.File("stdout.txt"))), err_(dir.File("stderr.txt")),
          readOut_(!stdoutPath)
    {
        std::vector<char *> argv;
        for (std::string &argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        if (out_.empty())
            posix_spawn_file_actions_addclose(&files, STDOUT_FILENO);
        else
            posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, out_.c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&files, STDERR_FILENO, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        if (posix_spawn(&pid_, argv[0], &files, nullptr, argv.data(), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&files);
    }

    void Signal(int signal) const { ::kill(pid_, signal); }
    pid_t Pid() const { return pid_; }

    // Waits for the program; one that has not ended after `limit` is killed,
    // so that a program that ignores its stop cannot hang the tests.
    ProgramResult Wait(std::chrono::seconds limit = std::chrono::minutes(2)) const
    {
        ProgramResult result;
        int status = 0;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        pid_t ended = 0;
        while (pid_ > 0 && (ended = ::waitpid(pid_, &status, WNOHANG)) == 0) {
            if (std::chrono::steady_clock::now() > deadline)
                ::kill(pid_, SIGKILL);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (ended == pid_)
            result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
        result.Out = readOut_ ? ReadFile(out_) : "";
        result.Err = ReadFile(err_);
        return result;
    }

private:
    std::string out_, err_;
    bool readOut_;
    pid_t pid_ = -1;
};

// Runs a program to its end.
inline ProgramResult RunProgram(const ScratchDirectory &dir, std::vector<std::string> arguments)
{
    return Program(dir, std::move(arguments)).Wait();
}
