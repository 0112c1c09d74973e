#pragma once

#include <QString>

class QWidget;

namespace gui {

// The title and text of the notice shown for a command whose dialog is not in this build yet.
QString notAvailableTitle();
QString notAvailableText(const QString &command);

// Shows that notice modally (one OK button) and returns when the user closes it.
void showNotAvailable(QWidget *parent, const QString &command);

} // namespace gui
