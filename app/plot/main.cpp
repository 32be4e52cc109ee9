// filonex-plot: figures of an ensemble summary, drawn without a display.

#include "Ensembleplot.h"
#include "Outputfile.h"
#include "Plotoptions.h"
#include "Summaryseries.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <qcustomplot.h>

#include <cstdio>
#include <filesystem>

namespace {

constexpr int kWritten = 0;
constexpr int kCannotWrite = 1;
constexpr int kBadInput = 2;

int Fail(int status, const std::string &message)
{
    std::fprintf(stderr, "filonex-plot: %s\n", message.c_str());
    return status;
}

} // namespace

int main(int argc, char **argv)
{
    PlotOptions options;
    try {
        options = ParsePlotOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError &e) {
        Fail(kBadInput, e.what());
        std::fputs("Try 'filonex-plot --help'.\n", stderr);
        return kBadInput;
    }
    if (options.Help) {
        std::fputs(PlotHelp().c_str(), stdout);
        return kWritten;
    }

    if (const std::string problem = FigureSizeProblem(options.Width, options.Height); !problem.empty())
        return Fail(kBadInput, problem);
    // A FIFO would block the drawing and a device would take it in place of a file.
    if (const std::string problem = OutputTargetProblem(options.OutputPath); !problem.empty())
        return Fail(kBadInput, problem);

    std::vector<SummarySeries> series;
    std::map<int, std::string> labels;
    PlotFigure figure;
    try {
        series = ReadSummarySeries(options.SummaryPath, options.Columns, options.Points);
        const auto manifest = std::filesystem::path(options.SummaryPath).parent_path() / "runs.tsv";
        labels = ReadPointLabels(manifest.string());
        figure.Provenance = ReadProvenance(options.SummaryPath, series);
    } catch (const std::exception &e) {
        return Fail(kBadInput, e.what());
    }
    figure.Band = options.Band == "sem" ? PlotBand::Sem : options.Band == "ci95" ? PlotBand::Ci95 : PlotBand::Sd;
    figure.Width = options.Width;
    figure.Height = options.Height;
    figure.Title = options.Title;
    if (figure.Title.empty())
        for (std::size_t i = 0; i < options.Columns.size(); ++i)
            figure.Title += (i ? ", " : "") + options.Columns[i];

    // The figure is drawn into an image: no display is needed or used, nor
    // a runtime folder, which Qt would warn about lacking.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtime.isValid())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QApplication application(argc, argv);
    EnsemblePlot plot;
    DrawEnsemblePlot(plot, series, labels, figure);
    if (!SavePlot(plot, options.OutputPath, options.Width, options.Height))
        return Fail(kCannotWrite, "cannot write the figure '" + options.OutputPath + "'");
    return kWritten;
}
