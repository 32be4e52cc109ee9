#include "Bacterium.h"
#include "MechTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace mechtest;

namespace {

// A bacterium set up as the world is built: radius, shell, centres, density,
// then the mass properties.
void Configure(CBacterium &b, double radius, double density, const CVector &centre)
{
    b.Position = centre;
    b.MarkChanged();
    b.Radius = radius;
    b.Shell.InnerRadius = radius;
    b.Shell.OuterRadius = 1.1 * radius;
    b.Center = centre;
    b.Shell.Center = b.Center;
    b.Density = density;
    b.UpdateMassProperties();
}

class BacteriumTest : public ::testing::Test {
protected:
    fp::Traps traps;
};

TEST_F(BacteriumTest, StartsAsTheDefaultRegions)
{
    const CBacterium b;
    EXPECT_TRUE(b.Changed);
    EXPECT_EQ(b.Radius, 1.0);
    ExpectEqual(b.Center, CVector(0.0));
    EXPECT_EQ(b.Shell.InnerRadius, 1.0);
    EXPECT_EQ(b.Shell.OuterRadius, 2.0);
    EXPECT_EQ(b.Mass, 0.0);
}

TEST_F(BacteriumTest, MassAndInertiaOfAUniformBall)
{
    CBacterium b;
    Configure(b, 1e-6, 1000.0, CVector(1e-6));
    EXPECT_FALSE(b.Changed);
    const double m = FOUR_THIRDS_PI * 1e-15;
    EXPECT_NEAR(b.GetMass(), m, m * 1e-15);
    EXPECT_EQ(b.Mass, b.GetMass());
    const double moment = 2.5 * m * 1e-12;
    ExpectNear(b.Inertia, CMatrix(moment, 0, 0, 0, moment, 0, 0, 0, moment), moment * 1e-15);
    ExpectNear(b.InvInertia * b.Inertia, CMatrix::Identity(), 1e-15);
    ExpectEqual(b.GetMassCenter(), b.Center);
    // The refresh leaves the position alone.
    ExpectEqual(b.Position, CVector(1e-6));
}

TEST_F(BacteriumTest, ShellReachesOneTenthOfTheRadiusOut)
{
    const double r = 2e-7;
    CBacterium b;
    Configure(b, r, 1000.0, CVector(1e-6));
    const double expected = (1.331 * r * r * r - r * r * r) * 4.1887902047863905;
    EXPECT_NEAR(b.Shell.GetVolume(), expected, expected * 1e-13);
    EXPECT_TRUE(b.Shell.Contains(b.Center + CVector(r, 0, 0)));
    EXPECT_TRUE(b.Shell.Contains(b.Center + CVector(0, 0, -1.1 * r)));
    EXPECT_FALSE(b.Shell.Contains(b.Center + CVector(0, 1.11 * r, 0)));
    EXPECT_FALSE(b.Shell.Contains(b.Center + CVector(0.99 * r, 0, 0)));
    EXPECT_TRUE(b.Contains(b.Center + CVector(0.99 * r, 0, 0)));
}

TEST_F(BacteriumTest, CentresFollowMove)
{
    const double dt = 1e-4;
    const CVector f(1e-20, -2e-20, 5e-21);
    CBacterium b;
    Configure(b, 2e-7, 1000.0, CVector(1e-6));
    const double m = b.Mass;
    b.ApplyForceAndTorque(f, CVector(0.0));
    b.Move(dt);
    const CVector expected = CVector(1e-6) + f * (dt * dt) / (2 * m);
    ExpectNear(b.Position, expected, 1e-21);
    ExpectEqual(b.Center, b.Position);
    ExpectEqual(b.Shell.Center, b.Position);
    ExpectEqual(b.Force, CVector(0.0));

    // Several steps under the same force: x = F t^2 / 2m.
    const int steps = 50;
    for (int i = 1; i < steps; ++i) {
        b.ApplyForceAndTorque(f, CVector(0.0));
        b.Move(dt);
    }
    const double t = steps * dt;
    ExpectNear(b.Center, CVector(1e-6) + f * (t * t) / (2 * m), 1e-18);
    ExpectEqual(b.Shell.Center, b.Center);
    EXPECT_EQ(b.Radius, 2e-7);
    EXPECT_EQ(b.Shell.OuterRadius, 1.1 * 2e-7);
}

TEST_F(BacteriumTest, MoveRefreshesTheMassOnlyWhenChanged)
{
    CBacterium b;
    Configure(b, 2e-7, 1000.0, CVector(1e-6));
    const double m = b.Mass;
    b.Density = 2000.0;
    b.Move(1e-4);
    EXPECT_EQ(b.Mass, m);
    b.MarkChanged();
    b.Move(1e-4);
    EXPECT_NEAR(b.Mass, 2 * m, m * 1e-15);
    EXPECT_FALSE(b.Changed);
}

TEST_F(BacteriumTest, MoveAtRestStaysPut)
{
    CBacterium b;
    Configure(b, 2e-7, 1000.0, CVector(1e-6, 2e-6, 3e-6));
    b.Move(1e-4);
    ExpectEqual(b.Position, CVector(1e-6, 2e-6, 3e-6));
    ExpectEqual(b.Center, b.Position);
    ExpectEqual(b.Shell.Center, b.Position);
    ExpectEqual(b.Force, CVector(0.0));
    ExpectEqual(b.Torque, CVector(0.0));
}

TEST_F(BacteriumTest, ZeroRadiusOrDensityFaultsInTheRefresh)
{
    CBacterium b;
    b.Radius = 0.0;
    b.Density = 1000.0;
    EXPECT_FALSE(FaultOf([&] { b.UpdateMassProperties(); }).empty());
    EXPECT_TRUE(b.Changed);
    b.Radius = 1e-6;
    b.Density = 0.0;
    EXPECT_FALSE(FaultOf([&] { b.UpdateMassProperties(); }).empty());
}

TEST_F(BacteriumTest, DeletedThroughItsRegion)
{
    std::unique_ptr<CSpace> region = std::make_unique<CBacterium>();
    EXPECT_EQ(region->GetVolume(), FOUR_THIRDS_PI);
}

} // namespace
