#include "Poisson.h"

#include <array>
#include <cmath>

namespace {

// Sequential search of the cumulative law from 0: one uniform per count.
std::int64_t CountByInversion(double mean, const UniformDraw &uniform)
{
    const double u = uniform();
    double p = std::exp(-mean);
    double cumulative = p;
    std::int64_t k = 0;
    // A uniform above the rounded total would search for ever: the terms
    // have become 0 by then.
    while (u > cumulative && p > 0.0) {
        ++k;
        p *= mean / double(k);
        cumulative += p;
    }
    return k;
}

// PTRS (Hoermann 1993, Table 1) with its constants.
std::int64_t CountByTransformedRejection(double mean, const UniformDraw &uniform)
{
    const double rootMean = std::sqrt(mean);
    const double logMean = std::log(mean);
    const double b = 0.931 + 2.53 * rootMean;
    const double a = -0.059 + 0.02483 * b;
    const double inverseAlpha = 1.1239 + 1.1328 / (b - 3.4);
    const double vr = 0.9277 - 3.6224 / (b - 2.0);
    for (;;) {
        const double u = uniform() - 0.5;
        const double v = uniform();
        const double us = 0.5 - std::fabs(u);
        // us = 0 (u drawn as 1) lies on the hat's pole: no candidate there.
        if (us <= 0.0)
            continue;
        const double k = std::floor((2.0 * a / us + b) * u + mean + 0.43);
        if (us >= 0.07 && v <= vr)
            return std::int64_t(k);
        if (k < 0.0 || (us < 0.013 && v > us))
            continue;
        // Candidates far in the tail are refused by the test below anyway;
        // this keeps the conversion of k in range.
        if (k > mean + 64.0 * rootMean + 64.0)
            continue;
        const double logHat = std::log(v * inverseAlpha / (a / (us * us) + b));
        if (logHat <= -mean + k * logMean - LogFactorial(std::int64_t(k)))
            return std::int64_t(k);
    }
}

} // namespace

std::int64_t PoissonCount(double mean, const UniformDraw &uniform)
{
    if (!(mean > 0.0))
        return 0;
    return mean < PTRS_SMALLEST_MEAN ? CountByInversion(mean, uniform)
                                     : CountByTransformedRejection(mean, uniform);
}

double LogFactorial(std::int64_t k)
{
    static constexpr std::array<double, 10> kSmall = {0.0,
                                                      0.0,
                                                      0.69314718055994531,
                                                      1.7917594692280550,
                                                      3.1780538303479458,
                                                      4.7874917427820460,
                                                      6.5792512120101010,
                                                      8.5251613610654143,
                                                      10.604602902745251,
                                                      12.801827480081469};
    if (k < std::int64_t(kSmall.size()))
        return kSmall[std::size_t(k)];
    // Stirling's series for ln Gamma(n) at n = k + 1, to the term in n^-7;
    // its error at n = 11 is below 1e-12.
    const double n = double(k) + 1.0;
    const double inverse = 1.0 / n;
    const double inverseSquared = inverse * inverse;
    constexpr double kHalfLogTwoPi = 0.91893853320467274;
    return (n - 0.5) * std::log(n) - n + kHalfLogTwoPi +
           inverse *
               (1.0 / 12.0 -
                inverseSquared * (1.0 / 360.0 - inverseSquared * (1.0 / 1260.0 - inverseSquared / 1680.0)));
}
