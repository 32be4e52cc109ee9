#include "ThreadTeam.h"

#include "FloatingPoint.h"

#include <oneapi/tbb/blocked_range.h>
#include <oneapi/tbb/info.h>
#include <oneapi/tbb/parallel_for.h>
#include <oneapi/tbb/task_arena.h>

#include <algorithm>

namespace {

// Chunks per thread: enough for the free threads to take over the work of
// one that is descheduled, few enough that switching the traps on per chunk
// costs nothing.
constexpr std::size_t kChunksPerThread = 16;

} // namespace

struct CThreadTeam::Arena {
    explicit Arena(int threads) : Threads(threads), Tasks(threads) {}
    int Threads;
    oneapi::tbb::task_arena Tasks;
};

CThreadTeam::CThreadTeam() = default;

CThreadTeam::~CThreadTeam() = default;

int CThreadTeam::Cores()
{
    return std::max(oneapi::tbb::info::default_concurrency(), 1);
}

void CThreadTeam::ParallelFor(int threads, std::size_t count,
                              const std::function<void(std::size_t begin, std::size_t end)> &work)
{
    if (threads <= 1 || count < 2) {
        work(0, count);
        return;
    }
    if (!arena_ || arena_->Threads != threads)
        arena_ = std::make_unique<Arena>(threads);
    // Traps are a property of each thread.
    const bool trapping = fp::TrapsEnabled();
    const std::size_t grain = std::max<std::size_t>(1, count / (kChunksPerThread * std::size_t(threads)));
    arena_->Tasks.execute([&] {
        oneapi::tbb::parallel_for(oneapi::tbb::blocked_range<std::size_t>(0, count, grain),
                                  [&](const oneapi::tbb::blocked_range<std::size_t> &chunk) {
                                      const fp::Traps traps(trapping);
                                      work(chunk.begin(), chunk.end());
                                  });
    });
}
