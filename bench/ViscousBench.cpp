// The viscous mechanics model's costs in the default world: nanoseconds per
// filament and step at about 4,300 filaments on one and two threads, the
// speed-up between them, and the wall time of the default 100-s run with the
// viscous model (minutes; run it with --benchmark_filter=ViscousDefaultRun).

#include "MechanicsStepBench.h"

#include <benchmark/benchmark.h>

namespace {

const bool registered = RegisterMechanicsBenchmarks(
    MechanicsModel::Viscous, {"BM_ViscousStep", "BM_ViscousSpeedUpOnTwoThreads", "BM_ViscousDefaultRun"});

} // namespace
