#include "MechTestSupport.h"
#include "Solid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace mechtest;

namespace {

// A body of fixed mass m and inertia diag(i, i, i).
template <typename Base>
class Body : public Base {
public:
    Body(double m, double i) : mass(m), moment(i) { UpdateMassProperties(); }

    double GetMass() const override { return mass; }
    CMatrix GetInertia() const override { return CMatrix(moment, 0, 0, 0, moment, 0, 0, 0, moment); }
    CVector GetMassCenter() const override { return this->Position; }
    void UpdateMassProperties() override
    {
        this->Mass = GetMass();
        this->Inertia = GetInertia();
        this->InvInertia = Inverse(this->Inertia);
    }
    void MarkChanged() override {}

    double mass;
    double moment;
};

using SymmetricBody = Body<CSymmetricSolid>;
using AsymmetricBody = Body<CAsymmetricSolid>;

TEST(Solid, CoastsWithoutForce)
{
    fp::Traps traps;
    SymmetricBody body(2.0, 1.0);
    body.Position = CVector(1, 2, 3);
    body.Velocity = CVector(0.5, -1, 2);
    body.TranslationStep(0.1);
    ExpectNear(body.Position, CVector(1.05, 1.9, 3.2), 1e-15);
    ExpectEqual(body.Velocity, CVector(0.5, -1, 2));
    ExpectEqual(body.PrevPosition, CVector(1, 2, 3));
    ExpectNear(body.Displacement, CVector(0.05, -0.1, 0.2), 1e-16);
}

TEST(Solid, ConstantForceFromRest)
{
    fp::Traps traps;
    const double m = 3.0, dt = 0.01;
    const CVector f(6, -3, 1.5);
    SymmetricBody body(m, 1.0);
    body.ApplyForceAndTorque(f, CVector(0.0));
    body.TranslationStep(dt);
    ExpectNear(body.Velocity, f * dt / m, 1e-17);
    ExpectNear(body.Displacement, f * (dt * dt) / (2 * m), 1e-19);

    // Over many steps the scheme is exact for a constant force:
    // x = F t^2 / 2m, v = F t / m.
    body.ClearForces();
    const int steps = 1000;
    for (int i = 1; i < steps; ++i) {
        body.ApplyForceAndTorque(f, CVector(0.0));
        body.TranslationStep(dt);
        body.ClearForces();
    }
    const double t = steps * dt;
    ExpectNear(body.Position, f * (t * t) / (2 * m), 1e-11);
    ExpectNear(body.Velocity, f * t / m, 1e-12);
}

TEST(Solid, ZeroMassUnderForceFaultsAndKeepsThePosition)
{
    fp::Traps traps;
    SymmetricBody body(0.0, 1.0);
    body.Position = CVector(1, 2, 3);
    body.ApplyForceAndTorque(CVector(1, 0, 0), CVector(0.0));
    EXPECT_FALSE(FaultOf([&] { body.TranslationStep(0.1); }).empty());
    ExpectEqual(body.Position, CVector(1, 2, 3));
    ExpectEqual(body.Velocity, CVector(0.0));
}

TEST(Solid, TorqueTurnsOnlyDuringItsStep)
{
    fp::Traps traps;
    const double i = 2.0, dt = 0.1;
    const CVector t(0.4, -0.2, 0.6);
    SymmetricBody body(1.0, i);
    body.ApplyForceAndTorque(CVector(0.0), t);
    ExpectNear(body.RotationStep(dt), t * (dt * dt) / (2 * i), 1e-18);
    ExpectNear(body.AngularVelocityIncrement, t * dt / i, 1e-17);
    ExpectEqual(body.AngularVelocity, CVector(0.0));

    body.ClearForces();
    ExpectEqual(body.RotationStep(dt), CVector(0.0));

    body.ApplyForceAndTorque(CVector(0.0), t);
    body.Step(dt);
    ExpectNear(body.RotationIncrement, t * (dt * dt) / (2 * i), 1e-18);
}

TEST(Solid, ForcesAccumulateUntilCleared)
{
    SymmetricBody body(1.0, 1.0);
    body.Position = CVector(1, 2, 3);
    body.ApplyForceAt(CVector(1, 2, 3), body.Position);
    ExpectEqual(body.Force, CVector(1, 2, 3));
    ExpectEqual(body.Torque, CVector(0.0));

    body.ClearForces();
    body.ApplyForceAt(CVector(0, 0, 1), body.Position + CVector(1, 0, 0));
    ExpectEqual(body.Force, CVector(0, 0, 1));
    ExpectEqual(body.Torque, CVector(0, -1, 0));
    body.ApplyForceAndTorque(CVector(1, 1, 1), CVector(0, 0, 2));
    ExpectEqual(body.Force, CVector(1, 1, 2));
    ExpectEqual(body.Torque, CVector(0, -1, 2));

    body.ClearForces();
    ExpectEqual(body.Force, CVector(0.0));
    ExpectEqual(body.Torque, CVector(0.0));
}

// With unit inertia and dt = 1 a torque 2 * theta gives the rotation vector
// theta.
void TurnBy(AsymmetricBody &body, const CVector &theta)
{
    body.ApplyForceAndTorque(CVector(0.0), theta * 2.0);
    body.Step(1.0);
    body.ClearForces();
}

TEST(AsymmetricSolid, StepRotatesAboutTheFixedAxesXThenYThenZ)
{
    fp::Traps traps;
    AsymmetricBody body(1.0, 1.0);
    const double a = 0.3, b = -0.8;
    TurnBy(body, CVector(a, 0, 0));
    ExpectEqual(body.RotationIncrement, CVector(a, 0, 0));
    ExpectNear(body.StepRotation, RotationX(a), 0.0);
    ExpectNear(body.Orientation, RotationX(a), 0.0);

    body.Orientation.SetIdentity();
    TurnBy(body, CVector(a, b, 0));
    const double ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b);
    const CMatrix yAfterX(cb, sb * sa, sb * ca, 0, ca, -sa, -sb, cb * sa, cb * ca);
    ExpectNear(body.StepRotation, yAfterX, 1e-15);

    // The orientation collects the step rotations, the newest on the left.
    body.Orientation.SetIdentity();
    TurnBy(body, CVector(0, 0, 0.5));
    TurnBy(body, CVector(0, 0, 0.25));
    ExpectNear(body.Orientation, RotationZ(0.75), 1e-15);
    TurnBy(body, CVector(0.1, 0, 0));
    const double s = std::sin(0.75);
    ExpectNear(body.Orientation * CVector(1, 0, 0),
               CVector(std::cos(0.75), s * std::cos(0.1), s * std::sin(0.1)), 1e-15);
}

TEST(AsymmetricSolid, RebaseCarriesTheSpinIntoTheOrientation)
{
    AsymmetricBody body(1.0, 1.0);
    body.AngularVelocity = CVector(1, 2, 3);
    body.RebaseOrientation();
    ExpectEqual(body.AngularVelocity, CVector(1, 2, 3));

    body.Orientation = RotationZ(std::numbers::pi / 2);
    body.AngularVelocity = CVector(1, 0, 0);
    body.RebaseOrientation();
    ExpectNear(body.AngularVelocity, CVector(0, 1, 0), 1e-16);
    ExpectNear(body.Orientation, CMatrix::Identity(), 0.0);
}

TEST(Solid, KineticEnergy)
{
    SymmetricBody body(2.0, 3.0);
    EXPECT_EQ(body.GetKineticEnergy(), 0.0);
    body.Velocity = CVector(3, 4, 0);
    EXPECT_EQ(body.GetTranslationalEnergy(), 25.0);
    body.AngularVelocity = CVector(1, 2, 2);
    EXPECT_EQ(body.GetRotationalEnergy(), 13.5);
    EXPECT_EQ(body.GetKineticEnergy(), 38.5);
    // The translational part asks the body for its mass.
    body.mass = 4.0;
    EXPECT_EQ(body.GetTranslationalEnergy(), 50.0);
}

TEST(Solid, InertiaOfRodAndSphere)
{
    // Rod: (m/4)(r^2 + L^2/3) across, m r^2 / 2 along its axis z.
    ExpectNear(RodInertia(2.0, 1.0, 3.0), CMatrix(1.75, 0, 0, 0, 1.75, 0, 0, 0, 1.5), 1e-15);
    ExpectNear(SphereInertia(2.0, 3.0), CMatrix(45, 0, 0, 0, 45, 0, 0, 0, 45), 0.0);
}

} // namespace
