#include "Solidfilament.h"

void CSolidFilament::UpdateMassProperties()
{
    const double previousMass = Mass;
    const CMatrix previousInertia = Inertia;
    const CMatrix previousOrientation = Orientation;
    RebaseOrientation();
    // GetMass, GetMassCenter and GetInertia, with the barbed end and the
    // length found once.
    const CVector barbedEnd = GetBarbedEnd();
    const double length = Length(PointedEnd - barbedEnd);
    Mass = length * Material->LinearDensity;
    Position = (PointedEnd + barbedEnd) * 0.5;
    Inertia = RodInertia(length, Material->Radius, Mass);
    InvInertia = Inverse(Inertia);
    // Growth conserves momentum; a lighter filament keeps its velocities.
    if (previousMass < Mass) {
        // The tensor of the previous refresh carried through the rotation
        // since.
        const CMatrix rotatedInertia = previousInertia * previousOrientation;
        Velocity = Velocity * (previousMass / Mass);
        AngularVelocity = InvInertia * (rotatedInertia * AngularVelocity);
    }
    Changed = false;
}

void CSolidFilament::MarkChanged()
{
    Changed = true;
}

double CSolidFilament::GetMass() const
{
    return RodLength() * Material->LinearDensity;
}

CMatrix CSolidFilament::GetInertia() const
{
    return RodInertia(RodLength(), Material->Radius, GetMass());
}

CVector CSolidFilament::GetMassCenter() const
{
    return (PointedEnd + GetBarbedEnd()) * 0.5;
}

void CSolidFilament::Move(double dt)
{
    // Every step, whatever Changed holds: this also puts Position back on the
    // midpoint of the ends after a change of size.
    UpdateMassProperties();
    TranslationStep(dt);
    Step(dt);
    // Rotate the ends about the old centre and move them with it.
    PointedEnd = StepRotation * (PointedEnd - PrevPosition) + Position;
    Direction = StepRotation * Direction;
    ClearForces();
}

double CSolidFilament::RodLength() const
{
    return Length(PointedEnd - GetBarbedEnd());
}
