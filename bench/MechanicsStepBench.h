#pragma once

// Measurements shared by the benchmarks of both mechanics models: the
// window's default world (Next reaction) from a fixed seed with the model
// chosen, grown by chemistry alone to 20 s (about 4,300 filaments) for the
// step, or run whole.

#include "Cell.h"
#include "CellTestWorld.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>

inline constexpr std::uint32_t kMechanicsBenchSeed = 20261207u;

inline void BuildDefaultWorld(CCell &cell, MechanicsModel model)
{
    WorldParameters parameters;
    parameters.Method = SimulationMethod::NextReaction;
    cell.Random.SeedWith(kMechanicsBenchSeed);
    BuildWorld(cell, parameters);
    cell.Model = model;
    cell.CounterKey = kMechanicsBenchSeed;
}

inline void GrowDefaultWorld(CCell &cell, MechanicsModel model)
{
    BuildDefaultWorld(cell, model);
    cell.RunChemistry(20.0);
}

// The default world run for state.range(0) seconds with mechanics, on all
// cores.
inline void MeasureDefaultRun(benchmark::State &state, MechanicsModel model)
{
    for (auto _ : state) {
        CCell cell;
        BuildDefaultWorld(cell, model);
        cell.RunChemMech(double(state.range(0)));
        state.counters["filaments"] = double(cell.Filaments.size());
        state.counters["reactions"] = double(cell.ReactionCount);
    }
}

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

// The names of a model's three benchmarks.
struct MechanicsBenchmarkNames {
    const char *Step;       // ns per filament and step, by threads
    const char *SpeedUp;    // one thread against two
    const char *DefaultRun; // the default 100-s run
};

// Registers the three benchmarks of `model`; call it before the benchmarks
// run (from a static initializer).
inline bool RegisterMechanicsBenchmarks(MechanicsModel model, const MechanicsBenchmarkNames &names)
{
    benchmark::RegisterBenchmark(names.Step,
                                 [model](benchmark::State &state) {
                                     CCell cell;
                                     GrowDefaultWorld(cell, model);
                                     MeasureMechanicsSteps(state, cell);
                                 })
        ->ArgName("threads")
        ->Arg(0)
        ->Arg(1)
        ->Arg(2)
        ->Unit(benchmark::kMicrosecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(names.SpeedUp,
                                 [model](benchmark::State &state) {
                                     CCell cell;
                                     GrowDefaultWorld(cell, model);
                                     MeasureTwoThreadSpeedUp(state, cell);
                                 })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(names.DefaultRun,
                                 [model](benchmark::State &state) { MeasureDefaultRun(state, model); })
        ->ArgName("seconds")
        ->Arg(100)
        ->Iterations(1)
        ->Unit(benchmark::kSecond)
        ->UseRealTime();
    return true;
}
