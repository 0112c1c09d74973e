#pragma once

#include <QEvent>
#include <QPoint>
#include <QWidget>
#include <Qt>

// The keys and mouse events of the random walk through the main window.

struct Key {
    int key;
    Qt::KeyboardModifiers modifiers;
    const char *name;
};

// The keys a user reaches for on a view: movement with and without Shift, the camera and
// simulation shortcuts, the view switches and the digits.
extern const Key monkeyKeys[];
extern const int monkeyKeyCount;

// A mouse event sent straight to `target`, as the window system would deliver it.
void sendMouse(QWidget *target, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons buttons);
