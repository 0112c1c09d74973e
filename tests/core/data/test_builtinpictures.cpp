#include "imageheader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

const std::string kGui = VERDALIS_SOURCE_DIR "/gui/";

struct Picture {
    const char *file; // below gui/, as addressed by ":/gui/..."
    int width;
    int height;
    int channels;
};

const Picture kPictures[] = {
    {"textures/height1.jpg", 256, 256, 3},
    {"textures/height2.jpg", 256, 256, 3},
    {"textures/height3.jpg", 256, 256, 3},
    {"textures/height4.jpg", 256, 256, 3},
    {"textures/height5.jpg", 256, 256, 3},
    {"textures/bark.jpg", 256, 256, 3},
    {"textures/leaf.png", 256, 256, 4},
    {"textures/sky_n.png", 256, 256, 3},
    {"textures/sky_s.png", 256, 256, 3},
    {"textures/sky_e.png", 256, 256, 3},
    {"textures/sky_w.png", 256, 256, 3},
    {"textures/sky_u.png", 256, 256, 3},
    {"textures/sky_d.png", 256, 256, 3},
    {"textures/detail.png", 512, 512, 1},
    {"icons/icons/splash.png", 512, 400, 3},
    {"icons/icons/verdalis.png", 128, 128, 4},
    {"icons/icons/lignet.xpm", 128, 128, 4},
    {"icons/icons/fileopen.png", 48, 48, 4},
    {"icons/icons/filesave.png", 48, 48, 4},
    {"icons/icons/strands.png", 48, 48, 4},
    {"icons/icons/angles.png", 48, 48, 4},
    {"icons/icons/scaling.png", 48, 48, 4},
    {"icons/icons/gravimorphism.png", 48, 48, 4},
    {"icons/icons/treescalars.png", 48, 48, 4},
    {"icons/icons/ecosystem.png", 48, 48, 4},
    {"icons/icons/moistureness.png", 48, 48, 4},
    {"icons/icons/sunniness.png", 48, 48, 4},
    {"icons/icons/windiness.png", 48, 48, 4},
    {"icons/icons/navigate.png", 48, 48, 4},
    {"icons/icons/grow.png", 48, 48, 4},
    {"icons/icons/wind.png", 48, 48, 4},
    {"icons/icons/play.png", 48, 48, 4},
    {"icons/icons/fileopenecosystem.png", 48, 48, 4},
    {"icons/icons/filesaveecosystem.png", 48, 48, 4},
    {"icons/icons/area.png", 48, 48, 4},
    {"icons/icons/stats.png", 48, 48, 4},
};

std::string readText(const std::string &path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(BuiltinPictures, everyPictureHasItsSizeAndChannels)
{
    for (const Picture &p : kPictures) {
        const auto header = readImageHeader(kGui + p.file);
        ASSERT_TRUE(header.has_value()) << p.file;
        EXPECT_EQ(header->width, p.width) << p.file;
        EXPECT_EQ(header->height, p.height) << p.file;
        EXPECT_EQ(header->channels, p.channels) << p.file;
    }
}

TEST(BuiltinPictures, resourceBundleListsEveryBuiltinFile)
{
    const std::string qrc = readText(kGui + "verdalis.qrc");
    ASSERT_NE(qrc.find("prefix=\"/gui\""), std::string::npos);
    for (const Picture &p : kPictures)
        EXPECT_NE(qrc.find(std::string("<file>") + p.file + "</file>"), std::string::npos) << p.file;
    EXPECT_NE(qrc.find("<file>textures/100x100.dmr</file>"), std::string::npos);
}

TEST(BuiltinPictures, headerReaderRejectsDamagedFiles)
{
    const std::string dir = ::testing::TempDir();
    const std::string truncated = dir + "/truncated.png";
    {
        std::ofstream out(truncated, std::ios::binary);
        out << "\x89PNG\r\n\x1a\n";
    }
    EXPECT_FALSE(readImageHeader(truncated).has_value());
    const std::string text = dir + "/text.jpg";
    {
        std::ofstream out(text);
        out << "not a picture";
    }
    EXPECT_FALSE(readImageHeader(text).has_value());
    EXPECT_FALSE(readImageHeader(dir + "/missing.png").has_value());
}

} // namespace
