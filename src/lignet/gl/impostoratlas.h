#pragma once

#include "lignet/gl/treetextures.h"

#include <qopengl.h>

#include <array>
#include <vector>

namespace lignet {
class TreeRenderer;
}

namespace lignet::gl {

class GpuMeshCache;
class TreeMeshDrawer;
namespace impostor {
class StageDrawing;
// A rectangle in a picture's plane, in tree units.
struct Box {
    float left, right, bottom, top;
};
} // namespace impostor

// How impostor images are made.
struct ImpostorSettings {
    int stages = 16; // growth stages, at progress 1/stages, 2/stages ... 1
    // The sizes each stage is pictured at, in pixels of a square cell, smallest first, each
    // about √2 times the one before: a quad shows the picture nearest its size on screen, so a
    // picture is drawn at 0.84 to 1.19 times its size.
    std::vector<int> sizes = {2, 3, 4, 6, 8, 11, 16, 23, 32, 45, 64, 90};
    // Directions each stage is pictured from, evenly around the tree: the lights stay fixed in the
    // world, so a tree seen against the light shows its shaded side, and its impostor must too.
    int views = 8;
    // Elevations each of those directions is pictured from, in degrees of looking down, the first
    // level: from above, a tree shows more of its crown and less of its trunk than from the side,
    // and most plants of a valley are seen from above. Pictured from the side only, the trees
    // on the slopes below the eye looked about a third lighter than drawn exactly.
    std::vector<float> elevations = {0.0f, 20.0f, 40.0f, 60.0f};
    // Positions of lights 0 to 2 in the tree's (world) coordinates: those of the ecosystem frame,
    // whose lights stay fixed in the world, so impostors are lit as the exact drawing is.
    std::array<std::array<float, 4>, 3> lightPositions = {{{4609.0f, 0.0f, 5750.0f, 0.0f},
                                                           {4609.0f, 2500.0f, 5750.0f, 2500.0f},
                                                           {4609.0f, 1000.0f, 5750.0f, 715.0f}}};
};

// Pictures of one tree model at a few growth stages, for drawing the tree as a camera-facing quad
// where it is only a few pixels tall. Each stage is drawn with the tree's mesh drawing (same
// settings, level of detail, colours and lights; the current lighting switch) from a few
// directions, onto a transparent background, with premultiplied alpha, at each of a series of
// sizes. A direction is a heading (the first along -z, the next ones turned about the vertical
// axis) and an elevation; one texture holds a size's pictures from one elevation, the stages side
// by side, one row per heading.
//
// Every size is drawn, not filtered from a larger one: a distant tree is mostly lines and points
// that stay one pixel wide however small the tree is, and a picture drawn at its own size keeps
// them so, as the exact drawing of a tree that size does. Its texels are shown nearest, so a
// one-texel line shows one pixel wide. A stage's box is square (so are the cells) and cut to what
// the stage draws (a mesh's bounds hold more), so a small tree still fills its cell.
//
// Alpha is at least 1/255 wherever the tree's geometry covered the picture, also where it drew
// nothing visible (the transparent rest of a leaf picture). The exact drawing writes depth there
// and so hides much of the plants drawn after it behind; quads that write depth where their alpha
// is not zero hide as much of a dense stand as the exact drawing does.
class ImpostorAtlas {
public:
    using SpeckShades = std::array<std::array<unsigned char, 4>, 4>;

    // A tree too small for a picture, seen from one direction: one line from its foot to the top
    // of what the stage shows opaque (lines and bark), in one of the shades of its lines and
    // bark, darkest first; alpha 0 when the stage has no lines (its thin cylinders seldom cover a
    // pixel at that size, so such a tree is drawn whole). Shown for a share of the plants (0 … 1).
    struct Speck {
        SpeckShades shades{};
        float top = 0.0f;
        float share = 1.0f;
    };

    // One stage: its quads in tree units around the trunk axis, per elevation, in the plane of the
    // pictures from there (a margin of transparent picture included; a box holds what the stage
    // draws seen from any heading), and its column of the textures.
    struct Stage {
        double progress = 0.0;
        std::vector<impostor::Box> boxes;
        float u0 = 0.0f, u1 = 0.0f;
        float height = 0.0f;       // top of what the stage draws
        bool hasLines = false;     // levels of detail from 6 on
        bool measured = false;     // box, height and lines set (prepare)
        std::vector<Speck> specks; // per direction, set by drawSpeck
    };

    ImpostorAtlas() = default;
    ~ImpostorAtlas();
    ImpostorAtlas(const ImpostorAtlas &) = delete;
    ImpostorAtlas &operator=(const ImpostorAtlas &) = delete;

    // Sets up the stages of tree with its current draw settings (growth and wind replaced per
    // stage) and measures the first. The other stages are measured when a plant first needs them
    // (prepare), and the pictures drawn one at a time, when a plant first needs them
    // (drawPicture, drawSpeck): a frame looks from two or three directions and shows most stages
    // at a few sizes only. The tree's settings, clocks included, are as before afterwards, and so
    // are the framebuffer binding, viewport, matrices and OpenGL state. Needs a current context;
    // false when the framebuffer cannot be made.
    bool build(TreeRenderer &tree, const TreeTextures &textures, GpuMeshCache &cache, TreeMeshDrawer &drawer,
               const ImpostorSettings &settings);
    // Measures the stages a plant at growth progress needs (heightAt's two and the one shown),
    // unless measured already, as build does. False, and the atlas released, when the framebuffer
    // cannot be made.
    bool prepare(double progress, TreeRenderer &tree, const TreeTextures &textures, GpuMeshCache &cache,
                 TreeMeshDrawer &drawer);
    // Draws the picture of a stage (by index) from a direction at a size (by index), unless drawn
    // already, with the tree's current draw settings (those build saw: same level of detail and
    // appearance), leaving them and the OpenGL state as build does. False when it cannot be drawn.
    bool drawPicture(int view, int stage, int size, TreeRenderer &tree, const TreeTextures &textures,
                     GpuMeshCache &cache, TreeMeshDrawer &drawer);
    bool hasPicture(int view, int stage, int size) const
    {
        return inRange(view, stage) && size >= 0 &&
               static_cast<std::size_t>(size) < m_settings.sizes.size() &&
               m_pictureDrawn[pictureIndex(view, stage, size)];
    }
    // Sets the speck of a stage seen from a direction (Stage::specks), unless set already, from
    // its pictures at the sizes specks are read from, drawing those that are missing. False when
    // they cannot be drawn.
    bool drawSpeck(int view, int stage, TreeRenderer &tree, const TreeTextures &textures, GpuMeshCache &cache,
                   TreeMeshDrawer &drawer);
    bool hasSpeck(int view, int stage) const
    {
        return inRange(view, stage) && m_speckSet[static_cast<std::size_t>(view * stageCount() + stage)];
    }
    // Pictures drawn so far from a direction, of every stage and size.
    int picturesDrawn(int view) const;
    // Bytes of the textures made so far.
    std::size_t textureBytes() const;
    void release();

    bool valid() const { return !m_stages.empty(); }
    // The pictures for a quad the given pixels tall: the smallest size at least that tall, or the
    // largest, by its index in the settings' sizes.
    int sizeFor(double quadPixels) const;
    // The same for a plant at growth progress shown the given pixels tall from a direction: its
    // quad holds the stage's picture from there with its margins.
    int sizeForPlant(double progress, double pixels, int view) const;
    // The texture of a size's pictures from the elevation of a direction; 0 until one of them is
    // drawn.
    GLuint texture(int size, int view) const { return m_textures[textureIndex(size, view)]; }
    const std::vector<Stage> &stages() const { return m_stages; }
    // The stage nearest to progress, and its index.
    const Stage &stageFor(double progress) const
    {
        return m_stages[static_cast<std::size_t>(stageIndexFor(progress))];
    }
    int stageIndexFor(double progress) const;
    // Directions pictured (every heading at every elevation, level ones first), and the one
    // nearest to looking along (dx, dy, dz).
    int views() const { return headings() * static_cast<int>(m_settings.elevations.size()); }
    int viewFor(float dx, float dy, float dz) const;
    int headings() const { return m_settings.views; }
    // A direction's elevation in degrees and its index in the settings' elevations, and the level
    // direction of the same heading.
    float elevationOf(int view) const { return m_settings.elevations[elevationIndex(view)]; }
    std::size_t elevationIndex(int view) const { return static_cast<std::size_t>(view / headings()); }
    int levelView(int view) const { return view % headings(); }
    // What a stage's pictures from a direction show, in their plane.
    const impostor::Box &boxOf(const Stage &stage, int view) const
    {
        return stage.boxes[elevationIndex(view)];
    }
    // The texture rows of a direction's pictures.
    float viewBottom(int view) const
    {
        return static_cast<float>(levelView(view)) / static_cast<float>(headings());
    }
    float viewTop(int view) const
    {
        return static_cast<float>(levelView(view) + 1) / static_cast<float>(headings());
    }
    // Height of the tree at progress, interpolated between the stages (0 at progress 0); the
    // stages must be prepared for it.
    double heightAt(double progress) const;
    // Pixels of the smallest picture's height: a tree shown smaller than this would be squeezed
    // below its smallest picture, where one texel covers more than the tree's few pixels.
    int smallestCellHeight() const { return m_settings.sizes.front(); }

private:
    int stageCount() const { return static_cast<int>(m_stages.size()); }
    bool inRange(int view, int stage) const
    {
        return view >= 0 && view < views() && stage >= 0 && stage < stageCount();
    }
    std::size_t pictureIndex(int view, int stage, int size) const
    {
        return (static_cast<std::size_t>(view) * m_stages.size() + static_cast<std::size_t>(stage)) *
                   m_settings.sizes.size() +
               static_cast<std::size_t>(size);
    }
    // Whether pictures of a measured stage can be drawn from a direction: a context is current.
    bool canDraw(int view, int stage) const;
    // Draws the stages (by index) large to find what they cover, and sets their boxes, heights
    // and lines.
    bool measureStages(const std::vector<int> &stages, TreeRenderer &tree, const TreeTextures &textures,
                       GpuMeshCache &cache, TreeMeshDrawer &drawer);
    // Draws one picture into its cell; when pixels is given, also reads the cell back into it.
    bool drawCell(int view, int stage, int size, const impostor::StageDrawing &drawing,
                  const TreeTextures &textures, TreeMeshDrawer &drawer, std::vector<unsigned char> *pixels);

    std::size_t textureIndex(int size, int view) const
    {
        return static_cast<std::size_t>(size) * m_settings.elevations.size() + elevationIndex(view);
    }

    std::vector<GLuint> m_textures; // by size and elevation, 0 until needed
    std::vector<Stage> m_stages;
    ImpostorSettings m_settings;
    std::vector<bool> m_pictureDrawn; // by direction, stage and size
    std::vector<bool> m_speckSet;     // by direction and stage
};

} // namespace lignet::gl
