#pragma once

#include "lignet/gl/impostoratlas.h"
#include "lignet/treemeshkey.h"
#include "math/mat4.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <utility>
#include <vector>

namespace lignet::gl {

// The impostors of a frame: one atlas per tree model and level of detail, built on first use and
// rebuilt when the tree's appearance changes (revision, wireframe, colouring, highlights, leaves
// shown, quality, or the lighting switch), and the camera-facing quads of the plants drawn with
// them. A quad shows the picture taken from the direction nearest to that from the eye to the
// plant: it turns about the vertical axis to face the view plane and leans back by that
// picture's elevation about the middle of the tree's height (a level quad stands on the plant's
// position), and is scaled to the tree's height at the plant's growth. Every call needs a context
// of one share group current.
class ImpostorSet {
public:
    explicit ImpostorSet(ImpostorSettings settings = {}) : m_settings(std::move(settings))
    {
        if (m_settings.elevations.empty())
            m_settings.elevations = {0.0f};
    }

    // The atlas for the tree's next drawing (its current level of detail and appearance), lit as
    // the frame begun last is (lighting on or off). Its pictures are drawn when a plant first
    // needs them (ImpostorAtlas::drawPicture and drawSpeck).
    ImpostorAtlas &atlasFor(TreeRenderer &tree, const TreeTextures &textures, GpuMeshCache &cache,
                            TreeMeshDrawer &drawer);

    // Starts a frame's quads; modelview is the camera (the frame's modelview without a plant). Reads
    // the lighting switch.
    void begin(const math::Mat4 &modelview);
    // The atlas's direction nearest to that in which the eye of the frame begun last sees a plant
    // at position.
    int viewOf(const ImpostorAtlas &atlas, const math::Vector3f &position) const;
    // One plant: the atlas's direction it is seen from and the size of its picture
    // (ImpostorAtlas::sizeForPlant; the picture drawn already), its position, scale (tree scale
    // option) and growth progress.
    void add(const ImpostorAtlas &atlas, int view, int size, const math::Vector3f &position, float scale,
             double progress);
    // One plant too small for the atlas's smallest picture, where the exact drawing's lines merge
    // into a pixel or two: a speck, one line from its foot to the top of its lines in one of its
    // stage's shades, or nothing for the share of such plants that light no pixel there
    // (ImpostorAtlas::Speck::share). False, adding nothing, when the stage has no lines (its speck
    // set already).
    bool addSpeck(const ImpostorAtlas &atlas, int view, const math::Vector3f &position, float scale,
                  double progress);
    // Draws the quads added since begin, one glDrawArrays per atlas and picture size, unlit and
    // blended with premultiplied alpha, writing depth where the atlas's alpha is not zero, then the
    // specks in one glDrawArrays, unlit and opaque; the quads' depth hides the specks behind them,
    // as the nearer plants drawn first do in the exact drawing. Every state it changes is restored.
    void draw();

    // Since construction: quads and specks drawn and the glDrawArrays calls that drew them.
    std::uint64_t quadsDrawn() const { return m_quadsDrawn; }
    std::uint64_t specksDrawn() const { return m_specksDrawn; }
    std::uint64_t drawCalls() const { return m_drawCalls; }
    const ImpostorSettings &settings() const { return m_settings; }
    // Bytes of the atlases' textures, and the number of atlases.
    std::size_t textureBytes() const;
    std::size_t atlasCount() const { return m_atlases.size(); }
    // Drops every atlas; a context of their share group must be current.
    void release();

private:
    struct Entry {
        TreeMeshKey appearance;
        bool lighting = true;
        std::unique_ptr<ImpostorAtlas> atlas;
    };
    struct Quads {
        const ImpostorAtlas *atlas = nullptr;
        GLuint texture = 0;          // the atlas's pictures of one size and elevation
        std::vector<float> vertices; // x, y, z, s, t per corner, four corners per plant
    };

    struct SpeckVertex {
        float x, y, z;
        std::array<unsigned char, 4> colour;
    };
    void drawQuads();
    void drawSpecks();

    ImpostorSettings m_settings;
    std::map<std::pair<std::uint64_t, int>, Entry> m_atlases; // by model id and level of detail
    std::span<const Quads> usedQuads() const { return {m_quads.data(), m_quadsUsed}; }

    // The frame's quads are the first m_quadsUsed, in the order of first use, which is the order
    // they draw in; the rest keep their arrays for the next frames.
    std::vector<Quads> m_quads;
    std::size_t m_quadsUsed = 0;
    // Where in m_quads the quads drawn with a texture are.
    std::map<GLuint, std::size_t> m_quadsOf;
    std::vector<SpeckVertex> m_specks; // two per plant
    std::vector<math::Vector3f> m_ups; // a picture's up in the world, per elevation (begin)
    math::Vector3f m_right{1.0f, 0.0f, 0.0f};
    math::Vector3f m_eye{0.0f, 0.0f, 0.0f};
    bool m_lighting = true;
    std::uint64_t m_quadsDrawn = 0;
    std::uint64_t m_specksDrawn = 0;
    std::uint64_t m_drawCalls = 0;
};

} // namespace lignet::gl
