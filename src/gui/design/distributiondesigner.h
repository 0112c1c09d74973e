#pragma once

#include "lignet/krivulja.h"

#include <QDialog>
#include <QList>
#include <QPointF>
#include <QStringList>

#include <memory>

namespace Ui {
class DistributionDesigner;
}

namespace gui {

class HoverPoints;
class WidgetGraph;

// Shapes distributions by dragging the points of two curves, one over the Gravelius order (G) and
// one over the Weibull order (W). It reads the live curves it is given; with "auto proof" checked
// every edit sends both curves (pointsUpdated) for the receiver to apply. Cancel puts the curves
// back as they were when the dialog opened.
class DistributionDesigner : public QDialog {
    Q_OBJECT

public:
    // `gCurves` and `wCurves` point at the live curves of the distributions in `indices`; the five
    // labels of each list name the y axis from bottom to top.
    DistributionDesigner(QWidget *parent, const QList<int> &indices, const QList<lignet::Krivulja *> &gCurves,
                         const QList<lignet::Krivulja *> &wCurves, const QStringList &gLabels,
                         const QStringList &wLabels, const QString &titleSuffix);
    ~DistributionDesigner() override;

    WidgetGraph *graphG() const;
    WidgetGraph *graphW() const;
    const QList<int> &distributions() const { return indices; }

signals:
    // New curves for the distributions in `indices`, one G and one W curve per index.
    void pointsUpdated(const QList<int> &indices, const QList<lignet::Krivulja> &gCurves,
                       const QList<lignet::Krivulja> &wCurves);
    void hoverGChanged(int indexMin, int indexMax);
    void hoverWChanged(int indexMin, int indexMax);
    // Cancel is about to put the curves saved at opening back into the live set.
    void restoringCurves();
    // A mouse button was let go over a graph, or Cancel restored the curves: one edit is complete.
    void editFinished();

public slots:
    // Fills both graphs from the live curves.
    void setKrivulje();
    void applyHoverGChanged(const QPointF &position);
    void applyHoverWChanged(const QPointF &position);
    // Puts the curves saved at opening back into the live set and sends them.
    void ponastaviParametreDrevesa();
    void fireKrivuljeChanged();

private:
    static void fillGraph(WidgetGraph *graph, const lignet::Krivulja &curve);
    static lignet::Krivulja curveOf(const WidgetGraph *graph);
    // The order range the mouse points at on a graph covering `levels` orders: the level under
    // the mouse, or the levels whose values move with the dragged point.
    static std::pair<int, int> hoverRange(const WidgetGraph *graph, const QPointF &position, int levels);
    // Writes the range into "Selected level:" as "<prefix>=a" or "<prefix>=a-b".
    void showRange(const QString &single, const QString &range, std::pair<int, int> levels);

    std::unique_ptr<Ui::DistributionDesigner> ui;
    QList<int> indices;
    QList<lignet::Krivulja *> liveG;
    QList<lignet::Krivulja *> liveW;
    QList<lignet::Krivulja> savedG;
    QList<lignet::Krivulja> savedW;
};

} // namespace gui
