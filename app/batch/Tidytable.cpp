#include "Tidytable.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <stdexcept>

std::string ExactNumber(double value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::optional<double> ParseField(std::string_view field)
{
    if (field.empty())
        return std::nullopt;
    double value = 0;
    const char *end = field.data() + field.size();
    const auto parsed = std::from_chars(field.data(), end, value);
    // NaN and infinities are written as empty fields, never as numbers.
    if (parsed.ec != std::errc() || parsed.ptr != end || !std::isfinite(value))
        throw std::runtime_error("'" + std::string(field) + "' is not a finite number");
    return value;
}

std::vector<std::string> SplitFields(std::string_view line)
{
    std::vector<std::string> fields;
    for (std::size_t at = 0;;) {
        const std::size_t tab = line.find('\t', at);
        fields.emplace_back(line.substr(at, tab - at));
        if (tab == std::string_view::npos)
            return fields;
        at = tab + 1;
    }
}

std::string JoinFields(const std::vector<std::string> &fields)
{
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += '\t';
        line += fields[i];
    }
    return line + '\n';
}

TidyTableReader::TidyTableReader(const std::string &path) : path_(path)
{
    // Checked before opening: a FIFO would block, a device never end.
    std::error_code error;
    if (std::filesystem::exists(path, error) && !std::filesystem::is_regular_file(path, error))
        throw std::runtime_error("cannot read the table '" + path + "': it is not a regular file");
    in_.open(path);
    std::string line;
    if (!in_ || !std::getline(in_, line))
        throw std::runtime_error("cannot read the table '" + path + "'");
    header_ = SplitFields(line);
}

std::optional<std::size_t> TidyTableReader::Column(std::string_view title) const
{
    for (std::size_t i = 0; i < header_.size(); ++i)
        if (header_[i] == title)
            return i;
    return std::nullopt;
}

bool TidyTableReader::Next(std::vector<std::string> &fields)
{
    std::string line;
    if (!std::getline(in_, line))
        return false;
    ++line_;
    const auto bad = [&](const std::string &what) {
        return std::runtime_error(path_ + ":" + std::to_string(line_) + ": " + what);
    };
    // Every writer ends its lines: a last line without an end was cut short.
    if (in_.eof())
        throw bad("the line has no end (the file was cut short)");
    fields = SplitFields(line);
    if (fields.size() != header_.size())
        throw bad(std::to_string(fields.size()) + " fields where the header has " +
                  std::to_string(header_.size()));
    return true;
}
