#pragma once

#include "SolidFields.h"

// A filament (Solidfilament.h) as world files keep it, one row of a table in
// this order; a field list as SymmetricSolidFields.
template <typename Io, typename Filament>
void FilamentFields(const Io &io, Filament &f)
{
    io("monomers", f.Monomers);
    io("capped", f.Capped);
    io("pointedEnd", f.PointedEnd);
    io("direction", f.Direction);
    SymmetricSolidFields(io, f);
    io("stepRotation", f.StepRotation);
    io("orientation", f.Orientation);
    io("changed", f.Changed);
}

// The constants shared by every filament (CFilamentMaterial, or any type
// with its two fields).
template <typename Io, typename Material>
void MaterialFields(const Io &io, Material &m)
{
    io("filamentRadius", m.Radius);
    io("filamentLinearDensity", m.LinearDensity);
}
