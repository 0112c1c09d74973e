#pragma once

#include <QMainWindow>

#include <array>
#include <memory>

class QAction;

namespace Ui {
class MainWindow;
}

namespace ecosystem::render {
class EcosystemRender;
}

namespace gui {

class DialogService;
class OglWidget;
class ParameterHistory;
class StatusReport;

namespace actionhandling {
class DesignHandler;
class FileHandler;
class TimeKeeper;
class ViewHandler;
class NavigationHandler;
} // namespace actionhandling

// The top-level window: every command of the program as an action, the first OpenGL view and,
// once that view has created the render model, the handlers the actions are wired to.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr, Qt::WindowFlags flags = {});
    ~MainWindow() override;

    ecosystem::render::EcosystemRender *model() const { return renderModel; }
    OglWidget *firstView() const { return firstOglWidget; }
    // Every view, the first one included, in the order they were created.
    QList<OglWidget *> views() const;
    actionhandling::FileHandler *fileHandler() const { return fileHandlerObject; }
    actionhandling::TimeKeeper *timeKeeper() const { return timeKeeperHandler; }
    actionhandling::ViewHandler *viewHandler() const { return viewHandlerObject; }
    actionhandling::NavigationHandler *navigationHandler() const { return navigationHandlerObject; }
    actionhandling::DesignHandler *designHandler() const { return designHandlerObject; }
    // Undo and redo of the trees' designed parameter sets (Edit menu).
    ParameterHistory *parameterHistory() const { return history; }

    // How this window asks the user things (file choices, modal dialogs, boxes); tests replace it.
    DialogService &dialogs() const { return *dialogService; }
    void setDialogService(std::unique_ptr<DialogService> service);

public slots:
    void bindNewModel(ecosystem::render::EcosystemRender *model);
    void newGlContextInitialized(gui::OglWidget *view);
    void on_actionSet_plant_area_triggered();
    void on_actionEdit_random_generator_seeds_triggered();
    void on_actionShow_statistics_triggered();
    void on_actionUsage_triggered();
    void on_actionAbout_triggered();
    void on_actionAdd_view_triggered();
    void cycleView();

private slots:
    // Keeps the check marks of the view switches equal to the flags they flip.
    void syncCheckMarks();
    // Gives the keyboard back to the window after a menu was closed with Esc.
    void releaseMenuBarKeyboard();

private:
    void connectFileActions();
    void connectTimeKeeper();
    void connectTreeActions();
    void connectDesignActions();
    void connectViewActions();
    void connectNavigationActions();
    // Connects each action of the window to the slot of `receiver` that has the action's name.
    void connectActionsByName(QObject *receiver);
    void createStatusReport();
    void createUndoActions();
    // The View menu's "Tree scale" actions in the order of ecosystem::render::TreeScales.
    std::array<QAction *, 4> treeScaleActions() const;

    std::unique_ptr<Ui::MainWindow> ui;
    std::unique_ptr<DialogService> dialogService;
    ecosystem::render::EcosystemRender *renderModel = nullptr;
    OglWidget *firstOglWidget = nullptr;
    QList<OglWidget *> addedViews;
    actionhandling::FileHandler *fileHandlerObject = nullptr;
    actionhandling::TimeKeeper *timeKeeperHandler = nullptr;
    actionhandling::ViewHandler *viewHandlerObject = nullptr;
    actionhandling::NavigationHandler *navigationHandlerObject = nullptr;
    actionhandling::DesignHandler *designHandlerObject = nullptr;
    ParameterHistory *history = nullptr;
    StatusReport *statusReport = nullptr;
};

} // namespace gui
