// Every file the window writes, onto a full disk: a file size limit far below the file makes the
// write fail part way, as a full disk does. The user gets the action's box, the file that was
// there keeps its content and no temporary file is left in the folder.
#include "core/filesizelimit.h"
#include "gui/actionhandling/filehandler.h"
#include "guitest.h"

#include <QTemporaryDir>

using guitest::contentOf;

class TestWindowDiskFaults : public QObject {
    Q_OBJECT

    guitest::Window w;
    QTemporaryDir folder;
    QString startFolder;

    guitest::AnsweringDialogs &dialogs() const { return *w.dialogs; }

    // Triggers the action that writes `file` with the disk full.
    void writeOntoAFullDisk(const char *actionName, const QString &file, const QString &text,
                            bool treeEditMode, bool hasDetails)
    {
        w.setTreeEditMode(treeEditMode);
        const QString path = folder.filePath(file);
        const QByteArray old("the previous file\n");
        QVERIFY(guitest::writeContent(path, old));
        dialogs().clear();
        dialogs().fileAnswers = {path};
        dialogs().onExec = [](QDialog &dialog) {
            dialog.accept();
            return int(QDialog::Accepted);
        };
        {
            const testsupport::FileSizeLimit full;
            w.action(actionName)->trigger();
            // A vertex file is written while the tree is drawn, and its box comes queued.
            QTRY_COMPARE_WITH_TIMEOUT(dialogs().texts.size(), 1, 10000);
        }
        QCOMPARE(dialogs().titles, QStringList{"Error"});
        QCOMPARE(dialogs().texts, QStringList{text});
        if (hasDetails)
            QVERIFY2(dialogs().details.first().contains("cannot write"),
                     qPrintable(dialogs().details.first()));
        QCOMPARE(contentOf(path), old);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{file});
        QVERIFY(QFile::remove(path));
        w.setTreeEditMode(false);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(folder.isValid());
        QVERIFY(w.open(true));
        // A small plant area keeps the steps quick; autosaves are written into the work folder.
        w.model()->setLupaMinX(45);
        w.model()->setLupaMaxX(48);
        w.model()->setLupaMinY(45);
        w.model()->setLupaMaxY(48);
        w.model()->simulateNextStepAndUpdateGL();
        startFolder = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder.path()));
    }

    void cleanupTestCase()
    {
        w.window.reset();
        QDir::setCurrent(startFolder);
    }

    void everyWriteTellsTheUserAndKeepsTheOldFile()
    {
        const char *save = "Could not save file.";
        const struct {
            const char *action, *file, *text;
            bool treeEditMode, hasDetails;
        } writes[] = {
            {"actionSave_parameters", "tree.tree.xml", "Could not open file.", false, true},
            {"actionExport_current_tree_as_Latex_formulas", "tree.tex", save, false, true},
            {"actionExport_window_image", "window.png", save, false, true},
            {"actionExport_custom_resolution_image", "custom.png", save, false, true},
            {"actionSave_simulation", "forest.sim", save, false, false},
            {"actionExport_current_tree_geometry_as_vertices", "tree.crs", save, true, true},
        };
        for (const auto &[actionName, file, text, treeEditMode, hasDetails] : writes)
            writeOntoAFullDisk(actionName, file, text, treeEditMode, hasDetails);
    }

    void sequenceFramesAndAutosavesTellTheUserOnce()
    {
        // The frames of a sequence export are named after the last window image.
        const QString image = folder.filePath(QStringLiteral("frame.png"));
        w.trigger("actionExport_window_image", {image});
        QVERIFY(dialogs().texts.isEmpty());
        const QString frame = image + QStringLiteral("7.png");
        QVERIFY(guitest::writeContent(frame, "old frame"));

        // The next autosave step, with an old file of its name.
        w.action("actionAutosave_simulation")->trigger();
        QCOMPARE(w.model()->getAutosaveSteps(), 30);
        // Two saves due within four steps rather than sixty.
        w.model()->setAutosave(2);
        const int interval = w.model()->getAutosaveSteps();
        const int step = w.simulation().step();
        const QString autosave = folder.filePath(QString::number((step / interval + 1) * interval) + ".sim");
        QVERIFY(guitest::writeContent(autosave, "old save"));

        dialogs().clear();
        {
            const testsupport::FileSizeLimit full;
            w.window->fileHandler()->grabAnimationFrame(7);
            w.window->fileHandler()->grabAnimationFrame(7);
            for (int i = 0; i < 2 * interval; ++i)
                w.model()->simulateNextStepAndUpdateGL();
            QTRY_COMPARE_WITH_TIMEOUT(dialogs().texts.size(), 2, 10000);
            QTest::qWait(50);
        }
        QCOMPARE(dialogs().texts, (QStringList{"Could not save file.", "Could not save file."}));
        QVERIFY2(dialogs().details[1].contains("cannot write"), qPrintable(dialogs().details[1]));
        QCOMPARE(contentOf(frame), QByteArray("old frame"));
        QCOMPARE(contentOf(autosave), QByteArray("old save"));
        w.action("actionAutosave_simulation")->trigger();
        QCOMPARE(w.model()->getAutosaveSteps(), -1);
        QVERIFY(!w.action("actionAutosave_simulation")->isChecked());
        // No temporary file (a hidden one next to its target) is left behind.
        for (const QString &name : QDir(folder.path()).entryList(QDir::Files | QDir::Hidden))
            QVERIFY2(!name.startsWith(QLatin1Char('.')), qPrintable(name));
    }
};

VERDALIS_GUI_TEST_MAIN(TestWindowDiskFaults)
#include "test_windowdiskfaults.moc"
