#include "lignet/gl/texturehelper.h"
#include "render/offscreengl.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using lignet::gl::TextureHelper;

TEST(TextureLoading, backslashPathsLoadLikeForwardSlashesAndMissingPicturesAreNull)
{
    QTemporaryDir dir;
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(qRgb(10, 20, 30));
    ASSERT_TRUE(image.save(dir.filePath("bark.png")));
    const QImage loaded = TextureHelper::loadImage(dir.filePath("bark.png"));
    ASSERT_FALSE(loaded.isNull());
    EXPECT_EQ(TextureHelper::loadImage(dir.filePath("bark.png").replace('/', '\\')), loaded);
    EXPECT_TRUE(TextureHelper::loadImage(dir.filePath("missing.png")).isNull());
    EXPECT_TRUE(TextureHelper::loadImage(QString()).isNull());
    // The built-in pictures load from the resources (the render model uploads every one of them).
    EXPECT_EQ(TextureHelper::loadImage(QStringLiteral(":/gui/textures/detail.png")).size(), QSize(512, 512));
    EXPECT_TRUE(TextureHelper::loadImage(QStringLiteral(":/gui/textures/leaf.png")).hasAlphaChannel());
}

TEST(TextureColourKey, nearWhiteBecomesTransparentWhiteOthersStay)
{
    QImage image(4, 1, QImage::Format_RGB32);
    const QRgb colours[] = {qRgb(255, 255, 255), qRgb(201, 230, 250), qRgb(200, 200, 200), qRgb(30, 120, 40)};
    for (int x = 0; x < 4; ++x)
        image.setPixel(x, 0, colours[x]);
    const QImage keyed = TextureHelper::applyColourKey(image);
    const QColor expected[] = {
        {255, 255, 255, 0}, {255, 255, 255, 0}, {200, 200, 200, 255}, {30, 120, 40, 255}};
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(keyed.pixelColor(x, 0), expected[x]) << x;
}

TEST(TextureUpload, uploadsWithMipmapsAndReleasesTheName)
{
    OffscreenGl gl;
    ASSERT_TRUE(gl.create(8, 8));
    QImage image(64, 32, QImage::Format_RGB32);
    image.fill(qRgb(200, 100, 50));
    GLuint name = TextureHelper::upload(image);
    ASSERT_TRUE(glIsTexture(name));
    GLint width = 0, lastLevel = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 6, GL_TEXTURE_WIDTH, &lastLevel);
    EXPECT_EQ(std::pair(width, lastLevel), std::pair(64, 1)); // 64 -> 1 in six halvings
    TextureHelper::release(name);
    EXPECT_EQ(name, 0u);
    EXPECT_EQ(TextureHelper::upload(QImage()), 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
