#include "Observationrecord.h"

ObservationRecord RecordObservation(const CCell &cell)
{
    ObservationRecord record;
    record.Time = cell.ObsTime;
    record.ReactionCount = cell.ReactionCount;
    record.Species = cell.Species;
    for (std::size_t i = 0; i < record.Propensities.size(); ++i) {
        const CChemReaction &reaction = cell.Reactions[i];
        record.Occurrences[i] = reaction.Count;
        record.Propensities[i] = reaction.Propensity;
        record.PropensitySum += reaction.Propensity;
    }
    if (record.HasProbabilities())
        for (std::size_t i = 0; i < record.Probabilities.size(); ++i)
            record.Probabilities[i] = record.Propensities[i] / record.PropensitySum;
    record.MeanFilamentSize = cell.MeanFilamentSize();
    return record;
}
