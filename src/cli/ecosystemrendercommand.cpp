// verdalis-cli ecosystem render: one ecosystem (or tree edit) frame drawn off screen to a PNG.

#include "cli/command.h"
#include "ecosystem/render/camera.h"
#include "ecosystem/render/ecosystemrender.h"
#include "ecosystem/simulation/ecosystemsimulation.h"
#include "lignet/gl/glviewdefaults.h"
#include "lignet/gl/offscreencontext.h"

#include <QGuiApplication>
#include <QImageWriter>
#include <QString>

#include <cstdlib>
#include <functional>
#include <iostream>
#include <map>
#include <memory>

namespace {

using ecosystem::render::EcosystemRender;

const std::map<std::string, std::function<void(EcosystemRender &)>> &overlayToggles()
{
    static const std::map<std::string, std::function<void(EcosystemRender &)>> toggles = {
        {"normals", &EcosystemRender::toggleDisplayTerrainNormals},
        {"inclination", &EcosystemRender::toggleDisplayTerrainInclination},
        {"moisture", &EcosystemRender::toggleDisplayTerrainMoisture},
        {"sunniness", &EcosystemRender::toggleDisplayTerrainSunniness},
        {"windiness", &EcosystemRender::toggleDisplayTerrainWindiness},
        {"sun", &EcosystemRender::toggleDisplaySun},
        {"markings", &EcosystemRender::toggleDisplayLandMarkings},
    };
    return toggles;
}

bool hasDisplay()
{
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (const char *value = std::getenv(name); value != nullptr && *value != '\0')
            return true;
    return false;
}

int run(const cli::Command &self, const cli::Arguments &args)
{
    int steps = 0;
    if (auto text = args.value("--steps")) {
        const auto value = cli::parseInt(*text);
        if (!value || *value < 0)
            return cli::badUsage(self, "--steps needs a whole number of 0 or more");
        steps = *value;
    }
    int cameraIndex = 0;
    if (auto text = args.value("--camera")) {
        const auto value = cli::parseInt(*text);
        if (!value || *value < 1)
            return cli::badUsage(self, "--camera needs a predefined camera number, 1 or more");
        cameraIndex = *value;
    }
    std::pair<int, int> size{800, 800};
    if (auto text = args.value("--size")) {
        const auto value = cli::parseSize(*text);
        if (!value || value->first > 8192 || value->second > 8192)
            return cli::badUsage(self, "--size needs WxH with both between 1 and 8192");
        size = *value;
    }
    for (const std::string &overlay : args.values("--overlay"))
        if (overlayToggles().count(overlay) == 0)
            return cli::badUsage(self, "unknown overlay '" + overlay +
                                           "' (normals, inclination, moisture, sunniness, windiness, sun, "
                                           "markings)");
    if (!hasDisplay())
        return cli::fail(cli::ExitBadInput, "ecosystem render needs a display; run it under xvfb-run");

    static int argc = 1;
    static char name[] = "verdalis-cli";
    static char *argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    lignet::gl::OffscreenContext view(QSize(size.first, size.second));
    if (!view.isValid())
        return cli::fail(cli::ExitBadInput, view.error().toStdString());
    lignet::gl::applyViewDefaults();
    lignet::gl::applyViewProjection(size.first, size.second);

    bool failed = false;
    EcosystemRender model(view.context(), [&failed](const QString &title, const QString &text) {
        std::cerr << "verdalis-cli: " << title.toStdString() << ": " << text.toStdString() << std::endl;
        failed = true;
    });
    if (auto dem = args.value("--dem"); dem && !model.loadDem(*dem))
        return cli::ExitBadInput;
    if (failed)
        return cli::ExitBadInput;

    for (int i = 0; i < steps; ++i)
        model.getSimulation().simulateStep();
    if (cameraIndex > 0) {
        auto *camera = model.getCamera();
        if (static_cast<std::size_t>(cameraIndex) > camera->predefinedPositions.size())
            return cli::badUsage(self, "there are only " + std::to_string(camera->predefinedPositions.size()) +
                                           " predefined cameras");
        camera->predefinedIndex = cameraIndex - 2;
        camera->nextPredefinedCamera();
    }
    for (const std::string &overlay : args.values("--overlay"))
        overlayToggles().at(overlay)(model);
    if (args.has("--tree-edit"))
        model.toggleSingleRender();

    view.makeCurrent();
    model.render();
    const QImage image = view.grab();
    const std::string out = args.positional[0];
    QImageWriter writer(QString::fromLocal8Bit(out.c_str()), "png");
    if (!writer.write(image))
        return cli::fail(cli::ExitBadInput, "could not write " + out + ": " + writer.errorString().toStdString());
    std::cout << "rendered " << model.getLastRenderedCount() << " plants of "
              << model.getStatistics().nrPlants() << " living after " << model.getSimulation().step()
              << " steps into " << out << std::endl;
    return cli::ExitOk;
}

cli::Command makeCommand()
{
    cli::Command command;
    command.name = "ecosystem render";
    command.arguments = "OUT.png";
    command.summary = "Draw one ecosystem frame off screen after N simulation steps";
    command.details = "Builds the render model as the desktop program does (species trees from bin/zbirka-4 under\n"
                      "the working directory), runs the steps, selects the camera and saves one frame as PNG.\n"
                      "Needs a display; run it under xvfb-run on a machine without one.";
    command.options = {
        {"--steps", "N", "simulation steps before the frame (default 0)"},
        {"--dem", "FILE", "load this DEM terrain instead of the built-in one"},
        {"--camera", "K", "predefined camera K (1, 2, ...); default the reset camera"},
        {"--size", "WxH", "picture size in pixels (default 800x800)"},
        {"--overlay", "NAME", "normals, inclination, moisture, sunniness, windiness, sun or markings; repeatable"},
        {"--tree-edit", "", "draw the tree edit frame of the current tree instead"},
    };
    command.minPositional = 1;
    command.maxPositional = 1;
    return command;
}

const bool registered = [] {
    cli::Command command = makeCommand();
    const cli::Command copy = command;
    command.run = [copy](const cli::Arguments &args) { return run(copy, args); };
    return cli::registerCommand(std::move(command));
}();

} // namespace
