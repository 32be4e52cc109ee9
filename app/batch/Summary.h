#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Mean and spread of one column at one time over the replicas of a point.
// The standard deviation is the sample one (n - 1 in the denominator); the
// confidence interval is the 95 % interval of the mean from Student's t
// with n - 1 degrees of freedom. Both are NaN for fewer than two values,
// the mean for none.
struct ColumnSummary {
    std::size_t N = 0;
    double Mean = 0;
    double Sd = 0;
    double CiLow = 0;
    double CiHigh = 0;
};

ColumnSummary Summarise(const std::vector<double> &values);

// The observation tables of the completed replicas of one sweep point.
struct PointTables {
    std::int64_t Point = 0;
    std::vector<std::string> Paths;
    std::vector<std::string> SweptValues = {}; // the point's value of each swept ident
};

// Writes the summary as a tidy table, line by line through write, with the
// columns "point", one per swept ident (its value at the point, so that the
// summary joins with other tables by them), "time", "column", "n", "mean",
// "sd", "ci_low", "ci_high": one row per point, time and column of the
// observation tables (every column but "time"); a missing value is an empty
// field. A point without tables has no rows.
//
// The replicas are aligned on the observation grid: the k-th row of every
// table of a point is its observation after k observation steps, at the
// same time in all of them. Every run is observed up to its end time, and a
// little further when its last reaction came after it; those last rows, the
// ones not every replica reached, are left out, so the summary of a point
// ends with its shortest table. n counts the replicas that have a value in
// that column and row (the reaction probabilities are empty while every
// propensity is 0).
//
// Raises std::runtime_error, naming the file, for a table that cannot be
// read, whose header differs from the others of its point or whose times
// differ from theirs; ObservationTableProblem finds the rest beforehand.
void WriteSummary(const std::vector<PointTables> &points,
                  const std::function<void(const std::string &line)> &write,
                  const std::vector<std::string> &sweptIdents = {});

// Why the summary cannot use the observation table at path, naming the file
// and line ("run-0003/table.tsv:17: 12 fields where the header has 39"): it
// cannot be read, has no column "time", or has a line with another number of
// fields than the header, without its line end, or with a field that is
// neither empty nor a finite number. Empty when it can.
std::string ObservationTableProblem(const std::string &path);
