#pragma once

#include "Observationrecord.h"
#include "Outputfile.h"

#include <deque>
#include <string>

// Writes the chart points of each observation as one chart text export,
// observation by observation: the curves of the window's charts over time and
// the bacterium's position and squared displacement beside the displacement
// that the window charts. The ten species ("N"), the nine
// reaction counts ("Num of reactions"), the nine propensities ("A"), the nine
// reaction probabilities ("React prob", only while some propensity is not 0),
// the mean filament size ("Filament size") and the bacterium's centre,
// displacement and squared displacement ("Bacterium", only in a world with
// one), in this curve order. Each curve is titled with its chart and its name
// ("A: FORM"), since the channel names recur in three charts.
//
// The bytes are those of the text export of such a chart: a curve that has
// fewer points leaves its columns to the curves after it. The bacterium's
// curves come last, so a world without one just ends its rows before them.
// Of the others only the reaction probabilities can fall behind: at the
// starting point, whose propensities are not yet computed, and once a world
// can no longer react (all propensities 0), when they never gain another
// point. So at most two rows wait for their probabilities, and memory stays
// bounded however long the run.
class ObservationWriter {
public:
    // Creates the file (see OutputFile) and writes the two header lines.
    explicit ObservationWriter(const std::string &path);

    // One point per curve at the record's observation time.
    void Add(const ObservationRecord &record);
    // Writes the rows still waiting and puts the file in place. A writer
    // destroyed without Finish leaves no file behind.
    void Finish();

    const std::string &Path() const { return file_.Path(); }

private:
    struct Row {
        std::string Head; // species, counts, propensities
        std::string Tail; // mean filament size and the line end
    };

    void WriteRow(const Row &row, const std::string &probabilities = {});

    OutputFile file_;
    std::deque<Row> waiting_; // rows whose probability columns are still to come
    bool first_ = true;
    bool probabilitiesEnded_ = false;
};
