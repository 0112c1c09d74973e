#include "meshexport/files/exportfiles.h"

#include "io/atomicfilewriter.h"
#include "meshexport/files/exportpictures.h"
#include "meshexport/glbwriter.h"
#include "meshexport/objwriter.h"

#include <algorithm>
#include <cctype>

namespace meshexport {

namespace {

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool endsWith(const std::string &text, const std::string &suffix)
{
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string fileNameOf(const std::string &path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

ExportReport failure(std::string error, ExportReport report = {})
{
    report.ok = false;
    report.error = std::move(error);
    return report;
}

bool writeFile(ExportReport &report, const std::string &path, const std::string &bytes)
{
    std::string reason;
    if (!io::AtomicFileWriter::write(path, bytes, &reason)) {
        report.error = reason;
        return false;
    }
    report.files.push_back(path);
    report.bytes += bytes.size();
    return true;
}

void countScene(ExportReport &report, const ExportScene &scene)
{
    report.triangles = scene.triangleCount();
    report.meshes = scene.meshes.size();
    report.nodes = scene.nodes.size();
}

ExportReport writeGlb(const ExportScene &scene, const std::string &path)
{
    ExportReport report;
    countScene(report, scene);
    std::string bytes;
    std::string reason;
    if (!encodeGlb(scene, bytes, &reason))
        return failure("cannot export \"" + path + "\": " + reason, report);
    report.ok = writeFile(report, path, bytes);
    return report;
}

ExportReport writeObj(const ExportScene &scene, const std::string &path)
{
    ExportReport report;
    countScene(report, scene);
    const std::string base = path.substr(0, path.size() - 4);
    std::vector<std::string> pictureNames;
    for (std::size_t i = 0; i < scene.pictures.size(); ++i) {
        // "tree bark" becomes OUT_bark.png: the last word of the picture's name.
        const std::string &name = scene.pictures[i].name;
        const auto space = name.find_last_of(' ');
        const std::string role = space == std::string::npos ? name : name.substr(space + 1);
        const std::string picturePath = base + "_" + role + ".png";
        if (!writeFile(report, picturePath, scene.pictures[i].pngBytes))
            return failure(report.error, report);
        pictureNames.push_back(fileNameOf(picturePath));
    }
    const std::string mtlPath = base + ".mtl";
    if (!writeFile(report, mtlPath, mtlText(scene, pictureNames)) ||
        !writeFile(report, path, objText(scene, fileNameOf(mtlPath))))
        return failure(report.error, report);
    report.ok = true;
    return report;
}

} // namespace

std::optional<ExportFormat> exportFormatOf(const std::string &path)
{
    const std::string lower = lowerCase(path);
    // A name that is only the extension has no file name to put beside it.
    if (fileNameOf(lower).size() <= 4)
        return std::nullopt;
    if (endsWith(lower, ".glb"))
        return ExportFormat::Glb;
    if (endsWith(lower, ".obj"))
        return ExportFormat::Obj;
    return std::nullopt;
}

std::string treeNameFromFile(const std::string &path)
{
    std::string name = fileNameOf(path);
    if (endsWith(lowerCase(name), ".tree.xml"))
        name.resize(name.size() - 9);
    return name.empty() ? std::string("tree") : name;
}

ExportReport exportTree(const lignet::TreeParameters &parameters, const std::string &name,
                        const TreeExportOptions &options, const std::string &path)
{
    const auto format = exportFormatOf(path);
    if (!format)
        return failure("cannot export \"" + path + "\": the file name must end in .glb or .obj");
    std::string error;
    const auto pictures = loadTreePictures(parameters, &error);
    if (!pictures)
        return failure(error);
    const ExportScene scene = treeScene(parameters, name, options, *pictures);
    return *format == ExportFormat::Glb ? writeGlb(scene, path) : writeObj(scene, path);
}

ExportReport exportForest(const ecosystem::EcosystemScene &scene, const ForestExportOptions &options,
                          const std::string &path)
{
    if (exportFormatOf(path) != ExportFormat::Glb)
        return failure("cannot export \"" + path + "\": a forest is written as .glb");
    std::string error;
    const auto pictures = loadForestPictures(scene, &error);
    if (!pictures)
        return failure(error);
    return writeGlb(forestScene(scene, *pictures, options), path);
}

} // namespace meshexport
