// verdalis-cli ecosystem render: one ecosystem (or tree edit) frame drawn off screen to a PNG.

#include "cli/command.h"
#include "cli/offscreenview.h"
#include "ecosystem/render/camera.h"
#include "ecosystem/render/ecosystemrender.h"
#include "ecosystem/simulation/ecosystemsimulation.h"

#include <iostream>
#include <vector>

namespace {

using ecosystem::render::EcosystemRender;
using ecosystem::render::ViewOption;

// "normals, inclination, ..." as the table lists them.
std::string overlayNames()
{
    std::string names;
    for (const auto &info : ecosystem::render::viewOptionTable())
        if (!info.overlayName.empty())
            names += (names.empty() ? "" : ", ") + std::string(info.overlayName);
    return names;
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
    std::vector<ViewOption> overlays;
    for (const std::string &overlay : args.values("--overlay")) {
        const auto option = ecosystem::render::viewOptionForOverlay(overlay);
        if (!option)
            return cli::badUsage(self, "unknown overlay '" + overlay + "' (" + overlayNames() + ")");
        overlays.push_back(*option);
    }

    cli::OffscreenView view(QSize(size.first, size.second));
    if (!view.isValid())
        return cli::fail(cli::ExitBadInput, "ecosystem render: " + view.error());

    bool failed = false;
    EcosystemRender model(view.context().context(), [&failed](const QString &title, const QString &text) {
        cli::report(title.toStdString() + ": " + text.toStdString());
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
            return cli::badUsage(self, "there are only " +
                                           std::to_string(camera->predefinedPositions.size()) +
                                           " predefined cameras");
        camera->predefinedIndex = cameraIndex - 2;
        camera->nextPredefinedCamera();
    }
    for (const ViewOption option : overlays)
        model.toggleViewOptionFromMenu(option);
    if (args.has("--tree-edit"))
        model.toggleSingleRender();

    view.context().makeCurrent();
    model.render();
    const std::string out = args.positional[0];
    if (const int status = view.savePng(out))
        return status;
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
    command.details =
        "Builds the render model as the desktop program does (species trees from bin/zbirka-4 under\n"
        "the working directory, else the built-in ones), runs the steps, selects the camera and saves one "
        "frame as PNG.\n"
        "Needs a display; run it under xvfb-run on a machine without one.";
    command.options = {
        {"--steps", "N", "simulation steps before the frame (default 0)"},
        {"--dem", "FILE", "load this DEM terrain instead of the built-in one"},
        {"--camera", "K", "predefined camera K (1, 2, ...); default the reset camera"},
        {"--size", "WxH", "picture size in pixels (default 800x800)"},
        {"--overlay", "NAME", "an overlay to show (" + overlayNames() + "); repeatable"},
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
