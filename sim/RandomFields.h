#pragma once

// The state of the random streams (RandomState, Random.h) as world files
// keep it; a field list as SymmetricSolidFields (SolidFields.h).
template <typename Io, typename State>
void RandomFields(const Io &io, State &s)
{
    io("mode", s.Mode);
    io("seed", s.Seed);
    io("shuffleTable", s.ShuffleTable);
    io("shuffleOutput", s.ShuffleOutput);
}
