// The auxiliary dialogs on the real main window: seeds, plant area, navigation panel, help and
// about, each run through the dialog seam as a person would use it.
#include "answeringdialogs.h"
#include "ecosystem/render/camera.h"
#include "ecosystem/render/ecosystemrender.h"
#include "gui/actionhandling/navigationhandler.h"
#include "gui/actionhandling/timekeeper.h"
#include "gui/dialogs/help.h"
#include "gui/dialogs/navigationpanel.h"
#include "gui/dialogs/randomgeneratorseedseditor.h"
#include "gui/mainwindow.h"
#include "gui/oglwidget.h"

#include <QAbstractSlider>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTextBrowser>
#include <QtTest>

#include <memory>
#include <vector>

using Seeds = std::vector<unsigned long long>;

class TestDialogs : public QObject {
    Q_OBJECT

    std::unique_ptr<gui::MainWindow> window;
    AnsweringDialogs *dialogs = nullptr;

    ecosystem::render::EcosystemRender *model() const { return window->model(); }
    ecosystem::render::Camera &camera() const { return *model()->getCamera(); }
    void trigger(const char *name) { window->findChild<QAction *>(QString::fromLatin1(name))->trigger(); }

    // Runs the next modal dialog with `fill`, then presses its OK or Cancel button.
    void answerNextDialog(std::function<void(QDialog &)> fill, const char *button)
    {
        dialogs->clear();
        dialogs->onExec = [fill, button](QDialog &dialog) {
            fill(dialog);
            dialog.findChild<QPushButton *>(QString::fromLatin1(button))->click();
            return dialog.result();
        };
    }

private slots:
    void initTestCase()
    {
        window = std::make_unique<gui::MainWindow>();
        auto answering = std::make_unique<AnsweringDialogs>();
        dialogs = answering.get();
        window->setDialogService(std::move(answering));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTRY_VERIFY_WITH_TIMEOUT(window->model() != nullptr, 20000);
        trigger("actionDo_not_draw_trees_ecosystem_mode");
    }

    void cleanupTestCase() { window.reset(); }

    void seedsEditorShowsTheStatesAndSendsWhatWasTyped()
    {
        const Seeds start = model()->getRandomGeneratorSeeds();
        Seeds shown;
        answerNextDialog(
            [&shown](QDialog &dialog) {
                for (const QLineEdit *edit :
                     static_cast<gui::RandomGeneratorSeedsEditor &>(dialog).seedEdits())
                    shown.push_back(edit->text().toULongLong());
                QCOMPARE(dialog.findChild<QLineEdit *>(QStringLiteral("randomTimeOfDeath"))->maxLength(), 10);
            },
            "okButton");
        trigger("actionEdit_random_generator_seeds");
        QCOMPARE(shown, start);
        QCOMPARE(model()->getRandomGeneratorSeeds(), start);

        // Text that is no unsigned number gives 0; the largest state has ten digits.
        answerNextDialog(
            [](QDialog &dialog) {
                dialog.findChild<QLineEdit *>(QStringLiteral("randomGrowClose"))
                    ->setText(QStringLiteral("abc"));
                dialog.findChild<QLineEdit *>(QStringLiteral("randomChooseNearPlant"))
                    ->setText(QStringLiteral("-5"));
                dialog.findChild<QLineEdit *>(QStringLiteral("randomTimeOfDeath"))
                    ->setText(QStringLiteral("8589934591"));
            },
            "okButton");
        trigger("actionEdit_random_generator_seeds");
        Seeds expected = start;
        expected[0] = 0;
        expected[1] = 0;
        expected[12] = 8589934591ULL;
        QCOMPARE(model()->getRandomGeneratorSeeds(), expected);

        // Cancel sends nothing.
        answerNextDialog(
            [](QDialog &dialog) {
                dialog.findChild<QLineEdit *>(QStringLiteral("randomGrowClose"))
                    ->setText(QStringLiteral("77"));
            },
            "cancelButton");
        trigger("actionEdit_random_generator_seeds");
        QCOMPARE(model()->getRandomGeneratorSeeds(), expected);
        model()->setRandomGeneratorSeeds(start);

        const struct {
            const char *text;
            unsigned long long value;
        } parses[] = {{"42", 42}, {" 7 ", 7}, {"", 0}, {"1e3", 0}, {"+3", 3}, {"-0", 0}};
        for (const auto &p : parses)
            QCOMPARE(gui::RandomGeneratorSeedsEditor::parseSeed(QString::fromLatin1(p.text)), p.value);
    }

    void plantAreaAppliesEachChangeAtOnceAndZeroBecomesOne()
    {
        const int maxX = model()->getLupaMaxX();
        answerNextDialog(
            [this, maxX](QDialog &dialog) {
                auto *minX = dialog.findChild<QSpinBox *>(QStringLiteral("minX"));
                QCOMPARE(minX->value(), model()->getLupaMinX());
                minX->setValue(0);
                QCOMPARE(minX->value(), 1);
                QCOMPARE(dialog.findChild<QSlider *>(QStringLiteral("horizontalSlider"))->value(), 1);
                QCOMPARE(model()->getLupaMinX(), 1);
                dialog.findChild<QSlider *>(QStringLiteral("horizontalSlider_2"))->setValue(maxX - 3);
            },
            "cancelButton");
        trigger("actionSet_plant_area");
        QCOMPARE(model()->getLupaMinX(), 1);
        QCOMPARE(model()->getLupaMaxX(), maxX - 3);
    }

    void navigationPanelFollowsTheCameraAndItsButtonsMoveIt()
    {
        trigger("actionReset_camera_view");
        camera().heading = 270.0f;
        trigger("action_Navigation_panel");
        auto *handler = window->navigationHandler();
        gui::NavigationPanel *panel = handler->navigationPanel();
        QVERIFY(panel != nullptr);
        QVERIFY(panel->isVisible());
        QVERIFY(!panel->isModal());
        QCOMPARE(panel->x()->value(), int(camera().position.x));
        QCOMPARE(panel->z()->value(), int(camera().position.z));
        // A heading of 270 is shown as the same direction, -90.
        QCOMPARE(panel->turn()->value(), -90);
        QCOMPARE(camera().heading, 270.0f);
        const auto &bounds = model()->getTerrain().bounds();
        QCOMPARE(panel->demPosition()->text(), QStringLiteral("(%1, %2, %3)")
                                                   .arg(double(bounds.minX + camera().position.x))
                                                   .arg(double(bounds.minY + camera().position.z))
                                                   .arg(double(bounds.minZ + camera().position.y)));

        // One degree per step of "Turn right", through the spin box and the dial.
        panel->findChild<QPushButton *>(QStringLiteral("pushButton_4"))->click();
        QCOMPARE(camera().heading, -89.0f);
        panel->findChild<QPushButton *>(QStringLiteral("pushButton_9"))->click();
        QCOMPARE(panel->roll()->value(), int(camera().lookPitch));
        const float x = camera().position.x;
        panel->findChild<QPushButton *>(QStringLiteral("pushButton_14"))->click();
        QCOMPARE(camera().position.x, float(int(x) + 1));
        panel->findChild<QPushButton *>(QStringLiteral("pushButton_7"))->click();
        QCOMPARE(panel->y()->value(), int(camera().position.y));
        QVERIFY(panel->findChild<QPushButton *>(QStringLiteral("pushButton_3"))->autoRepeat());

        // Travelling sets the camera coasting; the panel follows it at every refresh.
        const float z = camera().position.z;
        QTest::mousePress(panel->travelForward(), Qt::LeftButton);
        QTest::mouseRelease(panel->travelForward(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!window->timeKeeper()->cameraAnimationRunning(), 5000);
        QVERIFY(camera().position.z != z || camera().position.x != float(int(x) + 1));
        QCOMPARE(panel->x()->value(), int(camera().position.x));
        QCOMPARE(panel->z()->value(), int(camera().position.z));

        // A second trigger opens a further panel, which is the one filled from then on.
        trigger("action_Navigation_panel");
        QVERIFY(handler->navigationPanel() != panel);
        handler->navigationPanel()->close();
        panel->close();
        QTRY_VERIFY(handler->navigationPanel() == nullptr);
        trigger("actionReset_camera_view");
    }

    void helpAndAboutShowTheirDocumentAndPicture()
    {
        QString html;
        answerNextDialog(
            [&html](QDialog &dialog) {
                QCOMPARE(dialog.windowTitle(), QStringLiteral("Verdalis Help"));
                html = dialog.findChild<QTextBrowser *>(QStringLiteral("textBrowser"))->toPlainText();
            },
            "okButton");
        trigger("actionUsage");
        for (const char *piece :
             {"TREES", "Major branch is a thicker subbranch.", "design tree branching angles.",
              "Leaf type: 0 - SPIRAL, 1 - STACKED, 2 - STAGGERED, 3 - BUNCHED, 4 - CONIFEROUS.",
              "About: this window.", "Backspace moves down and Đ moves up."})
            QVERIFY2(html.contains(QString::fromUtf8(piece)), piece);
        QVERIFY(gui::Help::document().contains(QStringLiteral("<h2>TREES</h2>")));
        QVERIFY(gui::Help::document().contains(QStringLiteral("<li>design tree strands distribution.</li>")));

        bool picture = false;
        QString text;
        answerNextDialog(
            [&](QDialog &dialog) {
                QCOMPARE(dialog.windowTitle(), QStringLiteral("About Verdalis"));
                picture = !dialog.findChild<QLabel *>(QStringLiteral("label_2"))->pixmap().isNull();
                text = dialog.findChild<QLabel *>(QStringLiteral("label"))->text();
            },
            "okButton");
        trigger("actionAbout");
        QVERIFY(picture);
        QVERIFY(text.contains(QStringLiteral("Version 1.0.0.")));
        QVERIFY(dialogs->texts.isEmpty());
    }
};

int main(int argc, char *argv[])
{
    gui::OglWidget::prepareApplication();
    QApplication application(argc, argv);
    TestDialogs tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "test_dialogs.moc"
