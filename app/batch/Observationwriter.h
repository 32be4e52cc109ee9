#pragma once

#include "ObservationColumns.h"
#include "Outputfile.h"

#include <deque>
#include <string>
#include <vector>

// Writes the chart points of each observation as one chart text export,
// observation by observation: one curve per observation column (see
// ObservationColumns.h), in their order, titled with its chart and its curve
// ("A: FORM", since the channel names recur in three charts), under its
// chart's time axis title and its own title. The window draws some of these
// curves (the bacterium's displacement but not its position); all are here.
//
// The bytes are those of the text export of such a chart: a curve that has
// fewer points leaves its columns to the curves after it. A curve without a
// value at the first observation may gain its first point at the second
// (the reaction probabilities, while every propensity is 0 at the start);
// one without a value at any later observation gains no further
// point (the probabilities once nothing can react, the bacterium's values in
// a world without one). So at most two rows wait, and memory stays bounded
// however long the run.
class ObservationWriter {
public:
    // Creates the file (see OutputFile) and writes the two header lines.
    explicit ObservationWriter(const std::string &path, const ObservationColumns &columns = StandardColumns());

    // One point per curve that has a value at the record's observation time.
    void Add(const ObservationRecord &record);
    // Writes the rows still waiting and puts the file in place. A writer
    // destroyed without Finish leaves no file behind.
    void Finish();

    const std::string &Path() const { return file_.Path(); }

private:
    // Writes the rows whose every curve has its point or has ended; at the
    // end, every row.
    void WriteRows(bool finishing);

    OutputFile file_;
    const ObservationColumns &columns_;
    std::vector<std::deque<std::string>> points_; // per curve, "t\tvalue\t" of the rows not yet written
    std::vector<bool> ended_;                      // per curve: it gains no further point
    std::size_t waitingRows_ = 0;
    bool first_ = true;
};
