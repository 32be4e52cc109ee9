#include "Space.h"

void CCubeSpace::SetBox(const CVector &origin, const CVector &size)
{
    Origin = origin;
    Size = size;
}

CVector CCubeSpace::GetSize() const
{
    return Size;
}

// Half the space diagonal.
double CCubeSpace::GetRadius() const
{
    return 0.5 * Length(Size);
}

CVector CCubeSpace::GetCenter() const
{
    return Origin + Size * 0.5;
}

CVector CCubeSpace::GetMin() const
{
    return Origin;
}

CVector CCubeSpace::GetMax() const
{
    return Origin + Size;
}

double CCubeSpace::GetVolume() const
{
    return ProductOfComponents(Size);
}

bool CCubeSpace::Contains(const CVector &p) const
{
    return !AnyLess(p, Origin) && !AnyGreater(p, Origin + Size);
}

void CSphereSpace::SetSphere(const CVector &center, double radius)
{
    Center = center;
    Radius = radius;
}

CVector CSphereSpace::GetSize() const
{
    return CVector(2.0 * Radius);
}

double CSphereSpace::GetRadius() const
{
    return Radius;
}

CVector CSphereSpace::GetCenter() const
{
    return Center;
}

CVector CSphereSpace::GetMin() const
{
    return Center - Radius;
}

CVector CSphereSpace::GetMax() const
{
    return Center + Radius;
}

double CSphereSpace::GetVolume() const
{
    return Radius * (Radius * (Radius * FOUR_THIRDS_PI));
}

bool CSphereSpace::Contains(const CVector &p) const
{
    return Length(p - Center) <= Radius;
}

void CHollowSphereSpace::SetShell(const CVector &center, double inner, double outer)
{
    Center = center;
    InnerRadius = inner;
    OuterRadius = outer;
}

CVector CHollowSphereSpace::GetSize() const
{
    return CVector(2.0 * OuterRadius);
}

double CHollowSphereSpace::GetRadius() const
{
    return OuterRadius;
}

CVector CHollowSphereSpace::GetCenter() const
{
    return Center;
}

CVector CHollowSphereSpace::GetMin() const
{
    return Center - OuterRadius;
}

CVector CHollowSphereSpace::GetMax() const
{
    return Center + OuterRadius;
}

double CHollowSphereSpace::GetVolume() const
{
    return (OuterRadius * (OuterRadius * OuterRadius) - InnerRadius * (InnerRadius * InnerRadius)) *
           FOUR_THIRDS_PI;
}

bool CHollowSphereSpace::Contains(const CVector &p) const
{
    const double distance = Length(p - Center);
    return distance <= OuterRadius && distance >= InnerRadius;
}
