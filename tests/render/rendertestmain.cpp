// Entry point of the display tests: the GUI application object must exist before any context.

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

int main(int argc, char **argv)
{
    // Listing the tests needs no display. Asked before InitGoogleTest, which removes its flags.
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        listing |= std::strcmp(argv[i], "--gtest_list_tests") == 0;
    ::testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<QGuiApplication> application;
    if (!listing)
        application = std::make_unique<QGuiApplication>(argc, argv);
    return RUN_ALL_TESTS();
}
