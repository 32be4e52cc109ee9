// The window's wall time for a run of the default world, with the 2D page
// shown and every display on, against filonex-batch --observe on the same
// world and seed: 10 s of chemistry alone and 0.5 s with mechanics. The
// runner's time is that of its run (its time for a run of length 0, start-up
// and apply, taken off); the window's runs from the click on Start until the
// run has returned and its last observations are shown. Each figure is the
// best of the repetitions, as both share the machine with other work.

#include "MainWindow.h"

#include "Random.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "QtBenchmarkMain.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <limits>

namespace {

constexpr std::uint32_t Seed = 20261207;

double WindowSeconds(const QString &settings, bool chemistryOnly)
{
    TfmMain window(settings, [](TfmMain::MessageKind, const QString &) {});
    window.World().Random.SeedWith(Seed);
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
    window.findChild<QTabWidget *>("PageControlMain")->setCurrentIndex(0);
    window.findChild<QToolButton *>(chemistryOnly ? "BtnSimChem" : "BtnSimMech")->setChecked(true);
    QApplication::processEvents();
    QElapsedTimer clock;
    clock.start();
    window.StartClicked();
    while (window.RunInProgress())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return double(clock.nsecsElapsed()) * 1e-9;
}

double RunnerSeconds(const QTemporaryDir &folder, bool chemistryOnly, const char *time)
{
    QStringList arguments{"--settings", folder.filePath("filonex.ini"),  "--seed",  QString::number(Seed),
                          "--observe",  folder.filePath("observed.txt"), "--quiet", "--time",
                          time};
    if (chemistryOnly)
        arguments << "--chemistry-only";
    QProcess runner;
    runner.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    runner.start(FILONEX_BATCH, arguments);
    runner.waitForFinished(-1);
    return double(clock.nsecsElapsed()) * 1e-9;
}

void WindowAgainstRunner(benchmark::State &state, bool chemistryOnly, const char *simTime)
{
    QTemporaryDir folder;
    QFile settings(folder.filePath("filonex.ini"));
    if (!settings.open(QIODevice::WriteOnly))
        state.SkipWithError("cannot write the settings file");
    settings.write(QByteArray("[ValueListSimulation]\nSIM_TIME=") + simTime + "\n");
    settings.close();

    double window = std::numeric_limits<double>::infinity();
    double runner = window;
    for (auto _ : state) {
        const double once = WindowSeconds(settings.fileName(), chemistryOnly);
        state.SetIterationTime(once);
        window = std::min(window, once);
        runner = std::min(runner, RunnerSeconds(folder, chemistryOnly, simTime) -
                                      RunnerSeconds(folder, chemistryOnly, "0"));
    }
    state.counters["window_s"] = window;
    state.counters["runner_s"] = runner;
    state.counters["ratio"] = window / runner;
}

BENCHMARK_CAPTURE(WindowAgainstRunner, chemistry_10s, true, "10")
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WindowAgainstRunner, mechanics_0_5s, false, "0.5")
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return RunQtBenchmarks(argc, argv);
}
