// verdalis-cli tree render: draws one tree edit frame off screen and saves it as a PNG image.

#include "cli/command.h"
#include "cli/treeio.h"
#include "ecosystem/render/texturehelper.h"
#include "lignet/gl/glviewdefaults.h"
#include "lignet/gl/offscreencontext.h"
#include "lignet/gl/treedrawing.h"
#include "lignet/treerenderer.h"

#include <QGuiApplication>
#include <QImage>
#include <QSaveFile>

#include <cstdlib>
#include <iostream>

namespace {

// The orbit camera's reset values.
constexpr double OrbitUp = -13.0;
constexpr double OrbitSide = 0.0;
constexpr double OrbitDistance = -15.0;

bool haveDisplay()
{
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM");
}

// Uploads the set's bark and leaf pictures with the near-white colour key, as the program does. A
// picture that cannot be read is reported and that part is drawn untextured.
void loadTreeTextures(lignet::TreeRenderer &tree)
{
    using ecosystem::render::TextureHelper;
    const lignet::TreeParameters &parameters = tree.designedParameters();
    const auto upload = [](const std::string &path, const char *what) -> GLuint {
        const QImage image = TextureHelper::loadImage(QString::fromLocal8Bit(path.c_str()));
        if (image.isNull()) {
            std::cerr << "verdalis-cli: could not open " << what << " texture file '" << path
                      << "'; drawing it untextured\n";
            return 0;
        }
        return TextureHelper::upload(TextureHelper::applyColourKey(image));
    };
    tree.settings().barkTexture = upload(parameters.barkTexturePath, "bark");
    tree.settings().leafTexture = upload(parameters.leafTexturePath, "leaf");
    lignet::gl::setTextureParameters(tree, true, true);
}

int run(const cli::Arguments &arguments)
{
    std::pair<int, int> size{800, 800};
    if (const auto text = arguments.value("--size")) {
        const auto parsed = cli::parseSize(*text);
        if (!parsed || parsed->first > 8192 || parsed->second > 8192)
            return cli::fail(cli::ExitBadUsage,
                             "--size needs WxH with both between 1 and 8192, not '" + *text + "'");
        size = *parsed;
    }
    double yaw = 0.0;
    double pitch = 0.0;
    for (const auto &[name, target] : {std::pair{"--yaw", &yaw}, std::pair{"--pitch", &pitch}}) {
        if (const auto text = arguments.value(name)) {
            const auto parsed = cli::parseDouble(*text);
            if (!parsed)
                return cli::fail(cli::ExitBadUsage,
                                 std::string(name) + " needs a number of degrees, not '" + *text + "'");
            *target = *parsed;
        }
    }
    lignet::TreeParameters parameters;
    if (const int status = cli::loadTreeFrom(arguments, parameters); status != cli::ExitOk)
        return status;
    if (!haveDisplay())
        return cli::fail(cli::ExitBadInput, "tree render needs a display; run it under xvfb-run");

    static int argc = 1;
    static char name[] = "verdalis-cli";
    static char *argv[] = {name, nullptr};
    QGuiApplication application(argc, argv);

    lignet::gl::OffscreenContext context(QSize(size.first, size.second));
    if (!context.isValid())
        return cli::fail(cli::ExitBadInput, context.error().toStdString());
    lignet::gl::applyViewDefaults();
    lignet::gl::applyViewProjection(size.first, size.second);

    lignet::TreeRenderer tree(parameters);
    tree.settings().wireframe = arguments.has("--wireframe");
    tree.settings().colourByOrders = arguments.has("--colour-orders");
    lignet::gl::createQuadric(tree);
    loadTreeTextures(tree);
    lignet::gl::drawTreeScene(tree, OrbitUp, OrbitSide, OrbitDistance, pitch, yaw);

    const QImage image = context.grab();
    const QString out = QString::fromStdString(arguments.positional[0]);
    QSaveFile file(out);
    if (image.isNull() || !file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
        return cli::fail(cli::ExitBadInput, "could not write '" + arguments.positional[0] + "'");
    return cli::ExitOk;
}

const bool registered = cli::registerCommand({
    "tree render",
    "OUT.png",
    "draw the tree edit view off screen into a PNG image",
    "Draws one frame of the tree edit view with the reset orbit camera, textured with the\n"
    "set's bark and leaf pictures, and saves it as PNG. Needs a display: under a headless session run it "
    "with xvfb-run.",
    {cli::treeFromOption(),
     {"--size", "WxH", "image size in pixels (default 800x800)"},
     {"--yaw", "DEG", "orbit turn about the vertical axis, degrees"},
     {"--pitch", "DEG", "orbit turn about the horizontal axis, degrees"},
     {"--wireframe", "", "draw branches and leaves as lines"},
     {"--colour-orders", "", "colour every branch by its Gravelius and Weibull orders"}},
    1,
    1,
    run,
});

} // namespace
