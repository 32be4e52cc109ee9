#include "BrownianNoise.h"

#include "FixedMath.h"

#include <cmath>

std::array<double, 6> BodyNormals(std::uint32_t key, std::uint64_t step, std::uint32_t id)
{
    std::array<double, 6> normals;
    for (std::uint32_t draw = 0; draw < 3; ++draw) {
        // u in (0, 1]: the logarithm stays finite.
        const auto [u, v] = CounterUniforms(CounterStreamTag::MechanicsNoise, key, CounterOf(step, id, draw));
        const double radius = std::sqrt(-2.0 * FixedLog(u));
        double sine = 0.0, cosine = 0.0;
        FixedSinCosTurns(v, sine, cosine);
        normals[2 * draw] = radius * cosine;
        normals[2 * draw + 1] = radius * sine;
    }
    return normals;
}
