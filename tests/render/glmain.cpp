// Test main for the drawing tests: a GUI application object exists for image plug-ins and
// off-screen OpenGL contexts.
#include <QGuiApplication>
#include <QSurfaceFormat>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QSurfaceFormat format;
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    QSurfaceFormat::setDefaultFormat(format);
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
