#pragma once

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

// One column of one sweep point of an ensemble summary, over time.
struct SummarySeries {
    int Point = 0;
    std::string Column;
    std::vector<double> Time; // s
    std::vector<double> Mean; // NaN where no replica has a value
    std::vector<double> Sd;   // NaN for fewer than two values
    std::vector<double> N;    // the replicas behind each value
    std::vector<double> CiLow, CiHigh; // the 95 % confidence interval of the mean; NaN where none
    std::size_t MaxN = 0;     // the most replicas behind one value
};

// A request the summary cannot serve; the message says why.
class PlotRequestError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The largest summary read: far above any real one, and a bound on what a
// wrong file costs.
inline constexpr std::uintmax_t kLargestSummary = std::uintmax_t{2} << 30; // bytes

// Reads the series of the given columns at the given points (all points of
// the summary when none are given) from summary.tsv, in the order point,
// then column. Raises PlotRequestError for a column or point the summary
// does not have or a series without any mean, std::runtime_error naming the
// file (and line) when it is not a regular file of at most kLargestSummary,
// or holds a field that is not a finite number, a point, n or time that is
// missing, or a line cut short.
std::vector<SummarySeries> ReadSummarySeries(const std::string &path, const std::vector<std::string> &columns,
                                             const std::vector<int> &points);

// The swept values of each point by caption and unit ("Concentration of
// G-actin 6 µM, ...") from the manifest runs.tsv; empty without sweeps, or
// when there is no manifest.
std::map<int, std::string> ReadPointLabels(const std::string &manifestPath);

// Where the series come from, in one line: the settings file and its hash,
// the base seed, the runs per point, the method and the mechanics from the
// ensemble's plan beside the summary (when there is one), and the end time
// of the series.
std::string ReadProvenance(const std::string &summaryPath, const std::vector<SummarySeries> &series);

// "Concentration of G-actin 6 µM" for C_ACG and 6; "IDENT=value" for an
// ident that is no parameter.
std::string SweptValueText(const std::string &ident, const std::string &value);
