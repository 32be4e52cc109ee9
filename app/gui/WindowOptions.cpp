#include "WindowOptions.h"

#include <charconv>

const char *const kWindowUsage =
    "Usage: filonex [--settings FILE] [--seed N] [--run] [--quit-when-done]\n"
    "The Filonex window.\n"
    "  --settings FILE    read and save the settings in FILE instead of filonex.ini\n"
    "                     beside the program (a missing file starts with the defaults)\n"
    "  --seed N           seed the random generators with N (0 to 4294967295), so that\n"
    "                     the first run repeats a filonex-batch run with the same seed\n"
    "  --run              start a run as soon as the window is shown\n"
    "  --quit-when-done   close the window (saving the settings) when the run ends\n"
    "  --help             show this text\n";

namespace {

std::uint32_t SeedValue(const std::string &text)
{
    std::uint32_t value = 0;
    const char *end = text.data() + text.size();
    const auto parsed = std::from_chars(text.data(), end, value);
    if (text.empty() || parsed.ec != std::errc() || parsed.ptr != end)
        throw WindowUsageError("--seed needs a whole number from 0 to 4294967295, not '" + text +
                               "'");
    return value;
}

} // namespace

WindowOptions ParseWindowOptions(const std::vector<std::string> &arguments)
{
    WindowOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::optional<std::string> attached;
        if (const std::size_t equals = name.find('='); name.rfind("--", 0) == 0 &&
                                                       equals != std::string::npos) {
            attached = name.substr(equals + 1);
            name.resize(equals);
        }
        const auto value = [&]() -> std::string {
            if (attached)
                return *attached;
            if (i + 1 >= arguments.size())
                throw WindowUsageError(name + " needs a value");
            return arguments[++i];
        };
        const auto flag = [&] {
            if (attached)
                throw WindowUsageError(name + " takes no value");
            return true;
        };
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
        else if (name.rfind("-", 0) == 0)
            throw WindowUsageError("unknown option " + name);
        else
            throw WindowUsageError("unexpected argument '" + name + "'");
    }
    return options;
}
