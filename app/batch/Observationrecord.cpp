#include "Observationrecord.h"

#include "Cell.h"

ObservationRecord::ObservationRecord()
{
    chart_.AxisTitles.Bottom = "Time";
    chart_.AxisTitles.Left = "Number of molecules";
    auto &curves = chart_.Curves;
    for (const char *species : CCell::SpeciesNames)
        curves.push_back({species, true, {}});
    // Counts, propensities and reaction probabilities.
    for (int chart = 0; chart < 3; ++chart)
        for (const char *reaction : CCell::ReactionNames)
            curves.push_back({reaction, true, {}});
    curves.push_back({"MeanFilamentSize", true, {}});
}

void ObservationRecord::AddPoints(const CCell &cell)
{
    const double t = cell.ObsTime;
    auto curve = chart_.Curves.begin();
    for (const std::int32_t count : cell.Species)
        (curve++)->Points.push_back({t, static_cast<double>(count)});
    for (const CChemReaction &reaction : cell.Reactions)
        (curve++)->Points.push_back({t, static_cast<double>(reaction.Count)});
    double sum = 0;
    for (const CChemReaction &reaction : cell.Reactions) {
        (curve++)->Points.push_back({t, reaction.Propensity});
        sum += reaction.Propensity;
    }
    for (const CChemReaction &reaction : cell.Reactions) {
        if (sum != 0)
            curve->Points.push_back({t, reaction.Propensity / sum});
        ++curve;
    }
    curve->Points.push_back({t, cell.MeanFilamentSize()});
}
