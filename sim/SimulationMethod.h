#pragma once

// How a world's reactions are simulated.
enum class SimulationMethod {
    None,          // no method: a run refuses to start
    FirstReaction, // exact, one waiting time per channel
    NextReaction,  // exact, one waiting time for the total propensity
    TauLeap,       // leaps (TauLeap.h), first-reaction steps between them
};
