#pragma once

#include "Random.h"

#include <cstdint>
#include <optional>

// The seeds of filonex-batch: those that give distinct runs.
constexpr std::uint32_t kLargestSeed = LARGEST_DISTINCT_SEED;

// A seed drawn from the clock, brought into that range.
std::uint32_t SeedInRange(std::int32_t drawn);

// Seeds the world's random stream with seed, or with one drawn from the clock;
// returns the seed used, which repeats the run when given back.
std::uint32_t SeedTheRun(CRandomStream &random, std::optional<std::uint32_t> seed);
