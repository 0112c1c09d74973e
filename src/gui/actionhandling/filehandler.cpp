#include "gui/actionhandling/filehandler.h"

#include "assets/speciestrees.h"
#include "ecosystem/render/ecosystemrender.h"
#include "ecosystem/scene/ecosystemscene.h"
#include "gui/dialogs/pixmapexportdialog.h"
#include "gui/dialogs/skytextures.h"
#include "gui/dialogservice.h"
#include "gui/oglwidget.h"
#include "io/atomicfilewriter.h"
#include "lignet/gl/framebuffertarget.h"
#include "lignet/treelatexwriter.h"
#include "lignet/treeparameterfile.h"
#include "lignet/treerenderer.h"
#include "meshexport/files/exportfiles.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLocale>

#include <string>

namespace gui::actionhandling {

namespace {

// File code takes names as 8-bit strings.
std::string fileNameOf(const QString &name)
{
    return name.toLocal8Bit().toStdString();
}

QString treeFilter()
{
    return FileHandler::tr("Tree version 3.x parameters (*.tree.xml)");
}

QString imageFilter()
{
    return FileHandler::tr("Images (*.png *.xpm *.jpg *.bmp)");
}

} // namespace

FileHandler::FileHandler(QWidget *parentWidget, ecosystem::render::EcosystemRender *renderModel,
                         OglWidget *view)
    : QObject(parentWidget), dialogParent(parentWidget), model(renderModel), glView(view)
{
    // Queued: the failure is found while a view paints, and no box may open inside a paint.
    connect(model, &ecosystem::render::EcosystemRender::vertexExportFailed, this,
            &FileHandler::vertexExportFailed, Qt::QueuedConnection);
    connect(model, &ecosystem::render::EcosystemRender::autosaveFailed, this, &FileHandler::autosaveFailed,
            Qt::QueuedConnection);
}

DialogService &FileHandler::dialogs() const
{
    return dialogServiceFor(dialogParent);
}

QString FileHandler::askOpen(const QString &caption, const QString &filter) const
{
    return dialogs().getOpenFileName(dialogParent, caption, QString(), filter);
}

QString FileHandler::askSave(const QString &caption, const QString &filter) const
{
    return dialogs().getSaveFileName(dialogParent, caption, QString(), filter);
}

void FileHandler::showError(const QString &text, const QString &details) const
{
    dialogs().information(dialogParent, tr("Error"), text, details);
}

bool FileHandler::simulationReady() const
{
    if (model->isSimulationInitialised())
        return true;
    showError(tr("First run simulation please."));
    return false;
}

QImage FileHandler::viewPicture() const
{
    // QOpenGLWidget::grabFramebuffer would draw a new frame first, advancing every animation once
    // more per exported frame.
    glView->makeCurrent();
    const QImage image = lignet::gl::readBoundFramebuffer(glView->size() * glView->devicePixelRatio());
    glView->doneCurrent();
    return image;
}

bool FileHandler::writeFile(const QString &fileName, const QByteArray &content, QString *reason) const
{
    std::string why;
    const bool written = io::AtomicFileWriter::write(
        fileNameOf(fileName), std::string(content.constData(), std::size_t(content.size())), &why);
    if (!written && reason)
        *reason = QString::fromStdString(why);
    return written;
}

bool FileHandler::savePng(const QImage &image, const QString &fileName, int quality, QString *reason) const
{
    // PNG whatever the name's extension, encoded whole before the file is touched.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG", quality)) {
        if (reason)
            *reason = tr("The picture could not be encoded.");
        return false;
    }
    return writeFile(fileName, png, reason);
}

void FileHandler::actionSave_parameters()
{
    const QString name = askSave(tr("Choose a filename to save under"), treeFilter());
    if (name.isEmpty())
        return;
    std::string reason;
    if (!lignet::TreeParameterFile::save(model->getCurrentTree()->designedParameters(), fileNameOf(name),
                                         &reason))
        showError(tr("Could not open file."), QString::fromStdString(reason));
}

void FileHandler::actionLoad_parameters()
{
    const QString name = askOpen(tr("Choose a file to open"), treeFilter());
    if (name.isEmpty())
        return;
    std::string reason;
    lignet::TreeRenderer *tree = model->getCurrentTree();
    const lignet::TreeParameters before = tree->designedParameters();
    if (!lignet::TreeParameterFile::load(tree->designedParameters(), fileNameOf(name), &reason))
        showError(tr("Could not open file."), QString::fromStdString(reason));
    emit treeParametersChanged(tree, before, tr("Load parameters"));
    emit reloadCurrentTreeTextures();
    emit forceRepaint();
}

void FileHandler::actionImport_tree_2_x_parameters()
{
    const QString name = askOpen(tr("Choose a file to import"), tr("Tree version 2.x parameters (*.tree)"));
    if (name.isEmpty())
        return;
    dialogs().information(dialogParent, tr("Information"), tr("Not yet implemented."));
}

void FileHandler::actionLoad_bark_texture()
{
    const QString name = askOpen(tr("Choose a file to open"), imageFilter());
    if (name.isEmpty())
        return;
    lignet::TreeRenderer *tree = model->getCurrentTree();
    const lignet::TreeParameters before = tree->designedParameters();
    tree->designedParameters().barkTexturePath = fileNameOf(name);
    emit treeParametersChanged(tree, before, tr("Bark texture"));
    emit reloadCurrentTreeTextures();
    emit forceRepaint();
}

void FileHandler::actionLoadleaf_texture()
{
    const QString name = askOpen(tr("Choose a file to open"), imageFilter());
    if (name.isEmpty())
        return;
    lignet::TreeRenderer *tree = model->getCurrentTree();
    const lignet::TreeParameters before = tree->designedParameters();
    tree->designedParameters().leafTexturePath = fileNameOf(name);
    emit treeParametersChanged(tree, before, tr("Leaf texture"));
    emit reloadCurrentTreeTextures();
    emit forceRepaint();
}

void FileHandler::actionExport_current_tree_as_Latex_formulas()
{
    const QString name = askSave(tr("Choose a filename to export under"), tr("Latex files (*.tex)"));
    if (name.isEmpty())
        return;
    const lignet::TreeLatexWriter writer(QLocale::system().name().toStdString(), [](const char *text) {
        return QCoreApplication::translate("TreeLatexWriter", text).toStdString();
    });
    const std::string text = writer.text(model->getCurrentTree()->designedParameters());
    QString reason;
    if (!writeFile(name, QByteArray::fromStdString(text), &reason))
        showError(tr("Could not save file."), reason);
}

void FileHandler::actionExport_current_tree_geometry_as_vertices()
{
    const QString name =
        askSave(tr("Choose a filename to export under"), tr("Tree geometry vertices (*.crs)"));
    if (name.isEmpty())
        return;
    model->getCurrentTree()->requestVertexExport(fileNameOf(name));
    geometryName = name;
    geometryFailureShown = false;
    // The file is written while the tree is drawn; in tree edit mode that is this repaint.
    emit forceRepaint();
}

void FileHandler::actionExport_window_image()
{
    const QString name = askSave(tr("Choose a filename to export under"), imageFilter());
    if (name.isEmpty())
        return;
    QString reason;
    if (!savePng(viewPicture(), name, -1, &reason)) {
        showError(tr("Could not save file."), reason);
        return;
    }
    imageName = name;
}

void FileHandler::actionExport_custom_resolution_image()
{
    const QString name = askSave(tr("Choose a filename to export under"), imageFilter());
    if (name.isEmpty())
        return;
    PixmapExportDialog dialog(dialogParent);
    if (dialogs().exec(dialog) != QDialog::Accepted)
        return;
    const QSize size(dialog.pixmapWidth(), dialog.pixmapHeight());
    QString reason;
    // A large picture takes a while to draw and to pack.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    glView->makeCurrent();
    const QImage image = lignet::gl::renderOffscreen(
        size, [this] { model->render(); }, &reason);
    glView->doneCurrent();
    const bool saved = !image.isNull() && savePng(image, name, dialog.quality(), &reason);
    QGuiApplication::restoreOverrideCursor();
    if (image.isNull()) {
        showError(tr("Could not draw the picture."), reason);
        return;
    }
    if (!saved)
        showError(tr("Could not save file."), reason);
}

void FileHandler::actionSave_simulation()
{
    if (!simulationReady())
        return;
    const QString name = askSave(tr("Choose a filename to save under"), tr("Simulation files (*.sim)"));
    if (name.isEmpty())
        return;
    if (!model->saveSimulation(fileNameOf(name)))
        showError(tr("Could not save file."));
}

void FileHandler::actionLoad_simulation()
{
    if (!simulationReady())
        return;
    const QString name = askOpen(tr("Choose a simulation file to open"), tr("Simulation files (*.sim)"));
    if (name.isEmpty())
        return;
    if (!model->loadSimulation(fileNameOf(name)))
        showError(tr("Could not open file."));
    emit forceRepaint();
}

void FileHandler::actionLoad_DEM_terrain_model()
{
    const QString name = askOpen(tr("Choose a file to open"), tr("DEM model (*.dmr)"));
    if (name.isEmpty())
        return;
    // The model reports a file it cannot read and keeps the previous terrain.
    model->loadDem(fileNameOf(name));
}

void FileHandler::actionSet_sky_textures()
{
    SkyTextures dialog(dialogParent, model);
    dialogs().exec(dialog);
}

void FileHandler::actionAutosave_simulation()
{
    // The action is a switch: its second trigger turns the autosave off again, so its check mark
    // always tells the truth.
    model->setAutosave(model->getAutosaveSteps() >= 1 ? -1 : AutosaveSteps);
    autosaveFailureShown = false;
}

namespace {

// The dialog does not add the extension the filter names; the format follows it.
QString withExtension(const QString &name, const QString &extension)
{
    return name.endsWith(extension, Qt::CaseInsensitive) ? name : name + extension;
}

// Turns the pointer into a busy one while an export runs; the longest take a few seconds.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

} // namespace

void FileHandler::exportCurrentTree(const QString &filter, const QString &extension)
{
    QString name = askSave(tr("Choose a filename to export under"), filter);
    if (name.isEmpty())
        return;
    name = withExtension(name, extension);
    const lignet::TreeRenderer &tree = *model->getCurrentTree();
    // A species tree is named after its parameter file, the editable tree after the export.
    const auto index = static_cast<std::size_t>(model->getCurrentTreeIndex());
    const std::string &speciesFile = assets::speciesTreeFiles().at(index);
    const std::string treeName = speciesFile.empty() ? QFileInfo(name).completeBaseName().toStdString()
                                                     : meshexport::treeNameFromFile(speciesFile);
    meshexport::TreeExportOptions options;
    options.highQuality = tree.settings().highQuality;
    const BusyCursor busy;
    const meshexport::ExportReport report =
        meshexport::exportTree(tree.designedParameters(), treeName, options, fileNameOf(name));
    if (!report.ok)
        showError(tr("Could not export the tree."), QString::fromStdString(report.error));
}

void FileHandler::actionExport_tree_as_glTF()
{
    exportCurrentTree(tr("glTF binary (*.glb)"), QStringLiteral(".glb"));
}

void FileHandler::actionExport_tree_as_OBJ()
{
    exportCurrentTree(tr("Wavefront OBJ (*.obj)"), QStringLiteral(".obj"));
}

void FileHandler::actionExport_forest_as_glTF()
{
    QString name = askSave(tr("Choose a filename to export under"), tr("glTF binary (*.glb)"));
    if (name.isEmpty())
        return;
    name = withExtension(name, QStringLiteral(".glb"));
    const BusyCursor busy;
    const meshexport::ExportReport report = meshexport::exportForest(model->scene(), {}, fileNameOf(name));
    if (!report.ok)
        showError(tr("Could not export the forest."), QString::fromStdString(report.error));
}

void FileHandler::resetLastNames()
{
    imageName.clear();
    geometryName.clear();
    frameFailureShown = false;
    geometryFailureShown = false;
}

void FileHandler::grabAnimationFrame(int frameNr)
{
    if (imageName.isEmpty())
        return;
    QString reason;
    const QString name = imageName + QString::number(frameNr) + QStringLiteral(".png");
    if (savePng(viewPicture(), name, -1, &reason) || frameFailureShown)
        return;
    // One box per sequence: the frames keep coming while it is open.
    frameFailureShown = true;
    showError(tr("Could not save file."), reason);
}

void FileHandler::grabGeometryFrame(int frameNr)
{
    if (geometryName.isEmpty())
        return;
    const QString name = geometryName + QString::number(frameNr) + QStringLiteral(".crs");
    model->getCurrentTree()->requestVertexExport(fileNameOf(name));
}

void FileHandler::vertexExportFailed(const QString &reason)
{
    if (geometryFailureShown)
        return;
    geometryFailureShown = true;
    showError(tr("Could not save file."), reason);
}

void FileHandler::autosaveFailed(const QString &reason)
{
    if (autosaveFailureShown)
        return;
    autosaveFailureShown = true;
    showError(tr("Could not save file."), reason);
}

} // namespace gui::actionhandling
