// The advanced tree properties dialog on the real window (slider and spin box conversions, the
// round trip through the sliders on opening, Apply, Cancel, auto-proof) and undo and redo of the
// trees' parameter sets across a designer drag, a properties Apply, a file load and a texture.
#include "answeringdialogs.h"
#include "designwindow.h"
#include "gui/design/advancedtreeproperties.h"
#include "gui/parameterhistory.h"
#include "lignet/treeparameterfile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>

using gui::AdvancedTreeProperties;

namespace {

template <class T> T *part(const QWidget *dialog, const char *name)
{
    auto *found = dialog->findChild<T *>(QString::fromLatin1(name));
    if (found == nullptr)
        qFatal("no widget %s", name);
    return found;
}

} // namespace

class TestTreeProperties : public QObject {
    Q_OBJECT

    DesignWindow w;
    AnsweringDialogs *dialogs = nullptr;
    QTemporaryDir folder;

    AdvancedTreeProperties *openProperties()
    {
        const auto before = w.window->findChildren<AdvancedTreeProperties *>();
        w.action("actionAdvanced_tree_properties")->trigger();
        for (AdvancedTreeProperties *dialog : w.window->findChildren<AdvancedTreeProperties *>())
            if (!before.contains(dialog))
                return dialog;
        return nullptr;
    }

    void close(QDialog *dialog, const char *button)
    {
        QPointer<QDialog> guard(dialog);
        QTest::mouseClick(part<QPushButton>(dialog, button), Qt::LeftButton);
        QTRY_VERIFY(guard.isNull());
    }

    // Types `text` into a spin box as a user would: select all, type, Enter.
    static void type(QAbstractSpinBox *box, const QString &text)
    {
        QLineEdit *edit = box->findChild<QLineEdit *>();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    QUndoStack &steps() const { return w.window->parameterHistory()->stack(); }

    void undoKey() { QTest::keyClick(w.window.get(), Qt::Key_Z, Qt::ControlModifier); }
    void redoKey() { QTest::keyClick(w.window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); }

private slots:
    void initTestCase()
    {
        QVERIFY(folder.isValid());
        QVERIFY(w.open());
        auto answering = std::make_unique<AnsweringDialogs>();
        dialogs = answering.get();
        w.window->setDialogService(std::move(answering));
    }

    void cleanupTestCase() { w.window.reset(); }

    void openingPassesEveryScaledValueThroughItsSlider()
    {
        // The default thickness 0.01, held as a float, lies just below 0.01.
        AdvancedTreeProperties *dialog = openProperties();
        QVERIFY(dialog != nullptr && dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Advanced tree properties"));
        QCOMPARE(part<QSlider>(dialog, "sliderBranchThicknessPerStrand")->value(), 1999);
        QCOMPARE(w.live().branchThicknessPerStrand, float(1999 / 10000.0 * 0.05));
        QCOMPARE(part<QDoubleSpinBox>(dialog, "editBranchThicknessPerStrand")->text(),
                 QStringLiteral("0.01000"));
        QCOMPARE(part<QSlider>(dialog, "sliderTrinkHeight")->value(), 5000);
        QCOMPARE(part<QSlider>(dialog, "sliderPhyllotaxisAngle")->value(), 85);
        QCOMPARE(part<QSlider>(dialog, "sliderWindSpeedNodirect")->value(), 2500);
        QCOMPARE(part<QComboBox>(dialog, "editLeafType")->currentText(), QStringLiteral("Spiral"));
        w.window->activateWindow();
        QTest::qWait(50);
        dialog->grab().save(QStringLiteral(VERDALIS_BINARY_DIR "/advancedtreeproperties.png"));
        close(dialog, "buttonCancel");
        QCOMPARE(w.live().branchThicknessPerStrand, 0.01f);

        // Values beyond a slider's range come out at the slider's end; Cancel brings them back.
        w.live().numberOfStrands = 8000;
        w.live().trunkHeight = 20;
        dialog = openProperties();
        QCOMPARE(part<QSlider>(dialog, "sliderNumberOfStrands")->value(), 5000);
        QCOMPARE(w.live().numberOfStrands, 5000);
        QCOMPARE(w.live().trunkHeight, 10.0);
        QCOMPARE(part<QDoubleSpinBox>(dialog, "editTrinkHeight")->value(), 10.0);
        close(dialog, "buttonCancel");
        QCOMPARE(w.live().numberOfStrands, 8000);
        QCOMPARE(w.live().trunkHeight, 20.0);
        w.live().numberOfStrands = 1000;
        w.live().trunkHeight = 5;
    }

    void slidersConvertSpinBoxesStoreAsTypedAndCancelKeepsTheNonuniformWind()
    {
        const lignet::TreeParameters opening = w.live();
        AdvancedTreeProperties *dialog = openProperties();
        auto *slider = part<QSlider>(dialog, "sliderTrinkHeight");
        slider->setValue(2500);
        QCOMPARE(w.live().trunkHeight, 2.5);
        QCOMPARE(part<QDoubleSpinBox>(dialog, "editTrinkHeight")->text(), QStringLiteral("2.500"));

        type(part<QDoubleSpinBox>(dialog, "editTrinkHeight"), QStringLiteral("50"));
        QCOMPARE(w.live().trunkHeight, 50.0);
        QCOMPARE(slider->value(), 2500);

        part<QSlider>(dialog, "sliderLeafSize")->setValue(5000);
        QCOMPARE(w.live().leafSize, float(0.15));
        part<QComboBox>(dialog, "editLeafType")->setCurrentIndex(4);
        QCOMPARE(w.live().leafType, 4);
        type(part<QDoubleSpinBox>(dialog, "editWindSpeedNodirect"), QStringLiteral("7.5"));
        QCOMPARE(w.live().windSpeedNodirect, 7.5);

        close(dialog, "buttonCancel");
        QCOMPARE(w.live().trunkHeight, opening.trunkHeight);
        QCOMPARE(w.live().leafSize, opening.leafSize);
        QCOMPARE(w.live().leafType, opening.leafType);
        QCOMPARE(w.live().windSpeedNodirect, 7.5);
        w.live().windSpeedNodirect = opening.windSpeedNodirect;
    }

    void withoutAutoProofNothingRedrawsUntilApply()
    {
        AdvancedTreeProperties *dialog = openProperties();
        QTest::mouseClick(part<QCheckBox>(dialog, "cbAutoProof"), Qt::LeftButton);
        QTest::qWait(30);
        const int frames = w.framesDrawn();
        part<QSlider>(dialog, "sliderGravicentralism")->setValue(8000);
        part<QSlider>(dialog, "sliderNumberOfStrands")->setValue(1500);
        QCOMPARE(w.live().gravicentralism, 0.8);
        QCOMPARE(w.live().numberOfStrands, 1500);
        QTest::qWait(60);
        QCOMPARE(w.framesDrawn(), frames);
        QTest::mouseClick(part<QPushButton>(dialog, "buttonApply"), Qt::LeftButton);
        QTRY_VERIFY(w.framesDrawn() > frames);

        // Cancel after Apply returns to the applied values.
        part<QSlider>(dialog, "sliderGravicentralism")->setValue(1000);
        close(dialog, "buttonCancel");
        QCOMPARE(w.live().gravicentralism, 0.8);
        QCOMPARE(w.live().numberOfStrands, 1500);
        steps().undo();
        QCOMPARE(w.live().gravicentralism, 0.3);
        QCOMPARE(w.live().numberOfStrands, 1000);
    }

    void undoAndRedoGoAcrossADesignerDragAndAPropertiesApply()
    {
        const lignet::TreeParameters start = w.live();
        const QImage startPicture = w.picture();
        QCOMPARE(w.action("actionUndo")->isEnabled(), steps().canUndo());

        gui::DistributionDesigner *designer = w.openDesigner("actionDesign_branching_angles");
        const GraphMouse g{designer->graphG()};
        g.drag(1, QPoint(g.graph->width(), g.graph->height() / 3));
        const lignet::TreeParameters dragged = w.live();
        QVERIFY(!(dragged.curveG(1) == start.curveG(1)));
        QCOMPARE(w.action("actionUndo")->text(), QStringLiteral("&Undo Curve change"));

        AdvancedTreeProperties *dialog = openProperties();
        part<QSlider>(dialog, "sliderTrinkHeight")->setValue(7000);
        QTest::mouseClick(part<QPushButton>(dialog, "buttonApply"), Qt::LeftButton);
        close(dialog, "buttonOk");
        const lignet::TreeParameters applied = w.live();
        QCOMPARE(applied.trunkHeight, 7.0);
        QCOMPARE(applied.curveG(1), dragged.curveG(1));

        // Undo from the main window: the properties first, then the drag, redrawn and shown by the
        // designer still open.
        w.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        int frames = w.framesDrawn();
        undoKey();
        QCOMPARE(w.live().trunkHeight, start.trunkHeight);
        QCOMPARE(w.live().curveG(1), dragged.curveG(1));
        QTRY_VERIFY(w.framesDrawn() > frames);
        frames = w.framesDrawn();
        undoKey();
        QCOMPARE(w.live(), start);
        QTRY_VERIFY(w.framesDrawn() > frames);
        QCOMPARE(g.point(1).y(), double(float((1 - start.curveG(1)[1].y) * g.graph->height())));
        QCOMPARE(w.picture(), startPicture);

        redoKey();
        QCOMPARE(w.live(), dragged);
        QCOMPARE(g.point(1).y(), double(g.graph->height() / 3));
        redoKey();
        QCOMPARE(w.live(), applied);
        QVERIFY(!w.action("actionRedo")->isEnabled());

        // OK keeps the curves; two undos bring the start back.
        QPointer<QDialog> guard(designer);
        QTest::mouseClick(part<QPushButton>(designer, "okButton"), Qt::LeftButton);
        QTRY_VERIFY(guard.isNull());
        steps().undo();
        steps().undo();
        QCOMPARE(w.live(), start);
    }

    void aLoadedParameterFileAndAChosenTextureAreUndoneOneByOne()
    {
        const lignet::TreeParameters start = w.live();
        lignet::TreeParameters other = start;
        other.numberOfStrands = 640;
        other.curveW(3) = lignet::Krivulja{{0, 0.2}, {0.5, 0.9}, {1, 0.4}};
        other.computeAllDistributionTables();
        const QString file = folder.filePath(QStringLiteral("other.tree.xml"));
        QVERIFY(lignet::TreeParameterFile::save(other, file.toStdString()));
        QImage texture(8, 8, QImage::Format_RGB32);
        texture.fill(Qt::darkGreen);
        const QString picture = folder.filePath(QStringLiteral("bark.png"));
        QVERIFY(texture.save(picture));

        const int stepsBefore = steps().index();
        dialogs->fileAnswers = {file};
        w.action("actionLoad_parameters")->trigger();
        QCOMPARE(w.live().numberOfStrands, 640);
        dialogs->fileAnswers = {picture};
        w.action("actionLoad_bark_texture")->trigger();
        QCOMPARE(w.live().barkTexturePath, picture.toStdString());
        // A load that fails changes nothing and adds no step.
        dialogs->fileAnswers = {folder.filePath(QStringLiteral("missing.tree.xml"))};
        w.action("actionLoad_parameters")->trigger();
        QCOMPARE(dialogs->texts.last(), QStringLiteral("Could not open file."));
        QCOMPARE(steps().index(), stepsBefore + 2);
        QVERIFY(!steps().canRedo());

        w.action("actionUndo")->trigger();
        QCOMPARE(w.live().barkTexturePath, start.barkTexturePath);
        QCOMPARE(w.live().numberOfStrands, 640);
        QCOMPARE(w.live().curveW(3), other.curveW(3));
        w.action("actionUndo")->trigger();
        QCOMPARE(w.live(), start);
        w.action("actionRedo")->trigger();
        QCOMPARE(w.live().table(3), other.table(3));
        QVERIFY(dialogs->titles.size() == 1);
        w.action("actionUndo")->trigger();
        QCOMPARE(w.live(), start);
    }
};

int main(int argc, char *argv[])
{
    gui::OglWidget::prepareApplication();
    QApplication application(argc, argv);
    TestTreeProperties tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "test_treeproperties.moc"
