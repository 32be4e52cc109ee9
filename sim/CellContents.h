#pragma once

#include "Bacterium.h"
#include "FilamentList.h"
#include "Random.h"
#include "Solidfilament.h"
#include "Space.h"

#include <memory>

// What the parts of a world (its chemistry, its mechanics, its run loop)
// share: the box [Origin, Origin + Size] (metres), the filaments, at most one
// bacterium, the random stream every draw comes from and the filaments'
// material.
class CCellContents : public CCubeSpace {
public:
    // Every draw of the chemistry and of the specified mechanics comes from it.
    CRandomStream Random;
    // The key of the counter-based draws (CounterRandom.h), taken from
    // Random's state when the world is set up or seeded anew.
    std::uint32_t CounterKey = 0;
    // The material of every filament of Filaments.
    CFilamentMaterial Material;
    // New filaments are appended; removal keeps the order of the others.
    // The chemistry keeps its search trees current.
    CFilamentList Filaments{Material};
    std::unique_ptr<CBacterium> Bacterium;

    // Replaces the bacterium by a new one at the box centre; its radius,
    // shell and density are set by the caller.
    void CreateBacterium()
    {
        Bacterium.reset();
        Bacterium = std::make_unique<CBacterium>();
        Bacterium->Position = Size * 0.5;
        Bacterium->MarkChanged();
    }
};
