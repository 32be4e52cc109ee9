#include "FixedMath.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <vector>

namespace {

// |a - b| in units of the last place of b.
double UlpsApart(double a, double b)
{
    const double ulp = std::nextafter(std::fabs(b), std::numeric_limits<double>::infinity()) - std::fabs(b);
    return std::fabs(a - b) / ulp;
}

} // namespace

TEST(FixedMath, LogAgreesWithTheLibraryOverTheWholeRange)
{
    // The smallest and largest uniforms, the branch point sqrt(1/2) and its
    // neighbours, values about 1 where ln x is small, large aspect ratios.
    const double cases[] = {std::numeric_limits<double>::denorm_min(),
                            1e-310,
                            std::ldexp(1.0, -53),
                            1e-300,
                            0.1,
                            0.5,
                            std::nextafter(0.70710678118654752, 0.0),
                            0.70710678118654752,
                            0.75,
                            0.9999,
                            1.0,
                            1.0 + 1e-12,
                            1.5,
                            2.0,
                            3.0,
                            30.0,
                            300.0,
                            1e12};
    for (const double x : cases) {
        if (x == 1.0) {
            EXPECT_EQ(FixedLog(x), 0.0);
            continue;
        }
        EXPECT_LE(UlpsApart(FixedLog(x), std::log(x)), 4.0) << x;
        if (x >= 0x1p-1022) {
            EXPECT_EQ(FixedLogOfNormal(x), FixedLog(x)) << x;
        }
    }
}

// Ties go to the even neighbour, as std::nearbyint does; from 2^52 on every
// double is already whole.
TEST(FixedMath, RoundingToIntegersIsTheLibrarys)
{
    const double values[] = {0.0,  -0.0,    0.3,          -0.3,         0.5,          -0.5,    1.5,  2.5,
                             -2.5, 3.49999, 0x1p51 + 0.5, 0x1p52 - 0.5, 0x1p52 + 1.0, -0x1p53, 1e300};
    for (const double y : values) {
        const double rounded = fixedmath::RoundToInteger(y);
        EXPECT_EQ(rounded, std::nearbyint(y)) << y;
        EXPECT_EQ(std::signbit(rounded), std::signbit(std::nearbyint(y))) << y;
    }
}

TEST(FixedMath, SineAndCosineOfTurnsAgreeWithTheLibrary)
{
    // Quadrant edges, eighths (the largest rest), tiny and whole turns, and
    // the large angles of a short rod's rotation.
    const double turns[] = {1e-300, 1e-9,  0.125, 0.25, 0.3,  0.375, 0.5,    0.625,    0.75,
                            0.875,  0.999, 1.0,   2.2,  -0.3, 17.6,  123.45, 1e6 + 0.1};
    for (const double t : turns) {
        double sine = 0.0, cosine = 0.0;
        FixedSinCosTurns(t, sine, cosine);
        // The library's reference with the turn reduced exactly first, so
        // both see the same angle.
        const double angle = 2.0 * std::numbers::pi * (t - std::nearbyint(t));
        EXPECT_NEAR(sine, std::sin(angle), 4e-16) << t;
        EXPECT_NEAR(cosine, std::cos(angle), 4e-16) << t;
        EXPECT_LE(std::fabs(sine * sine + cosine * cosine - 1.0), 4e-16) << t;
    }
}

// Every quadrant edge, the ties between quarters (eighths) and their
// neighbours, and a fine grid between them.
TEST(FixedMath, SineAndCosineOfUnitTurnsAreTheGeneralOnesBits)
{
    std::vector<double> turns = {0.0, 0x1p-53, 1e-300, 1.0};
    for (int eighth = 0; eighth <= 8; ++eighth) {
        const double edge = eighth / 8.0;
        turns.insert(turns.end(), {edge, std::nextafter(edge, 0.0), std::nextafter(edge, 1.0)});
    }
    for (int k = 0; k <= 100000; ++k)
        turns.push_back(k / 100000.0);
    for (const double t : turns) {
        double sine = 0.0, cosine = 0.0, unitSine = 0.0, unitCosine = 0.0;
        FixedSinCosTurns(t, sine, cosine);
        FixedSinCosOfUnitTurns(t, unitSine, unitCosine);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(unitSine), std::bit_cast<std::uint64_t>(sine)) << t;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(unitCosine), std::bit_cast<std::uint64_t>(cosine)) << t;
    }
}
