#pragma once

// Measurements shared by the benchmarks of both mechanics models, on a grown
// world whose model is already chosen.

#include "Cell.h"

#include <benchmark/benchmark.h>

#include <chrono>

// ns per filament and step on state.range(0) threads (0: the load-aware
// choice).
inline void MeasureMechanicsSteps(benchmark::State &state, CCell &cell)
{
    cell.MechanicsThreads = int(state.range(0));
    std::int64_t steps = 0;
    for (auto _ : state) {
        cell.MechStep(cell.MechTimeStep);
        ++steps;
    }
    const double filamentSteps = double(steps) * double(cell.Filaments.size());
    state.counters["ns/filament-step"] =
        benchmark::Counter(filamentSteps * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["filaments"] = double(cell.Filaments.size());
}

// Wall time of the same steps on one thread over that on two, taken in
// alternation so that a drift of the machine's speed hits both alike.
inline void MeasureTwoThreadSpeedUp(benchmark::State &state, CCell &cell)
{
    using Clock = std::chrono::steady_clock;
    Clock::duration oneThread{}, twoThreads{};
    for (auto _ : state) {
        for (const int threads : {1, 2}) {
            cell.MechanicsThreads = threads;
            const Clock::time_point start = Clock::now();
            for (int i = 0; i < 10; ++i)
                cell.MechStep(cell.MechTimeStep);
            (threads == 1 ? oneThread : twoThreads) += Clock::now() - start;
        }
    }
    state.counters["speed-up"] = double(oneThread.count()) / double(twoThreads.count());
}
