#include "Lib3d.h"
#include "MechTestSupport.h"
#include "Random.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

using namespace mechtest;

namespace {

TEST(Vector, ArithmeticIsComponentWise)
{
    const CVector a(1, 2, 3), b(4, -5, 6);
    ExpectEqual(a + b, CVector(5, -3, 9));
    ExpectEqual(a - b, CVector(-3, 7, -3));
    ExpectEqual(-a, CVector(-1, -2, -3));
    ExpectEqual(a * 2.0, CVector(2, 4, 6));
    ExpectEqual(2.0 * a, CVector(2, 4, 6));
    ExpectEqual(b / 2.0, CVector(2, -2.5, 3));
    ExpectEqual(a + 0.5, CVector(1.5, 2.5, 3.5));
    ExpectEqual(a - 0.5, CVector(0.5, 1.5, 2.5));
    ExpectEqual(MulComponents(a, b), CVector(4, -10, 18));
    ExpectEqual(CVector(7.0), CVector(7, 7, 7));

    CVector c = a;
    c += b;
    c *= 0.5;
    ExpectEqual(c, CVector(2.5, -1.5, 4.5));
    ExpectEqual(c.SetZero(), CVector(0, 0, 0));
}

TEST(Vector, ProductsAndLength)
{
    EXPECT_EQ(Dot(CVector(1, 2, 3), CVector(4, -5, 6)), 12.0);
    ExpectEqual(Cross(CVector(1, 0, 0), CVector(0, 1, 0)), CVector(0, 0, 1));
    ExpectEqual(Cross(CVector(0, 1, 0), CVector(1, 0, 0)), CVector(0, 0, -1));
    ExpectEqual(Cross(CVector(1, 2, 3), CVector(4, 5, 6)), CVector(-3, 6, -3));
    EXPECT_EQ(Length(CVector(3, 4, 12)), 13.0);
    EXPECT_EQ(ProductOfComponents(CVector(2, 3, -4)), -24.0);
    ExpectEqual(Normalized(CVector(0, 3, 4)), CVector(0, 0.6, 0.8));
}

TEST(Vector, NormalizingTheZeroVectorIsAnInvalidOperation)
{
    fp::Traps traps;
    CVector result(5, 5, 5);
    const CVector zero(Opaque(0.0));
    EXPECT_EQ(FaultOf([&] { result = Normalized(zero); }), "Invalid floating point operation");
    ExpectEqual(result, CVector(5, 5, 5));
}

TEST(Vector, DivisionByZeroFaults)
{
    fp::Traps traps;
    EXPECT_EQ(FaultOf([] { return CVector(1, 2, 3) / Opaque(0.0); }), "Floating point division by zero");
    EXPECT_EQ(FaultOf([] { return CVector(1e300) * Opaque(1e300); }), "Floating point overflow");
}

TEST(Vector, MinAndMaxComponents)
{
    const CVector a(1, 5, 3), b(2, 4, 3);
    ExpectEqual(MinComponents(a, b), CVector(1, 4, 3));
    ExpectEqual(MaxComponents(a, b), CVector(2, 5, 3));
    // On equal values the first operand wins: visible in the sign of zero.
    EXPECT_FALSE(std::signbit(MinComponents(CVector(0.0), CVector(-0.0)).x));
    EXPECT_TRUE(std::signbit(MaxComponents(CVector(-0.0), CVector(0.0)).y));
}

TEST(Vector, BoxContainmentIncludesTheFaces)
{
    const CVector lo(-1, 0, 2), hi(1, 3, 5);
    const auto inside = [&](const CVector &p) { return !AnyLess(p, lo) && !AnyGreater(p, hi); };
    EXPECT_TRUE(inside(lo));
    EXPECT_TRUE(inside(hi));
    EXPECT_TRUE(inside(CVector(0, 1, 3)));
    EXPECT_FALSE(inside(CVector(std::nextafter(1.0, 2.0), 3, 5)));
    EXPECT_FALSE(inside(CVector(1, std::nextafter(3.0, 4.0), 5)));
    EXPECT_FALSE(inside(CVector(-1, 0, std::nextafter(2.0, 0.0))));
}

TEST(Matrix, ProductsApplyRowsToColumns)
{
    const CMatrix a(1, 2, 3, 4, 5, 6, 7, 8, 10);
    const CMatrix b(2, 0, 1, -1, 3, 0, 0, 1, 4);
    const CMatrix expected(0, 9, 13, 3, 21, 28, 6, 34, 47);
    ExpectNear(a * b, expected, 0.0);
    CMatrix inPlace = a;
    inPlace *= b;
    ExpectNear(inPlace, expected, 0.0);
    CMatrix squared = a;
    squared *= squared;
    ExpectNear(squared, CMatrix(30, 36, 45, 66, 81, 102, 109, 134, 169), 0.0);

    ExpectEqual(a * CVector(1, -1, 2), CVector(5, 11, 19));
    ExpectEqual(CVector(1, -1, 2) * a, CVector(5, 11, 19));
    CVector v(1, -1, 2);
    v *= a;
    ExpectEqual(v, CVector(5, 11, 19));

    ExpectNear(a + b, CMatrix(3, 2, 4, 3, 8, 6, 7, 9, 14), 0.0);
    ExpectNear(a * 2.0, CMatrix(2, 4, 6, 8, 10, 12, 14, 16, 20), 0.0);
    CMatrix scaled = a;
    scaled += b;
    scaled /= 2.0;
    ExpectNear(scaled, CMatrix(1.5, 1, 2, 1.5, 4, 3, 3.5, 4.5, 7), 0.0);
    ExpectNear(scaled.SetZero(), CMatrix(), 0.0);
    ExpectNear(scaled.SetIdentity(), CMatrix(1, 0, 0, 0, 1, 0, 0, 0, 1), 0.0);
}

TEST(Matrix, DeterminantAndInverse)
{
    EXPECT_EQ(Determinant(CMatrix(1, 2, 3, 4, 5, 6, 7, 8, 10)), -3.0);
    EXPECT_EQ(Determinant(CMatrix(2, 0, 0, 0, 3, 0, 0, 0, 4)), 24.0);
    ExpectNear(Inverse(CMatrix::Identity()), CMatrix::Identity(), 0.0);
    ExpectNear(Inverse(CMatrix(2, 0, 0, 0, 4, 0, 0, 0, 8)), CMatrix(0.5, 0, 0, 0, 0.25, 0, 0, 0, 0.125), 0.0);

    const CMatrix symmetric(4, 1, 2, 1, 5, 3, 2, 3, 6);
    ExpectNear(symmetric * Inverse(symmetric), CMatrix::Identity(), 1e-15);
    ExpectNear(Inverse(symmetric) * symmetric, CMatrix::Identity(), 1e-15);

    // Not transposed: for an unsymmetric matrix the result is the transpose
    // of its inverse. The inverse of this shear is the opposite shear.
    const CMatrix shear(1, 2, 0, 0, 1, 0, 0, 0, 1);
    ExpectNear(Inverse(shear), CMatrix(1, 0, 0, -2, 1, 0, 0, 0, 1), 0.0);
}

TEST(Matrix, InvertingASingularMatrixFaults)
{
    fp::Traps traps;
    const double zero = Opaque(0.0);
    EXPECT_EQ(FaultOf([&] { return Inverse(CMatrix(zero, 0, 0, 0, 0, 0, 0, 0, 0)); }),
              "Invalid floating point operation");
    EXPECT_FALSE(FaultOf([&] { return Inverse(CMatrix(1, 0, 0, 0, 1, 0, 0, 0, zero)); }).empty());
    EXPECT_FALSE(FaultOf([&] { return Inverse(CMatrix(1, 2, 3, 2, 4, 6, 0, 1, zero)); }).empty());
}

TEST(Matrix, Rotations)
{
    const double quarter = std::numbers::pi / 2;
    ExpectNear(RotationZ(quarter) * CVector(1, 0, 0), CVector(0, 1, 0), 1e-16);
    ExpectNear(RotationX(quarter) * CVector(0, 1, 0), CVector(0, 0, 1), 1e-16);
    ExpectNear(RotationY(quarter) * CVector(0, 0, 1), CVector(1, 0, 0), 1e-16);

    for (double a : {0.3, -1.2, 2.5}) {
        for (const CMatrix &r : {RotationX(a), RotationY(a), RotationZ(a)}) {
            EXPECT_NEAR(Determinant(r), 1.0, 1e-15);
            const CMatrix transposed(r.m00, r.m10, r.m20, r.m01, r.m11, r.m21, r.m02, r.m12, r.m22);
            ExpectNear(r * transposed, CMatrix::Identity(), 1e-15);
        }
    }

    const CMatrix m(1, 2, 3, 4, 5, 6, 7, 8, 10);
    CMatrix restored = m;
    PreRotateX(restored, 0.7);
    PreRotateX(restored, -0.7);
    ExpectNear(restored, m, 1e-14);
    PreRotateY(restored, 0.4);
    PreRotateY(restored, -0.4);
    PreRotateZ(restored, 1.9);
    PreRotateZ(restored, -1.9);
    ExpectNear(restored, m, 1e-14);

    // Pre-multiplication: x first, then y, gives Ry(b) * Rx(a).
    const double a = 0.3, b = -0.8;
    CMatrix both = CMatrix::Identity();
    PreRotateX(both, a);
    PreRotateY(both, b);
    const double ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b);
    ExpectNear(both, CMatrix(cb, sb * sa, sb * ca, 0, ca, -sa, -sb, cb * sa, cb * ca), 1e-16);
}

// The step rotation's short form against the three general products, bit
// for bit: angles of every size and sign, zeros of both signs, and angles
// whose sines fall below the short form's bound.
TEST(Matrix, RotationZYXIsThePreRotatedIdentityBitForBit)
{
    const auto bits = [](const CMatrix &m) {
        return std::vector<std::uint64_t>{
            std::bit_cast<std::uint64_t>(m.m00), std::bit_cast<std::uint64_t>(m.m01),
            std::bit_cast<std::uint64_t>(m.m02), std::bit_cast<std::uint64_t>(m.m10),
            std::bit_cast<std::uint64_t>(m.m11), std::bit_cast<std::uint64_t>(m.m12),
            std::bit_cast<std::uint64_t>(m.m20), std::bit_cast<std::uint64_t>(m.m21),
            std::bit_cast<std::uint64_t>(m.m22)};
    };
    std::vector<double> angles = {
        0.0, -0.0, 1e-200, -1e-95, 1e-80, 3e-9, -0.25, std::numbers::pi / 2, -std::numbers::pi, 1e6};
    CRandomStream random;
    random.SeedWith(7);
    for (int i = 0; i < 300; ++i)
        angles.push_back((2 * random.UniformReal() - 1) * std::pow(10.0, -12 * random.UniformReal()));
    for (std::size_t i = 0; i + 2 < angles.size(); ++i) {
        const double x = angles[i], y = angles[i + 1], z = angles[(i * 7 + 2) % angles.size()];
        CMatrix general = CMatrix::Identity();
        PreRotateX(general, std::cos(x), std::sin(x));
        PreRotateY(general, std::cos(y), std::sin(y));
        PreRotateZ(general, std::cos(z), std::sin(z));
        EXPECT_EQ(
            bits(RotationZYX(std::cos(x), std::sin(x), std::cos(y), std::sin(y), std::cos(z), std::sin(z))),
            bits(general))
            << x << " " << y << " " << z;
    }
}

// The masked generator written independently, in 64-bit arithmetic.
struct MaskedStream {
    std::int32_t seed;
    double Next()
    {
        seed = static_cast<std::int32_t>(static_cast<std::int64_t>(seed) * 16807 % 2147483647);
        const double u = static_cast<float>(std::ldexp(static_cast<double>(seed), -31));
        seed ^= 123459876;
        return u;
    }
};

TEST(RandomVectors, UniformVectorDrawsXThenYThenZ)
{
    CRandomStream random;
    random.SetSeed(31337);
    MaskedStream stream{31337};
    for (int i = 0; i < 100; ++i) {
        const double x = stream.Next(), y = stream.Next(), z = stream.Next();
        const CVector v = RandomUniformVector(random);
        ASSERT_EQ(v.x, x);
        ASSERT_EQ(v.y, y);
        ASSERT_EQ(v.z, z);
    }
}

TEST(RandomVectors, UnitVectorFollowsMarsagliasMethod)
{
    fp::Traps traps;
    CRandomStream random;
    random.SetSeed(4242);
    MaskedStream stream{4242};
    int rejections = 0;
    for (int i = 0; i < 2000; ++i) {
        double u, v, s;
        for (;;) {
            u = 2 * stream.Next() - 1;
            v = 2 * stream.Next() - 1;
            s = u * u + v * v;
            if (s < 1 && s != 0)
                break;
            ++rejections;
        }
        const double root = std::sqrt(1 - s);
        const CVector d = RandomUnitVector(random);
        ASSERT_EQ(d.x, 2 * u * root) << i;
        ASSERT_EQ(d.y, 2 * v * root) << i;
        ASSERT_EQ(d.z, 1 - 2 * s) << i;
        ASSERT_NEAR(Length(d), 1.0, 1e-15);
    }
    EXPECT_GT(rejections, 0);
    EXPECT_EQ(random.Seed(), stream.seed);
}

TEST(RandomVectors, UnitVectorRejectsPairsOutsideTheDisc)
{
    // A first draw of 1.0 gives u = 1, so s >= 1 and the pair is dropped:
    // the vector comes from the third and fourth draws.
    const std::int32_t seedBeforeOne = 739806647; // one step lands on 2^31 - 2
    MaskedStream stream{seedBeforeOne};
    ASSERT_EQ(stream.Next(), 1.0);
    stream.Next();
    const double u = 2 * stream.Next() - 1, v = 2 * stream.Next() - 1;
    CRandomStream random;
    random.SetSeed(seedBeforeOne);
    const CVector d = RandomUnitVector(random);
    const double s = u * u + v * v;
    ASSERT_LT(s, 1.0);
    EXPECT_EQ(d.z, 1 - 2 * s);
    EXPECT_EQ(random.Seed(), stream.seed);
}

TEST(RandomVectors, UnitVectorsAreUniformOnTheSphere)
{
    CRandomStream random;
    random.SeedWith(99);
    constexpr int kCount = 20000;
    CVector sum(0.0);
    double zSquared = 0;
    for (int i = 0; i < kCount; ++i) {
        const CVector d = RandomUnitVector(random);
        sum += d;
        zSquared += d.z * d.z;
    }
    // Each component has mean 0 and variance 1/3; z^2 has mean 1/3 and
    // variance 4/45.
    const double sigma = std::sqrt(1.0 / 3.0 / kCount);
    ExpectNear(sum / kCount, CVector(0.0), 5 * sigma);
    EXPECT_NEAR(zSquared / kCount, 1.0 / 3.0, 5 * std::sqrt(4.0 / 45.0 / kCount));
}

} // namespace
