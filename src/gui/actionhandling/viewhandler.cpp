#include "gui/actionhandling/viewhandler.h"

#include "ecosystem/render/ecosystemrender.h"

namespace gui::actionhandling {

ViewHandler::ViewHandler(QObject *parent, ecosystem::render::EcosystemRender *renderModel)
    : QObject(parent), model(renderModel)
{
}

void ViewHandler::flip(ecosystem::render::ViewOption option)
{
    model->toggleViewOptionFromMenu(option);
    if (ecosystem::render::viewOptionInfo(option).actionRepaints)
        emit forceRepaint();
}

void ViewHandler::setTreeScale(int scale)
{
    if (model->setTreeScale(scale))
        emit forceRepaint();
}

} // namespace gui::actionhandling
