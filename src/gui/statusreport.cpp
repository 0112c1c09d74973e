#include "gui/statusreport.h"

#include "ecosystem/render/ecosystemrender.h"
#include "ecosystem/render/framerate.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "gui/actionhandling/timekeeper.h"
#include "lignet/treerenderer.h"

#include <QLabel>
#include <QStatusBar>

#include <algorithm>
#include <numeric>

namespace gui {

using ecosystem::render::EcosystemRender;
using ecosystem::render::ViewOption;

namespace {

// A permanent label takes room only while it has something to say.
void setPermanentText(QLabel *label, const QString &text)
{
    label->setText(text);
    label->setVisible(!text.isEmpty());
}

} // namespace

StatusReport::StatusReport(QStatusBar *bar, EcosystemRender *renderModel,
                           const actionhandling::TimeKeeper *keeper)
    : QObject(bar), model(renderModel), timeKeeper(keeper)
{
    message = addLabel(bar, "statusMessage", false);
    simulation = addLabel(bar, "statusSimulation", true);
    drawn = addLabel(bar, "statusDrawn", true);
    frameRate = addLabel(bar, "statusFrameRate", true);
    frameSkip = addLabel(bar, "statusFrameSkip", true);
    mode = addLabel(bar, "statusMode", true);
    figuresDue.setSingleShot(true);
    figuresDue.setInterval(RefreshIntervalMs);
    connect(&figuresDue, &QTimer::timeout, this, &StatusReport::showFigures);
    for (const auto signal : {&EcosystemRender::modelDataChanged, &EcosystemRender::nrPlantsLivingChanged,
                              &EcosystemRender::frameRendered})
        connect(model, signal, this, &StatusReport::modelChanged);
    refresh();
}

QLabel *StatusReport::addLabel(QStatusBar *bar, const char *name, bool permanent)
{
    auto *label = new QLabel(bar);
    label->setObjectName(QLatin1String(name));
    if (permanent) {
        bar->addPermanentWidget(label);
        label->hide();
    } else {
        // A normal item, so that menu status tips may cover it for a moment.
        bar->addWidget(label, 1);
    }
    return label;
}

void StatusReport::refresh()
{
    const bool treeEdit = model->isViewOptionOn(ViewOption::SingleRender);
    setPermanentText(mode, treeEdit ? tr("Tree edit mode") : tr("Ecosystem mode"));
    showFigures();
}

void StatusReport::modelChanged()
{
    if (!figuresDue.isActive())
        figuresDue.start();
}

void StatusReport::frameSkipChanged()
{
    setPermanentText(frameSkip, tr("Steps per drawn frame: %1").arg(model->getFrameSkip()));
}

void StatusReport::showFigures()
{
    figuresDue.stop();
    const bool treeEdit = model->isViewOptionOn(ViewOption::SingleRender);
    const bool started = model->isSimulationInitialised();
    QString step;
    if (started) {
        const std::vector<int> counts = model->getSimulation().livingCounts();
        step = tr("Step %1, living plants: %2")
                   .arg(model->getSimulation().step())
                   .arg(std::accumulate(counts.begin(), counts.end(), 0));
    }
    setPermanentText(simulation, step);
    setPermanentText(drawn, !treeEdit && started ? tr("Plants drawn: %1").arg(model->getLastRenderedCount())
                                                 : QString());
    // The same figure the console's fps line gives, once a second.
    const double rate = ecosystem::render::FrameRate::shared().lastRate();
    setPermanentText(frameRate, model->isViewOptionOn(ViewOption::ShowFPS) && rate > 0.0
                                    ? tr("%1 fps").arg(rate, 0, 'f', 1)
                                    : QString());

    const lignet::TreeDrawSettings &tree = model->getCurrentTree()->settings();
    if (treeEdit && tree.growing) {
        // The growth animation starts over from a seedling once the tree is grown.
        const int percent = static_cast<int>(std::clamp(tree.growthProgress, 0.0, 1.0) * 100.0);
        message->setText(tr("Growing: %1 %, starts over when grown").arg(percent));
    } else if (!treeEdit && !started && !timeKeeper->simulationRunning()) {
        message->setText(tr("Press F5 to grow the forest"));
    } else {
        message->setText({});
    }
}

} // namespace gui
