#include "Drag.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double kWater = 1e-3; // Pa s

struct RodCase {
    double Length, Diameter; // m
    RodDrag Expected;        // worked out by hand from the published fits
};

class FilamentDragTest : public testing::TestWithParam<RodCase> {};

TEST_P(FilamentDragTest, MatchesTheWorkedValues)
{
    const RodCase c = GetParam();
    const RodDrag drag = FilamentDrag(c.Length, c.Diameter, kWater);
    EXPECT_NEAR(drag.Along, c.Expected.Along, 1e-9 * c.Expected.Along);
    EXPECT_NEAR(drag.Across, c.Expected.Across, 1e-9 * c.Expected.Across);
    EXPECT_NEAR(drag.Rotation, c.Expected.Rotation, 1e-9 * c.Expected.Rotation);
}

// p = 10 and p = 300 by the rod fits; p = 1.5 as the sphere of the rod's
// volume, radius 1.96556 nm. At the boundary: p = 2 and 2.1 by the rod fits,
// p = 1.9 as its sphere.
INSTANTIATE_TEST_SUITE_P(
    AspectRatios, FilamentDragTest,
    testing::Values(RodCase{30e-9, 3e-9, {8.5982493469e-11, 1.1920987832e-10, 1.6326698963e-26}},
                    RodCase{900e-9, 3e-9, {1.0281486857e-09, 1.7284180338e-09, 1.5132436883e-22}},
                    RodCase{4.5e-9, 3e-9, {3.7049858600e-11, 3.7049858600e-11, 1.9085175371e-28}},
                    RodCase{6e-9, 3e-9, {3.9982208687e-11, 4.4802632363e-11, 4.7405639240e-28}},
                    RodCase{6.3e-9, 3e-9, {4.0747603802e-11, 4.5978076457e-11, 5.1823897119e-28}},
                    RodCase{5.7e-9, 3e-9, {4.0087348854e-11, 4.0087348854e-11, 2.4174555469e-28}}));

TEST(SphereDrag, IsStokesLaw)
{
    // A bacterium of radius 0.2 um in water.
    EXPECT_DOUBLE_EQ(SphereTranslationDrag(2e-7, kWater), 6.0 * std::numbers::pi * 2e-10);
    EXPECT_DOUBLE_EQ(SphereRotationDrag(2e-7, kWater), 8.0 * std::numbers::pi * 8e-24);
}

TEST(FilamentDrag, ShortRodsTakeTheSphereOfTheirVolume)
{
    // Just below p = 2 the rod is the sphere whose volume pi d^2 L / 4 it has.
    const double length = 5.9e-9, diameter = 3e-9;
    const double radius = FilamentDrag(length, diameter, kWater).Along / (6.0 * std::numbers::pi * kWater);
    EXPECT_NEAR(4.0 / 3.0 * std::numbers::pi * std::pow(radius, 3),
                std::numbers::pi * diameter * diameter * length / 4.0, 1e-9 * std::pow(radius, 3));
}

} // namespace
