// The view's projection on surfaces of any shape: a 90 degree vertical field of view as wide as
// the surface, so round things stay round and the plants' frustum test sees what the picture shows.
#include "ecosystem/render/viewfrustum.h"
#include "lignet/gl/glviewdefaults.h"
#include "lignet/gl/offscreencontext.h"

#include <QImage>

#include <gtest/gtest.h>

#include <GL/gl.h>

using ecosystem::render::ViewFrustum;

namespace {

struct Extent {
    int width = 0;
    int height = 0;
};

// The size in pixels of what is not black.
Extent drawnExtent(const QImage &image)
{
    int left = image.width(), right = -1, top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) > 128) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return {right - left + 1, bottom - top + 1};
}

} // namespace

TEST(ViewProjection, squareStaysSquareAndTheFrustumFollowsTheSurfaceShape)
{
    const struct {
        int width;
        int height;
        float visibleX; // inside the side planes of this shape only
        float hiddenX;  // beyond them
    } shapes[] = {{240, 120, 15.0f, 25.0f}, {120, 240, 4.0f, 7.0f}, {160, 160, 9.0f, 12.0f}};
    for (const auto &shape : shapes) {
        lignet::gl::OffscreenContext context(QSize(shape.width, shape.height));
        ASSERT_TRUE(context.isValid()) << context.error().toStdString();
        lignet::gl::applyViewDefaults();
        lignet::gl::applyViewProjection(shape.width, shape.height);

        GLfloat projection[16];
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        // cot(45 degrees) vertically, divided by the aspect horizontally.
        EXPECT_NEAR(projection[5], 1.0f, 1e-5f);
        EXPECT_NEAR(projection[0], float(shape.height) / float(shape.width), 1e-5f);

        // A square 6 wide, 10 in front of the eye: 0.3 of the surface's height on both axes.
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColor3f(1.0f, 1.0f, 1.0f);
        glBegin(GL_QUADS);
        glVertex3f(-3.0f, -3.0f, -10.0f);
        glVertex3f(3.0f, -3.0f, -10.0f);
        glVertex3f(3.0f, 3.0f, -10.0f);
        glVertex3f(-3.0f, 3.0f, -10.0f);
        glEnd();
        const Extent square = drawnExtent(context.grab());
        const int expected = shape.height * 3 / 10;
        EXPECT_NEAR(square.height, expected, 1) << shape.width << "x" << shape.height;
        EXPECT_NEAR(square.width, expected, 1) << shape.width << "x" << shape.height;

        const ViewFrustum frustum = ViewFrustum::fromCurrentMatrices();
        EXPECT_TRUE(frustum.isSphereVisible(shape.visibleX, 0.0, -10.0, 0.5)) << shape.width;
        EXPECT_FALSE(frustum.isSphereVisible(shape.hiddenX, 0.0, -10.0, 0.5)) << shape.width;
        EXPECT_TRUE(frustum.isSphereVisible(0.0, 9.0, -10.0, 0.5)) << shape.width;
        EXPECT_FALSE(frustum.isSphereVisible(0.0, 12.0, -10.0, 0.5)) << shape.width;
    }
}
