#pragma once

// Checks on matrices as OpenGL reads them, shared by the scene tests.

#include "Types3d.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

// Element [4c + r] is row r, column c, and a point is the column vector
// (x, y, z, 1).
inline TXYZ Transform(const TMatrix3D &m, const TXYZ &p)
{
    const double v[4] = {p.x, p.y, p.z, 1.0};
    double out[4] = {};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out[r] += m[4 * c + r] * v[c];
    return {out[0] / out[3], out[1] / out[3], out[2] / out[3]};
}

inline void ExpectNear(const TXYZ &actual, const TXYZ &expected, double tolerance = 1e-6)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// Expects the given elements and 0 everywhere else.
inline void ExpectElements(const TMatrix3D &m, std::initializer_list<std::pair<int, float>> nonZero)
{
    TMatrix3D expected{};
    for (const auto &[index, value] : nonZero)
        expected[index] = value;
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(m[i], expected[i]) << "element " << i;
}
