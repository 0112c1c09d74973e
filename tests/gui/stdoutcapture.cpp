#include "stdoutcapture.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

StdoutCapture::StdoutCapture()
    : path(QDir::temp().filePath(QStringLiteral("verdalis-stdout-%1.txt").arg(getpid())))
{
    std::cout.flush();
    std::fflush(stdout);
    savedFd = dup(STDOUT_FILENO);
    const int fd = open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(fd, STDOUT_FILENO);
    close(fd);
}

StdoutCapture::~StdoutCapture()
{
    restore();
    QFile::remove(path);
}

QString StdoutCapture::text()
{
    std::cout.flush();
    std::fflush(stdout);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(file.readAll());
}

void StdoutCapture::restore()
{
    if (savedFd < 0)
        return;
    std::cout.flush();
    std::fflush(stdout);
    dup2(savedFd, STDOUT_FILENO);
    close(savedFd);
    savedFd = -1;
}
