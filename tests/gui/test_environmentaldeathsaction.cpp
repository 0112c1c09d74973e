// "Environmental deaths" in the simulation menu of the real window: the action switches the
// simulation's option both ways, its check mark follows the simulation, and while the option is on
// the status bar counts the deaths by environment.
#include "ecosystem/render/ecosystemrender.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "ecosystem/simulation/simulationstatistics.h"
#include "gui/mainwindow.h"
#include "gui/oglwidget.h"
#include "stdoutcapture.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QtTest>

#include <memory>
#include <numeric>

using ecosystem::render::EcosystemRender;
using gui::MainWindow;

class TestEnvironmentalDeathsAction : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindow> window;

    QAction *action(const char *name) const
    {
        auto *a = window->findChild<QAction *>(QString::fromLatin1(name));
        if (a == nullptr)
            qFatal("no action %s", name);
        return a;
    }
    QAction *environmentalDeaths() const { return action("actionEnvironmentalDeaths"); }
    ecosystem::EcosystemSimulation &simulation() const { return window->model()->getSimulation(); }

    // The text of the status bar's simulation figures, empty while hidden.
    QString simulationStatus() const
    {
        auto *label = window->statusBar()->findChild<QLabel *>(QStringLiteral("statusSimulation"));
        if (label == nullptr)
            qFatal("no simulation status label");
        return label->isHidden() ? QString() : label->text();
    }

    int livingPlants() const
    {
        const std::vector<int> counts = simulation().livingCounts();
        return std::accumulate(counts.begin(), counts.end(), 0);
    }

    // Steps as the running program does, keeping the log lines off the test's output.
    void step(int count)
    {
        StdoutCapture console;
        for (int i = 0; i < count; ++i)
            window->model()->simulateNextStepAndUpdateGL();
    }

private slots:
    void initTestCase()
    {
        window = std::make_unique<MainWindow>();
        window->move(40, 30);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTRY_VERIFY_WITH_TIMEOUT(window->model() != nullptr, 20000);
        // Trees are slow to draw in software and nothing here looks at them.
        action("actionDo_not_draw_trees_ecosystem_mode")->trigger();
    }

    void cleanupTestCase() { window.reset(); }

    void offByDefaultInTheSimulationMenu()
    {
        auto *menu = window->menuBar()->findChild<QMenu *>(QStringLiteral("menu_Simulation"));
        QVERIFY(menu != nullptr);
        QVERIFY(menu->actions().contains(environmentalDeaths()));
        QCOMPARE(environmentalDeaths()->text(), QStringLiteral("Environmental deaths"));
        QVERIFY(environmentalDeaths()->isCheckable());
        QVERIFY(!environmentalDeaths()->isChecked());
        QVERIFY(!simulation().environmentalDeaths());
    }

    void actionSwitchesTheOptionBothWays()
    {
        for (const bool on : {true, false}) {
            environmentalDeaths()->trigger();
            QCOMPARE(simulation().environmentalDeaths(), on);
            QCOMPARE(environmentalDeaths()->isChecked(), on);
        }
    }

    void checkMarkFollowsTheSimulation()
    {
        // Switched on the simulation itself: the next step brings the menu in line.
        for (const bool on : {true, false}) {
            simulation().setEnvironmentalDeaths(on);
            step(1);
            QCOMPARE(environmentalDeaths()->isChecked(), on);
        }
    }

    void statusBarCountsDeathsByEnvironmentWhileOn()
    {
        environmentalDeaths()->trigger();
        QVERIFY(simulation().environmentalDeaths());
        step(30);
        const int deaths = simulation().statistics().environmentDeaths();
        QVERIFY(deaths > 0);
        QVERIFY(deaths <= simulation().statistics().allDeaths());
        QTRY_COMPARE_WITH_TIMEOUT(simulationStatus(),
                                  QStringLiteral("Step %1, living plants: %2, deaths by environment: %3")
                                      .arg(simulation().step())
                                      .arg(livingPlants())
                                      .arg(deaths),
                                  1000);

        // Off again: the figures go back to the step and the living plants.
        environmentalDeaths()->trigger();
        QVERIFY(!environmentalDeaths()->isChecked());
        QTRY_COMPARE_WITH_TIMEOUT(
            simulationStatus(),
            QStringLiteral("Step %1, living plants: %2").arg(simulation().step()).arg(livingPlants()), 1000);
    }
};

int main(int argc, char *argv[])
{
    gui::OglWidget::prepareApplication();
    QApplication application(argc, argv);
    TestEnvironmentalDeathsAction tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "test_environmentaldeathsaction.moc"
