#pragma once

#include <cmath>

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
    constexpr CMatrix(double m00, double m01, double m02, double m10, double m11, double m12,
                      double m20, double m21, double m22)
        : m00(m00), m01(m01), m02(m02), m10(m10), m11(m11), m12(m12), m20(m20), m21(m21), m22(m22)
    {
    }
    static constexpr CMatrix Identity() { return CMatrix(1, 0, 0, 0, 1, 0, 0, 0, 1); }

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

// Three successive UniformReal draws: x, then y, then z.
CVector RandomUniformVector();
// A uniformly distributed direction (Marsaglia's method; two draws per
// attempt, u before v).
CVector RandomUnitVector();

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

CMatrix operator*(const CMatrix &a, const CMatrix &b);
CMatrix operator+(const CMatrix &a, const CMatrix &b);
CMatrix operator*(const CMatrix &a, double s);

double Determinant(const CMatrix &m);
// Cofactors divided by the determinant, not transposed: the inverse for the
// symmetric matrices (inertia tensors) it is used on, the transpose of the
// inverse otherwise. A singular matrix is a floating-point fault.
CMatrix Inverse(const CMatrix &m);

// Rotations by angle a [rad] about the fixed axes.
CMatrix RotationX(double a);
CMatrix RotationY(double a);
CMatrix RotationZ(double a);
// m := Rotation?(a) * m.
void PreRotateX(CMatrix &m, double a);
void PreRotateY(CMatrix &m, double a);
void PreRotateZ(CMatrix &m, double a);
