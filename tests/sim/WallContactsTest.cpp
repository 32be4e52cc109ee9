#include "Drag.h"
#include "WallContacts.h"

#include <gtest/gtest.h>

#include <bit>
#include <random>

namespace {

// Rods of 1 to 60 monomers in water in a 1-um box, at the default stiffness
// and step, placed so that one or both ends lie up to 20 nm beyond one wall,
// two walls or a corner.
struct RodSample {
    CVector Center, Axis;
    double HalfLength;
    RodMotion Motion;
};

constexpr double kEdge = 1e-6, kStiffness = 1e-4, kDt = 1e-4;

RodSample RandomRodNearWalls(std::mt19937_64 &random)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const int monomers = 1 + int(unit(random) * 60);
    const RodDrag drag = FilamentDrag(3e-9 * monomers, 7e-9, 1e-3);
    RodSample rod{CVector(0.0),
                  CVector(0.0),
                  1.5e-9 * monomers,
                  {1.0 / drag.Along, 1.0 / drag.Across, 1.0 / drag.Rotation}};
    // Each coordinate near a wall with some chance, else inside.
    for (int axis = 0; axis < 3; ++axis) {
        const double offset = rod.HalfLength * unit(random) - 2e-8 * unit(random);
        Component(rod.Center, axis) = unit(random) < 0.4   ? (unit(random) < 0.5 ? offset : kEdge - offset)
                                      : unit(random) < 0.5 ? kEdge * (0.1 + 0.8 * unit(random))
                                                           : kEdge * unit(random);
    }
    std::normal_distribution<double> normal;
    const CVector axis(normal(random), normal(random), normal(random));
    // Some rods lie along a wall.
    rod.Axis = axis / Length(axis);
    if (unit(random) < 0.3)
        Component(rod.Axis, int(unit(random) * 3)) *= 1e-3 * unit(random);
    rod.Axis = rod.Axis / Length(rod.Axis);
    return rod;
}

} // namespace

// The batch settles the common cases exactly as the rod-by-rod code does,
// to the bit, and leaves the others to it: a rod with two or more ends
// beyond different walls is never taken.
TEST(WallContacts, BatchSettlesAsTheRodByRodCode)
{
    std::mt19937_64 random(17);
    const ThermalMoveBounds bounds{CVector(0.0), CVector(kEdge), CVector(kEdge / 2), 2e-7};
    int lone = 0, both = 0, left = 0;
    for (int round = 0; round < 400; ++round) {
        ThermalMoveBatch batch;
        std::array<RodSample, kNoiseBatch> rods;
        for (std::size_t i = 0; i < kNoiseBatch; ++i) {
            batch.Rest(i);
            rods[i] = RandomRodNearWalls(random);
            batch.CenterX[i] = rods[i].Center.x, batch.CenterY[i] = rods[i].Center.y;
            batch.CenterZ[i] = rods[i].Center.z;
            batch.AxisX[i] = rods[i].Axis.x, batch.AxisY[i] = rods[i].Axis.y, batch.AxisZ[i] = rods[i].Axis.z;
            batch.HalfLength[i] = rods[i].HalfLength;
            batch.AlongMobility[i] = rods[i].Motion.AlongMobility;
            batch.AcrossMobility[i] = rods[i].Motion.AcrossMobility;
            batch.RotationMobility[i] = rods[i].Motion.RotationMobility;
        }
        SettleOnOneWall(batch, bounds, kStiffness, kDt);
        for (std::size_t i = 0; i < kNoiseBatch; ++i) {
            Rod rod{rods[i].Center, rods[i].Axis, rods[i].HalfLength, rods[i].Motion};
            // Which walls each end lies beyond.
            unsigned beyond[2] = {0, 0};
            for (int end = 0; end < 2; ++end)
                for (int axis = 0; axis < 3; ++axis) {
                    const double at = Component(rod.End(end ? 1.0 : -1.0), axis);
                    beyond[end] |= unsigned(at < 0.0) << (2 * axis) | unsigned(at > kEdge) << (2 * axis + 1);
                }
            ConfineRod(rod, bounds.Lower, bounds.Upper, kStiffness, kDt);
            if ((beyond[0] | beyond[1]) == 0)
                continue;
            if (batch.WallsDone[i] == 0.0) {
                ++left;
                continue;
            }
            ++(beyond[0] && beyond[1] ? both : lone);
            EXPECT_LE(std::popcount(beyond[0] | beyond[1]), 1) << round << " " << i;
            const CVector center(batch.CenterX[i], batch.CenterY[i], batch.CenterZ[i]);
            const CVector axis(batch.AxisX[i], batch.AxisY[i], batch.AxisZ[i]);
            const CVector pointed(batch.PointedX[i], batch.PointedY[i], batch.PointedZ[i]);
            for (int c = 0; c < 3; ++c) {
                EXPECT_EQ(std::bit_cast<std::uint64_t>(Component(center, c)),
                          std::bit_cast<std::uint64_t>(Component(rod.Center, c)));
                EXPECT_EQ(std::bit_cast<std::uint64_t>(Component(axis, c)),
                          std::bit_cast<std::uint64_t>(Component(rod.Axis, c)));
                EXPECT_EQ(Component(pointed, c), Component(rod.End(-1.0), c));
            }
            const auto inSphere = [&](const CVector &end) {
                return Length(end - bounds.SphereCenter) < bounds.SphereRadius;
            };
            EXPECT_EQ(batch.InSphere[i] != 0.0, inSphere(rod.End(-1.0)) || inSphere(rod.End(1.0)));
        }
    }
    // Lone ends and rods along a wall are taken; corners are left.
    EXPECT_GT(lone, 900);
    EXPECT_GT(both, 200);
    EXPECT_GT(left, 500);
}
