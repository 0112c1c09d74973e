// The time keeper's frame numbering and the reading of the driver's extension list.
#include "ecosystem/render/glextensions.h"
#include "gui/actionhandling/timekeeper.h"
#include "guitest.h"

#include <QSignalSpy>

using ecosystem::render::GlExtensions;
using gui::OglWidget;
using gui::actionhandling::TimeKeeper;

class TestGuiHandlers : public QObject {
    Q_OBJECT

    static QList<int> numbers(const QSignalSpy &spy)
    {
        QList<int> result;
        for (const QList<QVariant> &call : spy)
            result << call.at(0).toInt();
        return result;
    }

private slots:
    void extensionListIsSplitAtSingleBlanksAndComparedExactly()
    {
        const struct {
            const char *list;
            bool multitexture, compiledVertexArray;
        } lists[] = {{"GL_ARB_foo GL_ARB_multitexture  GL_EXT_compiled_vertex_array", true, true},
                     {"GL_ARB_multitextures gl_ext_compiled_vertex_array GL_EXT_compiled", false, false},
                     {"", false, false}};
        for (const auto &[list, multitexture, compiledVertexArray] : lists) {
            const auto listed = GlExtensions::listedIn(list);
            QVERIFY2(listed.queried(), list);
            QVERIFY2(listed.listsMultitexture() == multitexture, list);
            QVERIFY2(listed.listsCompiledVertexArray() == compiledVertexArray, list);
        }
        QVERIFY(!GlExtensions::listedIn(nullptr).queried());
    }

    void failoverNoticeIsGivenOnceAndOnlyIfTheFirstListedDriverLacksTheExtension()
    {
        using Notice = OglWidget::ExtensionNotice;
        const auto lacking = GlExtensions::listedIn("GL_ARB_multitexture");
        const auto having = GlExtensions::listedIn("GL_EXT_compiled_vertex_array");
        const auto unreadable = GlExtensions::listedIn(nullptr);
        bool pending = true;
        QCOMPARE(OglWidget::extensionNotice(lacking, pending), Notice::CompiledVertexArrayFailover);
        QVERIFY(!pending);
        QCOMPARE(OglWidget::extensionNotice(lacking, pending), Notice::None);
        pending = true;
        QCOMPARE(OglWidget::extensionNotice(having, pending), Notice::None);
        QCOMPARE(OglWidget::extensionNotice(lacking, pending), Notice::None);
        // A driver without a list says so for every view and leaves the failover notice pending.
        pending = true;
        QCOMPARE(OglWidget::extensionNotice(unreadable, pending), Notice::CouldNotQuery);
        QCOMPARE(OglWidget::extensionNotice(unreadable, pending), Notice::CouldNotQuery);
        QCOMPARE(OglWidget::extensionNotice(lacking, pending), Notice::CompiledVertexArrayFailover);
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
        for (int i = 0; i < 3; ++i)
            keeper.simmulationTimerUpdate();
        keeper.forceUpdateGl();
        QCOMPARE(keeper.nextFrameNumber(), 5);
        QCOMPARE(stopped.count(), 0);
        keeper.toggleAnimationExportingMode();
        QCOMPARE(stopped.count(), 1);
        QCOMPARE(keeper.nextFrameNumber(), 0);
        keeper.forceUpdateGl();
        QCOMPARE(images.count(), 4);
        keeper.toggleAnimationExportingMode();
        keeper.simmulationTimerUpdate();
        QCOMPARE(numbers(images), QList<int>({0, 1, 2, 4, 0}));
        QCOMPARE(numbers(geometry), QList<int>({3}));
    }
};

VERDALIS_GUI_TEST_MAIN(TestGuiHandlers)
#include "test_gui_handlers.moc"
