#include "ecosystem/terrain/normalcomputation.h"

namespace ecosystem {

std::vector<math::Vector3f> NormalComputation::compute(const std::vector<math::Vector3f> &vertices, int width,
                                                       int height)
{
    std::vector<math::Vector3f> normals(vertices.size(), math::Vector3f(0.0f, 1.0f, 0.0f));
    if (width < 2 || height < 2)
        return normals;
    const auto at = [width](int c, int r) { return static_cast<std::size_t>(c + r * width); };

    for (int r = 0; r < height - 1; ++r) {
        for (int c = 0; c < width - 1; ++c) {
            const math::Vector3f &p0 = vertices[at(c, r)];
            const math::Vector3f &p1 = vertices[at(c + 1, r)];
            const math::Vector3f &p2 = vertices[at(c, r + 1)];
            normals[at(c, r)] = (p0 - p1).cross(p2 - p1).normalized();
        }
        normals[at(width - 1, r)] = normals[at(width - 2, r)];
    }
    for (int c = 0; c < width; ++c)
        normals[at(c, height - 1)] = normals[at(c, height - 2)];
    return normals;
}

} // namespace ecosystem
