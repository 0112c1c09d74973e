#include "gui/actionhandling/viewhandler.h"

#include "ecosystem/render/ecosystemrender.h"
#include "lignet/treerenderer.h"

namespace gui::actionhandling {

ViewHandler::ViewHandler(QObject *parent, ecosystem::render::EcosystemRender *renderModel)
    : QObject(parent), model(renderModel)
{
}

void ViewHandler::actionShow_ecosystem()
{
    model->toggleSingleRender();
    emit forceRepaint();
}

void ViewHandler::actionDisplay_leaves()
{
    bool &flag = model->getCurrentTree()->designedParameters().displayLeaves;
    flag = !flag;
    emit forceRepaint();
}

void ViewHandler::actionColour_uppon()
{
    bool &flag = model->getCurrentTree()->settings().colourByOrders;
    flag = !flag;
    emit forceRepaint();
}

void ViewHandler::actionRender_wireframe()
{
    // Tree edit mode and the ecosystem keep separate wireframe flags.
    if (model->isSingleRender()) {
        bool &flag = model->getCurrentTree()->settings().wireframe;
        flag = !flag;
    } else {
        model->toggleWireframe();
    }
    emit forceRepaint();
}

void ViewHandler::actionHigh_quality_rendering_more_polygons()
{
    bool &flag = model->getCurrentTree()->settings().highQuality;
    flag = !flag;
    emit forceRepaint();
}

void ViewHandler::actionLighting_enabled()
{
    model->toggleLightingEnabled();
    emit forceRepaint();
}

void ViewHandler::actionDisplay_background_sky()
{
    bool &flag = model->getCurrentTree()->settings().backgroundSky;
    flag = !flag;
    model->toggleDisplaySky();
    emit forceRepaint();
}

void ViewHandler::actionShow_frame_rate()
{
    // The rate is printed on the console from the next second on; the picture does not change.
    model->toggleShowFPS();
}

void ViewHandler::actionDo_not_draw_trees_ecosystem_mode()
{
    model->toggleDoNotDrawTrees();
    emit forceRepaint();
}

void ViewHandler::actionDo_not_refresh_display_only_run_simulation_ecosystem_mode()
{
    model->toggleDoNotRefreshDisplay();
    emit forceRepaint();
}

void ViewHandler::actionShow_ecologic_neighborhood_ecosystem_mode()
{
    model->toggleShowNeighborHood();
    emit forceRepaint();
}

void ViewHandler::actionDisplay_terrain_normals()
{
    model->toggleDisplayTerrainNormals();
    emit forceRepaint();
}

void ViewHandler::actionDisplay_terrain_inclination()
{
    model->toggleDisplayTerrainInclination();
    emit forceRepaint();
}

void ViewHandler::actionDisplay_terrain_moisture()
{
    model->toggleDisplayTerrainMoisture();
    emit forceRepaint();
}

void ViewHandler::actionDisplay_terrain_sunniness()
{
    model->toggleDisplayTerrainSunniness();
    emit forceRepaint();
}

void ViewHandler::actionDisplay_terrain_windiness()
{
    model->toggleDisplayTerrainWindiness();
    emit forceRepaint();
}

void ViewHandler::actionDisplay_terrain_land_markings_S_N_E_W()
{
    model->toggleDisplayLandMarkings();
    emit forceRepaint();
}

void ViewHandler::actionDisplay_sun()
{
    model->toggleDisplaySun();
    emit forceRepaint();
}

} // namespace gui::actionhandling
