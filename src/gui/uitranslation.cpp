#include "gui/uitranslation.h"

#include <QCoreApplication>

namespace gui {

std::unique_ptr<QTranslator> installUiTranslation(const QString &localeName)
{
    auto translator = std::make_unique<QTranslator>();
    (void)translator->load(QStringLiteral(":/gui/translations/verdalis_") + localeName);
    QCoreApplication::installTranslator(translator.get());
    return translator;
}

} // namespace gui
