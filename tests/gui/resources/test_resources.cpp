#include "resourceprobe.h"

#include <QDir>
#include <QFile>
#include <QCoreApplication>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {

TEST(Resources, defaultTerrainOpensWithTenThousandPoints)
{
    QFile file(QStringLiteral(":/gui/textures/100x100.dmr"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QTextStream in(&file);
    int points = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        EXPECT_EQ(line.split(QLatin1Char(' ')).size(), 3) << line.toStdString();
        ++points;
    }
    EXPECT_EQ(points, 10000);
}

TEST(Resources, bundleHoldsExactlyTheCommittedDataFiles)
{
    // Every file in the bundle is byte for byte the file under gui/ in the source tree.
    const QStringList files = compiledInResourceFiles();
    ASSERT_FALSE(files.isEmpty());
    for (const QString& resource : files) {
        QFile compiled(resource);
        ASSERT_TRUE(compiled.open(QIODevice::ReadOnly)) << resource.toStdString();
        QFile source(QStringLiteral(VERDALIS_SOURCE_DIR "/") + resource.mid(2));
        ASSERT_TRUE(source.open(QIODevice::ReadOnly)) << source.fileName().toStdString();
        EXPECT_TRUE(compiled.readAll() == source.readAll()) << resource.toStdString();
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
