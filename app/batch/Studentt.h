#pragma once

// The p-quantile of Student's t distribution with df degrees of freedom
// (df > 0, 0 < p < 1): the t with P(T <= t) = p.
double StudentTQuantile(double p, double df);
