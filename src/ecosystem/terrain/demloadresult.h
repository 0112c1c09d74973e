#pragma once

#include <string>

namespace ecosystem {

// Outcome of reading a DEM; the caller shows message() to the user (title "Error").
struct DemLoadResult {
    enum class Status {
        Ok,
        CouldNotOpen, // the file or stream could not be opened
        ReadError,    // the text ended early or held something that is not a number
    };

    Status status = Status::Ok;
    int pointsRead = 0; // complete points read before the reading stopped
    std::string detail; // one line for diagnostics (command line), may be empty

    bool ok() const { return status == Status::Ok; }
    // "Could not open DEM terrain file." or "Error reading DEM terrain file."; empty when ok.
    std::string message() const;
};

} // namespace ecosystem
