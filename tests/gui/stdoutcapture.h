#pragma once

#include <QString>

// Sends the process's standard output into a temporary file while it lives; text() returns what
// was written so far.
class StdoutCapture {
public:
    StdoutCapture();
    ~StdoutCapture();
    StdoutCapture(const StdoutCapture &) = delete;
    StdoutCapture &operator=(const StdoutCapture &) = delete;

    QString text();

private:
    void restore();

    int savedFd = -1;
    QString path;
};
