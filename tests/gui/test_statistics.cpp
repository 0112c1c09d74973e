// The ecosystem statistics dialog on the real main window: the logarithmic plot, the species
// choice, "rendered only", the read-out under a held mouse button, the live update and the CSV file.
#include "answeringdialogs.h"
#include "ecosystem/render/ecosystemrender.h"
#include "ecosystem/simulation/simulationstatistics.h"
#include "gui/dialogs/ecosystemstatistics.h"
#include "gui/dialogs/statisticsgraph.h"
#include "gui/mainwindow.h"
#include "gui/oglwidget.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cmath>
#include <memory>

using gui::EcosystemStatistics;

namespace {

// Makes file permissions bind this thread even when it runs as root, so a folder without write
// permission really cannot be written.
class PermissionsEnforced {
public:
    PermissionsEnforced()
    {
        syscall(SYS_capget, &header, saved);
        __user_cap_data_struct reduced[2] = {saved[0], saved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        syscall(SYS_capset, &header, reduced);
    }
    ~PermissionsEnforced() { syscall(SYS_capset, &header, saved); }

private:
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved[2]{};
};

QByteArray contentOf(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestStatistics : public QObject {
    Q_OBJECT

    std::unique_ptr<gui::MainWindow> window;
    AnsweringDialogs *dialogs = nullptr;
    QTemporaryDir folder;

    ecosystem::render::EcosystemRender *model() const { return window->model(); }
    const ecosystem::SimulationStatistics &statistics() const { return model()->getStatistics(); }
    QAction *action(const char *name) const
    {
        return window->findChild<QAction *>(QString::fromLatin1(name));
    }

    template <typename T> static T *part(const EcosystemStatistics *dialog, const char *name)
    {
        return dialog->findChild<T *>(QString::fromLatin1(name));
    }
    static QString value(const EcosystemStatistics *dialog)
    {
        return part<QLabel>(dialog, "currentValue")->text();
    }
    static QString shown(double x, double count) { return QStringLiteral("(%1, %2)").arg(x).arg(count); }
    static QPolygonF expectedPlot(const lignet::Krivulja &series, const EcosystemStatistics *dialog)
    {
        return EcosystemStatistics::plotPoints(series, dialog->graph()->height());
    }

    // Opens the statistics as the user does and waits until the new dialog is on screen.
    EcosystemStatistics *openDialog()
    {
        const auto before = window->findChildren<EcosystemStatistics *>();
        action("actionShow_statistics")->trigger();
        EcosystemStatistics *opened = nullptr;
        for (EcosystemStatistics *dialog : window->findChildren<EcosystemStatistics *>())
            if (!before.contains(dialog))
                opened = dialog;
        if (opened != nullptr && !QTest::qWaitForWindowExposed(opened))
            return nullptr;
        return opened;
    }

    void saveCsv(EcosystemStatistics *dialog, const QString &answer)
    {
        dialogs->clear();
        dialogs->fileAnswers = QStringList{answer};
        QTest::mouseClick(part<QPushButton>(dialog, "saveCsvButton"), Qt::LeftButton);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(folder.isValid());
        window = std::make_unique<gui::MainWindow>();
        auto answering = std::make_unique<AnsweringDialogs>();
        dialogs = answering.get();
        window->setDialogService(std::move(answering));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTRY_VERIFY_WITH_TIMEOUT(window->model() != nullptr, 20000);
        action("actionDo_not_draw_trees_ecosystem_mode")->trigger();
        for (int step = 0; step < 3; ++step)
            model()->simulateNextStepAndUpdateGL();
        window->firstView()->updateGL();
        QTRY_VERIFY(!statistics().renderedSeries().empty());
    }

    void cleanupTestCase() { window.reset(); }

    void plotIsLogarithmicAndEmptyBeforeTheFirstRecord()
    {
        const double e = std::exp(1.0);
        const QPolygonF points = EcosystemStatistics::plotPoints({{0, 1}, {1, e}, {2, e * e}, {3, 0}}, 200);
        QCOMPARE(points, QPolygonF({{0, 200}, {1, 180}, {2, 160}, {3, 200}}));

        // No series yet: an empty graph, whatever is chosen.
        ecosystem::SimulationStatistics own;
        EcosystemStatistics dialog(window.get(), &own);
        part<QComboBox>(&dialog, "izbranaVrsta")->setCurrentIndex(4);
        part<QCheckBox>(&dialog, "showOnlyRenderedOnes")->setChecked(true);
        dialog.nrPlantsRenderedChanged();
        QVERIFY(dialog.graph()->points().isEmpty());
        QCOMPARE(value(&dialog), QStringLiteral("0"));

        // Whole counts through the dialog, on the graph's laid-out height.
        part<QComboBox>(&dialog, "izbranaVrsta")->setCurrentIndex(0);
        part<QCheckBox>(&dialog, "showOnlyRenderedOnes")->setChecked(false);
        for (const int count : {1, 20, 400})
            own.recordLiving({count});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.nrPlantsLivingChanged();
        const double h = dialog.graph()->height();
        QVERIFY(h > 100);
        QCOMPARE(dialog.graph()->points(),
                 QPolygonF({{0, h}, {1, h - 20 * std::log(20.0)}, {2, h - 20 * std::log(400.0)}}));
        QCOMPARE(value(&dialog), QStringLiteral("(2, 400)"));
    }

    void opensOnTheLivingCurveOfTheFirstSpeciesOncePerTrigger()
    {
        const auto before = window->findChildren<EcosystemStatistics *>().size();
        QPointer<EcosystemStatistics> first = openDialog();
        QPointer<EcosystemStatistics> second = openDialog();
        QVERIFY(first && second && first != second && !first->isModal());
        QCOMPARE(window->findChildren<EcosystemStatistics *>().size(), before + 2);
        QCOMPARE(first->windowTitle(), QStringLiteral("Ecosystem statistics"));
        auto *species = part<QComboBox>(first, "izbranaVrsta");
        QStringList names;
        for (int i = 0; i < species->count(); ++i)
            names << species->itemText(i);
        QCOMPARE(names, QStringList({"Bush", "Weeping willow", "Maple", "Pine", "Beech"}));
        QCOMPARE(species->currentIndex(), 0);
        QVERIFY(!part<QCheckBox>(first, "showOnlyRenderedOnes")->isChecked());

        const lignet::Krivulja &bushes = statistics().livingSeries().at(0);
        QCOMPARE(bushes.size(), std::size_t(3));
        QCOMPARE(first->graph()->points(), expectedPlot(bushes, first));
        QCOMPARE(value(first), shown(2, bushes[2].y));
        QCOMPARE(first->graph()->connectionPen(),
                 QPen(QColor(255, 255, 255, 200), 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));

        // "Close" accepts; closed dialogs are freed, the other one stays open.
        QSignalSpy finished(first.data(), &QDialog::finished);
        QTest::mouseClick(part<QPushButton>(first, "closeButton"), Qt::LeftButton);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toInt(), int(QDialog::Accepted));
        QTRY_VERIFY(first.isNull());
        QVERIFY(second->isVisible());
        second->close();
        QTRY_VERIFY(second.isNull());
    }

    void speciesChoiceRenderedOnlyAndStepsFollowTheStatistics()
    {
        EcosystemStatistics *dialog = openDialog();
        QVERIFY(dialog != nullptr);
        part<QComboBox>(dialog, "izbranaVrsta")->setCurrentIndex(3);
        const lignet::Krivulja &pines = statistics().livingSeries().at(3);
        QCOMPARE(dialog->graph()->points(), expectedPlot(pines, dialog));
        QCOMPARE(value(dialog), shown(2, pines[2].y));
        // Ticking the box alone changes nothing; the next drawn frame brings the drawn plants.
        auto *renderedOnly = part<QCheckBox>(dialog, "showOnlyRenderedOnes");
        QTest::mouseClick(renderedOnly, Qt::LeftButton, {}, QPoint(4, 4));
        QVERIFY(renderedOnly->isChecked());
        QCOMPARE(dialog->graph()->points(), expectedPlot(pines, dialog));
        const lignet::Krivulja &drawnPines = statistics().renderedSeries().at(3);
        const std::size_t frames = drawnPines.size();
        window->firstView()->updateGL();
        QTRY_VERIFY(drawnPines.size() > frames);
        QCOMPARE(dialog->graph()->points(), expectedPlot(drawnPines, dialog));
        QCOMPARE(value(dialog), shown(double(drawnPines.size() - 1), drawnPines.points().back().y));

        // Without it every step plots the living curve again.
        QTest::mouseClick(renderedOnly, Qt::LeftButton, {}, QPoint(4, 4));
        model()->simulateNextStepAndUpdateGL();
        QCOMPARE(pines.size(), std::size_t(4));
        QCOMPARE(dialog->graph()->points(), expectedPlot(pines, dialog));
        QCOMPARE(value(dialog), shown(3, pines[3].y));
        dialog->close();
    }

    void heldMouseButtonReadsYearAndPlants()
    {
        EcosystemStatistics *dialog = openDialog();
        QVERIFY(dialog != nullptr);
        gui::StatisticsGraph *graph = dialog->graph();
        const QPolygonF plotted = graph->points();
        const int h = graph->height();
        QTest::mousePress(graph, Qt::RightButton, {}, QPoint(10, h - 20));
        QCOMPARE(value(dialog), QStringLiteral("(10, 2.71828)"));
        QTest::mouseMove(graph, QPoint(30, h - 40));
        QCOMPARE(value(dialog), QStringLiteral("(30, 7.38906)"));
        QTest::mouseRelease(graph, Qt::RightButton, {}, QPoint(30, h - 40));
        // Without a button held the mouse reads nothing, and no click ever edits the plot.
        QTest::mouseMove(graph, QPoint(50, h));
        QCOMPARE(value(dialog), QStringLiteral("(30, 7.38906)"));
        QTest::mouseClick(graph, Qt::LeftButton, {}, QPoint(60, h / 2));
        QCOMPARE(graph->points(), plotted);
        dialog->close();
    }

    void csvHoldsEveryStepAndCancelWritesNothing()
    {
        EcosystemStatistics *dialog = openDialog();
        QVERIFY(dialog != nullptr);
        // A frame drawn after the last step gives its drawn plants.
        const std::size_t frames = statistics().renderedSeries().at(0).size();
        window->firstView()->updateGL();
        QTRY_VERIFY(statistics().renderedSeries().at(0).size() > frames);

        const QString file = folder.filePath(QStringLiteral("forest.csv"));
        saveCsv(dialog, file);
        QCOMPARE(dialogs->fileFilters, QStringList{"CSV files (*.csv)"});
        QVERIFY(dialogs->texts.isEmpty());
        const QList<QByteArray> lines = contentOf(file).split('\n');
        const auto &living = statistics().livingSeries();
        const auto &rendered = statistics().renderedSeries();
        QCOMPARE(lines.size(), qsizetype(living[0].size()) + 2); // header, steps, empty after last '\n'
        QCOMPARE(lines.first(), QByteArray("step,Bush living,Bush rendered,Weeping willow living,"
                                           "Weeping willow rendered,Maple living,Maple rendered,"
                                           "Pine living,Pine rendered,Beech living,Beech rendered"));
        QVERIFY(lines.last().isEmpty());
        for (std::size_t step = 0; step < living[0].size(); ++step) {
            const QList<QByteArray> cells = lines[qsizetype(step) + 1].split(',');
            QCOMPARE(cells.size(), 11);
            QCOMPARE(cells[0].toInt(), int(step));
            for (std::size_t s = 0; s < 5; ++s)
                QCOMPARE(cells[qsizetype(2 * s + 1)].toDouble(), living[s][step].y);
        }
        // The last step's drawn plants are those of the frame drawn last.
        const QList<QByteArray> last = lines[lines.size() - 2].split(',');
        for (std::size_t s = 0; s < 5; ++s)
            QCOMPARE(last[qsizetype(2 * s + 2)].toDouble(), rendered[s].points().back().y);

        // Cancel writes nothing and says nothing.
        const QStringList files = QDir(folder.path()).entryList(QDir::Files);
        saveCsv(dialog, QString());
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), files);
        QVERIFY(dialogs->texts.isEmpty());
        dialog->close();
    }

    void failedWriteIsToldAndKeepsThePreviousFile()
    {
        EcosystemStatistics *dialog = openDialog();
        QVERIFY(dialog != nullptr);
        const QString locked = folder.filePath(QStringLiteral("locked"));
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("locked")));
        const QString file = locked + QStringLiteral("/forest.csv");
        {
            QFile previous(file);
            QVERIFY(previous.open(QIODevice::WriteOnly));
            previous.write("previous\n");
        }
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
        {
            PermissionsEnforced enforced;
            saveCsv(dialog, file);
        }
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(dialogs->titles, QStringList{"Error"});
        QCOMPARE(dialogs->texts, QStringList{"Could not save file."});
        QVERIFY(!dialogs->details.first().isEmpty());
        QCOMPARE(contentOf(file), QByteArray("previous\n"));
        QCOMPARE(QDir(locked).entryList(QDir::Files | QDir::Hidden), QStringList{"forest.csv"});
        dialog->close();
    }
};

// The views share their contexts as in the program, which asks for it before the application starts.
int main(int argc, char *argv[])
{
    gui::OglWidget::prepareApplication();
    QApplication application(argc, argv);
    TestStatistics tests;
    return QTest::qExec(&tests, argc, argv);
}
#include "test_statistics.moc"
