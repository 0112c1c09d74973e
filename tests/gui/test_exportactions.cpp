// The mesh export commands of the File menu on the real main window, answered through the dialog
// seam: the chosen name (the extension added when missing), Cancel, and a target that cannot be
// written (the exact box, the earlier file kept).
#include "answeringdialogs.h"
#include "ecosystem/render/ecosystemrender.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "gui/mainwindow.h"
#include "gui/oglwidget.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The file's glTF header: magic, version 2 and the length of the whole file.
bool isGlb(const QByteArray &bytes)
{
    if (bytes.size() < 12 || !bytes.startsWith("glTF"))
        return false;
    const auto word = [&](int at) {
        quint32 v = 0;
        for (int i = 3; i >= 0; --i)
            v = (v << 8) | static_cast<quint8>(bytes[at + i]);
        return v;
    };
    return word(4) == 2 && word(8) == static_cast<quint32>(bytes.size());
}

} // namespace

class TestExportActions : public QObject {
    Q_OBJECT

    std::unique_ptr<gui::MainWindow> window;
    AnsweringDialogs *dialogs = nullptr;
    QTemporaryDir folder;

    QString path(const QString &name) const { return folder.filePath(name); }

    void trigger(const char *name, const QStringList &answers)
    {
        dialogs->clear();
        dialogs->fileAnswers = answers;
        auto *action = window->findChild<QAction *>(QString::fromLatin1(name));
        QVERIFY2(action != nullptr, name);
        action->trigger();
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
    }

    void cleanupTestCase() { window.reset(); }

    void treeExportsWriteTheChosenFormatAddingTheExtension()
    {
        trigger("actionExport_tree_as_glTF", {path(QStringLiteral("tree"))});
        QCOMPARE(dialogs->fileFilters, QStringList{QStringLiteral("glTF binary (*.glb)")});
        QVERIFY(dialogs->texts.isEmpty());
        QVERIFY(isGlb(contentOf(path(QStringLiteral("tree.glb")))));

        trigger("actionExport_tree_as_OBJ", {path(QStringLiteral("tree.obj"))});
        QCOMPARE(dialogs->fileFilters, QStringList{QStringLiteral("Wavefront OBJ (*.obj)")});
        QVERIFY(dialogs->texts.isEmpty());
        QVERIFY(contentOf(path(QStringLiteral("tree.obj"))).contains("mtllib tree.mtl\n"));
        QVERIFY(contentOf(path(QStringLiteral("tree.mtl"))).contains("map_d tree_leaf.png\n"));
        QVERIFY(contentOf(path(QStringLiteral("tree_bark.png"))).startsWith("\x89PNG"));
    }

    void cancelWritesNothingAndAFailureKeepsTheEarlierFile()
    {
        const QStringList before = QDir(folder.path()).entryList(QDir::Files);
        for (const char *name :
             {"actionExport_tree_as_glTF", "actionExport_tree_as_OBJ", "actionExport_forest_as_glTF"}) {
            trigger(name, {QString()});
            QVERIFY2(dialogs->texts.isEmpty(), name);
        }
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), before);

        const QString blocked = path(QStringLiteral("blocked.glb"));
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("blocked.glb")));
        trigger("actionExport_tree_as_glTF", {blocked});
        QCOMPARE(dialogs->titles, QStringList{QStringLiteral("Error")});
        QCOMPARE(dialogs->texts, QStringList{QStringLiteral("Could not export the tree.")});
        QVERIFY(dialogs->details.value(0).contains(blocked));

        trigger("actionExport_forest_as_glTF", {blocked});
        QCOMPARE(dialogs->texts, QStringList{QStringLiteral("Could not export the forest.")});
        QVERIFY(QFileInfo(blocked).isDir());
    }

    void forestExportHoldsThePlantsOfTheSimulation()
    {
        for (int i = 0; i < 2; ++i)
            window->model()->simulateNextStepAndUpdateGL();
        QVERIFY(window->model()->getSimulation().statistics().nrPlants() > 0);
        trigger("actionExport_forest_as_glTF", {path(QStringLiteral("forest.GLB"))});
        QVERIFY(dialogs->texts.isEmpty());
        const QByteArray bytes = contentOf(path(QStringLiteral("forest.GLB")));
        QVERIFY(isGlb(bytes));
        QVERIFY(bytes.contains("\"name\":\"terrain\""));
        QVERIFY(bytes.contains("\"name\":\"plant "));
    }
};

// The views share their contexts as in the program, which asks for it before the application starts.
int main(int argc, char *argv[])
{
    gui::OglWidget::prepareApplication();
    QApplication application(argc, argv);
    TestExportActions tests;
    return QTest::qExec(&tests, argc, argv);
}
#include "test_exportactions.moc"
