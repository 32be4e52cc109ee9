#pragma once

#include <cstdint>
#include <functional>

// Poisson-distributed counts by named algorithms, so that a run's counts do
// not depend on the standard library's choice and need no hidden state:
// inversion by sequential search below a mean of 10, and PTRS, the
// transformed rejection of Hoermann (1993), from 10 on.

// Where the uniform draws come from; each call gives a double in (0, 1].
using UniformDraw = std::function<double()>;

// The smallest mean drawn by PTRS; smaller means are drawn by inversion.
inline constexpr double PTRS_SMALLEST_MEAN = 10.0;

// A count with the given mean (at least 0; 0 gives 0 without a draw).
std::int64_t PoissonCount(double mean, const UniformDraw &uniform);

// ln(k!), for k >= 0; exact table below 10, Stirling's series above.
double LogFactorial(std::int64_t k);
