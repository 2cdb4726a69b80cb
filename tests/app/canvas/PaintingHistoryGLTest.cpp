// Undo and redo of mouse gestures through the whole controller, pictures compared through the export.
#include "PaintingSceneTestSupport.h"

#include "canvas/PaintingHistory.h"
#include "canvas/PictureExporter.h"
#include "canvas/StrokeLeafGL.h"

#include <QImage>

#include <gtest/gtest.h>

#include <memory>

namespace {

class PaintingHistoryGLTest : public PaintingSceneGLTest {
protected:
    void SetUp() override
    {
        PaintingSceneGLTest::SetUp();
        buildScene(256, 256, 3, 36.0f, true);
        canvas->updatePostureRanges();
        OutputCapture quiet;
        builder.buildStrokes(48.0, 48.0, 10, false);
        use(std::make_unique<PaintingHistory>());
        frames(4);
    }
    void use(std::unique_ptr<PaintingHistory> h)
    {
        history = std::move(h);
        history->setCanvas(canvas);
        vis->setPressObserver([this](unsigned int) { history->gestureBegins(); });
    }
    void frame() override
    {
        PaintingSceneGLTest::frame();
        history->frameRendered(*vis);
    }
    // A drag from (x0, y) to (x1, y), one frame per step of dx, the first move on the spot.
    void drag(int x0, int x1, int y, int dx) { PaintingSceneGLTest::drag({{x0, y}, {x0, y}, {x1, y}}, dx); }
    QImage picture()
    {
        QImage image = PictureExporter(vis, canvas).render(1);
        gl->bindFramebuffer();
        return image;
    }
    std::size_t strokes()
    {
        std::size_t n = 0;
        for (const auto& entry : *canvas->getMyChildren())
            if (dynamic_cast<StrokeLeafGL*>(entry.second)) ++n;
        return n;
    }

    std::unique_ptr<PaintingHistory> history;
};

TEST_F(PaintingHistoryGLTest, UndoRemovesTheLastGestureAndRedoBringsItBackPixelIdentical)
{
    drag(40, 200, 80, 8);
    frames(60);
    const QImage first = picture();
    const std::size_t firstStrokes = strokes();
    drag(40, 200, 180, 8);
    frames(60);
    const QImage second = picture();
    const std::size_t secondStrokes = strokes();
    ASSERT_NE(second, first);

    ASSERT_TRUE(history->undo());
    EXPECT_EQ(strokes(), firstStrokes);
    EXPECT_EQ(picture(), first);
    ASSERT_TRUE(history->redo());
    EXPECT_EQ(strokes(), secondStrokes);
    EXPECT_EQ(picture(), second);
    // Frames go on from the restored painting as they went on from the painted one.
    frames(5);
    EXPECT_EQ(picture(), second);

    // Both gestures back and forth; nothing more to take.
    ASSERT_TRUE(history->undo());
    ASSERT_TRUE(history->undo());
    EXPECT_FALSE(history->undo());
    EXPECT_EQ(strokes(), 10u);
    ASSERT_TRUE(history->redo());
    ASSERT_TRUE(history->redo());
    EXPECT_FALSE(history->redo());

    // A new gesture forgets what was undone.
    ASSERT_TRUE(history->undo());
    drag(60, 120, 40, 6);
    EXPECT_FALSE(history->canRedo());
    EXPECT_EQ(history->undoDepth(), 2u);
}

TEST_F(PaintingHistoryGLTest, AGestureIsOneStepWhileAnyPointerIsDownAndUndoWaitsForItsEnd)
{
    vis->setTouchBoundWidth(0, 10.0);
    vis->setTouchBoundHeight(0, 10.0);
    vis->devicePress(60, 60, 0, 0);
    frame();
    for (int x = 60; x < 140; x += 8) {
        vis->deviceMove(unsigned(x), 60, 0, 0);
        frame();
    }
    EXPECT_FALSE(history->undo());
    EXPECT_EQ(history->undoDepth(), 0u);
    vis->deviceRelease(140, 60, 0, 0);
    frame();
    EXPECT_EQ(history->undoDepth(), 1u);
    // A press released before any frame saw it (a quick tap) is a gesture of its own, closed in
    // the same frame.
    vis->devicePress(200, 200, 0, 0);
    vis->deviceRelease(200, 200, 0, 0);
    frame();
    EXPECT_FALSE(history->isGestureOpen());
    EXPECT_EQ(history->undoDepth(), 2u);
    // Frames without a touch make no step.
    frames(3);
    EXPECT_EQ(history->undoDepth(), 2u);
}

TEST_F(PaintingHistoryGLTest, TwentyFiveGesturesStayWithinTheMemoryBound)
{
    for (int i = 0; i < 25; ++i) drag(30 + 8 * i, 50 + 8 * i, 40 + 7 * i, 10);
    EXPECT_EQ(history->undoDepth(), 25u);
    // Unchanged field bands are shared: 25 steps hold far less than 25 whole snapshots.
    const PaintingSnapshot one = PaintingSnapshot::capture(*canvas);
    EXPECT_LT(history->bytes(), 8 * PaintingHistory::measure({&one}));

    // A bound of one and a half snapshots keeps the newest steps only.
    const std::size_t bound = 3 * PaintingHistory::measure({&one}) / 2;
    use(std::make_unique<PaintingHistory>(PaintingHistory::kMaxSteps, bound));
    for (int i = 0; i < 25; ++i) drag(30 + 8 * i, 50 + 8 * i, 200 - 7 * i, 10);
    EXPECT_GE(history->undoDepth(), 1u);
    EXPECT_LT(history->undoDepth(), 25u);
    EXPECT_LE(history->bytes(), bound);
}

} // namespace
