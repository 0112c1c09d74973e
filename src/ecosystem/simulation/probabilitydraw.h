#pragma once

#include <cstdint>

namespace ecosystem {

// A random probability is one of ProbabilityDraws equally likely draws d, taken as the single
// precision quotient d / 100000; an event of probability p happens when p > that quotient.
constexpr std::uint32_t ProbabilityDraws = 100000;
constexpr float ProbabilityDivisor = 100000.0f;

inline float drawnProbability(std::uint32_t draw)
{
    return static_cast<float>(draw) / ProbabilityDivisor;
}

// The first draw for which the condition holds, or ProbabilityDraws when none does. The condition
// must go on holding for every later draw once it holds for one.
template <typename Condition> std::uint32_t firstDrawWhere(Condition &&holds)
{
    std::uint32_t low = 0;
    std::uint32_t high = ProbabilityDraws;
    while (low < high) {
        const std::uint32_t middle = low + (high - low) / 2;
        if (holds(middle))
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

// The draws for which an event of the given probability happens are exactly those below the
// returned number: the quotient never decreases as the draw grows. Comparing a draw with it gives
// the same answer as comparing the probability with the quotient, without a division per draw.
inline std::uint32_t drawsBelow(float probability)
{
    return firstDrawWhere(
        [probability](std::uint32_t draw) { return !(probability > drawnProbability(draw)); });
}

} // namespace ecosystem
