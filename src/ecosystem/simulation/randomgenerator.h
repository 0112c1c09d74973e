#pragma once

#include <cstdint>

namespace ecosystem {

// A bound that many draws share, prepared so that the remainder takes two multiplications
// instead of a division (Lemire, Kaser and Kurz, "Faster remainder by direct computation"):
// exact for every 32-bit value and every bound from 1 up.
class DrawBound {
public:
    constexpr explicit DrawBound(std::uint32_t bound)
        : bound_(bound), inverse_(bound == 0 ? 0 : ~std::uint64_t{0} / bound + 1)
    {
    }

    constexpr std::uint32_t value() const { return bound_; }
    // value mod the bound; the bound must not be 0.
    constexpr std::uint32_t remainder(std::uint32_t value) const
    {
        const std::uint64_t fraction = inverse_ * value;
        __extension__ using Wide = unsigned __int128;
        return static_cast<std::uint32_t>((static_cast<Wide>(fraction) * bound_) >> 64);
    }

private:
    std::uint32_t bound_;
    std::uint64_t inverse_;
};

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
        state_ = successor();
        return low32(state_) % bound;
    }

    // The same as next(bound.value()).
    constexpr std::uint32_t next(const DrawBound &bound)
    {
        if (bound.value() == 0)
            return 0;
        state_ = successor();
        return bound.remainder(low32(state_));
    }

    // The draw next(bound) would give, advancing the state only when advance is true: lets a
    // caller choose whether to draw without a branch. The bound must not be 0.
    constexpr std::uint32_t nextIf(bool advance, std::uint32_t bound)
    {
        return low32(advanceIf(advance)) % bound;
    }
    // The same with a shared bound, which may be 0 here (the draw is then 0).
    constexpr std::uint32_t nextIf(bool advance, const DrawBound &bound)
    {
        return bound.remainder(low32(advanceIf(advance)));
    }

    constexpr std::uint64_t state() const { return state_; }
    constexpr void setState(std::uint64_t state) { state_ = state; }

    constexpr bool operator==(const RandomGenerator &) const = default;

private:
    // The state after this one; the product wraps modulo 2^64 first.
    constexpr std::uint64_t successor() const { return (state_ * Multiplier) % StateModulus; }
    static constexpr std::uint32_t low32(std::uint64_t state)
    {
        return static_cast<std::uint32_t>(state & 0xFFFFFFFFu);
    }
    // The next state, which becomes the state only when advance is true.
    constexpr std::uint64_t advanceIf(bool advance)
    {
        const std::uint64_t advanced = successor();
        // A mask rather than a select, which the compiler would turn back into a branch.
        const std::uint64_t keepNew = 0 - static_cast<std::uint64_t>(advance);
        state_ = (advanced & keepNew) | (state_ & ~keepNew);
        return advanced;
    }

    std::uint64_t state_ = 0;
};

} // namespace ecosystem
