#pragma once

#include <string>
#include <vector>

class CCell;

// The observations of a run as a tidy table (see Tidytable.h): one row per
// observation time with the columns "time" (s), the ten species
// (molecules), "n_<channel>" (reactions fired so far), "a_<channel>"
// (propensities, 1/s), "p_<channel>" (each channel's share of the summed
// propensity, empty while that sum is 0) and "mean_size" (monomers per
// filament). The caller writes the lines as the observations come, so a
// table needs no memory however long the run.

// The column titles, in order.
std::vector<std::string> ObservationColumns();

// The header line.
std::string ObservationTableHeader();

// The line of the cell's state at its observation time.
std::string ObservationTableRow(const CCell &cell);
