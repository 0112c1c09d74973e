#include "ecosystem/terrain/demloadresult.h"

// Marks a message that the user interface translates (its catalogue collects the marked texts
// under the given context); the core keeps the English text.
#define TRANSLATABLE(context, text) text

namespace ecosystem {

std::string DemLoadResult::message() const
{
    switch (status) {
    case Status::Ok:
        return {};
    case Status::CouldNotOpen:
        return TRANSLATABLE("EcosystemRender", "Could not open DEM terrain file.");
    case Status::ReadError:
        return TRANSLATABLE("EcosystemRender", "Error reading DEM terrain file.");
    }
    return {};
}

} // namespace ecosystem
