#include "lignet/gl/impostorset.h"

#include "lignet/gl/gpumeshcache.h"
#include "lignet/gl/treemeshdrawer.h"
#include "lignet/treerenderer.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include <GL/gl.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>

namespace lignet::gl {

namespace {

// A plant between two stages uses the nearer picture at the height it has: the stage's picture
// scaled by this.
float growthAt(const ImpostorAtlas &atlas, const ImpostorAtlas::Stage &stage, double progress)
{
    return stage.height > 0.0f ? static_cast<float>(atlas.heightAt(progress) / stage.height) : 1.0f;
}

} // namespace

ImpostorAtlas &ImpostorSet::atlasFor(TreeRenderer &tree, const TreeTextures &textures, GpuMeshCache &cache,
                                     TreeMeshDrawer &drawer)
{
    TreeMeshKey appearance = TreeMeshKey::forNextDrawing(tree);
    appearance.growing = true;
    appearance.growthBits = 0;
    appearance.growthStepBits = 0;
    const bool lighting = m_lighting;
    Entry &entry = m_atlases[{tree.modelId(), tree.settings().levelOfDetail}];
    if (!entry.atlas || !(entry.appearance == appearance) || entry.lighting != lighting) {
        // Quads of this frame drawn with the old atlas go with it.
        const ImpostorAtlas *old = entry.atlas.get();
        const auto used = m_quads.begin() + static_cast<std::ptrdiff_t>(m_quadsUsed);
        const auto kept =
            std::remove_if(m_quads.begin(), used, [old](const Quads &q) { return q.atlas == old; });
        m_quads.erase(kept, used);
        m_quadsUsed = static_cast<std::size_t>(kept - m_quads.begin());
        m_quadsOf.clear();
        for (std::size_t i = 0; i < m_quadsUsed; ++i)
            m_quadsOf[m_quads[i].texture] = i;
        entry.atlas = std::make_unique<ImpostorAtlas>();
        entry.atlas->build(tree, textures, cache, drawer, m_settings);
        entry.appearance = appearance;
        entry.lighting = lighting;
    }
    return *entry.atlas;
}

void ImpostorSet::begin(const math::Mat4 &modelview)
{
    m_lighting = glIsEnabled(GL_LIGHTING) == GL_TRUE;
    // The quads draw in their frame's order of first use, as the exact meshes do: which plants a
    // quad's depth hides depends on that order, so a frame must not depend on the frames before.
    // (The groups themselves are kept, to reuse their vertex arrays.)
    m_quadsUsed = 0;
    m_quadsOf.clear();
    m_specks.clear();
    // The view's right direction in the world (first row of the rotation), kept horizontal.
    math::Vector3f right{modelview[0], 0.0f, modelview[8]};
    const float length = right.length();
    m_right = length > 1e-6f ? right * (1.0f / length) : math::Vector3f{1.0f, 0.0f, 0.0f};
    // The eye in the world: the translation turned back by the (orthonormal) rotation.
    const math::Vector3f t{modelview[12], modelview[13], modelview[14]};
    m_eye = {-(modelview[0] * t.x + modelview[1] * t.y + modelview[2] * t.z),
             -(modelview[4] * t.x + modelview[5] * t.y + modelview[6] * t.z),
             -(modelview[8] * t.x + modelview[9] * t.y + modelview[10] * t.z)};
    // A picture's up in the world: tilted back from the vertical by its elevation, away from the eye.
    const math::Vector3f forward{m_right.z, 0.0f, -m_right.x};
    m_ups.clear();
    for (const float elevation : m_settings.elevations) {
        const double angle = static_cast<double>(elevation) * std::numbers::pi / 180.0;
        m_ups.push_back(math::Vector3f{0.0f, static_cast<float>(std::cos(angle)), 0.0f} +
                        forward * static_cast<float>(std::sin(angle)));
    }
}

int ImpostorSet::viewOf(const ImpostorAtlas &atlas, const math::Vector3f &position) const
{
    return atlas.viewFor(position.x - m_eye.x, position.y - m_eye.y, position.z - m_eye.z);
}

void ImpostorSet::add(const ImpostorAtlas &atlas, int view, int size, const math::Vector3f &position,
                      float scale, double progress)
{
    const int stageIndex = atlas.stageIndexFor(progress);
    if (!atlas.hasPicture(view, stageIndex, size))
        return;
    const ImpostorAtlas::Stage &stage = atlas.stages()[static_cast<std::size_t>(stageIndex)];
    const GLuint texture = atlas.texture(size, view);
    const auto [found, added] = m_quadsOf.try_emplace(texture, m_quadsUsed);
    if (added) {
        if (m_quadsUsed == m_quads.size())
            m_quads.emplace_back();
        Quads &q = m_quads[m_quadsUsed++];
        q.atlas = &atlas;
        q.texture = texture;
        q.vertices.clear();
    }
    Quads *quads = &m_quads[found->second];
    const float s = scale * growthAt(atlas, stage, progress);
    const float t0 = atlas.viewBottom(view);
    const float t1 = atlas.viewTop(view);
    const impostor::Box &box = atlas.boxOf(stage, view);
    // The quad lies in the picture's plane through the middle of the tree's height, so a quad
    // leaning back holds about the space of its crown, as far in front of its neighbours' as the
    // tree is. A level quad stands on the plant's position.
    const math::Vector3f &up = m_ups[atlas.elevationIndex(view)];
    const float middle = 0.5f * stage.height * s;
    const math::Vector3f pivot = position + math::Vector3f{0.0f, middle, 0.0f} - up * (middle * up.y);
    const math::Vector3f left = pivot + m_right * (box.left * s);
    const math::Vector3f right = pivot + m_right * (box.right * s);
    const math::Vector3f bottom = up * (box.bottom * s);
    const math::Vector3f top = up * (box.top * s);
    const math::Vector3f c0 = left + bottom, c1 = right + bottom, c2 = right + top, c3 = left + top;
    const float corners[4][5] = {{c0.x, c0.y, c0.z, stage.u0, t0},
                                 {c1.x, c1.y, c1.z, stage.u1, t0},
                                 {c2.x, c2.y, c2.z, stage.u1, t1},
                                 {c3.x, c3.y, c3.z, stage.u0, t1}};
    for (const auto &corner : corners)
        quads->vertices.insert(quads->vertices.end(), std::begin(corner), std::end(corner));
}

bool ImpostorSet::addSpeck(const ImpostorAtlas &atlas, int view, const math::Vector3f &position, float scale,
                           double progress)
{
    const int stageIndex = atlas.stageIndexFor(progress);
    if (!atlas.hasSpeck(view, stageIndex))
        return false;
    const ImpostorAtlas::Stage &stage = atlas.stages()[static_cast<std::size_t>(stageIndex)];
    // A plant's shade, and whether its speck shows, follow from where it stands, so they stay
    // the same from frame to frame.
    const std::uint32_t place =
        std::bit_cast<std::uint32_t>(position.x) ^ (std::bit_cast<std::uint32_t>(position.z) * 0x9E3779B1u);
    const ImpostorAtlas::Speck &speck = stage.specks[static_cast<std::size_t>(view)];
    const auto &colour = speck.shades[(place * 0x85EBCA6Bu >> 16) % speck.shades.size()];
    if (colour[3] == 0)
        return false;
    const float chance = static_cast<float>((place * 0xC2B2AE35u) >> 8) / 16777216.0f; // in [0, 1)
    if (!(chance < speck.share))
        return true;
    const float top = speck.top * scale * growthAt(atlas, stage, progress);
    m_specks.push_back({position.x, position.y, position.z, colour});
    m_specks.push_back({position.x, position.y + top, position.z, colour});
    return true;
}

void ImpostorSet::drawSpecks()
{
    if (m_specks.empty())
        return;
    glPushAttrib(GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT | GL_LINE_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    QOpenGLContext::currentContext()->functions()->glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_LINE_SMOOTH);
    glLineWidth(1.0f);
    glDepthMask(GL_TRUE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(SpeckVertex), &m_specks.front().x);
    glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(SpeckVertex), m_specks.front().colour.data());
    glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(m_specks.size()));
    m_specksDrawn += m_specks.size() / 2;
    ++m_drawCalls;
    glPopClientAttrib();
    glPopAttrib();
}

void ImpostorSet::draw()
{
    drawQuads();
    drawSpecks();
}

void ImpostorSet::drawQuads()
{
    bool any = false;
    for (const Quads &q : usedQuads())
        any |= !q.vertices.empty();
    if (!any)
        return;
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    QOpenGLContext::currentContext()->functions()->glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    // Depth is written wherever the tree's geometry covered its picture, visible or not (see
    // ImpostorAtlas), as the exact drawing writes it.
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
    glDepthMask(GL_TRUE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    for (const Quads &q : usedQuads()) {
        if (q.vertices.empty())
            continue;
        glBindTexture(GL_TEXTURE_2D, q.texture);
        glVertexPointer(3, GL_FLOAT, 5 * sizeof(float), q.vertices.data());
        glTexCoordPointer(2, GL_FLOAT, 5 * sizeof(float), q.vertices.data() + 3);
        const auto corners = static_cast<GLsizei>(q.vertices.size() / 5);
        glDrawArrays(GL_QUADS, 0, corners);
        m_quadsDrawn += static_cast<std::uint64_t>(corners / 4);
        ++m_drawCalls;
    }
    glPopClientAttrib();
    glPopAttrib();
}

std::size_t ImpostorSet::textureBytes() const
{
    std::size_t bytes = 0;
    for (const auto &[key, entry] : m_atlases)
        bytes += entry.atlas ? entry.atlas->textureBytes() : 0;
    return bytes;
}

void ImpostorSet::release()
{
    m_quads.clear();
    m_quadsUsed = 0;
    m_quadsOf.clear();
    m_specks.clear();
    m_atlases.clear();
}

} // namespace lignet::gl
