// Speed of the cell in the default world (the parameters of a fresh settings
// file, applied as reset-and-apply does), from a fixed seed: reactions per
// second and simulated seconds per second of wall-clock time, chemistry alone
// and with mechanics, and the number of filaments at the end.

#include "Cell.h"
#include "CellTestWorld.h"
#include "Random.h"

#include <benchmark/benchmark.h>

namespace {

constexpr std::uint32_t SEED = 20261207u;

void RunDefaultWorld(benchmark::State &state, bool withMechanics)
{
    const double simulatedSeconds = double(state.range(0)) / 1000.0;
    std::int64_t reactions = 0;
    std::size_t filaments = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CCell cell;
        cell.Random.SeedWith(SEED);
        BuildWorld(cell, WorldParameters());
        state.ResumeTiming();
        if (withMechanics)
            cell.RunChemMech(simulatedSeconds);
        else
            cell.RunChemistry(simulatedSeconds);
        reactions += cell.ReactionCount;
        filaments = cell.Filaments.size();
    }
    state.counters["reactions/s"] = benchmark::Counter(double(reactions), benchmark::Counter::kIsRate);
    state.counters["simulated s/s"] =
        benchmark::Counter(simulatedSeconds * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["reactions"] = double(reactions) / double(state.iterations());
    state.counters["filaments"] = double(filaments);
}

void BM_ChemistryDefaultWorld(benchmark::State &state)
{
    RunDefaultWorld(state, false);
}

void BM_ChemistryWithMechanicsDefaultWorld(benchmark::State &state)
{
    RunDefaultWorld(state, true);
}

} // namespace

// The argument is the simulated time in milliseconds; rates are per second of
// wall-clock time.
BENCHMARK(BM_ChemistryDefaultWorld)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ChemistryWithMechanicsDefaultWorld)
    ->Arg(10)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
