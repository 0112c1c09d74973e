// The distribution designer on the real window: every design action opens its designer, a drag
// changes the tree on screen at once, the ends stay at the edges, auto proof, Cancel, the hover
// levels, and a designer that keeps editing its own tree after another one became current.
#include "designwindow.h"
#include "gui/actionhandling/designhandler.h"
#include "gui/parameterhistory.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

using gui::DistributionDesigner;

namespace {

void keepScreenshot(const QImage &image, const QString &name)
{
    image.save(QStringLiteral(VERDALIS_BINARY_DIR "/") + name);
}

template <class T> T *part(const QWidget *dialog, const char *name)
{
    auto *found = dialog->findChild<T *>(QString::fromLatin1(name));
    if (found == nullptr)
        qFatal("no widget %s", name);
    return found;
}

QStringList yLabels(const QWidget *dialog, char graph)
{
    QStringList texts;
    for (int i = 0; i < 5; ++i)
        texts << part<QLabel>(dialog, QStringLiteral("yLabel%1%2").arg(graph).arg(i).toLatin1())->text();
    return texts;
}

} // namespace

class TestDesigner : public QObject {
    Q_OBJECT

    DesignWindow w;

    void close(DistributionDesigner *designer, const char *button)
    {
        QPointer<DistributionDesigner> guard(designer);
        QTest::mouseClick(part<QPushButton>(designer, button), Qt::LeftButton);
        QTRY_VERIFY(guard.isNull());
    }

private slots:
    void initTestCase() { QVERIFY(w.open()); }
    void cleanupTestCase() { w.window.reset(); }

    void everyDesignActionOpensItsDesignerOnTheLiveCurves_data()
    {
        QTest::addColumn<QString>("actionName");
        QTest::addColumn<int>("distribution");
        QTest::addColumn<QStringList>("gLabels");
        QTest::addColumn<QString>("title");
        const QStringList lengths{"0%", "250%", "500%", "750%", "1000%"};
        QTest::newRow("strands") << "actionDesign_strand_distribution" << 0
                                 << QStringList{"50%", "62,5%", "75%", "87,5%", "100%"}
                                 << "Distribution designer for strand distribution";
        QTest::newRow("angles") << "actionDesign_branching_angles" << 1
                                << QStringList{"0°", "45°", "90°", "135°", "180°"}
                                << "Distribution designer for branching angles distribution";
        QTest::newRow("minimal") << "actionDesign_branch_absolute_minimal_length" << 2 << lengths
                                 << "Distribution designer for minimal absolute branch lengths distribution";
        QTest::newRow("maximal") << "actionDesign_branch_absolute_maximal_length" << 3 << lengths
                                 << "Distribution designer for maximal absolute branch lengths distribution";
        QTest::newRow("scaling") << "actionDesign_branch_lenght_scaling" << 4 << lengths
                                 << "Distribution designer for branch lengths scaling distribution";
        QTest::newRow("gravimorphism") << "actionDesign_gravimorphism_impact_distribution" << 5
                                       << QStringList{"-180°", "-90°", "0°", "90°", "180°"}
                                       << "Distribution designer for gravimorphism impact distribution";
    }

    void everyDesignActionOpensItsDesignerOnTheLiveCurves()
    {
        QFETCH(QString, actionName);
        QFETCH(int, distribution);
        QFETCH(QStringList, gLabels);
        QFETCH(QString, title);
        DistributionDesigner *designer = w.openDesigner(actionName.toLatin1().constData());
        QVERIFY(designer != nullptr);
        QVERIFY(designer->isVisible());
        QCOMPARE(designer->windowTitle(), title);
        QCOMPARE(designer->distributions(), QList<int>{distribution});
        QCOMPARE(yLabels(designer, 'G'), gLabels);
        QCOMPARE(yLabels(designer, 'W'), QStringList({"0%", "50%", "100%", "150%", "200%"}));
        QCOMPARE(part<QLabel>(designer, "hoverIndex")->text(), QStringLiteral("no hover"));
        QVERIFY(part<QCheckBox>(designer, "autoProof")->isChecked());
        QVERIFY(!part<QCheckBox>(designer, "colorLevels")->isChecked());

        // Each curve point (x, y) sits at (x W, (1 - y) H); the ends are locked to the edges.
        const std::pair<gui::WidgetGraph *, const lignet::Krivulja *> graphs[] = {
            {designer->graphG(), &w.live().curveG(distribution)},
            {designer->graphW(), &w.live().curveW(distribution)}};
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
        QTest::qWait(50);
        keepScreenshot(designer->grab().toImage(), QStringLiteral("designer-%1.png").arg(distribution));
        close(designer, "okButton");
    }

    void dragChangesTheTreeOnScreenAtOnceAndEndPointsKeepTheirX()
    {
        const lignet::TreeParameters opening = w.live();
        DistributionDesigner *designer = w.openDesigner("actionDesign_strand_distribution");
        const GraphMouse g{designer->graphG()};
        const QImage before = w.picture();

        // The right end dragged up and far to the left stays on the right edge; the view has drawn
        // the new tree before the move returns.
        const int height = g.graph->height();
        const QPoint target(g.graph->width() / 3, height / 10);
        g.press(g.on(1));
        const int frames = w.framesDrawn();
        g.move(target);
        QTRY_VERIFY(w.framesDrawn() > frames);
        g.release(target);
        QCOMPARE(g.point(1), QPointF(g.graph->width(), target.y()));
        const double y1 = 1.0 - double(target.y()) / height;
        QCOMPARE(w.live().curveG(0)[1].x, 1.0);
        QCOMPARE(w.live().curveG(0)[1].y, y1);
        // Strand table at g = 14: vG = 0.5 + (y1 - 0.5) 14/15, mapped to 0.5 vG + 0.5, times 2 vW = 1.
        const double vG = 0.5 + (y1 - 0.5) * 14.0 / 15.0;
        QCOMPARE(w.live().tableValue(0, 14, 0), std::min(0.5 * vG + 0.5, 1.0));
        QCOMPARE(w.live().tableValue(0, 0, 0), 0.75);
        QVERIFY(w.picture() != before);

        // The left end moves only vertically too, and a right click removes neither end.
        g.drag(0, QPoint(g.graph->width() / 2, height / 2));
        QCOMPARE(g.point(0), QPointF(0, height / 2));
        g.click(g.on(0), Qt::RightButton);
        g.click(g.on(1), Qt::RightButton);
        QCOMPARE(g.count(), 2);

        close(designer, "cancelButton");
        QCOMPARE(w.live(), opening);
        QCOMPARE(w.picture(), before);
    }

    void aClickBetweenTwoPointsInsertsOneThatARightClickRemoves()
    {
        DistributionDesigner *designer = w.openDesigner("actionDesign_branching_angles");
        QSignalSpy sent(designer, &DistributionDesigner::pointsUpdated);
        const GraphMouse g{designer->graphW()};
        const QPoint between(g.graph->width() / 4, g.graph->height() / 5);
        g.click(between);
        QCOMPARE(g.count(), 3);
        QCOMPARE(g.point(1), QPointF(between));
        QCOMPARE(g.graph->hoverPoints()->pointLock(1), 0u);
        QVERIFY(!sent.isEmpty());
        const auto curve = sent.last().at(2).value<QList<lignet::Krivulja>>().at(0);
        QCOMPARE(curve.size(), std::size_t(3));
        QVERIFY(curve[0].x < curve[1].x && curve[1].x < curve[2].x);
        QCOMPARE(curve[1].x, double(between.x()) / g.graph->width());
        QCOMPARE(w.live().curveW(1), curve);

        // Dragged past its right neighbour, the point is sorted in behind it and stays dragged.
        const QPoint third(g.graph->width() * 3 / 4, g.graph->height() / 2);
        g.click(third);
        QCOMPARE(g.count(), 4);
        g.drag(1, QPoint(g.graph->width() * 7 / 8, g.graph->height() / 5));
        QCOMPARE(g.point(2), QPointF(g.graph->width() * 7 / 8, g.graph->height() / 5));
        QCOMPARE(g.point(1), QPointF(third));

        g.click(g.on(2), Qt::RightButton);
        g.click(g.on(1), Qt::RightButton);
        QCOMPARE(g.count(), 2);
        QCOMPARE(w.live().curveW(1).size(), std::size_t(2));
        close(designer, "cancelButton");
    }

    void withAutoProofOffDraggingLeavesTheTreeAndOkKeepsIt()
    {
        const lignet::TreeParameters opening = w.live();
        for (const char *button : {"cancelButton", "okButton"}) {
            DistributionDesigner *designer = w.openDesigner("actionDesign_branch_lenght_scaling");
            QTest::mouseClick(part<QCheckBox>(designer, "autoProof"), Qt::LeftButton);
            QVERIFY(!part<QCheckBox>(designer, "autoProof")->isChecked());
            const GraphMouse g{designer->graphG()};
            const int frames = w.framesDrawn();
            g.drag(1, QPoint(g.graph->width(), g.graph->height() / 4));
            QCOMPARE(g.point(1).y(), double(g.graph->height() / 4));
            QCOMPARE(w.live(), opening);
            QCOMPARE(w.framesDrawn(), frames);
            close(designer, button);
            QCOMPARE(w.live(), opening);
        }
        // Checked again, the next change sends the whole current curve.
        DistributionDesigner *designer = w.openDesigner("actionDesign_branch_lenght_scaling");
        QCheckBox *autoProof = part<QCheckBox>(designer, "autoProof");
        QTest::mouseClick(autoProof, Qt::LeftButton);
        const GraphMouse g{designer->graphG()};
        g.click(QPoint(g.graph->width() / 2, g.graph->height() / 2));
        QCOMPARE(w.live(), opening);
        QTest::mouseClick(autoProof, Qt::LeftButton);
        g.drag(0, QPoint(0, g.graph->height() / 3));
        QCOMPARE(w.live().curveG(4).size(), std::size_t(3));
        QCOMPARE(w.live().curveG(4)[0].y, 1.0 - double(g.graph->height() / 3) / g.graph->height());
        close(designer, "cancelButton");
        QCOMPARE(w.live(), opening);
    }

    void cancelAfterEditsRestoresCurvesTablesAndPictureAsOneUndoableStep()
    {
        const lignet::TreeParameters opening = w.live();
        const QImage before = w.picture();
        DistributionDesigner *designer = w.openDesigner("actionDesign_gravimorphism_impact_distribution");
        const GraphMouse g{designer->graphG()};
        const GraphMouse wGraph{designer->graphW()};
        g.click(QPoint(g.graph->width() / 2, g.graph->height() / 4));
        g.drag(2, QPoint(g.graph->width(), g.graph->height() / 8));
        wGraph.drag(0, QPoint(0, wGraph.graph->height() / 3));
        const lignet::TreeParameters edited = w.live();
        QVERIFY(!(edited == opening));
        QVERIFY(w.picture() != before);

        QUndoStack &steps = w.window->parameterHistory()->stack();
        const int stepsBefore = steps.count();
        close(designer, "cancelButton");
        QCOMPARE(w.live().curveG(5), opening.curveG(5));
        QCOMPARE(w.live().curveW(5), opening.curveW(5));
        QCOMPARE(w.live().table(5), opening.table(5));
        QCOMPARE(w.picture(), before);
        // Cancel is a step of its own: undoing it brings the edits back.
        QCOMPARE(steps.count(), stepsBefore + 1);
        steps.undo();
        QCOMPARE(w.live(), edited);
        steps.redo();
        QCOMPARE(w.live(), opening);
    }

    void heldButtonOverAGraphHighlightsTheOrdersUnderTheMouse()
    {
        DistributionDesigner *designer = w.openDesigner("actionDesign_strand_distribution");
        QTest::mouseClick(part<QCheckBox>(designer, "colorLevels"), Qt::LeftButton);
        QLabel *level = part<QLabel>(designer, "hoverIndex");
        const lignet::TreeDrawSettings &settings = w.tree()->settings();
        const QImage plain = w.picture();

        const GraphMouse g{designer->graphG()};
        // Just right of the middle: 15 x / W = 7.5 and 50 x / W = 25 there or slightly above.
        const QPoint middle((g.graph->width() + 1) / 2, g.graph->height() / 2);
        g.press(middle, Qt::RightButton);
        g.move(middle);
        QCOMPARE(level->text(), QStringLiteral("G=7"));
        QCOMPARE(std::tuple(settings.highlightGMin, settings.highlightGMax, settings.highlightWMin,
                            settings.highlightWMax),
                 std::tuple(7, 7, -1, -1));
        // The default tree has no branch of g = 7; g = 1 shows.
        g.move(QPoint(g.graph->width() / 10, g.graph->height() / 2));
        QCOMPARE(level->text(), QStringLiteral("G=1"));
        g.release(middle, Qt::RightButton);
        QVERIFY(w.picture() != plain);
        keepScreenshot(w.window->grab().toImage(), QStringLiteral("designer-highlight-window.png"));

        const GraphMouse wGraph{designer->graphW()};
        const QPoint wMiddle((wGraph.graph->width() + 1) / 2, wGraph.graph->height() / 2);
        wGraph.press(wMiddle, Qt::RightButton);
        wGraph.move(wMiddle);
        wGraph.release(wMiddle, Qt::RightButton);
        QCOMPARE(level->text(), QStringLiteral("W=25"));
        QCOMPARE(std::tuple(settings.highlightGMin, settings.highlightGMax, settings.highlightWMin,
                            settings.highlightWMax),
                 std::tuple(-1, -1, 25, 25));

        // Dragging the last point highlights from its left neighbour's level to its own.
        const QPoint inner(g.graph->width() * 62 / 100, g.graph->height() / 2);
        g.click(inner);
        const int innerLevel = int(15.0 * inner.x() / g.graph->width());
        g.drag(2, QPoint(g.graph->width(), g.graph->height() / 5));
        QCOMPARE(level->text(), QStringLiteral("G=%1-15").arg(innerLevel));
        QCOMPARE(std::pair(settings.highlightGMin, settings.highlightGMax), std::pair(innerLevel, 15));
        close(designer, "cancelButton");
    }

    void aDesignerKeepsEditingItsTreeAfterAnotherBecameCurrent()
    {
        lignet::TreeRenderer *first = w.tree();
        const lignet::TreeParameters firstOpening = first->designedParameters();
        DistributionDesigner *designer = w.openDesigner("actionDesign_branching_angles");
        w.action("actionSelect_next_tree_parameters_tree_edit_mode")->trigger();
        lignet::TreeRenderer *second = w.tree();
        QVERIFY(second != first);
        const lignet::TreeParameters secondOpening = second->designedParameters();

        const GraphMouse g{designer->graphG()};
        g.drag(0, QPoint(0, g.graph->height() / 6));
        QCOMPARE(first->designedParameters().curveG(1)[0].y,
                 1.0 - double(g.graph->height() / 6) / g.graph->height());
        QCOMPARE(second->designedParameters(), secondOpening);
        close(designer, "cancelButton");
        QCOMPARE(first->designedParameters(), firstOpening);
        QCOMPARE(second->designedParameters(), secondOpening);
        // Back to the first tree for the tests that follow.
        while (w.tree() != first)
            w.action("actionSelect_next_tree_parameters_tree_edit_mode")->trigger();
    }

    void resizingADesignerScalesItsPointsSoTheCurveStaysTheSame()
    {
        DistributionDesigner *designer = w.openDesigner("actionDesign_branch_absolute_minimal_length");
        const GraphMouse g{designer->graphG()};
        const QSize before = g.graph->size();
        const QPointF middle = g.point(1);
        designer->resize(designer->width() + 160, designer->height() + 120);
        QTRY_VERIFY(g.graph->size() != before);
        QCOMPARE(g.point(1).x(), middle.x() * g.graph->width() / before.width());
        QCOMPARE(g.point(1).y(), middle.y() * g.graph->height() / before.height());
        QCOMPARE(g.point(2).x(), double(g.graph->width()));
        // The next edit sends the curve as it was, apart from the moved point.
        g.drag(0, QPoint(0, g.graph->height() / 2));
        QVERIFY(std::abs(w.live().curveG(2)[1].x - 0.5) < 1e-6);
        QVERIFY(std::abs(w.live().curveG(2)[1].y - 0.045) < 1e-6);
        QCOMPARE(w.live().curveG(2)[2].x, 1.0);
        close(designer, "cancelButton");
    }

    void severalDesignersOpenAtOnceEachSendTheirOwnDistribution()
    {
        DistributionDesigner *angles = w.openDesigner("actionDesign_branching_angles");
        DistributionDesigner *scaling = w.openDesigner("actionDesign_branch_lenght_scaling");
        QVERIFY(angles->isVisible() && scaling->isVisible());
        const lignet::Krivulja anglesG = w.live().curveG(1);
        const GraphMouse g{scaling->graphG()};
        g.drag(1, QPoint(g.graph->width(), g.graph->height() / 2));
        const double dragged = 1.0 - double(g.graph->height() / 2) / g.graph->height();
        QCOMPARE(w.live().curveG(4)[1].y, dragged);
        QCOMPARE(w.live().curveG(1), anglesG);
        close(scaling, "okButton");
        close(angles, "okButton");
        QCOMPARE(w.live().curveG(4)[1].y, dragged);
    }
};

int main(int argc, char *argv[])
{
    gui::OglWidget::prepareApplication();
    QApplication application(argc, argv);
    TestDesigner tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "test_designer.moc"
