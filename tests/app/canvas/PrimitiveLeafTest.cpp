// The per-frame update of rendering primitives against a small canvas's buffers, without a context.
#include "CanvasTestSupport.h"

#include "canvas/PointLeafGL.h"
#include "canvas/StrokeLeafGL.h"
#include "canvas/TileLeafGL.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace {

class PrimitiveLeafTest : public CanvasFixture<::testing::Test, TabletopVisGL, 64> {
protected:
    StrokeLeafGL* stroke(double x = 20.0, double y = 20.0, int layer = 0)
    {
        return add(new StrokeLeafGL(vis.get(), x, y, 20.0, 20.0, 0.0, layer, 0));
    }
    template <class C> static std::array<int, 3> rgb(const C& c) { return {c.r, c.g, c.b}; }
    static void frames(PrimitiveLeafGL* p, int n)
    {
        for (int i = 0; i < n; ++i) p->update(1.0);
    }
};

TEST_F(PrimitiveLeafTest, ErosionLifeSeries210To110To10QueuesOnceAndReadsTheBorderCell)
{
    StrokeLeafGL* s = stroke();
    canvas->fill<float>(ERASE_BUFFER, 100.0f);
    s->update(1.0);
    EXPECT_TRUE(canvas->queued.empty());
    s->update(1.0);
    // Reaching 10 queues it and leaves it at life 1 until the canvas deletes it.
    EXPECT_EQ(canvas->queued, std::vector<VisComponent*>{s});
    EXPECT_EQ(s->getLife(), 1);
    frames(s, 5);
    EXPECT_EQ(canvas->queued.size(), 1u) << "a queued primitive must not be queued again";

    // Values are truncated; negative ones raise life.
    StrokeLeafGL* t = stroke();
    canvas->fill<float>(ERASE_BUFFER, 2.9f);
    t->update(1.0);
    EXPECT_EQ(t->getLife(), 208);
    canvas->fill<float>(ERASE_BUFFER, -100.0f);
    frames(t, 2);
    EXPECT_EQ(t->getLife(), 408);

    // Far outside the canvas: the position is clamped to the grid, nothing is read beyond it.
    StrokeLeafGL* outside = stroke(500, -300);
    canvas->fill<float>(ERASE_BUFFER, 50.0f);
    outside->update(1.0);
    EXPECT_EQ(outside->getLife(), 160);
}

// A kept sample is read again when its buffer was modified by any means or the primitive moved.
TEST_F(PrimitiveLeafTest, KeptSamplesFollowWritesAndMoves)
{
    StrokeLeafGL* s = stroke(20.0, 20.0);
    BufferTemplate<float>* erase = canvas->buffer<float>(ERASE_BUFFER);
    canvas->fill<float>(ERASE_BUFFER, 0.0f);
    s->update(1.0);

    // Written through the raw array, as the brushes do.
    float* cells = erase->getBufferArray();
    std::fill(cells, cells + erase->getWidth() * erase->getHeight(), 3.0f);
    frames(s, 2);
    EXPECT_EQ(s->getLife(), 204) << "an unchanged value applies again every frame";

    // Another cell under the primitive, the buffer untouched since the last read.
    for (unsigned int y = 0; y < erase->getHeight(); ++y)
        for (unsigned int x = 0; x < erase->getWidth(); ++x)
            erase->setValue(x, y, x > 40 ? 50.0f : 0.0f);
    s->update(1.0);
    EXPECT_EQ(s->getLife(), 204);
    s->moveBy(30.0, 0.0);
    s->update(1.0);
    EXPECT_EQ(s->getLife(), 154);

    // New buffers connected by the canvas replace the kept samples.
    canvas->drop(ERASE_BUFFER);
    s->update(1.0);
    EXPECT_EQ(s->getLife(), 154);
}

TEST_F(PrimitiveLeafTest, PrimitiveOffTheCurrentLayerKeepsEverything)
{
    StrokeLeafGL* s = stroke(20, 20, 1);
    PointLeafGL* p = add(new PointLeafGL(vis.get(), 30, 30, 20, 20, 10.0, 1));
    canvas->tool(0, 3) = 0.0f;
    canvas->fill<float>(ERASE_BUFFER, 100.0f);
    canvas->fill3(COLOR_BUFFER, 1, 2, 3);
    canvas->fill3(TEMPORARY_COLOR_BUFFER, 9, 9, 9);
    canvas->fill<float>(ABSOLUTE_SIZE_BUFFER, 60.0f);
    canvas->fill<float>(SIZE_DIFFERENCE_BUFFER, 10.0f);
    canvas->fill2(DIRECTION_BUFFER, 3.0f, 1.0f);
    canvas->fill2(TEMPORARY_ORIENTATION_BUFFER, 1.0f, 0.0f);
    canvas->fill<int>(SPEED_BUFFER, 7);
    const int shape = p->getShapeIndex();
    for (PrimitiveLeafGL* q : {static_cast<PrimitiveLeafGL*>(s), static_cast<PrimitiveLeafGL*>(p)}) {
        const auto state = [q] {
            return std::array<double, 6>{q->getXPos(), q->getYPos(), q->getRotation(), q->getWidth(),
                                         double(q->getLife()), double(q->getDisplayColor().r)};
        };
        const auto before = state();
        frames(q, 60);
        EXPECT_EQ(state(), before);
    }
    EXPECT_EQ(p->getShapeIndex(), shape);
    EXPECT_TRUE(canvas->queued.empty());
    // Switching the layer brings them to life.
    canvas->tool(0, 3) = 1.0f;
    s->update(1.0);
    EXPECT_EQ(s->getLife(), 110);
}

TEST_F(PrimitiveLeafTest, OrientationTurnsAFifthOfTheRemainingAngleOrNotAtAll)
{
    const struct { const char* name; float vx, vy; double start, afterOne; } rows[] = {
        {"squared length 8e-6", 0.002f, 0.002f, 45.0, 45.0},
        {"(0, 1) faces 0 degrees", 0.0f, 1.0f, 50.0, 40.0},
        {"(1, 0) faces -90 degrees", 1.0f, 0.0f, 0.0, 342.0},
        {"within a degree: no turn", 0.0f, 1.0f, 0.5, 0.5},
        {"exactly 180 turns positive", 0.0f, -1.0f, 0.0, 36.0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        StrokeLeafGL* s = stroke();
        s->rotate(row.start);
        canvas->fill2(TEMPORARY_ORIENTATION_BUFFER, row.vx, row.vy);
        s->update(1.0);
        EXPECT_NEAR(s->getRotation(), row.afterOne, 1e-9);
        vis->deleteComponent(s);
    }
    // Turning converges within a degree.
    StrokeLeafGL* s = stroke();
    canvas->fill2(TEMPORARY_ORIENTATION_BUFFER, 1.0f, 1.0f);
    frames(s, 60);
    EXPECT_NEAR(s->getRotation(), 315.0, 1.0);
}

TEST_F(PrimitiveLeafTest, SizeDifferenceClampsTo5And250)
{
    // Without the absolute size pulling back to the canvas's initial size.
    canvas->drop(ABSOLUTE_SIZE_BUFFER);
    // From 20: would be 3, would be 300, +4.
    const std::pair<float, double> rows[] = {{-17.0f, 5.0}, {280.0f, 250.0}, {4.0f, 24.0}};
    for (const auto& [difference, expected] : rows) {
        SCOPED_TRACE(difference);
        StrokeLeafGL* s = stroke();
        canvas->fill<float>(SIZE_DIFFERENCE_BUFFER, difference);
        s->update(1.0);
        canvas->fill<float>(SIZE_DIFFERENCE_BUFFER, 0.0f);
        frames(s, 60);
        EXPECT_DOUBLE_EQ(s->getWidth(), expected);
        EXPECT_DOUBLE_EQ(s->getHeight(), expected);
        vis->deleteComponent(s);
    }
}

TEST_F(PrimitiveLeafTest, SizeModeGrowthWasPulledBackByTheSizeBufferWhichAnimates)
{
    StrokeLeafGL* s = stroke();
    frames(s, 60);
    // One frame of the size brush: the primitive grows by the difference and keeps it.
    canvas->fill<float>(SIZE_DIFFERENCE_BUFFER, 10.0f);
    s->update(1.0);
    canvas->fill<float>(SIZE_DIFFERENCE_BUFFER, 0.0f);
    frames(s, 60);
    EXPECT_DOUBLE_EQ(s->getWidth(), 30.0);
    // A new value in the size buffer is still taken.
    canvas->fill<float>(ABSOLUTE_SIZE_BUFFER, 12.0f);
    frames(s, 60);
    EXPECT_DOUBLE_EQ(s->getWidth(), 12.0);

    // An absolute size is reached over fifty frames.
    s = stroke();
    canvas->fill<float>(ABSOLUTE_SIZE_BUFFER, 40.0f);
    s->update(1.0);
    EXPECT_EQ(s->getWidth(), 20.0) << "the first frame of an animation starts at t = 0";
    frames(s, 10);
    EXPECT_LT(s->getWidth(), 40.0);
    frames(s, 45);
    EXPECT_DOUBLE_EQ(s->getWidth(), 40.0);
}

TEST_F(PrimitiveLeafTest, MovementIsTwoAndAHalfTimesTheRotatedVectorTimesDt)
{
    StrokeLeafGL* s = stroke(20, 20);
    canvas->fill2(DIRECTION_BUFFER, 2.0f, 0.0f);
    s->update(0.5);
    EXPECT_EQ((std::array<double, 2>{s->getXPos(), s->getYPos()}), (std::array<double, 2>{22.5, 20.0}));

    // On a canvas turned by 90 degrees the field's x is the table's y.
    canvas->rotate(90.0);
    canvas->fill2(DIRECTION_BUFFER, 2.0f, 0.0f);
    const double x = s->getXPos(), y = s->getYPos();
    s->update(1.0);
    EXPECT_NEAR(s->getXPos(), x, 1e-9);
    EXPECT_NEAR(s->getYPos(), y + 5.0, 1e-9);
}

TEST_F(PrimitiveLeafTest, ColourNeedsTheDropOffBufferNeutralTemporaryColourKeepsItShapeFollowsSpeed)
{
    StrokeLeafGL* s = stroke();
    PointLeafGL* p = add(new PointLeafGL(vis.get(), 20, 20, 20, 20, 0, 0));
    canvas->fill3(COLOR_BUFFER, 120, 100, 40);
    canvas->fill3(TEMPORARY_COLOR_BUFFER, 127, 0, 0); // neutral: the points keep the colour
    s->update(1.0);
    p->update(1.0);
    for (PrimitiveLeafGL* q : {static_cast<PrimitiveLeafGL*>(s), static_cast<PrimitiveLeafGL*>(p)})
        EXPECT_EQ(rgb(q->getDisplayColor()), (std::array<int, 3>{120, 100, 40}));
    // A brush colour shows at once; the colour buffer still rules when it changes.
    canvas->fill3(TEMPORARY_COLOR_BUFFER, 200, 10, 10);
    p->update(1.0);
    EXPECT_EQ(p->getDisplayColor().r, 200);
    EXPECT_EQ(p->getBufferColor().r, 120);

    StrokeLeafGL* t = stroke();
    canvas->drop(DROP_OFF_BUFFER);
    t->update(1.0);
    EXPECT_EQ(t->getDisplayColor().r, 65);

    // The point's shape follows the speed buffer within the table.
    canvas->fill<int>(SPEED_BUFFER, 14);
    p->update(1.0);
    EXPECT_EQ(p->getShapeIndex(), 14);
    for (int bad : {16, -1}) {
        canvas->fill<int>(SPEED_BUFFER, bad);
        p->update(1.0);
        EXPECT_EQ(p->getShapeIndex(), 14) << bad;
    }
}

TEST_F(PrimitiveLeafTest, StrokeAlphaIsLifeClampedDimmedOrTargetedAndMasked)
{
    StrokeLeafGL* s = stroke();
    canvas->fill<bool>(VALIDITY_MASK_BUFFER, false);
    EXPECT_TRUE(s->isMaskedOut());
    // The mask is read again after it changes, and where the stroke moves to.
    canvas->fill<bool>(VALIDITY_MASK_BUFFER, true);
    EXPECT_FALSE(s->isMaskedOut());
    auto* mask = canvas->buffer<bool>(VALIDITY_MASK_BUFFER);
    for (unsigned int y = 0; y < mask->getHeight(); ++y)
        for (unsigned int x = 0; x < mask->getWidth() / 2; ++x) mask->setValue(x, y, false);
    s->setPos(2.0, 20.0);
    EXPECT_TRUE(s->isMaskedOut());
    s->setPos(60.0, 20.0);
    EXPECT_FALSE(s->isMaskedOut());
    s->setLife(300);
    EXPECT_EQ(s->currentAlpha(), 255) << "life above 255 must not wrap around";
    s->setLife(-5);
    EXPECT_EQ(s->currentAlpha(), 0);
    s->setLife(150);
    canvas->tool(0, 5) = 1.0f;
    canvas->tool(0, 4) = 2.0f;
    EXPECT_EQ(s->currentAlpha(), 100);
    canvas->tool(0, 4) = 0.0f;
    canvas->fill<bool>(TARGET_AREA_BUFFER, true);
    s->update(1.0);
    EXPECT_TRUE(s->isInTargetArea());
    EXPECT_EQ(s->currentAlpha(), 120);
}

} // namespace
