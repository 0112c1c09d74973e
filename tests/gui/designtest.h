#pragma once

// What the design tests share: the real window in tree edit mode with its trees drawn, the design
// dialogs opened through their actions, and mouse and keyboard input as a user gives it.
#include "gui/design/advancedtreeproperties.h"
#include "gui/design/distributiondesigner.h"
#include "gui/design/hoverpoints.h"
#include "gui/design/widgetgraph.h"
#include "gui/parameterhistory.h"
#include "guitest.h"

#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace designtest {

using guitest::part;

// Mouse gestures on a graph, sent as real events to the widget the point editor filters.
struct GraphMouse {
    gui::WidgetGraph *graph;

    QPointF point(int i) const { return graph->hoverPoints()->points().at(i); }
    int count() const { return int(graph->hoverPoints()->points().size()); }
    int width() const { return graph->width(); }
    int height() const { return graph->height(); }
    // A pixel of the widget that lies on point i (end points lie on the widget's right edge).
    QPoint on(int i) const
    {
        return QPoint(std::min(int(point(i).x()), width() - 1), std::min(int(point(i).y()), height() - 1));
    }
    void press(QPoint at, Qt::MouseButton b = Qt::LeftButton) const { QTest::mousePress(graph, b, {}, at); }
    void move(QPoint to) const { QTest::mouseMove(graph, to); }
    void release(QPoint at, Qt::MouseButton b = Qt::LeftButton) const
    {
        QTest::mouseRelease(graph, b, {}, at);
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
    void click(QPoint at, Qt::MouseButton b = Qt::LeftButton) const { QTest::mouseClick(graph, b, {}, at); }
};

struct DesignWindow : guitest::Window {
    bool openInTreeEditMode()
    {
        if (!open(true, true))
            return false;
        setTreeEditMode(true);
        return treeEditMode();
    }
    gui::DistributionDesigner *designer(const char *actionName) const
    {
        return opened<gui::DistributionDesigner>(actionName);
    }
    gui::AdvancedTreeProperties *properties() const
    {
        return opened<gui::AdvancedTreeProperties>("actionAdvanced_tree_properties");
    }
    QUndoStack &steps() const { return window->parameterHistory()->stack(); }
    void undoKey(Qt::KeyboardModifiers extra = {}) const
    {
        QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier | extra);
    }
};

// Clicks the dialog's button and waits until the dialog is gone.
inline void close(QDialog *dialog, const char *button)
{
    QPointer<QDialog> guard(dialog);
    QTest::mouseClick(part<QPushButton>(dialog, button), Qt::LeftButton);
    QTRY_VERIFY(guard.isNull());
}

// Types `text` into a spin box as a user would: select all, type, Enter.
inline void type(QAbstractSpinBox *box, const QString &text)
{
    QLineEdit *edit = box->findChild<QLineEdit *>();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

} // namespace designtest
