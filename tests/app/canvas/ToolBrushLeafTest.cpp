// The tool brush's writes into a canvas's buffers, without a context.
#include "CanvasTestSupport.h"
#include "OutputCapture.h"

#include "canvas/ToolBrushLeafGL.h"


#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace {

// Canvas cells (x + 1, y + 1) for table point (x, y).
class ToolBrushLeafTest : public CanvasFixture<::testing::Test, TabletopVisGL, 200> {
protected:
    void SetUp() override
    {
        CanvasFixture::SetUp();
        brush = add(new ToolBrushLeafGL(vis.get(), 230.0, 230.0, 100.0, 100.0, 1.0, 600, 200.0f));
        brush->setPrimitiveFactory([this](const ToolBrushLeafGL::PrimitiveRequest& r) {
            requests.push_back(r);
            return static_cast<VisComponent*>(nullptr);
        });
        canvas->painting = true;
        touch(101, 101);
    }

    void touch(float x, float y)
    {
        canvas->tool(6, 0) = x;
        canvas->tool(6, 1) = y;
    }
    void kind(float k, float strength = 0.0f)
    {
        canvas->tool(0, 0) = k;
        canvas->tool(4, 1) = strength;
    }
    float erase(int x, int y) { return canvas->buffer<float>(ERASE_BUFFER)->getValue(x, y); }
    std::array<int, 3> colour(BUFFERTAG tag, unsigned int x, unsigned int y)
    {
        unsigned char c[3];
        canvas->buffer<unsigned char>(tag)->get3DValues(x, y, c);
        return {c[0], c[1], c[2]};
    }
    template <class T> int countNonZero(BUFFERTAG tag)
    {
        BufferTemplate<T>* b = canvas->buffer<T>(tag);
        int n = 0;
        const unsigned int elements = b->getWidth() * b->getHeight() * b->getChannelNumber();
        for (unsigned int k = 0; k < elements; ++k) n += b->getBufferArray()[k] != T() ? 1 : 0;
        return n;
    }

    ToolBrushLeafGL* brush = nullptr;
    std::vector<ToolBrushLeafGL::PrimitiveRequest> requests;
};

TEST_F(ToolBrushLeafTest, DiameterIsClampedTo10AndTheMaximum)
{
    const std::pair<float, float> rows[] = {{5, 10}, {700, 600}, {250, 250}};
    for (const auto& [value, expected] : rows) {
        EXPECT_TRUE(brush->setDiameter(value, false));
        EXPECT_EQ(canvas->tool(0, 2), expected) << value;
    }
    EXPECT_TRUE(brush->changeDiameterBy(-1000.0f, false));
    EXPECT_TRUE(brush->changeDiameterBy(20.0f, false));
    EXPECT_EQ(canvas->tool(0, 2), 30.0f);
    // The next frame resizes the brush and its profile.
    brush->renderIntoBuffers();
    EXPECT_EQ(brush->getWidth(), 30.0);
    EXPECT_EQ(brush->getActiveBufferAs<float>(DROP_OFF_BUFFER)->getWidth(), 32u);
}

TEST_F(ToolBrushLeafTest, DropOffIsOneInTheFocusAndFallsToZeroAtTheRim)
{
    brush->renderIntoBuffers();
    BufferTemplate<float>* d = brush->getActiveBufferAs<float>(DROP_OFF_BUFFER);
    ASSERT_EQ(d->getWidth(), 202u);
    EXPECT_FLOAT_EQ(d->getValue(101u, 101u), 1.0f);
    EXPECT_FLOAT_EQ(d->getValue(101u + 60u, 101u), 1.0f) << "within 0.7 of the radius";
    EXPECT_LT(d->getValue(101u + 99u, 101u), 0.01f);
    float previous = 2.0f;
    for (unsigned int x = 101; x < 202; ++x) {
        const float v = d->getValue(x, 101u);
        EXPECT_GE(v, 0.0f);
        EXPECT_LE(v, previous + 1e-6f) << x;
        previous = v;
    }
}

TEST_F(ToolBrushLeafTest, CreateCountFollowsDiameterAndStrengthOnScreen)
{
    // Strength 1: one primitive at the touch.
    kind(4, 1.0f);
    canvas->tool(4, 2) = 2.0f;
    brush->renderIntoBuffers();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_DOUBLE_EQ(requests[0].x, 100.0);
    EXPECT_DOUBLE_EQ(requests[0].y, 100.0);
    EXPECT_EQ(requests[0].kind, 2);

    // Diameter 200, strength 30: 38 per frame within the brush.
    requests.clear();
    kind(4, 30.0f);
    canvas->tool(4, 2) = 0.0f;
    canvas->tool(4, 4) = 2.0f;
    canvas->tool(0, 3) = 3.0f;
    brush->renderIntoBuffers();
    ASSERT_EQ(requests.size(), 38u);
    for (const auto& r : requests) {
        EXPECT_LT(std::hypot(r.x - 100.0, r.y - 100.0), 100.0);
        EXPECT_TRUE(r.textureIndex >= 19u && r.textureIndex <= 27u) << r.textureIndex;
        EXPECT_EQ(r.layer, 3);
    }

    // Positions off the screen are skipped.
    requests.clear();
    touch(3, 3);
    brush->renderIntoBuffers();
    EXPECT_LT(requests.size(), 38u);
    for (const auto& r : requests) EXPECT_TRUE(r.x > 0.0 && r.y > 0.0) << r.x << ", " << r.y;
}

TEST_F(ToolBrushLeafTest, EraseAndStampWriteTheProfileTimesStrengthAndClearAFrameLater)
{
    kind(4, -10.0f);
    brush->renderIntoBuffers();
    EXPECT_FLOAT_EQ(erase(101, 101), 10.0f);
    EXPECT_EQ(erase(2, 2), 0.0f) << "beyond the rim";
    kind(8);
    brush->renderIntoBuffers();
    EXPECT_FLOAT_EQ(erase(101, 101), 10.0f) << "kept one more frame";
    brush->renderIntoBuffers();
    EXPECT_EQ(countNonZero<float>(ERASE_BUFFER), 0);

    // A stamp writes erosion at once and the strength cell.
    brush->stampAt(-30.0f, 50, 60, true);
    EXPECT_FLOAT_EQ(erase(50, 60), 30.0f);
    // The stamp survives the next frame's clearing so the primitives can read it.
    brush->renderIntoBuffers();
    EXPECT_FLOAT_EQ(erase(50, 60), 30.0f);
}

TEST_F(ToolBrushLeafTest, BrushPartlyOutsideTheCanvasWritesOnlyInsideCells)
{
    // Colour and orientation at the edges: the per-cell reference test below.
    const struct { const char* name; float x, y; } rows[] = {{"bottom left", 3, 3}, {"top right", 199, 200}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        canvas->fill<float>(ERASE_BUFFER, 0.0f);
        canvas->fill<bool>(SELECTION_BUFFER, false);
        touch(row.x, row.y);
        kind(4, -10.0f);
        brush->renderIntoBuffers();
        kind(9);
        canvas->tool(9, 1) = 2.0f;
        brush->renderIntoBuffers();
        kind(5);
        canvas->tool(5, 1) = 1.0f;
        brush->renderIntoBuffers();
        kind(1, 3.0f);
        brush->renderIntoBuffers();
        brush->stampAt(-5.0f, static_cast<int>(row.x), static_cast<int>(row.y), true);
        EXPECT_GT(countNonZero<bool>(SELECTION_BUFFER), 0);
    }
    // Cells far from every footprint stay untouched.
    EXPECT_EQ(erase(100, 120), 0.0f);
}

TEST_F(ToolBrushLeafTest, FollowOrientationNeedsMoreThanTenPixels)
{
    BufferTemplate<float>* o = canvas->buffer<float>(TEMPORARY_ORIENTATION_BUFFER);
    brush->paintOrientation(100, 100, 90, 100, 3, true);
    brush->paintOrientation(100, 100, 100, 110, 3, true);
    EXPECT_EQ(countNonZero<float>(TEMPORARY_ORIENTATION_BUFFER), 0);
    brush->paintOrientation(100, 100, 89, 100, 3, true);
    float v[2];
    o->get2DValues(100u, 100u, v);
    EXPECT_EQ((std::array<float, 2>{v[0], v[1]}), (std::array<float, 2>{1.0f, 0.0f}));
    EXPECT_EQ(canvas->buffer<int>(SPEED_BUFFER)->getValue(100u, 100u), 11);
    brush->paintOrientation(100, 100, 70, 60, 3, true);
    EXPECT_EQ(canvas->buffer<int>(SPEED_BUFFER)->getValue(100u, 100u), 14) << "at most 14";

    // Slow movement accumulates between frames.
    canvas->fill2(TEMPORARY_ORIENTATION_BUFFER, 0.0f, 0.0f);
    kind(2);
    canvas->tool(2, 1) = 3.0f;
    for (int x = 100; x <= 110; x += 2) {
        touch(static_cast<float>(x), 100);
        brush->renderIntoBuffers();
    }
    EXPECT_EQ(countNonZero<float>(TEMPORARY_ORIENTATION_BUFFER), 0);
    touch(112, 100);
    brush->renderIntoBuffers();
    EXPECT_GT(countNonZero<float>(TEMPORARY_ORIENTATION_BUFFER), 0);
}

TEST_F(ToolBrushLeafTest, ColourShowsOnceInTheTemporaryColourAndTheDropOff)
{
    kind(3);
    canvas->tool(3, 1) = 255.0f;
    canvas->tool(3, 2) = 0.0f;
    canvas->tool(3, 3) = 10.0f;
    brush->renderIntoBuffers();
    EXPECT_EQ(colour(TEMPORARY_COLOR_BUFFER, 101, 101)[0], 255);
    EXPECT_FLOAT_EQ(canvas->buffer<float>(DROP_OFF_BUFFER)->getValue(101u, 101u), 1.0f);
    brush->renderIntoBuffers();
    EXPECT_EQ(colour(TEMPORARY_COLOR_BUFFER, 101, 101), (std::array<int, 3>{127, 127, 127}))
        << "cleared back to the neutral colour, not black";
    EXPECT_EQ(canvas->buffer<float>(DROP_OFF_BUFFER)->getValue(101u, 101u), 0.0f);
}

TEST_F(ToolBrushLeafTest, SizeAndSizeDifference)
{
    kind(8);
    brush->paintSizeDifference(100, 100, 3.0f, true);
    brush->paintSizeDifference(100, 100, 3.0f, true);
    EXPECT_FLOAT_EQ(canvas->buffer<float>(SIZE_DIFFERENCE_BUFFER)->getValue(100u, 100u), 3.0f)
        << "overwritten, not added";
    brush->renderIntoBuffers();
    EXPECT_EQ(countNonZero<float>(SIZE_DIFFERENCE_BUFFER), 0) << "cleared every frame";

    kind(1, 10.0f);
    brush->renderIntoBuffers();
    EXPECT_FLOAT_EQ(canvas->buffer<float>(ABSOLUTE_SIZE_BUFFER)->getValue(101u, 101u), 30.0f);
    kind(1, -100.0f);
    brush->renderIntoBuffers();
    EXPECT_FLOAT_EQ(canvas->buffer<float>(ABSOLUTE_SIZE_BUFFER)->getValue(101u, 101u), 30.0f)
        << "values of 4 or less are not stored";
}

TEST_F(ToolBrushLeafTest, MoveFollowsTheBrushOrCopiesAField)
{
    kind(5);
    canvas->tool(5, 1) = 3.0f;
    brush->renderIntoBuffers();
    touch(104, 98);
    brush->renderIntoBuffers();
    float v[2];
    canvas->buffer<float>(DIRECTION_BUFFER)->get2DValues(104u, 98u, v);
    EXPECT_NEAR(v[0], 3.0f / std::sqrt(18.0f), 1e-5f);
    EXPECT_NEAR(v[1], -3.0f / std::sqrt(18.0f), 1e-5f);

    // The brush's fields point inwards and outwards and vanish outside its ellipse.
    brush->getActiveBufferAs<float>(BRUSH_MOVE_BUFFER_1)->get2DValues(150u, 101u, v);
    EXPECT_LT(v[0], 0.0f);
    EXPECT_NEAR(v[1], 0.0f, 1e-6f);
    brush->getActiveBufferAs<float>(BRUSH_MOVE_BUFFER_2)->get2DValues(150u, 101u, v);
    EXPECT_GT(v[0], 0.0f);
    canvas->tool(5, 1) = 0.0f;
    brush->renderIntoBuffers();
    canvas->buffer<float>(DIRECTION_BUFFER)->get2DValues(154u, 98u, v);
    EXPECT_LT(v[0], 0.0f) << "sub-mode 0 copies the inward field";
    brush->clearMoveFootprint();
    EXPECT_EQ(countNonZero<float>(DIRECTION_BUFFER), 0);
}

TEST_F(ToolBrushLeafTest, MissingBuffersPrintTheirMessage)
{
    const struct { BUFFERTAG tag; float kind; const char* message; } rows[] = {
        {DIRECTION_BUFFER, 5, "parentDirectionBuffer does not exist!\n"},
        {TEMPORARY_ORIENTATION_BUFFER, 2, "parentOrientationBuffer does not exist!\n"},
        {SIZE_DIFFERENCE_BUFFER, 9, "parentSizeDiffBuffer does not exist!\n"}};
    canvas->tool(2, 1) = 0.0f;
    for (const auto& row : rows) {
        canvas->drop(row.tag);
        kind(row.kind);
        OutputCapture out;
        brush->renderIntoBuffers();
        EXPECT_EQ(out.take(), row.message);
    }
    brush->getActiveBuffer(DROP_OFF_BUFFER)->destroy();
    brush->getActiveBuffers()->erase(DROP_OFF_BUFFER);
    OutputCapture out;
    brush->renderIntoBuffers();
    EXPECT_EQ(out.take(), "activeBuffer NOT valid\n");
}

// The cells the brush writes, visited one by one, as plainly as can be put: the reference for
// the brush's run-wise writes. Calls f(x, y, d) for each canvas cell (x, y) under the brush
// centred at (cx, cy) whose drop-off d passes the threshold.
template <class F> void forEachBrushCell(ToolBrushLeafGL& brush, int cx, int cy, int w, int h, F f)
{
    const float* drop = static_cast<const BufferTemplate<float>*>(
                            brush.getActiveBufferAs<float>(DROP_OFF_BUFFER))->getBufferArray();
    const int bw = static_cast<int>(brush.getBufferWidth());
    const int bh = static_cast<int>(brush.getBufferHeight());
    const int ox = cx - bw / 2, oy = cy - bh / 2;
    for (int j = std::max(0, -oy); j < std::min(bh, h - oy); ++j)
        for (int i = std::max(0, -ox); i < std::min(bw, w - ox); ++i)
            if (drop[j * bw + i] > ToolBrushLeafGL::kDropOffThreshold)
                f(ox + i, oy + j, drop[j * bw + i]);
}

template <class T> std::vector<T> contents(BufferTemplate<T>* b)
{
    const T* data = static_cast<const BufferTemplate<T>*>(b)->getBufferArray();
    return std::vector<T>(data, data + b->getWidth() * b->getHeight() * b->getChannelNumber());
}

} // namespace

TEST_F(ToolBrushLeafTest, ColourWritesMatchAPerCellReference)
{
    BufferTemplate<unsigned char>* color = canvas->buffer<unsigned char>(COLOR_BUFFER);
    BufferTemplate<unsigned char>* temporary = canvas->buffer<unsigned char>(TEMPORARY_COLOR_BUFFER);
    const unsigned int w = color->getWidth();
    const unsigned int h = color->getHeight();
    const struct { const char* name; float diameter; int x, y; float paint[3]; } rows[] = {
        {"clipped bottom left", 200, 3, 3, {37.5f, 200.25f, 300}},
        {"clipped top right", 200, 199, 200, {-4, 128, 254.9f}},
        {"small, clipped left", 37, 0, 90, {12, 250, 99}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        canvas->tool(0, 2) = row.diameter;
        brush->applyDiameter();
        // A new stroke (the first colour write also fills the temporary colour); earlier
        // footprints are cleared here.
        canvas->painting = false;
        brush->renderIntoBuffers();
        canvas->painting = true;
        // Every byte value under the brush.
        for (unsigned int k = 0; k < w * h * 3; ++k) {
            color->getBufferArray()[k] = static_cast<unsigned char>(k * 7 + k / 3);
            temporary->getBufferArray()[k] = static_cast<unsigned char>(k * 5);
        }
        std::vector<unsigned char> colourExpected = contents(color);
        std::vector<unsigned char> temporaryExpected = contents(temporary);
        forEachBrushCell(*brush, row.x, row.y, int(w), int(h), [&](int x, int y, float d) {
            for (int k = 0; k < 3; ++k) {
                unsigned char& c = colourExpected[(y * w + x) * 3 + k];
                c = static_cast<unsigned char>(
                    std::clamp(c * (1.0f - d) + row.paint[k] * d, 0.0f, 255.0f));
                temporaryExpected[(y * w + x) * 3 + k] =
                    static_cast<unsigned char>(std::clamp(row.paint[k], 0.0f, 255.0f));
            }
        });
        for (int k = 0; k < 3; ++k) canvas->tool(3, 1 + k) = row.paint[k];
        touch(static_cast<float>(row.x), static_cast<float>(row.y));
        kind(3);
        brush->renderIntoBuffers();
        EXPECT_EQ(contents(color), colourExpected);
        EXPECT_EQ(contents(temporary), temporaryExpected);
    }
}

// A frame's writes stay inside each canvas grid's written region, which stays a rectangle
// around the footprints (the primitives' update skips the cells outside it).
TEST_F(ToolBrushLeafTest, WritesStayInsideTheGridsWrittenRegions)
{
    struct Mode { const char* name; float kind, strength; unsigned int column; float sub; };
    const Mode modes[] = {
        {"size", 1, 10, 0, 0},          {"orientation radial", 2, 0, 2, 0},
        {"orientation random", 2, 0, 2, 2}, {"orientation follow", 2, 0, 2, 3},
        {"colour", 3, 0, 3, 200},       {"erase", 4, -10, 0, 0},
        {"move inwards", 5, 0, 5, 0},   {"move with the brush", 5, 0, 5, 3},
        {"size difference", 9, 0, 9, 2}, {"idle", 0, 0, 0, 0},
    };
    long changed = 0;
    auto check = [&](auto* b, const char* grid, const auto& before) {
        if (!b) return;
        const auto* data = std::as_const(*b).getBufferArray();
        const unsigned int w = b->getWidth();
        const unsigned int c = b->getChannelNumber();
        const auto& r = b->writtenRegion();
        EXPECT_FALSE(r.whole) << grid;
        for (unsigned int y = 0; y < b->getHeight(); ++y)
            for (unsigned int x = 0; x < w; ++x)
                for (unsigned int k = 0; k < c; ++k) {
                    const std::size_t i = (static_cast<std::size_t>(y) * w + x) * c + k;
                    if (data[i] == before[i]) continue;
                    ++changed;
                    ASSERT_TRUE(r.contains(x, y)) << grid << " cell " << x << "," << y;
                }
    };
    for (const Mode& m : modes) {
        SCOPED_TRACE(m.name);
        kind(m.kind, m.strength);
        if (m.column) canvas->tool(m.column, 1) = m.sub;
        for (int step = 0; step < 3; ++step) {
            touch(100.0f + step * 13.0f, 90.0f + step * 7.0f);
            auto watch = [&](auto* b, const char* grid) -> std::function<void()> {
                b->restartWrittenRegion();
                return [b, grid, before = contents(b), &check] { check(b, grid, before); };
            };
            const std::function<void()> checks[] = {
                watch(canvas->buffer<float>(ERASE_BUFFER), "erase"),
                watch(canvas->buffer<unsigned char>(COLOR_BUFFER), "colour"),
                watch(canvas->buffer<float>(DIRECTION_BUFFER), "direction"),
                watch(canvas->buffer<float>(TEMPORARY_ORIENTATION_BUFFER), "orientation"),
                watch(canvas->buffer<float>(ABSOLUTE_SIZE_BUFFER), "size"),
                watch(canvas->buffer<float>(SIZE_DIFFERENCE_BUFFER), "size difference"),
                watch(canvas->buffer<int>(SPEED_BUFFER), "speed"),
                watch(canvas->buffer<unsigned char>(TEMPORARY_COLOR_BUFFER), "temporary colour"),
                watch(canvas->buffer<bool>(SELECTION_BUFFER), "selection"),
                watch(canvas->buffer<float>(DROP_OFF_BUFFER), "drop-off")};
            brush->renderIntoBuffers();
            for (const auto& c : checks) c();
        }
    }
    EXPECT_GT(changed, 10000) << "the modes wrote";
}
