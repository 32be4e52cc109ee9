#pragma once

#include "SolidFields.h"

// The bacterium (Bacterium.h) as world files keep it; a field list as
// SymmetricSolidFields. Its position at reset, which came with a later
// format version, is kept apart.
template <typename Io, typename Bacterium>
void BacteriumFields(const Io &io, Bacterium &b)
{
    io("center", b.Center);
    io("radius", b.Radius);
    io("density", b.Density);
    io("shellCenter", b.Shell.Center);
    io("shellInnerRadius", b.Shell.InnerRadius);
    io("shellOuterRadius", b.Shell.OuterRadius);
    SymmetricSolidFields(io, b);
    io("changed", b.Changed);
}
