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

void CSymmetricSolid::ApplyForceAndTorque(CVector f, CVector t)
{
    Force += f;
    Torque += t;
}

void CSymmetricSolid::ClearForces()
{
    Torque.SetZero();
    Force.SetZero();
}

void CSymmetricSolid::Step(double dt)
{
    RotationIncrement = RotationStep(dt);
}

void CSymmetricSolid::TranslationStep(double dt)
{
    VelocityIncrement = Force * (dt / Mass);
    Displacement = Velocity * dt + VelocityIncrement * (dt * 0.5);
    PrevPosition = Position;
    Position = Position + Displacement;
    Velocity = Velocity + VelocityIncrement;
}

CVector CSymmetricSolid::RotationStep(double dt)
{
    const CVector angularMomentum = Inertia * AngularVelocity;
    const CVector angularAcceleration = InvInertia * (Torque - Cross(AngularVelocity, angularMomentum));
    AngularVelocityIncrement = angularAcceleration * dt;
    return AngularVelocity * dt + AngularVelocityIncrement * (dt * 0.5);
}

void CAsymmetricSolid::Step(double dt)
{
    RotationIncrement = RotationStep(dt);
    StepRotation.SetIdentity();
    PreRotateX(StepRotation, RotationIncrement.x);
    PreRotateY(StepRotation, RotationIncrement.y);
    PreRotateZ(StepRotation, RotationIncrement.z);
    PreRotateX(Orientation, RotationIncrement.x);
    PreRotateY(Orientation, RotationIncrement.y);
    PreRotateZ(Orientation, RotationIncrement.z);
}

void CAsymmetricSolid::RebaseOrientation()
{
    AngularVelocity = Orientation * AngularVelocity;
    Orientation.SetIdentity();
}

CMatrix RodInertia(double l, double r, double m)
{
    const double across = m * 0.25 * (r * r + l * l / 3.0);
    return CMatrix(across, 0, 0, 0, across, 0, 0, 0, m * (r * r) * 0.5);
}

CMatrix SphereInertia(double m, double r)
{
    const double moment = m * (r * r) * 5.0 * 0.5;
    return CMatrix(moment, 0, 0, 0, moment, 0, 0, 0, moment);
}
