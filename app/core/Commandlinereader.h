#pragma once

#include <charconv>
#include <optional>
#include <string>
#include <vector>

// Walks a command line of options given as "--name value" or "--name=value",
// flags and plain arguments. A missing or unwanted value raises Error, built
// from the message, so that each program keeps its own kind of usage error.
template <typename Error>
class CommandLineReader {
public:
    explicit CommandLineReader(const std::vector<std::string> &arguments) : arguments_(arguments) {}

    // Moves to the next argument; false after the last.
    bool Next()
    {
        if (next_ >= arguments_.size())
            return false;
        name_ = arguments_[next_++];
        attached_.reset();
        if (const auto equals = name_.find('='); name_.rfind("--", 0) == 0 && equals != std::string::npos) {
            attached_ = name_.substr(equals + 1);
            name_.erase(equals);
        }
        return true;
    }
    // The option's name without an attached value, or the plain argument.
    const std::string &Name() const { return name_; }
    bool IsOption() const { return name_.rfind("-", 0) == 0; }
    // The attached value, else the next argument.
    std::string Value()
    {
        if (attached_)
            return *attached_;
        if (next_ >= arguments_.size())
            throw Error(name_ + " needs a value");
        return arguments_[next_++];
    }
    // True, for an option that takes no value.
    bool Flag() const
    {
        if (attached_)
            throw Error(name_ + " takes no value");
        return true;
    }

private:
    const std::vector<std::string> &arguments_;
    std::size_t next_ = 0;
    std::string name_;
    std::optional<std::string> attached_;
};

// The whole number that text spells out completely, if it lies in [least, most].
template <typename Number>
std::optional<Number> WholeNumber(const std::string &text, Number least, Number most)
{
    Number value{};
    const char *end = text.data() + text.size();
    const auto parsed = std::from_chars(text.data(), end, value);
    if (text.empty() || parsed.ec != std::errc() || parsed.ptr != end || value < least || value > most)
        return std::nullopt;
    return value;
}
