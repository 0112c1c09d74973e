#include "modalcatcher.h"

#include <QApplication>
#include <QMessageBox>

ModalCatcher::ModalCatcher()
{
    connect(&poll, &QTimer::timeout, this, &ModalCatcher::closeOpenBoxes);
    poll.start(20);
}

void ModalCatcher::closeOpenBoxes()
{
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (box == nullptr)
        return;
    titles << box->windowTitle();
    texts << box->text();
    geometries << box->frameGeometry();
    parented << (box->parentWidget() != nullptr);
    box->accept();
}
