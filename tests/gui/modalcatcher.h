#pragma once

#include <QList>
#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTimer>

// Closes every modal message box that opens while it lives and remembers its title and text,
// so that a test can trigger an action that shows one without blocking.
class ModalCatcher : public QObject {
    Q_OBJECT

public:
    ModalCatcher();

    QStringList titles;
    QStringList texts;
    // Where each box was on the screen (frame included) and whether it had a parent widget.
    QList<QRect> geometries;
    QList<bool> parented;

private:
    void closeOpenBoxes();

    QTimer poll;
};
