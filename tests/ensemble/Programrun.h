#pragma once

#include "TestSupport.h"

#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

struct ProgramResult {
    int Status = -1; // the exit status, or 1000 + the signal that ended it
    std::string Out;
    std::string Err;
};

// Runs a program to its end with its output and errors caught in files of dir.
inline ProgramResult RunProgram(const ScratchDirectory &dir, std::vector<std::string> arguments)
{
    const std::string out = dir.File("stdout.txt"), err = dir.File("stderr.txt");
    std::vector<char *> argv;
    for (std::string &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    ProgramResult result;
    int status = 0;
    if (posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ) == 0 &&
        waitpid(pid, &status, 0) == pid)
        result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
    posix_spawn_file_actions_destroy(&files);
    result.Out = ReadFile(out);
    result.Err = ReadFile(err);
    return result;
}
