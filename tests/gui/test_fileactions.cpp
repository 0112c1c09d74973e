// Every file command of the real main window, answered through the dialog seam, and every file it
// writes onto a full disk (a file size limit far below the file makes the write fail part way).
#include "core/filesizelimit.h"
#include "ecosystem/render/scenetextures.h"
#include "gui/actionhandling/filehandler.h"
#include "gui/actionhandling/timekeeper.h"
#include "guitest.h"
#include "lignet/gl/framebuffertarget.h"
#include "lignet/treelatexwriter.h"
#include "lignet/treeparameterfile.h"

using guitest::contentOf;

namespace {

const QByteArray pngSignature("\x89PNG\r\n\x1a\n", 8);

} // namespace

class TestFileActions : public QObject {
    Q_OBJECT

    guitest::Window w;
    QTemporaryDir folder, fullDiskFolder;
    QString startFolder;

    QString path(const char *name) const { return folder.filePath(QString::fromLatin1(name)); }
    // A name in a folder that does not exist: nothing can be written or read there.
    QString unreachable(const char *name) const { return path("missing/") + QString::fromLatin1(name); }
    guitest::AnsweringDialogs &dialogs() const { return *w.dialogs; }
    std::string liveText() const { return lignet::TreeParameterFile::text(w.live()); }
    QStringList files(const QTemporaryDir &dir) const
    {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    }

    void expectBox(const QString &text, const QString &title = QStringLiteral("Error"))
    {
        QCOMPARE(dialogs().titles, QStringList{title});
        QCOMPARE(dialogs().texts, QStringList{text});
    }

private slots:
    void initTestCase()
    {
        QVERIFY(folder.isValid() && fullDiskFolder.isValid());
        QVERIFY(w.open(true));
        startFolder = QDir::currentPath();
    }

    void cleanup() { w.setTreeEditMode(false); }
    void cleanupTestCase()
    {
        w.window.reset();
        QDir::setCurrent(startFolder);
    }

    void cancellingAnyFileDialogOrTheSkyChangesNothingParametersSaveAndFailedLoadsChangeNothing()
    {
        const std::string before = liveText();
        for (const char *name :
             {"actionSave_parameters", "actionLoad_parameters", "actionImport_tree_2_x_parameters",
              "actionLoad_bark_texture", "actionLoadleaf_texture",
              "actionExport_current_tree_as_Latex_formulas", "actionExport_current_tree_geometry_as_vertices",
              "actionExport_window_image", "actionExport_custom_resolution_image",
              "actionLoad_DEM_terrain_model", "actionExport_tree_as_glTF", "actionExport_tree_as_OBJ",
              "actionExport_forest_as_glTF"}) {
            w.trigger(name, {QString()});
            QVERIFY2(dialogs().fileCaptions.size() == 1, name);
            QVERIFY2(dialogs().texts.isEmpty(), name);
        }
        QCOMPARE(liveText(), before);
        QVERIFY(w.tree()->exportFileName().empty());
        QCOMPARE(files(folder).size(), 0);

        // OK in the sky textures reuploads them; Cancel changes nothing.
        const auto skyNames = [this] {
            std::array<QString, 6> n;
            w.model()->getSkyTextureFileNames(n[0], n[1], n[2], n[3], n[4], n[5]);
            return n;
        };
        const auto sky = skyNames();
        w.answer("actionSet_sky_textures", "cancelButton", [](QDialog &dialog) {
            guitest::part<QLineEdit>(&dialog, "up")->setText(QStringLiteral(":/gui/textures/sky_n.png"));
        });
        QVERIFY(skyNames() == sky);

        // The row's "..." asks for a file through the same seam; OK hands all six to the model.
        QSignalSpy repaints(w.model(), &ecosystem::render::EcosystemRender::modelDataChanged);
        w.answer("actionSet_sky_textures", "okButton",
                 [](QDialog &dialog) { guitest::part<QPushButton>(&dialog, "pbUp")->click(); },
                 {QStringLiteral(":/gui/textures/sky_s.png")});
        auto expected = sky;
        expected[4] = QStringLiteral(":/gui/textures/sky_s.png");
        QVERIFY(skyNames() == expected);
        QCOMPARE(repaints.count(), 1);
        w.model()->reloadSkyTextures(sky[0], sky[1], sky[2], sky[3], sky[4], sky[5]);

        const QString file = path("tree.tree.xml");
        w.trigger("actionSave_parameters", {file});
        QVERIFY(dialogs().texts.isEmpty());
        QCOMPARE(contentOf(file).toStdString(), liveText());

        // A damaged or missing file is refused whole; the live set stays as it was.
        const QString damaged = path("damaged.tree.xml");
        QVERIFY(guitest::writeContent(damaged, contentOf(file).left(200)));
        const float leaf = w.live().leafSize;
        w.live().leafSize = leaf * 2.0f;
        const std::string edited = liveText();
        for (const QString &bad : {damaged, unreachable("x.tree.xml")}) {
            w.trigger("actionLoad_parameters", {bad});
            expectBox("Could not open file.");
            QCOMPARE(liveText(), edited);
        }
        w.live().leafSize = leaf;

        const QString tex = path("tree.tex");
        w.trigger("actionExport_current_tree_as_Latex_formulas", {tex});
        QCOMPARE(contentOf(tex).toStdString(),
                 lignet::TreeLatexWriter(QLocale::system().name().toStdString()).text(w.live()));

        const std::string exported = liveText();
        w.trigger("actionImport_tree_2_x_parameters", {path("old.tree")});
        expectBox("Not yet implemented.", "Information");
        QCOMPARE(liveText(), exported);

        const std::string leafPath = w.live().leafTexturePath;
        const std::string barkPath = w.live().barkTexturePath;
        w.trigger("actionLoad_bark_texture", {QStringLiteral(":/gui/textures/leaf.png")});
        QCOMPARE(w.live().barkTexturePath, std::string(":/gui/textures/leaf.png"));
        QCOMPARE(w.live().leafTexturePath, leafPath);
        // Unreadable pictures and terrains are the model's to report.
        w.trigger("actionLoadleaf_texture", {unreachable("leaf.png")});
        QTRY_COMPARE(dialogs().texts, QStringList{"Could not open leaf texture file."});
        w.live().barkTexturePath = barkPath;
        w.live().leafTexturePath = leafPath;

        w.trigger("actionLoad_DEM_terrain_model", {unreachable("x.dmr")});
        QTRY_COMPARE(dialogs().texts, QStringList{"Could not open DEM terrain file."});
    }

    void vertexExportAtTheNextDrawingWindowImageAsPngWhateverTheNameAndCustomResolutionImageOfTheChosenSize()
    {
        w.setTreeEditMode(true);
        const QString file = path("tree.crs");
        w.trigger("actionExport_current_tree_geometry_as_vertices", {file});
        QTRY_VERIFY(contentOf(file).startsWith("B 0\n"));
        QCOMPARE(w.window->fileHandler()->lastGeometryName(), file);

        w.trigger("actionExport_current_tree_geometry_as_vertices", {unreachable("tree.crs")});
        QTRY_COMPARE(dialogs().texts, QStringList{"Could not save file."});
        // Armed again by a sequence, the same failure is not told again.
        w.window->fileHandler()->grabGeometryFrame(4);
        w.view()->updateGL();
        QTRY_VERIFY(!w.tree()->vertexExporter().armed());
        QTest::qWait(50);
        QCOMPARE(dialogs().texts.size(), 1);
        auto *handler = w.window->fileHandler();
        w.setTreeEditMode(false);

        // The last drawing shows the scene as it is now.
        const int drawn = w.framesDrawn();
        w.view()->updateGL();
        QTRY_VERIFY(w.framesDrawn() > drawn);
        w.trigger("actionExport_window_image", {path("tree.jpg")});
        const QByteArray picture = contentOf(path("tree.jpg"));
        QVERIFY(picture.startsWith(pngSignature));
        // What the view shows, the right way up (the scene is still, so a new drawing is the same).
        QCOMPARE(QImage::fromData(picture).convertToFormat(QImage::Format_RGB32),
                 w.picture().convertToFormat(QImage::Format_RGB32));

        // The time keeper's sequence export numbers the frames after the last image's name; a grab
        // takes the last drawing and draws none, so animations do not run faster.
        const QString base = path("tree.png");
        w.trigger("actionExport_window_image", {base});
        auto *keeper = w.window->timeKeeper();
        const int frames = w.settledFrames();
        emit keeper->grabFrameBuffer(0);
        emit keeper->grabFrameBuffer(1);
        QCOMPARE(w.framesDrawn(), frames);
        QVERIFY(contentOf(base + "1.png").startsWith(pngSignature));
        emit keeper->sequenceExportStopped();
        QVERIFY(handler->lastImageName().isEmpty());
        // With no name left a grab writes nothing, not even a bare "2.png" beside the program.
        const QStringList here = QDir::current().entryList(QDir::Files);
        emit keeper->grabFrameBuffer(2);
        QVERIFY(!QFile::exists(base + "2.png"));
        QCOMPARE(QDir::current().entryList(QDir::Files), here);

        w.trigger("actionExport_window_image", {unreachable("x.png")});
        expectBox("Could not save file.");
        QVERIFY(handler->lastImageName().isEmpty());

        // A custom resolution image has the chosen size; Cancel writes nothing.
        const QString large = path("large.png");
        w.trigger("actionExport_custom_resolution_image", {large});
        QVERIFY(!QFile::exists(large));

        const QSize viewSize = w.view()->size();
        w.answer("actionExport_custom_resolution_image", "okButton",
                 [](QDialog &dialog) {
                     guitest::part<QSpinBox>(&dialog, "sbWidth")->setValue(640);
                     guitest::part<QSpinBox>(&dialog, "sbHeight")->setValue(360);
                     guitest::part<QSlider>(&dialog, "sliderQuality")->setValue(90);
                 },
                 {large});
        QVERIFY(dialogs().texts.isEmpty());
        const QImage image = QImage::fromData(contentOf(large));
        QCOMPARE(image.size(), QSize(640, 360));
        // Not one colour: the terrain was drawn, not an empty framebuffer.
        QVERIFY(image.pixel(320, 300) != image.pixel(320, 5) ||
                image.pixel(10, 300) != image.pixel(630, 300));
        // The view draws at its own size again afterwards.
        w.view()->updateGL();
        QCOMPARE(w.picture().size(), viewSize * w.view()->devicePixelRatio());

        using lignet::gl::FramebufferTarget;
        QVERIFY(FramebufferTarget::sizeProblem({10000, 10000}, 16384, 16384, 16384).isEmpty());
        QVERIFY(FramebufferTarget::sizeProblem({8193, 10}, 8192, 16384, 16384).contains("8192 x 8192"));
        QVERIFY(FramebufferTarget::sizeProblem({10, 9000}, 16384, 16384, 8192).contains("larger than"));
        QVERIFY(!FramebufferTarget::sizeProblem({0, 10}, 16384, 16384, 16384).isEmpty());
    }

    void simulationFilesNeedARunAndMeshExportsAddTheExtensionAndFailuresSaySo()
    {
        for (const char *name : {"actionSave_simulation", "actionLoad_simulation"}) {
            w.trigger(name, {path("early.sim")});
            expectBox("First run simulation please.");
            QVERIFY(dialogs().fileCaptions.isEmpty());
        }
        w.model()->simulateNextStepAndUpdateGL();
        w.model()->simulateNextStepAndUpdateGL();
        const QString file = path("two.sim");
        w.trigger("actionSave_simulation", {file});
        QVERIFY(contentOf(file).startsWith("2\n5\n"));
        w.model()->simulateNextStepAndUpdateGL();
        w.trigger("actionLoad_simulation", {file});
        QVERIFY(dialogs().texts.isEmpty());
        QCOMPARE(w.simulation().step(), 2);

        w.trigger("actionLoad_simulation", {unreachable("x.sim")});
        expectBox("Could not open file.");

        // Mesh exports write the chosen format, adding the extension; failures say so.
        w.trigger("actionExport_tree_as_glTF", {path("tree")});
        QVERIFY(dialogs().texts.isEmpty());
        QVERIFY(contentOf(path("tree.glb")).startsWith("glTF"));

        w.trigger("actionExport_tree_as_OBJ", {path("tree.obj")});
        // The editable tree is named after the file.
        QVERIFY(contentOf(path("tree.obj")).contains("mtllib tree.mtl\n"));

        // The forest holds the plants of the simulation run above.
        QVERIFY(w.simulation().statistics().nrPlants() > 0);
        w.trigger("actionExport_forest_as_glTF", {path("forest")});
        QVERIFY(dialogs().texts.isEmpty());
        const QByteArray forest = contentOf(path("forest.glb"));
        QVERIFY(forest.startsWith("glTF"));
        QVERIFY(forest.contains("\"name\":\"plant "));

        // The extension is known in capitals too: nothing is added, and the folder blocks the file.
        const QString blocked = path("blocked.GLB");
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("blocked.GLB")));
        w.trigger("actionExport_tree_as_glTF", {blocked});
        expectBox("Could not export the tree.");
        w.trigger("actionExport_forest_as_glTF", {blocked});
        expectBox("Could not export the forest.");
    }

    void everyWriteOntoAFullDiskSequenceFramesAndAutosavesIncludedTellsTheUserOnceAndKeepsTheOldFile()
    {
        // A small plant area keeps the steps quick; autosaves are written into the work folder.
        w.model()->setLupaMinX(45);
        w.model()->setLupaMaxX(48);
        w.model()->setLupaMinY(45);
        w.model()->setLupaMaxY(48);
        QVERIFY(QDir::setCurrent(fullDiskFolder.path()));
        const char *save = "Could not save file.";
        const struct {
            const char *action, *file, *text;
            bool treeEditMode;
        } writes[] = {
            {"actionExport_current_tree_geometry_as_vertices", "tree.crs", save, true},
            {"actionSave_parameters", "tree.tree.xml", "Could not open file.", false},
            {"actionExport_custom_resolution_image", "custom.png", save, false},
            {"actionSave_simulation", "forest.sim", save, false},
        };
        for (const auto &[actionName, name, text, treeEditMode] : writes) {
            w.setTreeEditMode(treeEditMode);
            const QString file = fullDiskFolder.filePath(QString::fromLatin1(name));
            const QByteArray old("the previous file\n");
            QVERIFY(guitest::writeContent(file, old));
            {
                const testsupport::FileSizeLimit full;
                // The custom resolution's dialog is confirmed as it opens; a vertex file is written
                // while the tree is drawn, and its box comes queued.
                w.answer(actionName, "okButton", [](QDialog &) {}, {file});
                QTRY_COMPARE_WITH_TIMEOUT(dialogs().texts.size(), 1, 10000);
            }
            expectBox(QString::fromLatin1(text));
            QCOMPARE(contentOf(file), old);
            QCOMPARE(files(fullDiskFolder), QStringList{QString::fromLatin1(name)});
            QVERIFY(QFile::remove(file));
        }

        // The frames of a sequence export are named after the last window image.
        const QString image = fullDiskFolder.filePath(QStringLiteral("frame.png"));
        w.trigger("actionExport_window_image", {image});
        QVERIFY(dialogs().texts.isEmpty());
        const QString frame = image + QStringLiteral("7.png");
        QVERIFY(guitest::writeContent(frame, "old frame"));

        // The next autosave step, with an old file of its name; two saves due within four steps
        // rather than sixty.
        w.action("actionAutosave_simulation")->trigger();
        w.model()->setAutosave(2);
        const int interval = w.model()->getAutosaveSteps();
        const int step = w.simulation().step();
        const QString autosave =
            fullDiskFolder.filePath(QString::number((step / interval + 1) * interval) + ".sim");
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
        QCOMPARE(contentOf(frame), QByteArray("old frame"));
        QCOMPARE(contentOf(autosave), QByteArray("old save"));
        w.action("actionAutosave_simulation")->trigger();
        QCOMPARE(w.model()->getAutosaveSteps(), -1);
        // The mark stays off when the window next brings its marks in line with the model.
        emit w.model()->modelDataChanged();
        QVERIFY(!w.action("actionAutosave_simulation")->isChecked());
        // No temporary file (a hidden one next to its target) is left behind.
        for (const QString &name : files(fullDiskFolder))
            QVERIFY2(!name.startsWith(QLatin1Char('.')), qPrintable(name));
    }
};

VERDALIS_GUI_TEST_MAIN(TestFileActions)
#include "test_fileactions.moc"
