// A figure of one column at many sweep points, drawn, saved as PNG and let
// go: the time should grow in proportion to the points.

#include "Ensembleplot.h"
#include "QtBenchmarkMain.h"

#include <filesystem>

namespace {

std::vector<SummarySeries> SweepSeries(int points)
{
    std::vector<SummarySeries> series(points);
    for (int point = 0; point < points; ++point) {
        series[point].Point = point;
        series[point].Column = "ACG";
        series[point].MaxN = 4;
        for (int k = 0; k <= 10; ++k) {
            series[point].Time.push_back(0.1 * k);
            series[point].Mean.push_back(10.0 * point + k);
            series[point].Sd.push_back(3);
            series[point].N.push_back(4);
            series[point].CiLow.push_back(10.0 * point + k - 5);
            series[point].CiHigh.push_back(10.0 * point + k + 5);
        }
    }
    return series;
}

void BM_SweepFigure(benchmark::State &state)
{
    const auto series = SweepSeries(static_cast<int>(state.range(0)));
    const std::string path = (std::filesystem::temp_directory_path() / "filonex-plotbench.png").string();
    for (auto _ : state) {
        EnsemblePlot plot;
        DrawEnsemblePlot(plot, series, {}, {});
        if (!SavePlot(plot, path, 1200, 800))
            state.SkipWithError("cannot write the figure");
    }
    std::filesystem::remove(path);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SweepFigure)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->Complexity();

} // namespace

int main(int argc, char **argv)
{
    return RunQtBenchmarks(argc, argv);
}
