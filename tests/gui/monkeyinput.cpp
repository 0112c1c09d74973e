#include "monkeyinput.h"

#include <QApplication>
#include <QMouseEvent>

#include <iterator>

const Key monkeyKeys[] = {{Qt::Key_Left, Qt::NoModifier, "Left"},
                          {Qt::Key_Right, Qt::NoModifier, "Right"},
                          {Qt::Key_Up, Qt::NoModifier, "Up"},
                          {Qt::Key_Down, Qt::NoModifier, "Down"},
                          {Qt::Key_Left, Qt::ShiftModifier, "Shift+Left"},
                          {Qt::Key_Up, Qt::ShiftModifier, "Shift+Up"},
                          {Qt::Key_Escape, Qt::NoModifier, "Esc"},
                          {Qt::Key_F5, Qt::NoModifier, "F5"},
                          {Qt::Key_Plus, Qt::NoModifier, "+"},
                          {Qt::Key_Minus, Qt::NoModifier, "-"},
                          {Qt::Key_0, Qt::ControlModifier, "Ctrl+0"},
                          {Qt::Key_1, Qt::ControlModifier, "Ctrl+1"},
                          {Qt::Key_3, Qt::ControlModifier, "Ctrl+3"},
                          {Qt::Key_5, Qt::ControlModifier, "Ctrl+5"},
                          {Qt::Key_Space, Qt::NoModifier, "Space"},
                          {Qt::Key_Q, Qt::NoModifier, "Q"},
                          {Qt::Key_A, Qt::NoModifier, "A"},
                          {Qt::Key_W, Qt::NoModifier, "W"},
                          {Qt::Key_L, Qt::NoModifier, "L"},
                          {Qt::Key_C, Qt::NoModifier, "C"},
                          {Qt::Key_S, Qt::NoModifier, "S"},
                          {Qt::Key_Home, Qt::NoModifier, "Home"},
                          {Qt::Key_End, Qt::NoModifier, "End"},
                          {Qt::Key_Delete, Qt::NoModifier, "Delete"},
                          {Qt::Key_PageUp, Qt::NoModifier, "PageUp"},
                          {Qt::Key_PageDown, Qt::NoModifier, "PageDown"},
                          {Qt::Key_Insert, Qt::NoModifier, "Insert"},
                          {Qt::Key_Backspace, Qt::NoModifier, "Backspace"},
                          {Qt::Key_2, Qt::NoModifier, "2"},
                          {Qt::Key_7, Qt::NoModifier, "7"},
                          {Qt::Key_Escape, Qt::ShiftModifier, "Shift+Esc"}};

const int monkeyKeyCount = int(std::size(monkeyKeys));

void sendMouse(QWidget *target, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, at, target->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}
