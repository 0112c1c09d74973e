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

    // Names are compared whole and case-sensitively after splitting at single blanks.
    static bool listContains(const QString &extensionList, const QString &name);

private:
    bool wasQueried = false;
    bool multitexture = false;
    bool compiledVertexArray = false;
};

} // namespace gui
