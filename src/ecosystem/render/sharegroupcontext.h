#pragma once

#include <QObject>
#include <QOffscreenSurface>
#include <QPointer>

#include <functional>

class QOpenGLContext;

namespace ecosystem::render {

// The share group GL objects of the scene live in. With shared contexts the group outlives every
// view in the application's global share context, so closing a view never releases shared names.
// When that long-lived context is about to be destroyed, `release` runs with it current on a
// surface of our own; afterwards nothing is released again.
class ShareGroupContext : public QObject {
    Q_OBJECT

public:
    // `context` is current (or null: then whatever is current is all there is).
    ShareGroupContext(QOpenGLContext *context, std::function<void()> release);

    // Runs `work` with a context of the group current: the caller's when it shares with the
    // group, else the group's owner on our own surface, after which the caller's context is
    // current again. False when no context of the group could be made current.
    bool run(const std::function<void()> &work);
    // Releases now (if not done yet); owners call it from their destructors.
    void releaseNow();

private:
    QPointer<QOpenGLContext> owner;
    QOffscreenSurface surface;
    std::function<void()> release;
};

} // namespace ecosystem::render
