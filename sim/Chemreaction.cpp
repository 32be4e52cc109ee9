#include "Chemreaction.h"

#include "Random.h"

#include <utility>

void CChemReaction::SetOrder(std::int32_t volumeExponent, std::function<void()> handler)
{
    VolumeExponent = volumeExponent;
    Handler = std::move(handler);
}

void CChemReaction::SetRate(double rateConstant, double volumeInLitres)
{
    RateConstant = rateConstant;
    Volume = volumeInLitres;
    // AVOGADRO * 1e-6 * V molecules make 1 uM in V litres. The power is a
    // product in our own arithmetic (n is at most 2), so an absurd volume
    // overflows as a trapped fault rather than inside the math library.
    const double moleculesPerMicromolar = AVOGADRO * 1e-6 * Volume;
    StochasticRate = RateConstant / IntPower(moleculesPerMicromolar, VolumeExponent);
    Count = 0;
    Propensity = 0.0;
}

void CChemReaction::Fire()
{
    ++Count;
    if (Handler)
        Handler();
}
