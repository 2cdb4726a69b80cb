// The palette without GL: a 200 x 200 palette over a recording stand-in for the canvas.
#include "canvas/PaletteLayout.h"
#include "canvas/PaletteState.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <utility>

using namespace palette;

namespace {

class FakeCanvas : public PaletteHost {
public:
    float toolCell(unsigned int c, unsigned int r) const override
    {
        const auto it = cells.find({c, r});
        return it == cells.end() ? 0.0f : it->second;
    }
    void setToolCell(unsigned int c, unsigned int r, float v) override { cells[{c, r}] = v; }
    void chooseTool(float kind, float strength) override
    {
        tool = kind;
        toolStrength = strength;
    }
    void setBrushDiameter(float d) override { cells[{0, 2}] = d; }
    void setTouchRecording(bool on) override { recording = on ? 1 : 0; }
    void emptyCanvas() override { ++emptied; }
    void showBrush() override { brushShown = true; }
    void hideBrush() override { brushShown = false; }

    float at(unsigned int c, unsigned int r) const { return toolCell(c, r); }
    bool has(unsigned int c, unsigned int r) const { return cells.count({c, r}) > 0; }

    std::map<std::pair<unsigned int, unsigned int>, float> cells;
    float tool = -1.0f;
    float toolStrength = 0.0f;
    int recording = -1;
    int emptied = 0;
    bool brushShown = false;
};

constexpr double kSide = 200.0;

class PaletteStateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        regions.setSizeAndAllocateMemory(202, 202);
        mixing.setSizeAndAllocateMemory(202, 202);
        fillRegionMap(regions, kSide, kSide);
        state.setSize(kSide, kSide);
        state.setBuffers(&regions, &mixing);
        state.resetMixingArea();
    }
    // The cell in the middle of a region.
    static std::pair<int, int> centreOf(unsigned int region)
    {
        const Rect r = rectOf(region);
        return {int(0.5 * (r.u0 + r.u1) * kSide + 1.0), int(0.5 * (r.v0 + r.v1) * kSide + 1.0)};
    }
    void tap(unsigned int region)
    {
        const auto c = centreOf(region);
        state.touch(c.first, c.second);
        state.release(c.first, c.second);
    }
    // Touch the region's centre, move by (dx, dy) cells (y up), release there.
    void drag(unsigned int region, int dx, int dy)
    {
        const auto c = centreOf(region);
        state.touch(c.first, c.second);
        state.touch(c.first + dx / 2, c.second + dy / 2);
        state.release(c.first + dx, c.second + dy);
    }
    Color mixingAt(int x, int y) const
    {
        unsigned char v[3];
        mixing.get3DValues(static_cast<unsigned int>(x), static_cast<unsigned int>(y), v);
        return Color(v[0], v[1], v[2]);
    }

    BufferTemplate<unsigned int> regions{1, 0};
    BufferTemplate<unsigned char> mixing{3, 0};
    FakeCanvas host;
    PaletteState state{&host};
};

TEST_F(PaletteStateTest, RegionActionsOnTouch)
{
    // Drag-select state (the default): each tool button chooses its brush kind. The kind is cell
    // (0, 0) afterwards and the tool the one handed to the canvas; < 0: untouched, none.
    const struct { const char* name; unsigned int region; bool dragSelect; float kind, tool; } rows[] = {
        {"move", kMove, true, 5.0f, 5.0f},
        {"orientation", kOrientation, true, 2.0f, 2.0f},
        {"move waits outside drag-select", kMove, false, -1.0f, -1.0f},
        {"create/erase toggles on", kCreateErase, false, 4.0f, 4.0f},
        {"panel", kPanel, true, -1.0f, -1.0f},
    };
    for (const auto& row : rows) {
        PaletteState fresh(&host);
        fresh.setSize(kSide, kSide);
        fresh.setBuffers(&regions, &mixing);
        fresh.setDragSelect(row.dragSelect);
        host.cells.clear();
        host.tool = -1.0f;
        const auto c = centreOf(row.region);
        EXPECT_EQ(fresh.touch(c.first, c.second), row.region) << row.name;
        EXPECT_TRUE(host.brushShown) << row.name;
        const auto kind = host.cells.find({0, 0});
        EXPECT_EQ(kind == host.cells.end() ? -1.0f : kind->second, row.kind) << row.name;
        EXPECT_EQ(host.tool, row.tool) << row.name;
        EXPECT_EQ(fresh.release(c.first, c.second), row.region) << row.name;
        EXPECT_FALSE(host.brushShown) << row.name;
    }
    tap(kDiameter);
    EXPECT_EQ(host.at(0, 1), 1.0f);
    tap(kLayer);
    EXPECT_EQ(host.at(0, 5), 1.0f);
}

TEST_F(PaletteStateTest, DragQuadrantsPickMoveAndOrientationVariants)
{
    // Drags in cells with y up; 30 cells is past the threshold of half a button.
    const struct { int dx, dy; float move, orientation; } rows[] = {
        {30, 30, 2.0f, 2.0f},   // right and up
        {30, -30, 3.0f, 3.0f},  // right and down
        {-30, 30, 0.0f, 1.0f},  // left and up
        {-30, -30, 1.0f, 0.0f}, // left and down
    };
    for (const auto& row : rows) {
        drag(kMove, row.dx, row.dy);
        EXPECT_EQ(host.at(5, 1), row.move) << row.dx << "," << row.dy;
        drag(kOrientation, row.dx, row.dy);
        EXPECT_EQ(host.at(2, 1), row.orientation) << row.dx << "," << row.dy;
    }
    host.cells.erase({5, 1});
    drag(kMove, 4, 4); // below the threshold: a tap
    EXPECT_EQ(host.has(5, 1), false);
}

TEST_F(PaletteStateTest, DragsOnTheOtherButtons)
{
    host.cells[{0, 2}] = 100.0f;
    drag(kDiameter, -90, 0); // 10 is not above 16: ignored
    EXPECT_EQ(host.at(0, 2), 100.0f);
    drag(kSize, 0, 50);
    EXPECT_FLOAT_EQ(state.sizeStrength(), 1.5f);

    drag(kRecording, 0, -40);
    EXPECT_EQ(host.recording, 1);
    drag(kRecording, 0, 40);
    EXPECT_EQ(host.recording, 0);
}

TEST_F(PaletteStateTest, LayerDragStaysWithinTheLayersPlusTwo)
{
    state.setLayerCount(3);
    drag(kLayer, 70, 0); // +2
    EXPECT_EQ(state.layer(), 2);
    drag(kLayer, 0, 100); // +3: 5 is the last layer + 2
    EXPECT_EQ(state.layer(), 5);
    drag(kLayer, 40, 0); // 6: ignored
    EXPECT_EQ(state.layer(), 5);
    drag(kLayer, 0, -200); // -1: ignored
    state.publish();
    EXPECT_EQ(host.at(0, 3), 5.0f);
}

TEST_F(PaletteStateTest, MixingTwoColoursByHandAndPickingTheMix)
{
    const auto m = centreOf(kMixing);
    // An empty pixel picks nothing.
    tap(kFirstSwatch + 2); // blue
    host.cells.clear();
    tap(kMixing);
    EXPECT_TRUE(host.cells.empty());
    EXPECT_EQ(state.paintColor(), Color::BLUE);
    // Red, painted into the area with a drag from an empty cell ...
    tap(kFirstSwatch + 3);
    state.touch(m.first - 4, m.second);
    state.touch(m.first, m.second);
    state.release(m.first, m.second);
    // ... and green over it: half and half where they meet.
    tap(kFirstSwatch + 4);
    state.touch(m.first + 30, m.second);
    state.touch(m.first, m.second);
    state.release(m.first, m.second);
    const Color mixed(127, 127, 0);
    EXPECT_EQ(mixingAt(m.first, m.second), mixed);

    tap(kMixing);
    EXPECT_EQ(state.paintColor(), mixed);
    // The mix joins the recent colours after the presets, and its chip is in the strip.
    ASSERT_EQ(state.colours().size(), 7u);
    EXPECT_EQ(state.indicatorIndex(), 6);
    const Rect slot = recentSlot(0);
    EXPECT_EQ(mixingAt(int(0.5 * (slot.u0 + slot.u1) * kSide + 1), int(0.5 * (slot.v0 + slot.v1) * kSide + 1)),
              mixed);

    // Picking it again moves it to the end rather than listing it twice.
    tap(kMixing);
    EXPECT_EQ(state.colours().size(), 7u);

    // Publishing hands the colour to the canvas's colour brush.
    state.publish();
    EXPECT_EQ(host.at(3, 1), 127.0f);
    EXPECT_EQ(host.at(3, 3), 0.0f);
    // Clearing empties the area but keeps the recent colours.
    tap(kClearMixing);
    EXPECT_TRUE(state.takeClearRequest());
    state.resetMixingArea();
    EXPECT_EQ(mixingAt(m.first, m.second), Color(10, 10, 10));
    EXPECT_EQ(state.colours().size(), 7u);
}

TEST_F(PaletteStateTest, RegressionAColourWithAChannelOfTenIsNotStoredAsEmpty)
{
    state.setPaintColor(Color(200, 10, 30));
    const auto m = centreOf(kMixing);
    state.touch(m.first - 4, m.second);
    state.touch(m.first, m.second);
    state.release(m.first, m.second);
    host.cells.clear();
    tap(kMixing);
    EXPECT_EQ(state.paintColor(), Color(200, 11, 30));
    EXPECT_EQ(host.at(0, 0), 3.0f);
}

} // namespace
