#pragma once

#include "FloatingPoint.h"
#include "Lib3d.h"

#include <gtest/gtest.h>

#include <string>

namespace mechtest {

// Keeps the compiler from folding a faulting operation at compile time.
inline double Opaque(double value)
{
    volatile double v = value;
    return v;
}

inline void ExpectNear(const CVector &actual, const CVector &expected, double tolerance)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

inline void ExpectNear(const CMatrix &actual, const CMatrix &expected, double tolerance)
{
    const double a[9] = {actual.m00, actual.m01, actual.m02, actual.m10, actual.m11,
                         actual.m12, actual.m20, actual.m21, actual.m22};
    const double e[9] = {expected.m00, expected.m01, expected.m02, expected.m10, expected.m11,
                         expected.m12, expected.m20, expected.m21, expected.m22};
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR(a[i], e[i], tolerance) << "element " << i / 3 << i % 3;
}

inline void ExpectEqual(const CVector &actual, const CVector &expected)
{
    EXPECT_EQ(actual.x, expected.x);
    EXPECT_EQ(actual.y, expected.y);
    EXPECT_EQ(actual.z, expected.z);
}

// The message of the floating-point fault that running f raises, or an empty
// string when it raises none.
template <typename F>
std::string FaultOf(F &&f)
{
    try {
        f();
    } catch (const fp::FloatingPointError &e) {
        return e.what();
    }
    return {};
}

} // namespace mechtest
