#pragma once

#include <array>

namespace ecosystem::render {

// The six clipping planes of the current view, used to skip plants that cannot be seen.
class ViewFrustum {
public:
    // One plane a x + b y + c z + d = 0 with (a, b, c) of unit length, normal pointing inwards.
    struct Plane {
        double a = 0.0;
        double b = 0.0;
        double c = 0.0;
        double d = 0.0;
        double distance(double x, double y, double z) const { return a * x + b * y + c * z + d; }
    };

    // Planes of projection × modelview (both column-major, as OpenGL returns them), in the order
    // left, right, top, bottom, near, far.
    static ViewFrustum fromMatrices(const std::array<float, 16> &projection,
                                    const std::array<float, 16> &modelview);
    // Reads both matrices from the current OpenGL context.
    static ViewFrustum fromCurrentMatrices();

    // The plants' test: a sphere is rejected by the first plane it lies wholly behind; a sphere that
    // straddles a plane counts as visible at once, without asking the planes after it; a centre
    // exactly `radius` outside a plane leaves the decision to the next planes.
    bool isSphereVisible(double x, double y, double z, double radius) const;

    const std::array<Plane, 6> &planes() const { return planes_; }
    std::array<Plane, 6> &planes() { return planes_; }

private:
    std::array<Plane, 6> planes_{};
};

// Level of detail of a plant at `distance` from the eye: the integer part of sqrt(distance / 5),
// at most 9 (0 up to 5 units, 9 from 405 units on).
int levelOfDetailForDistance(double distance);

} // namespace ecosystem::render
