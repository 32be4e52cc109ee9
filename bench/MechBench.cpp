#include "FloatingPoint.h"
#include "Lib3d.h"
#include "Random.h"
#include "Solidfilament.h"

#include <benchmark/benchmark.h>

namespace {

void BM_UniformReal(benchmark::State &state)
{
    CRandomStream random;
    random.SeedWith(1);
    for (auto _ : state)
        benchmark::DoNotOptimize(random.UniformReal());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_UniformReal);

void BM_RandomUnitVector(benchmark::State &state)
{
    CRandomStream random;
    random.SeedWith(1);
    for (auto _ : state)
        benchmark::DoNotOptimize(RandomUnitVector(random));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RandomUnitVector);

// One mechanics step of a typical filament (50 monomers, the default
// material constants and time step) under a Brownian-sized force and torque.
void BM_FilamentMove(benchmark::State &state)
{
    fp::Traps traps;
    const CFilamentMaterial material{1.5e-9, 3.4e-14};
    CSolidFilament filament;
    filament.Material = &material;
    filament.SetGeometry(CVector(1e-6), CVector(1, 2, 3));
    filament.Monomers = 50;
    filament.MarkChanged();
    const CVector force(1e-26, -0.5e-26, 0.2e-26), torque(0.3e-32, 1e-32, -0.6e-32);
    for (auto _ : state) {
        filament.ApplyForceAndTorque(force, torque);
        filament.Move(1e-4);
    }
    benchmark::DoNotOptimize(filament.PointedEnd);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FilamentMove);

} // namespace
