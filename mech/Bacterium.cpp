#include "Bacterium.h"

double CBacterium::GetMass() const
{
    return CSphereSpace::GetVolume() * Density;
}

CMatrix CBacterium::GetInertia() const
{
    return SphereInertia(GetMass(), Radius);
}

CVector CBacterium::GetMassCenter() const
{
    return Center;
}

void CBacterium::UpdateMassProperties()
{
    Mass = GetMass();
    Inertia = GetInertia();
    InvInertia = Inverse(Inertia);
    Changed = false;
}

void CBacterium::MarkChanged()
{
    Changed = true;
}

void CBacterium::Move(double dt)
{
    if (Changed)
        UpdateMassProperties();
    TranslationStep(dt);
    Step(dt);
    ClearForces();
    Center = Position;
    Shell.Center = Center;
}
