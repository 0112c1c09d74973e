#pragma once

#include <QString>

namespace gui {

// Reads the driver's extension string for the two extensions the view reports on.
// Kept apart from the widget so the parsing can be checked without a particular driver.
class GlExtensionCheck {
public:
    // `extensions` is the string from glGetString(GL_EXTENSIONS); null when the driver gave none.
    explicit GlExtensionCheck(const char *extensions);

    bool queried() const { return wasQueried; }
    bool hasMultitexture() const { return multitexture; }
    bool hasCompiledVertexArray() const { return compiledVertexArray; }

    enum class Notice { None, CouldNotQuery, CompiledVertexArrayFailover };

    // Which information box a view shows after this check. `failoverNoticePending` is the
    // process-wide flag: the failover notice is given at most once, and only when the first view
    // that gets this far lacks the extension; any check that read a list clears the flag.
    Notice noticeFor(bool &failoverNoticePending) const;

    // Names are compared whole and case-sensitively after splitting at single blanks.
    static bool listContains(const QString &extensionList, const QString &name);

private:
    bool wasQueried = false;
    bool multitexture = false;
    bool compiledVertexArray = false;
};

} // namespace gui
