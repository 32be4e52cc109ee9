#include "FloatingPoint.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// Keeps the compiler from folding the faulting operation at compile time.
double Opaque(double value)
{
    volatile double v = value;
    return v;
}

TEST(FloatingPoint, FaultsAreThrownAtTheFaultingOperation)
{
    fp::Traps traps;
    double stored = 1.0;
    try {
        stored = Opaque(1.0) / Opaque(0.0);
        FAIL() << "no fault raised";
    } catch (const fp::FloatingPointError &e) {
        EXPECT_EQ(e.fault(), fp::Fault::DivisionByZero);
        EXPECT_STREQ(e.what(), "Floating point division by zero");
    }
    EXPECT_EQ(stored, 1.0);

    EXPECT_THROW(
        {
            try {
                stored = Opaque(0.0) / Opaque(0.0);
            } catch (const fp::FloatingPointError &e) {
                EXPECT_STREQ(e.what(), "Invalid floating point operation");
                throw;
            }
        },
        fp::FloatingPointError);
    EXPECT_THROW(
        {
            try {
                stored = Opaque(1e300) * Opaque(1e300);
            } catch (const fp::FloatingPointError &e) {
                EXPECT_STREQ(e.what(), "Floating point overflow");
                throw;
            }
        },
        fp::FloatingPointError);
    EXPECT_EQ(stored, 1.0);
}

TEST(FloatingPoint, UnderflowAndInexactPassSilently)
{
    fp::Traps traps;
    EXPECT_EQ(Opaque(1e-300) * Opaque(1e-300), 0.0);
    EXPECT_NEAR(Opaque(1.0) / Opaque(3.0), 0.333333, 1e-6);
}

TEST(FloatingPoint, ScopesNestAndRestore)
{
    EXPECT_FALSE(fp::TrapsEnabled());
    {
        fp::Traps on;
        EXPECT_TRUE(fp::TrapsEnabled());
        {
            fp::Traps off(false);
            EXPECT_FALSE(fp::TrapsEnabled());
            EXPECT_TRUE(std::isinf(Opaque(1.0) / Opaque(0.0)));
        }
        EXPECT_TRUE(fp::TrapsEnabled());
        volatile double sink = 0.0;
        EXPECT_THROW(sink = Opaque(1.0) / Opaque(0.0), fp::FloatingPointError);
        // Still armed after a fault has been thrown.
        EXPECT_THROW(sink = Opaque(1.0) / Opaque(0.0), fp::FloatingPointError);
        EXPECT_EQ(sink, 0.0);
    }
    EXPECT_FALSE(fp::TrapsEnabled());
    EXPECT_TRUE(std::isnan(Opaque(0.0) / Opaque(0.0)));
}

} // namespace
