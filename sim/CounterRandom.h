#pragma once

#include "Random.h"

#include <array>
#include <cstdint>

// Counter-based draws (Philox4x32-10): each block of random bits is a pure
// function of a key and a counter, so a draw does not depend on which draws
// came before it, on the thread that makes it or on the order of the bodies.
// Models and methods that need draws in no fixed order take them from here;
// the specified chemistry and mechanics keep CRandomStream.

// Which user a block belongs to; part of the key, so the users never share a
// block.
enum class CounterStreamTag : std::uint32_t {
    MechanicsNoise = 0x4e6f6973, // "Nois"
    TauLeap = 0x5461754c,        // "TauL"
};

using CounterWords = std::array<std::uint32_t, 4>;

// The key of a world's counter-based draws, read off the state of its random
// stream without drawing from it.
std::uint32_t CounterKeyOf(const RandomState &state);

// The block for (tag, key, counter): four independent uniform 32-bit words.
CounterWords CounterBlock(CounterStreamTag tag, std::uint32_t key, const CounterWords &counter);

// Two uniform doubles in (0, 1] built from 53 bits each, never 0, so that
// a logarithm of them is finite.
std::array<double, 2> CounterUniforms(CounterStreamTag tag, std::uint32_t key, const CounterWords &counter);

// Splits a 64-bit count (a step or leap number) over two counter words.
inline CounterWords CounterOf(std::uint64_t count, std::uint32_t third, std::uint32_t fourth)
{
    return {std::uint32_t(count), std::uint32_t(count >> 32), third, fourth};
}
