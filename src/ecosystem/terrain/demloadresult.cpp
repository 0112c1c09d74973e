#include "ecosystem/terrain/demloadresult.h"

namespace ecosystem {

std::string DemLoadResult::message() const
{
    switch (status) {
    case Status::Ok:
        return {};
    case Status::CouldNotOpen:
        return "Could not open DEM terrain file.";
    case Status::ReadError:
        return "Error reading DEM terrain file.";
    }
    return {};
}

} // namespace ecosystem
