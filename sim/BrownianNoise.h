#pragma once

#include "CounterRandom.h"

#include <array>
#include <cstdint>

// The thermal noise of one body in one mechanics step: standard normal
// numbers that depend only on the world's key, the step number and the
// body's id, so that no body's noise depends on another's, on the list order
// or on the thread that draws it.

// Six standard normal numbers for body `id` in step `step`: three pairs by
// the Box-Muller transform of the uniforms of draws 0, 1 and 2 (counter
// words: step, id, draw), with the fixed logarithm, sine and cosine of
// FixedMath.h, so the same on every machine.
std::array<double, 6> BodyNormals(std::uint32_t key, std::uint64_t step, std::uint32_t id);
