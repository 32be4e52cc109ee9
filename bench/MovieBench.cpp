// What a movie costs a run. BM_RunWithMovie: the default world with
// mechanics for 2 s of simulated time, without (0) and with (1) a movie of a
// frame every 0.1 s at 1280x720 (MP4), in wall time and in the CPU time of
// every thread and the encoder (cpu_s). BM_MovieFrame: one frame of a
// network of N filaments drawn, captioned and fed to ffmpeg, with the CPU
// time per frame of the drawing (all threads) and of the encoder; against the default 100-s run's
// time per 0.1 s of simulated time, it bounds the cost of a movie of the
// whole run, whose network ends near 4,300 filaments.

#include "Cell.h"
#include "CellTestWorld.h"
#include "Moviefile.h"
#include "Movierecorder.h"
#include "Movieview.h"
#include "Worldpicture.h"

#include "QtBenchmarkMain.h"

#include <QTemporaryDir>

#include <cmath>
#include <random>

#include <sys/resource.h>

namespace {

constexpr std::uint32_t Seed = 20261207u;

// CPU time of every thread of this process (RUSAGE_SELF: Mesa's drawing
// threads too) or of its ended children (the encoder), s.
double CpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           1e-6 * double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

void BM_RunWithMovie(benchmark::State &state)
{
    const QTemporaryDir folder;
    const double cpuBefore = CpuSeconds(RUSAGE_SELF) + CpuSeconds(RUSAGE_CHILDREN);
    for (auto _ : state) {
        CCell cell;
        WorldParameters parameters;
        parameters.Method = SimulationMethod::NextReaction;
        cell.Random.SeedWith(Seed);
        BuildWorld(cell, parameters);
        std::unique_ptr<MovieRecorder> movie;
        if (state.range(0)) {
            MovieOptions options;
            options.Path = folder.filePath("run.mp4").toStdString();
            options.Every = 0.1;
            movie = std::make_unique<MovieRecorder>(options, ViewMatrixOf(options.View), cell);
            movie->Observe(cell);
            cell.OnObserve = [&] { movie->Observe(cell); };
        }
        cell.RunChemMech(2.0);
        if (movie)
            movie->Finish(cell, false);
        state.counters["filaments"] = double(cell.Filaments.size());
    }
    state.counters["cpu_s"] =
        (CpuSeconds(RUSAGE_SELF) + CpuSeconds(RUSAGE_CHILDREN) - cpuBefore) / double(state.iterations());
}

// N filaments of 0.1 to 0.3 µm in a shell about a bacterium in a 2 µm box,
// as a grown network looks.
ObservedScene Network(int filaments)
{
    std::mt19937 draw(Seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    ObservedScene scene;
    scene.HasBacterium = true;
    scene.BacteriumCentre = {1e-6, 1e-6, 1e-6};
    scene.BacteriumRadius = 0.25e-6;
    for (int i = 0; i < filaments; ++i) {
        const double z = 2 * unit(draw) - 1, phi = 2 * M_PI * unit(draw), r = std::sqrt(1 - z * z);
        const CVector direction{r * std::cos(phi), r * std::sin(phi), z};
        const double from = 0.25e-6 + 0.3e-6 * unit(draw), length = 0.1e-6 + 0.2e-6 * unit(draw);
        scene.Filaments.push_back({scene.BacteriumCentre + direction * from,
                                   scene.BacteriumCentre + direction * (from + length), i % 4 == 0});
    }
    return scene;
}

void BM_MovieFrame(benchmark::State &state)
{
    const QTemporaryDir folder;
    const ObservedScene scene = Network(int(state.range(0)));
    WorldPicture picture(1280, 720, ViewMatrixOf({30, 20, 1.6}));
    picture.SetBox(TXYZ(2e-6));
    const double encoderBefore = CpuSeconds(RUSAGE_CHILDREN);
    const double drawingBefore = CpuSeconds(RUSAGE_SELF);
    {
        const std::unique_ptr<MovieFile> movie =
            OpenMovieFile(folder.filePath("frames.mp4").toStdString(), 25, 1280, 720);
        for (auto _ : state)
            movie->Add(picture.Draw(scene, "1.0"));
        movie->Close();
    }
    const double frames = double(state.iterations());
    state.counters["drawing_ms"] = 1e3 * (CpuSeconds(RUSAGE_SELF) - drawingBefore) / frames;
    state.counters["encoder_ms"] = 1e3 * (CpuSeconds(RUSAGE_CHILDREN) - encoderBefore) / frames;
}

} // namespace

BENCHMARK(BM_RunWithMovie)->ArgName("movie")->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_MovieFrame)
    ->ArgName("filaments")
    ->Arg(500)
    ->Arg(4300)
    ->Iterations(40)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

int main(int argc, char **argv)
{
    return RunQtBenchmarks(argc, argv);
}
