#include "gui/centredmessagebox.h"

#include <QMessageBox>
#include <QPointer>
#include <QShowEvent>

namespace gui {

namespace {

// The box knows its final size only once it is being shown, so it is placed then, before the
// window system maps it.
class CentredMessageBox : public QMessageBox {
public:
    CentredMessageBox(QWidget *centreOn, const QString &title, const QString &text)
        : QMessageBox(QMessageBox::Information, title, text, QMessageBox::Ok), target(centreOn)
    {
    }

protected:
    void showEvent(QShowEvent *event) override
    {
        QMessageBox::showEvent(event);
        if (target != nullptr && target->isVisible())
            move(target->frameGeometry().center() - QPoint(width() / 2, height() / 2));
    }

private:
    QPointer<QWidget> target;
};

} // namespace

void showCentredInformation(QWidget *centreOn, const QString &title, const QString &text)
{
    CentredMessageBox box(centreOn, title, text);
    box.exec();
}

} // namespace gui
