#include "gui/glextensioncheck.h"

#include <QStringList>

namespace gui {

GlExtensionCheck::GlExtensionCheck(const char *extensions)
{
    if (extensions == nullptr)
        return;
    wasQueried = true;
    const QString list = QString::fromLatin1(extensions);
    multitexture = listContains(list, QStringLiteral("GL_ARB_multitexture"));
    compiledVertexArray = listContains(list, QStringLiteral("GL_EXT_compiled_vertex_array"));
}

GlExtensionCheck::Notice GlExtensionCheck::noticeFor(bool &failoverNoticePending) const
{
    if (!wasQueried)
        return Notice::CouldNotQuery;
    const bool tellUser = failoverNoticePending && !compiledVertexArray;
    failoverNoticePending = false;
    return tellUser ? Notice::CompiledVertexArrayFailover : Notice::None;
}

bool GlExtensionCheck::listContains(const QString &extensionList, const QString &name)
{
    return extensionList.split(QLatin1Char(' '), Qt::KeepEmptyParts).contains(name, Qt::CaseSensitive);
}

} // namespace gui
