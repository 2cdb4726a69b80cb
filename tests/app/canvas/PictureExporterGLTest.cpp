// Image export of the builder's scene at several scales and tile sizes.
#include "PaintingSceneTestSupport.h"

#include "canvas/ExportTiling.h"
#include "canvas/PictureExporter.h"
#include "canvas/ToolBrushLeafGL.h"

#include <QImage>
#include <QTemporaryDir>

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

class PictureExporterGLTest : public PaintingSceneGLTest {
protected:
    void build(unsigned int screenWidth, unsigned int screenHeight)
    {
        buildScene(screenWidth, screenHeight, 5, 30.0f, true);
        OutputCapture quiet;
        builder.buildPoints(24.0, 24.0, 40);
        builder.buildTiles(20.0, 20.0, 30, false);
        builder.buildStrokes(40.0, 16.0, 30, false);
        // Past the hidden frames of new primitives; then the scene holds still.
        frames(5);
        vis->setAnimating(false);
    }
    QImage exportAt(int scale, int tileLimit = 0)
    {
        PictureExporter exporter(vis, canvas, tileLimit);
        QImage image = exporter.render(scale);
        EXPECT_EQ(exporter.error().toStdString(), "");
        tiles = exporter.tilesRendered();
        gl->bindFramebuffer();
        return image;
    }
    // Pixels of the image that differ from the background of the test context (black).
    static int paintedPixels(const QImage& image)
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != qRgb(0, 0, 0)) ++n;
        return n;
    }

    int tiles = 0;
};

TEST_F(PictureExporterGLTest, ExportAtOneMatchesTheCanvasRenderWithoutTheBrush)
{
    build(256, 256);
    // The brush outline shows, as during a touch; the export leaves it out.
    ToolBrushLeafGL* brush = canvas->getToolBrush(0);
    ASSERT_NE(brush, nullptr);
    brush->activateForRendering();
    const QImage image = exportAt(1);
    ASSERT_EQ(image.size(), QSize(256, 256));
    EXPECT_EQ(tiles, 1);
    EXPECT_GT(paintedPixels(image), 256 * 256 / 10);

    // The controller's frame after the export, without the brush: the same picture.
    brush->deactivateForRendering();
    frame();
    std::vector<unsigned char> screen(256 * 256 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 256, 256, GL_RGB, GL_UNSIGNED_BYTE, screen.data());
    int differing = 0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const unsigned char* p = &screen[(static_cast<std::size_t>(y) * 256 + x) * 3];
            if (image.pixel(x, 255 - y) != qRgb(p[0], p[1], p[2])) ++differing;
        }
    EXPECT_EQ(differing, 0);
}

TEST_F(PictureExporterGLTest, TwiceTheScaleShowsThePictureAndTilesJoinWithoutSeams)
{
    build(256, 256);
    const QImage one = exportAt(1);
    const QImage two = exportAt(2);
    EXPECT_EQ(tiles, 1);
    ASSERT_EQ(two.size(), QSize(512, 512));
    // Four times the painted area, give or take the primitives' edges.
    const double ratio = double(paintedPixels(two)) / paintedPixels(one);
    EXPECT_NEAR(ratio, 4.0, 0.2);
    // Inside flat areas of the 1x picture the 2x picture shows the same colour.
    int flat = 0, same = 0;
    for (int y = 1; y < 255; ++y)
        for (int x = 1; x < 255; ++x) {
            const QRgb c = one.pixel(x, y);
            bool uniform = true;
            for (int dy = -1; dy <= 1 && uniform; ++dy)
                for (int dx = -1; dx <= 1 && uniform; ++dx) uniform = one.pixel(x + dx, y + dy) == c;
            if (!uniform) continue;
            ++flat;
            const QRgb d = two.pixel(2 * x, 2 * y);
            if (std::abs(qRed(c) - qRed(d)) <= 8 && std::abs(qGreen(c) - qGreen(d)) <= 8 &&
                std::abs(qBlue(c) - qBlue(d)) <= 8)
                ++same;
        }
    EXPECT_GT(flat, 256 * 256 / 2);
    EXPECT_GE(same, flat * 99 / 100);

    // Uneven tiles of 100 pixels: 36 of them, borders through primitives.
    const QImage tiled = exportAt(2, 100);
    EXPECT_EQ(tiles, 36);
    ASSERT_EQ(tiled.size(), two.size());
    int differing = 0;
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 512; ++x)
            if (tiled.pixel(x, y) != two.pixel(x, y)) ++differing;
    // Clipping at a tile's edge may round a primitive's edge pixel the other way; a seam (a row
    // or column lost or doubled at the 35 borders) would differ in hundreds.
    EXPECT_LE(differing, 8);
}

TEST_F(PictureExporterGLTest, RefusalsSayWhyAndWriteNothing)
{
    build(256, 256);
    QTemporaryDir dir;
    PictureExporter exporter(vis, canvas);
    EXPECT_FALSE(exporter.exportPng(dir.filePath("a.png"), 9));
    EXPECT_FALSE(QFile::exists(dir.filePath("a.png")));
    EXPECT_FALSE(exporter.exportPng(dir.filePath("missing/b.png"), 1));
    EXPECT_TRUE(exporter.error().startsWith(dir.filePath("missing/b.png") + " cannot be written: "));
    // Tiles within what the context can render into.
    GLint renderbuffer = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    EXPECT_LE(PictureExporter::glTileLimit(), renderbuffer);
    ASSERT_TRUE(exporter.exportPng(dir.filePath("c.png"), 2));
    EXPECT_EQ(QImage(dir.filePath("c.png")).size(), QSize(512, 512));
    gl->bindFramebuffer();
}

} // namespace
