// The advanced tree properties of the real main window, with mouse and keyboard input as a user
// gives it, and undo and redo across designer drags, Apply, parameter file loads and textures.
#include "dialogstest.h"
#include "lignet/treeparameterfile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSlider>

namespace {

// Types `text` into a spin box as a user would: select all, type, Enter.
void type(QAbstractSpinBox *box, const QString &text)
{
    QLineEdit *edit = box->findChild<QLineEdit *>();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

} // namespace

void TestDialogs::propertiesSlidersConvertSpinBoxesStoreAsTypedAndCancelKeepsTheNonuniformWind()
{
    // Values beyond a slider's range come out at the slider's end; Cancel brings them back.
    w.live().numberOfStrands = 8000;
    AdvancedTreeProperties *dialog = properties();
    QCOMPARE(part<QSlider>(dialog, "sliderNumberOfStrands")->value(), 5000);
    QCOMPARE(w.live().numberOfStrands, 5000);
    close(dialog, "buttonCancel");
    QCOMPARE(w.live().numberOfStrands, 8000);
    w.live().numberOfStrands = 1000;

    const lignet::TreeParameters opening = w.live();
    dialog = properties();
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
    lignet::TreeParameters expected = opening;
    expected.windSpeedNodirect = 7.5;
    QCOMPARE(w.live(), expected);
    w.live().windSpeedNodirect = opening.windSpeedNodirect;
}

void TestDialogs::propertiesWithoutAutoProofRedrawNothingUntilApply()
{
    AdvancedTreeProperties *dialog = properties();
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

void TestDialogs::undoAndRedoGoAcrossADesignerDragAndAPropertiesApply()
{
    const lignet::TreeParameters start = w.live();
    const QImage startPicture = w.picture();
    DistributionDesigner *d = designer("actionDesign_branching_angles");
    const GraphMouse g{d->graphG()};
    g.drag(1, QPoint(g.width(), g.height() / 3));
    const lignet::TreeParameters dragged = w.live();
    QVERIFY(!(dragged.curveG(1) == start.curveG(1)));
    QCOMPARE(w.action("actionUndo")->text(), QStringLiteral("&Undo Curve change"));

    AdvancedTreeProperties *dialog = properties();
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
    QCOMPARE(g.point(1).y(), double(float((1 - start.curveG(1)[1].y) * g.height())));
    QCOMPARE(w.picture(), startPicture);

    undoKey(Qt::ShiftModifier);
    QCOMPARE(w.live(), dragged);
    QCOMPARE(g.point(1).y(), double(g.height() / 3));
    undoKey(Qt::ShiftModifier);
    QCOMPARE(w.live(), applied);
    QVERIFY(!w.action("actionRedo")->isEnabled());

    // OK keeps the curves; two undos bring the start back.
    close(d, "okButton");
    steps().undo();
    steps().undo();
    QCOMPARE(w.live(), start);
}

void TestDialogs::aLoadedParameterFileAndAChosenTextureAreUndoneOneByOne()
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
    w.trigger("actionLoad_parameters", {file});
    QCOMPARE(w.live().numberOfStrands, 640);
    w.trigger("actionLoad_bark_texture", {picture});
    QCOMPARE(w.live().barkTexturePath, picture.toStdString());
    // A load that fails changes nothing and adds no step.
    w.trigger("actionLoad_parameters", {folder.filePath(QStringLiteral("missing.tree.xml"))});
    QCOMPARE(w.dialogs->texts, QStringList{"Could not open file."});
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
    w.action("actionUndo")->trigger();
    QCOMPARE(w.live(), start);
}
