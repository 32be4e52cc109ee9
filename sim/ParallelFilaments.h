#pragma once

#include "FilamentList.h"
#include "FloatingPoint.h"

#include <cstddef>
#include <exception>

#include <omp.h>

// Calls fn(filament, slot) for every filament of the list, spread over
// `threads` threads (0: one per core). fn must touch nothing but its own
// filament and slot. Each worker traps floating-point faults as the calling
// thread does; if any call throws, the error of the first filament in list
// order is raised on the calling thread once all have run, so every thread
// count reports the same error.
template <typename Fn>
void ForEachFilament(int threads, CFilamentList &filaments, Fn &&fn)
{
    // Below this many slots starting the threads costs more than it saves.
    constexpr std::ptrdiff_t kParallelFrom = 256;
    const std::ptrdiff_t slots = std::ptrdiff_t(filaments.SlotCount());
    const bool trapping = fp::TrapsEnabled();
    const int team = threads > 0 ? threads : omp_get_max_threads();
    std::ptrdiff_t failedSlot = slots;
    std::exception_ptr failure;
#pragma omp parallel num_threads(team) if (team > 1 && slots >= kParallelFrom)
    {
        const fp::Traps traps(trapping);
#pragma omp for schedule(static)
        for (std::ptrdiff_t slot = 0; slot < slots; ++slot) {
            if (!filaments.IsLive(std::size_t(slot)))
                continue;
            try {
                fn(filaments.AtSlot(std::size_t(slot)), std::size_t(slot));
            } catch (...) {
#pragma omp critical(FilamentFailure)
                if (slot < failedSlot) {
                    failedSlot = slot;
                    failure = std::current_exception();
                }
            }
        }
    }
    if (failure)
        std::rethrow_exception(failure);
}
