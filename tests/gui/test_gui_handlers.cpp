// The time keeper's timers and frame numbering, and the reading of the driver's extension list.
#include "ecosystem/render/glextensions.h"
#include "gui/actionhandling/timekeeper.h"
#include "gui/oglwidget.h"

#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using ecosystem::render::GlExtensions;
using gui::OglWidget;
using gui::actionhandling::TimeKeeper;

class TestGuiHandlers : public QObject {
    Q_OBJECT

private:
    static QList<int> numbers(const QSignalSpy &spy)
    {
        QList<int> result;
        for (const QList<QVariant> &call : spy)
            result << call.at(0).toInt();
        return result;
    }

    static int liveTimers(const TimeKeeper &keeper)
    {
        int count = 0;
        for (QTimer *timer : keeper.findChildren<QTimer *>())
            count += timer->isActive() ? 1 : 0;
        return count;
    }

private slots:
    void extensionListIsSplitAtSingleBlanksAndComparedExactly()
    {
        const auto both =
            GlExtensions::listedIn("GL_ARB_foo GL_ARB_multitexture  GL_EXT_compiled_vertex_array");
        QVERIFY(both.queried());
        QVERIFY(both.listsMultitexture());
        QVERIFY(both.listsCompiledVertexArray());

        const auto lookalikes =
            GlExtensions::listedIn("GL_ARB_multitextures gl_ext_compiled_vertex_array GL_EXT_compiled");
        QVERIFY(lookalikes.queried());
        QVERIFY(!lookalikes.listsMultitexture());
        QVERIFY(!lookalikes.listsCompiledVertexArray());

        const auto empty = GlExtensions::listedIn("");
        QVERIFY(empty.queried());
        QVERIFY(!empty.listsMultitexture());

        const auto none = GlExtensions::listedIn(nullptr);
        QVERIFY(!none.queried());
        QVERIFY(!none.listsMultitexture());
        QVERIFY(!none.listsCompiledVertexArray());
    }

    void failoverNoticeIsGivenOnceAndOnlyIfTheFirstListedDriverLacksTheExtension()
    {
        using Notice = OglWidget::ExtensionNotice;
        const auto lacking = GlExtensions::listedIn("GL_ARB_multitexture");
        const auto having = GlExtensions::listedIn("GL_EXT_compiled_vertex_array");
        const auto unreadable = GlExtensions::listedIn(nullptr);
        const auto noticeFor = [](const GlExtensions &extensions, bool &pending) {
            return OglWidget::extensionNotice(extensions, pending);
        };

        bool pending = true;
        QCOMPARE(noticeFor(lacking, pending), Notice::CompiledVertexArrayFailover);
        QVERIFY(!pending);
        QCOMPARE(noticeFor(lacking, pending), Notice::None);

        pending = true;
        QCOMPARE(noticeFor(having, pending), Notice::None);
        QVERIFY(!pending);
        QCOMPARE(noticeFor(lacking, pending), Notice::None);

        // A driver without a list says so for every view and leaves the failover notice pending.
        pending = true;
        QCOMPARE(noticeFor(unreadable, pending), Notice::CouldNotQuery);
        QCOMPARE(noticeFor(unreadable, pending), Notice::CouldNotQuery);
        QVERIFY(pending);
        QCOMPARE(noticeFor(lacking, pending), Notice::CompiledVertexArrayFailover);
    }

    void simulationTimerExistsOnlyWhileRunningAndTicksWhenIdle()
    {
        TimeKeeper keeper(nullptr, nullptr);
        QSignalSpy steps(&keeper, &TimeKeeper::updateSimulationAndGL);
        QVERIFY(!keeper.simulationRunning());
        keeper.toggleRunSimulation();
        QVERIFY(keeper.simulationRunning());
        QTimer *timer = keeper.findChild<QTimer *>();
        QVERIFY(timer != nullptr);
        QCOMPARE(timer->interval(), 0);
        QVERIFY(!timer->isSingleShot());
        QTRY_VERIFY(steps.count() >= 3);
        keeper.toggleRunSimulation();
        QVERIFY(!keeper.simulationRunning());
        const qsizetype stepsAtStop = steps.count();
        QTest::qWait(30);
        QCOMPARE(steps.count(), stepsAtStop);
        QCOMPARE(liveTimers(keeper), 0);
    }

    void treeAndCameraTimersHaveTheirIntervalsAndStartOnlyOnce()
    {
        TimeKeeper keeper(nullptr, nullptr);
        keeper.startTreeAnimation();
        keeper.startTreeAnimation();
        QCOMPARE(liveTimers(keeper), 1);
        QCOMPARE(keeper.findChild<QTimer *>()->interval(), 20);
        keeper.stopTreeAnimation();
        keeper.stopTreeAnimation();
        QVERIFY(!keeper.treeAnimationRunning());
        QCOMPARE(liveTimers(keeper), 0);

        keeper.startCameraAnimation();
        keeper.startCameraAnimation();
        QVERIFY(keeper.cameraAnimationRunning());
        QCOMPARE(liveTimers(keeper), 1);
        QTimer *camera = nullptr;
        for (QTimer *timer : keeper.findChildren<QTimer *>())
            if (timer->isActive())
                camera = timer;
        QCOMPARE(camera->interval(), 10);
        keeper.stopCameraAnimation();
        QVERIFY(!keeper.cameraAnimationRunning());
        QCOMPARE(liveTimers(keeper), 0);
        // The stopped timers are freed once the event loop runs again.
        QTRY_COMPARE(keeper.findChildren<QTimer *>().size(), 0);
    }

    void treeTickAnimatesThenRepaintsAndCameraTickMovesThenRepaints()
    {
        TimeKeeper keeper(nullptr, nullptr);
        QStringList order;
        connect(&keeper, &TimeKeeper::animateTree, [&] { order << "animateTree"; });
        connect(&keeper, &TimeKeeper::animateCamera, [&] { order << "animateCamera"; });
        connect(&keeper, &TimeKeeper::updateOnlyGL, [&] { order << "updateOnlyGL"; });
        keeper.treeTimerUpdate();
        keeper.cameraTimerUpdate();
        QCOMPARE(order, QStringList({"animateTree", "updateOnlyGL", "animateCamera", "updateOnlyGL"}));

        order.clear();
        keeper.startTreeAnimation();
        QTRY_VERIFY(order.count("animateTree") >= 2);
        keeper.stopTreeAnimation();
    }

    void exportingAnimationNumbersGeometryBeforeAndImageAfterEachRepaint()
    {
        TimeKeeper keeper(nullptr, nullptr);
        QStringList order;
        connect(&keeper, &TimeKeeper::grabGeometry,
                [&](int n) { order << QStringLiteral("geometry %1").arg(n); });
        connect(&keeper, &TimeKeeper::updateOnlyGL, [&] { order << QStringLiteral("repaint"); });
        connect(&keeper, &TimeKeeper::grabFrameBuffer,
                [&](int n) { order << QStringLiteral("image %1").arg(n); });
        keeper.toggleAnimationExportingMode();
        keeper.treeTimerUpdate();
        keeper.cameraTimerUpdate();
        QCOMPARE(order,
                 QStringList({"geometry 0", "repaint", "image 1", "geometry 2", "repaint", "image 3"}));
    }

    void simulationExportNumbersOneImagePerStepAndStoppingRestartsTheNumbering()
    {
        TimeKeeper keeper(nullptr, nullptr);
        QSignalSpy stopped(&keeper, &TimeKeeper::sequenceExportStopped);
        QSignalSpy images(&keeper, &TimeKeeper::grabFrameBuffer);
        QSignalSpy geometry(&keeper, &TimeKeeper::grabGeometry);
        keeper.simmulationTimerUpdate();
        QCOMPARE(images.count(), 0);
        keeper.toggleAnimationExportingMode();
        QVERIFY(keeper.isExporting());
        for (int i = 0; i < 3; ++i)
            keeper.simmulationTimerUpdate();
        QCOMPARE(numbers(images), QList<int>({0, 1, 2}));
        QCOMPARE(geometry.count(), 0);
        keeper.forceUpdateGl();
        QCOMPARE(keeper.nextFrameNumber(), 5);
        QCOMPARE(stopped.count(), 0);
        keeper.toggleAnimationExportingMode();
        QCOMPARE(stopped.count(), 1);
        QCOMPARE(keeper.nextFrameNumber(), 0);
        keeper.forceUpdateGl();
        QCOMPARE(images.count(), 4);
        keeper.toggleAnimationExportingMode();
        QCOMPARE(stopped.count(), 1);
        keeper.simmulationTimerUpdate();
        QCOMPARE(numbers(images), QList<int>({0, 1, 2, 4, 0}));
        QCOMPARE(numbers(geometry), QList<int>({3}));
    }
};

// The views share their contexts as in the program, which asks for it before the application starts.
int main(int argc, char *argv[])
{
    gui::OglWidget::prepareApplication();
    QApplication application(argc, argv);
    TestGuiHandlers tests;
    return QTest::qExec(&tests, argc, argv);
}
#include "test_gui_handlers.moc"
