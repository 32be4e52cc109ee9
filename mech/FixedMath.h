#pragma once

#include <bit>
#include <cmath>
#include <cstdint>

// A logarithm and a sine and cosine computed by fixed polynomials from
// additions, multiplications and divisions alone. The C library picks its
// own variant of log, sin and cos by processor (with or without fused
// multiply-add), so their last bits may differ between machines; these give
// the same bits on every machine for the same build, which the viscous
// mechanics needs for its noise. Both are accurate to a few units in the
// last place. They have no branches, only selects between computed values,
// so that a loop over many arguments vectorises.

namespace fixedmath {

// a if `pick`, else b, by a bit mask: the compiler cannot turn it back into
// a branch, which would keep a loop from vectorising where floating-point
// operations may trap. Both a and b are computed, whichever is picked.
inline double Select(bool pick, double a, double b)
{
    const std::uint64_t mask = -std::uint64_t(pick);
    return std::bit_cast<double>((std::bit_cast<std::uint64_t>(a) & mask) |
                                 (std::bit_cast<std::uint64_t>(b) & ~mask));
}

// n as a double, exactly, by integer operations alone (n under the
// exponent of 2^52), which vectorise where a conversion may not.
inline double SmallIntegerToDouble(std::uint64_t n)
{
    constexpr double kTwoTo52 = 0x1p52;
    return std::bit_cast<double>(std::bit_cast<std::uint64_t>(kTwoTo52) | n) - kTwoTo52;
}

// y rounded to the nearest integer, ties to even, as std::nearbyint in the
// default rounding mode: below 2^52, adding 2^52 leaves no fraction bits;
// from 2^52 on every double is an integer.
inline double RoundToInteger(double y)
{
    constexpr double kNoFraction = 0x1p52;
    const double size = std::fabs(y);
    const double rounded = std::copysign((size + kNoFraction) - kNoFraction, y);
    return Select(size < kNoFraction, rounded, y);
}

} // namespace fixedmath

// The polynomials are the minimax fits of the kernels of Sun's freely
// distributable fdlibm (1993), evaluated by Horner's rule in a fixed order:
// a few terms, so short chains of operations that many lanes run at once.

namespace fixedmath {

// ln x for a finite x > 0 whose exponent field, less `bias`, is its binary
// exponent (1022 for a normal x): x = m 2^e with m in [sqrt(1/2), sqrt(2)),
// and ln m = 2 atanh(s) = 2s + s R(s^2), s = (m - 1)/(m + 1), |s| <= 0.1716,
// R of degree 7 (its error is below 2^-58).
inline double LogWithBias(double x, double bias)
{
    // m in [1/2, 1) and e from the bits, exactly.
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(x);
    constexpr std::uint64_t kFractionBits = 0x000fffffffffffffull;
    constexpr std::uint64_t kHalfExponent = 0x3fe0000000000000ull;
    double m = std::bit_cast<double>((bits & kFractionBits) | kHalfExponent);
    double exponent = SmallIntegerToDouble(bits >> 52) - bias;
    constexpr double kSqrtHalf = 0.70710678118654752440;
    const bool low = m < kSqrtHalf;
    m += Select(low, m, 0.0);
    exponent -= Select(low, 1.0, 0.0);
    const double s = (m - 1.0) / (m + 1.0);
    const double z = s * s;
    constexpr double kR[] = {6.666666666666735130e-01, 3.999999999940941908e-01, 2.857142874366239149e-01,
                             2.222219843214978396e-01, 1.818357216161805012e-01, 1.531383769920937332e-01,
                             1.479819860511658591e-01};
    double r = kR[6];
    for (int k = 5; k >= 0; --k)
        r = kR[k] + z * r;
    constexpr double kLn2 = 0.69314718055994530942;
    return exponent * kLn2 + ((s + s) + s * (z * r));
}

} // namespace fixedmath

// ln x for a finite x > 0. A subnormal x is scaled into the normal range
// first, exactly.
inline double FixedLog(double x)
{
    const bool subnormal = x < 0x1p-1022;
    return fixedmath::LogWithBias(x * fixedmath::Select(subnormal, 0x1p54, 1.0),
                                  fixedmath::Select(subnormal, 1022.0 + 54.0, 1022.0));
}

// FixedLog of a normal x (at least 2^-1022), the same bits with less work.
inline double FixedLogOfNormal(double x)
{
    return fixedmath::LogWithBias(x, 1022.0);
}

namespace fixedmath {

// sin x and cos x for |x| <= pi/4: sin x = x + x^3 S(x^2) and
// cos x = 1 - x^2/2 + x^4 C(x^2), S and C of degree 5 (errors below 2^-58).
inline void SinCosOfSmallAngle(double x, double &sine, double &cosine)
{
    const double z = x * x;
    constexpr double kS[] = {-1.66666666666666324348e-01, 8.33333333332248946124e-03,
                             -1.98412698298579493134e-04, 2.75573137070700676789e-06,
                             -2.50507602534068634195e-08, 1.58969099521155010221e-10};
    constexpr double kC[] = {4.16666666666666019037e-02, -1.38888888888741095749e-03,
                             2.48015872894767294178e-05, -2.75573143513906633035e-07,
                             2.08757232129817482790e-09, -1.13596475577881948265e-11};
    double sinePolynomial = kS[5], cosinePolynomial = kC[5];
    for (int k = 4; k >= 0; --k) {
        sinePolynomial = kS[k] + z * sinePolynomial;
        cosinePolynomial = kC[k] + z * cosinePolynomial;
    }
    sine = x + x * (z * sinePolynomial);
    cosine = 1.0 - 0.5 * z + (z * z) * cosinePolynomial;
}

constexpr double kTwoPi = 6.28318530717958647692;

} // namespace fixedmath

// sin and cos of 2 pi t, t in turns. t is split exactly into a quarter turn
// q/4 and a rest r in [-1/8, 1/8] (t - q/4 has no rounding error), whose
// angle is at most pi/4.
inline void FixedSinCosTurns(double t, double &sine, double &cosine)
{
    const double quarters = fixedmath::RoundToInteger(4.0 * t);
    double s = 0.0, c = 0.0;
    fixedmath::SinCosOfSmallAngle(fixedmath::kTwoPi * (t - 0.25 * quarters), s, c);
    // The quadrant q mod 4 as -2, -1, 0, 1 or 2: quadrant 0 is (s, c), 1 is
    // (c, -s), 2 is (-s, -c) and 3 (here -1) is (-c, s).
    const double quadrant = quarters - 4.0 * fixedmath::RoundToInteger(0.25 * quarters);
    const bool swap = std::fabs(quadrant) == 1.0;
    const double first = fixedmath::Select(swap, c, s), second = fixedmath::Select(swap, s, c);
    sine = fixedmath::Select((quadrant < 0.0) | (quadrant == 2.0), -first, first);
    cosine = fixedmath::Select((quadrant >= 1.0) | (quadrant == -2.0), -second, second);
}

// FixedSinCosTurns for t in [0, 1], the same bits with less work: 4t + 2^52
// holds the quarter turn q, rounded as there, in its lowest bits, so the
// quadrant q mod 4 is read off them and its signs are set by bit operations.
inline void FixedSinCosOfUnitTurns(double t, double &sine, double &cosine)
{
    constexpr double kTwoTo52 = 0x1p52;
    const double shifted = 4.0 * t + kTwoTo52;
    const double quarters = shifted - kTwoTo52;
    double s = 0.0, c = 0.0;
    fixedmath::SinCosOfSmallAngle(fixedmath::kTwoPi * (t - 0.25 * quarters), s, c);
    const std::uint64_t quadrant = std::bit_cast<std::uint64_t>(shifted) & 3;
    const bool swap = (quadrant & 1) != 0;
    const double first = fixedmath::Select(swap, c, s), second = fixedmath::Select(swap, s, c);
    // The sign is negated in quadrants 2 and 3 for the sine, 1 and 2 for
    // the cosine.
    sine = std::bit_cast<double>(std::bit_cast<std::uint64_t>(first) ^ ((quadrant & 2) << 62));
    cosine = std::bit_cast<double>(std::bit_cast<std::uint64_t>(second) ^ (((quadrant + 1) & 2) << 62));
}
