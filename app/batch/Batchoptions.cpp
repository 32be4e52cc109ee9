#include "Batchoptions.h"

#include "Numbertext.h"

#include <charconv>

const char *const kBatchUsage =
    "Usage: filonex-batch [--settings FILE] [--seed N] [--method NAME] [--chemistry-only]\n"
    "                     [--time T] [--observe FILE] [--threads N] [--quiet]\n"
    "Runs a Filonex simulation without a window and prints the final state.\n"
    "\n"
    "  --settings FILE   parameters from FILE (default: filonex.ini beside the program;\n"
    "                    a missing default file means the default parameters)\n"
    "  --seed N          seed the random numbers with N (0 to 4294967295); without it\n"
    "                    the seed is taken from the clock and printed to standard error\n"
    "  --method NAME     \"First reaction\" or \"Next reaction\" (default: SIM_METHOD of\n"
    "                    the settings file, else \"First reaction\")\n"
    "  --chemistry-only  no mechanics, as with the \"Ch\" button\n"
    "  --time T          run until T seconds (default: SIM_TIME)\n"
    "  --observe FILE    write the chart points of every observation to FILE as text\n"
    "  --threads N       threads of the mechanics step (default: one per core); any\n"
    "                    number gives the same results\n"
    "  --quiet           no progress bar\n"
    "  --help            this text\n"
    "\n"
    "Exit status: 0 done, 1 floating-point error during the run, 2 bad input,\n"
    "130 stopped by Ctrl-C.\n";

namespace {

std::uint32_t SeedValue(const std::string &text)
{
    std::uint32_t value = 0;
    const char *end = text.data() + text.size();
    const auto parsed = std::from_chars(text.data(), end, value);
    if (text.empty() || parsed.ec != std::errc() || parsed.ptr != end)
        throw UsageError("--seed needs a whole number from 0 to 4294967295, not '" + text + "'");
    return value;
}

int ThreadsValue(const std::string &text)
{
    int value = 0;
    const char *end = text.data() + text.size();
    const auto parsed = std::from_chars(text.data(), end, value);
    if (text.empty() || parsed.ec != std::errc() || parsed.ptr != end || value < 1 || value > 1024)
        throw UsageError("--threads needs a whole number from 1 to 1024, not '" + text + "'");
    return value;
}

double TimeValue(const std::string &text)
{
    try {
        return ParseNumber(text);
    } catch (const ConversionError &) {
        throw UsageError("--time needs a number of seconds, not '" + text + "'");
    }
}

std::string MethodValue(const std::string &text)
{
    if (text != "First reaction" && text != "Next reaction")
        throw UsageError("--method needs \"First reaction\" or \"Next reaction\", not '" + text +
                         "'");
    return text;
}

} // namespace

BatchOptions ParseBatchOptions(const std::vector<std::string> &arguments)
{
    BatchOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::optional<std::string> inlineValue;
        const auto equals = name.find('=');
        if (name.rfind("--", 0) == 0 && equals != std::string::npos) {
            inlineValue = name.substr(equals + 1);
            name.erase(equals);
        }
        const auto value = [&]() -> std::string {
            if (inlineValue)
                return *inlineValue;
            if (i + 1 >= arguments.size())
                throw UsageError(name + " needs a value");
            return arguments[++i];
        };
        const auto flag = [&] {
            if (inlineValue)
                throw UsageError(name + " takes no value");
            return true;
        };

        if (name == "--settings")
            options.SettingsPath = value();
        else if (name == "--seed")
            options.Seed = SeedValue(value());
        else if (name == "--method")
            options.Method = MethodValue(value());
        else if (name == "--chemistry-only")
            options.ChemistryOnly = flag();
        else if (name == "--time")
            options.EndTime = TimeValue(value());
        else if (name == "--observe")
            options.ObservePath = value();
        else if (name == "--threads")
            options.Threads = ThreadsValue(value());
        else if (name == "--quiet")
            options.Quiet = flag();
        else if (name == "--help" || name == "-h")
            options.Help = flag();
        else if (name.rfind("-", 0) == 0)
            throw UsageError("unknown option " + name);
        else
            throw UsageError("unexpected argument '" + name + "'");
    }
    return options;
}
