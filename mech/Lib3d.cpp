#include "Lib3d.h"

CMatrix &CMatrix::operator*=(const CMatrix &b)
{
    return *this = *this * b;
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
