#include "Cell.h"
#include "RigidMechanics.h"
#include "CellTestWorld.h"

#include "FloatingPoint.h"
#include "StepFault.h"
#include "Random.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double EDGE = 1e-6; // m
constexpr double DT = 1e-4;   // s

// A 1 um box; contact coefficients 1 so that forces read as geometry; no
// Brownian kicks and no speed limits unless a test sets them.
class CellMechanics : public ::testing::Test {
protected:
    void SetUp() override
    {
        cell.Random.SetSeed(777);
        cell.SetBox(CVector(0.0), CVector(EDGE));
        RigidConstantsOf(cell).FWInterCoef = 1.0;
        RigidConstantsOf(cell).BFInterCoef = 1.0;
        cell.Material = {1.5e-9, 3.4e-14};
    }

    CSolidFilament &AddFilament(const CVector &pointedEnd, const CVector &direction, std::int32_t monomers)
    {
        CSolidFilament filament;
        filament.SetGeometry(pointedEnd, direction);
        filament.Monomers = monomers;
        filament.Position = (filament.GetPointedEnd() + filament.GetBarbedEnd()) * 0.5;
        return cell.Filaments.Append(filament);
    }

    void AddBacterium(const CVector &center, double radius)
    {
        cell.CreateBacterium();
        cell.Bacterium->Center = center;
        cell.Bacterium->Radius = radius;
        cell.Bacterium->Density = 1000.0;
    }

    // The force and the torque one step applied to a body that was at rest,
    // from the velocity changes they caused: F = m dv / dt, and T = I dw / dt
    // with the inertia of the step (no gyroscopic term from rest).
    static CVector ForceOf(const CSymmetricSolid &body) { return body.VelocityIncrement * (body.Mass / DT); }
    static CVector TorqueOf(const CSymmetricSolid &body)
    {
        return body.Inertia * body.AngularVelocityIncrement * (1.0 / DT);
    }

    CCell cell;
};

void ExpectRelativelyNear(double actual, double expected, double relative)
{
    EXPECT_NEAR(actual, expected, relative * std::fabs(expected));
}

TEST_F(CellMechanics, FilamentParallelToAWallIsPushedStraightBack)
{
    // 5 monomers in the y-z plane, 1 nm beyond the upper x wall.
    CSolidFilament &f = AddFilament(CVector(EDGE + 1e-9, 2e-7, 3e-7), CVector(0, 0.6, 0.8), 5);
    const CVector length = f.GetBarbedEnd() - f.GetPointedEnd();
    const std::int32_t seed = cell.Random.Seed();
    cell.MechStep(DT);
    const double expected = -(length.y * length.y + length.z * length.z) * 1e-9;
    const CVector force = ForceOf(f);
    ExpectRelativelyNear(force.x, expected, 1e-9);
    EXPECT_EQ(force.y, 0.0);
    EXPECT_EQ(force.z, 0.0);
    EXPECT_EQ(Length(f.AngularVelocityIncrement), 0.0);
    EXPECT_EQ(cell.Random.Seed(), seed); // no Brownian kick
}

TEST_F(CellMechanics, ObliqueWallContactForceAndTorque)
{
    // Barbed end 9 nm beyond the upper x wall, the rod rising 3:4 in x.
    CSolidFilament &f = AddFilament(CVector(EDGE - 3e-9, 5e-7, 5e-7), CVector(0.8, 0.6, 0), 5);
    cell.MechStep(DT);
    // Penetration 9 nm; slope L_x / 9 nm = 12/9, so q = 1, A = 1/2, B = 1/6.
    const double penetration = 9e-9;
    const double parallel = 9e-9 * 9e-9;
    const double h = parallel / (12.0 / 9.0);
    const CVector force = ForceOf(f);
    ExpectRelativelyNear(force.x, -h * 0.5 * penetration, 1e-9);
    EXPECT_EQ(force.y, 0.0);
    EXPECT_EQ(force.z, 0.0);
    // Torque ((A * L/2 - B * lambda * L/|L|) x d) with L x d = (0, 0, 81e-18).
    const double lambda = std::sqrt(penetration * penetration + h * h);
    const double expectedTorque = (0.25 - lambda / (6 * 15e-9)) * 81e-18;
    const CVector torque = TorqueOf(f);
    ExpectRelativelyNear(torque.z, expectedTorque, 1e-9);
    EXPECT_EQ(torque.x, 0.0);
    EXPECT_EQ(torque.y, 0.0);
}

TEST_F(CellMechanics, EveryWallPushesEitherEndBackIntoTheBox)
{
    for (int axis = 0; axis < 3; ++axis) {
        for (const bool upper : {true, false}) {
            for (const bool barbedOut : {true, false}) {
                cell.Filaments.clear();
                // The outer end 9 nm beyond the wall, the inner one 3 nm inside.
                CVector outward(0.0);
                Component(outward, axis) = upper ? 1.0 : -1.0;
                CVector across(0.0);
                Component(across, (axis + 1) % 3) = 1.0;
                const CVector wallPoint = CVector(5e-7) + outward * 5e-7;
                const CVector direction = (barbedOut ? 0.8 : -0.8) * outward + 0.6 * across;
                const CVector pointedEnd = wallPoint + outward * (barbedOut ? -3e-9 : 9e-9);
                CSolidFilament &f = AddFilament(pointedEnd, direction, 5);
                const std::int32_t seed = cell.Random.Seed();
                cell.MechStep(DT);
                const CVector force = ForceOf(f);
                SCOPED_TRACE(::testing::Message()
                             << "axis " << axis << " upper " << upper << " barbed out " << barbedOut);
                EXPECT_LT(Dot(force, outward), 0.0);
                EXPECT_NEAR(Length(force - Dot(force, outward) * outward), 0.0, 1e-40);
                EXPECT_NEAR(Dot(TorqueOf(f), outward), 0.0, 1e-40);
                EXPECT_EQ(cell.Random.Seed(), seed);
            }
        }
    }
}

TEST_F(CellMechanics, FreeFilamentGetsOneBrownianKick)
{
    RigidConstantsOf(cell).BrownianForce = 2e-26;
    RigidConstantsOf(cell).BrownianMoment = 3e-32;
    CSolidFilament &f = AddFilament(CVector(5e-7), CVector(1, 0, 0), 5);
    cell.Random.SetSeed(4242);
    const CVector forceDirection = RandomUnitVector(cell.Random);
    const CVector torqueDirection = RandomUnitVector(cell.Random);
    const std::int32_t seedAfterKick = cell.Random.Seed();
    cell.Random.SetSeed(4242);
    cell.MechStep(DT);
    const CVector force = ForceOf(f), torque = TorqueOf(f);
    for (int axis = 0; axis < 3; ++axis) {
        ExpectRelativelyNear(Component(force, axis), 2e-26 * Component(forceDirection, axis), 1e-12);
        ExpectRelativelyNear(Component(torque, axis), 3e-32 * Component(torqueDirection, axis), 1e-12);
    }
    EXPECT_NEAR(Length(force), 2e-26, 1e-38);
    EXPECT_NEAR(Length(torque), 3e-32, 1e-44);
    EXPECT_EQ(cell.Random.Seed(), seedAfterKick); // one kick: two directions
}

TEST_F(CellMechanics, BacteriumContactOfAnObliqueFilament)
{
    const CVector center(5e-7);
    AddBacterium(center, 1e-7);
    // Pointed end 0.9 R out along x, rod of 30 nm along (0.6, 0.8, 0).
    CSolidFilament &f = AddFilament(center + CVector(0.9e-7, 0, 0), CVector(0.6, 0.8, 0), 10);
    cell.MechStep(DT);
    // p = 10 nm, n.L = 18 nm, q = 1.8, ratio = 30/1.8 nm, lambda = 40/3 nm,
    // A = 0.18, B = -0.324.
    const double expectedForce = (4.0 / 3.0) * 1e-8 * 0.18 * 1e-8;
    const CVector force = ForceOf(f);
    ExpectRelativelyNear(force.x, expectedForce, 1e-9);
    EXPECT_NEAR(force.y, 0.0, 1e-9 * expectedForce);
    EXPECT_NEAR(force.z, 0.0, 1e-9 * expectedForce);
    const double expectedTorque = (4.0 / 3.0) * 1e-8 * 0.648e-16;
    const CVector torque = TorqueOf(f);
    ExpectRelativelyNear(torque.z, expectedTorque, 1e-9);
    EXPECT_NEAR(torque.x, 0.0, 1e-9 * expectedTorque);
    EXPECT_NEAR(torque.y, 0.0, 1e-9 * expectedTorque);
    // The bacterium takes the opposite force and no torque.
    const CVector reaction = ForceOf(*cell.Bacterium);
    ExpectRelativelyNear(reaction.x, -force.x, 1e-12);
    EXPECT_NEAR(reaction.y, -force.y, 1e-12 * expectedForce);
    EXPECT_NEAR(reaction.z, -force.z, 1e-12 * expectedForce);
    EXPECT_EQ(Length(cell.Bacterium->AngularVelocityIncrement), 0.0);
}

TEST_F(CellMechanics, BacteriumTakesTheSumOfTheOppositeForces)
{
    const CVector center(5e-7);
    AddBacterium(center, 1e-7);
    CSolidFilament &a = AddFilament(center + CVector(0.9e-7, 0, 0), CVector(0.6, 0.8, 0), 10);
    CSolidFilament &b = AddFilament(center + CVector(0, -0.95e-7, 0), CVector(0.3, -0.8, 0.5), 12);
    CSolidFilament &far = AddFilament(center + CVector(3e-7, 0, 0), CVector(1, 0, 0), 10);
    cell.MechStep(DT);
    EXPECT_GT(Length(ForceOf(a)), 0.0);
    EXPECT_GT(Length(ForceOf(b)), 0.0);
    EXPECT_EQ(Length(ForceOf(far)), 0.0);
    const CVector expected = -(ForceOf(a) + ForceOf(b));
    const CVector reaction = ForceOf(*cell.Bacterium);
    EXPECT_NEAR(reaction.x, expected.x, 1e-12 * Length(expected));
    EXPECT_NEAR(reaction.y, expected.y, 1e-12 * Length(expected));
    EXPECT_NEAR(reaction.z, expected.z, 1e-12 * Length(expected));
}

TEST_F(CellMechanics, DegenerateBacteriumContactsGiveNoForce)
{
    const CVector center(5e-7);
    AddBacterium(center, 1e-7);
    const fp::Traps traps;
    // An end at the very centre; a rod tangent to the normal at its inside end;
    // a chord with both ends equally far from the centre.
    CSolidFilament &atCentre = AddFilament(center, CVector(1, 0, 0), 10);
    CSolidFilament &tangent = AddFilament(center + CVector(0.9e-7, 0, 0), CVector(0, 1, 0), 10);
    CSolidFilament &chord = AddFilament(center + CVector(0.5e-7, -3e-9, 0), CVector(0, 1, 0), 2);
    EXPECT_NO_THROW(cell.MechStep(DT));
    for (const CSolidFilament *f : {&atCentre, &tangent, &chord}) {
        EXPECT_EQ(Length(f->VelocityIncrement), 0.0);
        EXPECT_EQ(Length(f->AngularVelocityIncrement), 0.0);
    }
    EXPECT_EQ(Length(cell.Bacterium->VelocityIncrement), 0.0);
}

TEST_F(CellMechanics, FilamentsTouchingTheBacteriumAreThoseItsContactPushes)
{
    EXPECT_EQ(cell.FilamentsTouchingBacterium(), 0); // no bacterium
    const CVector center(5e-7);
    AddBacterium(center, 1e-7);
    AddFilament(center + CVector(0.9e-7, 0, 0), CVector(0.6, 0.8, 0), 10);
    AddFilament(center + CVector(0, -0.95e-7, 0), CVector(0.3, -0.8, 0.5), 12);
    AddFilament(center + CVector(3e-7, 0, 0), CVector(1, 0, 0), 10);
    // Through the sphere with both ends outside: only ends are pushed.
    AddFilament(center + CVector(-1.2e-7, 0, 0), CVector(1, 0, 0), 80);
    // Degenerate contacts: an end at the centre, a tangent rod, a chord.
    AddFilament(center, CVector(1, 0, 0), 10);
    AddFilament(center + CVector(0.9e-7, 0, 0), CVector(0, 1, 0), 10);
    AddFilament(center + CVector(0.5e-7, -3e-9, 0), CVector(0, 1, 0), 2);
    const int touching = cell.FilamentsTouchingBacterium();
    cell.MechStep(DT);
    int pushed = 0;
    for (const CSolidFilament &f : cell.Filaments)
        pushed += Length(f.VelocityIncrement) > 0.0 ? 1 : 0;
    EXPECT_EQ(touching, 2);
    EXPECT_EQ(pushed, 2);
}

TEST_F(CellMechanics, FrictionCapsTheSpeedAtMuTimesMass)
{
    AddBacterium(CVector(5e-7), 1e-7);
    cell.Bacterium->UpdateMassProperties();
    CSolidFilament &fast = AddFilament(CVector(2e-7), CVector(1, 0, 0), 5);
    CSolidFilament &slow = AddFilament(CVector(3e-7), CVector(1, 0, 0), 5);
    fast.UpdateMassProperties();
    slow.UpdateMassProperties();
    // Limits of 1 m/s for the filaments and the bacterium; 3 times that is
    // slowed to exactly the limit, in the same direction.
    RigidConstantsOf(cell).FilamentFriction = 1.0 / fast.Mass;
    RigidConstantsOf(cell).BacteriumFriction = 1.0 / cell.Bacterium->Mass;
    fast.Velocity = CVector(1.8, 2.4, 0.0);
    slow.Velocity = CVector(0.3, 0.4, 0.0);
    cell.Bacterium->Velocity = CVector(0.0, 0.0, -3.0);
    cell.MechStep(DT);
    EXPECT_DOUBLE_EQ(fast.Velocity.x, 0.6);
    EXPECT_DOUBLE_EQ(fast.Velocity.y, 0.8);
    EXPECT_DOUBLE_EQ(Length(fast.Velocity), 1.0);
    EXPECT_EQ(slow.Velocity.x, 0.3);
    EXPECT_EQ(slow.Velocity.y, 0.4);
    EXPECT_DOUBLE_EQ(cell.Bacterium->Velocity.z, -1.0);
}

TEST_F(CellMechanics, StepWithoutForcesOrBacteriumMovesByVelocityOnly)
{
    CSolidFilament &f = AddFilament(CVector(5e-7), CVector(0, 0, 1), 5);
    f.UpdateMassProperties();
    f.Velocity = CVector(1e-6, 0, 0);
    const CVector pointedEnd = f.PointedEnd;
    const CVector direction = f.Direction;
    const fp::Traps traps;
    cell.MechStep(1e-4);
    EXPECT_DOUBLE_EQ(f.PointedEnd.x, pointedEnd.x + 1e-10);
    EXPECT_EQ(f.PointedEnd.y, pointedEnd.y);
    EXPECT_EQ(f.Direction.x, direction.x);
    EXPECT_EQ(f.Direction.y, direction.y);
    EXPECT_EQ(f.Direction.z, direction.z);
    EXPECT_EQ(Length(f.Force), 0.0);
}

TEST_F(CellMechanics, StepMovesTheBacteriumUnderTheFilamentsPush)
{
    const CVector center(5e-7);
    AddBacterium(center, 1e-7);
    cell.Bacterium->UpdateMassProperties();
    AddFilament(center + CVector(0.9e-7, 0, 0), CVector(0.6, 0.8, 0), 10);
    const fp::Traps traps;
    cell.MechStep(1e-4);
    // Pushed along -x by 2.4e-17 N from rest: F dt^2 / (2 m).
    const double mass = cell.Bacterium->Mass;
    EXPECT_NEAR(cell.Bacterium->Center.x - center.x, -2.4e-17 * 1e-8 / (2 * mass), 1e-6 * 2.4e-25 / mass);
    EXPECT_EQ(cell.Bacterium->Shell.Center.x, cell.Bacterium->Center.x);
}

} // namespace

namespace {

// 400 filaments inside the box, two of them faulty: an empty filament (0/0
// in its move) and one at the edge of the double range (its centre
// overflows). No fault escapes a worker thread, and every thread count
// reports the fault of the first filament in list order.
enum class Flaw { Empty, Far };

struct FaultyWorld {
    std::size_t firstAt;
    Flaw first;
    std::size_t secondAt;
    Flaw second;
    fp::Fault expected;
};

class CellMechanicsFaults : public CellMechanics, public ::testing::WithParamInterface<FaultyWorld> {
protected:
    void AddFlawed(Flaw flaw)
    {
        if (flaw == Flaw::Empty)
            AddFilament(CVector(5e-7), CVector(0, 0, 1), 0);
        else
            AddFilament(CVector(1e308, 5e-7, 5e-7), CVector(0, 0, 1), 5);
    }
};

TEST_P(CellMechanicsFaults, EveryThreadCountReportsTheSameFault)
{
    const FaultyWorld &world = GetParam();
    for (const int threads : {1, 2, 4}) {
        cell.Filaments.clear();
        for (std::size_t i = 0; i < 400; ++i) {
            if (i == world.firstAt)
                AddFlawed(world.first);
            else if (i == world.secondAt)
                AddFlawed(world.second);
            else
                AddFilament(CVector(5e-7), CVector(0, 0, 1), 5);
        }
        ExpectStepFault(cell, threads, world.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Stages, CellMechanicsFaults,
                         ::testing::Values(FaultyWorld{120, Flaw::Empty, 300, Flaw::Far, fp::Fault::Invalid},
                                           FaultyWorld{120, Flaw::Far, 300, Flaw::Empty, fp::Fault::Overflow},
                                           FaultyWorld{10, Flaw::Empty, 390, Flaw::Far, fp::Fault::Invalid},
                                           FaultyWorld{10, Flaw::Far, 390, Flaw::Empty,
                                                       fp::Fault::Overflow}));

} // namespace

namespace {

// 600 filaments of 5 to 300 monomers placed at random in the 1 um box, many
// of them across a wall or into the bacterium, with lively Brownian kicks.
void FillWithFilaments(CCell &cell)
{
    cell.SetBox(CVector(0.0), CVector(EDGE));
    RigidConstantsOf(cell).FWInterCoef = 1e-13;
    RigidConstantsOf(cell).BFInterCoef = 1e-6;
    RigidConstantsOf(cell).BrownianForce = 1e-23;
    RigidConstantsOf(cell).BrownianMoment = 1e-31;
    RigidConstantsOf(cell).FilamentFriction = 1e15;
    RigidConstantsOf(cell).BacteriumFriction = 1e13;
    cell.Material = {1.5e-9, 3.4e-14};
    cell.CreateBacterium();
    cell.Bacterium->Radius = 2e-7;
    cell.Bacterium->Density = 1000.0;
    cell.Bacterium->UpdateMassProperties();
    CRandomStream placement;
    placement.SeedWith(5);
    for (int i = 0; i < 600; ++i) {
        CSolidFilament filament;
        filament.SetGeometry(MulComponents(cell.Size, RandomUniformVector(placement)),
                             RandomUnitVector(placement));
        filament.Monomers = placement.UniformInt(5, 300);
        filament.Position = filament.GetMassCenter();
        cell.Filaments.Append(filament);
    }
    cell.Random.SeedWith(17);
}

// The stages of a step on several threads must each finish before the next
// starts, and the kicks must be drawn in list order: any thread count gives
// the world of one thread.
TEST(CellMechanicsThreads, EveryThreadCountGivesTheWorldOfOne)
{
    const auto stepped = [](int threads) {
        CCell cell;
        FillWithFilaments(cell);
        cell.MechanicsThreads = threads;
        const fp::Traps traps;
        for (int step = 0; step < 20; ++step)
            cell.MechStep(1e-4);
        return Fingerprint(cell);
    };
    const std::vector<std::uint64_t> alone = stepped(1);
    for (const int threads : {2, 4})
        EXPECT_EQ(stepped(threads), alone) << threads << " threads";
}

} // namespace
