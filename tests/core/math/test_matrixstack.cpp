#include "math/mat4.h"
#include "math/matrixstack.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using math::Mat4;
using math::MatrixStack;
using math::Vector3f;

namespace {

void expectNear(const Vector3f &a, const Vector3f &b, float tolerance = 1e-6f)
{
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

// The textbook rotation formula in double precision, row-major [row][column].
void referenceRotation(double angle, double x, double y, double z, double r[3][3])
{
    const double len = std::sqrt(x * x + y * y + z * z);
    x /= len;
    y /= len;
    z /= len;
    const double a = angle * std::numbers::pi / 180.0;
    const double c = std::cos(a), s = std::sin(a), t = 1.0 - c;
    const double v[3][3] = {{x * x * t + c, x * y * t - z * s, x * z * t + y * s},
                            {y * x * t + z * s, y * y * t + c, y * z * t - x * s},
                            {x * z * t - y * s, y * z * t + x * s, z * z * t + c}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r[i][j] = v[i][j];
}

} // namespace

TEST(Mat4, identityIsColumnMajorWithTranslationInElementsTwelveToFourteen)
{
    const Mat4 t = Mat4::translation(1.0f, 2.0f, 3.0f);
    EXPECT_EQ(t[12], 1.0f);
    EXPECT_EQ(t[13], 2.0f);
    EXPECT_EQ(t[14], 3.0f);
    EXPECT_EQ(t[15], 1.0f);
    EXPECT_EQ(t.at(0, 3), 1.0f);
    EXPECT_EQ(Mat4()[0], 1.0f);
    EXPECT_EQ(Mat4()[1], 0.0f);
}

TEST(Mat4, quarterTurnsAboutTheAxesMapAxesAsOpenGLDoes)
{
    // Counter-clockwise when looking down the axis toward the origin.
    expectNear(Mat4::rotation(90, 0, 0, 1).transformPoint({1, 0, 0}), {0, 1, 0});
    expectNear(Mat4::rotation(90, 1, 0, 0).transformPoint({0, 1, 0}), {0, 0, 1});
    expectNear(Mat4::rotation(90, 0, 1, 0).transformPoint({0, 0, 1}), {1, 0, 0});
    expectNear(Mat4::rotation(-90, 0, 0, 1).transformPoint({1, 0, 0}), {0, -1, 0});
    // A non-unit axis is normalised first.
    expectNear(Mat4::rotation(90, 0, 0, 7).transformPoint({1, 0, 0}), {0, 1, 0});
    expectNear(Mat4::rotation(120, 1, 1, 1).transformPoint({1, 0, 0}), {0, 1, 0}, 2e-6f);
}

TEST(Mat4, rotationMatchesTheReferenceFormulaForArbitraryAxes)
{
    const float cases[][4] = {{37.5f, 0.3f, -1.2f, 0.8f},
                              {-145.0f, 2.0f, 0.1f, -0.4f},
                              {5.37f, 0.0f, 1.0f, 0.0f},
                              {197.0f, -0.6f, 0.0f, 0.2f}};
    for (const auto &c : cases) {
        double ref[3][3];
        referenceRotation(c[0], c[1], c[2], c[3], ref);
        const Mat4 r = Mat4::rotation(c[0], c[1], c[2], c[3]);
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col)
                EXPECT_NEAR(r.at(row, col), ref[row][col], 1e-6) << c[0] << " " << row << col;
        EXPECT_EQ(r[3], 0.0f);
        EXPECT_EQ(r[12], 0.0f);
        EXPECT_EQ(r[15], 1.0f);
    }
}

TEST(Mat4, rotationIsComputedInSinglePrecision)
{
    // A half turn leaves the float rounding of sin(pi) in place instead of an exact zero.
    const Mat4 r = Mat4::rotation(180, 0, 0, 1);
    EXPECT_EQ(r[0], -1.0f);
    EXPECT_EQ(r[1], std::sin(static_cast<float>(std::numbers::pi)));
    EXPECT_NE(r[1], 0.0f);
}

TEST(Mat4, degenerateAxisGivesNoRotation)
{
    EXPECT_EQ(Mat4::rotation(45, 0, 0, 0), Mat4());
    EXPECT_EQ(Mat4::rotation(45, 0, 5e-5f, 0), Mat4());
    EXPECT_EQ(Mat4::rotation(0, 0, 1, 0), Mat4());
}

TEST(Mat4, productAppliesTheRightFactorFirst)
{
    const Mat4 m = Mat4::translation(10, 0, 0) * Mat4::rotation(90, 0, 0, 1);
    expectNear(m.transformPoint({1, 0, 0}), {10, 1, 0});
    const Mat4 n = Mat4::rotation(90, 0, 0, 1) * Mat4::translation(10, 0, 0);
    expectNear(n.transformPoint({1, 0, 0}), {0, 11, 0});
    expectNear(n.transformDirection({1, 0, 0}), {0, 1, 0});
}

TEST(MatrixStack, operationsComposeOnTheRightLikeTheFixedFunctionStack)
{
    MatrixStack s;
    s.translate(0, 5, 0);
    s.rotate(90, 0, 0, 1);
    s.translate(2, 0, 0);
    // The point (2, 0, 0) of the inner frame: rotated to (0, 2, 0), lifted by 5.
    expectNear(s.top().translationPart(), {0, 7, 0});
    const Mat4 expected =
        Mat4::translation(0, 5, 0) * Mat4::rotation(90, 0, 0, 1) * Mat4::translation(2, 0, 0);
    EXPECT_EQ(s.top(), expected);
}

TEST(MatrixStack, pushSavesAndPopRestoresTheFrame)
{
    MatrixStack s;
    s.rotate(30, 1, 0, 0);
    const Mat4 saved = s.top();
    s.push();
    EXPECT_EQ(s.depth(), 2);
    s.translate(1, 2, 3);
    s.multiply(Mat4::rotation(12, 0, 1, 0));
    EXPECT_NE(s.top(), saved);
    EXPECT_TRUE(s.pop());
    EXPECT_EQ(s.top(), saved);
    EXPECT_EQ(s.depth(), 1);
}

TEST(MatrixStack, popOfTheLastEntryIsRefusedAndChangesNothing)
{
    MatrixStack s;
    s.translate(4, 0, 0);
    const Mat4 before = s.top();
    EXPECT_FALSE(s.pop());
    EXPECT_EQ(s.top(), before);
    EXPECT_EQ(s.depth(), 1);
    s.push();
    s.push();
    s.reset();
    EXPECT_EQ(s.depth(), 1);
    EXPECT_EQ(s.top(), Mat4());
}

TEST(MatrixStack, translateEqualsMultiplyingByATranslationMatrix)
{
    MatrixStack a, b;
    a.rotate(33, 0.2f, 1, -0.5f);
    b.rotate(33, 0.2f, 1, -0.5f);
    a.translate(0.5f, -3.25f, 7.0f);
    b.multiply(Mat4::translation(0.5f, -3.25f, 7.0f));
    EXPECT_EQ(a.top(), b.top());
}
