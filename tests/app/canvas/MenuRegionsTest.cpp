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
    // Edges and gaps; the arms' middles and the centre are tapped through the menu itself.
    const struct { const char* name; double dx, dy; unsigned int region; } rows[] = {
        {"top edge", 49, 149, 0}, {"between arms", 75, 75, 5}, {"left edge", -149, 0, 3}};
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

TEST(MenuRegionsTest, PlacementKeepsTheMenuOnTheScreen)
{
    // Clamped at the left and bottom; the menu's own touches clamp at the right and top.
    const struct { const char* name; double x, y, ex, ey; } rows[] = {
        {"left edge", 10, 300, 100, 300}, {"bottom left", -50, 0, 100, 75}};
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
    // Combination 7 and the Wii pointing one with create are chosen through the context menu.
    const struct { int combo, mode; menus::ToolChoice want; } rows[] = {
        {5, 1, {0, 1, false}}, {3, 6, {0, 6, false}}, {2, 5, {2, 5, false}},
        {6, 1, {6, 2, true}},  {6, 5, {6, 5, true}},
    };
    for (const auto& r : rows) {
        const menus::ToolChoice got = menus::chooseTool(r.combo, r.mode);
        EXPECT_EQ(got.combo, r.want.combo) << r.combo << " " << r.mode;
        EXPECT_EQ(got.mode, r.want.mode) << r.combo << " " << r.mode;
        EXPECT_EQ(got.pending, r.want.pending) << r.combo << " " << r.mode;
    }
    for (const auto& [mode, next] : {std::pair{4, 5}, {5, 3}}) EXPECT_EQ(menus::nextModifyMode(mode), next) << mode;
}
