// The viscous mechanics model's costs in the default world: nanoseconds per
// filament and step at about 4,300 filaments on one and two threads, the
// speed-up between them, and the wall time of the default 100-s run with the
// viscous model (minutes; run it with --benchmark_filter=ViscousDefaultRun).

#include "Cell.h"
#include "CellTestWorld.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

constexpr std::uint32_t SEED = 20261207u;

// The default world with the viscous model at its default constants.
void BuildViscousWorld(CCell &cell)
{
    WorldParameters parameters;
    parameters.Method = CCell::NEXT_REACTION;
    cell.Random.SeedWith(SEED);
    BuildWorld(cell, parameters);
    cell.Model = MechanicsModel::Viscous;
    cell.CounterKey = SEED;
}

// Grown by chemistry alone to 20 s: about 4,300 filaments.
void GrowViscousWorld(CCell &cell)
{
    BuildViscousWorld(cell);
    cell.RunChemistry(20.0);
}

void BM_ViscousStep(benchmark::State &state)
{
    CCell cell;
    GrowViscousWorld(cell);
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

// Wall time of the same steps on one thread over that on two, in
// alternation so that a drift of the machine's speed hits both alike.
void BM_ViscousSpeedUpOnTwoThreads(benchmark::State &state)
{
    CCell cell;
    GrowViscousWorld(cell);
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

// The window's default world run for 100 s with the viscous model, on all
// cores.
void BM_ViscousDefaultRun(benchmark::State &state)
{
    for (auto _ : state) {
        CCell cell;
        BuildViscousWorld(cell);
        cell.RunChemMech(double(state.range(0)));
        state.counters["filaments"] = double(cell.Filaments.size());
    }
}

} // namespace

BENCHMARK(BM_ViscousStep)
    ->ArgName("threads")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK(BM_ViscousSpeedUpOnTwoThreads)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ViscousDefaultRun)
    ->ArgName("seconds")
    ->Arg(100)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();
