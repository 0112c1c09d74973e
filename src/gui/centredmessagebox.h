#pragma once

#include <QString>

class QWidget;

namespace gui {

// Shows an information box with one OK button modally and returns when it is closed. The box has
// no parent window (as the boxes defined without one have), yet it opens centred on `centreOn`,
// where the user is looking, rather than in the middle of the screen.
void showCentredInformation(QWidget *centreOn, const QString &title, const QString &text);

} // namespace gui
