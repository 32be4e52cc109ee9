#include "WindowOptions.h"

#include "Batchoptions.h"
#include "Numbertext.h"
#include "Outputpaths.h"
#include "Random.h"

#include <QCommandLineParser>

#include <algorithm>
#include <functional>

namespace {

struct Definition {
    QCommandLineOption Option;
    // Applies the option's value (a flag's is empty); raises WindowUsageError.
    std::function<void(WindowOptions &, const std::string &)> Take;
};

std::uint32_t SeedValue(const std::string &text)
{
    // The runner's range, in which every seed gives a run of its own.
    if (const auto seed = WholeNumber<std::uint32_t>(text, 0, LARGEST_DISTINCT_SEED))
        return *seed;
    throw WindowUsageError("--seed needs a whole number from 0 to " + std::to_string(LARGEST_DISTINCT_SEED) +
                           ", not '" + text + "'");
}

std::string ResultPath(const char *option, const std::string &path)
{
    if (path.empty())
        throw WindowUsageError(std::string(option) + " needs a file name");
    return path;
}

std::vector<Definition> Definitions()
{
    return {
        {QCommandLineOption("settings",
                            "read and save the settings in FILE instead of filonex.ini beside the program (a "
                            "missing file starts with the defaults)",
                            "FILE"),
         [](WindowOptions &options, const std::string &path) {
             if (path.empty())
                 throw WindowUsageError("--settings needs a file name");
             options.SettingsPath = QString::fromStdString(path);
         }},
        {QCommandLineOption("seed",
                            "seed the random generators with N (0 to " +
                                QString::number(LARGEST_DISTINCT_SEED) +
                                "), so that the first run repeats a filonex-batch run with the same seed",
                            "N"),
         [](WindowOptions &options, const std::string &text) { options.Seed = SeedValue(text); }},
        {QCommandLineOption("run", "start a run as soon as the window is shown"),
         [](WindowOptions &options, const std::string &) { options.RunAtOnce = true; }},
        {QCommandLineOption("quit-when-done", "close the window (saving the settings) when the run ends"),
         [](WindowOptions &options, const std::string &) { options.QuitWhenDone = true; }},
        {QCommandLineOption(
             "table",
             "with --run and --quit-when-done: write the observation table of the run to FILE, "
             "as filonex-batch --table",
             "FILE"),
         [](WindowOptions &options, const std::string &path) {
             options.TablePath = ResultPath("--table", path);
         }},
        {QCommandLineOption("save-world",
                            "with --run and --quit-when-done: save the world at the end of the run to FILE, "
                            "as filonex-batch --save-world",
                            "FILE"),
         [](WindowOptions &options, const std::string &path) {
             options.SaveWorldPath = ResultPath("--save-world", path);
         }},
        {QCommandLineOption({"h", "help"}, "show this text"),
         [](WindowOptions &options, const std::string &) { options.Help = true; }},
    };
}

void AddOptions(QCommandLineParser &parser, const std::vector<Definition> &definitions)
{
    parser.setApplicationDescription("The Filonex window.");
    for (const Definition &definition : definitions)
        parser.addOption(definition.Option);
}

// "--name" or "-n", as typed.
std::string Dashed(const QString &name)
{
    return (name.size() == 1 ? "-" : "--") + name.toStdString();
}

// The option of definitions that argument ("--name" or "--name=value") names.
const QCommandLineOption *OptionNamed(const std::vector<Definition> &definitions, const std::string &argument)
{
    const std::string name = argument.substr(0, argument.find('='));
    for (const Definition &definition : definitions)
        for (const QString &alias : definition.Option.names())
            if (Dashed(alias) == name)
                return &definition.Option;
    return nullptr;
}

// Qt's parser says what failed only in words of its own: a value missing
// after the last argument, an unknown option, or a value given to a flag.
[[noreturn]] void ThrowParseError(const QCommandLineParser &parser,
                                  const std::vector<Definition> &definitions,
                                  const std::vector<std::string> &arguments)
{
    if (const QCommandLineOption *last = OptionNamed(definitions, arguments.back());
        last && !last->valueName().isEmpty() && arguments.back().find('=') == std::string::npos)
        throw WindowUsageError(arguments.back() + " needs a value");
    if (!parser.unknownOptionNames().isEmpty())
        throw WindowUsageError("unknown option " + Dashed(parser.unknownOptionNames().first()));
    for (const std::string &argument : arguments)
        if (const QCommandLineOption *option = OptionNamed(definitions, argument);
            option && option->valueName().isEmpty() && argument.find('=') != std::string::npos)
            throw WindowUsageError(argument.substr(0, argument.find('=')) + " takes no value");
    throw WindowUsageError(parser.errorText().toStdString());
}

} // namespace

WindowOptions ParseWindowOptions(const std::vector<std::string> &arguments)
{
    const std::vector<Definition> definitions = Definitions();
    QCommandLineParser parser;
    AddOptions(parser, definitions);
    QStringList qtArguments{"filonex"};
    for (const std::string &argument : arguments)
        qtArguments << QString::fromStdString(argument);
    if (!parser.parse(qtArguments))
        ThrowParseError(parser, definitions, arguments);
    // Before the stray arguments, as those after such a value are misread.
    for (const Definition &definition : definitions)
        for (const QString &value : parser.values(definition.Option))
            if (value.startsWith("--"))
                throw WindowUsageError(Dashed(definition.Option.names().last()) + " needs a value, not '" +
                                       value.toStdString() + "'");
    if (!parser.positionalArguments().isEmpty())
        throw WindowUsageError("unexpected argument '" + parser.positionalArguments().first().toStdString() +
                               "'");

    WindowOptions options;
    const QStringList given = parser.optionNames(); // each time an option is given
    for (const Definition &definition : definitions) {
        const auto times = std::count_if(given.begin(), given.end(), [&](const QString &n) {
            return definition.Option.names().contains(n);
        });
        if (times > 1)
            throw WindowUsageError(Dashed(definition.Option.names().last()) + " is given more than once");
        if (times == 0)
            continue;
        definition.Take(options, parser.value(definition.Option).toStdString());
    }
    if ((options.TablePath || options.SaveWorldPath) && !(options.RunAtOnce && options.QuitWhenDone))
        throw WindowUsageError(std::string(options.TablePath ? "--table" : "--save-world") +
                               " needs --run and --quit-when-done: results are written when the run ends");
    return options;
}

std::string ResultPathsProblem(const std::optional<std::string> &table,
                               const std::optional<std::string> &world, const std::string &settingsPath)
{
    BatchOptions outputs;
    outputs.TablePath = table;
    outputs.SaveWorldPath = world;
    return OutputPathsProblem(outputs, settingsPath);
}

std::string WindowHelp()
{
    QCommandLineParser parser;
    AddOptions(parser, Definitions());
    // Without an application object Qt cannot know the program's name.
    const QString help = parser.helpText();
    return "Usage: filonex [options]" + help.mid(help.indexOf('\n')).toStdString();
}
