#pragma once

#include <cstddef>
#include <functional>
#include <memory>

// The worker threads of one world: a oneTBB task arena, so that two worlds in
// one process neither share nor wait for each other's threads. Free threads
// take the remaining chunks of a loop from a descheduled one (work stealing),
// which matters on a machine shared with other programs.
class CThreadTeam {
public:
    CThreadTeam();
    ~CThreadTeam();
    CThreadTeam(const CThreadTeam &) = delete;
    CThreadTeam &operator=(const CThreadTeam &) = delete;

    // The threads a team of "one per core" has.
    static int Cores();

    // Calls work(begin, end) on disjoint chunks that cover [0, count), on up
    // to `threads` threads, the calling one among them, and returns when all
    // are done. Each chunk runs with the floating-point traps as they are on
    // the calling thread. work must not throw.
    void ParallelFor(int threads, std::size_t count,
                     const std::function<void(std::size_t begin, std::size_t end)> &work);

private:
    struct Arena; // a task arena and its number of threads
    std::unique_ptr<Arena> arena_;
};
