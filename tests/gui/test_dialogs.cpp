// The dialogs of the real main window, opened once, run with mouse and keyboard input as a user gives
// it, and undo and redo across the tree's designers, properties and file loads.
#include "core/filesizelimit.h"
#include "ecosystem/render/camera.h"
#include "ecosystem/simulation/simulationstatistics.h"
#include "ecosystem/simulation/statisticscsv.h"
#include "gui/actionhandling/navigationhandler.h"
#include "gui/actionhandling/timekeeper.h"
#include "gui/design/advancedtreeproperties.h"
#include "gui/design/distributiondesigner.h"
#include "gui/design/hoverpoints.h"
#include "gui/design/widgetgraph.h"
#include "gui/dialogs/ecosystemstatistics.h"
#include "gui/dialogs/navigationpanel.h"
#include "gui/dialogs/randomgeneratorseedseditor.h"
#include "gui/dialogs/statisticsgraph.h"
#include "gui/parameterhistory.h"
#include "guitest.h"
#include "lignet/treeparameterfile.h"

#include <algorithm>
#include <cmath>
#include <vector>

using gui::AdvancedTreeProperties;
using gui::DistributionDesigner;
using gui::EcosystemStatistics;
using guitest::part;
using Seeds = std::vector<unsigned long long>;

namespace {

// Mouse gestures on a graph, sent as real events to the widget the point editor filters.
struct GraphMouse {
    gui::WidgetGraph *graph;

    QPointF point(int i) const { return graph->hoverPoints()->points().at(i); }
    int count() const { return int(graph->hoverPoints()->points().size()); }
    int width() const { return graph->width(); }
    int height() const { return graph->height(); }
    // A pixel of the widget that lies on point i (end points lie on the widget's right edge).
    QPoint on(int i) const
    {
        return QPoint(std::min(int(point(i).x()), width() - 1), std::min(int(point(i).y()), height() - 1));
    }
    void press(QPoint at, Qt::MouseButton b = Qt::LeftButton) const { QTest::mousePress(graph, b, {}, at); }
    void move(QPoint to) const { QTest::mouseMove(graph, to); }
    void release(QPoint p, Qt::MouseButton b = Qt::LeftButton) const { QTest::mouseRelease(graph, b, {}, p); }
    // Presses on point i, moves it in steps to `to` and lets go.
    void drag(int i, QPoint to) const
    {
        const QPoint from = on(i);
        press(from);
        for (int step = 1; step <= 4; ++step)
            move(from + (to - from) * step / 4);
        release(to);
    }
    void click(QPoint at, Qt::MouseButton b = Qt::LeftButton) const { QTest::mouseClick(graph, b, {}, at); }
};

// Clicks the dialog's button and waits until the dialog is gone.
void close(QDialog *dialog, const char *button)
{
    QPointer<QDialog> guard(dialog);
    QTest::mouseClick(part<QPushButton>(dialog, button), Qt::LeftButton);
    QTRY_VERIFY(guard.isNull());
}

QString value(const EcosystemStatistics *dialog)
{
    return part<QLabel>(dialog, "currentValue")->text();
}

// The dialog plots `series` and reads out its last step and count.
void expectPlotted(const EcosystemStatistics *dialog, const lignet::Krivulja &series)
{
    QCOMPARE(dialog->graph()->points(), EcosystemStatistics::plotPoints(series, dialog->graph()->height()));
    QCOMPARE(value(dialog), QStringLiteral("(%1, %2)").arg(series.size() - 1).arg(series.points().back().y));
}

// Each designer's action, in the order of the distributions.
const char *const designActions[] = {"actionDesign_strand_distribution",
                                     "actionDesign_branching_angles",
                                     "actionDesign_branch_absolute_minimal_length",
                                     "actionDesign_branch_absolute_maximal_length",
                                     "actionDesign_branch_lenght_scaling",
                                     "actionDesign_gravimorphism_impact_distribution"};

// Types `text` into a spin box as a user would: select all, type, Enter.
void type(QAbstractSpinBox *box, const QString &text)
{
    QLineEdit *edit = box->findChild<QLineEdit *>();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

    guitest::Window w;
    QTemporaryDir folder;

    const ecosystem::SimulationStatistics &statistics() const { return w.model()->getStatistics(); }
    ecosystem::render::Camera &camera() const { return *w.model()->getCamera(); }
    QUndoStack &steps() const { return w.window->parameterHistory()->stack(); }

    // Opens the statistics as the user does and waits until the new dialog is on screen.
    EcosystemStatistics *openDialog()
    {
        auto *opened = w.opened<EcosystemStatistics>("actionShow_statistics");
        return opened != nullptr && QTest::qWaitForWindowExposed(opened) ? opened : nullptr;
    }
    void saveCsv(EcosystemStatistics *dialog, const QString &answer)
    {
        w.dialogs->clear();
        w.dialogs->fileAnswers = QStringList{answer};
        QTest::mouseClick(part<QPushButton>(dialog, "saveCsvButton"), Qt::LeftButton);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(folder.isValid());
        QVERIFY(w.open(true, true));
        for (int step = 0; step < 3; ++step)
            w.model()->simulateNextStepAndUpdateGL();
        w.view()->updateGL();
        QTRY_VERIFY(!statistics().renderedSeries().empty());
    }

    void cleanupTestCase() { w.window.reset(); }

    void plotIsLogarithmicOncePerTriggerFollowsSpeciesAndStepsAndSavesAsCsv()
    {
        const double e = std::exp(1.0);
        const QPolygonF points = EcosystemStatistics::plotPoints({{0, 1}, {1, e}, {2, e * e}, {3, 0}}, 200);
        QCOMPARE(points, QPolygonF({{0, 200}, {1, 180}, {2, 160}, {3, 200}}));

        // Each trigger opens a dialog of its own, on the living curve of the first species.
        QPointer<EcosystemStatistics> first = openDialog();
        QPointer<EcosystemStatistics> second = openDialog();
        QVERIFY(first && second && first != second && !first->isModal());
        expectPlotted(first, statistics().livingSeries().at(0));

        // Closed dialogs are freed, the other one stays open.
        close(first, "closeButton");
        QVERIFY(second->isVisible());

        // The species chosen in the other one is plotted.
        EcosystemStatistics *dialog = second;
        part<QComboBox>(dialog, "izbranaVrsta")->setCurrentIndex(3);
        const lignet::Krivulja &pines = statistics().livingSeries().at(3);
        expectPlotted(dialog, pines);
        // Ticking the box alone changes nothing; the next drawn frame brings the drawn plants.
        auto *renderedOnly = part<QCheckBox>(dialog, "showOnlyRenderedOnes");
        QTest::mouseClick(renderedOnly, Qt::LeftButton, {}, QPoint(4, 4));
        expectPlotted(dialog, pines);
        const lignet::Krivulja &drawnPines = statistics().renderedSeries().at(3);
        const std::size_t frames = drawnPines.size();
        w.view()->updateGL();
        QTRY_VERIFY(drawnPines.size() > frames);
        expectPlotted(dialog, drawnPines);

        // Without it every step plots the living curve again.
        QTest::mouseClick(renderedOnly, Qt::LeftButton, {}, QPoint(4, 4));
        w.model()->simulateNextStepAndUpdateGL();
        expectPlotted(dialog, pines);

        // A held button reads year and plants; without one the mouse reads nothing.
        gui::StatisticsGraph *graph = dialog->graph();
        const int h = graph->height();
        QTest::mousePress(graph, Qt::RightButton, {}, QPoint(10, h - 20));
        QCOMPARE(value(dialog), QStringLiteral("(10, 2.71828)"));
        QTest::mouseMove(graph, QPoint(30, h - 40));
        QCOMPARE(value(dialog), QStringLiteral("(30, 7.38906)"));
        QTest::mouseRelease(graph, Qt::RightButton, {}, QPoint(30, h - 40));
        QTest::mouseMove(graph, QPoint(50, h));
        QCOMPARE(value(dialog), QStringLiteral("(30, 7.38906)"));

        // The CSV file holds every step.
        const QString file = folder.filePath(QStringLiteral("forest.csv"));
        saveCsv(dialog, file);
        const QByteArray written = guitest::contentOf(file);
        QCOMPARE(written.toStdString(), ecosystem::statisticsCsv(statistics()));

        // Cancel writes and says nothing; a failed write is told and keeps the previous file.
        saveCsv(dialog, QString());
        QVERIFY(w.dialogs->texts.isEmpty());
        w.model()->simulateNextStepAndUpdateGL();
        {
            const testsupport::FileSizeLimit full;
            saveCsv(dialog, file);
        }
        QCOMPARE(w.dialogs->texts, QStringList{"Could not save file."});
        QCOMPARE(guitest::contentOf(file), written);
        second->close();
        QTRY_VERIFY(second.isNull());
    }

    void seedsPlantAreaHelpAboutAndTheNavigationPanelShowTheModelAndSendWhatWasEntered()
    {
        // The editor shows the model's seeds and OK sends what was entered (the largest state has ten
        // digits); Cancel sends nothing.
        const Seeds start = w.model()->getRandomGeneratorSeeds();
        Seeds shownSeeds;
        w.answer("actionEdit_random_generator_seeds", "okButton", [&shownSeeds](QDialog &dialog) {
            for (const QLineEdit *edit : static_cast<gui::RandomGeneratorSeedsEditor &>(dialog).seedEdits())
                shownSeeds.push_back(edit->text().toULongLong());
            part<QLineEdit>(&dialog, "randomTimeOfDeath")->setText(QStringLiteral("8589934591"));
        });
        QCOMPARE(shownSeeds, start);
        Seeds expected = start;
        expected[12] = 8589934591ULL;
        QCOMPARE(w.model()->getRandomGeneratorSeeds(), expected);
        w.answer("actionEdit_random_generator_seeds", "cancelButton", [](QDialog &dialog) {
            part<QLineEdit>(&dialog, "randomGrowClose")->setText(QStringLiteral("77"));
        });
        QCOMPARE(w.model()->getRandomGeneratorSeeds(), expected);

        // Decimal whatever the first digit; anything else but spaces around it is no seed.
        const std::pair<const char *, unsigned long long> parses[] = {
            {" 7 ", 7}, {"-5", 0}, {"abc", 0}, {"010", 10}, {"0x1f", 0}};
        for (const auto &[text, value] : parses)
            QCOMPARE(gui::RandomGeneratorSeedsEditor::parseSeed(QString::fromLatin1(text)), value);

        // The plant area applies each change at once, and a zero becomes one.
        const int maxX = w.model()->getLupaMaxX();
        w.answer("actionSet_plant_area", "cancelButton", [this, maxX](QDialog &dialog) {
            auto *minX = part<QSpinBox>(&dialog, "minX");
            QCOMPARE(minX->value(), w.model()->getLupaMinX());
            minX->setValue(0);
            QCOMPARE(w.model()->getLupaMinX(), 1);
            part<QSlider>(&dialog, "horizontalSlider_2")->setValue(maxX - 3);
        });
        QCOMPARE(w.model()->getLupaMinX(), 1);
        QCOMPARE(w.model()->getLupaMaxX(), maxX - 3);

        // Help and about are modal dialogs closed by OK.
        for (const char *name : {"actionUsage", "actionAbout"})
            QVERIFY2(w.answer(name, "okButton", [](QDialog &) {}), name);

        // The navigation panel follows the camera and its buttons move it.
        w.action("actionReset_camera_view")->trigger();
        camera().heading = 270.0f;
        w.action("action_Navigation_panel")->trigger();
        auto *handler = w.window->navigationHandler();
        gui::NavigationPanel *panel = handler->navigationPanel();
        QVERIFY(panel != nullptr && panel->isVisible() && !panel->isModal());
        // A heading of 270 is shown as the same direction, -90.
        QCOMPARE(panel->turn()->value(), -90);
        QCOMPARE(camera().heading, 270.0f);
        const auto &bounds = w.model()->getTerrain().bounds();
        QCOMPARE(panel->demPosition()->text(), QStringLiteral("(%1, %2, %3)")
                                                   .arg(double(bounds.minX + camera().position.x))
                                                   .arg(double(bounds.minY + camera().position.z))
                                                   .arg(double(bounds.minZ + camera().position.y)));

        // One degree per step of "Turn right", through the spin box and the dial.
        part<QPushButton>(panel, "pushButton_4")->click();
        QCOMPARE(camera().heading, -89.0f);
        const float x = camera().position.x;
        part<QPushButton>(panel, "pushButton_14")->click();
        QCOMPARE(camera().position.x, float(int(x) + 1));

        // Travelling sets the camera coasting; the panel follows it at every refresh.
        const float z = camera().position.z;
        QTest::mouseClick(panel->travelForward(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!w.window->timeKeeper()->cameraAnimationRunning(), 5000);
        QVERIFY(camera().position.z != z || camera().position.x != float(int(x) + 1));
        QCOMPARE(panel->x()->value(), int(camera().position.x));
        QCOMPARE(panel->z()->value(), int(camera().position.z));

        // A second trigger opens a further panel, which is the one filled from then on.
        w.action("action_Navigation_panel")->trigger();
        QVERIFY(handler->navigationPanel() != panel);
        handler->navigationPanel()->close();
        panel->close();
        QTRY_VERIFY(handler->navigationPanel() == nullptr);
        w.action("actionReset_camera_view")->trigger();
    }

    // Each design action opens a designer on its own distribution, the point of the live curve's
    // (x, y) at (x W, (1 - y) H). The designers work on the tree of tree edit mode, which stays on for
    // the tests below.
    void everyDesignActionOpensItsDesignerOnTheLiveCurves()
    {
        w.setTreeEditMode(true);
        for (int distribution = 0; distribution < int(std::size(designActions)); ++distribution) {
            auto *d = w.opened<DistributionDesigner>(designActions[distribution]);
            QVERIFY(d != nullptr);
            QCOMPARE(d->distributions(), QList<int>{distribution});
            const GraphMouse g{d->graphG()};
            const lignet::Krivulja &curve = w.live().curveG(distribution);
            QCOMPARE(std::size_t(g.count()), curve.size());
            for (int i = 0; i < g.count(); ++i) {
                QVERIFY(std::abs(g.point(i).x() - curve[std::size_t(i)].x * g.width()) < 1e-4);
                QVERIFY(std::abs(g.point(i).y() - (1 - curve[std::size_t(i)].y) * g.height()) < 1e-4);
            }
            close(d, "okButton");
        }
    }

    void dragChangesTheTreeOnScreenAtOnceEndPointsKeepTheirXAndAHeldButtonHighlightsOrders()
    {
        auto *d = w.opened<DistributionDesigner>("actionDesign_strand_distribution");
        const GraphMouse g{d->graphG()};
        const QImage before = w.picture();

        // The right end dragged up and far to the left stays on the right edge; the view has drawn
        // the new tree before the move returns.
        const QPoint target(g.width() / 3, g.height() / 10);
        g.press(g.on(1));
        const int frames = w.settledFrames();
        g.move(target);
        QTRY_VERIFY(w.framesDrawn() > frames);
        g.release(target);
        QCOMPARE(g.point(1), QPointF(g.width(), target.y()));
        QCOMPARE(w.live().curveG(0)[1], (lignet::KrivuljaPoint{1.0, 1.0 - double(target.y()) / g.height()}));
        QVERIFY(w.picture() != before);

        // The left end moves only vertically too, and a right click removes neither end.
        g.drag(0, QPoint(g.width() / 2, g.height() / 2));
        QCOMPARE(g.point(0), QPointF(0, g.height() / 2));
        g.click(g.on(0), Qt::RightButton);
        g.click(g.on(1), Qt::RightButton);
        QCOMPARE(g.count(), 2);

        // A held button over the graph highlights the orders under the mouse.
        QTest::mouseClick(part<QCheckBox>(d, "colorLevels"), Qt::LeftButton);
        QLabel *level = part<QLabel>(d, "hoverIndex");
        const lignet::TreeDrawSettings &settings = w.tree()->settings();
        const QImage plain = w.picture();
        // Just right of the middle: 15 x / W = 7.5 and 50 x / W = 25 there or slightly above.
        const QPoint middle((g.width() + 1) / 2, g.height() / 2);
        g.press(middle, Qt::RightButton);
        g.move(middle);
        QCOMPARE(level->text(), QStringLiteral("G=7"));
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

    void aClickInsertsAPointARightClickRemovesItAndWithAutoProofOffDraggingLeavesTheTree()
    {
        auto *d = w.opened<DistributionDesigner>("actionDesign_branching_angles");
        const GraphMouse g{d->graphW()};
        const QPoint between(g.width() / 4, g.height() / 5);
        g.click(between);
        QCOMPARE(g.count(), 3);
        QCOMPARE(g.point(1), QPointF(between));
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

        // With auto-proof off dragging leaves the tree, and OK keeps it.
        const lignet::TreeParameters opening = w.live();
        for (const char *button : {"cancelButton", "okButton"}) {
            d = w.opened<DistributionDesigner>("actionDesign_branch_lenght_scaling");
            QTest::mouseClick(part<QCheckBox>(d, "autoProof"), Qt::LeftButton);
            const GraphMouse scaling{d->graphG()};
            const int frames = w.settledFrames();
            scaling.drag(1, QPoint(scaling.width(), scaling.height() / 4));
            QCOMPARE(w.live(), opening);
            QCOMPARE(w.framesDrawn(), frames);
            close(d, button);
            QCOMPARE(w.live(), opening);
        }
        // Checked again, the next change sends the whole current curve.
        d = w.opened<DistributionDesigner>("actionDesign_branch_lenght_scaling");
        QCheckBox *autoProof = part<QCheckBox>(d, "autoProof");
        QTest::mouseClick(autoProof, Qt::LeftButton);
        const GraphMouse s{d->graphG()};
        s.click(QPoint(s.width() / 2, s.height() / 2));
        QCOMPARE(w.live(), opening);
        QTest::mouseClick(autoProof, Qt::LeftButton);
        s.drag(0, QPoint(0, s.height() / 3));
        QCOMPARE(w.live().curveG(4).size(), std::size_t(3));
        QCOMPARE(w.live().curveG(4)[0].y, 1.0 - double(s.height() / 3) / s.height());
        close(d, "cancelButton");
        QCOMPARE(w.live(), opening);
    }

    void cancelRestoresTreeAndPictureAsOneUndoableStepAndUndoGoesAcrossDesignerDragsAndApplies()
    {
        const lignet::TreeParameters opening = w.live();
        const QImage before = w.picture();
        auto *d = w.opened<DistributionDesigner>("actionDesign_gravimorphism_impact_distribution");
        const GraphMouse g{d->graphG()};
        const GraphMouse wGraph{d->graphW()};
        g.click(QPoint(g.width() / 2, g.height() / 4));
        g.drag(2, QPoint(g.width(), g.height() / 8));
        wGraph.drag(0, QPoint(0, wGraph.height() / 3));
        const lignet::TreeParameters edited = w.live();
        QVERIFY(!(edited == opening));
        QVERIFY(w.picture() != before);

        close(d, "cancelButton");
        QCOMPARE(w.live(), opening);
        QCOMPARE(w.picture(), before);
        // Cancel is a step of its own: undoing it brings the edits back.
        steps().undo();
        QCOMPARE(w.live(), edited);
        steps().redo();
        QCOMPARE(w.live(), opening);

        // Undo and redo go across a designer's drag and a properties' Apply.
        d = w.opened<DistributionDesigner>("actionDesign_branching_angles");
        const GraphMouse angles{d->graphG()};
        angles.drag(1, QPoint(angles.width(), angles.height() / 3));
        const lignet::TreeParameters dragged = w.live();
        QVERIFY(!(dragged.curveG(1) == opening.curveG(1)));

        auto *dialog = w.opened<AdvancedTreeProperties>("actionAdvanced_tree_properties");
        part<QSlider>(dialog, "sliderTrinkHeight")->setValue(7000);
        QTest::mouseClick(part<QPushButton>(dialog, "buttonApply"), Qt::LeftButton);
        close(dialog, "buttonOk");
        const lignet::TreeParameters applied = w.live();
        QCOMPARE(applied.trunkHeight, 7.0);
        QCOMPARE(applied.curveG(1), dragged.curveG(1));

        // Undo from the main window: the properties first, then the drag, redrawn and shown by the
        // designer still open.
        w.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        int frames = w.settledFrames();
        QTest::keyClick(w.window.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.live().trunkHeight, opening.trunkHeight);
        QCOMPARE(w.live().curveG(1), dragged.curveG(1));
        QTRY_VERIFY(w.framesDrawn() > frames);
        frames = w.settledFrames();
        QTest::keyClick(w.window.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.live(), opening);
        QTRY_VERIFY(w.framesDrawn() > frames);
        QCOMPARE(angles.point(1).y(), double(float((1 - opening.curveG(1)[1].y) * angles.height())));
        QCOMPARE(w.picture(), before);

        QTest::keyClick(w.window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(w.live(), dragged);
        QTest::keyClick(w.window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(w.live(), applied);

        // OK keeps the curves.
        close(d, "okButton");
        QCOMPARE(w.live(), applied);
    }

    void designersEditTheirOwnTreeAndDistributionAndResizedScaleTheirPoints()
    {
        lignet::TreeRenderer *first = w.tree();
        const lignet::TreeParameters firstOpening = w.live();
        auto *angles = w.opened<DistributionDesigner>("actionDesign_branching_angles");
        auto *scaling = w.opened<DistributionDesigner>("actionDesign_branch_lenght_scaling");
        w.action("actionSelect_next_tree_parameters_tree_edit_mode")->trigger();
        lignet::TreeRenderer *second = w.tree();
        QVERIFY(second != first);
        const lignet::TreeParameters secondOpening = second->designedParameters();

        const GraphMouse g{angles->graphG()};
        g.drag(0, QPoint(0, g.height() / 6));
        QCOMPARE(first->designedParameters().curveG(1)[0].y, 1.0 - double(g.height() / 6) / g.height());
        QCOMPARE(first->designedParameters().curveG(4), firstOpening.curveG(4));

        const GraphMouse s{scaling->graphG()};
        s.drag(1, QPoint(s.width(), s.height() / 2));
        QCOMPARE(first->designedParameters().curveG(4)[1].y, 1.0 - double(s.height() / 2) / s.height());
        QCOMPARE(second->designedParameters(), secondOpening);
        close(angles, "cancelButton");
        close(scaling, "cancelButton");
        QCOMPARE(first->designedParameters(), firstOpening);
        QCOMPARE(second->designedParameters(), secondOpening);
        while (w.tree() != first)
            w.action("actionSelect_next_tree_parameters_tree_edit_mode")->trigger();

        // Resizing a designer scales its points so that the curve stays the same.
        auto *d = w.opened<DistributionDesigner>("actionDesign_branch_absolute_minimal_length");
        const GraphMouse r{d->graphG()};
        const QSize before = r.graph->size();
        const QPointF middle = r.point(1);
        d->resize(d->width() + 160, d->height() + 120);
        QTRY_VERIFY(r.graph->size() != before);
        QCOMPARE(r.point(1),
                 QPointF(middle.x() * r.width() / before.width(), middle.y() * r.height() / before.height()));
        // The next edit sends the curve as it was, apart from the moved point.
        r.drag(0, QPoint(0, r.height() / 2));
        QVERIFY(std::abs(w.live().curveG(2)[1].x - 0.5) < 1e-6);
        QVERIFY(std::abs(w.live().curveG(2)[1].y - 0.045) < 1e-6);
        QCOMPARE(w.live().curveG(2)[2].x, 1.0);
        close(d, "cancelButton");
    }

    void propertiesRedrawOnlyOnApplyCancelKeepsTheWindAndLoadedFilesAreUndoneOneByOne()
    {
        // Values beyond a slider's range come out at the slider's end; Cancel brings them back.
        w.live().numberOfStrands = 8000;
        auto *dialog = w.opened<AdvancedTreeProperties>("actionAdvanced_tree_properties");
        QCOMPARE(part<QSlider>(dialog, "sliderNumberOfStrands")->value(), 5000);
        QCOMPARE(w.live().numberOfStrands, 5000);
        close(dialog, "buttonCancel");
        QCOMPARE(w.live().numberOfStrands, 8000);
        w.live().numberOfStrands = 1000;

        const lignet::TreeParameters opening = w.live();
        dialog = w.opened<AdvancedTreeProperties>("actionAdvanced_tree_properties");
        auto *slider = part<QSlider>(dialog, "sliderTrinkHeight");
        slider->setValue(2500);
        QCOMPARE(w.live().trunkHeight, 2.5);
        type(part<QDoubleSpinBox>(dialog, "editTrinkHeight"), QStringLiteral("50"));
        QCOMPARE(w.live().trunkHeight, 50.0);
        QCOMPARE(slider->value(), 2500);
        part<QComboBox>(dialog, "editLeafType")->setCurrentIndex(4);
        QCOMPARE(w.live().leafType, 4);
        type(part<QDoubleSpinBox>(dialog, "editWindSpeedNodirect"), QStringLiteral("7.5"));
        QCOMPARE(w.live().windSpeedNodirect, 7.5);

        close(dialog, "buttonCancel");
        lignet::TreeParameters expected = opening;
        expected.windSpeedNodirect = 7.5;
        QCOMPARE(w.live(), expected);
        w.live().windSpeedNodirect = opening.windSpeedNodirect;

        // Without auto-proof nothing is redrawn until Apply.
        dialog = w.opened<AdvancedTreeProperties>("actionAdvanced_tree_properties");
        QTest::mouseClick(part<QCheckBox>(dialog, "cbAutoProof"), Qt::LeftButton);
        const int frames = w.settledFrames();
        part<QSlider>(dialog, "sliderGravicentralism")->setValue(8000);
        part<QSlider>(dialog, "sliderNumberOfStrands")->setValue(1500);
        QTest::qWait(60);
        QCOMPARE(w.framesDrawn(), frames);
        QTest::mouseClick(part<QPushButton>(dialog, "buttonApply"), Qt::LeftButton);
        QTRY_VERIFY(w.framesDrawn() > frames);

        // Cancel after Apply returns to the applied values.
        part<QSlider>(dialog, "sliderGravicentralism")->setValue(1000);
        close(dialog, "buttonCancel");
        QCOMPARE(w.live().gravicentralism, 0.8);
        QCOMPARE(w.live().numberOfStrands, 1500);
        steps().undo();
        QCOMPARE(w.live().gravicentralism, 0.3);
        QCOMPARE(w.live().numberOfStrands, 1000);

        // A loaded parameter file and a chosen texture are undone one by one.
        const lignet::TreeParameters start = w.live();
        lignet::TreeParameters other = start;
        other.numberOfStrands = 640;
        other.curveW(3) = lignet::Krivulja{{0, 0.2}, {0.5, 0.9}, {1, 0.4}};
        other.computeAllDistributionTables();
        const QString file = folder.filePath(QStringLiteral("other.tree.xml"));
        QVERIFY(lignet::TreeParameterFile::save(other, file.toStdString()));
        QImage texture(8, 8, QImage::Format_RGB32);
        texture.fill(Qt::darkGreen);
        const QString picture = folder.filePath(QStringLiteral("bark.png"));
        QVERIFY(texture.save(picture));

        const int stepsBefore = steps().index();
        w.trigger("actionLoad_parameters", {file});
        w.trigger("actionLoad_bark_texture", {picture});
        QCOMPARE(w.live().barkTexturePath, picture.toStdString());
        // A load that fails adds no step.
        w.trigger("actionLoad_parameters", {folder.filePath(QStringLiteral("missing.tree.xml"))});
        QCOMPARE(steps().index(), stepsBefore + 2);

        w.action("actionUndo")->trigger();
        QCOMPARE(w.live().barkTexturePath, start.barkTexturePath);
        QCOMPARE(w.live().numberOfStrands, 640);
        w.action("actionUndo")->trigger();
        QCOMPARE(w.live(), start);
        w.action("actionRedo")->trigger();
        QCOMPARE(w.live().table(3), other.table(3));
        w.action("actionUndo")->trigger();
        QCOMPARE(w.live(), start);
    }
};

VERDALIS_GUI_TEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
