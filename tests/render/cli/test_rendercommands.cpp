// The drawing commands of verdalis-cli, run as a user would run them.

#include "core/clirun.h"
#include "render/offscreengl.h"

#include <QColor>
#include <QImage>

#include <regex>
#include <string>

namespace {

const QRgb Sky = qRgb(68, 121, 137);

class RenderCommands : public testsupport::CliTest {
protected:
    QImage picture(const std::string &name) const
    {
        return QImage(QString::fromStdString(folder.file(name)));
    }
};

} // namespace

TEST_F(RenderCommands, treeRenderSavesTheTreeAtTheAskedSizeWithItsTexturesOrWarnsWithout)
{
    succeed("tree render tree.png --size 300x200 --yaw 45");
    const QImage image = picture("tree.png");
    EXPECT_EQ(image.size(), QSize(300, 200));
    EXPECT_FALSE(image.hasAlphaChannel());
    EXPECT_EQ(image.pixel(0, 0), Sky);
    EXPECT_GT(countPixels(image, [](QRgb p) { return p != Sky; }), 1000);

    succeed("tree save missing-bark.tree.xml");
    std::string text = read("missing-bark.tree.xml");
    write("missing-bark.tree.xml", text.replace(0, text.find('\n'), folder.file("no-such-bark.jpg")));
    succeed("tree render textured.png --size 200x200");
    const auto run = cli("tree render plain.png --size 200x200 --from missing-bark.tree.xml");
    ASSERT_EQ(run.status, 0);
    EXPECT_NE(run.err.find("could not open bark texture file"), std::string::npos) << run.err;
    EXPECT_NE(picture("textured.png"), picture("plain.png"));
    EXPECT_EQ(cli("tree render missing/tree.png --size 32x32").status, 1);
}

TEST_F(RenderCommands, ecosystemRenderShowsTheCameraAskedForThinsTheForestTimesFramesAndRefusesBadUsage)
{
    const auto image = [this](const std::string &arguments) {
        succeed("ecosystem render frame.png --size 120x90 " + arguments);
        return picture("frame.png");
    };
    const QImage reset = image("");
    const QColor sky = reset.pixelColor(60, 2), land = reset.pixelColor(60, 87);
    EXPECT_GT(sky.blue(), sky.red());
    EXPECT_GT(land.green(), land.blue());
    const QImage high = image("--camera 1");
    EXPECT_NE(high, reset);
    EXPECT_NE(image("--camera 1 --overlay markings"), high);
    EXPECT_EQ(image("--tree-edit").pixel(0, 0), Sky);

    EXPECT_EQ(cli("ecosystem render x.png --size 64x64 --camera 3").status, 2);
    // Refused before any drawing starts: the message is all there is.
    for (const char *usage :
         {"--overlay clouds", "--camera 0", "--steps -1", "--tree-scale 3", "--frames many"}) {
        const auto run = cli(std::string("ecosystem render x.png ") + usage);
        EXPECT_EQ(run.status, 2) << usage;
        EXPECT_EQ(run.err.rfind("verdalis-cli: ", 0), 0u) << run.err;
    }
    EXPECT_EQ(cli("ecosystem render x.png --size 32x32 --dem none.dmr").status, 1);

    // Environmental deaths thin the forest before the frame.
    const std::regex living(" of ([0-9]+) living after 30 steps");
    const std::string plainOut = succeed("ecosystem render plain.png --size 96x96 --steps 30");
    const std::string harshOut =
        succeed("ecosystem render harsh.png --size 96x96 --steps 30 --environmental-deaths");
    std::smatch plain, harsh;
    ASSERT_TRUE(std::regex_search(plainOut, plain, living) && std::regex_search(harshOut, harsh, living))
        << plainOut << harshOut;
    EXPECT_GT(std::stoi(harsh[1]), 0);
    EXPECT_LT(std::stoi(harsh[1]), std::stoi(plain[1]));

    // Frames are timed; the reference drawing sends the same triangles, one primitive at a time.
    const auto render = [this](const std::string &flags) {
        return succeed("ecosystem render frame.png --size 96x96 --tree-edit " + flags);
    };
    const std::string meshOut = render("--frames 3");
    EXPECT_NE(meshOut.find("frame: min "), std::string::npos) << meshOut;
    const auto triangles = meshOut.find("triangles ");
    ASSERT_NE(triangles, std::string::npos);
    EXPECT_GT(std::stoll(meshOut.substr(triangles + 10)), 0);
    const std::string referenceOut = render("--frames 2 --reference-drawing");
    EXPECT_EQ(referenceOut.substr(referenceOut.find("triangles ")).substr(0, 20),
              meshOut.substr(triangles).substr(0, 20));

    succeed("ecosystem render forest.png --size 64x64 --tree-scale 10 --exact-distant-trees");
}
