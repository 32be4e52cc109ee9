#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace CLI {
class App;
class Option;
} // namespace CLI

// A command line that cannot be used; the message says why.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The options of a program, read by CLI11 in the forms all our programs share:
// "--name value" or "--name=value", flags without a value, each option at most
// once unless it repeats by design, and no value that starts with "--" (an
// option that lost its value would otherwise swallow the next option). A
// value may start with one dash, so negative numbers reach their checks.
// --help is generated from the definitions.
class CommandLine {
public:
    // Converts an option's value into the program's options; raises UsageError.
    using Take = std::function<void(const std::string &)>;

    // The description follows the usage lines of the help, the footer its
    // option list.
    CommandLine(const std::string &program, const std::string &description, const std::string &footer);
    ~CommandLine();

    // Options defined after this are listed under title in the help.
    void Group(const std::string &title);
    // names as CLI11 spells them: "--time", "-o,--output".
    void AddValue(const std::string &names, const std::string &valueName, const std::string &help, Take take);
    // An option that may be given again; take gets each value in turn.
    void AddRepeatedValue(const std::string &names, const std::string &valueName, const std::string &help,
                          Take take);
    void AddFlag(const std::string &names, const std::string &help, bool &flag);
    // The program's one plain argument.
    void AddArgument(const std::string &valueName, const std::string &help, Take take);
    // The program's plain arguments, one or more; take gets each in order.
    void AddArguments(const std::string &valueName, const std::string &help, Take take);
    // A command that makes up the whole line: "name ARGUMENT"; otherwise
    // "<name> needs <argumentHelp>: <program> <name> <ARGUMENT>".
    void AddCommand(const std::string &name, const std::string &argumentName, const std::string &argumentHelp,
                    const std::string &help, Take take);

    // Reads arguments (without the program's name) and hands each value to its
    // option's take, in the order of the definitions. Raises UsageError:
    // "--x needs a value", "--x takes no value", "--x is given more than once",
    // "--x needs a value, not '--y'", "unknown option --x" (with "; did you
    // mean --y?" for a slip of the pen),
    // "unexpected argument 'x'", or the message of a take.
    void Parse(const std::vector<std::string> &arguments);

    std::string Help() const;

private:
    struct Reader;
    struct Command;
    void Add(CLI::Option *option, Take take, bool repeats, bool isFlag);
    const Reader *ReaderOf(const std::string &name) const;
    // "--time", "-o", "--output", ...
    std::vector<std::string> OptionNames() const;

    std::string program_;
    std::unique_ptr<CLI::App> app_;
    std::string group_ = "Options";
    std::vector<Reader> readers_;
    std::vector<Command> commands_;
};
