#pragma once

#include "Observationrecord.h"
#include "Outputfile.h"

#include <string>
#include <vector>

// The observations of a run as a tidy table (see Tidytable.h): one row per
// observation time with the columns "time" (s), the ten species
// (molecules), "n_<channel>" (reactions fired so far), "a_<channel>"
// (propensities, 1/s), "p_<channel>" (each channel's share of the summed
// propensity, empty while that sum is 0), "mean_size" (monomers per
// filament) and the bacterium's centre "bact_x", "bact_y", "bact_z" (m), its
// distance from its position at reset "bact_disp" (m) and that distance
// squared "bact_disp2" (m^2), all five empty in a world without one.

// The column titles, in order.
std::vector<std::string> ObservationColumns();

// The header line.
std::string ObservationTableHeader();

// The line of one observation.
std::string ObservationTableRow(const ObservationRecord &record);

// Writes the table as the observations come, so that it needs no memory
// however long the run (see OutputFile; raises OutputError).
class ObservationTableWriter {
public:
    // Creates the file and writes the header line.
    explicit ObservationTableWriter(const std::string &path);

    void Add(const ObservationRecord &record);
    // Puts the file in place; a writer destroyed without Finish leaves none.
    void Finish();

private:
    OutputFile file_;
};
