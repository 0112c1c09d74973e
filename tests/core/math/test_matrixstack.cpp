#include "core/vectornear.h"
#include "math/mat4.h"
#include "math/matrixstack.h"

#include <cmath>
#include <numbers>

using math::Mat4;
using math::MatrixStack;

TEST(Mat4, rotatesCounterClockwiseAboutTheNormalisedAxisAndProductsApplyTheRightFactorFirst)
{
    const double cases[][4] = {{37.5, 0.3, -1.2, 0.8}, {-145, 2, 0.1, -0.4}, {197, -0.6, 0, 0.2}};
    for (const auto &[angle, ax, ay, az] : cases) {
        const double len = std::sqrt(ax * ax + ay * ay + az * az);
        const double x = ax / len, y = ay / len, z = az / len, a = angle * std::numbers::pi / 180;
        const double c = std::cos(a), s = std::sin(a), t = 1 - c;
        const double ref[3][3] = {{x * x * t + c, x * y * t - z * s, x * z * t + y * s},
                                  {y * x * t + z * s, y * y * t + c, y * z * t - x * s},
                                  {x * z * t - y * s, y * z * t + x * s, z * z * t + c}};
        const Mat4 r = Mat4::rotation(static_cast<float>(angle), static_cast<float>(ax),
                                      static_cast<float>(ay), static_cast<float>(az));
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col)
                EXPECT_NEAR(r.at(row, col), ref[row][col], 1e-6) << angle << " " << row << col;
        EXPECT_EQ(std::tuple(r[3], r[12], r[15]), std::tuple(0.0f, 0.0f, 1.0f));
    }
    // Single precision: a half turn keeps the float rounding of sin(pi) instead of an exact zero.
    EXPECT_EQ(Mat4::rotation(180, 0, 0, 1)[1], std::sin(static_cast<float>(std::numbers::pi)));
    // An axis shorter than 1e-4 gives no rotation.
    EXPECT_EQ(Mat4::rotation(45, 0, 5e-5f, 0), Mat4());

    // Column major, the translation in elements 12 to 14; a product applies the right factor first.
    const Mat4 t = Mat4::translation(1.0f, 2.0f, 3.0f);
    EXPECT_EQ(std::tuple(t[12], t[13], t[14], t[15], t.at(0, 3)), std::tuple(1.0f, 2.0f, 3.0f, 1.0f, 1.0f));
    const Mat4 n = Mat4::rotation(90, 0, 0, 1) * Mat4::translation(10, 0, 0);
    expectNear(n.transformPoint({1, 0, 0}), {0, 11, 0});
    expectNear(n.transformDirection({1, 0, 0}), {0, 1, 0});
}

TEST(MatrixStack, operationsComposeOnTheRightLikeTheFixedFunctionStackAndPopRefusesTheLastEntry)
{
    MatrixStack s;
    s.translate(0, 5, 0);
    s.rotate(90, 0, 0, 1);
    s.translate(2, 0, 0);
    EXPECT_EQ(s.top(), Mat4::translation(0, 5, 0) * Mat4::rotation(90, 0, 0, 1) * Mat4::translation(2, 0, 0));
    expectNear(s.top().translationPart(), {0, 7, 0});

    // Pop restores the pushed frame and refuses the last entry.
    s.reset();
    s.rotate(30, 1, 0, 0);
    const Mat4 saved = s.top();
    s.push();
    s.translate(1, 2, 3);
    EXPECT_TRUE(s.pop());
    EXPECT_EQ(s.top(), saved);
    EXPECT_FALSE(s.pop());
    EXPECT_EQ(std::pair(s.top(), s.depth()), std::pair(saved, 1));
    s.push();
    s.reset();
    EXPECT_EQ(std::pair(s.top(), s.depth()), std::pair(Mat4(), 1));
}
