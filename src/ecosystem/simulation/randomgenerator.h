#pragma once

#include <cstdint>

namespace ecosystem {

// A multiplicative congruential generator with a 64-bit state: every draw multiplies the state by
// 69069 and keeps it modulo 2^33. The simulation depends on this exact sequence for
// reproducibility, so it must never be swapped for a library generator.
class RandomGenerator {
public:
    static constexpr std::uint64_t Multiplier = 69069;
    static constexpr std::uint64_t StateModulus = std::uint64_t{1} << 33;

    constexpr RandomGenerator() = default;
    constexpr explicit RandomGenerator(std::uint64_t state) : state_(state) {}

    // Advances the state and returns its low 32 bits modulo bound, a value in [0, bound).
    // Callers skip the draw when the bound would be 0; should one slip through, the state stays
    // put and 0 comes back instead of a division by zero.
    constexpr std::uint32_t next(std::uint32_t bound)
    {
        if (bound == 0)
            return 0;
        state_ = (state_ * Multiplier) % StateModulus; // the product wraps modulo 2^64 first
        return static_cast<std::uint32_t>(state_ & 0xFFFFFFFFu) % bound;
    }

    // The draw next(bound) would give, advancing the state only when advance is true: lets a
    // caller choose whether to draw without a branch. The bound must not be 0.
    constexpr std::uint32_t nextIf(bool advance, std::uint32_t bound)
    {
        const std::uint64_t advanced = (state_ * Multiplier) % StateModulus;
        const std::uint64_t keep = static_cast<std::uint64_t>(advance) - 1u; // all ones when not advancing
        state_ = (advanced & ~keep) | (state_ & keep);
        return static_cast<std::uint32_t>(advanced & 0xFFFFFFFFu) % bound;
    }

    constexpr std::uint64_t state() const { return state_; }
    constexpr void setState(std::uint64_t state) { state_ = state; }

    constexpr bool operator==(const RandomGenerator &) const = default;

private:
    std::uint64_t state_ = 0;
};

} // namespace ecosystem
