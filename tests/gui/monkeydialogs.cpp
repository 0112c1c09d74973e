#include "monkeydialogs.h"

#include "gui/dialogs/plantarea.h"
#include "lignet/treeparameterfile.h"

#include <QAbstractSlider>
#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSpinBox>

#include <algorithm>

namespace {

// The patterns of a filter, "Images (*.png *.jpg)" -> {"*.png", "*.jpg"}.
QStringList patternsOf(const QString &filter)
{
    QStringList patterns;
    for (const auto &match : QRegularExpression(QStringLiteral("\\*\\.[A-Za-z.0-9]+")).globalMatch(filter))
        patterns << match.captured(0);
    return patterns;
}

} // namespace

bool MonkeyDialogs::fillWorkFolder(const QDir &work, int strands)
{
    lignet::TreeParameters light;
    if (!lignet::TreeParameterFile::load(light, "bin/zbirka-4/smrekaMini.tree.xml"))
        return false;
    light.numberOfStrands = strands;
    QImage picture(16, 16, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    bool made = lignet::TreeParameterFile::save(light, work.filePath("smreka.tree.xml").toStdString()) &&
                QFile::copy(QStringLiteral("gui/textures/100x100.dmr"), work.filePath("terrain.dmr")) &&
                picture.save(work.filePath("bark.png"));
    const std::pair<const char *, QByteArray> damaged[] = {
        {"damaged.tree.xml", "Tree\t3\nnumberOfStrands\tmany\n"},
        {"damaged.dmr", "1 2 3\n4 5\n"},
        {"damaged.sim", "Verdalis simulation\t9\n"},
        {"damaged.png", "\x89PNG\r\n"},
        {"old.tree", "2.x\n"}};
    for (const auto &[name, content] : damaged) {
        QFile file(work.filePath(QString::fromLatin1(name)));
        made = made && file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    }
    return made;
}

// One time in ten Cancel, one in ten a name that cannot be opened or written, else a file of the
// asked kind: an existing one to open, one of three names to save under.
QString MonkeyDialogs::answer(const QString &caption, const QString &filter, bool save)
{
    const int choice = below(10);
    const QStringList patterns = patternsOf(filter);
    const QString extension = patterns.isEmpty() ? QStringLiteral(".out") : patterns.first().mid(1);
    QString answer;
    if (choice == 1) {
        answer = folder.filePath(save ? QStringLiteral("missing/saved") + extension
                                      : QStringLiteral("missing/nothing-here.dat"));
    } else if (choice > 1 && save) {
        answer = folder.filePath(QStringLiteral("monkey-%1").arg(below(3)) + extension);
    } else if (choice > 1) {
        const QStringList files = folder.entryList(patterns, QDir::Files, QDir::Name);
        if (!files.isEmpty())
            answer = folder.filePath(files[below(int(files.size()))]);
    }
    log(QStringLiteral("  %1 \"%2\" -> %3")
            .arg(QLatin1String(save ? "save" : "open"), caption,
                 answer.isEmpty() ? QStringLiteral("Cancel") : answer));
    return answer;
}

void MonkeyDialogs::fillIn(QDialog &dialog)
{
    if (auto *area = qobject_cast<gui::PlantArea *>(&dialog)) {
        // One to four cells, so that a simulation step and a frame of its trees stay cheap.
        const int x = 1 + below(97);
        const int y = 1 + below(97);
        const int width = below(2);
        const int height = below(2);
        area->minX()->setValue(x);
        area->maxX()->setValue(x + width);
        area->minY()->setValue(y);
        area->maxY()->setValue(y + height);
        log(QStringLiteral("  plant area %1..%2 x %3..%4").arg(x).arg(x + width).arg(y).arg(y + height));
        return;
    }
    for (QSpinBox *box : dialog.findChildren<QSpinBox *>()) {
        if (below(2) == 0)
            continue;
        // Modest values: a picture of the largest size would take minutes to render.
        const int value =
            box->minimum() + below(std::max(1, std::min(box->maximum() - box->minimum(), 400) + 1));
        box->setValue(value);
        log(QStringLiteral("  %1 = %2").arg(box->objectName()).arg(value));
    }
    for (QAbstractSlider *slider : dialog.findChildren<QAbstractSlider *>()) {
        if (below(3) != 0 || slider->maximum() - slider->minimum() > 1000)
            continue;
        const int value = slider->minimum() + below(slider->maximum() - slider->minimum() + 1);
        slider->setValue(value);
        log(QStringLiteral("  %1 = %2").arg(slider->objectName()).arg(value));
    }
    const QString texts[] = {"abc", "-5", "4294967296", "123", QString(), folder.filePath("missing.png")};
    for (QLineEdit *edit : dialog.findChildren<QLineEdit *>()) {
        // Spin boxes have line edits of their own; those are set above.
        if (below(4) != 0 || qobject_cast<QSpinBox *>(edit->parentWidget()) != nullptr)
            continue;
        const QString text = texts[below(int(std::size(texts)))];
        edit->setText(text);
        log(QStringLiteral("  %1 = \"%2\"").arg(edit->objectName(), text));
    }
}

int MonkeyDialogs::exec(QDialog &dialog)
{
    log(QStringLiteral("  dialog %1 \"%2\"").arg(dialog.metaObject()->className(), dialog.windowTitle()));
    fillIn(dialog);
    const bool ok = below(2) == 0;
    log(ok ? QStringLiteral("  OK") : QStringLiteral("  Cancel"));
    ok ? dialog.accept() : dialog.reject();
    return ok ? QDialog::Accepted : QDialog::Rejected;
}

ModalCloser::ModalCloser(MonkeyLog logLine) : log(std::move(logLine))
{
    connect(&poll, &QTimer::timeout, this, [this] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            log(QStringLiteral("  box \"%1\": %2").arg(box->windowTitle(), box->text()));
            box->accept();
        } else if (auto *dialog = qobject_cast<QDialog *>(modal)) {
            log(QStringLiteral("  closed %1 \"%2\"")
                    .arg(dialog->metaObject()->className(), dialog->windowTitle()));
            dialog->reject();
        }
    });
    poll.start(20);
}
