#pragma once

#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Tidy tables: tab-separated text with one header line, one observation per
// line, "." as the decimal point whatever the locale, as pandas, R and
// gnuplot read them. An empty field is a missing value.

// The shortest text that reads back as exactly the same double ("0.01",
// "1e-05", "57812").
std::string ExactNumber(double value);

// The finite number a field holds; nothing for an empty field. Raises
// std::runtime_error for anything else (NaN and infinities included).
std::optional<double> ParseField(std::string_view field);

// The fields of one line, split at every tab.
std::vector<std::string> SplitFields(std::string_view line);

// The fields joined by tabs and ended by a line feed.
std::string JoinFields(const std::vector<std::string> &fields);

// Reads a tidy table line by line. Raises std::runtime_error, naming the
// file, when it is not a regular file, cannot be opened or has no header
// line.
class TidyTableReader {
public:
    explicit TidyTableReader(const std::string &path);

    const std::string &Path() const { return path_; }
    const std::vector<std::string> &Header() const { return header_; }
    // The index of the column with that title; nothing when there is none.
    std::optional<std::size_t> Column(std::string_view title) const;
    // The fields of the next line; false at the end of the file. A line with
    // another number of fields than the header, or without its line end,
    // raises std::runtime_error naming the file and line.
    bool Next(std::vector<std::string> &fields);
    // The number of the line Next read last (the header is line 1).
    long Line() const { return line_; }

private:
    std::string path_;
    std::ifstream in_;
    std::vector<std::string> header_;
    long line_ = 1;
};
