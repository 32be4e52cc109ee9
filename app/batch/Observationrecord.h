#pragma once

#include "Charttext.h"

class CCell;

// The chart points the window adds at each observation, gathered as one
// chart for the text export: the ten species ("N"), the nine reaction counts
// ("Num of reactions"), the nine propensities ("A"), the nine reaction
// probabilities ("React prob", only while some propensity is not 0) and the
// mean filament size, in this curve order and titled as in the window.
class ObservationRecord {
public:
    ObservationRecord();

    // One point per curve at the cell's observation time.
    void AddPoints(const CCell &cell);

    const ChartModel &Chart() const { return chart_; }

private:
    ChartModel chart_;
};
