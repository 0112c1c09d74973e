#pragma once

// The class of the dialog tests: the real main window opened once for the ecosystem dialogs
// (test_dialogs.cpp), the distribution designers (test_designers.cpp) and the advanced tree
// properties with undo and redo (test_propertiesundo.cpp); the gestures on a designer's graph and
// the closing of a dialog by its button, which the last two share.
#include "ecosystem/render/camera.h"
#include "ecosystem/simulation/simulationstatistics.h"
#include "gui/design/advancedtreeproperties.h"
#include "gui/design/distributiondesigner.h"
#include "gui/design/hoverpoints.h"
#include "gui/design/widgetgraph.h"
#include "gui/dialogs/ecosystemstatistics.h"
#include "gui/parameterhistory.h"
#include "guitest.h"

#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>

using gui::AdvancedTreeProperties;
using gui::DistributionDesigner;
using gui::EcosystemStatistics;
using guitest::part;

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
    void release(QPoint at, Qt::MouseButton b = Qt::LeftButton) const
    {
        QTest::mouseRelease(graph, b, {}, at);
    }
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
inline void close(QDialog *dialog, const char *button)
{
    QPointer<QDialog> guard(dialog);
    QTest::mouseClick(part<QPushButton>(dialog, button), Qt::LeftButton);
    QTRY_VERIFY(guard.isNull());
}

class TestDialogs : public QObject {
    Q_OBJECT

    guitest::Window w;
    QTemporaryDir folder;

    const ecosystem::SimulationStatistics &statistics() const { return w.model()->getStatistics(); }

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

    ecosystem::render::Camera &camera() const { return *w.model()->getCamera(); }

    DistributionDesigner *designer(const char *actionName) const
    {
        return w.opened<DistributionDesigner>(actionName);
    }
    AdvancedTreeProperties *properties() const
    {
        return w.opened<AdvancedTreeProperties>("actionAdvanced_tree_properties");
    }
    QUndoStack &steps() const { return w.window->parameterHistory()->stack(); }
    void undoKey(Qt::KeyboardModifiers extra = {}) const
    {
        QTest::keyClick(w.window.get(), Qt::Key_Z, Qt::ControlModifier | extra);
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

    void plotIsLogarithmicAndEmptyBeforeTheFirstRecord();
    void opensOnTheLivingCurveOfTheFirstSpeciesOncePerTrigger();
    void speciesChoiceRenderedOnlyAndStepsFollowTheStatistics();
    void csvHoldsEveryStepAndCancelOrAFullDiskKeepTheFiles();
    void seedsEditorShowsTheStatesAndSendsWhatWasTyped();
    void plantAreaAppliesEachChangeAtOnceAndZeroBecomesOne();
    void navigationPanelFollowsTheCameraAndItsButtonsMoveIt();
    void helpAndAboutShowTheirDocumentAndPicture();
    void everyDesignActionOpensItsDesignerOnTheLiveCurves_data();
    void everyDesignActionOpensItsDesignerOnTheLiveCurves();
    void dragChangesTheTreeOnScreenAtOnceAndEndPointsKeepTheirX();
    void aClickBetweenTwoPointsInsertsOneThatARightClickRemoves();
    void withAutoProofOffDraggingLeavesTheTreeAndOkKeepsIt();
    void cancelAfterEditsRestoresCurvesTablesAndPictureAsOneUndoableStep();
    void heldButtonOverAGraphHighlightsTheOrdersUnderTheMouse();
    void designersEditTheirOwnTreeAndDistribution();
    void resizingADesignerScalesItsPointsSoTheCurveStaysTheSame();
    void propertiesSlidersConvertSpinBoxesStoreAsTypedAndCancelKeepsTheNonuniformWind();
    void propertiesWithoutAutoProofRedrawNothingUntilApply();
    void undoAndRedoGoAcrossADesignerDragAndAPropertiesApply();
    void aLoadedParameterFileAndAChosenTextureAreUndoneOneByOne();
};
