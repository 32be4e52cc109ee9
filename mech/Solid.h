#pragma once

#include "Lib3d.h"

// Rigid bodies, in SI units (kg, m, s, N, N*m, rad). Forces and torques are
// accumulated between steps; the concrete body's Move refreshes its mass
// properties, integrates over one time step and clears the accumulators.

class CSolid {
public:
    virtual double GetMass() const = 0;
    virtual CMatrix GetInertia() const = 0;
    virtual CVector GetMassCenter() const = 0;
    virtual double GetKineticEnergy() const = 0;
    virtual double GetRotationalEnergy() const = 0;
    virtual double GetTranslationalEnergy() const = 0;
    // Adds force f acting at point p, and its torque about Position.
    virtual void ApplyForceAt(CVector f, CVector p) = 0;
    virtual void ApplyForceAndTorque(CVector f, CVector t) = 0;
    virtual void ClearForces() = 0;
    // Recomputes Mass, Inertia and InvInertia from the body's geometry.
    virtual void UpdateMassProperties() = 0;
    // Records that the geometry changed.
    virtual void MarkChanged() = 0;
    virtual void Step(double dt) = 0;
    virtual void TranslationStep(double dt) = 0;

protected:
    // Bodies are deleted through their concrete class or their region base,
    // never through this interface.
    ~CSolid() = default;
};

// Holds the dynamic state and integrates translation and rotation; keeps no
// orientation.
class CSymmetricSolid : public CSolid {
public:
    double Mass = 0.0; // used by the integrator; 0 until UpdateMassProperties
    CMatrix Inertia = CMatrix::Identity();
    CMatrix InvInertia = CMatrix::Identity();
    CVector Velocity;                 // [m/s]
    CVector VelocityIncrement;        // change of Velocity in the last step
    CVector AngularVelocity;          // [rad/s]
    CVector AngularVelocityIncrement; // computed by the last RotationStep
    CVector RotationIncrement;        // rotation vector of the last step [rad]
    CVector Position;                 // centre of mass [m]
    CVector PrevPosition;             // Position before the last step
    CVector Displacement;             // of the last step
    CVector Force;                    // accumulated since ClearForces [N]
    CVector Torque;                   // accumulated since ClearForces [N*m]

    double GetKineticEnergy() const override;
    double GetRotationalEnergy() const override;
    double GetTranslationalEnergy() const override;
    void ApplyForceAt(CVector f, CVector p) override;
    void ApplyForceAndTorque(CVector f, CVector t) override;
    void ClearForces() override;
    // RotationIncrement := RotationStep(dt).
    void Step(double dt) override;
    // Moves Position and updates Velocity under the accumulated Force.
    void TranslationStep(double dt) override;
    // The rotation vector of one step under the accumulated Torque. Leaves
    // AngularVelocity unchanged, so no spin carries over between steps.
    virtual CVector RotationStep(double dt);
};

// Also turns the rotation of each step into a rotation matrix and
// accumulates an orientation.
class CAsymmetricSolid : public CSymmetricSolid {
public:
    CMatrix StepRotation = CMatrix::Identity(); // rotation of the last step
    // Product of the step rotations since the last RebaseOrientation.
    CMatrix Orientation = CMatrix::Identity();

    // The rotation vector is applied as rotations about the fixed x, y and z
    // axes in that order (not as an axis and angle).
    void Step(double dt) override;
    // Carries AngularVelocity into the current orientation, which becomes
    // the identity.
    virtual void RebaseOrientation();
};

// The integrator's per-step work, inline so that the mechanics step of
// thousands of filaments compiles into one loop body.

inline void CSymmetricSolid::ApplyForceAndTorque(CVector f, CVector t)
{
    Force += f;
    Torque += t;
}

inline void CSymmetricSolid::ClearForces()
{
    Torque.SetZero();
    Force.SetZero();
}

inline void CSymmetricSolid::Step(double dt)
{
    RotationIncrement = RotationStep(dt);
}

inline void CSymmetricSolid::TranslationStep(double dt)
{
    VelocityIncrement = Force * (dt / Mass);
    Displacement = Velocity * dt + VelocityIncrement * (dt * 0.5);
    PrevPosition = Position;
    Position = Position + Displacement;
    Velocity = Velocity + VelocityIncrement;
}

inline CVector CSymmetricSolid::RotationStep(double dt)
{
    const CVector angularMomentum = Inertia * AngularVelocity;
    const CVector angularAcceleration = InvInertia * (Torque - Cross(AngularVelocity, angularMomentum));
    AngularVelocityIncrement = angularAcceleration * dt;
    return AngularVelocity * dt + AngularVelocityIncrement * (dt * 0.5);
}

inline void CAsymmetricSolid::Step(double dt)
{
    RotationIncrement = RotationStep(dt);
    const double cx = std::cos(RotationIncrement.x), sx = std::sin(RotationIncrement.x);
    const double cy = std::cos(RotationIncrement.y), sy = std::sin(RotationIncrement.y);
    const double cz = std::cos(RotationIncrement.z), sz = std::sin(RotationIncrement.z);
    // An orientation that is the identity bit for bit (as right after
    // RebaseOrientation) would undergo exactly the operations of the step
    // rotation, so it takes their result.
    const bool fromIdentity = Orientation.IsExactlyIdentity();
    StepRotation = RotationZYX(cx, sx, cy, sy, cz, sz);
    if (fromIdentity) {
        Orientation = StepRotation;
        return;
    }
    PreRotateX(Orientation, cx, sx);
    PreRotateY(Orientation, cy, sy);
    PreRotateZ(Orientation, cz, sz);
}

// Solid cylinder of length l, radius r and mass m about its centre, with its
// axis along z.
inline CMatrix RodInertia(double l, double r, double m)
{
    const double across = m * 0.25 * (r * r + l * l / 3.0);
    return CMatrix(across, 0, 0, 0, across, 0, 0, 0, m * (r * r) * 0.5);
}
// Diagonal 2.5 * m * r^2 (five times the moment of a uniform ball).
CMatrix SphereInertia(double m, double r);
