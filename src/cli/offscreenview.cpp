#include "cli/offscreenview.h"

#include "cli/command.h"
#include "cli/terrainresources.h"
#include "lignet/gl/glviewdefaults.h"

#include <QBuffer>
#include <QImage>

#include <cstdlib>

namespace cli {

namespace {

bool haveDisplay()
{
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (const char *value = std::getenv(name); value != nullptr && *value != '\0')
            return true;
    return false;
}

} // namespace

OffscreenView::OffscreenView(QSize size)
{
    if (!haveDisplay()) {
        error_ = "drawing needs a display; run the command under xvfb-run";
        return;
    }
    // Qt keeps pointers to the arguments for the application's whole life.
    static int argc = 1;
    static char name[] = "verdalis-cli";
    static char *argv[] = {name, nullptr};
    application_ = std::make_unique<QGuiApplication>(argc, argv);
    context_ = std::make_unique<lignet::gl::OffscreenContext>(size);
    if (!context_->isValid()) {
        error_ = context_->error().toStdString();
        return;
    }
    lignet::gl::applyViewDefaults();
    lignet::gl::applyViewProjection(size.width(), size.height());
}

int OffscreenView::savePng(const std::string &path)
{
    const QImage image = context_->grab();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG"))
        return fail(ExitBadInput, "could not encode the picture for '" + path + "'");
    return writeOutput(path, std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
}

} // namespace cli
