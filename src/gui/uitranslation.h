#pragma once

#include <QString>
#include <QTranslator>

#include <memory>

namespace gui {

// Installs the program's catalogue for a locale name such as "sl_SI"
// (":/gui/translations/verdalis_" + name). The translator is installed even when there is no
// catalogue for the name, which leaves the English texts; it must outlive the windows.
std::unique_ptr<QTranslator> installUiTranslation(const QString &localeName);

} // namespace gui
