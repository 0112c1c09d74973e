#include "meshexport/glbwriter.h"

#include <tiny_gltf.h>

#include <charconv>
#include <exception>
#include <limits>
#include <sstream>

namespace meshexport {

namespace {

constexpr int ArrayBuffer = TINYGLTF_TARGET_ARRAY_BUFFER;
constexpr int ElementArrayBuffer = TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER;

// Appends byte ranges to the one binary buffer, each as a buffer view starting at a multiple of
// four bytes (the alignment accessors of floats and 32-bit indices need).
class BufferBuilder {
public:
    explicit BufferBuilder(tinygltf::Model &model) : model_(model) { model_.buffers.resize(1); }

    int addView(const void *bytes, std::size_t size, int target)
    {
        std::vector<unsigned char> &data = model_.buffers[0].data;
        data.resize((data.size() + 3) / 4 * 4, 0);
        tinygltf::BufferView view;
        view.buffer = 0;
        view.byteOffset = data.size();
        view.byteLength = size;
        view.target = target;
        const auto *first = static_cast<const unsigned char *>(bytes);
        data.insert(data.end(), first, first + size);
        model_.bufferViews.push_back(view);
        return static_cast<int>(model_.bufferViews.size()) - 1;
    }

    std::size_t size() const { return model_.buffers[0].data.size(); }

private:
    tinygltf::Model &model_;
};

int addAccessor(tinygltf::Model &model, int view, int componentType, int type, std::size_t count)
{
    tinygltf::Accessor accessor;
    accessor.bufferView = view;
    accessor.componentType = componentType;
    accessor.type = type;
    accessor.count = count;
    model.accessors.push_back(accessor);
    return static_cast<int>(model.accessors.size()) - 1;
}

int addIndices(tinygltf::Model &model, BufferBuilder &buffer, const ExportPrimitive &mesh)
{
    // 16-bit indices halve the index array of every mesh small enough; 65535 itself is reserved.
    if (mesh.vertexCount() < 65535) {
        std::vector<std::uint16_t> narrow(mesh.indices.begin(), mesh.indices.end());
        const int view =
            buffer.addView(narrow.data(), narrow.size() * sizeof(std::uint16_t), ElementArrayBuffer);
        return addAccessor(model, view, TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT, TINYGLTF_TYPE_SCALAR,
                           narrow.size());
    }
    const int view =
        buffer.addView(mesh.indices.data(), mesh.indices.size() * sizeof(std::uint32_t), ElementArrayBuffer);
    return addAccessor(model, view, TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT, TINYGLTF_TYPE_SCALAR,
                       mesh.indices.size());
}

tinygltf::Primitive addPrimitive(tinygltf::Model &model, BufferBuilder &buffer, const ExportPrimitive &mesh)
{
    const std::size_t n = mesh.vertexCount();
    tinygltf::Primitive primitive;
    primitive.mode = TINYGLTF_MODE_TRIANGLES;
    primitive.material = mesh.material;

    const int positions = addAccessor(model, buffer.addView(mesh.positions.data(), n * 12, ArrayBuffer),
                                      TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_TYPE_VEC3, n);
    model.accessors[static_cast<std::size_t>(positions)].minValues = {mesh.boundsMin.x, mesh.boundsMin.y,
                                                                      mesh.boundsMin.z};
    model.accessors[static_cast<std::size_t>(positions)].maxValues = {mesh.boundsMax.x, mesh.boundsMax.y,
                                                                      mesh.boundsMax.z};
    primitive.attributes["POSITION"] = positions;
    primitive.attributes["NORMAL"] =
        addAccessor(model, buffer.addView(mesh.normals.data(), n * 12, ArrayBuffer),
                    TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_TYPE_VEC3, n);
    primitive.attributes["TEXCOORD_0"] =
        addAccessor(model, buffer.addView(mesh.texCoords.data(), n * 8, ArrayBuffer),
                    TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_TYPE_VEC2, n);
    primitive.indices = addIndices(model, buffer, mesh);
    return primitive;
}

void addMesh(tinygltf::Model &model, BufferBuilder &buffer, const ExportMesh &mesh)
{
    tinygltf::Mesh out;
    out.name = validUtf8(mesh.name);
    for (const ExportPrimitive &primitive : mesh.primitives)
        out.primitives.push_back(addPrimitive(model, buffer, primitive));
    model.meshes.push_back(std::move(out));
}

const char *alphaModeName(AlphaMode mode)
{
    switch (mode) {
    case AlphaMode::Mask:
        return "MASK";
    case AlphaMode::Blend:
        return "BLEND";
    case AlphaMode::Opaque:
        break;
    }
    return "OPAQUE";
}

void addMaterials(tinygltf::Model &model, BufferBuilder &buffer, const ExportScene &scene)
{
    if (!scene.pictures.empty()) {
        tinygltf::Sampler sampler;
        sampler.magFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
        sampler.minFilter = TINYGLTF_TEXTURE_FILTER_LINEAR_MIPMAP_LINEAR;
        sampler.wrapS = TINYGLTF_TEXTURE_WRAP_REPEAT;
        sampler.wrapT = TINYGLTF_TEXTURE_WRAP_REPEAT;
        model.samplers.push_back(sampler);
    }
    for (const ExportPicture &picture : scene.pictures) {
        tinygltf::Image image;
        image.name = validUtf8(picture.name);
        image.mimeType = "image/png";
        image.bufferView = buffer.addView(picture.pngBytes.data(), picture.pngBytes.size(), 0);
        model.images.push_back(std::move(image));
        tinygltf::Texture texture;
        texture.sampler = 0;
        texture.source = static_cast<int>(model.images.size()) - 1;
        model.textures.push_back(texture);
    }
    for (const ExportMaterial &material : scene.materials) {
        tinygltf::Material out;
        out.name = validUtf8(material.name);
        out.pbrMetallicRoughness.baseColorTexture.index = material.picture;
        out.pbrMetallicRoughness.metallicFactor = 0.0;
        out.pbrMetallicRoughness.roughnessFactor = 1.0;
        out.alphaMode = alphaModeName(material.alphaMode);
        if (material.alphaMode == AlphaMode::Mask)
            out.alphaCutoff = static_cast<double>(material.alphaCutoff);
        out.doubleSided = material.doubleSided;
        model.materials.push_back(std::move(out));
    }
}

// The double nearest to the float's shortest decimal text: JSON then holds "812.5" rather than the
// float's exact binary value in 17 digits, which matters with a node per plant.
double shortDouble(float value)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    double result = 0.0;
    std::from_chars(text, end, result);
    return result;
}

void addNodes(tinygltf::Model &model, const ExportScene &scene)
{
    for (const ExportNode &node : scene.nodes) {
        tinygltf::Node out;
        out.name = validUtf8(node.name);
        out.mesh = node.mesh;
        out.children = node.children;
        if (!(node.translation == math::Vector3f{}))
            out.translation = {shortDouble(node.translation.x), shortDouble(node.translation.y),
                               shortDouble(node.translation.z)};
        model.nodes.push_back(std::move(out));
    }
    tinygltf::Scene root;
    root.name = validUtf8(scene.name);
    root.nodes = scene.roots;
    model.scenes.push_back(std::move(root));
    model.defaultScene = 0;
}

} // namespace

std::string validUtf8(const std::string &text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80           ? 1
                             : (lead >> 5) == 0x6  ? 2
                             : (lead >> 4) == 0xe  ? 3
                             : (lead >> 3) == 0x1e ? 4
                                                   : 0;
        bool ok = length > 0 && i + length <= text.size();
        for (std::size_t k = 1; ok && k < length; ++k)
            ok = (static_cast<unsigned char>(text[i + k]) & 0xc0) == 0x80;
        // Overlong two-byte forms and control characters are not wanted in a name either.
        if (ok && length == 2 && lead < 0xc2)
            ok = false;
        if (ok && length == 1 && lead < 0x20)
            ok = false;
        if (ok) {
            out.append(text, i, length);
            i += length;
        } else {
            out += '?';
            ++i;
        }
    }
    return out;
}

bool encodeGlb(const ExportScene &scene, std::string &bytes, std::string *reason)
{
    const auto failWith = [reason](const std::string &text) {
        if (reason != nullptr)
            *reason = text;
        return false;
    };
    tinygltf::Model model;
    model.asset.version = "2.0";
    model.asset.generator = "Verdalis";
    BufferBuilder buffer(model);
    for (const ExportMesh &mesh : scene.meshes) {
        for (const ExportPrimitive &primitive : mesh.primitives)
            if (primitive.empty())
                return failWith("mesh '" + mesh.name + "' has a part without triangles");
        if (mesh.primitives.empty())
            return failWith("mesh '" + mesh.name + "' has no triangles");
        addMesh(model, buffer, mesh);
    }
    addMaterials(model, buffer, scene);
    addNodes(model, scene);
    // The container's lengths are 32-bit; leave room for the JSON part.
    if (buffer.size() > std::numeric_limits<std::uint32_t>::max() / 2)
        return failWith("the scene is too large for a .glb file (" + std::to_string(buffer.size()) +
                        " bytes)");
    model.buffers[0].data.resize((buffer.size() + 3) / 4 * 4, 0);

    try {
        tinygltf::TinyGLTF writer;
        std::ostringstream stream;
        if (!writer.WriteGltfSceneToStream(&model, stream, false, true) || !stream)
            return failWith("the glTF data could not be encoded");
        bytes = std::move(stream).str();
    } catch (const std::exception &e) {
        return failWith(std::string("the glTF data could not be encoded: ") + e.what());
    }
    return true;
}

} // namespace meshexport
