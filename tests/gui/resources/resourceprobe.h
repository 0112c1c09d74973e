#pragma once

#include <QStringList>

// Lists every file of the compiled-in bundle; lives in a static library on purpose.
QStringList compiledInResourceFiles();
