#include "BrownianNoise.h"
#include "FixedMath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

// A body's normal numbers depend on its id alone, not on the bodies that
// share its batch or on its place there; and they are the Box-Muller pairs
// of its own uniforms, computed one at a time (so the vectors change no
// bit).
TEST(BrownianNoise, ABodysNumbersAreItsOwnInAnyBatch)
{
    std::array<std::uint32_t, kNoiseBatch> ids, shuffled;
    for (std::size_t i = 0; i < kNoiseBatch; ++i)
        ids[i] = std::uint32_t(1000 + 7 * i);
    shuffled = ids;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(3));
    BatchNormals normals, others;
    DrawBatchNormals(99, 12345, ids, normals);
    DrawBatchNormals(99, 12345, shuffled, others);
    for (std::size_t i = 0; i < kNoiseBatch; ++i) {
        const std::size_t j =
            std::size_t(std::find(shuffled.begin(), shuffled.end(), ids[i]) - shuffled.begin());
        const std::array<double, 6> alone = BodyNormals(99, 12345, ids[i]);
        for (std::uint32_t draw = 0; draw < 3; ++draw) {
            const auto [u, v] =
                CounterUniforms(CounterStreamTag::MechanicsNoise, 99, CounterOf(12345, ids[i], draw));
            double sine = 0.0, cosine = 0.0;
            FixedSinCosTurns(v, sine, cosine);
            const double radius = std::sqrt(-2.0 * FixedLog(u));
            EXPECT_EQ(normals[2 * draw][i], radius * cosine) << i;
            EXPECT_EQ(normals[2 * draw + 1][i], radius * sine) << i;
        }
        for (std::size_t k = 0; k < 6; ++k) {
            EXPECT_EQ(others[k][j], normals[k][i]) << i;
            EXPECT_EQ(alone[k], normals[k][i]) << i;
        }
    }
}
