// The menus' region maps, placement and tool choice without a context.
#include "canvas/MenuRegions.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// A region map for a w x h menu at scale 1, probed at offsets from the centre.
struct Map {
    BufferTemplate<unsigned int> cells{1, 0};
    double w, h;
    unsigned int none;
    Map(double w_, double h_, unsigned int none_, const std::vector<menus::RegionRect>& rects)
        : w(w_), h(h_), none(none_)
    {
        cells.setSizeAndAllocateMemory(static_cast<unsigned int>(w + 2.5),
                                       static_cast<unsigned int>(h + 2.5));
        menus::fillRegionMap(cells, none, rects, w / 2, h / 2, 1.0, 1.0);
    }
    unsigned int at(double dx, double dy) const
    {
        return menus::regionAt(cells, none, w / 2 + dx, h / 2 + dy, 1.0, 1.0);
    }
};

} // namespace

TEST(MenuRegionsTest, ContextMenuCrossOnAThreeHundredPixelMenu)
{
    const Map map(300, 300, menus::kContextNone, menus::contextMenuRegions(100, 50));
    const struct { const char* name; double dx, dy; unsigned int region; } rows[] = {
        {"above", 0, 100, 0},         {"right", 100, 0, 1},          {"below", 0, -100, 2},
        {"left", -100, 0, 3},         {"centre", 0, 0, 4},           {"top edge", 49, 149, 0},
        {"corner", 120, 120, 5},      {"between arms", 75, 75, 5},   {"left edge", -149, 0, 3},
    };
    for (const auto& r : rows) EXPECT_EQ(map.at(r.dx, r.dy), r.region) << r.name;
    // Local coordinates at or below -1, or beyond the map, are outside.
    EXPECT_EQ(menus::regionAt(map.cells, 5, -1.0, 150, 1, 1), 5u);
    EXPECT_EQ(menus::regionAt(map.cells, 5, 150, 400, 1, 1), 5u);
    // A smaller menu clips what does not fit instead of writing past its map.
    const Map small(200, 200, menus::kContextNone, menus::contextMenuRegions(100, 50));
    EXPECT_EQ(small.at(0, 99), 0u);
    EXPECT_EQ(small.at(-99, 0), 3u);
    EXPECT_EQ(small.at(0, 0), 4u);
}

TEST(MenuRegionsTest, CornerAndStrokeMenuLayouts)
{
    const Map corner(200, 200, menus::kCornerNone, menus::cornerMenuRegions(200, 200, 100, 50));
    const menus::IconPlace icon = menus::cornerMenuIcon(200, 200, 100, 50);
    EXPECT_DOUBLE_EQ(icon.half, 50.0);
    EXPECT_EQ(corner.at(icon.x, icon.y), menus::kCornerIcon);
    EXPECT_EQ(corner.at(0, -60), menus::kCornerPrimitive);
    EXPECT_EQ(corner.at(95, 95), menus::kCornerNone);

    const Map stroke(300, 300, menus::kStrokePanel, [] {
        std::vector<menus::RegionRect> r = menus::strokeMenuRegions(300, 300);
        for (menus::RegionRect s : menus::strokeSampleRects(300, 300, 6)) {
            s.id = menus::kStrokeSamples;
            r.push_back(s);
        }
        return r;
    }());
    const struct { const char* name; double dx, dy; unsigned int region; } rows[] = {
        {"points", -70, 110, menus::kStrokePoints}, {"tiles", 70, 110, menus::kStrokeTiles},
        {"accept", -70, -110, menus::kStrokeAccept}, {"cancel", 70, -110, menus::kStrokeCancel},
        {"first sample", -120, 30, menus::kStrokeSamples},
        {"empty sample cell", 120, -30, menus::kStrokePanel},
        {"gap", 0, 140, menus::kStrokePanel},
    };
    for (const auto& r : rows) EXPECT_EQ(stroke.at(r.dx, r.dy), r.region) << r.name;

    // Samples go row by row: six groups fill the top row and half of the second.
    const std::vector<menus::RegionRect> samples = menus::strokeSampleRects(300, 300, 6);
    ASSERT_EQ(samples.size(), 6u);
    EXPECT_LT(samples[0].x0, samples[1].x0);
    EXPECT_DOUBLE_EQ(samples[4].x0, samples[0].x0);
    EXPECT_LT(samples[4].y1, samples[0].y0);
    EXPECT_TRUE(menus::strokeSampleRects(300, 300, 0).empty());
}

TEST(MenuRegionsTest, PlacementKeepsTheMenuOnTheScreen)
{
    const struct { const char* name; double x, y, ex, ey; } rows[] = {
        {"inside", 400, 300, 400, 300},     {"left edge", 10, 300, 100, 300},
        {"right edge", 790, 300, 700, 300}, {"bottom left", -50, 0, 100, 75},
        {"top right", 5000, 5000, 700, 525},
    };
    for (const auto& r : rows) {
        const menus::Point p = menus::placeOnScreen(r.x, r.y, 100, 75, 800, 600);
        EXPECT_DOUBLE_EQ(p.x, r.ex) << r.name;
        EXPECT_DOUBLE_EQ(p.y, r.ey) << r.name;
    }
    // Larger than the screen: centred.
    const menus::Point big = menus::placeOnScreen(10, 10, 500, 50, 800, 600);
    EXPECT_DOUBLE_EQ(big.x, 400);
    EXPECT_DOUBLE_EQ(big.y, 50);
}

TEST(MenuRegionsTest, AToolChosenFromAMenuSticks)
{
    const struct { int combo, mode; menus::ToolChoice want; } rows[] = {
        {7, 3, {0, 3, false}}, {5, 1, {0, 1, false}}, {3, 6, {0, 6, false}},
        {0, 4, {0, 4, false}}, {2, 5, {2, 5, false}},
        {6, 0, {6, 2, true}},  {6, 1, {6, 2, true}},  {6, 5, {6, 5, true}},
    };
    for (const auto& r : rows) {
        const menus::ToolChoice got = menus::chooseTool(r.combo, r.mode);
        EXPECT_EQ(got.combo, r.want.combo) << r.combo << " " << r.mode;
        EXPECT_EQ(got.mode, r.want.mode) << r.combo << " " << r.mode;
        EXPECT_EQ(got.pending, r.want.pending) << r.combo << " " << r.mode;
    }
    for (const auto& [mode, next] : {std::pair{0, 3}, {3, 4}, {4, 5}, {5, 3}})
        EXPECT_EQ(menus::nextModifyMode(mode), next) << mode;
    const int icons[7] = {2, 3, 1, 4, 7, 10, 1};
    for (int mode = 0; mode < 7; ++mode) EXPECT_EQ(menus::iconOfMode(mode), icons[mode]) << mode;
}
