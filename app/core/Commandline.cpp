#include "Commandline.h"

#include "ClosestName.h"

#include <CLI/CLI.hpp>

#include <sstream>

namespace {

constexpr std::size_t kHelpWidth = 80;  // characters of a help line
constexpr std::size_t kHelpColumn = 24; // where the descriptions start

// text broken at blanks into lines of at most width characters.
std::string Wrapped(const std::string &text, std::size_t width)
{
    std::string wrapped, line;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            wrapped += line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    return wrapped + line;
}

std::string ArgumentNames(const CLI::App &app)
{
    std::string names;
    for (const CLI::Option *argument :
         app.get_options([](const CLI::Option *o) { return o->get_positional(); }))
        names += " " + argument->get_name(true, false);
    return names;
}

// Usage lines first, then the description, the options with their value
// names only, wrapped descriptions, the commands with their arguments.
class HelpFormatter : public CLI::Formatter {
public:
    HelpFormatter()
    {
        column_width(kHelpColumn);
        label("Positionals", "Arguments");
    }

    std::string make_help(const CLI::App *app, std::string name, CLI::AppFormatMode mode) const override
    {
        const std::string help = make_usage(app, name) + make_description(app) + make_positionals(app) +
                                 make_groups(app, mode) + make_subcommands(app, mode) + "\n" +
                                 make_footer(app);
        return CLI::detail::find_and_replace(help, "\n\n\n", "\n\n"); // one blank line between groups
    }

    std::string make_usage(const CLI::App *app, std::string name) const override
    {
        std::string usage = "Usage: " + name + " [options]" + ArgumentNames(*app) + "\n";
        for (const CLI::App *command : app->get_subcommands({}))
            usage += "       " + name + " " + command->get_name() + ArgumentNames(*command) + "\n";
        return usage;
    }

    std::string make_subcommand(const CLI::App *command) const override
    {
        std::ostringstream out;
        CLI::detail::format_help(out, command->get_name() + ArgumentNames(*command),
                                 Wrapped(command->get_description(), kHelpWidth - kHelpColumn), kHelpColumn);
        return out.str();
    }

    std::string make_option_name(const CLI::Option *option, bool positional) const override
    {
        if (positional)
            return option->get_name(true, false);
        return CLI::detail::find_and_replace(option->get_name(false, true), ",", ", ");
    }

    std::string make_option_opts(const CLI::Option *option) const override
    {
        return option->get_type_size() != 0 ? " " + option->get_type_name() : std::string();
    }

    std::string make_option_desc(const CLI::Option *option) const override
    {
        return Wrapped(option->get_description(), kHelpWidth - kHelpColumn);
    }
};

} // namespace

struct CommandLine::Reader {
    CLI::Option *Option = nullptr;
    Take TakeValue;
    bool Repeats = false;
    bool IsFlag = false;
};

struct CommandLine::Command {
    CLI::App *App = nullptr;
    CLI::Option *Argument = nullptr;
    std::string ArgumentName;
    std::string ArgumentHelp;
    Take TakeArgument;
};

CommandLine::CommandLine(const std::string &program, const std::string &description,
                         const std::string &footer)
    : program_(program), app_(std::make_unique<CLI::App>(description, program))
{
    app_->set_help_flag(); // --help is defined by the program like its other flags
    app_->allow_extras();  // unknown options and stray arguments get our messages
    app_->footer(footer);
    app_->formatter(std::make_shared<HelpFormatter>());
    // Every occurrence is kept, so that Parse can refuse repeated options.
    app_->option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

CommandLine::~CommandLine() = default;

void CommandLine::Group(const std::string &title)
{
    group_ = title;
}

void CommandLine::Add(CLI::Option *option, Take take, bool repeats, bool isFlag)
{
    option->group(group_);
    readers_.push_back({option, std::move(take), repeats, isFlag});
}

void CommandLine::AddValue(const std::string &names, const std::string &valueName, const std::string &help,
                           Take take)
{
    Add(app_->add_option(names, help)->type_name(valueName), std::move(take), false, false);
}

void CommandLine::AddRepeatedValue(const std::string &names, const std::string &valueName,
                                   const std::string &help, Take take)
{
    Add(app_->add_option(names, help)->type_name(valueName), std::move(take), true, false);
}

void CommandLine::AddFlag(const std::string &names, const std::string &help, bool &flag)
{
    Add(
        app_->add_flag(names, help), [&flag](const std::string &) { flag = true; }, false, true);
}

void CommandLine::AddArgument(const std::string &valueName, const std::string &help, Take take)
{
    Add(app_->add_option(valueName, help), std::move(take), false, false);
}

void CommandLine::AddArguments(const std::string &valueName, const std::string &help, Take take)
{
    Add(app_->add_option(valueName, help)->expected(CLI::detail::expected_max_vector_size), std::move(take),
        true, false);
}

void CommandLine::AddCommand(const std::string &name, const std::string &argumentName,
                             const std::string &argumentHelp, const std::string &help, Take take)
{
    CLI::App *command = app_->add_subcommand(name, help);
    command->group("Commands");
    command->allow_extras();
    commands_.push_back(
        {command, command->add_option(argumentName), argumentName, argumentHelp, std::move(take)});
}

const CommandLine::Reader *CommandLine::ReaderOf(const std::string &name) const
{
    for (const Reader &reader : readers_)
        if (!reader.Option->get_positional() && reader.Option->check_name(name))
            return &reader;
    return nullptr;
}

void CommandLine::Parse(const std::vector<std::string> &arguments)
{
    // CLI11 would take the next argument as the value of "--x=" and read the
    // value of "--flag=v" as true or false.
    for (const std::string &argument : arguments) {
        if (argument == "--")
            break;
        const std::size_t equals = argument.find('=');
        if (!argument.starts_with("--") || equals == std::string::npos)
            continue;
        const std::string name = argument.substr(0, equals);
        if (const Reader *reader = ReaderOf(name); reader && reader->IsFlag)
            throw UsageError(name + " takes no value");
        else if (reader && equals + 1 == argument.size())
            throw UsageError(name + " needs a value");
    }

    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend()); // as CLI11 reads them
    try {
        app_->parse(reversed);
    } catch (const CLI::ArgumentMismatch &) {
        // An option takes the next argument, whatever it is: only one at the
        // end can be without its value.
        throw UsageError(arguments.back() + " needs a value");
    } catch (const CLI::ParseError &error) {
        throw UsageError(error.what());
    }

    for (const Command &command : commands_) {
        if (!command.App->parsed())
            continue;
        if (arguments.size() != 2 || arguments[0] != command.App->get_name() ||
            command.Argument->count() != 1)
            throw UsageError(command.App->get_name() + " needs " + command.ArgumentHelp + ": " + program_ +
                             " " + command.App->get_name() + " " + command.ArgumentName);
        command.TakeArgument(command.Argument->results()[0]);
        return;
    }

    // First, as the arguments after such a value are misread.
    for (const Reader &reader : readers_)
        for (const std::string &value : reader.Option->results())
            if (!reader.IsFlag && !reader.Option->get_positional() && value.starts_with("--"))
                throw UsageError(reader.Option->get_name() + " needs a value, not '" + value + "'");

    if (const std::vector<std::string> extras = app_->remaining(); !extras.empty()) {
        const std::string &first = extras.front();
        if (first.starts_with("-")) {
            const std::string name = first.substr(0, first.find('='));
            throw UsageError("unknown option " + name + DidYouMean(name, OptionNames()));
        }
        throw UsageError("unexpected argument '" + first + "'");
    }

    for (const Reader &reader : readers_) {
        const std::vector<std::string> &values = reader.Option->results();
        if (values.size() > 1 && !reader.Repeats)
            throw UsageError(reader.Option->get_name() + " is given more than once");
        for (const std::string &value : values)
            reader.TakeValue(value);
    }
}

std::vector<std::string> CommandLine::OptionNames() const
{
    std::vector<std::string> names;
    for (const Reader &reader : readers_) {
        for (const std::string &name : reader.Option->get_lnames())
            names.push_back("--" + name);
        for (const std::string &name : reader.Option->get_snames())
            names.push_back("-" + name);
    }
    return names;
}

std::string CommandLine::Help() const
{
    return app_->help();
}
