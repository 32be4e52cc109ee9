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

// A world grown by chemistry alone to `grownFor` simulated seconds.
void GrowWorld(CCell &cell, const WorldParameters &parameters, double grownFor)
{
    cell.Random.SeedWith(kMechanicsBenchSeed);
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
    parameters.Method = SimulationMethod::NextReaction;
    MeasureReactions(state, parameters, 10.0, 0.01);
}

// The rigid-body model's step, speed-up and default run.
const bool registered = RegisterMechanicsBenchmarks(
    MechanicsModel::RigidBodies,
    {"BM_MechanicsStep", "BM_MechanicsSpeedUpOnTwoThreads", "BM_DefaultRunWithMechanics"});

} // namespace

BENCHMARK(BM_ReactionsSeveringWorld)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReactionsDefaultWorld)->Unit(benchmark::kMillisecond)->UseRealTime();
