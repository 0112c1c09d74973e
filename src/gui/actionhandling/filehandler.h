#pragma once

#include <QObject>
#include <QString>

class QByteArray;
class QImage;
class QWidget;

namespace ecosystem::render {
class EcosystemRender;
}

namespace lignet {
class TreeRenderer;
struct TreeParameters;
} // namespace lignet

namespace gui {
class DialogService;
class OglWidget;
} // namespace gui

namespace gui::actionhandling {

// Every file command of the menus: tree parameter files, texture choice, LaTeX and vertex
// exports, window and custom-size images, the numbered frames of a sequence export, simulation
// files, the terrain and the sky pictures. Every file it writes replaces its target only when
// complete, and a failure tells the user and leaves the previous file as it was.
class FileHandler : public QObject {
    Q_OBJECT

public:
    // `dialogParent` is the main window: the parent of every dialog and box and the owner of the
    // dialog service; `view` is the view whose picture the image exports take.
    FileHandler(QWidget *dialogParent, ecosystem::render::EcosystemRender *model, OglWidget *view);

    const QString &lastImageName() const { return imageName; }
    const QString &lastGeometryName() const { return geometryName; }
    // Interval the autosave action switches on (steps).
    static constexpr int AutosaveSteps = 30;

signals:
    void reloadCurrentTreeTextures();
    // The tree or the scene changed in a way that no model signal announces.
    void forceRepaint();
    // A parameter file or a texture replaced part of `tree`'s designed set; `before` is the set as
    // it was (one undo step).
    void treeParametersChanged(lignet::TreeRenderer *tree, const lignet::TreeParameters &before,
                               const QString &text);

public slots:
    void actionSave_parameters();
    void actionLoad_parameters();
    void actionImport_tree_2_x_parameters();
    void actionLoad_bark_texture();
    void actionLoadleaf_texture();
    void actionExport_current_tree_as_Latex_formulas();
    void actionExport_current_tree_geometry_as_vertices();
    void actionExport_window_image();
    void actionExport_custom_resolution_image();
    void actionSave_simulation();
    void actionLoad_simulation();
    void actionLoad_DEM_terrain_model();
    void actionSet_sky_textures();
    void actionAutosave_simulation();
    void actionExport_tree_as_glTF();
    void actionExport_tree_as_OBJ();
    void actionExport_forest_as_glTF();
    void resetLastNames();
    void grabAnimationFrame(int frameNr);
    void grabGeometryFrame(int frameNr);
    // A vertex file could not be written while the tree was drawn; told once per export or
    // sequence export.
    void vertexExportFailed(const QString &reason);
    // One box until the autosave is switched again: the steps go on while it is open.
    void autosaveFailed(const QString &reason);

private:
    DialogService &dialogs() const;
    QString askOpen(const QString &caption, const QString &filter) const;
    QString askSave(const QString &caption, const QString &filter) const;
    void showError(const QString &text, const QString &details = {}) const;
    bool simulationReady() const;
    // The picture the view shows now (its last drawing; nothing is drawn anew).
    QImage viewPicture() const;
    bool savePng(const QImage &image, const QString &fileName, int quality, QString *reason) const;
    bool writeFile(const QString &fileName, const QByteArray &content, QString *reason) const;
    // Asks for a file name with the extension's filter and writes the current tree there.
    void exportCurrentTree(const QString &filter, const QString &extension);

    QString imageName;
    QString geometryName;
    QWidget *dialogParent;
    ecosystem::render::EcosystemRender *model;
    OglWidget *glView;
    bool frameFailureShown = false;
    bool geometryFailureShown = false;
    bool autosaveFailureShown = false;
};

} // namespace gui::actionhandling
