// The window's wall time for a run of the default world, with the 2D page
// shown and every display on, against filonex-batch --observe on the same
// world and seed: 10 s of chemistry alone and 0.5 s with mechanics. The
// runner's time is that of its run (its time for a run of length 0, start-up
// and apply, taken off); the window's runs from the click on Start until the
// run has returned and its last observations are shown. The third case is a
// user's: 5 s with mechanics and the 3D page shown, start-up included on both
// sides (the window from its making, the runner as a whole process). Each
// figure is the best of the repetitions, as both share the machine with
// other work.

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

struct Case {
    bool ChemistryOnly;
    const char *SimTime; // s
    bool StartUp;        // included on both sides, with the 3D page shown
};

double WindowSeconds(const QString &settings, const Case &run)
{
    QElapsedTimer clock;
    clock.start();
    TfmMain window(settings, [](TfmMain::MessageKind, const QString &) {});
    window.World().Random.SeedWith(Seed);
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
    window.findChild<QTabWidget *>("PageControlMain")->setCurrentIndex(run.StartUp ? 1 : 0);
    window.findChild<QToolButton *>(run.ChemistryOnly ? "BtnSimChem" : "BtnSimMech")->setChecked(true);
    QApplication::processEvents();
    if (!run.StartUp)
        clock.restart();
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

void WindowAgainstRunner(benchmark::State &state, Case run)
{
    const char *simTime = run.SimTime;
    QTemporaryDir folder;
    QFile settings(folder.filePath("filonex.ini"));
    if (!settings.open(QIODevice::WriteOnly))
        state.SkipWithError("cannot write the settings file");
    settings.write(QByteArray("[ValueListSimulation]\nSIM_TIME=") + simTime + "\n");
    settings.close();

    double window = std::numeric_limits<double>::infinity();
    double runner = window;
    for (auto _ : state) {
        const double once = WindowSeconds(settings.fileName(), run);
        state.SetIterationTime(once);
        window = std::min(window, once);
        const double startUp = run.StartUp ? 0.0 : RunnerSeconds(folder, run.ChemistryOnly, "0");
        runner = std::min(runner, RunnerSeconds(folder, run.ChemistryOnly, simTime) - startUp);
    }
    state.counters["window_s"] = window;
    state.counters["runner_s"] = runner;
    state.counters["ratio"] = window / runner;
}

// Closing the window 2 s into a 100-s run of the default world with
// mechanics, without a question (as --quit-when-done and SIGTERM close): from
// the close until the window is gone, the run stopped and the settings saved.
// The target is well under a second.
void ClosingDuringARun(benchmark::State &state)
{
    QTemporaryDir folder;
    for (auto _ : state) {
        TfmMain window(folder.filePath("filonex.ini"), [](TfmMain::MessageKind, const QString &) {});
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
        window.StartClicked();
        QTest::qWait(2000);
        window.CloseWhenRunEnds();
        QElapsedTimer clock;
        clock.start();
        window.close();
        while (window.isVisible())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.SetIterationTime(double(clock.nsecsElapsed()) * 1e-9);
    }
}

BENCHMARK(ClosingDuringARun)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(WindowAgainstRunner, chemistry_10s, Case{true, "10", false})
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WindowAgainstRunner, mechanics_0_5s, Case{false, "0.5", false})
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WindowAgainstRunner, mechanics_5s_with_start_up, Case{false, "5", true})
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return RunQtBenchmarks(argc, argv);
}
