// The ecosystem dialogs of the real main window, run as a person would use them, with mouse and
// keyboard input as a user gives it: the ecosystem statistics (plot, species, "rendered only",
// read-out, live update, CSV), seeds, plant area, navigation panel, help and about.
#include "core/filesizelimit.h"
#include "dialogstest.h"
#include "ecosystem/simulation/statisticscsv.h"
#include "gui/actionhandling/navigationhandler.h"
#include "gui/actionhandling/timekeeper.h"
#include "gui/dialogs/navigationpanel.h"
#include "gui/dialogs/randomgeneratorseedseditor.h"
#include "gui/dialogs/statisticsgraph.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>
#include <QTextBrowser>

#include <cmath>
#include <vector>

using Seeds = std::vector<unsigned long long>;

namespace {

QString value(const EcosystemStatistics *dialog)
{
    return part<QLabel>(dialog, "currentValue")->text();
}
QString shown(double x, double count)
{
    return QStringLiteral("(%1, %2)").arg(x).arg(count);
}
QPolygonF expectedPlot(const lignet::Krivulja &series, const EcosystemStatistics *dialog)
{
    return EcosystemStatistics::plotPoints(series, dialog->graph()->height());
}

} // namespace

void TestDialogs::plotIsLogarithmicAndEmptyBeforeTheFirstRecord()
{
    const double e = std::exp(1.0);
    const QPolygonF points = EcosystemStatistics::plotPoints({{0, 1}, {1, e}, {2, e * e}, {3, 0}}, 200);
    QCOMPARE(points, QPolygonF({{0, 200}, {1, 180}, {2, 160}, {3, 200}}));

    // No series yet: an empty graph, whatever is chosen.
    ecosystem::SimulationStatistics own;
    EcosystemStatistics dialog(w.window.get(), &own);
    part<QComboBox>(&dialog, "izbranaVrsta")->setCurrentIndex(4);
    part<QCheckBox>(&dialog, "showOnlyRenderedOnes")->setChecked(true);
    dialog.nrPlantsRenderedChanged();
    QVERIFY(dialog.graph()->points().isEmpty());
    QCOMPARE(value(&dialog), QStringLiteral("0"));
}

void TestDialogs::opensOnTheLivingCurveOfTheFirstSpeciesOncePerTrigger()
{
    QPointer<EcosystemStatistics> first = openDialog();
    QPointer<EcosystemStatistics> second = openDialog();
    QVERIFY(first && second && first != second && !first->isModal());
    auto *species = part<QComboBox>(first, "izbranaVrsta");
    QStringList names;
    for (int i = 0; i < species->count(); ++i)
        names << species->itemText(i);
    QCOMPARE(names, QStringList({"Bush", "Weeping willow", "Maple", "Pine", "Beech"}));
    QCOMPARE(species->currentIndex(), 0);
    const lignet::Krivulja &bushes = statistics().livingSeries().at(0);
    QCOMPARE(bushes.size(), std::size_t(3));
    QCOMPARE(first->graph()->points(), expectedPlot(bushes, first));
    QCOMPARE(value(first), shown(2, bushes[2].y));

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

void TestDialogs::speciesChoiceRenderedOnlyAndStepsFollowTheStatistics()
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
    w.view()->updateGL();
    QTRY_VERIFY(drawnPines.size() > frames);
    QCOMPARE(dialog->graph()->points(), expectedPlot(drawnPines, dialog));
    QCOMPARE(value(dialog), shown(double(drawnPines.size() - 1), drawnPines.points().back().y));

    // Without it every step plots the living curve again.
    QTest::mouseClick(renderedOnly, Qt::LeftButton, {}, QPoint(4, 4));
    w.model()->simulateNextStepAndUpdateGL();
    QCOMPARE(pines.size(), std::size_t(4));
    QCOMPARE(dialog->graph()->points(), expectedPlot(pines, dialog));
    QCOMPARE(value(dialog), shown(3, pines[3].y));

    // A held button reads year and plants; without one the mouse reads nothing, and no click
    // ever edits the plot.
    gui::StatisticsGraph *graph = dialog->graph();
    const QPolygonF plotted = graph->points();
    const int h = graph->height();
    QTest::mousePress(graph, Qt::RightButton, {}, QPoint(10, h - 20));
    QCOMPARE(value(dialog), QStringLiteral("(10, 2.71828)"));
    QTest::mouseMove(graph, QPoint(30, h - 40));
    QCOMPARE(value(dialog), QStringLiteral("(30, 7.38906)"));
    QTest::mouseRelease(graph, Qt::RightButton, {}, QPoint(30, h - 40));
    QTest::mouseMove(graph, QPoint(50, h));
    QCOMPARE(value(dialog), QStringLiteral("(30, 7.38906)"));
    QTest::mouseClick(graph, Qt::LeftButton, {}, QPoint(60, h / 2));
    QCOMPARE(graph->points(), plotted);
    dialog->close();
}

void TestDialogs::csvHoldsEveryStepAndCancelOrAFullDiskKeepTheFiles()
{
    EcosystemStatistics *dialog = openDialog();
    QVERIFY(dialog != nullptr);
    const QString file = folder.filePath(QStringLiteral("forest.csv"));
    saveCsv(dialog, file);
    QCOMPARE(w.dialogs->fileFilters, QStringList{"CSV files (*.csv)"});
    QVERIFY(w.dialogs->texts.isEmpty());
    const QByteArray written = guitest::contentOf(file);
    // The rows themselves are the statistics' own CSV text.
    QCOMPARE(written.toStdString(), ecosystem::statisticsCsv(statistics()));
    QVERIFY(written.startsWith("step,Bush living,Bush rendered,Weeping willow living,"));

    // Cancel writes nothing and says nothing.
    saveCsv(dialog, QString());
    QVERIFY(w.dialogs->texts.isEmpty());
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"forest.csv"});
    // A failed write is told and keeps the previous file, with no temporary one left.
    w.model()->simulateNextStepAndUpdateGL();
    {
        const testsupport::FileSizeLimit full;
        saveCsv(dialog, file);
    }
    QCOMPARE(w.dialogs->titles, QStringList{"Error"});
    QCOMPARE(w.dialogs->texts, QStringList{"Could not save file."});
    QVERIFY(!w.dialogs->details.first().isEmpty());
    QCOMPARE(guitest::contentOf(file), written);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"forest.csv"});
    dialog->close();
}

void TestDialogs::seedsEditorShowsTheStatesAndSendsWhatWasTyped()
{
    const Seeds start = w.model()->getRandomGeneratorSeeds();
    Seeds shown;
    w.answer("actionEdit_random_generator_seeds", "okButton", [&shown](QDialog &dialog) {
        for (const QLineEdit *edit : static_cast<gui::RandomGeneratorSeedsEditor &>(dialog).seedEdits())
            shown.push_back(edit->text().toULongLong());
        QCOMPARE(part<QLineEdit>(&dialog, "randomTimeOfDeath")->maxLength(), 10);
    });
    QCOMPARE(shown, start);
    QCOMPARE(w.model()->getRandomGeneratorSeeds(), start);

    // The largest state has ten digits.
    const auto type = [](const char *edit, const char *text) {
        return [edit, text](QDialog &dialog) {
            part<QLineEdit>(&dialog, edit)->setText(QString::fromLatin1(text));
        };
    };
    w.answer("actionEdit_random_generator_seeds", "okButton", type("randomTimeOfDeath", "8589934591"));
    Seeds expected = start;
    expected[12] = 8589934591ULL;
    QCOMPARE(w.model()->getRandomGeneratorSeeds(), expected);
    // Cancel sends nothing.
    w.answer("actionEdit_random_generator_seeds", "cancelButton", type("randomGrowClose", "77"));
    QCOMPARE(w.model()->getRandomGeneratorSeeds(), expected);
    w.model()->setRandomGeneratorSeeds(start);

    const struct {
        const char *text;
        unsigned long long value;
    } parses[] = {{"42", 42}, {" 7 ", 7}, {"", 0}, {"1e3", 0}, {"+3", 3}, {"-0", 0}, {"-5", 0}, {"abc", 0}};
    for (const auto &p : parses)
        QCOMPARE(gui::RandomGeneratorSeedsEditor::parseSeed(QString::fromLatin1(p.text)), p.value);
}

void TestDialogs::plantAreaAppliesEachChangeAtOnceAndZeroBecomesOne()
{
    const int maxX = w.model()->getLupaMaxX();
    w.answer("actionSet_plant_area", "cancelButton", [this, maxX](QDialog &dialog) {
        auto *minX = part<QSpinBox>(&dialog, "minX");
        QCOMPARE(minX->value(), w.model()->getLupaMinX());
        minX->setValue(0);
        QCOMPARE(minX->value(), 1);
        QCOMPARE(part<QSlider>(&dialog, "horizontalSlider")->value(), 1);
        QCOMPARE(w.model()->getLupaMinX(), 1);
        part<QSlider>(&dialog, "horizontalSlider_2")->setValue(maxX - 3);
    });
    QCOMPARE(w.model()->getLupaMinX(), 1);
    QCOMPARE(w.model()->getLupaMaxX(), maxX - 3);
}

void TestDialogs::navigationPanelFollowsTheCameraAndItsButtonsMoveIt()
{
    w.action("actionReset_camera_view")->trigger();
    camera().heading = 270.0f;
    w.action("action_Navigation_panel")->trigger();
    auto *handler = w.window->navigationHandler();
    gui::NavigationPanel *panel = handler->navigationPanel();
    QVERIFY(panel != nullptr && panel->isVisible() && !panel->isModal());
    QCOMPARE(panel->x()->value(), int(camera().position.x));
    QCOMPARE(panel->z()->value(), int(camera().position.z));
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
    part<QPushButton>(panel, "pushButton_9")->click();
    QCOMPARE(panel->roll()->value(), int(camera().lookPitch));
    const float x = camera().position.x;
    part<QPushButton>(panel, "pushButton_14")->click();
    QCOMPARE(camera().position.x, float(int(x) + 1));
    part<QPushButton>(panel, "pushButton_7")->click();
    QCOMPARE(panel->y()->value(), int(camera().position.y));

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

void TestDialogs::helpAndAboutShowTheirDocumentAndPicture()
{
    QString html;
    w.answer("actionUsage", "okButton", [&html](QDialog &dialog) {
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Verdalis Help"));
        html = part<QTextBrowser>(&dialog, "textBrowser")->toPlainText();
    });
    QVERIFY(html.contains(QStringLiteral("design tree branching angles.")));
    QVERIFY(html.contains(QString::fromUtf8("Backspace moves down and Đ moves up.")));

    bool picture = false;
    QString text;
    w.answer("actionAbout", "okButton", [&](QDialog &dialog) {
        QCOMPARE(dialog.windowTitle(), QStringLiteral("About Verdalis"));
        picture = !part<QLabel>(&dialog, "label_2")->pixmap().isNull();
        text = part<QLabel>(&dialog, "label")->text();
    });
    QVERIFY(picture);
    QVERIFY(text.contains(QStringLiteral("Version 1.0.0.")));
    QVERIFY(w.dialogs->texts.isEmpty());
}

VERDALIS_GUI_TEST_MAIN(TestDialogs)
