// The user-interface cost of one observation of a run: status bar, value
// lists, one point on every curve with a redraw of the visible chart, and a
// rebuild and redraw of the 3D scene, in a grown world of 2,000 filaments
// whose curves already hold 10,000 points each.

#include "MainWindow.h"

#include "Cell.h"

#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr int Filaments = 2000;
constexpr int PointsPerCurve = 10000;
constexpr double ObservationStep = 0.01; // s

// One window with the grown world, shared by the benchmarks.
class GrownWindow {
public:
    GrownWindow()
    {
        window_ = std::make_unique<TfmMain>(folder_.filePath("filonex.ini"),
                                            [](TfmMain::MessageKind, const QString &) {});
        window_->show();
        (void)QTest::qWaitForWindowExposed(window_.get());
        CCell &cell = window_->World();
        for (int i = 0; i < Filaments; ++i)
            cell.FormFilament();
        for (int i = 0; i < PointsPerCurve; ++i) {
            cell.ObsTime += ObservationStep;
            window_->AddChartPoints();
        }
        QApplication::processEvents();
    }

    TfmMain &Window() { return *window_; }

    void ShowPage(const char *page)
    {
        auto *pages = window_->findChild<QTabWidget *>("PageControlMain");
        pages->setCurrentIndex(QString(page) == "2D" ? 0 : 1);
        QApplication::processEvents();
    }

private:
    QTemporaryDir folder_;
    std::unique_ptr<TfmMain> window_;
};

// Made by the first benchmark, destroyed before the application object.
std::unique_ptr<GrownWindow> TheGrownWindow;

GrownWindow &Grown()
{
    if (!TheGrownWindow)
        TheGrownWindow = std::make_unique<GrownWindow>();
    return *TheGrownWindow;
}

void Observe(benchmark::State &state, const char *page)
{
    GrownWindow &grown = Grown();
    grown.ShowPage(page);
    CCell &cell = grown.Window().World();
    for (auto _ : state) {
        cell.ObsTime += ObservationStep;
        grown.Window().OnObservation();
    }
    state.counters["filaments"] = double(cell.Filaments.size());
}

void BM_ObservationWithChartsShown(benchmark::State &state)
{
    Observe(state, "2D");
}
BENCHMARK(BM_ObservationWithChartsShown)->Unit(benchmark::kMillisecond);

void BM_ObservationWith3DShown(benchmark::State &state)
{
    Observe(state, "3D");
}
BENCHMARK(BM_ObservationWith3DShown)->Unit(benchmark::kMillisecond);

} // namespace

// Qt must be torn down in order (window, then application) before the
// program's static objects go, so this program has its own entry.
int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    // A display is needed for the 3D view; without one Qt draws off screen.
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    TheGrownWindow.reset();
    benchmark::Shutdown();
    return 0;
}
