#include "lignet/gl/forestbatch.h"

#include "lignet/gl/gpumeshcache.h"
#include "lignet/gl/impostorset.h"
#include "lignet/projectedsize.h"
#include "lignet/treerenderer.h"

#include <GL/gl.h>

#include <cmath>
#include <limits>

namespace lignet::gl {

namespace {

// A streamed tree is drawn and its buffer reused once it holds this many vertices, so a forest in
// the wind never needs one huge buffer.
constexpr std::size_t StreamFlushVertices = std::size_t{1} << 20;

math::Mat4 placement(const math::Vector3f &position, float scale)
{
    math::Mat4 m = math::Mat4::translation(position.x, position.y, position.z);
    if (scale != 1.0f) {
        math::Mat4 s;
        s[0] = scale;
        s[5] = scale;
        s[10] = scale;
        m = m * s;
    }
    return m;
}

} // namespace

ForestBatch::ForestBatch(GpuMeshCache &cache, TreeMeshDrawer &drawer) : m_cache(cache), m_drawer(drawer) {}

ForestBatch::~ForestBatch() = default;

void ForestBatch::setImpostors(ImpostorSet *impostors, double thresholdPixels)
{
    m_impostors = impostors;
    m_threshold = thresholdPixels;
}

void ForestBatch::begin()
{
    m_groups.clear();
    m_groupOf.clear();
    m_stats = {};
    m_drawer.resetCounters();
    m_cache.beginFrame();
    glGetFloatv(GL_MODELVIEW_MATRIX, m_modelview.data());
    glGetFloatv(GL_PROJECTION_MATRIX, m_projection.data());
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    m_viewportHeight = viewport[3];
    if (m_impostors)
        m_impostors->begin(m_modelview);
}

void ForestBatch::add(TreeRenderer &tree, const TreeTextures &textures, const math::Vector3f &position,
                      float scale)
{
    ++m_stats.plants;
    if (!isMeshCacheable(tree)) {
        addStreamed(tree, textures, position, scale);
        return;
    }
    if (!m_impostors || !addFarField(tree, textures, position, scale))
        addMesh(tree, textures, position, scale);
}

void ForestBatch::addMesh(TreeRenderer &tree, const TreeTextures &textures, const math::Vector3f &position,
                          float scale)
{
    auto mesh = m_cache.acquire(tree);
    auto [it, added] = m_groupOf.try_emplace(mesh.get(), m_groups.size());
    if (added)
        m_groups.push_back({std::move(mesh), textures, {}});
    m_groups[it->second].instances.push_back({position.x, position.y, position.z, scale});
    ++m_stats.meshPlants;
}

ImpostorAtlas *ForestBatch::preparedAtlas(TreeRenderer &tree, const TreeTextures &textures, double &progress)
{
    const TreeDrawSettings &s = tree.settings();
    progress = s.growing ? (s.growthProgress > 1.0 ? 0.0 : s.growthProgress) : 1.0;
    ImpostorAtlas &atlas = m_impostors->atlasFor(tree, textures, m_cache, m_drawer);
    return atlas.prepare(progress, tree, textures, m_cache, m_drawer) ? &atlas : nullptr;
}

double ForestBatch::pixelsOf(const ImpostorAtlas &atlas, double progress, const math::Vector3f &position,
                             float scale) const
{
    const math::Vector3f eye = m_modelview.transformPoint(position);
    return projectedHeightPixels(atlas.heightAt(progress) * scale, -static_cast<double>(eye.z), m_projection,
                                 m_viewportHeight);
}

double ForestBatch::projectedHeight(TreeRenderer &tree, const TreeTextures &textures,
                                    const math::Vector3f &position, float scale)
{
    double progress = 0.0;
    const ImpostorAtlas *atlas =
        m_impostors && isMeshCacheable(tree) ? preparedAtlas(tree, textures, progress) : nullptr;
    return atlas ? pixelsOf(*atlas, progress, position, scale) : std::numeric_limits<double>::quiet_NaN();
}

bool ForestBatch::addFarField(TreeRenderer &tree, const TreeTextures &textures,
                              const math::Vector3f &position, float scale)
{
    double progress = 0.0;
    ImpostorAtlas *prepared = preparedAtlas(tree, textures, progress);
    if (!prepared)
        return false;
    ImpostorAtlas &atlas = *prepared;
    const double pixels = pixelsOf(atlas, progress, position, scale);
    // An infinite threshold (while the simulation runs, for speed) takes every still plant, even
    // one at or behind the eye's plane, whose projected height is infinite.
    if (std::isfinite(m_threshold) && !(pixels < m_threshold))
        return false;
    // Below the atlas's smallest picture a quad would cover too much: such a plant is a speck, or
    // drawn whole when it has no lines. An infinite threshold (every plant, for speed) takes those
    // plants as quads too.
    const bool speck = pixels < atlas.smallestCellHeight() && std::isfinite(m_threshold);
    // The picture taken from the direction nearest to that from the eye to the plant: the lights
    // stay fixed in the world, so it shows the side the eye sees, lit or shaded.
    const int view = m_impostors->viewOf(atlas, position);
    const int stage = atlas.stageIndexFor(progress);
    // A speck is a vertical line, so its shade and height come from the level picture.
    const int levelView = atlas.levelView(view);
    if (!speck) {
        const int size = atlas.sizeForPlant(progress, pixels, view);
        if (!atlas.drawPicture(view, stage, size, tree, textures, m_cache, m_drawer))
            return false;
        m_impostors->add(atlas, view, size, position, scale, progress);
    } else if (!atlas.drawSpeck(levelView, stage, tree, textures, m_cache, m_drawer) ||
               !m_impostors->addSpeck(atlas, levelView, position, scale, progress)) {
        return false;
    }
    tree.advanceClocks();
    ++(speck ? m_stats.speckPlants : m_stats.impostorPlants);
    return true;
}

void ForestBatch::addStreamed(TreeRenderer &tree, const TreeTextures &textures,
                              const math::Vector3f &position, float scale)
{
    // Near and far plants order their leaf batches differently (leafPointsBeforeDisks), so they
    // stream into separate meshes.
    const bool far = leafPointsBeforeDisks(tree.settings().levelOfDetail);
    std::unique_ptr<Stream> &stream = m_streams[2 * tree.modelId() + (far ? 1 : 0)];
    if (!stream)
        stream = std::make_unique<Stream>();
    const math::Mat4 placed = placement(position, scale);
    // An export written during this drawing holds the camera and placement, as the immediate-mode
    // drawing of the plant would.
    if (tree.vertexExporter().armed())
        tree.vertexExporter().setBaseFrame(m_modelview * placed);
    stream->sink.setPlacement(placed);
    tree.drawTree(stream->sink);
    stream->textures = textures;
    ++stream->plants;
    ++m_stats.streamedPlants;
    if (stream->sink.vertexCount() >= StreamFlushVertices)
        drawStream(*stream);
}

void ForestBatch::drawStream(Stream &stream)
{
    if (stream.plants == 0)
        return;
    stream.sink.finish(stream.mesh);
    stream.gpu.upload(stream.mesh, true);
    const MeshInstance origin;
    m_drawer.draw(stream.gpu, stream.textures, {&origin, 1});
    m_stats.meshes += 1;
    stream.plants = 0;
}

void ForestBatch::flush()
{
    for (const Group &g : m_groups)
        m_drawer.draw(*g.mesh, g.textures, g.instances);
    m_stats.meshes += m_groups.size();
    for (auto &[id, stream] : m_streams)
        drawStream(*stream);
    m_stats.draw = m_drawer.counters();
    if (m_impostors) {
        const std::uint64_t quads = m_impostors->quadsDrawn();
        const std::uint64_t specks = m_impostors->specksDrawn();
        const std::uint64_t calls = m_impostors->drawCalls();
        m_impostors->draw();
        m_stats.draw.triangles += 2 * (m_impostors->quadsDrawn() - quads);
        m_stats.draw.lines += m_impostors->specksDrawn() - specks;
        m_stats.draw.drawCalls += m_impostors->drawCalls() - calls;
    }
    // The meshes stay cached; the frame's references go.
    m_groups.clear();
    m_groupOf.clear();
}

void ForestBatch::release()
{
    m_groups.clear();
    m_groupOf.clear();
    m_streams.clear();
}

} // namespace lignet::gl
