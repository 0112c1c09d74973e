#include "gui/design/distributiondesigner.h"

#include "gui/design/hoverpoints.h"
#include "gui/design/widgetgraph.h"

#include "ui_distributiondesigner.h"

#include <algorithm>
#include <cmath>

namespace gui {

namespace {

// The Gravelius orders a G graph spans, the Weibull orders a W graph spans.
constexpr int GraveliusLevels = 15;
constexpr int WeibullLevels = 50;

} // namespace

DistributionDesigner::DistributionDesigner(QWidget *parent, const QList<int> &distributionIndices,
                                           const QList<lignet::Krivulja *> &gCurves,
                                           const QList<lignet::Krivulja *> &wCurves,
                                           const QStringList &gLabels, const QStringList &wLabels,
                                           const QString &titleSuffix)
    : QDialog(parent), ui(std::make_unique<Ui::DistributionDesigner>()), indices(distributionIndices),
      liveG(gCurves), liveW(wCurves)
{
    for (const lignet::Krivulja *curve : liveG)
        savedG << *curve;
    for (const lignet::Krivulja *curve : liveW)
        savedW << *curve;

    ui->setupUi(this);
    connect(this, &QDialog::rejected, this, &DistributionDesigner::ponastaviParametreDrevesa);
    for (WidgetGraph *graph : {ui->graphG, ui->graphW}) {
        connect(graph->hoverPoints(), &HoverPoints::pointsChanged, this,
                &DistributionDesigner::fireKrivuljeChanged);
        connect(graph->hoverPoints(), &HoverPoints::editFinished, this, &DistributionDesigner::editFinished);
    }
    connect(ui->graphG->hoverPoints(), &HoverPoints::hoverChanged, this,
            &DistributionDesigner::applyHoverGChanged);
    connect(ui->graphW->hoverPoints(), &HoverPoints::hoverChanged, this,
            &DistributionDesigner::applyHoverWChanged);

    const QList<QLabel *> gAxis{ui->yLabelG0, ui->yLabelG1, ui->yLabelG2, ui->yLabelG3, ui->yLabelG4};
    const QList<QLabel *> wAxis{ui->yLabelW0, ui->yLabelW1, ui->yLabelW2, ui->yLabelW3, ui->yLabelW4};
    for (int i = 0; i < gAxis.size() && i < gLabels.size(); ++i)
        gAxis[i]->setText(gLabels[i]);
    for (int i = 0; i < wAxis.size() && i < wLabels.size(); ++i)
        wAxis[i]->setText(wLabels[i]);
    setWindowTitle(windowTitle() + titleSuffix);
}

DistributionDesigner::~DistributionDesigner() = default;

WidgetGraph *DistributionDesigner::graphG() const
{
    return ui->graphG;
}

WidgetGraph *DistributionDesigner::graphW() const
{
    return ui->graphW;
}

void DistributionDesigner::fillGraph(WidgetGraph *graph, const lignet::Krivulja &curve)
{
    HoverPoints *editor = graph->hoverPoints();
    const QRectF area = editor->boundingRect();
    QPolygonF points;
    for (const lignet::KrivuljaPoint &p : curve.points())
        points << QPointF(float(p.x * area.width()), float((1.0 - p.y) * area.height()));
    editor->setPoints(points);
    // The ends stay at the graph's edges and cannot be removed.
    if (!points.isEmpty()) {
        editor->setPointLock(0, HoverPoints::LockToLeft);
        editor->setPointLock(int(points.size()) - 1, HoverPoints::LockToRight);
    }
    graph->update();
}

lignet::Krivulja DistributionDesigner::curveOf(const WidgetGraph *graph)
{
    const HoverPoints *editor = graph->hoverPoints();
    const QRectF area = editor->boundingRect();
    lignet::Krivulja curve;
    for (const QPointF &p : editor->points())
        curve.append({p.x() / area.width(), 1.0 - p.y() / area.height()});
    return curve;
}

void DistributionDesigner::setKrivulje()
{
    if (liveG.isEmpty() || liveW.isEmpty())
        return;
    fillGraph(ui->graphG, *liveG.first());
    fillGraph(ui->graphW, *liveW.first());
}

void DistributionDesigner::fireKrivuljeChanged()
{
    if (!ui->autoProof->isChecked())
        return;
    const lignet::Krivulja g = curveOf(ui->graphG);
    const lignet::Krivulja w = curveOf(ui->graphW);
    emit pointsUpdated(indices, QList<lignet::Krivulja>(indices.size(), g),
                       QList<lignet::Krivulja>(indices.size(), w));
}

void DistributionDesigner::ponastaviParametreDrevesa()
{
    emit restoringCurves();
    for (int i = 0; i < liveG.size() && i < savedG.size(); ++i)
        *liveG[i] = savedG[i];
    for (int i = 0; i < liveW.size() && i < savedW.size(); ++i)
        *liveW[i] = savedW[i];
    emit pointsUpdated(indices, savedG, savedW);
    emit editFinished();
}

std::pair<int, int> DistributionDesigner::hoverRange(const WidgetGraph *graph, const QPointF &position,
                                                     int levels)
{
    const HoverPoints *editor = graph->hoverPoints();
    const double width = graph->width();
    const int dragged = editor->currentIndex();
    const QPolygonF points = editor->points();
    if (dragged < 0 || dragged >= points.size()) {
        // The mouse may leave the graph while a button is held; it points at the nearest edge then.
        const double x = std::clamp(position.x(), 0.0, width);
        const int level = int(std::trunc(levels * x / width));
        return {level, level};
    }
    const int lo = std::max(dragged - 1, 0);
    const int hi = std::min(dragged + 1, int(points.size()) - 1);
    return {int(std::trunc(levels * points[lo].x() / width)),
            int(std::trunc(levels * points[hi].x() / width))};
}

void DistributionDesigner::showRange(const QString &single, const QString &range, std::pair<int, int> levels)
{
    if (levels.first == levels.second)
        ui->hoverIndex->setText(single.arg(levels.first));
    else
        ui->hoverIndex->setText(range.arg(levels.first).arg(levels.second));
}

void DistributionDesigner::applyHoverGChanged(const QPointF &position)
{
    if (!ui->colorLevels->isChecked())
        return;
    const auto levels = hoverRange(ui->graphG, position, GraveliusLevels);
    showRange(tr("G=%1"), tr("G=%1-%2"), levels);
    emit hoverGChanged(levels.first, levels.second);
}

void DistributionDesigner::applyHoverWChanged(const QPointF &position)
{
    if (!ui->colorLevels->isChecked())
        return;
    const auto levels = hoverRange(ui->graphW, position, WeibullLevels);
    showRange(tr("W=%1"), tr("W=%1-%2"), levels);
    emit hoverWChanged(levels.first, levels.second);
}

} // namespace gui
