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
    const double cx = std::cos(RotationIncrement.x), sx = std::sin(RotationIncrement.x);
    const double cy = std::cos(RotationIncrement.y), sy = std::sin(RotationIncrement.y);
    const double cz = std::cos(RotationIncrement.z), sz = std::sin(RotationIncrement.z);
    // An orientation that is the identity bit for bit (as right after
    // RebaseOrientation) would undergo exactly the operations of the step
    // rotation, so it takes their result.
    const bool fromIdentity = Orientation.IsExactlyIdentity();
    StepRotation.SetIdentity();
    PreRotateX(StepRotation, cx, sx);
    PreRotateY(StepRotation, cy, sy);
    PreRotateZ(StepRotation, cz, sz);
    if (fromIdentity) {
        Orientation = StepRotation;
        return;
    }
    PreRotateX(Orientation, cx, sx);
    PreRotateY(Orientation, cy, sy);
    PreRotateZ(Orientation, cz, sz);
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
