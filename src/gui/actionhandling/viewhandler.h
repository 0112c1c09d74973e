#pragma once

#include "ecosystem/render/viewoptions.h"

#include <QObject>

namespace ecosystem::render {
class EcosystemRender;
}

namespace gui::actionhandling {

// The View menu's display switches. Each slot flips its switch as the model's view option table
// describes it, without reading the action's check mark, and asks every view to repaint (the
// frame rate only changes the console, so it does not).
class ViewHandler : public QObject {
    Q_OBJECT

public:
    ViewHandler(QObject *parent, ecosystem::render::EcosystemRender *model);

    // What every slot below does for its switch.
    void flip(ecosystem::render::ViewOption option);
    // The drawn size of the trees (one of ecosystem::render::TreeScales); repaints.
    void setTreeScale(int scale);

signals:
    void forceRepaint();

public slots:
    void actionShow_ecosystem() { flip(ecosystem::render::ViewOption::SingleRender); }
    void actionDisplay_leaves() { flip(ecosystem::render::ViewOption::DisplayLeaves); }
    void actionColour_uppon() { flip(ecosystem::render::ViewOption::ColourByOrders); }
    void actionRender_wireframe() { flip(ecosystem::render::ViewOption::Wireframe); }
    void actionHigh_quality_rendering_more_polygons() { flip(ecosystem::render::ViewOption::HighQuality); }
    void actionLighting_enabled() { flip(ecosystem::render::ViewOption::LightingEnabled); }
    void actionDisplay_background_sky() { flip(ecosystem::render::ViewOption::DisplaySky); }
    void actionShow_frame_rate() { flip(ecosystem::render::ViewOption::ShowFPS); }
    void actionDo_not_draw_trees_ecosystem_mode() { flip(ecosystem::render::ViewOption::DoNotDrawTrees); }
    void actionDo_not_refresh_display_only_run_simulation_ecosystem_mode()
    {
        flip(ecosystem::render::ViewOption::DoNotRefreshDisplay);
    }
    void actionShow_ecologic_neighborhood_ecosystem_mode()
    {
        flip(ecosystem::render::ViewOption::ShowNeighborHood);
    }
    void actionDisplay_terrain_normals() { flip(ecosystem::render::ViewOption::DisplayTerrainNormals); }
    void actionDisplay_terrain_inclination()
    {
        flip(ecosystem::render::ViewOption::DisplayTerrainInclination);
    }
    void actionDisplay_terrain_moisture() { flip(ecosystem::render::ViewOption::DisplayTerrainMoisture); }
    void actionDisplay_terrain_sunniness() { flip(ecosystem::render::ViewOption::DisplayTerrainSunniness); }
    void actionDisplay_terrain_windiness() { flip(ecosystem::render::ViewOption::DisplayTerrainWindiness); }
    void actionDisplay_terrain_land_markings_S_N_E_W()
    {
        flip(ecosystem::render::ViewOption::DisplayLandMarkings);
    }
    void actionDisplay_sun() { flip(ecosystem::render::ViewOption::DisplaySun); }
    void actionExact_distant_trees() { flip(ecosystem::render::ViewOption::ExactDistantTrees); }
    void actionFast_distant_trees() { flip(ecosystem::render::ViewOption::FastDistantTrees); }
    void actionTree_scale_1() { setTreeScale(1); }
    void actionTree_scale_2() { setTreeScale(2); }
    void actionTree_scale_5() { setTreeScale(5); }
    void actionTree_scale_10() { setTreeScale(10); }

private:
    ecosystem::render::EcosystemRender *model;
};

} // namespace gui::actionhandling
