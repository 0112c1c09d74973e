#include "lignet/gl/impostorpicturereading.h"

#include <QOpenGLContext>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace lignet::gl::impostor {

namespace {

// The alpha of texel (x, y) of RGBA rows width texels wide.
unsigned char alphaAt(const std::vector<unsigned char> &rgba, int width, int x, int y)
{
    return rgba[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                 static_cast<std::size_t>(x)) *
                    4 +
                3];
}

} // namespace

std::optional<Box> coveredBox(const std::vector<unsigned char> &rgba, int width, int height, const Box &box)
{
    int x0 = width, x1 = -1, y0 = height, y1 = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (alphaAt(rgba, width, x, y) != 0) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
    if (x1 < 0)
        return std::nullopt;
    const float sx = (box.right - box.left) / static_cast<float>(width);
    const float sy = (box.top - box.bottom) / static_cast<float>(height);
    return Box{box.left + static_cast<float>(x0) * sx, box.left + static_cast<float>(x1 + 1) * sx,
               box.bottom + static_cast<float>(y0) * sy, box.bottom + static_cast<float>(y1 + 1) * sy};
}

std::optional<float> coveredRadius(const std::vector<unsigned char> &rgba, int width, int height,
                                   const Box &box)
{
    const float sx = (box.right - box.left) / static_cast<float>(width);
    const float sy = (box.top - box.bottom) / static_cast<float>(height);
    std::optional<float> radius;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (alphaAt(rgba, width, x, y) == 0)
                continue;
            // The texel's corner farthest from the axis.
            const float x0 = box.left + static_cast<float>(x) * sx;
            const float y0 = box.bottom + static_cast<float>(y) * sy;
            const float r = std::hypot(std::max(std::abs(x0), std::abs(x0 + sx)),
                                       std::max(std::abs(y0), std::abs(y0 + sy)));
            radius = std::max(radius.value_or(0.0f), r);
        }
    return radius;
}

std::vector<unsigned char> framebufferPixels(int x, int y, int width, int height)
{
    std::vector<unsigned char> rgba(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glPopClientAttrib();
    return rgba;
}

std::vector<OpaqueTexels> opaqueTexelsOf(const std::vector<unsigned char> &rgba, int cells, int cellWidth,
                                         int cellHeight)
{
    const int width = cells * cellWidth;
    std::vector<OpaqueTexels> result(static_cast<std::size_t>(cells));
    std::vector<std::array<int, 3>> opaque;
    for (int cell = 0; cell < cells; ++cell) {
        OpaqueTexels &texels = result[static_cast<std::size_t>(cell)];
        opaque.clear();
        for (int y = 0; y < cellHeight; ++y)
            for (int x = cell * cellWidth; x < (cell + 1) * cellWidth; ++x) {
                const unsigned char *texel =
                    rgba.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                   static_cast<std::size_t>(x)) *
                                      4;
                if (texel[3] != 255)
                    continue;
                opaque.push_back({texel[0], texel[1], texel[2]});
                texels.topRow = y;
            }
        if (opaque.empty())
            continue;
        std::sort(opaque.begin(), opaque.end(),
                  [](const auto &a, const auto &b) { return a[0] + a[1] + a[2] < b[0] + b[1] + b[2]; });
        const std::size_t shades = texels.shades.size();
        for (std::size_t k = 0; k < shades; ++k) {
            // Every part holds at least one texel, so a cell of few texels repeats some.
            const std::size_t first = k * opaque.size() / shades;
            const std::size_t end = std::max(first + 1, (k + 1) * opaque.size() / shades);
            std::array<int, 3> sum{};
            for (std::size_t i = first; i < end; ++i)
                for (std::size_t c = 0; c < 3; ++c)
                    sum[c] += opaque[i][c];
            const auto n = static_cast<int>(end - first);
            for (std::size_t c = 0; c < 3; ++c)
                texels.shades[k][c] = static_cast<unsigned char>((sum[c] + n / 2) / n);
            texels.shades[k][3] = 255;
        }
    }
    return result;
}

std::vector<int> litTexels(const std::vector<unsigned char> &rgba, int cells, int cellWidth)
{
    const auto width = static_cast<std::size_t>(cells * cellWidth);
    std::vector<int> lit(static_cast<std::size_t>(cells));
    for (std::size_t i = 0; i < rgba.size() / 4; ++i)
        if (rgba[4 * i + 3] >= 128)
            ++lit[(i % width) / static_cast<std::size_t>(cellWidth)];
    return lit;
}

} // namespace lignet::gl::impostor
