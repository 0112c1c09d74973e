// Every file the window writes, onto a full disk: a file size limit far below the file makes the
// write fail part way, as a full disk does. The user gets the action's box, the file that was
// there keeps its content and no temporary file is left in the folder.
#include "answeringdialogs.h"
#include "core/filesizelimit.h"
#include "ecosystem/render/ecosystemrender.h"
#include "ecosystem/render/viewoptions.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "gui/actionhandling/filehandler.h"
#include "gui/mainwindow.h"
#include "gui/oglwidget.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <functional>
#include <memory>
#include <sys/resource.h>

using ecosystem::render::ViewOption;

namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestWindowDiskFaults : public QObject {
    Q_OBJECT

    std::unique_ptr<gui::MainWindow> window;
    AnsweringDialogs *dialogs = nullptr;
    QTemporaryDir folder;
    QString startFolder;

    ecosystem::render::EcosystemRender *model() const { return window->model(); }
    QAction *action(const QString &name) const { return window->findChild<QAction *>(name); }

    void setTreeEditMode(bool on)
    {
        if (model()->isViewOptionOn(ViewOption::SingleRender) != on)
            action(QStringLiteral("actionShow_ecosystem"))->trigger();
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
        action(QStringLiteral("actionDo_not_draw_trees_ecosystem_mode"))->trigger();
        // A small plant area keeps the steps quick; autosaves are written into the work folder.
        model()->setLupaMinX(45);
        model()->setLupaMaxX(48);
        model()->setLupaMinY(45);
        model()->setLupaMaxY(48);
        model()->simulateNextStepAndUpdateGL();
        startFolder = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder.path()));
    }

    void cleanupTestCase()
    {
        window.reset();
        QDir::setCurrent(startFolder);
    }

    void everyWriteTellsTheUserAndKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("actionName");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("treeEditMode");
        QTest::addColumn<bool>("hasDetails");
        const QString save = QStringLiteral("Could not save file.");
        QTest::newRow("parameters") << "actionSave_parameters"
                                    << "tree.tree.xml"
                                    << "Could not open file." << false << true;
        QTest::newRow("LaTeX") << "actionExport_current_tree_as_Latex_formulas"
                               << "tree.tex" << save << false << true;
        QTest::newRow("window image") << "actionExport_window_image"
                                      << "window.png" << save << false << true;
        QTest::newRow("custom image") << "actionExport_custom_resolution_image"
                                      << "custom.png" << save << false << true;
        QTest::newRow("simulation") << "actionSave_simulation"
                                    << "forest.sim" << save << false << false;
        QTest::newRow("vertices") << "actionExport_current_tree_geometry_as_vertices"
                                  << "tree.crs" << save << true << true;
    }

    void everyWriteTellsTheUserAndKeepsTheOldFile()
    {
        QFETCH(QString, actionName);
        QFETCH(QString, file);
        QFETCH(QString, text);
        QFETCH(bool, treeEditMode);
        QFETCH(bool, hasDetails);
        setTreeEditMode(treeEditMode);
        const QString path = folder.filePath(file);
        const QByteArray old("the previous file\n");
        QFile previous(path);
        QVERIFY(previous.open(QIODevice::WriteOnly));
        previous.write(old);
        previous.close();

        dialogs->clear();
        dialogs->fileAnswers = {path};
        dialogs->onExec = [](QDialog &dialog) {
            dialog.accept();
            return int(QDialog::Accepted);
        };
        {
            const testsupport::FileSizeLimit full;
            action(actionName)->trigger();
            // A vertex file is written while the tree is drawn, and its box comes queued.
            QTRY_COMPARE_WITH_TIMEOUT(dialogs->texts.size(), 1, 10000);
        }
        QCOMPARE(dialogs->titles, QStringList{"Error"});
        QCOMPARE(dialogs->texts, QStringList{text});
        if (hasDetails)
            QVERIFY2(dialogs->details.first().contains("cannot write"), qPrintable(dialogs->details.first()));
        QCOMPARE(contentOf(path), old);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{file});
        QVERIFY(QFile::remove(path));
        setTreeEditMode(false);
    }

    void sequenceFramesAndAutosavesTellTheUserOnce()
    {
        // The frames of a sequence export are named after the last window image.
        const QString image = folder.filePath(QStringLiteral("frame.png"));
        dialogs->clear();
        dialogs->fileAnswers = {image};
        action(QStringLiteral("actionExport_window_image"))->trigger();
        QVERIFY(dialogs->texts.isEmpty());
        const QString frame = image + QStringLiteral("7.png");
        QFile previousFrame(frame);
        QVERIFY(previousFrame.open(QIODevice::WriteOnly));
        previousFrame.write("old frame");
        previousFrame.close();

        // The next autosave step, with an old file of its name.
        action(QStringLiteral("actionAutosave_simulation"))->trigger();
        QCOMPARE(model()->getAutosaveSteps(), 30);
        // Two saves due within four steps rather than sixty.
        model()->setAutosave(2);
        const int interval = model()->getAutosaveSteps();
        const int step = model()->getSimulation().step();
        const QString autosave = folder.filePath(QString::number((step / interval + 1) * interval) + ".sim");
        QFile previousSave(autosave);
        QVERIFY(previousSave.open(QIODevice::WriteOnly));
        previousSave.write("old save");
        previousSave.close();

        dialogs->clear();
        {
            const testsupport::FileSizeLimit full;
            window->fileHandler()->grabAnimationFrame(7);
            window->fileHandler()->grabAnimationFrame(7);
            for (int i = 0; i < 2 * interval; ++i)
                model()->simulateNextStepAndUpdateGL();
            QTRY_COMPARE_WITH_TIMEOUT(dialogs->texts.size(), 2, 10000);
            QTest::qWait(50);
        }
        QCOMPARE(dialogs->texts, (QStringList{"Could not save file.", "Could not save file."}));
        QVERIFY2(dialogs->details[1].contains("cannot write"), qPrintable(dialogs->details[1]));
        QCOMPARE(contentOf(frame), QByteArray("old frame"));
        QCOMPARE(contentOf(autosave), QByteArray("old save"));
        action(QStringLiteral("actionAutosave_simulation"))->trigger();
        QCOMPARE(model()->getAutosaveSteps(), -1);
        // No temporary file (a hidden one next to its target) is left behind.
        const QStringList left = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
        for (const QString &name : left)
            QVERIFY2(!name.startsWith(QLatin1Char('.')), qPrintable(name));
    }
};

// The views share their contexts as in the program, which asks for it before the application starts.
int main(int argc, char *argv[])
{
    gui::OglWidget::prepareApplication();
    QApplication application(argc, argv);
    TestWindowDiskFaults tests;
    return QTest::qExec(&tests, argc, argv);
}
#include "test_windowdiskfaults.moc"
