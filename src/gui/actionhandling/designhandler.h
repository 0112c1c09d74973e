#pragma once

#include "lignet/krivulja.h"

#include <QList>
#include <QObject>
#include <QStringList>

class QWidget;

namespace ecosystem::render {
class EcosystemRender;
}

namespace lignet {
class TreeRenderer;
}

namespace gui {
class DistributionDesigner;
class ParameterHistory;
} // namespace gui

namespace gui::actionhandling {

// The tree design commands: opens a distribution designer per design action and the advanced
// tree properties dialog, applies what they send to the designed set of the tree they were opened
// on, and makes every finished edit one undo step.
class DesignHandler : public QObject {
    Q_OBJECT

public:
    // `mainWindow` is the parent of the dialogs; `history` receives the undo steps.
    DesignHandler(QWidget *mainWindow, ecosystem::render::EcosystemRender *model, ParameterHistory *history);

signals:
    void forceRepaint();

public slots:
    void actionDesign_strand_distribution();
    void actionDesign_branching_angles();
    void actionDesign_branch_absolute_minimal_length();
    void actionDesign_branch_absolute_maximal_length();
    void actionDesign_branch_lenght_scaling();
    void actionDesign_gravimorphism_impact_distribution();
    void actionAdvanced_tree_properties();

    // Puts the curves into the current tree's designed set and recomputes their tables.
    void updateKrivulja(const QList<int> &indices, const QList<lignet::Krivulja> &gCurves,
                        const QList<lignet::Krivulja> &wCurves);
    void applyHoverGChanged(int indexMin, int indexMax);
    void applyHoverWChanged(int indexMin, int indexMax);

private:
    DistributionDesigner *openDesigner(int distribution, const QStringList &gLabels,
                                       const QString &titleSuffix);
    void applyKrivulje(lignet::TreeRenderer *tree, const QList<int> &indices,
                       const QList<lignet::Krivulja> &gCurves, const QList<lignet::Krivulja> &wCurves);

    QWidget *mainWindow;
    ecosystem::render::EcosystemRender *model;
    ParameterHistory *history;
};

} // namespace gui::actionhandling
