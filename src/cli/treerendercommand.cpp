// verdalis-cli tree render: draws one tree edit frame off screen and saves it as a PNG image.

#include "cli/command.h"
#include "cli/offscreenview.h"
#include "cli/treeio.h"
#include "io/printableexcerpt.h"
#include "lignet/gl/treedrawing.h"
#include "lignet/treerenderer.h"

#include <iostream>

namespace {

// The orbit camera's reset values.
constexpr double OrbitUp = -13.0;
constexpr double OrbitSide = 0.0;
constexpr double OrbitDistance = -15.0;

// The set's bark and leaf pictures with the near-white colour key, as the program uploads them. A
// picture that cannot be read is reported and that part is drawn untextured.
lignet::gl::TreeTextures loadTreeTextures(const lignet::TreeParameters &parameters)
{
    const auto upload = [](const std::string &path, const char *what) {
        const GLuint name = lignet::gl::uploadTreeTexture(path);
        if (name == 0)
            cli::report(std::string("could not open ") + what + " texture file '" +
                        io::printableExcerpt(path, 254) + "'; drawing it untextured");
        return name;
    };
    return {upload(parameters.barkTexturePath, "bark"), upload(parameters.leafTexturePath, "leaf")};
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
    cli::OffscreenView view(QSize(size.first, size.second));
    if (!view.isValid())
        return cli::fail(cli::ExitBadInput, "tree render: " + view.error());

    lignet::TreeRenderer tree(parameters);
    tree.settings().wireframe = arguments.has("--wireframe");
    tree.settings().colourByOrders = arguments.has("--colour-orders");
    lignet::gl::TreeTextures textures = loadTreeTextures(parameters);
    lignet::gl::drawTreeScene(tree, textures, OrbitUp, OrbitSide, OrbitDistance, pitch, yaw);
    lignet::gl::releaseTreeTextures(textures);

    return view.savePng(arguments.positional[0]);
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
