// verdalis-cli ecosystem render: one ecosystem (or tree edit) frame drawn off screen to a PNG.

#include "cli/command.h"
#include "cli/offscreenview.h"
#include "ecosystem/render/camera.h"
#include "ecosystem/render/ecosystemrender.h"
#include "ecosystem/render/treemeshes.h"
#include "ecosystem/simulation/ecosystemsimulation.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <iomanip>
#include <iostream>
#include <string>
#include <vector>

namespace {

using ecosystem::render::EcosystemRender;
using ecosystem::render::ViewOption;

// "1, 2, 5, 10".
std::string treeScaleNames()
{
    std::string names;
    for (const int scale : ecosystem::render::TreeScales)
        names += (names.empty() ? "" : ", ") + std::to_string(scale);
    return names;
}

// Draws the frame `frames` times, timing each up to glFinish; when asked, prints the "frame:" line
// of the fastest and median time and what the trees of the last frame sent to OpenGL.
void renderFrames(EcosystemRender &model, int frames, bool report)
{
    std::vector<double> milliseconds;
    for (int i = 0; i < frames; ++i) {
        const auto start = std::chrono::steady_clock::now();
        model.render();
        glFinish();
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        milliseconds.push_back(took.count());
    }
    if (!report)
        return;
    std::sort(milliseconds.begin(), milliseconds.end());
    const double median =
        milliseconds.size() % 2 == 1
            ? milliseconds[milliseconds.size() / 2]
            : (milliseconds[milliseconds.size() / 2 - 1] + milliseconds[milliseconds.size() / 2]) / 2;
    std::cout << std::fixed << std::setprecision(1) << "frame: min " << milliseconds.front() << " ms, median "
              << median << " ms, triangles " << model.getLastTreeTriangles() << ", draw calls "
              << model.getLastTreeDrawCalls() << std::endl;
    std::cout.unsetf(std::ios::fixed);
}

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
    int treeScale = 1;
    if (auto text = args.value("--tree-scale")) {
        const auto value = cli::parseInt(*text);
        if (!value || !ecosystem::render::isTreeScale(*value))
            return cli::badUsage(self, "--tree-scale needs one of " + treeScaleNames());
        treeScale = *value;
    }
    int frames = 1;
    if (auto text = args.value("--frames")) {
        const auto value = cli::parseInt(*text);
        if (!value || *value < 1 || *value > 10000)
            return cli::badUsage(self, "--frames needs a whole number between 1 and 10000");
        frames = *value;
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

    model.getSimulation().setEnvironmentalDeaths(args.has("--environmental-deaths"));
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
    if (args.has("--reference-drawing"))
        model.setReferenceDrawing(true);
    if (args.has("--exact-distant-trees"))
        model.toggleViewOptionFromMenu(ViewOption::ExactDistantTrees);
    if (args.has("--fast-distant-trees"))
        model.toggleViewOptionFromMenu(ViewOption::FastDistantTrees);
    model.setTreeScale(treeScale);
    // The timing line is the only line a timed run adds.
    if (args.has("--frames") && model.isViewOptionOn(ViewOption::ShowFPS))
        model.toggleShowFPS();

    view.context().makeCurrent();
    renderFrames(model, frames, args.has("--frames"));
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
        {"--environmental-deaths", "", "a fired environmental test kills the plant during the steps"},
        {"--tree-scale", "N", "draw the trees N times their size (" + treeScaleNames() + "; default 1)"},
        {"--exact-distant-trees", "", "draw every tree exactly, none of the distant ones as a picture"},
        {"--fast-distant-trees", "",
         "draw the trees up to " +
             std::to_string(static_cast<int>(ecosystem::render::TreeMeshes::FastImpostorThreshold)) +
             " pixels tall as pictures (faster, less exact)"},
        {"--reference-drawing", "", "draw the trees in immediate mode, one primitive at a time"},
        {"--frames", "K",
         "draw the frame K times, save the last and print a line \"frame: min A ms, median B ms, "
         "triangles T, draw calls D\" (the trees' triangles and draw calls)"},
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
