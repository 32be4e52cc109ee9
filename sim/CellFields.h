#pragma once

// The cell's own state (CCell, Cell.h) as world files keep it: its box,
// clocks, reaction count and species counters; a field list as
// SymmetricSolidFields (SolidFields.h). Its channels (ChemreactionFields.h),
// mechanics, filaments and bacterium follow in fields of their own.
template <typename Io, typename Cell>
void CellFields(const Io &io, Cell &c)
{
    io("origin", c.Origin);
    io("size", c.Size);
    io("time", c.Time);
    io("mechTime", c.MechTime);
    io("mechTimeStep", c.MechTimeStep);
    io("obsTime", c.ObsTime);
    io("obsTimeStep", c.ObsTimeStep);
    io("reactionCount", c.ReactionCount);
    io.Object("species", [&](const Io &species) {
        for (int i = 0; i < Cell::SPECIES_COUNT; ++i)
            species(Cell::SpeciesNames[i], c.Species[i]);
    });
}
