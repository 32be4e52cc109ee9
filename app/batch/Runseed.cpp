#include "Runseed.h"

#include "Random.h"

std::uint32_t SeedInRange(std::int32_t drawn)
{
    return static_cast<std::uint32_t>(drawn) % (kLargestSeed + 1);
}

std::uint32_t SeedTheRun(CRandomStream &random, std::optional<std::uint32_t> seed)
{
    const std::uint32_t used = seed ? *seed : SeedInRange(FreshSeed());
    random.SeedWith(used);
    return used;
}
