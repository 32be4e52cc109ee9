#pragma once

#include "TestSupport.h"

#include <string>
#include <vector>

#include <csignal>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

struct ProgramResult {
    int Status = -1; // the exit status, or 1000 + the signal that ended it
    std::string Out;
    std::string Err;
};

// A started program, with its output and errors caught in files of dir.
class Program {
public:
    Program(const ScratchDirectory &dir, std::vector<std::string> arguments)
        : out_(dir.File("stdout.txt")), err_(dir.File("stderr.txt"))
    {
        std::vector<char *> argv;
        for (std::string &argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&files, 2, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        if (posix_spawn(&pid_, argv[0], &files, nullptr, argv.data(), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&files);
    }

    void Signal(int signal) const { ::kill(pid_, signal); }

    ProgramResult Wait() const
    {
        ProgramResult result;
        int status = 0;
        if (pid_ > 0 && waitpid(pid_, &status, 0) == pid_)
            result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
        result.Out = ReadFile(out_);
        result.Err = ReadFile(err_);
        return result;
    }

private:
    std::string out_, err_;
    pid_t pid_ = -1;
};

// Runs a program to its end.
inline ProgramResult RunProgram(const ScratchDirectory &dir, std::vector<std::string> arguments)
{
    return Program(dir, std::move(arguments)).Wait();
}
