// The palette and the reference image on a real canvas: a 200 x 150 table, canvas overflow 20.
#include "GLTestContext.h"
#include "OutputCapture.h"

#include "canvas/CanvasCompositeGL.h"
#include "canvas/PaletteLayout.h"
#include "canvas/PaletteLeafGL.h"
#include "canvas/PointLeafGL.h"
#include "canvas/ReferenceImageLeafGL.h"
#include "canvas/ToolBrushLeafGL.h"
#include "core/Random.h"
#include "shell/RuduzozovorERUVisGL.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

using namespace palette;

namespace {

constexpr int kCellOffset = 21; // table pixel -> canvas cell

class PaletteGLTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        tavlor::seedRand15(5);
        vis = std::make_unique<RuduzozovorERUVisGL>(1, 64, 64, 200, 150);
        OutputCapture quiet;
        canvas = new CanvasCompositeGL(vis.get(), 240, 190, 100, 75, 0, 10, 20, 1, 12.0f, 2.0f);
        vis->addComponent(canvas, false);
        palette = vis->createPalette(140, 80, 100, 100, 1.0f);
    }
    void TearDown() override { vis.reset(); }

    // A touch on the palette at fraction (u, v) of it, moved by (dx, dy) table pixels.
    unsigned int touchPalette(double u, double v, double dx = 0, double dy = 0)
    {
        double x = 0, y = 0;
        palette->fractionToTable(u, v, &x, &y);
        const unsigned int code = palette->hitLocalBuffer(unsigned(x), unsigned(y), 10, 10);
        palette->hitLocalBuffer(unsigned(x + dx / 2), unsigned(y + dy / 2), 10, 10);
        palette->releaseLocalBuffer(unsigned(x + dx), unsigned(y + dy), 10, 10);
        return code;
    }
    unsigned int tapRegion(unsigned int region, double dx = 0, double dy = 0)
    {
        const Rect r = rectOf(region);
        return touchPalette(0.5 * (r.u0 + r.u1), 0.5 * (r.v0 + r.v1), dx, dy);
    }
    void colourAt(int x, int y, unsigned char* v)
    {
        canvas->getActiveBufferAs<unsigned char>(COLOR_BUFFER)
            ->get3DValues(unsigned(x + kCellOffset), unsigned(y + kCellOffset), v);
    }

    std::unique_ptr<RuduzozovorERUVisGL> vis;
    CanvasCompositeGL* canvas = nullptr;
    PaletteLeafGL* palette = nullptr;
};

TEST_F(PaletteGLTest, ButtonsReachTheCanvasToolsAndItsBrush)
{
    tapRegion(kFirstSwatch + 2); // blue
    EXPECT_EQ(canvas->getToolState(0, 0), 3.0f);
    EXPECT_EQ(canvas->getPaletteTool(), 3.0f);
    palette->renderIntoBuffers();
    EXPECT_EQ(canvas->getToolState(3, 3), 255.0f);

    // A touch on the canvas: the posture would create; the palette's colour brush paints.
    canvas->setFakePosture(1, 10, 10);
    canvas->hitLocalBuffer(20, 20, 10, 10);
    EXPECT_EQ(canvas->getToolState(0, 0), 3.0f);
    canvas->releaseLocalBuffer(20, 20, 0, 0);

    // A create/erase choice with a drag to the left: erasing at strength 3 per 100 pixels.
    tapRegion(kCreateErase, -50, 0);
    canvas->hitLocalBuffer(20, 20, 10, 10);
    EXPECT_EQ(canvas->getToolState(0, 0), 4.0f);
    EXPECT_FLOAT_EQ(canvas->getToolState(4, 1), -1.5f);
    canvas->releaseLocalBuffer(20, 20, 0, 0);

    // A mode chosen by an action ends the palette's tool.
    canvas->setInteractionMode(CanvasCompositeGL::MODE_SIZE);
    EXPECT_EQ(canvas->getPaletteTool(), -1.0f);

    // A diameter drag resizes the canvas's brush.
    ASSERT_NE(canvas->getToolBrush(0), nullptr);
    canvas->getToolBrush(0)->setDiameter(100.0f, false);
    tapRegion(kDiameter, 60, 0);
    EXPECT_EQ(canvas->getToolState(0, 2), 160.0f);
}

TEST_F(PaletteGLTest, EmptyCanvasDragRefillsTheBuffers)
{
    auto* point = vis->createPoint(50, 50, 8, 8, 0, 0, false);
    canvas->addChild(point);
    auto* size = canvas->getActiveBufferAs<float>(ABSOLUTE_SIZE_BUFFER);
    auto* movement = canvas->getActiveBufferAs<float>(DIRECTION_BUFFER);
    auto* orientation = canvas->getActiveBufferAs<float>(ORIENTATION_BUFFER);
    auto* erase = canvas->getActiveBufferAs<float>(ERASE_BUFFER);
    float one[2] = {1.0f, 1.0f};
    size->fillEntireBuffer(99.0f);
    movement->fillEntireBufferWith2DValue(one);
    orientation->fillEntireBufferWith2DValue(one);

    tapRegion(kEmptyCanvas, 0, 30); // up: only the layer dimming
    EXPECT_EQ(size->getValue(5u, 5u), 99.0f);

    tapRegion(kEmptyCanvas, 0, -30); // down: empties
    EXPECT_EQ(size->getValue(5u, 5u), 12.0f);
    EXPECT_EQ(erase->getValue(5u, 5u), 1.0f);
    float v[2];
    movement->get2DValues(200u, 90u, v);
    EXPECT_EQ(v[0], 0.0f);
    EXPECT_EQ(v[1], 0.0f);
    orientation->get2DValues(200u, 90u, v);
    EXPECT_EQ(v[0], 0.0f);
    EXPECT_EQ(std::abs(v[1]), 1.0f);
    // The erosion lasts one pass and the primitive is gone.
    const unsigned long before = vis->countComponents();
    canvas->renderIntoBuffers();
    EXPECT_EQ(erase->getValue(5u, 5u), 0.0f);
    EXPECT_EQ(vis->countComponents(), before - 1);
}

TEST_F(PaletteGLTest, RegressionShowingAHiddenBrushPrintedAnErrorAndLeftItBehind)
{
    // Touching the palette hides the brush on release; the next touch shows it again.
    ToolBrushLeafGL* brush = canvas->getToolBrush(0);
    ASSERT_NE(brush, nullptr);
    brush->hide();
    OutputCapture out;
    brush->show();
    EXPECT_EQ(out.take(), "");
    EXPECT_TRUE(brush->isShown());
    EXPECT_EQ(vis->getRenderList().front(), brush);
}

// ---- The reference image ----

class ReferenceImageGLTest : public PaletteGLTest {
protected:
    // A 40 x 20 picture: top left red, top right green, bottom left blue, bottom right yellow.
    std::string writeQuadrants()
    {
        QImage image(40, 20, QImage::Format_RGB32);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x)
                image.setPixelColor(x, y, y < 10 ? (x < 20 ? Qt::red : Qt::green)
                                                 : (x < 20 ? Qt::blue : Qt::yellow));
        const QString path = dir.filePath("quadrants.png");
        image.save(path);
        return path.toStdString();
    }
    QTemporaryDir dir;
};

TEST_F(ReferenceImageGLTest, CopiesItsPixelsIntoTheCanvasColourBuffer)
{
    ReferenceImageLeafGL* image = vis->createReferenceImage(60, 40, 40, 20, writeQuadrants());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->copyIntoColorBuffer(), 40u * 20u);
    const struct { int x, y; unsigned char r, g, b; } rows[] = {
        {45, 45, 255, 0, 0},     // top left (y up: the picture's top is the table's higher y)
        {75, 35, 255, 255, 0},   // bottom right
        {60, 55, 120, 100, 40},  // above it: untouched
    };
    for (const auto& row : rows) {
        unsigned char v[3];
        colourAt(row.x, row.y, v);
        EXPECT_EQ(qRgb(v[0], v[1], v[2]), qRgb(row.r, row.g, row.b)) << row.x << "," << row.y;
    }

    // A bigger picture is scaled again: twice the size covers four times the cells.
    image->setSize(80, 40);
    EXPECT_EQ(image->copyIntoColorBuffer(), 80u * 40u);
    // The frame is picked, the inside is left to the canvas.
    EXPECT_EQ(image->hitLocalBuffer(22, 40, 10, 10), 3u);
    image->releaseLocalBuffer(22, 40, 0, 0);
}

TEST_F(ReferenceImageGLTest, CopiesOnlyWhenItsFootprintChangedAndGoesOnRequest)
{
    ReferenceImageLeafGL* image = vis->createReferenceImage(60, 40, 40, 20, writeQuadrants());
    ASSERT_NE(image, nullptr);
    image->renderIntoBuffers();
    // The colour brush paints over the picture; the next pass keeps that paint.
    unsigned char paint[3] = {1, 2, 3};
    canvas->getActiveBufferAs<unsigned char>(COLOR_BUFFER)
        ->set3DValues(unsigned(45 + kCellOffset), unsigned(45 + kCellOffset), paint);
    image->renderIntoBuffers();
    unsigned char v[3];
    colourAt(45, 45, v);
    EXPECT_EQ(v[0], 1);
    image->moveBy(1.0, 0.0);
    image->renderIntoBuffers();
    colourAt(45, 45, v);
    EXPECT_EQ(v[0], 255);

    // A remove request queues the image for deletion.
    image->setRemoveRequest(true);
    image->renderIntoBuffers();
    image->renderIntoBuffers();
    EXPECT_EQ(vis->deletingListSize(), 1u);
}

TEST_F(ReferenceImageGLTest, MissingOrUnreadableFileSaysSoAndCopiesNothing)
{
    QFile garbage(dir.filePath("garbage.png"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("this is no picture");
    garbage.close();
    for (const std::string& file :
         {dir.filePath("missing.png").toStdString(), garbage.fileName().toStdString()}) {
        OutputCapture out;
        ReferenceImageLeafGL* image = vis->createReferenceImage(60, 40, 40, 20, file);
        EXPECT_EQ(out.take(), "Unable to load texture image " + file + "\n");
        ASSERT_NE(image, nullptr);
        EXPECT_FALSE(image->isLoaded());
        EXPECT_EQ(image->copyIntoColorBuffer(), 0u);
    }
}

} // namespace
