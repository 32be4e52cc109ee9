#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Molecules per mole. Also converts concentrations into molecule numbers.
constexpr double AVOGADRO = 6.0221415e23;

// One reaction channel: turns the macroscopic rate constant k of a reaction
// with n + 1 reactant molecules in a volume V into the stochastic rate
// constant c = k / (AVOGADRO * 1e-6 * V)^n, keeps the channel's propensity
// c * h for the current combinatorial factor h, and counts its occurrences.
struct CChemReaction {
    // Row and curve title of the channel ("FORM", "ASSB", ...).
    std::string Name;
    // Macroscopic rate constant k, in uM^-n s^-1.
    double RateConstant = 0.0;
    // Reaction volume, in litres.
    double Volume = 0.0;
    // n: the number of reactant molecules minus one.
    std::int32_t VolumeExponent = 0;
    // Performs one occurrence; may be empty.
    std::function<void()> Handler;
    // Occurrences since the last SetRate.
    std::int64_t Count = 0;
    // c, in s^-1 per reactant combination.
    double StochasticRate = 0.0;
    // a = c * h, in s^-1.
    double Propensity = 0.0;

    void SetOrder(std::int32_t volumeExponent, std::function<void()> handler);
    // Stores k and the volume (litres), computes StochasticRate and restarts
    // Count and Propensity at 0. A zero volume with n >= 1 divides by zero.
    void SetRate(double rateConstant, double volumeInLitres);
    // Inline: the cell sets all nine channels before every reaction.
    void SetPropensityFactor(double factor) { Propensity = StochasticRate * factor; }
    // Counts one occurrence, then performs it.
    void Fire();
};
