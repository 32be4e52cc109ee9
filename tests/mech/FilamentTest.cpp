#include "MechTestSupport.h"
#include "Solidfilament.h"

#include <gtest/gtest.h>

#include <array>
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
    // A filament of the material below.
    void Place(CSolidFilament &f, const CVector &p, const CVector &d, int n)
    {
        f.Material = &material;
        ::Place(f, p, d, n);
    }

    static constexpr double kRadius = 1.5e-9;
    static constexpr double kDensity = 3.4e-14;
    CFilamentMaterial material{kRadius, kDensity};
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

// The filament step written out on plain arrays, in the documented order of
// operations; Move must agree with it to the last bit.
struct RawFilament {
    using V = std::array<double, 3>;
    using M = std::array<V, 3>;

    static M Identity() { return {V{1, 0, 0}, V{0, 1, 0}, V{0, 0, 1}}; }
    static V Apply(const M &m, const V &v)
    {
        V r;
        for (int i = 0; i < 3; ++i)
            r[i] = m[i][0] * v[0] + m[i][1] * v[1] + m[i][2] * v[2];
        return r;
    }
    static M Multiply(const M &a, const M &b)
    {
        M r;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                r[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
        return r;
    }
    static M Invert(const M &m)
    {
        const double det = m[0][0] * (m[1][1] * m[2][2] - m[2][1] * m[1][2]) -
                           m[0][1] * (m[1][0] * m[2][2] - m[2][0] * m[1][2]) +
                           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
        return {
            V{(m[1][1] * m[2][2] - m[1][2] * m[2][1]) / det, (m[1][2] * m[2][0] - m[1][0] * m[2][2]) / det,
              (m[1][0] * m[2][1] - m[1][1] * m[2][0]) / det},
            V{(m[2][1] * m[0][2] - m[0][1] * m[2][2]) / det, (m[0][0] * m[2][2] - m[0][2] * m[2][0]) / det,
              (m[0][1] * m[2][0] - m[0][0] * m[2][1]) / det},
            V{(m[0][1] * m[1][2] - m[0][2] * m[1][1]) / det, (m[0][2] * m[1][0] - m[0][0] * m[1][2]) / det,
              (m[0][0] * m[1][1] - m[0][1] * m[1][0]) / det}};
    }
    // Rotation about axis k by angle a, pre-multiplied onto m.
    static M PreRotate(const M &m, int k, double a)
    {
        const double c = std::cos(a), s = std::sin(a);
        M r = Identity();
        const int i = (k + 1) % 3, j = (k + 2) % 3;
        r[i][i] = c;
        r[j][j] = c;
        r[i][j] = -s;
        r[j][i] = s;
        return Multiply(r, m);
    }

    V Barbed() const
    {
        V b;
        for (int i = 0; i < 3; ++i)
            b[i] = pointed[i] + direction[i] * 3e-9 * monomers;
        return b;
    }

    void Move(const V &force, const V &torque, double dt, double radius, double density)
    {
        // Mass properties.
        const M carried = Multiply(inertia, orientation);
        const double oldMass = mass;
        angular = Apply(orientation, angular);
        orientation = Identity();
        const V b = Barbed();
        const double dx = pointed[0] - b[0], dy = pointed[1] - b[1], dz = pointed[2] - b[2];
        const double length = std::sqrt(dx * dx + dy * dy + dz * dz);
        mass = length * density;
        for (int i = 0; i < 3; ++i)
            position[i] = (pointed[i] + b[i]) * 0.5;
        const double across = mass * 0.25 * (radius * radius + length * length / 3);
        inertia = {V{across, 0, 0}, V{0, across, 0}, V{0, 0, mass * (radius * radius) * 0.5}};
        invInertia = Invert(inertia);
        if (oldMass < mass) {
            for (double &v : velocity)
                v = v * (oldMass / mass);
            angular = Apply(invInertia, Apply(carried, angular));
        }
        // Translation.
        V previous = position;
        for (int i = 0; i < 3; ++i) {
            const double increment = force[i] * (dt / mass);
            position[i] = position[i] + (velocity[i] * dt + increment * (dt * 0.5));
            velocity[i] = velocity[i] + increment;
        }
        // Rotation.
        const V l = Apply(inertia, angular);
        const V gyro{angular[1] * l[2] - angular[2] * l[1], angular[2] * l[0] - angular[0] * l[2],
                     angular[0] * l[1] - angular[1] * l[0]};
        const V alpha = Apply(invInertia, V{torque[0] - gyro[0], torque[1] - gyro[1], torque[2] - gyro[2]});
        V theta;
        for (int i = 0; i < 3; ++i)
            theta[i] = angular[i] * dt + alpha[i] * dt * (dt * 0.5);
        M step = Identity();
        for (int k = 0; k < 3; ++k) {
            step = PreRotate(step, k, theta[k]);
            orientation = PreRotate(orientation, k, theta[k]);
        }
        // Carry the ends.
        const V rotated =
            Apply(step, V{pointed[0] - previous[0], pointed[1] - previous[1], pointed[2] - previous[2]});
        for (int i = 0; i < 3; ++i)
            pointed[i] = rotated[i] + position[i];
        direction = Apply(step, direction);
    }

    V pointed, direction;
    int monomers;
    double mass = 0;
    M inertia = Identity(), invInertia = Identity(), orientation = Identity();
    V velocity{}, angular{}, position{};
};

TEST_F(SolidFilamentTest, MoveFollowsTheFormulasToTheLastBit)
{
    const double dt = 1e-4;
    CSolidFilament f;
    Place(f, CVector(1e-6, 2e-6, 1.5e-6), CVector(1, 2, 3), 50);
    RawFilament raw{
        {f.PointedEnd.x, f.PointedEnd.y, f.PointedEnd.z}, {f.Direction.x, f.Direction.y, f.Direction.z}, 50};
    const double l = std::sqrt(14.0);
    EXPECT_EQ(f.Direction.x, 1 / l);
    EXPECT_EQ(f.Direction.z, 3 / l);

    for (int i = 0; i < 200; ++i) {
        // Growth now and then, at either end, to exercise the momentum rule.
        if (i % 50 == 25) {
            f.Monomers += 1;
            raw.monomers += 1;
            if (i % 100 == 25) {
                f.PointedEnd = f.GetMonomerPosition(-1);
                for (int k = 0; k < 3; ++k)
                    raw.pointed[k] = raw.pointed[k] + raw.direction[k] * 3e-9 * -1;
            }
            f.MarkChanged();
        }
        const CVector force(1e-26 * std::cos(i), -0.7e-26, 0.3e-26 * std::sin(i));
        const CVector torque(0.2e-32, 1e-32 * std::sin(0.5 * i), -0.4e-32);
        f.ApplyForceAndTorque(force, torque);
        f.Move(dt);
        raw.Move({force.x, force.y, force.z}, {torque.x, torque.y, torque.z}, dt, kRadius, kDensity);
        ASSERT_EQ(f.PointedEnd.x, raw.pointed[0]) << i;
        ASSERT_EQ(f.PointedEnd.y, raw.pointed[1]) << i;
        ASSERT_EQ(f.PointedEnd.z, raw.pointed[2]) << i;
        ASSERT_EQ(f.Direction.x, raw.direction[0]) << i;
        ASSERT_EQ(f.Direction.y, raw.direction[1]) << i;
        ASSERT_EQ(f.Direction.z, raw.direction[2]) << i;
        ASSERT_EQ(f.Position.x, raw.position[0]) << i;
        ASSERT_EQ(f.Velocity.y, raw.velocity[1]) << i;
        ASSERT_EQ(f.Mass, raw.mass) << i;
    }
}

TEST_F(SolidFilamentTest, EmptyOrThinFilamentsFaultInTheirFirstMove)
{
    CSolidFilament empty;
    Place(empty, CVector(1e-6), CVector(1, 0, 0), 0);
    EXPECT_FALSE(FaultOf([&] { empty.Move(1e-4); }).empty());

    material.Radius = 0.0;
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
