#include "Parentwatch.h"

#include <csignal>
#include <cstdlib>
#include <cstring>

#include <sys/prctl.h>
#include <unistd.h>

extern char **environ;

namespace {

// The process id of the ensemble that started the run.
constexpr const char *kParentVariable = "FILONEX_ENSEMBLE_PARENT";

} // namespace

std::vector<std::string> RunEnvironment()
{
    const std::string prefix = std::string(kParentVariable) + "=";
    std::vector<std::string> environment;
    for (char **entry = environ; *entry; ++entry)
        if (std::strncmp(*entry, prefix.c_str(), prefix.size()) != 0)
            environment.emplace_back(*entry);
    environment.push_back(prefix + std::to_string(::getpid()));
    return environment;
}

void StopWithParent()
{
    const char *parent = std::getenv(kParentVariable);
    if (!parent)
        return;
    struct sigaction term;
    sigaction(SIGTERM, nullptr, &term);
    const int signal = term.sa_handler == SIG_IGN ? SIGKILL : SIGTERM;
    ::prctl(PR_SET_PDEATHSIG, signal);
    // The parent may have ended before the request: the run then has
    // another parent already.
    if (::getppid() != static_cast<pid_t>(std::atoll(parent)))
        ::kill(::getpid(), signal);
}
