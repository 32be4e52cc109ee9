#include "Studentt.h"

#include <cmath>
#include <initializer_list>

namespace {

// The continued fraction of the incomplete beta function, evaluated by
// Lentz's method; converges fast for x < (a + 1) / (a + b + 2).
double BetaFraction(double a, double b, double x)
{
    constexpr double kTiny = 1e-300;
    constexpr double kEpsilon = 1e-16;
    double c = 1;
    double d = 1 - (a + b) * x / (a + 1);
    d = 1 / (std::fabs(d) < kTiny ? kTiny : d);
    double result = d;
    for (int m = 1; m <= 1000; ++m) {
        for (const double term : {m * (b - m) * x / ((a + 2 * m - 1) * (a + 2 * m)),
                                  -(a + m) * (a + b + m) * x / ((a + 2 * m) * (a + 2 * m + 1))}) {
            d = 1 + term * d;
            d = 1 / (std::fabs(d) < kTiny ? kTiny : d);
            c = 1 + term / c;
            c = std::fabs(c) < kTiny ? kTiny : c;
            result *= c * d;
        }
        if (std::fabs(c * d - 1) < kEpsilon)
            break;
    }
    return result;
}

// The regularised incomplete beta function I_x(a, b).
double IncompleteBeta(double a, double b, double x)
{
    if (x <= 0)
        return 0;
    if (x >= 1)
        return 1;
    const double front =
        std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) + a * std::log(x) + b * std::log1p(-x));
    if (x < (a + 1) / (a + b + 2))
        return front * BetaFraction(a, b, x) / a;
    return 1 - front * BetaFraction(b, a, 1 - x) / b;
}

// P(T > t) for t >= 0.
double UpperTail(double t, double df)
{
    return 0.5 * IncompleteBeta(df / 2, 0.5, df / (df + t * t));
}

} // namespace

double StudentTQuantile(double p, double df)
{
    if (p < 0.5)
        return -StudentTQuantile(1 - p, df);
    // The upper tail falls with t: bisect until the interval stops shrinking.
    double low = 0, high = 1;
    while (UpperTail(high, df) > 1 - p)
        high *= 2;
    for (double middle = (low + high) / 2; low < middle && middle < high; middle = (low + high) / 2)
        (UpperTail(middle, df) > 1 - p ? low : high) = middle;
    return (low + high) / 2;
}
