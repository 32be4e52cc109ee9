#pragma once

#include "CounterRandom.h"

#include <array>
#include <cstddef>
#include <cstdint>

// The thermal noise of the bodies in one mechanics step: standard normal
// numbers that depend only on the world's key, the step number and the
// body's id, so that no body's noise depends on another's, on the list order
// or on the thread that draws it.

// Bodies whose noise is drawn together: enough to fill the widest vectors,
// few enough for the first-level cache.
inline constexpr std::size_t kNoiseBatch = kCounterLanes;

// normals[k][i] is the k-th normal number of the i-th body of a batch.
using BatchNormals = std::array<std::array<double, kNoiseBatch>, 6>;

// Six standard normal numbers for each body of `ids` in step `step`: three
// pairs by the Box-Muller transform of the uniforms of draws 0, 1 and 2
// (counter words: step, id, draw), with the fixed logarithm, sine and cosine
// of FixedMath.h, so the same on every machine, and the same whichever other
// bodies share the batch.
void DrawBatchNormals(std::uint32_t key, std::uint64_t step,
                      const std::array<std::uint32_t, kNoiseBatch> &ids, BatchNormals &normals);

// The six normal numbers of one body.
std::array<double, 6> BodyNormals(std::uint32_t key, std::uint64_t step, std::uint32_t id);
