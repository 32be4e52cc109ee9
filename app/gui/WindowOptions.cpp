#include "WindowOptions.h"

#include "Commandlinereader.h"
#include "Random.h"

const char *const kWindowUsage =
    "Usage: filonex [--settings FILE] [--seed N] [--run] [--quit-when-done]\n"
    "The Filonex window.\n"
    "  --settings FILE    read and save the settings in FILE instead of filonex.ini\n"
    "                     beside the program (a missing file starts with the defaults)\n"
    "  --seed N           seed the random generators with N (0 to 2147483646), so that\n"
    "                     the first run repeats a filonex-batch run with the same seed\n"
    "  --run              start a run as soon as the window is shown\n"
    "  --quit-when-done   close the window (saving the settings) when the run ends\n"
    "  --help             show this text\n";

namespace {

std::uint32_t SeedValue(const std::string &text)
{
    // The runner's range, in which every seed gives a run of its own.
    if (const auto seed = WholeNumber<std::uint32_t>(text, 0, LARGEST_DISTINCT_SEED))
        return *seed;
    throw WindowUsageError("--seed needs a whole number from 0 to " + std::to_string(LARGEST_DISTINCT_SEED) +
                           ", not '" + text + "'");
}

} // namespace

WindowOptions ParseWindowOptions(const std::vector<std::string> &arguments)
{
    WindowOptions options;
    CommandLineReader<WindowUsageError> line(arguments);
    while (line.Next()) {
        const std::string &name = line.Name();
        const auto value = [&] { return line.Value(); };
        const auto flag = [&] { return line.Flag(); };
        if (name == "--settings") {
            const std::string path = value();
            if (path.empty())
                throw WindowUsageError("--settings needs a file name");
            options.SettingsPath = QString::fromStdString(path);
        } else if (name == "--seed")
            options.Seed = SeedValue(value());
        else if (name == "--run")
            options.RunAtOnce = flag();
        else if (name == "--quit-when-done")
            options.QuitWhenDone = flag();
        else if (name == "--help" || name == "-h")
            options.Help = flag();
        else if (line.IsOption())
            throw WindowUsageError("unknown option " + name);
        else
            throw WindowUsageError("unexpected argument '" + name + "'");
    }
    return options;
}
