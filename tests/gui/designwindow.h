#pragma once

// The real main window in tree edit mode, for the tests of the design dialogs, and the mouse
// gestures those tests make on a graph.
#include "ecosystem/render/ecosystemrender.h"
#include "ecosystem/render/viewoptions.h"
#include "gui/design/distributiondesigner.h"
#include "gui/design/hoverpoints.h"
#include "gui/design/widgetgraph.h"
#include "gui/mainwindow.h"
#include "gui/oglwidget.h"
#include "lignet/treerenderer.h"

#include <QAction>
#include <QImage>
#include <QPointer>
#include <QtTest>

#include <memory>

class DesignWindow {
public:
    std::unique_ptr<gui::MainWindow> window;

    // Opens the window, waits for its model and switches to tree edit mode.
    bool open()
    {
        window = std::make_unique<gui::MainWindow>();
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            return false;
        if (!QTest::qWaitFor([this] { return window->model() != nullptr; }, 20000))
            return false;
        if (!window->model()->isViewOptionOn(ecosystem::render::ViewOption::SingleRender))
            action("actionShow_ecosystem")->trigger();
        return window->model()->isViewOptionOn(ecosystem::render::ViewOption::SingleRender);
    }

    QAction *action(const char *name) const
    {
        auto *found = window->findChild<QAction *>(QString::fromLatin1(name));
        if (found == nullptr)
            qFatal("no action %s", name);
        return found;
    }

    lignet::TreeRenderer *tree() const { return window->model()->getCurrentTree(); }
    lignet::TreeParameters &live() const { return tree()->designedParameters(); }
    int framesDrawn() const { return window->firstView()->framesDrawn(); }
    // What the first view shows, drawn anew.
    QImage picture() const { return window->firstView()->grabFramebuffer(); }

    // Triggers a design action and returns the designer it opened.
    gui::DistributionDesigner *openDesigner(const char *actionName) const
    {
        const auto before = window->findChildren<gui::DistributionDesigner *>();
        action(actionName)->trigger();
        for (gui::DistributionDesigner *designer : window->findChildren<gui::DistributionDesigner *>())
            if (!before.contains(designer))
                return designer;
        return nullptr;
    }
};

// Mouse gestures on a graph, sent as real events to the widget the point editor filters.
struct GraphMouse {
    gui::WidgetGraph *graph;

    QPointF point(int i) const { return graph->hoverPoints()->points().at(i); }
    int count() const { return int(graph->hoverPoints()->points().size()); }
    // A pixel of the widget that lies on point i (end points lie on the widget's right edge).
    QPoint on(int i) const
    {
        const QPointF p = point(i);
        return QPoint(std::min(int(p.x()), graph->width() - 1), std::min(int(p.y()), graph->height() - 1));
    }
    void press(QPoint at, Qt::MouseButton button = Qt::LeftButton) const
    {
        QTest::mousePress(graph, button, {}, at);
    }
    void move(QPoint to) const { QTest::mouseMove(graph, to); }
    void release(QPoint at, Qt::MouseButton button = Qt::LeftButton) const
    {
        QTest::mouseRelease(graph, button, {}, at);
    }
    // Presses on point i, moves it in steps to `to` and lets go.
    void drag(int i, QPoint to) const
    {
        const QPoint from = on(i);
        press(from);
        for (int step = 1; step <= 4; ++step)
            move(from + (to - from) * step / 4);
        release(to);
    }
    void click(QPoint at, Qt::MouseButton button = Qt::LeftButton) const
    {
        press(at, button);
        release(at, button);
    }
};
