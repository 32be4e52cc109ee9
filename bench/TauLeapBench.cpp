// "Tau-leap" against "First reaction", chemistry alone, in the default world
// and in the default world with all four concentrations ten times higher:
// wall-clock seconds per simulated second, and the share of the wall-clock
// time that the firings' handlers take (the filament pick and the change of
// the filament), which every firing pays with either method.

#include "Cell.h"
#include "CellTestWorld.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

constexpr std::uint32_t SEED = 20261207u;

WorldParameters Concentrated(double factor)
{
    WorldParameters p;
    p.ConcentrationACG *= factor;
    p.ConcentrationCAP *= factor;
    p.ConcentrationARP *= factor;
    p.ConcentrationADC *= factor;
    return p;
}

// Arguments: the method (0 "First reaction", 1 "Tau-leap"), the concentration
// factor, the simulated time in ms, and the accuracy in thousandths.
void BM_Chemistry(benchmark::State &state)
{
    const SimulationMethod method = state.range(0) == 0 ? SimulationMethod::FirstReaction : SimulationMethod::TauLeap;
    const double simulatedSeconds = double(state.range(2)) / 1000.0;
    std::int64_t reactions = 0;
    std::uint64_t leaps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CCell cell;
        cell.Random.SeedWith(SEED);
        WorldParameters p = Concentrated(double(state.range(1)));
        p.Method = method;
        BuildWorld(cell, p);
        cell.TauLeap.Accuracy = double(state.range(3)) / 1000.0;
        state.ResumeTiming();
        cell.RunChemistry(simulatedSeconds);
        reactions += cell.ReactionCount;
        leaps += cell.TauLeap.LeapNumber;
    }
    const double iterations = double(state.iterations());
    state.counters["wall s/simulated s"] = benchmark::Counter(
        simulatedSeconds * iterations, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["reactions"] = double(reactions) / iterations;
    state.counters["leaps"] = double(leaps) / iterations;
}

// The same runs with every handler timed: the handlers' share of the run.
// Two clock reads per firing add some tens of ns to each, so the share is an
// upper bound.
void BM_HandlerShare(benchmark::State &state)
{
    const SimulationMethod method = state.range(0) == 0 ? SimulationMethod::FirstReaction : SimulationMethod::TauLeap;
    const double simulatedSeconds = double(state.range(2)) / 1000.0;
    using Clock = std::chrono::steady_clock;
    Clock::duration inHandlers{}, total{};
    for (auto _ : state) {
        CCell cell;
        cell.Random.SeedWith(SEED);
        WorldParameters p = Concentrated(double(state.range(1)));
        p.Method = method;
        BuildWorld(cell, p);
        for (CChemReaction &reaction : cell.Reactions) {
            // A channel that changes nothing has no handler to time.
            if (!reaction.Handler)
                continue;
            reaction.Handler = [&inHandlers, handler = reaction.Handler] {
                const Clock::time_point start = Clock::now();
                handler();
                inHandlers += Clock::now() - start;
            };
        }
        const Clock::time_point start = Clock::now();
        cell.RunChemistry(simulatedSeconds);
        total += Clock::now() - start;
    }
    state.counters["handler share"] =
        std::chrono::duration<double>(inHandlers).count() / std::chrono::duration<double>(total).count();
}

} // namespace

// Default world over 10 s, the tenfold world over 1 s; accuracy 0.03 and 0.02.
BENCHMARK(BM_Chemistry)
    ->Args({0, 1, 10000, 30})
    ->Args({1, 1, 10000, 30})
    ->Args({1, 1, 10000, 20})
    ->Args({0, 10, 1000, 30})
    ->Args({1, 10, 1000, 30})
    ->Args({1, 10, 1000, 20})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_HandlerShare)
    ->Args({0, 1, 10000, 30})
    ->Args({1, 1, 10000, 30})
    ->Args({0, 10, 1000, 30})
    ->Args({1, 10, 1000, 30})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
