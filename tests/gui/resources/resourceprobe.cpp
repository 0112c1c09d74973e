#include "resourceprobe.h"

#include <QDirIterator>

QStringList compiledInResourceFiles()
{
    QStringList files;
    QDirIterator it(QStringLiteral(":/gui"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}
