#include "Lib3d.h"

#include "Random.h"

CVector RandomUniformVector()
{
    // Separate statements keep the order of the draws fixed.
    const double x = UniformReal();
    const double y = UniformReal();
    const double z = UniformReal();
    return CVector(x, y, z);
}

CVector RandomUnitVector()
{
    double u, v, s;
    do {
        u = 2.0 * UniformReal() - 1.0;
        v = 2.0 * UniformReal() - 1.0;
        s = u * u + v * v;
    } while (s >= 1.0 || s == 0.0);
    const double root = std::sqrt(1.0 - s);
    return CVector(2.0 * u * root, 2.0 * v * root, 1.0 - 2.0 * s);
}

namespace {

// Overwrites the row (a0, a1, a2) with the row times b; the row is copied
// first, so a matrix can be multiplied in place row by row.
void MultiplyRow(double &a0, double &a1, double &a2, const CMatrix &b)
{
    const double r0 = a0, r1 = a1, r2 = a2;
    a0 = r0 * b.m00 + r1 * b.m10 + r2 * b.m20;
    a1 = r0 * b.m01 + r1 * b.m11 + r2 * b.m21;
    a2 = r0 * b.m02 + r1 * b.m12 + r2 * b.m22;
}

} // namespace

CMatrix &CMatrix::operator*=(const CMatrix &b)
{
    const CMatrix rhs = b; // b may be this matrix itself
    MultiplyRow(m00, m01, m02, rhs);
    MultiplyRow(m10, m11, m12, rhs);
    MultiplyRow(m20, m21, m22, rhs);
    return *this;
}

CMatrix &CMatrix::operator+=(const CMatrix &b)
{
    m00 += b.m00, m01 += b.m01, m02 += b.m02;
    m10 += b.m10, m11 += b.m11, m12 += b.m12;
    m20 += b.m20, m21 += b.m21, m22 += b.m22;
    return *this;
}

CMatrix &CMatrix::operator*=(double s)
{
    m00 *= s, m01 *= s, m02 *= s;
    m10 *= s, m11 *= s, m12 *= s;
    m20 *= s, m21 *= s, m22 *= s;
    return *this;
}

CMatrix &CMatrix::operator/=(double s)
{
    m00 /= s, m01 /= s, m02 /= s;
    m10 /= s, m11 /= s, m12 /= s;
    m20 /= s, m21 /= s, m22 /= s;
    return *this;
}

CMatrix operator*(const CMatrix &a, const CMatrix &b)
{
    CMatrix product = a;
    return product *= b;
}

CMatrix operator+(const CMatrix &a, const CMatrix &b)
{
    CMatrix sum = a;
    return sum += b;
}

CMatrix operator*(const CMatrix &a, double s)
{
    CMatrix scaled = a;
    return scaled *= s;
}

double Determinant(const CMatrix &m)
{
    return m.m00 * (m.m11 * m.m22 - m.m21 * m.m12) - m.m01 * (m.m10 * m.m22 - m.m20 * m.m12) +
           m.m02 * (m.m10 * m.m21 - m.m11 * m.m20);
}

CMatrix Inverse(const CMatrix &m)
{
    const double det = Determinant(m);
    return CMatrix((m.m11 * m.m22 - m.m12 * m.m21) / det, (m.m12 * m.m20 - m.m10 * m.m22) / det,
                   (m.m10 * m.m21 - m.m11 * m.m20) / det, (m.m21 * m.m02 - m.m01 * m.m22) / det,
                   (m.m00 * m.m22 - m.m02 * m.m20) / det, (m.m01 * m.m20 - m.m00 * m.m21) / det,
                   (m.m01 * m.m12 - m.m02 * m.m11) / det, (m.m02 * m.m10 - m.m00 * m.m12) / det,
                   (m.m00 * m.m11 - m.m01 * m.m10) / det);
}

CMatrix RotationX(double a)
{
    const double c = std::cos(a), s = std::sin(a);
    return CMatrix(1, 0, 0, 0, c, -s, 0, s, c);
}

CMatrix RotationY(double a)
{
    const double c = std::cos(a), s = std::sin(a);
    return CMatrix(c, 0, s, 0, 1, 0, -s, 0, c);
}

CMatrix RotationZ(double a)
{
    const double c = std::cos(a), s = std::sin(a);
    return CMatrix(c, -s, 0, s, c, 0, 0, 0, 1);
}

void PreRotateX(CMatrix &m, double a)
{
    m = RotationX(a) * m;
}

void PreRotateY(CMatrix &m, double a)
{
    m = RotationY(a) * m;
}

void PreRotateZ(CMatrix &m, double a)
{
    m = RotationZ(a) * m;
}
