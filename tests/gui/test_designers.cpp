// The distribution designers of the real main window in tree edit mode, with mouse input as a user
// gives it: each designer opened on the live curves, drags, inserted and removed points, auto-proof,
// Cancel, highlighted orders, two trees and resizing.
#include "dialogstest.h"

#include <QCheckBox>

#include <cmath>

namespace {

QStringList yLabels(const QWidget *dialog, char graph)
{
    QStringList texts;
    for (int i = 0; i < 5; ++i)
        texts << part<QLabel>(dialog, QStringLiteral("yLabel%1%2").arg(graph).arg(i).toLatin1())->text();
    return texts;
}

// Each designer's action, the distribution named in its title and the labels beside its G graph.
const QStringList lengths{"0%", "250%", "500%", "750%", "1000%"};
const struct Design {
    const char *action, *title;
    QStringList gLabels;
} designs[] = {
    {"strand_distribution", "strand", {"50%", "62,5%", "75%", "87,5%", "100%"}},
    {"branching_angles", "branching angles", {"0°", "45°", "90°", "135°", "180°"}},
    {"branch_absolute_minimal_length", "minimal absolute branch lengths", lengths},
    {"branch_absolute_maximal_length", "maximal absolute branch lengths", lengths},
    {"branch_lenght_scaling", "branch lengths scaling", lengths},
    {"gravimorphism_impact_distribution", "gravimorphism impact", {"-180°", "-90°", "0°", "90°", "180°"}},
};

} // namespace

void TestDialogs::everyDesignActionOpensItsDesignerOnTheLiveCurves_data()
{
    QTest::addColumn<int>("distribution");
    for (int i = 0; i < int(std::size(designs)); ++i)
        QTest::newRow(designs[i].action) << i;
}

void TestDialogs::everyDesignActionOpensItsDesignerOnTheLiveCurves()
{
    // The designers work on the tree of tree edit mode.
    w.setTreeEditMode(true);
    QVERIFY(w.treeEditMode());
    QFETCH(int, distribution);
    const Design &design = designs[distribution];
    DistributionDesigner *d = designer(QByteArray("actionDesign_").append(design.action).constData());
    QVERIFY(d != nullptr && d->isVisible());
    QCOMPARE(d->windowTitle(), QStringLiteral("Distribution designer for %1 distribution").arg(design.title));
    QCOMPARE(d->distributions(), QList<int>{distribution});
    QCOMPARE(yLabels(d, 'G'), design.gLabels);
    QCOMPARE(yLabels(d, 'W'), QStringList({"0%", "50%", "100%", "150%", "200%"}));
    QCOMPARE(part<QLabel>(d, "hoverIndex")->text(), QStringLiteral("no hover"));
    QVERIFY(part<QCheckBox>(d, "autoProof")->isChecked());

    // Each curve point (x, y) sits at (x W, (1 - y) H); the ends are locked to the edges.
    const std::pair<gui::WidgetGraph *, const lignet::Krivulja *> graphs[] = {
        {d->graphG(), &w.live().curveG(distribution)}, {d->graphW(), &w.live().curveW(distribution)}};
    for (const auto &[graph, curve] : graphs) {
        const gui::HoverPoints *editor = graph->hoverPoints();
        QCOMPARE(editor->points().size(), qsizetype(curve->size()));
        for (std::size_t i = 0; i < curve->size(); ++i) {
            const QPointF p = editor->points().at(qsizetype(i));
            QVERIFY(std::abs(p.x() - (*curve)[i].x * graph->width()) < 1e-4);
            QVERIFY(std::abs(p.y() - (1 - (*curve)[i].y) * graph->height()) < 1e-4);
        }
        QCOMPARE(editor->pointLock(0), unsigned(gui::HoverPoints::LockToLeft));
        QCOMPARE(editor->pointLock(int(curve->size()) - 1), unsigned(gui::HoverPoints::LockToRight));
    }
    close(d, "okButton");
}

void TestDialogs::dragChangesTheTreeOnScreenAtOnceAndEndPointsKeepTheirX()
{
    const lignet::TreeParameters opening = w.live();
    DistributionDesigner *d = designer("actionDesign_strand_distribution");
    const GraphMouse g{d->graphG()};
    const QImage before = w.picture();

    // The right end dragged up and far to the left stays on the right edge; the view has drawn
    // the new tree before the move returns.
    const QPoint target(g.width() / 3, g.height() / 10);
    g.press(g.on(1));
    const int frames = w.framesDrawn();
    g.move(target);
    QTRY_VERIFY(w.framesDrawn() > frames);
    g.release(target);
    QCOMPARE(g.point(1), QPointF(g.width(), target.y()));
    const double y1 = 1.0 - double(target.y()) / g.height();
    QCOMPARE(w.live().curveG(0)[1], (lignet::KrivuljaPoint{1.0, y1}));
    // Strand table at g = 14: vG = 0.5 + (y1 - 0.5) 14/15, mapped to 0.5 vG + 0.5, times 2 vW = 1.
    const double vG = 0.5 + (y1 - 0.5) * 14.0 / 15.0;
    QCOMPARE(w.live().tableValue(0, 14, 0), std::min(0.5 * vG + 0.5, 1.0));
    QCOMPARE(w.live().tableValue(0, 0, 0), 0.75);
    QVERIFY(w.picture() != before);

    // The left end moves only vertically too, and a right click removes neither end.
    g.drag(0, QPoint(g.width() / 2, g.height() / 2));
    QCOMPARE(g.point(0), QPointF(0, g.height() / 2));
    g.click(g.on(0), Qt::RightButton);
    g.click(g.on(1), Qt::RightButton);
    QCOMPARE(g.count(), 2);

    close(d, "cancelButton");
    QCOMPARE(w.live(), opening);
    QCOMPARE(w.picture(), before);
}

void TestDialogs::aClickBetweenTwoPointsInsertsOneThatARightClickRemoves()
{
    DistributionDesigner *d = designer("actionDesign_branching_angles");
    const GraphMouse g{d->graphW()};
    const QPoint between(g.width() / 4, g.height() / 5);
    g.click(between);
    QCOMPARE(g.count(), 3);
    QCOMPARE(g.point(1), QPointF(between));
    QCOMPARE(g.graph->hoverPoints()->pointLock(1), 0u);
    const lignet::Krivulja &curve = w.live().curveW(1);
    QCOMPARE(curve.size(), std::size_t(3));
    QCOMPARE(curve[1].x, double(between.x()) / g.width());

    // Dragged past its right neighbour, the point is sorted in behind it and stays dragged.
    const QPoint third(g.width() * 3 / 4, g.height() / 2);
    g.click(third);
    g.drag(1, QPoint(g.width() * 7 / 8, g.height() / 5));
    QCOMPARE(g.point(2), QPointF(g.width() * 7 / 8, g.height() / 5));
    QCOMPARE(g.point(1), QPointF(third));
    QVERIFY(curve[1].x < curve[2].x);

    g.click(g.on(2), Qt::RightButton);
    g.click(g.on(1), Qt::RightButton);
    QCOMPARE(g.count(), 2);
    QCOMPARE(w.live().curveW(1).size(), std::size_t(2));
    close(d, "cancelButton");
}

void TestDialogs::withAutoProofOffDraggingLeavesTheTreeAndOkKeepsIt()
{
    const lignet::TreeParameters opening = w.live();
    for (const char *button : {"cancelButton", "okButton"}) {
        DistributionDesigner *d = designer("actionDesign_branch_lenght_scaling");
        QTest::mouseClick(part<QCheckBox>(d, "autoProof"), Qt::LeftButton);
        const GraphMouse g{d->graphG()};
        const int frames = w.framesDrawn();
        g.drag(1, QPoint(g.width(), g.height() / 4));
        QCOMPARE(g.point(1).y(), double(g.height() / 4));
        QCOMPARE(w.live(), opening);
        QCOMPARE(w.framesDrawn(), frames);
        close(d, button);
        QCOMPARE(w.live(), opening);
    }
    // Checked again, the next change sends the whole current curve.
    DistributionDesigner *d = designer("actionDesign_branch_lenght_scaling");
    QCheckBox *autoProof = part<QCheckBox>(d, "autoProof");
    QTest::mouseClick(autoProof, Qt::LeftButton);
    const GraphMouse g{d->graphG()};
    g.click(QPoint(g.width() / 2, g.height() / 2));
    QCOMPARE(w.live(), opening);
    QTest::mouseClick(autoProof, Qt::LeftButton);
    g.drag(0, QPoint(0, g.height() / 3));
    QCOMPARE(w.live().curveG(4).size(), std::size_t(3));
    QCOMPARE(w.live().curveG(4)[0].y, 1.0 - double(g.height() / 3) / g.height());
    close(d, "cancelButton");
    QCOMPARE(w.live(), opening);
}

void TestDialogs::cancelAfterEditsRestoresCurvesTablesAndPictureAsOneUndoableStep()
{
    const lignet::TreeParameters opening = w.live();
    const QImage before = w.picture();
    DistributionDesigner *d = designer("actionDesign_gravimorphism_impact_distribution");
    const GraphMouse g{d->graphG()};
    const GraphMouse wGraph{d->graphW()};
    g.click(QPoint(g.width() / 2, g.height() / 4));
    g.drag(2, QPoint(g.width(), g.height() / 8));
    wGraph.drag(0, QPoint(0, wGraph.height() / 3));
    const lignet::TreeParameters edited = w.live();
    QVERIFY(!(edited == opening));
    QVERIFY(w.picture() != before);

    const int stepsBefore = steps().count();
    close(d, "cancelButton");
    QCOMPARE(w.live(), opening);
    QCOMPARE(w.picture(), before);
    // Cancel is a step of its own: undoing it brings the edits back.
    QCOMPARE(steps().count(), stepsBefore + 1);
    steps().undo();
    QCOMPARE(w.live(), edited);
    steps().redo();
    QCOMPARE(w.live(), opening);
}

void TestDialogs::heldButtonOverAGraphHighlightsTheOrdersUnderTheMouse()
{
    DistributionDesigner *d = designer("actionDesign_strand_distribution");
    QTest::mouseClick(part<QCheckBox>(d, "colorLevels"), Qt::LeftButton);
    QLabel *level = part<QLabel>(d, "hoverIndex");
    const lignet::TreeDrawSettings &settings = w.tree()->settings();
    const auto highlight = [&] {
        return std::tuple(settings.highlightGMin, settings.highlightGMax, settings.highlightWMin,
                          settings.highlightWMax);
    };
    const QImage plain = w.picture();

    const GraphMouse g{d->graphG()};
    // Just right of the middle: 15 x / W = 7.5 and 50 x / W = 25 there or slightly above.
    const QPoint middle((g.width() + 1) / 2, g.height() / 2);
    g.press(middle, Qt::RightButton);
    g.move(middle);
    QCOMPARE(level->text(), QStringLiteral("G=7"));
    QCOMPARE(highlight(), std::tuple(7, 7, -1, -1));
    // The default tree has no branch of g = 7; g = 1 shows.
    g.move(QPoint(g.width() / 10, g.height() / 2));
    QCOMPARE(level->text(), QStringLiteral("G=1"));
    g.release(middle, Qt::RightButton);
    QVERIFY(w.picture() != plain);

    // Dragging the last point highlights from its left neighbour's level to its own.
    const QPoint inner(g.width() * 62 / 100, g.height() / 2);
    g.click(inner);
    const int innerLevel = int(15.0 * inner.x() / g.width());
    g.drag(2, QPoint(g.width(), g.height() / 5));
    QCOMPARE(level->text(), QStringLiteral("G=%1-15").arg(innerLevel));
    QCOMPARE(std::pair(settings.highlightGMin, settings.highlightGMax), std::pair(innerLevel, 15));
    close(d, "cancelButton");
}

void TestDialogs::designersEditTheirOwnTreeAndDistribution()
{
    lignet::TreeRenderer *first = w.tree();
    const lignet::TreeParameters firstOpening = w.live();
    DistributionDesigner *angles = designer("actionDesign_branching_angles");
    DistributionDesigner *scaling = designer("actionDesign_branch_lenght_scaling");
    w.action("actionSelect_next_tree_parameters_tree_edit_mode")->trigger();
    lignet::TreeRenderer *second = w.tree();
    QVERIFY(second != first);
    const lignet::TreeParameters secondOpening = second->designedParameters();

    const GraphMouse g{angles->graphG()};
    g.drag(0, QPoint(0, g.height() / 6));
    QCOMPARE(first->designedParameters().curveG(1)[0].y, 1.0 - double(g.height() / 6) / g.height());
    QCOMPARE(first->designedParameters().curveG(4), firstOpening.curveG(4));
    QCOMPARE(second->designedParameters(), secondOpening);

    const GraphMouse s{scaling->graphG()};
    s.drag(1, QPoint(s.width(), s.height() / 2));
    QCOMPARE(first->designedParameters().curveG(4)[1].y, 1.0 - double(s.height() / 2) / s.height());
    QCOMPARE(first->designedParameters().curveG(1)[0].y, 1.0 - double(g.height() / 6) / g.height());
    QCOMPARE(second->designedParameters(), secondOpening);
    close(angles, "cancelButton");
    close(scaling, "cancelButton");
    QCOMPARE(first->designedParameters(), firstOpening);
    QCOMPARE(second->designedParameters(), secondOpening);
    while (w.tree() != first)
        w.action("actionSelect_next_tree_parameters_tree_edit_mode")->trigger();
}

void TestDialogs::resizingADesignerScalesItsPointsSoTheCurveStaysTheSame()
{
    DistributionDesigner *d = designer("actionDesign_branch_absolute_minimal_length");
    const GraphMouse g{d->graphG()};
    const QSize before = g.graph->size();
    const QPointF middle = g.point(1);
    d->resize(d->width() + 160, d->height() + 120);
    QTRY_VERIFY(g.graph->size() != before);
    QCOMPARE(g.point(1),
             QPointF(middle.x() * g.width() / before.width(), middle.y() * g.height() / before.height()));
    QCOMPARE(g.point(2).x(), double(g.width()));
    // The next edit sends the curve as it was, apart from the moved point.
    g.drag(0, QPoint(0, g.height() / 2));
    QVERIFY(std::abs(w.live().curveG(2)[1].x - 0.5) < 1e-6);
    QVERIFY(std::abs(w.live().curveG(2)[1].y - 0.045) < 1e-6);
    QCOMPARE(w.live().curveG(2)[2].x, 1.0);
    close(d, "cancelButton");
}
