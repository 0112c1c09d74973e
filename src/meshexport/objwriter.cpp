#include "meshexport/objwriter.h"

#include <charconv>

namespace meshexport {

namespace {

// Shortest text that reads back as the same float, independent of the locale.
void appendNumber(std::string &out, float value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

void appendLine(std::string &out, const char *tag, std::initializer_list<float> values)
{
    out += tag;
    for (const float v : values) {
        out += ' ';
        appendNumber(out, v);
    }
    out += '\n';
}

// Names in OBJ and MTL end at white space.
std::string objName(const std::string &name)
{
    std::string out = name.empty() ? std::string("unnamed") : name;
    for (char &c : out)
        if (static_cast<unsigned char>(c) <= ' ')
            c = '_';
    return out;
}

struct Placement {
    int node;
    math::Vector3f offset;
};

// Every node below the roots with the sum of the translations down to it, in depth-first order.
std::vector<Placement> placements(const ExportScene &scene)
{
    std::vector<Placement> out;
    std::vector<Placement> stack;
    for (auto it = scene.roots.rbegin(); it != scene.roots.rend(); ++it)
        stack.push_back({*it, {}});
    while (!stack.empty()) {
        const Placement p = stack.back();
        stack.pop_back();
        const ExportNode &node = scene.nodes[static_cast<std::size_t>(p.node)];
        const math::Vector3f offset = p.offset + node.translation;
        out.push_back({p.node, offset});
        for (auto it = node.children.rbegin(); it != node.children.rend(); ++it)
            stack.push_back({*it, offset});
    }
    return out;
}

} // namespace

std::string objText(const ExportScene &scene, const std::string &mtlFileName)
{
    std::string out = "# " + scene.name + "\n# metres, y up\nmtllib " + mtlFileName + "\n";
    std::size_t base = 1; // OBJ numbers vertices from 1 across the whole file
    for (const Placement &p : placements(scene)) {
        const ExportNode &node = scene.nodes[static_cast<std::size_t>(p.node)];
        if (node.mesh < 0)
            continue;
        out += "o " + objName(node.name) + "\n";
        for (const ExportPrimitive &mesh : scene.meshes[static_cast<std::size_t>(node.mesh)].primitives) {
            for (const math::Vector3f &v : mesh.positions)
                appendLine(out, "v", {v.x + p.offset.x, v.y + p.offset.y, v.z + p.offset.z});
            // OBJ's texture coordinates run up from the picture's bottom row, as OpenGL's do.
            for (const auto &uv : mesh.texCoords)
                appendLine(out, "vt", {uv[0], 1.0f - uv[1]});
            for (const math::Vector3f &n : mesh.normals)
                appendLine(out, "vn", {n.x, n.y, n.z});
            if (mesh.material >= 0)
                out +=
                    "usemtl " + objName(scene.materials[static_cast<std::size_t>(mesh.material)].name) + "\n";
            for (std::size_t i = 0; i + 2 < mesh.indices.size(); i += 3) {
                out += 'f';
                for (std::size_t k = 0; k < 3; ++k) {
                    const std::string v = std::to_string(base + mesh.indices[i + k]);
                    out += ' ' + v + '/' + v + '/' + v;
                }
                out += '\n';
            }
            base += mesh.vertexCount();
        }
    }
    return out;
}

std::string mtlText(const ExportScene &scene, const std::vector<std::string> &pictureFileNames)
{
    std::string out = "# " + scene.name + "\n";
    for (const ExportMaterial &material : scene.materials) {
        out += "\nnewmtl " + objName(material.name) + "\nKa 0 0 0\nKd 1 1 1\nKs 0 0 0\nd 1\nillum 1\n";
        if (material.picture < 0 || static_cast<std::size_t>(material.picture) >= pictureFileNames.size())
            continue;
        const std::string &file = pictureFileNames[static_cast<std::size_t>(material.picture)];
        out += "map_Kd " + file + "\n";
        if (material.alphaMode != AlphaMode::Opaque)
            out += "map_d " + file + "\n";
    }
    return out;
}

} // namespace meshexport
