#include "Plotoptions.h"

#include "Commandlinereader.h"
#include "Ensembleplot.h"

#include <limits>

const char *const kPlotUsage =
    "Usage: filonex-plot SUMMARY --columns C1,C2,... [--sweep-point K,...] -o FILE\n"
    "Draws the mean and a band of one standard deviation either side over time for\n"
    "each column of an ensemble summary (summary.tsv of filonex-batch --runs).\n"
    "\n"
    "  --columns C1,...     columns of the observation table: ACG, ACF, ..., n_FORM,\n"
    "                       a_ASSB, p_SEVR, ..., mean_size\n"
    "  --sweep-point K,...  only these sweep points (from 0; default: all, one curve\n"
    "                       per point, labelled with the swept values from runs.tsv)\n"
    "  -o, --output FILE    the figure: FILE.png, FILE.svg or FILE.pdf\n"
    "  --size WxH           its size in pixels (default 1200x800)\n"
    "  --help               this text\n"
    "\n"
    "Needs no display. Exit status: 0 written, 1 the file could not be written,\n"
    "2 bad input.\n";

namespace {

std::vector<std::string> List(const std::string &text)
{
    std::vector<std::string> items;
    for (std::size_t at = 0;;) {
        const std::size_t comma = text.find(',', at);
        if (const std::string item = text.substr(at, comma - at); !item.empty())
            items.push_back(item);
        if (comma == std::string::npos)
            return items;
        at = comma + 1;
    }
}

int Whole(const std::string &name, const std::string &text, int least)
{
    if (const auto value = WholeNumber(text, least, std::numeric_limits<int>::max()))
        return *value;
    throw PlotUsageError(name + " needs whole numbers from " + std::to_string(least) + ", not '" + text + "'");
}

} // namespace

PlotOptions ParsePlotOptions(const std::vector<std::string> &arguments)
{
    PlotOptions options;
    CommandLineReader<PlotUsageError> line(arguments);
    while (line.Next()) {
        const std::string &name = line.Name();
        const auto value = [&] { return line.Value(); };
        if (name == "--columns") {
            options.Columns = List(value());
        } else if (name == "--sweep-point") {
            for (const std::string &point : List(value()))
                options.Points.push_back(Whole(name, point, 0));
        } else if (name == "-o" || name == "--output") {
            options.OutputPath = value();
        } else if (name == "--size") {
            const std::string size = value();
            const auto x = size.find('x');
            options.Width = Whole(name, size.substr(0, x), 100);
            options.Height = Whole(name, x == size.npos ? "" : size.substr(x + 1), 100);
        } else if (name == "--help" || name == "-h") {
            options.Help = true;
        } else if (line.IsOption()) {
            throw PlotUsageError("unknown option " + name);
        } else if (options.SummaryPath.empty()) {
            options.SummaryPath = name;
        } else {
            throw PlotUsageError("unexpected argument '" + name + "'");
        }
    }
    if (options.Help)
        return options;
    if (options.SummaryPath.empty())
        throw PlotUsageError("no summary file given");
    if (options.Columns.empty())
        throw PlotUsageError("--columns needs at least one column");
    if (options.OutputPath.empty())
        throw PlotUsageError("-o needs the figure's file name");
    if (!IsPlotFileName(options.OutputPath))
        throw PlotUsageError("the figure's file name must end in .png, .svg or .pdf, not '" +
                             options.OutputPath + "'");
    return options;
}
