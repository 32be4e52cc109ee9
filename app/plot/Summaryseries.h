#pragma once

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
    std::size_t MaxN = 0;     // the most replicas behind one value
};

// A request the summary cannot serve; the message says why.
class PlotRequestError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the series of the given columns at the given points (all points of
// the summary when none are given) from summary.tsv, in the order point,
// then column. Raises PlotRequestError for a column or point the summary
// does not have, std::runtime_error when it cannot be read.
std::vector<SummarySeries> ReadSummarySeries(const std::string &path,
                                             const std::vector<std::string> &columns,
                                             const std::vector<int> &points);

// The swept values of each point ("C_ACG=6, RATE_ASSB=5") from the manifest
// runs.tsv; empty without sweeps, or when there is no manifest.
std::map<int, std::string> ReadPointLabels(const std::string &manifestPath);
