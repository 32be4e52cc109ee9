#pragma once

#include <cstdint>
#include <optional>

// The seeds of filonex-batch. The generators keep the low 31 bits of a seed,
// and of those 0 and 2^31 - 1 start the same stream (both are 0 modulo
// 2^31 - 1), so 0 to 2^31 - 2 are exactly the seeds that give distinct runs.
constexpr std::uint32_t kLargestSeed = 2147483646;

// A seed drawn from the clock, brought into that range.
std::uint32_t SeedInRange(std::int32_t drawn);

// Seeds the random numbers with seed, or with one drawn from the clock;
// returns the seed used, which repeats the run when given back.
std::uint32_t SeedTheRun(std::optional<std::uint32_t> seed);
