// The engine's costs in large worlds, from a fixed seed: nanoseconds per
// reaction with more than 10^4 filaments and in the default world (3,400
// filaments at 10 s), nanoseconds per filament and mechanics step at about
// 4,300 filaments on one and two threads and the speed-up between them, and
// the wall time of the window's default run: 100 s with mechanics (minutes;
// run it with --benchmark_filter=DefaultRun).

#include "Cell.h"
#include "CellTestWorld.h"
#include "MechanicsStepBench.h"
#include "Random.h"

#include <benchmark/benchmark.h>

namespace {

constexpr std::uint32_t SEED = 20261207u;

// A world grown by chemistry alone to `grownFor` simulated seconds.
void GrowWorld(CCell &cell, const WorldParameters &parameters, double grownFor)
{
    cell.Random.SeedWith(SEED);
    BuildWorld(cell, parameters);
    cell.RunChemistry(grownFor);
}

// Per iteration the chemistry advances `slice` simulated seconds.
void MeasureReactions(benchmark::State &state, const WorldParameters &parameters, double grownFor,
                      double slice)
{
    CCell cell;
    GrowWorld(cell, parameters, grownFor);
    const auto reactionsBefore = cell.ReactionCount;
    for (auto _ : state)
        cell.RunChemistry(cell.Time + slice);
    const double reactions = double(cell.ReactionCount - reactionsBefore);
    state.counters["ns/reaction"] =
        benchmark::Counter(reactions * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["filaments"] = double(cell.Filaments.size());
}

void BM_ReactionsSeveringWorld(benchmark::State &state)
{
    MeasureReactions(state, SeveringWorld(), 0.3, 0.001);
}

void BM_ReactionsDefaultWorld(benchmark::State &state)
{
    WorldParameters parameters;
    parameters.Method = CCell::NEXT_REACTION;
    MeasureReactions(state, parameters, 10.0, 0.01);
}

// A grown default world at about 4,300 filaments, for the mechanics step.
void GrowMechanicsWorld(CCell &cell)
{
    WorldParameters parameters;
    parameters.Method = CCell::NEXT_REACTION;
    GrowWorld(cell, parameters, 20.0);
}

void BM_MechanicsStep(benchmark::State &state)
{
    CCell cell;
    GrowMechanicsWorld(cell);
    MeasureMechanicsSteps(state, cell);
}

// One thread against two, on the rigid-body model.
void BM_MechanicsSpeedUpOnTwoThreads(benchmark::State &state)
{
    CCell cell;
    GrowMechanicsWorld(cell);
    MeasureTwoThreadSpeedUp(state, cell);
}

// The window's default world run for its default 100 s with mechanics, on
// all cores.
void BM_DefaultRunWithMechanics(benchmark::State &state)
{
    for (auto _ : state) {
        CCell cell;
        WorldParameters parameters;
        parameters.Method = CCell::NEXT_REACTION;
        cell.Random.SeedWith(SEED);
        BuildWorld(cell, parameters);
        cell.RunChemMech(double(state.range(0)));
        state.counters["filaments"] = double(cell.Filaments.size());
        state.counters["reactions"] = double(cell.ReactionCount);
    }
}

} // namespace

BENCHMARK(BM_ReactionsSeveringWorld)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReactionsDefaultWorld)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MechanicsStep)
    ->ArgName("threads")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK(BM_MechanicsSpeedUpOnTwoThreads)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DefaultRunWithMechanics)
    ->ArgName("seconds")
    ->Arg(100)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();
