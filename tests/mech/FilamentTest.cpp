#include "MechTestSupport.h"
#include "Solidfilament.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace mechtest;

namespace {

// A filament of n monomers from p along d, set up as the cell creates one.
void Place(CFilament &f, const CVector &p, const CVector &d, int n)
{
    f.SetGeometry(p, d);
    f.Monomers = n;
}

TEST(Filament, GeometryOfAShortRod)
{
    CFilament f;
    Place(f, CVector(0.0), CVector(1, 0, 0), 3);
    ExpectNear(f.GetBarbedEnd(), CVector(9e-9, 0, 0), 1e-24);
    ExpectNear(f.GetLengthVector(), CVector(9e-9, 0, 0), 1e-24);
    ExpectEqual(f.GetPointedEnd(), CVector(0.0));
    ExpectNear(f.GetCenter(), CVector(4.5e-9, 0, 0), 1e-24);
    EXPECT_NEAR(f.GetRadius(), 4.5e-9, 1e-24);
    EXPECT_EQ(f.GetVolume(), 0.0);
    EXPECT_TRUE(f.Contains(CVector(4.5e-9, 0, 0)));
    EXPECT_FALSE(f.Contains(CVector(4.5e-9, 1e-12, 0)));
    EXPECT_EQ(f.GetMonomers(), 3);
}

TEST(Filament, BoxSpansTheEndsInAnyDirection)
{
    CFilament f;
    Place(f, CVector(1e-6, 2e-6, 3e-6), CVector(-3, 4, 0), 100);
    // Length 300 nm along (-0.6, 0.8, 0).
    const CVector barbed(1e-6 - 1.8e-7, 2e-6 + 2.4e-7, 3e-6);
    ExpectNear(f.GetBarbedEnd(), barbed, 1e-21);
    ExpectNear(f.GetMin(), CVector(barbed.x, 2e-6, 3e-6), 1e-21);
    ExpectNear(f.GetMax(), CVector(1e-6, barbed.y, 3e-6), 1e-21);
    ExpectNear(f.GetSize(), CVector(1.8e-7, 2.4e-7, 0), 1e-21);
    EXPECT_NEAR(f.GetRadius(), 1.5e-7, 1e-21);
    EXPECT_TRUE(f.Contains(f.GetMin()));
    EXPECT_TRUE(f.Contains(f.GetMax()));
    EXPECT_TRUE(f.Contains(f.GetCenter()));
}

TEST(Filament, DirectionIsNormalized)
{
    fp::Traps traps;
    CFilament f;
    f.SetGeometry(CVector(1, 2, 3), CVector(0, 0, 2));
    ExpectEqual(f.Direction, CVector(0, 0, 1));
    ExpectEqual(f.PointedEnd, CVector(1, 2, 3));
    EXPECT_FALSE(FaultOf([&] { f.SetGeometry(CVector(0.0), CVector(Opaque(0.0))); }).empty());
}

TEST(Filament, GrowthAtThePointedEndKeepsTheBarbedEnd)
{
    CFilament f;
    Place(f, CVector(1e-6, 1e-6, 1e-6), CVector(1, 1, 0), 10);
    const CVector barbed = f.GetBarbedEnd();
    const CVector beyond = f.GetMonomerPosition(-1);
    // One monomer length beyond the pointed end, away from the barbed end.
    // Ends a micrometre from the origin carry about 1e-22 m of rounding.
    EXPECT_NEAR(Length(beyond - f.PointedEnd), MONOMER_LENGTH, 1e-21);
    EXPECT_NEAR(Length(barbed - beyond), 11 * MONOMER_LENGTH, 1e-21);
    ExpectNear(f.GetMonomerPosition(10), barbed, 0.0);

    f.Monomers += 1;
    f.PointedEnd = f.GetMonomerPosition(-1);
    ExpectNear(f.GetBarbedEnd(), barbed, 1e-21);
    f.Monomers -= 1;
    f.PointedEnd = f.GetMonomerPosition(1);
    ExpectNear(f.GetBarbedEnd(), barbed, 1e-21);
}

TEST(Filament, BarbedEndIsFreeOnlyWhenUncappedAndNotEmpty)
{
    CFilament f;
    Place(f, CVector(0.0), CVector(1, 0, 0), 3);
    EXPECT_TRUE(f.IsBarbedEndFree());
    f.Capped = true;
    EXPECT_FALSE(f.IsBarbedEndFree());
    f.Capped = false;
    f.Monomers = 0;
    EXPECT_FALSE(f.IsBarbedEndFree());
    f.Monomers = -1;
    EXPECT_FALSE(f.IsBarbedEndFree());
}

class SolidFilamentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CSolidFilament::FilamentRadius = kRadius;
        CSolidFilament::FilamentLinearDensity = kDensity;
    }
    void TearDown() override
    {
        CSolidFilament::FilamentRadius = 0.0;
        CSolidFilament::FilamentLinearDensity = 0.0;
    }

    static constexpr double kRadius = 1.5e-9;
    static constexpr double kDensity = 3.4e-14;
    fp::Traps traps;
};

TEST_F(SolidFilamentTest, MassFollowsTheLength)
{
    CSolidFilament f;
    EXPECT_TRUE(f.Changed);
    EXPECT_EQ(f.Mass, 0.0);
    Place(f, CVector(1e-6), CVector(0, 1, 1), 20);
    f.UpdateMassProperties();
    EXPECT_FALSE(f.Changed);
    // Up to the rounding of the length, computed from ends a micrometre out.
    const double m = kDensity * 3e-9 * 20;
    EXPECT_NEAR(f.Mass, m, m * 1e-13);
    ExpectNear(f.Position, (f.PointedEnd + f.GetBarbedEnd()) * 0.5, 0.0);
    ExpectNear(f.GetMassCenter(), f.GetCenter(), 1e-21);

    const double l = 6e-8;
    const double across = m * (kRadius * kRadius + l * l / 3) / 4;
    const double along = m * kRadius * kRadius / 2;
    ExpectNear(f.Inertia, CMatrix(across, 0, 0, 0, across, 0, 0, 0, along), across * 1e-13);
    ExpectNear(f.InvInertia * f.Inertia, CMatrix::Identity(), 1e-14);

    f.MarkChanged();
    EXPECT_TRUE(f.Changed);
}

TEST_F(SolidFilamentTest, InertiaIgnoresTheDirection)
{
    CSolidFilament alongX, alongZ;
    Place(alongX, CVector(0.0), CVector(1, 0, 0), 7);
    Place(alongZ, CVector(0.0), CVector(0, 0, 1), 7);
    const CMatrix ix = alongX.GetInertia(), iz = alongZ.GetInertia();
    ExpectNear(ix, iz, 0.0);
    EXPECT_NEAR(ix.m22, alongX.GetMass() * kRadius * kRadius * 0.5, ix.m22 * 1e-15);
}

TEST_F(SolidFilamentTest, GrowthConservesMomentum)
{
    const CVector v(1e-6, -2e-6, 5e-7);
    const int n = 12;
    CSolidFilament f;
    Place(f, CVector(1e-6), CVector(1, 2, 2), n);
    f.UpdateMassProperties();
    f.Velocity = v;
    f.Monomers = n + 1;
    f.MarkChanged();
    f.UpdateMassProperties();
    ExpectNear(f.Velocity, v * n / (n + 1), 1e-19);
    ExpectEqual(f.AngularVelocity, CVector(0.0));

    // Shrinking keeps the velocity.
    f.Monomers = n - 3;
    f.MarkChanged();
    const CVector before = f.Velocity;
    f.UpdateMassProperties();
    ExpectEqual(f.Velocity, before);
}

TEST_F(SolidFilamentTest, RefreshRebasesTheOrientation)
{
    CSolidFilament f;
    Place(f, CVector(1e-6), CVector(1, 0, 0), 10);
    f.UpdateMassProperties();
    f.Orientation = RotationZ(std::numbers::pi / 2);
    f.AngularVelocity = CVector(2, 0, 0);
    f.UpdateMassProperties(); // same mass: the spin is only carried over
    ExpectNear(f.AngularVelocity, CVector(0, 2, 0), 1e-15);
    ExpectNear(f.Orientation, CMatrix::Identity(), 0.0);
}

TEST_F(SolidFilamentTest, MoveAtRestKeepsTheEnds)
{
    CSolidFilament f;
    Place(f, CVector(1e-6, 2e-6, 3e-6), CVector(1, 2, 3), 30);
    const CVector pointed = f.PointedEnd, barbed = f.GetBarbedEnd();
    f.Move(1e-4);
    ExpectNear(f.PointedEnd, pointed, 1e-21);
    ExpectNear(f.GetBarbedEnd(), barbed, 1e-21);
    ExpectNear(f.Orientation, CMatrix::Identity(), 0.0);
    ExpectNear(f.StepRotation, CMatrix::Identity(), 0.0);
}

TEST_F(SolidFilamentTest, ConstantForceCarriesTheEnds)
{
    const double dt = 1e-4;
    const CVector force(2e-26, -1e-26, 3e-26);
    CSolidFilament f;
    Place(f, CVector(1e-6), CVector(0, 1, 0), 50);
    const CVector pointed = f.PointedEnd, barbed = f.GetBarbedEnd();
    const double m = kDensity * 50 * MONOMER_LENGTH;
    const int steps = 20;
    for (int i = 0; i < steps; ++i) {
        f.ApplyForceAndTorque(force, CVector(0.0));
        f.Move(dt);
        ExpectNear((f.PointedEnd + f.GetBarbedEnd()) * 0.5, f.Position, 1e-21);
        ExpectEqual(f.Force, CVector(0.0));
    }
    const double t = steps * dt;
    const CVector shift = force * (t * t) / (2 * m);
    ExpectNear(f.PointedEnd, pointed + shift, 1e-18);
    ExpectNear(f.GetBarbedEnd(), barbed + shift, 1e-18);
    ExpectNear(f.Velocity, force * t / m, 1e-12);
}

TEST_F(SolidFilamentTest, TorqueTurnsTheRodAboutItsCentre)
{
    // A rod along x under a torque about z, from rest: one step turns it by
    // tau dt^2 / (2 Izz), Izz being the axial moment m r^2 / 2.
    const double dt = 1e-4, tau = 1e-32;
    CSolidFilament f;
    Place(f, CVector(1e-6), CVector(1, 0, 0), 50);
    const double m = kDensity * 50 * MONOMER_LENGTH;
    const double izz = m * kRadius * kRadius / 2;
    const double angle = tau * dt * dt / (2 * izz);
    const CVector centre = f.GetCenter();
    f.ApplyForceAndTorque(CVector(0.0), CVector(0, 0, tau));
    f.Move(dt);
    ExpectNear(f.Direction, CVector(std::cos(angle), std::sin(angle), 0), 1e-12);
    ExpectNear(f.Position, centre, 1e-21);
    ExpectNear(f.GetCenter(), centre, 1e-21);
    const CVector half = CVector(std::cos(angle), std::sin(angle), 0) * (25 * MONOMER_LENGTH);
    ExpectNear(f.PointedEnd, centre - half, 1e-19);
    EXPECT_NEAR(Length(f.Direction), 1.0, 1e-15);
    ExpectNear(f.Torque, CVector(0.0), 0.0);
}

TEST_F(SolidFilamentTest, EmptyOrThinFilamentsFaultInTheirFirstMove)
{
    CSolidFilament empty;
    Place(empty, CVector(1e-6), CVector(1, 0, 0), 0);
    EXPECT_FALSE(FaultOf([&] { empty.Move(1e-4); }).empty());

    CSolidFilament::FilamentRadius = 0.0;
    CSolidFilament thin;
    Place(thin, CVector(1e-6), CVector(1, 0, 0), 5);
    EXPECT_FALSE(FaultOf([&] { thin.Move(1e-4); }).empty());
}

TEST_F(SolidFilamentTest, DeletedThroughItsRegion)
{
    std::unique_ptr<CSpace> region = std::make_unique<CSolidFilament>();
    auto *filament = dynamic_cast<CSolidFilament *>(region.get());
    ASSERT_NE(filament, nullptr);
    Place(*filament, CVector(0.0), CVector(0, 0, 1), 4);
    EXPECT_NEAR(region->GetRadius(), 6e-9, 1e-24);
}

} // namespace
