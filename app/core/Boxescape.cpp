#include "Boxescape.h"

#include "Cell.h"

namespace {

bool FarOutside(double p, double min, double max, double size)
{
    return p < min - size || p > max + size;
}

bool FarOutside(const CVector &p, const CVector &min, const CVector &max, const CVector &size)
{
    return FarOutside(p.x, min.x, max.x, size.x) || FarOutside(p.y, min.y, max.y, size.y) ||
           FarOutside(p.z, min.z, max.z, size.z);
}

} // namespace

const char *const kBodyFarOutsideBoxWarning =
    "a body lies more than one box size outside the box: the mechanical constants may be "
    "too large for the time step";
const char *const kBodyFarOutsideBoxNote = "Bodies far outside the box";

bool AnyBodyFarOutsideBox(const CCell &cell)
{
    const CVector min = cell.GetMin(), max = cell.GetMax(), size = cell.GetSize();
    if (cell.Bacterium &&
        FarOutside(static_cast<const CSphereSpace &>(*cell.Bacterium).Center, min, max, size))
        return true;
    for (const CSolidFilament &filament : cell.Filaments)
        if (FarOutside(filament.GetMassCenter(), min, max, size))
            return true;
    return false;
}
