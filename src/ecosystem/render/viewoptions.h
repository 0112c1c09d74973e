#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace ecosystem::render {

// The on/off switches of the views. The model's own flags come first, in the model's member
// order; the last three belong to the current tree (its parameter set or draw settings).
enum class ViewOption {
    SingleRender,
    DisplayTerrainNormals,
    DisplayTerrainInclination,
    DisplayTerrainMoisture,
    DisplayTerrainSunniness,
    DisplayTerrainWindiness,
    DisplayLandMarkings,
    LightingEnabled,
    Wireframe,
    ShowFPS,
    ShowNeighborHood,
    DoNotDrawTrees,
    DoNotRefreshDisplay,
    DisplaySun,
    DisplaySky,
    ExactDistantTrees,
    FastDistantTrees,
    DisplayLeaves,
    ColourByOrders,
    HighQuality,
};
inline constexpr std::size_t ViewOptionCount = 20;

// One description per switch, used by the model, the menu actions and their check marks, the
// command line and the tests.
struct ViewOptionInfo {
    ViewOption option;
    std::string_view name;        // the flag's name in the model or the tree
    bool defaultOn;               // the model's default (tree switches: the tree's default)
    bool onCurrentTree;           // a field of the current tree rather than a flag of the model
    std::string_view actionName;  // the menu action that switches it
    bool actionShowsOff;          // the action is checked while the switch is off ("Show ecosystem")
    bool actionRepaints;          // the action repaints the views after switching
    std::string_view overlayName; // the command line's --overlay name, empty when none
};

const std::array<ViewOptionInfo, ViewOptionCount> &viewOptionTable();

// The View menu's tree scales: trees drawn this many times their size, the simulation untouched.
inline constexpr std::array<int, 4> TreeScales = {1, 2, 5, 10};
bool isTreeScale(int scale);
const ViewOptionInfo &viewOptionInfo(ViewOption option);
std::optional<ViewOption> viewOptionForOverlay(std::string_view overlayName);

// The values of the model's own switches; the tree switches live in the trees.
class ViewOptions {
public:
    ViewOptions();

    bool isOn(ViewOption option) const { return values[index(option)]; }
    void set(ViewOption option, bool on) { values[index(option)] = on; }
    void toggle(ViewOption option) { set(option, !isOn(option)); }

private:
    static std::size_t index(ViewOption option) { return static_cast<std::size_t>(option); }
    std::array<bool, ViewOptionCount> values{};
};

} // namespace ecosystem::render
