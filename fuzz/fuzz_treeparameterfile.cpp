// Feeds bytes to the tree parameter file reader. A refused file must leave the set exactly as it
// was; an accepted one must give finite tables, and writing it and reading that back must give
// the same set (to the file's six significant digits) and then the very same set again.

#include "fuzzcheck.h"
#include "lignet/treeparameterfile.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

using fuzzcheck::require;
using lignet::TreeParameterFile;
using lignet::TreeParameters;

namespace {

// A set unlike the defaults in every field, so that a reader that touched it would show.
TreeParameters knownSet()
{
    TreeParameters p;
    p.barkTexturePath = "kora.png";
    p.leafTexturePath = "list.png";
    p.numberOfStrands = 77;
    p.trunkHeight = 3.5;
    p.branchThicknessPerStrand = 0.02f;
    p.phyllotaxisAngle = 120.0;
    p.gravicentralism = 0.7;
    p.displayLeaves = false;
    p.leafSize = 0.3f;
    p.leafDensity = 9;
    p.leafType = lignet::BUNCHED;
    p.windSpeed = 0.25;
    p.windSpeedNodirect = 4.5;
    p.curveG(lignet::BranchingAngles) = {{0.0, 0.2}, {0.4, 0.6}, {1.0, 0.3}};
    p.computeAllDistributionTables();
    return p;
}

void requireFiniteTables(const TreeParameters &p)
{
    for (int d = 0; d < lignet::DistributionCount; ++d)
        for (const auto &row : p.table(d))
            for (const double v : row)
                require(std::isfinite(v), "table " + std::to_string(d) + " of an accepted file is finite");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const TreeParameters known = knownSet();
    const std::string content(reinterpret_cast<const char *>(data), size);

    TreeParameters loaded = known;
    std::string reason;
    if (!TreeParameterFile::parse(content, loaded, &reason)) {
        require(!reason.empty(), "a refused file has a reason");
        require(loaded == known, "a refused file leaves the set unchanged");
        return 0;
    }
    requireFiniteTables(loaded);
    require(loaded.windSpeedNodirect == known.windSpeedNodirect, "a field the file does not carry is kept");

    const std::string written = TreeParameterFile::text(loaded);
    TreeParameters back;
    require(TreeParameterFile::parse(written, back, &reason), "the written file is read back: " + reason);
    require(TreeParameterFile::text(back) == written, "reading the written file gives the same set");
    require(back.barkTexturePath == loaded.barkTexturePath && back.leafTexturePath == loaded.leafTexturePath,
            "texture paths survive a round trip exactly");
    require(back.numberOfStrands == loaded.numberOfStrands && back.leafDensity == loaded.leafDensity &&
                back.leafType == loaded.leafType && back.displayLeaves == loaded.displayLeaves,
            "whole-number fields survive a round trip exactly");
    for (int c = 0; c < 2 * lignet::DistributionCount; ++c)
        require(back.curves[c].size() == loaded.curves[c].size(), "curves keep their point counts");

    TreeParameters again;
    require(TreeParameterFile::parse(TreeParameterFile::text(back), again, &reason),
            "second read: " + reason);
    require(again == back, "a set read from a written file reads back identically");
    return 0;
}
