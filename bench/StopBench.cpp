// How long a run takes to return after Stop, called from another thread as a
// signal handler or the window's Stop button would: in the default world with
// observations far apart (chemistry alone and with mechanics) and with a tiny
// mechanics step, where one pass of the run loop holds millions of steps. The
// target is well under 0.1 s.

#include "Cell.h"
#include "CellTestWorld.h"
#include "Random.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

namespace {

void StopLatency(benchmark::State &state, bool withMechanics, double mechanicsStep)
{
    for (auto _ : state) {
        CCell cell;
        cell.Random.SeedWith(20261207u);
        WorldParameters parameters;
        parameters.ObserveTimeStep = 1e6;
        parameters.TimeStep = mechanicsStep;
        BuildWorld(cell, parameters);
        std::thread run([&] {
            // An exception must not leave the thread; a stop is what we await.
            try {
                withMechanics ? cell.RunChemMech(1e9) : cell.RunChemistry(1e9);
            } catch (const std::exception &) {
            }
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const auto stopped = std::chrono::steady_clock::now();
        cell.Stop();
        run.join();
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - stopped).count());
    }
}

void BM_StopChemistry(benchmark::State &state)
{
    StopLatency(state, false, 1e-4);
}

void BM_StopWithMechanics(benchmark::State &state)
{
    StopLatency(state, true, 1e-4);
}

void BM_StopWithTinyMechanicsSteps(benchmark::State &state)
{
    StopLatency(state, true, 1e-13);
}

} // namespace

BENCHMARK(BM_StopChemistry)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_StopWithMechanics)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_StopWithTinyMechanicsSteps)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
