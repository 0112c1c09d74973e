#pragma once

#include <string>

namespace ecosystem {

// Result of a simulation operation that can fail (setting seeds, saving, loading): on failure a
// one-line reason for the user, and nothing was changed.
struct SimulationOutcome {
    bool ok = true;
    std::string message;

    static SimulationOutcome success() { return {}; }
    static SimulationOutcome failure(std::string reason) { return {false, std::move(reason)}; }
    explicit operator bool() const { return ok; }
};

} // namespace ecosystem
