#include "gui/actionhandling/designhandler.h"

#include "ecosystem/render/ecosystemrender.h"
#include "gui/design/advancedtreeproperties.h"
#include "gui/design/distributiondesigner.h"
#include "gui/parameterhistory.h"
#include "lignet/treerenderer.h"

#include <QWidget>

namespace gui::actionhandling {

namespace {

// What the G curve contributes to each distribution's table value at y = 0, 0.25, 0.5, 0.75, 1.
QStringList lengthLabels()
{
    return {QStringLiteral("0%"), QStringLiteral("250%"), QStringLiteral("500%"), QStringLiteral("750%"),
            QStringLiteral("1000%")};
}

// The W curve always contributes 0 % ... 200 %.
QStringList weibullLabels()
{
    return {QStringLiteral("0%"), QStringLiteral("50%"), QStringLiteral("100%"), QStringLiteral("150%"),
            QStringLiteral("200%")};
}

} // namespace

DesignHandler::DesignHandler(QWidget *parentWindow, ecosystem::render::EcosystemRender *renderModel,
                             ParameterHistory *parameterHistory)
    : QObject(parentWindow), mainWindow(parentWindow), model(renderModel), history(parameterHistory)
{
}

void DesignHandler::actionDesign_strand_distribution()
{
    openDesigner(lignet::StrandDistribution,
                 {QStringLiteral("50%"), QStringLiteral("62,5%"), QStringLiteral("75%"),
                  QStringLiteral("87,5%"), QStringLiteral("100%")},
                 tr(" for strand distribution"));
}

void DesignHandler::actionDesign_branching_angles()
{
    openDesigner(lignet::BranchingAngles,
                 {QStringLiteral("0°"), QStringLiteral("45°"), QStringLiteral("90°"), QStringLiteral("135°"),
                  QStringLiteral("180°")},
                 tr(" for branching angles distribution"));
}

void DesignHandler::actionDesign_branch_absolute_minimal_length()
{
    openDesigner(lignet::MinimalBranchLength, lengthLabels(),
                 tr(" for minimal absolute branch lengths distribution"));
}

void DesignHandler::actionDesign_branch_absolute_maximal_length()
{
    openDesigner(lignet::MaximalBranchLength, lengthLabels(),
                 tr(" for maximal absolute branch lengths distribution"));
}

void DesignHandler::actionDesign_branch_lenght_scaling()
{
    openDesigner(lignet::BranchLengthScaling, lengthLabels(), tr(" for branch lengths scaling distribution"));
}

void DesignHandler::actionDesign_gravimorphism_impact_distribution()
{
    openDesigner(lignet::GravimorphismImpact,
                 {QStringLiteral("-180°"), QStringLiteral("-90°"), QStringLiteral("0°"),
                  QStringLiteral("90°"), QStringLiteral("180°")},
                 tr(" for gravimorphism impact distribution"));
}

DistributionDesigner *DesignHandler::openDesigner(int distribution, const QStringList &gLabels,
                                                  const QString &titleSuffix)
{
    lignet::TreeRenderer *tree = model->getCurrentTree();
    lignet::TreeParameters &live = tree->designedParameters();
    auto *designer =
        new DistributionDesigner(mainWindow, {distribution}, {&live.curveG(distribution)},
                                 {&live.curveW(distribution)}, gLabels, weibullLabels(), titleSuffix);
    // Closed designers are not kept: each action opens a new one.
    connect(designer, &QDialog::finished, designer, &QObject::deleteLater);
    designer->show();
    designer->setKrivulje();

    // The designer edits the tree it was opened on, even after another tree became current.
    connect(designer, &DistributionDesigner::pointsUpdated, this,
            [this, tree](const QList<int> &indices, const QList<lignet::Krivulja> &gCurves,
                         const QList<lignet::Krivulja> &wCurves) {
                applyKrivulje(tree, indices, gCurves, wCurves);
            });
    connect(designer, &DistributionDesigner::hoverGChanged, this, &DesignHandler::applyHoverGChanged);
    connect(designer, &DistributionDesigner::hoverWChanged, this, &DesignHandler::applyHoverWChanged);
    // Cancel is one undo step too, so that every step's state before is what it undoes to.
    connect(designer, &DistributionDesigner::restoringCurves, this,
            [this, tree] { history->beginChange(tree, tr("Curve change")); });
    connect(designer, &DistributionDesigner::editFinished, history, &ParameterHistory::finishChange);
    connect(history, &ParameterHistory::parametersRestored, designer, &DistributionDesigner::setKrivulje);
    return designer;
}

void DesignHandler::updateKrivulja(const QList<int> &indices, const QList<lignet::Krivulja> &gCurves,
                                   const QList<lignet::Krivulja> &wCurves)
{
    applyKrivulje(model->getCurrentTree(), indices, gCurves, wCurves);
}

void DesignHandler::applyKrivulje(lignet::TreeRenderer *tree, const QList<int> &indices,
                                  const QList<lignet::Krivulja> &gCurves,
                                  const QList<lignet::Krivulja> &wCurves)
{
    history->beginChange(tree, tr("Curve change"));
    lignet::TreeParameters &live = tree->designedParameters();
    for (qsizetype i = 0; i < indices.size() && i < gCurves.size() && i < wCurves.size(); ++i) {
        const int d = indices[i];
        // A curve needs two points to be evaluated.
        if (d < 0 || d >= lignet::DistributionCount || gCurves[i].size() < 2 || wCurves[i].size() < 2)
            continue;
        live.curveG(d) = gCurves[i];
        live.curveW(d) = wCurves[i];
        live.computeDistributionTable(d);
    }
    emit forceRepaint();
}

void DesignHandler::applyHoverGChanged(int indexMin, int indexMax)
{
    lignet::TreeDrawSettings &settings = model->getCurrentTree()->settings();
    settings.highlightWMin = -1;
    settings.highlightWMax = -1;
    settings.highlightGMin = indexMin;
    settings.highlightGMax = indexMax;
    emit forceRepaint();
}

void DesignHandler::applyHoverWChanged(int indexMin, int indexMax)
{
    lignet::TreeDrawSettings &settings = model->getCurrentTree()->settings();
    settings.highlightGMin = -1;
    settings.highlightGMax = -1;
    settings.highlightWMin = indexMin;
    settings.highlightWMax = indexMax;
    emit forceRepaint();
}

void DesignHandler::actionAdvanced_tree_properties()
{
    lignet::TreeRenderer *tree = model->getCurrentTree();
    auto *dialog = new AdvancedTreeProperties(mainWindow, &tree->designedParameters());
    connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
    connect(dialog, &AdvancedTreeProperties::forceRefresh, this, &DesignHandler::forceRepaint);
    connect(dialog, &AdvancedTreeProperties::parametersCommitted, this,
            [this, tree](const lignet::TreeParameters &before) {
                history->record(tree, before, tr("Tree properties"));
            });
    dialog->show();
}

} // namespace gui::actionhandling
