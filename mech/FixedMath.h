#pragma once

#include <cmath>

// A logarithm and a sine and cosine computed by fixed polynomials from
// additions, multiplications and divisions alone. The C library picks its
// own variant of log, sin and cos by processor (with or without fused
// multiply-add), so their last bits may differ between machines; these give
// the same bits on every machine for the same build, which the viscous
// mechanics needs for its noise. Both are accurate to a few units in the
// last place.

// ln x for a finite x > 0: x = m 2^e with m in [sqrt(1/2), sqrt(2)), and
// ln m = 2 atanh(s), s = (m - 1)/(m + 1), |s| <= 0.1716, by its series to
// s^23 (the next term is below 2^-56 of the sum).
inline double FixedLog(double x)
{
    int exponent = 0;
    double m = std::frexp(x, &exponent); // exact
    constexpr double kSqrtHalf = 0.70710678118654752440;
    if (m < kSqrtHalf) {
        m *= 2.0;
        --exponent;
    }
    const double s = (m - 1.0) / (m + 1.0);
    const double s2 = s * s;
    // 1/1, 1/3, ..., 1/23, rounded once each.
    constexpr double kOddReciprocals[] = {1.0,      1.0 / 3,  1.0 / 5,  1.0 / 7,  1.0 / 9,  1.0 / 11,
                                          1.0 / 13, 1.0 / 15, 1.0 / 17, 1.0 / 19, 1.0 / 21, 1.0 / 23};
    double series = kOddReciprocals[11];
    for (int k = 10; k >= 0; --k)
        series = kOddReciprocals[k] + s2 * series;
    constexpr double kLn2 = 0.69314718055994530942;
    return exponent * kLn2 + 2.0 * s * series;
}

// sin and cos of 2 pi t, t in turns. t is split exactly into a quarter turn
// q/4 and a rest r in [-1/8, 1/8] (t - q/4 has no rounding error), and the
// rest's angle, at most pi/4, goes through Taylor series to x^17 and x^18
// (the next terms are below 2^-55 of the result).
inline void FixedSinCosTurns(double t, double &sine, double &cosine)
{
    const double quarters = std::nearbyint(4.0 * t);
    const double x = 6.28318530717958647692 * (t - 0.25 * quarters);
    const double x2 = x * x;
    // Horner from the highest term: sin x = x (1 - x^2/(2.3) (1 - x^2/(4.5) (...)))
    // and cos x = 1 - x^2/(1.2) (1 - x^2/(3.4) (...)).
    constexpr double kSinFactors[] = {1.0 / (2 * 3),   1.0 / (4 * 5),   1.0 / (6 * 7),   1.0 / (8 * 9),
                                      1.0 / (10 * 11), 1.0 / (12 * 13), 1.0 / (14 * 15), 1.0 / (16 * 17)};
    constexpr double kCosFactors[] = {1.0 / (1 * 2),   1.0 / (3 * 4),   1.0 / (5 * 6),
                                      1.0 / (7 * 8),   1.0 / (9 * 10),  1.0 / (11 * 12),
                                      1.0 / (13 * 14), 1.0 / (15 * 16), 1.0 / (17 * 18)};
    double s = 1.0;
    for (int k = 7; k >= 0; --k)
        s = 1.0 - x2 * kSinFactors[k] * s;
    s *= x;
    double c = 1.0;
    for (int k = 8; k >= 0; --k)
        c = 1.0 - x2 * kCosFactors[k] * c;
    const long quadrant = static_cast<long>(quarters) & 3;
    switch (quadrant) {
    case 0:
        sine = s;
        cosine = c;
        break;
    case 1:
        sine = c;
        cosine = -s;
        break;
    case 2:
        sine = -s;
        cosine = -c;
        break;
    default:
        sine = -c;
        cosine = s;
        break;
    }
}
