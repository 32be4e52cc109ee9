#include "MechTestSupport.h"
#include "Space.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace mechtest;

namespace {

TEST(CubeSpace, DefaultIsTheUnitCube)
{
    const CCubeSpace cube;
    EXPECT_EQ(cube.GetVolume(), 1.0);
    ExpectEqual(cube.GetCenter(), CVector(0.5));
    EXPECT_EQ(cube.GetRadius(), 0.5 * std::sqrt(3.0));
    ExpectEqual(cube.GetSize(), CVector(1.0));
    ExpectEqual(cube.GetMin(), CVector(0.0));
    ExpectEqual(cube.GetMax(), CVector(1.0));
    EXPECT_TRUE(cube.Contains(CVector(0, 0, 0)));
    EXPECT_TRUE(cube.Contains(CVector(1, 1, 1)));
    EXPECT_TRUE(cube.Contains(CVector(0.5, 0, 1)));
    EXPECT_FALSE(cube.Contains(CVector(1.0000001, 0.5, 0.5)));
    EXPECT_FALSE(cube.Contains(CVector(0.5, -1e-300, 0.5)));
}

TEST(CubeSpace, BoxOfTheCell)
{
    // The world: a 2 um box at the origin.
    CCubeSpace cube;
    cube.SetBox(CVector(0.0), CVector(2e-6));
    EXPECT_NEAR(cube.GetVolume(), 8e-18, 1e-32);
    ExpectEqual(cube.GetCenter(), CVector(1e-6));
    cube.SetBox(CVector(1, 2, 3), CVector(2, 4, 6));
    ExpectEqual(cube.GetMax(), CVector(3, 6, 9));
    ExpectEqual(cube.GetCenter(), CVector(2, 4, 6));
    EXPECT_EQ(cube.GetRadius(), 0.5 * std::sqrt(4.0 + 16.0 + 36.0));
    EXPECT_EQ(cube.GetVolume(), 48.0);
    EXPECT_TRUE(cube.Contains(CVector(3, 6, 9)));
    EXPECT_FALSE(cube.Contains(CVector(0.5, 3, 4)));
}

TEST(SphereSpace, DefaultIsTheUnitBall)
{
    const CSphereSpace ball;
    EXPECT_EQ(ball.GetVolume(), 4.1887902047863905);
    EXPECT_NEAR(ball.GetVolume(), 4.0 * std::numbers::pi / 3.0, 1e-15);
    ExpectEqual(ball.GetMin(), CVector(-1.0));
    ExpectEqual(ball.GetMax(), CVector(1.0));
    EXPECT_EQ(ball.GetRadius(), 1.0);
    EXPECT_TRUE(ball.Contains(CVector(1, 0, 0)));
    EXPECT_FALSE(ball.Contains(CVector(1, 0.001, 0)));

    CSphereSpace moved;
    moved.SetSphere(CVector(1, 2, 3), 2.0);
    ExpectEqual(moved.GetSize(), CVector(4.0));
    ExpectEqual(moved.GetCenter(), CVector(1, 2, 3));
    ExpectEqual(moved.GetMin(), CVector(-1, 0, 1));
    EXPECT_EQ(moved.GetVolume(), 8.0 * FOUR_THIRDS_PI);
    EXPECT_TRUE(moved.Contains(CVector(1, 2, 5)));
    EXPECT_FALSE(moved.Contains(CVector(0, 0, 0)));
}

TEST(SphereSpace, NegativeRadiusContainsNothing)
{
    CSphereSpace ball;
    ball.Radius = -1.0;
    EXPECT_FALSE(ball.Contains(ball.Center));
    EXPECT_LT(ball.GetVolume(), 0.0);
}

TEST(HollowSphereSpace, DefaultShell)
{
    const CHollowSphereSpace shell;
    EXPECT_EQ(shell.GetVolume(), 7 * 4.1887902047863905);
    ExpectEqual(shell.GetSize(), CVector(4.0));
    EXPECT_EQ(shell.GetRadius(), 2.0);
    ExpectEqual(shell.GetMin(), CVector(-2.0));
    ExpectEqual(shell.GetMax(), CVector(2.0));
    EXPECT_TRUE(shell.Contains(CVector(1, 0, 0)));
    EXPECT_TRUE(shell.Contains(CVector(2, 0, 0)));
    EXPECT_TRUE(shell.Contains(CVector(1.5, 0, 0)));
    EXPECT_TRUE(shell.Contains(CVector(0, -1.5, 0)));
    EXPECT_FALSE(shell.Contains(CVector(0, 0, 0)));
    EXPECT_FALSE(shell.Contains(CVector(0.999, 0, 0)));
    EXPECT_FALSE(shell.Contains(CVector(2.001, 0, 0)));
}

TEST(HollowSphereSpace, ThinShellIsASurface)
{
    CHollowSphereSpace shell;
    shell.SetShell(CVector(1, 1, 1), 3.0, 3.0);
    EXPECT_EQ(shell.GetVolume(), 0.0);
    EXPECT_TRUE(shell.Contains(CVector(4, 1, 1)));
    EXPECT_TRUE(shell.Contains(CVector(1, 1, -2)));
    EXPECT_FALSE(shell.Contains(CVector(3.9, 1, 1)));
    EXPECT_FALSE(shell.Contains(CVector(4.1, 1, 1)));
}

} // namespace
