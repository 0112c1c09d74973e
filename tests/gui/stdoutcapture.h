#pragma once

#include <QDir>
#include <QFile>
#include <QString>

#include <cstdio>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

// Sends the process's standard output into a temporary file while it lives; text() returns what
// was written so far.
class StdoutCapture {
public:
    StdoutCapture() : path(QDir::temp().filePath(QStringLiteral("verdalis-stdout-%1.txt").arg(getpid())))
    {
        flush();
        savedFd = dup(STDOUT_FILENO);
        const int fd = open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(fd, STDOUT_FILENO);
        close(fd);
    }
    ~StdoutCapture()
    {
        flush();
        if (savedFd >= 0) {
            dup2(savedFd, STDOUT_FILENO);
            close(savedFd);
        }
        QFile::remove(path);
    }
    StdoutCapture(const StdoutCapture &) = delete;
    StdoutCapture &operator=(const StdoutCapture &) = delete;

    QString text()
    {
        flush();
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
    }

private:
    static void flush()
    {
        std::cout.flush();
        std::fflush(stdout);
    }

    int savedFd = -1;
    QString path;
};
