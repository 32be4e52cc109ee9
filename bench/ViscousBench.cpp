// The viscous mechanics model's costs in the default world: nanoseconds per
// filament and step at about 4,300 filaments on one and two threads, the
// speed-up between them, and the wall time of the default 100-s run with the
// viscous model (minutes; run it with --benchmark_filter=ViscousDefaultRun).

#include "Cell.h"
#include "CellTestWorld.h"
#include "MechanicsStepBench.h"

#include <benchmark/benchmark.h>

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
    MeasureMechanicsSteps(state, cell);
}

// One thread against two, on the viscous model.
void BM_ViscousSpeedUpOnTwoThreads(benchmark::State &state)
{
    CCell cell;
    GrowViscousWorld(cell);
    MeasureTwoThreadSpeedUp(state, cell);
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
