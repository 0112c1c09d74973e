#pragma once

#include "lignet/gl/offscreencontext.h"

#include <QGuiApplication>
#include <QSize>

#include <memory>
#include <string>

namespace cli {

// What the drawing commands draw into: the application object and an off-screen compatibility
// context with a framebuffer of the picture's size, set up with the desktop view's fixed state and
// projection, so the picture is the one the program would show.
class OffscreenView {
public:
    // Check isValid(): without a display, or when the driver gives no context, error() says why.
    explicit OffscreenView(QSize size);

    bool isValid() const { return error_.empty(); }
    const std::string &error() const { return error_; }
    lignet::gl::OffscreenContext &context() { return *context_; }

    // The framebuffer as a PNG file, written whole or not at all; returns the exit status and
    // prints the error itself.
    int savePng(const std::string &path);

private:
    std::unique_ptr<QGuiApplication> application_;
    std::unique_ptr<lignet::gl::OffscreenContext> context_;
    std::string error_;
};

} // namespace cli
