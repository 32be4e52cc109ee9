#pragma once

#include "ObservationColumns.h"
#include "Outputfile.h"

#include <string>
#include <vector>

// The observations of a run as a tidy table (see Tidytable.h): one row per
// observation time with the column "time" (s) and then each column of the
// observation (see ObservationColumns.h) in its unit, empty where it has no
// value: the probabilities while the summed propensity is 0, the
// bacterium's values in a world without one.

// The column titles, in order.
std::vector<std::string> ObservationColumnTitles(const ObservationColumns &columns = StandardColumns());

// The header line.
std::string ObservationTableHeader(const ObservationColumns &columns = StandardColumns());

// The line of one observation.
std::string ObservationTableRow(const ObservationRecord &record,
                                const ObservationColumns &columns = StandardColumns());

// Writes the table as the observations come, so that it needs no memory
// however long the run (see OutputFile; raises OutputError).
class ObservationTableWriter {
public:
    // Creates the file and writes the header line.
    explicit ObservationTableWriter(const std::string &path,
                                    const ObservationColumns &columns = StandardColumns());

    void Add(const ObservationRecord &record);
    // Puts the file in place; a writer destroyed without Finish leaves none.
    void Finish();

private:
    OutputFile file_;
    const ObservationColumns &columns_;
};
