// Every file command of the real main window, answered through the dialog seam: a chosen name,
// Cancel, and a file that cannot be written or read (state and files unchanged, the exact box).
#include "answeringdialogs.h"
#include "ecosystem/render/ecosystemrender.h"
#include "ecosystem/render/scenetextures.h"
#include "ecosystem/render/viewoptions.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "gui/actionhandling/filehandler.h"
#include "gui/actionhandling/timekeeper.h"
#include "gui/mainwindow.h"
#include "gui/oglwidget.h"
#include "lignet/gl/framebuffertarget.h"
#include "lignet/treelatexwriter.h"
#include "lignet/treeparameterfile.h"
#include "lignet/treerenderer.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using ecosystem::render::ViewOption;

namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeContent(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

const QByteArray pngSignature("\x89PNG\r\n\x1a\n", 8);

} // namespace

class TestFileActions : public QObject {
    Q_OBJECT

    std::unique_ptr<gui::MainWindow> window;
    AnsweringDialogs *dialogs = nullptr;
    QTemporaryDir folder;

    QString path(const QString &name) const { return folder.filePath(name); }
    // A name in a folder that does not exist: nothing can be written or read there.
    QString unreachable(const QString &name) const
    {
        return folder.filePath(QStringLiteral("missing/") + name);
    }
    ecosystem::render::EcosystemRender *model() const { return window->model(); }
    lignet::TreeParameters &live() const { return model()->getCurrentTree()->designedParameters(); }

    void trigger(const char *name, QStringList answers = {})
    {
        dialogs->clear();
        dialogs->fileAnswers = answers;
        auto *action = window->findChild<QAction *>(QString::fromLatin1(name));
        QVERIFY2(action != nullptr, name);
        action->trigger();
    }

    void expectBox(const QString &title, const QString &text)
    {
        QCOMPARE(dialogs->titles, QStringList{title});
        QCOMPARE(dialogs->texts, QStringList{text});
    }

    void setTreeEditMode(bool on)
    {
        if (model()->isViewOptionOn(ViewOption::SingleRender) != on)
            window->findChild<QAction *>(QStringLiteral("actionShow_ecosystem"))->trigger();
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
        // The terrain is enough here, and quick to draw.
        window->findChild<QAction *>(QStringLiteral("actionDo_not_draw_trees_ecosystem_mode"))->trigger();
    }

    void cleanupTestCase() { window.reset(); }

    void cancellingAnyFileDialogChangesNothingAndShowsNothing()
    {
        const std::string before = lignet::TreeParameterFile::text(live());
        const char *actions[] = {"actionSave_parameters",
                                 "actionLoad_parameters",
                                 "actionImport_tree_2_x_parameters",
                                 "actionLoad_bark_texture",
                                 "actionLoadleaf_texture",
                                 "actionExport_current_tree_as_Latex_formulas",
                                 "actionExport_current_tree_geometry_as_vertices",
                                 "actionExport_window_image",
                                 "actionExport_custom_resolution_image",
                                 "actionLoad_DEM_terrain_model"};
        for (const char *name : actions) {
            trigger(name, {QString()});
            QVERIFY2(dialogs->fileCaptions.size() == 1, name);
            QVERIFY2(dialogs->texts.isEmpty(), name);
        }
        QCOMPARE(lignet::TreeParameterFile::text(live()), before);
        QVERIFY(model()->getCurrentTree()->exportFileName().empty());
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
    }

    void parametersSaveAndLoadBackAndFailuresKeepFileAndSet()
    {
        const QString file = path(QStringLiteral("tree.tree.xml"));
        trigger("actionSave_parameters", {file});
        QCOMPARE(dialogs->fileCaptions, QStringList{"Choose a filename to save under"});
        QCOMPARE(dialogs->fileFilters, QStringList{"Tree version 3.x parameters (*.tree.xml)"});
        QVERIFY(dialogs->texts.isEmpty());
        const std::string saved = lignet::TreeParameterFile::text(live());
        QCOMPARE(contentOf(file).toStdString(), saved);

        const float leaf = live().leafSize;
        live().leafSize = leaf * 3.0f;
        trigger("actionLoad_parameters", {file});
        QCOMPARE(live().leafSize, leaf);

        // A damaged file is refused whole; the live set stays as it was.
        const QString damaged = path(QStringLiteral("damaged.tree.xml"));
        writeContent(damaged, contentOf(file).left(200));
        live().leafSize = leaf * 2.0f;
        const std::string edited = lignet::TreeParameterFile::text(live());
        trigger("actionLoad_parameters", {damaged});
        expectBox("Error", "Could not open file.");
        QVERIFY(!dialogs->details.first().isEmpty());
        QCOMPARE(lignet::TreeParameterFile::text(live()), edited);
        trigger("actionLoad_parameters", {unreachable(QStringLiteral("x.tree.xml"))});
        expectBox("Error", "Could not open file.");
        QCOMPARE(lignet::TreeParameterFile::text(live()), edited);

        // A save that cannot replace the file leaves it as it was.
        trigger("actionSave_parameters", {unreachable(QStringLiteral("x.tree.xml"))});
        expectBox("Error", "Could not open file.");
        QDir(folder.path()).mkdir(QStringLiteral("folder.tree.xml"));
        trigger("actionSave_parameters", {path(QStringLiteral("folder.tree.xml"))});
        expectBox("Error", "Could not open file.");
        QCOMPARE(contentOf(file).toStdString(), saved);
        live().leafSize = leaf;
    }

    void importSaysNotYetImplementedAndTexturesChangeOnlyTheirPath()
    {
        const std::string before = lignet::TreeParameterFile::text(live());
        trigger("actionImport_tree_2_x_parameters", {path(QStringLiteral("old.tree"))});
        QCOMPARE(dialogs->fileFilters, QStringList{"Tree version 2.x parameters (*.tree)"});
        expectBox("Information", "Not yet implemented.");
        QCOMPARE(lignet::TreeParameterFile::text(live()), before);

        const std::string leafPath = live().leafTexturePath;
        const std::string barkPath = live().barkTexturePath;
        trigger("actionLoad_bark_texture", {QStringLiteral(":/gui/textures/leaf.png")});
        QCOMPARE(dialogs->fileFilters, QStringList{"Images (*.png *.xpm *.jpg *.bmp)"});
        QCOMPARE(live().barkTexturePath, std::string(":/gui/textures/leaf.png"));
        QCOMPARE(live().leafTexturePath, leafPath);
        QVERIFY(dialogs->texts.isEmpty());
        // An unreadable picture is the model's to report; the tree keeps its textures.
        trigger("actionLoadleaf_texture", {unreachable(QStringLiteral("leaf.png"))});
        QTRY_COMPARE(dialogs->texts, QStringList{"Could not open leaf texture file."});
        live().barkTexturePath = barkPath;
        live().leafTexturePath = leafPath;
    }

    void latexExportWritesTheFormulasAndAFailureSaysSo()
    {
        const QString file = path(QStringLiteral("tree.tex"));
        trigger("actionExport_current_tree_as_Latex_formulas", {file});
        QCOMPARE(dialogs->fileFilters, QStringList{"Latex files (*.tex)"});
        const QByteArray text = contentOf(file);
        QCOMPARE(text.toStdString(),
                 lignet::TreeLatexWriter(QLocale::system().name().toStdString()).text(live()));
        QVERIFY(text.contains("$S="));
        trigger("actionExport_current_tree_as_Latex_formulas", {unreachable(QStringLiteral("tree.tex"))});
        expectBox("Error", "Could not save file.");
        QCOMPARE(contentOf(file), text);
    }

    void vertexExportIsWrittenAtTheNextDrawingAndAFailureIsToldOnce()
    {
        setTreeEditMode(true);
        const QString file = path(QStringLiteral("tree.crs"));
        trigger("actionExport_current_tree_geometry_as_vertices", {file});
        QCOMPARE(dialogs->fileFilters, QStringList{"Tree geometry vertices (*.crs)"});
        QTRY_VERIFY(QFile::exists(file));
        QVERIFY(contentOf(file).startsWith("B 0\n"));
        QCOMPARE(window->fileHandler()->lastGeometryName(), file);

        trigger("actionExport_current_tree_geometry_as_vertices", {unreachable(QStringLiteral("tree.crs"))});
        QTRY_COMPARE(dialogs->texts, QStringList{"Could not save file."});
        QVERIFY(dialogs->details.first().contains(QStringLiteral("tree.crs")));
        // Armed again by a sequence, the same failure is not told again.
        window->fileHandler()->grabGeometryFrame(4);
        window->firstView()->updateGL();
        QTRY_VERIFY(!model()->getCurrentTree()->vertexExporter().armed());
        QTest::qWait(50);
        QCOMPARE(dialogs->texts.size(), 1);
        window->fileHandler()->resetLastNames();
        setTreeEditMode(false);
    }

    void windowImageIsPngWhateverTheNameAndNamesTheFrames()
    {
        auto *files = window->fileHandler();
        files->grabAnimationFrame(0);
        QCOMPARE(QDir(folder.path()).entryList({"*.png*"}).size(), 0);

        // The last drawing shows the scene as it is now.
        const int drawn = window->firstView()->framesDrawn();
        window->firstView()->updateGL();
        QTRY_VERIFY(window->firstView()->framesDrawn() > drawn);
        const QString file = path(QStringLiteral("tree.jpg"));
        trigger("actionExport_window_image", {file});
        const QByteArray picture = contentOf(file);
        QVERIFY(picture.startsWith(pngSignature));
        // What the view shows, the right way up (the scene is still, so a new drawing is the same).
        QCOMPARE(QImage::fromData(picture).convertToFormat(QImage::Format_RGB32),
                 window->firstView()->grabFramebuffer().convertToFormat(QImage::Format_RGB32));

        const QString base = path(QStringLiteral("tree.png"));
        trigger("actionExport_window_image", {base});
        // The time keeper's sequence export numbers the frames.
        auto *keeper = window->timeKeeper();
        const int frames = window->firstView()->framesDrawn();
        emit keeper->grabFrameBuffer(0);
        emit keeper->grabFrameBuffer(1);
        // A grab takes the last drawing; it draws none, so animations do not run faster.
        QCOMPARE(window->firstView()->framesDrawn(), frames);
        QVERIFY(contentOf(base + "0.png").startsWith(pngSignature));
        QVERIFY(contentOf(base + "1.png").startsWith(pngSignature));
        emit keeper->sequenceExportStopped();
        QVERIFY(files->lastImageName().isEmpty());
        emit keeper->grabFrameBuffer(2);
        QVERIFY(!QFile::exists(base + "2.png"));

        trigger("actionExport_window_image", {unreachable(QStringLiteral("x.png"))});
        expectBox("Error", "Could not save file.");
        QVERIFY(files->lastImageName().isEmpty());
    }

    void customResolutionImageHasTheChosenSizeAndCancelWritesNothing()
    {
        const QString file = path(QStringLiteral("large.png"));
        trigger("actionExport_custom_resolution_image", {file});
        QVERIFY(!QFile::exists(file));

        const QSize viewSize = window->firstView()->size();
        trigger("actionExport_custom_resolution_image", {file});
        dialogs->onExec = [](QDialog &dialog) {
            dialog.findChild<QSpinBox *>(QStringLiteral("sbWidth"))->setValue(640);
            dialog.findChild<QSpinBox *>(QStringLiteral("sbHeight"))->setValue(360);
            dialog.findChild<QSlider *>(QStringLiteral("sliderQuality"))->setValue(90);
            dialog.accept();
            return int(QDialog::Accepted);
        };
        dialogs->fileAnswers = {file};
        window->findChild<QAction *>(QStringLiteral("actionExport_custom_resolution_image"))->trigger();
        QVERIFY(dialogs->texts.isEmpty());
        const QImage image = QImage::fromData(contentOf(file));
        QCOMPARE(image.size(), QSize(640, 360));
        QVERIFY(contentOf(file).startsWith(pngSignature));
        // Not one colour: the terrain was drawn, not an empty framebuffer.
        QVERIFY(image.pixel(320, 300) != image.pixel(320, 5) ||
                image.pixel(10, 300) != image.pixel(630, 300));
        // The view draws at its own size again afterwards.
        window->firstView()->updateGL();
        QCOMPARE(window->firstView()->grabFramebuffer().size(),
                 viewSize * window->firstView()->devicePixelRatio());
    }

    void sizesTheDriverCannotDrawAreRefusedWithAReason()
    {
        using lignet::gl::FramebufferTarget;
        QVERIFY(FramebufferTarget::sizeProblem({10000, 10000}, 16384, 16384, 16384).isEmpty());
        QVERIFY(FramebufferTarget::sizeProblem({8193, 10}, 8192, 16384, 16384).contains("8192 x 8192"));
        QVERIFY(FramebufferTarget::sizeProblem({10, 9000}, 16384, 16384, 8192).contains("larger than"));
        QVERIFY(!FramebufferTarget::sizeProblem({0, 10}, 16384, 16384, 16384).isEmpty());
    }

    void simulationFilesNeedARunAndFailuresSaySo()
    {
        QVERIFY(!model()->isSimulationInitialised());
        for (const char *name : {"actionSave_simulation", "actionLoad_simulation"}) {
            trigger(name, {path(QStringLiteral("early.sim"))});
            expectBox("Error", "First run simulation please.");
            QVERIFY(dialogs->fileCaptions.isEmpty());
        }
        model()->simulateNextStepAndUpdateGL();
        model()->simulateNextStepAndUpdateGL();
        const QString file = path(QStringLiteral("two.sim"));
        trigger("actionSave_simulation", {file});
        QCOMPARE(dialogs->fileFilters, QStringList{"Simulation files (*.sim)"});
        QVERIFY(contentOf(file).startsWith("2\n5\n"));
        model()->simulateNextStepAndUpdateGL();
        trigger("actionLoad_simulation", {file});
        QCOMPARE(dialogs->fileCaptions, QStringList{"Choose a simulation file to open"});
        QVERIFY(dialogs->texts.isEmpty());
        QCOMPARE(model()->getSimulation().step(), 2);

        trigger("actionSave_simulation", {unreachable(QStringLiteral("x.sim"))});
        expectBox("Error", "Could not save file.");
        trigger("actionLoad_simulation", {unreachable(QStringLiteral("x.sim"))});
        expectBox("Error", "Could not open file.");
    }

    void autosaveSwitchesOnAtThirtyStepsAndOffAgain()
    {
        auto *action = window->findChild<QAction *>(QStringLiteral("actionAutosave_simulation"));
        QCOMPARE(model()->getAutosaveSteps() >= 1, false);
        action->trigger();
        QCOMPARE(model()->getAutosaveSteps(), 30);
        QVERIFY(action->isChecked());
        action->trigger();
        QVERIFY(model()->getAutosaveSteps() < 1);
        QVERIFY(!action->isChecked());
    }

    void demLoadReportsAnUnreadableFileAndKeepsTheTerrain()
    {
        const auto bounds = model()->getTerrain().bounds();
        trigger("actionLoad_DEM_terrain_model", {unreachable(QStringLiteral("x.dmr"))});
        QCOMPARE(dialogs->fileFilters, QStringList{"DEM model (*.dmr)"});
        QTRY_COMPARE(dialogs->texts, QStringList{"Could not open DEM terrain file."});
        QVERIFY(model()->getTerrain().bounds() == bounds);
    }

    void skyTexturesOkReuploadsAndCancelChangesNothing()
    {
        QString before[6];
        model()->getSkyTextureFileNames(before[0], before[1], before[2], before[3], before[4], before[5]);
        dialogs->clear();
        dialogs->onExec = [](QDialog &dialog) {
            dialog.findChild<QLineEdit *>(QStringLiteral("up"))
                ->setText(QStringLiteral(":/gui/textures/sky_n.png"));
            dialog.reject();
            return int(QDialog::Rejected);
        };
        window->findChild<QAction *>(QStringLiteral("actionSet_sky_textures"))->trigger();
        QString after[6];
        model()->getSkyTextureFileNames(after[0], after[1], after[2], after[3], after[4], after[5]);
        QCOMPARE(after[4], before[4]);

        // The row's "..." asks for a file through the same seam; OK hands all six to the model.
        QSignalSpy repaints(model(), &ecosystem::render::EcosystemRender::modelDataChanged);
        const GLuint upFace = model()->textures().sky()[4];
        dialogs->fileAnswers = {QStringLiteral(":/gui/textures/sky_s.png")};
        dialogs->onExec = [](QDialog &dialog) {
            dialog.findChild<QPushButton *>(QStringLiteral("pbUp"))->click();
            dialog.accept();
            return int(QDialog::Accepted);
        };
        window->findChild<QAction *>(QStringLiteral("actionSet_sky_textures"))->trigger();
        QCOMPARE(dialogs->fileCaptions, QStringList{"Choose a file to open"});
        model()->getSkyTextureFileNames(after[0], after[1], after[2], after[3], after[4], after[5]);
        QCOMPARE(after[4], QStringLiteral(":/gui/textures/sky_s.png"));
        QCOMPARE(after[0], before[0]);
        QCOMPARE(repaints.count(), 1);
        QVERIFY(model()->textures().sky()[4] != 0);
        QVERIFY(model()->textures().sky()[4] != upFace || upFace == 0);
        model()->reloadSkyTextures(before[0], before[1], before[2], before[3], before[4], before[5]);
    }
};

int main(int argc, char *argv[])
{
    gui::OglWidget::prepareApplication();
    QApplication application(argc, argv);
    TestFileActions tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "test_fileactions.moc"
