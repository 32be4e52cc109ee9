// The engine's costs in large worlds, from a fixed seed: nanoseconds per
// reaction with more than 10^4 filaments and in the default world, and
// nanoseconds per filament and mechanics step at about 4,000 filaments.

#include "Cell.h"
#include "CellTestWorld.h"
#include "Random.h"

#include <benchmark/benchmark.h>

namespace {

constexpr std::uint32_t SEED = 20261207u;

// A world grown by chemistry alone to `grownFor` simulated seconds.
void GrowWorld(CCell &cell, const WorldParameters &parameters, double grownFor)
{
    SeedRandomWith(SEED);
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
    state.counters["ns/reaction"] = benchmark::Counter(reactions * 1e-9, benchmark::Counter::kIsRate |
                                                                            benchmark::Counter::kInvert);
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

void BM_MechanicsStep(benchmark::State &state)
{
    CCell cell;
    WorldParameters parameters;
    parameters.Method = CCell::NEXT_REACTION;
    GrowWorld(cell, parameters, 20.0);
    cell.MechanicsThreads = int(state.range(0));
    std::int64_t steps = 0;
    for (auto _ : state) {
        cell.MechStep(cell.MechTimeStep);
        ++steps;
    }
    const double filamentSteps = double(steps) * double(cell.Filaments.size());
    state.counters["ns/filament-step"] = benchmark::Counter(
        filamentSteps * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["filaments"] = double(cell.Filaments.size());
}

} // namespace

BENCHMARK(BM_ReactionsSeveringWorld)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReactionsDefaultWorld)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MechanicsStep)->ArgName("threads")->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond)->UseRealTime();
