#pragma once

#include "Observationrecord.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The columns of an observation, in one table read by every output: the
// runner's table and observation file, the window's charts, filonex-plot,
// the programs' help and Python's table(). A column is a row here and
// nothing more; the time of the observation is the row's key and no column.

// A chart of the window's "2D" page, in tab order.
struct ObservationChart {
    std::string Tab;        // "N", also the charts' name in the observation file
    std::string ObjectName; // "Chart2DN"
    std::string XTitle;     // "Time [s]"
    std::string YTitle;     // "Molecules"
};

struct ObservationColumn {
    std::string Name;    // the table's column title ("a_FORM")
    std::string Curve;   // the curve's name in its chart ("FORM")
    std::string Caption; // the quantity ("Propensity")
    std::string Unit;    // SI or counted ("1/s", "m^2", "monomers"); empty for a number of things or a share
    std::string Chart;   // the Tab of its chart
    // Whether the window draws it; those it does not are curves of its chart
    // in the observation file only.
    bool Charted = true;
    // The colour (0xRRGGBB) of the window's curve; none for the chart's own
    // sequence of colours.
    std::optional<unsigned> Colour;
    // A count, written as a whole number (exact below 2^53).
    bool Whole = false;
    // Its value in an observation; none where it has none (an empty field, no
    // chart point).
    std::function<std::optional<double>(const ObservationRecord &)> Read;
    // A coordinate rather than an amount: a band around its mean is not
    // clipped at 0.
    bool Signed = false;

    // "Propensity [1/s]"
    std::string Title() const;
};

struct ObservationColumns {
    std::vector<ObservationChart> Charts;
    std::vector<ObservationColumn> Columns;

    // The column of that name; nullptr for none.
    const ObservationColumn *Find(std::string_view name) const;
    // The names in order; where four or more columns of one chart follow one
    // another, the first, "..." and the last ("ACG, ..., ADC").
    std::string NameList() const;
};

// The columns of this program.
const ObservationColumns &StandardColumns();

// The axis title of time charts.
inline constexpr const char *kTimeTitle = "Time [s]";
