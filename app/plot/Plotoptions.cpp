#include "Plotoptions.h"

#include "ClosestName.h"
#include "Ensembleplot.h"
#include "Numbertext.h"

#include <limits>

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

std::string UnknownColumn(const std::string &name, const ObservationColumns &columns)
{
    std::vector<std::string> names;
    std::string list;
    for (const ObservationColumn &column : columns.Columns) {
        names.push_back(column.Name);
        list += (list.empty() ? "" : ", ") + column.Name;
    }
    const std::string suggestion = DidYouMean(name, names);
    return "--columns: unknown column '" + name + "'" + suggestion + (suggestion.empty() ? "; the" : " The") +
           " columns are " + list;
}

int Whole(const std::string &name, const std::string &text, int least)
{
    if (const auto value = WholeNumber(text, least, std::numeric_limits<int>::max()))
        return *value;
    throw UsageError(name + " needs whole numbers from " + std::to_string(least) + ", not '" + text + "'");
}

// The options of filonex-plot, each written into options; --columns takes
// those of columns.
void DefineOptions(CommandLine &line, PlotOptions &options, const ObservationColumns &columns)
{
    line.AddArgument("SUMMARY", "summary.tsv of an ensemble",
                     [&](const std::string &text) { options.SummaryPath = text; });
    line.AddValue("--columns", "C1,...",
                  "columns of the observation table: " + columns.NameList(), [&](const std::string &text) {
                      options.Columns = List(text);
                      for (const std::string &name : options.Columns)
                          if (!columns.Find(name))
                              throw UsageError(UnknownColumn(name, columns));
                  });
    line.AddValue("--sweep-point", "K,...",
                  "only these sweep points (from 0; default: all, one curve per point, labelled with the "
                  "swept values from runs.tsv)",
                  [&](const std::string &text) {
                      for (const std::string &point : List(text))
                          options.Points.push_back(Whole("--sweep-point", point, 0));
                  });
    line.AddValue("-o,--output", "FILE", "the figure: FILE.png, FILE.svg or FILE.pdf",
                  [&](const std::string &text) { options.OutputPath = text; });
    line.AddValue("--size", "WxH", "its size in pixels (default 1200x800)", [&](const std::string &size) {
        const auto x = size.find('x');
        options.Width = Whole("--size", size.substr(0, x), 100);
        options.Height = Whole("--size", x == size.npos ? "" : size.substr(x + 1), 100);
    });
    line.AddValue("--band", "sd|sem|ci95",
                  "the band about each mean: one standard deviation either side (default), one standard error "
                  "of the mean, or the 95 % confidence interval of the mean; a band of an amount that cannot "
                  "be negative is clipped at 0, and its legend entry says so",
                  [&](const std::string &text) {
                      if (text != "sd" && text != "sem" && text != "ci95")
                          throw UsageError("--band needs sd, sem or ci95, not '" + text + "'" +
                                           DidYouMean(text, {"sd", "sem", "ci95"}));
                      options.Band = text;
                  });
    line.AddValue("--title", "TEXT", "the figure's title (default: the columns)",
                  [&](const std::string &text) { options.Title = text; });
    line.AddFlag("-h,--help", "this text", options.Help);
}

CommandLine PlotCommandLine()
{
    return CommandLine("filonex-plot",
                       "Draws the mean and a band of one standard deviation either side over time for\n"
                       "each column of an ensemble summary (summary.tsv of filonex-batch --runs).",
                       "Needs no display. Exit status: 0 written, 1 the file could not be written,\n"
                       "2 bad input.\n");
}

} // namespace

PlotOptions ParsePlotOptions(const std::vector<std::string> &arguments, const ObservationColumns &columns)
{
    PlotOptions options;
    CommandLine line = PlotCommandLine();
    DefineOptions(line, options, columns);
    line.Parse(arguments);
    if (options.Help)
        return options;
    if (options.SummaryPath.empty())
        throw UsageError("no summary file given");
    if (options.Columns.empty())
        throw UsageError("--columns needs at least one column");
    if (options.OutputPath.empty())
        throw UsageError("-o needs the figure's file name");
    if (!IsPlotFileName(options.OutputPath))
        throw UsageError("the figure's file name must end in .png, .svg or .pdf, not '" + options.OutputPath +
                         "'");
    return options;
}

std::string PlotHelp(const ObservationColumns &columns)
{
    PlotOptions options;
    CommandLine line = PlotCommandLine();
    DefineOptions(line, options, columns);
    return line.Help();
}
