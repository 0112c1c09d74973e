#pragma once

#include <cstdint>

namespace lignet {

// The tree's own 15-bit generator (the classic rand() recurrence, outputs 0..32767). It is
// separate from the C library's rand(), whose range and shared state differ between platforms,
// so a tree looks the same everywhere and nothing else disturbs its sequence.
class TreeRandomGenerator {
public:
    static constexpr int Max = 32767;

    explicit TreeRandomGenerator(std::uint32_t seedValue = 1) : m_state(seedValue) {}
    void seed(std::uint32_t seedValue) { m_state = seedValue; }
    int next()
    {
        m_state = m_state * 1103515245u + 12345u;
        return static_cast<int>((m_state / 65536u) % 32768u);
    }

private:
    std::uint32_t m_state;
};

} // namespace lignet
