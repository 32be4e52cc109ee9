#pragma once

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <functional>

// The entry of a benchmark program that needs Qt: the benchmarks run inside a
// QApplication (drawing off screen where there is no display), and Qt is torn
// down, after `beforeQuit` has let go of the program's widgets, before the
// program's static objects go.
inline int RunQtBenchmarks(int argc, char **argv, const std::function<void()> &beforeQuit = {})
{
    benchmark::Initialize(&argc, argv);
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    if (beforeQuit)
        beforeQuit();
    benchmark::Shutdown();
    return 0;
}
