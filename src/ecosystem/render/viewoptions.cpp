#include "ecosystem/render/viewoptions.h"

#include <algorithm>

namespace ecosystem::render {

const std::array<ViewOptionInfo, ViewOptionCount> &viewOptionTable()
{
    using O = ViewOption;
    static const std::array<ViewOptionInfo, ViewOptionCount> table = {{
        {O::SingleRender, "singleRender", false, false, "actionShow_ecosystem", true, true, ""},
        {O::DisplayTerrainNormals, "displayTerrainNormals", false, false, "actionDisplay_terrain_normals",
         false, true, "normals"},
        {O::DisplayTerrainInclination, "displayTerrainInclination", false, false,
         "actionDisplay_terrain_inclination", false, true, "inclination"},
        {O::DisplayTerrainMoisture, "displayTerrainMoisture", false, false, "actionDisplay_terrain_moisture",
         false, true, "moisture"},
        {O::DisplayTerrainSunniness, "displayTerrainSunniness", false, false,
         "actionDisplay_terrain_sunniness", false, true, "sunniness"},
        {O::DisplayTerrainWindiness, "displayTerrainWindiness", false, false,
         "actionDisplay_terrain_windiness", false, true, "windiness"},
        {O::DisplayLandMarkings, "displayLandMarkings", false, false,
         "actionDisplay_terrain_land_markings_S_N_E_W", false, true, "markings"},
        {O::LightingEnabled, "lightingEnabled", true, false, "actionLighting_enabled", false, true, ""},
        {O::Wireframe, "wireframe", false, false, "actionRender_wireframe", false, true, ""},
        // The frame rate only changes what the console shows.
        {O::ShowFPS, "showFPS", true, false, "actionShow_frame_rate", false, false, ""},
        {O::ShowNeighborHood, "showNeighborHood", false, false,
         "actionShow_ecologic_neighborhood_ecosystem_mode", false, true, ""},
        {O::DoNotDrawTrees, "doNotDrawTrees", false, false, "actionDo_not_draw_trees_ecosystem_mode", false,
         true, ""},
        {O::DoNotRefreshDisplay, "doNotRefreshDisplay", false, false,
         "actionDo_not_refresh_display_only_run_simulation_ecosystem_mode", false, true, ""},
        {O::DisplaySun, "displaySun", false, false, "actionDisplay_sun", false, true, "sun"},
        {O::DisplaySky, "displaySky", true, false, "actionDisplay_background_sky", false, true, ""},
        {O::ExactDistantTrees, "exactDistantTrees", false, false, "actionExact_distant_trees", false, true,
         ""},
        {O::FastDistantTrees, "fastDistantTrees", false, false, "actionFast_distant_trees", false, true, ""},
        {O::DisplayLeaves, "displayLeaves", true, true, "actionDisplay_leaves", false, true, ""},
        {O::ColourByOrders, "colourByOrders", false, true, "actionColour_uppon", false, true, ""},
        {O::HighQuality, "highQuality", false, true, "actionHigh_quality_rendering_more_polygons", false,
         true, ""},
    }};
    return table;
}

const ViewOptionInfo &viewOptionInfo(ViewOption option)
{
    return viewOptionTable()[static_cast<std::size_t>(option)];
}

std::optional<ViewOption> viewOptionForOverlay(std::string_view overlayName)
{
    const auto &table = viewOptionTable();
    const auto found = std::find_if(table.begin(), table.end(), [&](const ViewOptionInfo &info) {
        return !info.overlayName.empty() && info.overlayName == overlayName;
    });
    if (found == table.end())
        return std::nullopt;
    return found->option;
}

bool isTreeScale(int scale)
{
    return std::find(TreeScales.begin(), TreeScales.end(), scale) != TreeScales.end();
}

ViewOptions::ViewOptions()
{
    for (const ViewOptionInfo &info : viewOptionTable())
        values[index(info.option)] = info.defaultOn;
}

} // namespace ecosystem::render
