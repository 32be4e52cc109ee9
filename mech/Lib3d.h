#pragma once

#include "Random.h"

#include <bit>
#include <cmath>
#include <cstdint>

// Three-component vectors and 3x3 matrices of doubles: positions, directions,
// velocities, forces, torques, inertia tensors and rotations of the mechanics,
// all in SI units. Every operation is written out component by component in a
// fixed order, so results are reproducible bit for bit. Nothing checks its
// input: a division by zero or an overflow is a floating-point fault.

struct CMatrix;

struct CVector {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    constexpr CVector() = default;
    constexpr CVector(double x, double y, double z) : x(x), y(y), z(z) {}
    // All three components set to s.
    constexpr explicit CVector(double s) : x(s), y(s), z(s) {}

    CVector &SetZero()
    {
        x = y = z = 0.0;
        return *this;
    }
    CVector &operator+=(const CVector &b)
    {
        x += b.x;
        y += b.y;
        z += b.z;
        return *this;
    }
    CVector &operator*=(double s)
    {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }
    // a := M * a.
    CVector &operator*=(const CMatrix &m);
};

// Row-major: mij is row i, column j.
struct CMatrix {
    double m00 = 0.0, m01 = 0.0, m02 = 0.0;
    double m10 = 0.0, m11 = 0.0, m12 = 0.0;
    double m20 = 0.0, m21 = 0.0, m22 = 0.0;

    constexpr CMatrix() = default;
    constexpr CMatrix(double m00, double m01, double m02, double m10, double m11, double m12, double m20,
                      double m21, double m22)
        : m00(m00), m01(m01), m02(m02), m10(m10), m11(m11), m12(m12), m20(m20), m21(m21), m22(m22)
    {
    }
    static constexpr CMatrix Identity() { return CMatrix(1, 0, 0, 0, 1, 0, 0, 0, 1); }
    // Whether every entry has the bits of the identity's (so no -0.0).
    bool IsExactlyIdentity() const
    {
        const auto is = [](double entry, double value) {
            return std::bit_cast<std::uint64_t>(entry) == std::bit_cast<std::uint64_t>(value);
        };
        return is(m00, 1.0) && is(m01, 0.0) && is(m02, 0.0) && is(m10, 0.0) && is(m11, 1.0) && is(m12, 0.0) &&
               is(m20, 0.0) && is(m21, 0.0) && is(m22, 1.0);
    }

    CMatrix &SetZero()
    {
        *this = CMatrix();
        return *this;
    }
    CMatrix &SetIdentity()
    {
        *this = Identity();
        return *this;
    }
    // A := A * B.
    CMatrix &operator*=(const CMatrix &b);
    CMatrix &operator+=(const CMatrix &b);
    CMatrix &operator*=(double s);
    CMatrix &operator/=(double s);
};

inline CVector operator-(const CVector &a)
{
    return CVector(-a.x, -a.y, -a.z);
}
inline CVector operator+(const CVector &a, const CVector &b)
{
    return CVector(a.x + b.x, a.y + b.y, a.z + b.z);
}
inline CVector operator-(const CVector &a, const CVector &b)
{
    return CVector(a.x - b.x, a.y - b.y, a.z - b.z);
}
inline CVector operator*(const CVector &a, double s)
{
    return CVector(a.x * s, a.y * s, a.z * s);
}
inline CVector operator*(double s, const CVector &a)
{
    return a * s;
}
// Each component divided by s (not multiplied by 1/s), so 0/0 is an invalid
// operation and x/0 a division by zero.
inline CVector operator/(const CVector &a, double s)
{
    return CVector(a.x / s, a.y / s, a.z / s);
}
inline CVector operator+(const CVector &a, double s)
{
    return CVector(a.x + s, a.y + s, a.z + s);
}
inline CVector operator-(const CVector &a, double s)
{
    return CVector(a.x - s, a.y - s, a.z - s);
}

inline CVector MulComponents(const CVector &a, const CVector &b)
{
    return CVector(a.x * b.x, a.y * b.y, a.z * b.z);
}
inline double Dot(const CVector &a, const CVector &b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline CVector Cross(const CVector &a, const CVector &b)
{
    return CVector(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}
// The argument of the square root is never negative: an overflow faults
// before it is reached.
inline double Length(const CVector &a)
{
    return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
}
// x * y * z: the volume of a box with these edge lengths.
inline double ProductOfComponents(const CVector &a)
{
    return a.x * a.y * a.z;
}
// a / Length(a); the zero vector is an invalid operation (0/0).
inline CVector Normalized(const CVector &a)
{
    return a / Length(a);
}
// The component of v along axis 0 (x), 1 (y) or 2 (z).
inline double &Component(CVector &v, int axis)
{
    return axis == 0 ? v.x : axis == 1 ? v.y : v.z;
}
inline double Component(const CVector &v, int axis)
{
    return axis == 0 ? v.x : axis == 1 ? v.y : v.z;
}
// Per component the smaller (larger) value; on equal values the value of a.
inline CVector MinComponents(const CVector &a, const CVector &b)
{
    return CVector(b.x < a.x ? b.x : a.x, b.y < a.y ? b.y : a.y, b.z < a.z ? b.z : a.z);
}
inline CVector MaxComponents(const CVector &a, const CVector &b)
{
    return CVector(b.x > a.x ? b.x : a.x, b.y > a.y ? b.y : a.y, b.z > a.z ? b.z : a.z);
}
// A point p lies in the box [lo, hi], faces included, exactly when neither
// AnyLess(p, lo) nor AnyGreater(p, hi) holds.
inline bool AnyLess(const CVector &a, const CVector &b)
{
    return a.x < b.x || a.y < b.y || a.z < b.z;
}
inline bool AnyGreater(const CVector &a, const CVector &b)
{
    return a.x > b.x || a.y > b.y || a.z > b.z;
}

// Three successive UniformReal draws of `random`: x, then y, then z.
inline CVector RandomUniformVector(CRandomStream &random)
{
    // Separate statements keep the order of the draws fixed.
    const double x = random.UniformReal();
    const double y = random.UniformReal();
    const double z = random.UniformReal();
    return CVector(x, y, z);
}
// A uniformly distributed direction (Marsaglia's method; two draws per
// attempt, u before v) from `random`.
inline CVector RandomUnitVector(CRandomStream &random)
{
    double u, v, s;
    do {
        u = 2.0 * random.UniformReal() - 1.0;
        v = 2.0 * random.UniformReal() - 1.0;
        s = u * u + v * v;
    } while (s >= 1.0 || s == 0.0);
    const double root = std::sqrt(1.0 - s);
    return CVector(2.0 * u * root, 2.0 * v * root, 1.0 - 2.0 * s);
}

// Component i is row i of m dotted with v.
inline CVector operator*(const CMatrix &m, const CVector &v)
{
    return CVector(m.m00 * v.x + m.m01 * v.y + m.m02 * v.z, m.m10 * v.x + m.m11 * v.y + m.m12 * v.z,
                   m.m20 * v.x + m.m21 * v.y + m.m22 * v.z);
}
// The vector-times-matrix form means the same as m * v.
inline CVector operator*(const CVector &v, const CMatrix &m)
{
    return m * v;
}
inline CVector &CVector::operator*=(const CMatrix &m)
{
    return *this = m * *this;
}

// Row i of a times b, each entry summed left to right.
inline CMatrix operator*(const CMatrix &a, const CMatrix &b)
{
    return CMatrix(
        a.m00 * b.m00 + a.m01 * b.m10 + a.m02 * b.m20, a.m00 * b.m01 + a.m01 * b.m11 + a.m02 * b.m21,
        a.m00 * b.m02 + a.m01 * b.m12 + a.m02 * b.m22, a.m10 * b.m00 + a.m11 * b.m10 + a.m12 * b.m20,
        a.m10 * b.m01 + a.m11 * b.m11 + a.m12 * b.m21, a.m10 * b.m02 + a.m11 * b.m12 + a.m12 * b.m22,
        a.m20 * b.m00 + a.m21 * b.m10 + a.m22 * b.m20, a.m20 * b.m01 + a.m21 * b.m11 + a.m22 * b.m21,
        a.m20 * b.m02 + a.m21 * b.m12 + a.m22 * b.m22);
}
CMatrix operator+(const CMatrix &a, const CMatrix &b);
CMatrix operator*(const CMatrix &a, double s);

inline double Determinant(const CMatrix &m)
{
    return m.m00 * (m.m11 * m.m22 - m.m21 * m.m12) - m.m01 * (m.m10 * m.m22 - m.m20 * m.m12) +
           m.m02 * (m.m10 * m.m21 - m.m11 * m.m20);
}
// Cofactors divided by the determinant, not transposed: the inverse for the
// symmetric matrices (inertia tensors) it is used on, the transpose of the
// inverse otherwise. A singular matrix is a floating-point fault. Inline, so
// that the compiler drops the operations on entries known to be 0 or 1 that
// cannot change a bit of the result.
inline CMatrix Inverse(const CMatrix &m)
{
    const double det = Determinant(m);
    return CMatrix((m.m11 * m.m22 - m.m12 * m.m21) / det, (m.m12 * m.m20 - m.m10 * m.m22) / det,
                   (m.m10 * m.m21 - m.m11 * m.m20) / det, (m.m21 * m.m02 - m.m01 * m.m22) / det,
                   (m.m00 * m.m22 - m.m02 * m.m20) / det, (m.m01 * m.m20 - m.m00 * m.m21) / det,
                   (m.m01 * m.m12 - m.m02 * m.m11) / det, (m.m02 * m.m10 - m.m00 * m.m12) / det,
                   (m.m00 * m.m11 - m.m01 * m.m10) / det);
}

// Rotations by angle a [rad] about the fixed axes, or by the angle whose
// cosine and sine are c and s.
inline CMatrix RotationX(double c, double s)
{
    return CMatrix(1, 0, 0, 0, c, -s, 0, s, c);
}
inline CMatrix RotationY(double c, double s)
{
    return CMatrix(c, 0, s, 0, 1, 0, -s, 0, c);
}
inline CMatrix RotationZ(double c, double s)
{
    return CMatrix(c, -s, 0, s, c, 0, 0, 0, 1);
}
inline CMatrix RotationX(double a)
{
    return RotationX(std::cos(a), std::sin(a));
}
inline CMatrix RotationY(double a)
{
    return RotationY(std::cos(a), std::sin(a));
}
inline CMatrix RotationZ(double a)
{
    return RotationZ(std::cos(a), std::sin(a));
}
// m := Rotation?(a) * m. The full product is written out, so its fixed
// entries make the compiler skip exactly the operations that cannot change
// the result (a product with 1); products with 0 stay, for the sign of zero.
inline void PreRotateX(CMatrix &m, double c, double s)
{
    m = RotationX(c, s) * m;
}
inline void PreRotateY(CMatrix &m, double c, double s)
{
    m = RotationY(c, s) * m;
}
inline void PreRotateZ(CMatrix &m, double c, double s)
{
    m = RotationZ(c, s) * m;
}
// RotationZ(cz, sz) * RotationY(cy, sy) * RotationX(cx, sx): the identity
// turned by PreRotateX, PreRotateY and PreRotateZ, bit for bit. When every
// sine and cosine is finite and at least 2^-300 in magnitude, every product
// of them below is a nonzero normal number, and the terms those general
// products add with a zero entry of a rotation are signed zeros that change
// no sum (an exact cancellation gives +0 either way). Only the other terms
// are computed then, in the same order; otherwise the general products.
inline CMatrix RotationZYX(double cx, double sx, double cy, double sy, double cz, double sz)
{
    constexpr double kSmallest = 0x1p-300;
    const auto fit = [](double v) { return std::fabs(v) >= kSmallest && std::fabs(v) <= 1.0; };
    if (!(fit(cx) && fit(sx) && fit(cy) && fit(sy) && fit(cz) && fit(sz))) {
        CMatrix m = CMatrix::Identity();
        PreRotateX(m, cx, sx);
        PreRotateY(m, cy, sy);
        PreRotateZ(m, cz, sz);
        return m;
    }
    // Ry * Rx: (cy, sy*sx, sy*cx; 0, cx, -sx; -sy, cy*sx, cy*cx).
    const double sysx = sy * sx, sycx = sy * cx;
    return CMatrix(cz * cy, cz * sysx + (-sz) * cx, cz * sycx + (-sz) * (-sx), sz * cy, sz * sysx + cz * cx,
                   sz * sycx + cz * (-sx), -sy, cy * sx, cy * cx);
}
inline void PreRotateX(CMatrix &m, double a)
{
    m = RotationX(a) * m;
}
inline void PreRotateY(CMatrix &m, double a)
{
    m = RotationY(a) * m;
}
inline void PreRotateZ(CMatrix &m, double a)
{
    m = RotationZ(a) * m;
}
