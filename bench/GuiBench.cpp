// The window thread's cost of one display refresh during a run: status bar,
// value lists, the points of the observations since the last refresh on every
// curve with a drawing of the visible chart, or a rebuild and drawing of the
// 3D scene, in a grown world of 2,000 filaments whose curves already hold
// 10,000 points each. What the run's thread records is not counted.

#include "MainWindow.h"

#include "Cell.h"
#include "Chart.h"

#include <qcustomplot.h>

#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "QtBenchmarkMain.h"

#include <benchmark/benchmark.h>

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

// One refresh taking `observations` recorded observations.
void Refresh(benchmark::State &state, const char *page)
{
    GrownWindow &grown = Grown();
    grown.ShowPage(page);
    TfmMain &window = grown.Window();
    CCell &cell = window.World();
    auto *chart = window.findChild<TChart *>("Chart2DN");
    const auto observations = state.range(0);
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < observations; ++i) {
            cell.ObsTime += ObservationStep;
            cell.OnObserve(); // the session's observer, as the run's thread calls it
        }
        state.ResumeTiming();
        window.Session().HandOver();
        if (chart->isVisible())
            chart->Plot()->replot();
        QApplication::processEvents(); // the 3D view draws here
    }
    state.counters["filaments"] = double(cell.Filaments.size());
    state.counters["points"] = double(chart->Series(0)->Count());
}

// At batch speed a chemistry-only run makes about 250 observations between
// two refreshes; a run with mechanics one or two.
void BM_RefreshWithChartsShown(benchmark::State &state)
{
    Refresh(state, "2D");
}
// A fixed number of refreshes, so that the curves stay near 10,000 points.
BENCHMARK(BM_RefreshWithChartsShown)->Arg(1)->Arg(250)->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_RefreshWith3DShown(benchmark::State &state)
{
    Refresh(state, "3D");
}
BENCHMARK(BM_RefreshWith3DShown)->Arg(1)->Arg(250)->Iterations(20)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return RunQtBenchmarks(argc, argv, [] { TheGrownWindow.reset(); });
}
