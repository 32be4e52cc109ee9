#include "BrownianNoise.h"

#include "FixedMath.h"
#include "VectorClones.h"

#include <cmath>

namespace {

// The block words of one draw of every body: words[w][i] is word w of body i.
using DrawWords = CounterColumns;

// The Box-Muller pair of the two uniforms of a block's words.
[[gnu::always_inline]] inline void NormalPair(const DrawWords &words, std::size_t i, double &first,
                                              double &second)
{
    // u in [2^-53, 1]: the logarithm stays finite, its argument normal.
    const double u = UniformFromWords(words[0][i], words[1][i]);
    const double v = UniformFromWords(words[2][i], words[3][i]);
    const double logarithm = FixedLogOfNormal(u);
    const double radius = std::sqrt(-(logarithm + logarithm));
    double sine = 0.0, cosine = 0.0;
    FixedSinCosOfUnitTurns(v, sine, cosine);
    first = radius * cosine;
    second = radius * sine;
}

// Each pair is a long chain of dependent operations: the loop is unrolled
// whole, so that the processor has the chains of many vectors of bodies at
// hand at once.
FILONEX_VECTOR_CLONES void NormalsFromBlocks(const DrawBlocks &words, BatchNormals &normals)
{
    for (std::size_t draw = 0; draw < kCounterDraws; ++draw) {
#pragma GCC unroll 16
        for (std::size_t i = 0; i < kNoiseBatch; ++i)
            NormalPair(words[draw], i, normals[2 * draw][i], normals[2 * draw + 1][i]);
    }
}

} // namespace

void DrawBatchNormals(std::uint32_t key, std::uint64_t step,
                      const std::array<std::uint32_t, kNoiseBatch> &ids, BatchNormals &normals)
{
    // Counter words: step, id, draw. The step's words are the same in every
    // lane.
    const CounterWords stepWords = CounterOf(step, 0, 0);
    CounterColumns counters;
    counters[0].fill(stepWords[0]);
    counters[1].fill(stepWords[1]);
    counters[2] = ids;
    DrawBlocks words;
    CounterBlocksOfDraws(CounterStreamTag::MechanicsNoise, key, counters, words);
    NormalsFromBlocks(words, normals);
}

std::array<double, 6> BodyNormals(std::uint32_t key, std::uint64_t step, std::uint32_t id)
{
    std::array<std::uint32_t, kNoiseBatch> ids;
    ids.fill(id);
    BatchNormals normals;
    DrawBatchNormals(key, step, ids, normals);
    std::array<double, 6> one;
    for (std::size_t k = 0; k < one.size(); ++k)
        one[k] = normals[k][0];
    return one;
}
