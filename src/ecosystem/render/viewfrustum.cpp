#include "ecosystem/render/viewfrustum.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace ecosystem::render {

ViewFrustum ViewFrustum::fromMatrices(const std::array<float, 16> &projection,
                                      const std::array<float, 16> &modelview)
{
    // clip = projection x modelview, column-major: element (row r, column c) at c * 4 + r.
    double clip[4][4];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k)
                sum += static_cast<double>(projection[static_cast<std::size_t>(k * 4 + r)]) *
                       static_cast<double>(modelview[static_cast<std::size_t>(c * 4 + k)]);
            clip[r][c] = sum;
        }
    // Rows 1..3 against row 4: left, right, top, bottom, near, far.
    const int rows[6] = {0, 0, 1, 1, 2, 2};
    const double signs[6] = {1.0, -1.0, -1.0, 1.0, 1.0, -1.0};
    ViewFrustum frustum;
    for (int p = 0; p < 6; ++p) {
        Plane &plane = frustum.planes_[static_cast<std::size_t>(p)];
        plane.a = clip[3][0] + signs[p] * clip[rows[p]][0];
        plane.b = clip[3][1] + signs[p] * clip[rows[p]][1];
        plane.c = clip[3][2] + signs[p] * clip[rows[p]][2];
        plane.d = clip[3][3] + signs[p] * clip[rows[p]][3];
        const double length = std::sqrt(plane.a * plane.a + plane.b * plane.b + plane.c * plane.c);
        if (length > 0.0) {
            plane.a /= length;
            plane.b /= length;
            plane.c /= length;
            plane.d /= length;
        }
    }
    return frustum;
}

ViewFrustum ViewFrustum::fromCurrentMatrices()
{
    std::array<float, 16> projection{};
    std::array<float, 16> modelview{};
    glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.data());
    return fromMatrices(projection, modelview);
}

bool ViewFrustum::isSphereVisible(double x, double y, double z, double radius) const
{
    for (const Plane &plane : planes_) {
        const double d = plane.distance(x, y, z);
        if (d < -radius)
            return false;
        if (std::fabs(d) < radius)
            return true;
    }
    return true;
}

int levelOfDetailForDistance(double distance)
{
    if (!(distance > 0.0))
        return 0;
    return std::min(9, static_cast<int>(std::sqrt(distance / 5.0)));
}

} // namespace ecosystem::render
