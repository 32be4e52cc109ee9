#include "Filament.h"

void CFilament::SetGeometry(const CVector &pointedEnd, const CVector &direction)
{
    PointedEnd = pointedEnd;
    Direction = Normalized(direction);
}

CVector CFilament::GetMonomerPosition(int i) const
{
    return PointedEnd + MonomerStep() * i;
}

CVector CFilament::GetSize() const
{
    return GetMax() - GetMin();
}

// Half the diagonal of the box between the ends.
double CFilament::GetRadius() const
{
    return 0.5 * Length(GetSize());
}

CVector CFilament::GetCenter() const
{
    return (GetMax() + GetMin()) * 0.5;
}

CVector CFilament::GetMin() const
{
    return MinComponents(PointedEnd, GetBarbedEnd());
}

CVector CFilament::GetMax() const
{
    return MaxComponents(PointedEnd, GetBarbedEnd());
}

double CFilament::GetVolume() const
{
    return ProductOfComponents(GetSize());
}

bool CFilament::Contains(const CVector &p) const
{
    return !AnyLess(p, GetMin()) && !AnyGreater(p, GetMax());
}
