#include "Solid.h"

double CSymmetricSolid::GetKineticEnergy() const
{
    const double translational = GetTranslationalEnergy();
    const double rotational = GetRotationalEnergy();
    return translational + rotational;
}

double CSymmetricSolid::GetRotationalEnergy() const
{
    return 0.5 * Dot(Inertia * AngularVelocity, AngularVelocity);
}

double CSymmetricSolid::GetTranslationalEnergy() const
{
    const double speed = Length(Velocity);
    return 0.5 * GetMass() * (speed * speed);
}

void CSymmetricSolid::ApplyForceAt(CVector f, CVector p)
{
    Force += f;
    Torque += Cross(p - Position, f);
}

void CAsymmetricSolid::RebaseOrientation()
{
    AngularVelocity = Orientation * AngularVelocity;
    Orientation.SetIdentity();
}

CMatrix SphereInertia(double m, double r)
{
    const double moment = m * (r * r) * 5.0 * 0.5;
    return CMatrix(moment, 0, 0, 0, moment, 0, 0, 0, moment);
}
