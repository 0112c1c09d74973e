// Entry point of the display tests: the GUI application object must exist before any context.

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

int main(int argc, char **argv)
{
    // Listing the tests needs no display. Asked before InitGoogleTest, which removes its flags.
    const bool listing = std::any_of(argv + 1, argv + argc,
                                     [](const char *a) { return std::strcmp(a, "--gtest_list_tests") == 0; });
    ::testing::InitGoogleTest(&argc, argv);
    const auto application = listing ? nullptr : std::make_unique<QGuiApplication>(argc, argv);
    return RUN_ALL_TESTS();
}
