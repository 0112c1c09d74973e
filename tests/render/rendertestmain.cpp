// Entry point of the display tests: the GUI application object must exist before any context.

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <memory>

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests needs no display.
    const auto application =
        GTEST_FLAG_GET(list_tests) ? nullptr : std::make_unique<QGuiApplication>(argc, argv);
    return RUN_ALL_TESTS();
}
