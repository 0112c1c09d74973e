#include "lignet/gl/texturehelper.h"
#include "render/offscreengl.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using lignet::gl::TextureHelper;

TEST(TextureColourKey, nearWhiteBecomesTransparentWhiteOthersStay)
{
    QImage image(4, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 255, 255));
    image.setPixel(1, 0, qRgb(201, 230, 250));
    image.setPixel(2, 0, qRgb(200, 200, 200));
    image.setPixel(3, 0, qRgb(30, 120, 40));
    const QImage keyed = TextureHelper::applyColourKey(image);
    EXPECT_EQ(keyed.pixelColor(0, 0), QColor(255, 255, 255, 0));
    EXPECT_EQ(keyed.pixelColor(1, 0), QColor(255, 255, 255, 0));
    EXPECT_EQ(keyed.pixelColor(2, 0), QColor(200, 200, 200, 255));
    EXPECT_EQ(keyed.pixelColor(3, 0), QColor(30, 120, 40, 255));
}

TEST(TextureLoading, backslashPathLoadsLikeForwardSlashes)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(qRgb(10, 20, 30));
    ASSERT_TRUE(image.save(dir.filePath("bark.png")));
    const QString forward = dir.filePath("bark.png");
    QString backward = forward;
    backward.replace('/', '\\');
    const QImage a = TextureHelper::loadImage(forward);
    const QImage b = TextureHelper::loadImage(backward);
    ASSERT_FALSE(a.isNull());
    EXPECT_EQ(a, b);
    EXPECT_TRUE(TextureHelper::loadImage(dir.filePath("missing.png")).isNull());
    EXPECT_TRUE(TextureHelper::loadImage(QString()).isNull());
}

TEST(TextureUpload, uploadsWithMipmapsAndReleasesTheName)
{
    OffscreenGl gl;
    ASSERT_TRUE(gl.create(8, 8));
    QImage image(64, 32, QImage::Format_RGB32);
    image.fill(qRgb(200, 100, 50));
    GLuint name = TextureHelper::upload(image);
    ASSERT_NE(name, 0u);
    EXPECT_TRUE(glIsTexture(name));
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 64);
    GLint lastLevel = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 6, GL_TEXTURE_WIDTH, &lastLevel);
    EXPECT_EQ(lastLevel, 1); // 64 -> 1 in six halvings
    TextureHelper::release(name);
    EXPECT_EQ(name, 0u);
    EXPECT_EQ(TextureHelper::upload(QImage()), 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
