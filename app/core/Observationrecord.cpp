#include "Observationrecord.h"

#include <cmath>

ObservationRecord RecordObservation(const CCell &cell, bool countTouching)
{
    ObservationRecord record;
    // Between runs the world is at its own time: a world loaded from a
    // checkpoint or stopped lies between two observations.
    record.Time = cell.Running ? cell.ObsTime : cell.Time;
    record.ReactionCount = cell.ReactionCount;
    record.Species = cell.Species;
    const std::size_t channels = cell.Reactions.size();
    record.Occurrences.resize(channels);
    record.Propensities.resize(channels);
    record.Probabilities.resize(channels);
    for (std::size_t i = 0; i < channels; ++i) {
        const CChemReaction &reaction = cell.Reactions[i];
        record.Occurrences[i] = reaction.Count;
        record.Propensities[i] = reaction.Propensity;
        record.PropensitySum += reaction.Propensity;
    }
    if (record.HasProbabilities())
        for (std::size_t i = 0; i < record.Probabilities.size(); ++i)
            record.Probabilities[i] = record.Propensities[i] / record.PropensitySum;
    record.MeanFilamentSize = cell.MeanFilamentSize();
    if (const CBacterium *bacterium = cell.Bacterium.get()) {
        ObservationRecord::BacteriumMotion &motion = record.Bacterium.emplace();
        motion.Position = bacterium->Center;
        motion.Displacement = motion.Position - bacterium->ResetPosition;
        motion.SquaredDistance = Dot(motion.Displacement, motion.Displacement);
        motion.Distance = std::sqrt(motion.SquaredDistance);
        if (countTouching)
            motion.TouchingFilaments = cell.FilamentsTouchingBacterium();
    }
    return record;
}

std::optional<double> ObservationRecord::BacteriumMeanVelocity() const
{
    if (!Bacterium || Time == 0.0)
        return std::nullopt;
    return Bacterium->Distance / Time;
}
