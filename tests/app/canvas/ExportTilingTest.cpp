#include "canvas/ExportTiling.h"

#include <gtest/gtest.h>

#include <vector>

using canvas::planExport;

TEST(ExportTiling, TilesCoverTheImageOnceWithinTheLimit)
{
    const struct {
        const char* name;
        int width, height, scale, limit;
        int imageWidth, imageHeight;
        std::size_t tiles;
    } data[] = {
        {"1x fits in one tile", 1280, 800, 1, 2048, 1280, 800, 1},
        {"4x of the default window", 1280, 800, 4, 16384, 5120, 3200, 6},
        {"uneven edges", 256, 256, 2, 100, 512, 512, 36},
        {"limit below 1 is 1", 2, 2, 1, 0, 2, 2, 4},
    };
    for (const auto& d : data) {
        SCOPED_TRACE(d.name);
        std::string error = "old";
        const canvas::ExportPlan plan = planExport(d.width, d.height, d.scale, d.limit, &error);
        EXPECT_EQ(error, "");
        EXPECT_EQ(plan.width, d.imageWidth);
        EXPECT_EQ(plan.height, d.imageHeight);
        ASSERT_EQ(plan.tiles.size(), d.tiles);
        std::vector<int> covered(static_cast<std::size_t>(plan.width) * plan.height, 0);
        for (const canvas::ExportTile& t : plan.tiles) {
            EXPECT_LE(t.width, std::max(1, std::min(d.limit, canvas::kMaxExportTile)));
            EXPECT_LE(t.height, std::max(1, std::min(d.limit, canvas::kMaxExportTile)));
            for (int y = t.y; y < t.y + t.height; ++y)
                for (int x = t.x; x < t.x + t.width; ++x)
                    ++covered[static_cast<std::size_t>(y) * plan.width + x];
        }
        for (int c : covered) ASSERT_EQ(c, 1);
    }
}

TEST(ExportTiling, RefusesWhatCannotBeMadeWithAReason)
{
    const struct { const char* name; int width, height, scale; const char* error; } data[] = {
        {"empty table", 0, 800, 1, "there is no picture to export"},
        {"scale 0", 1280, 800, 0, "scale 0 is out of range 1..8"},
        {"scale 9", 1280, 800, 9, "scale 9 is out of range 1..8"},
        {"too wide", 4096, 100, 8,
         "an image of 32768 x 800 pixels is too large (at most 16384 a side and 67108864 pixels)"},
        {"too many pixels", 1600, 1200, 8,
         "an image of 12800 x 9600 pixels is too large (at most 16384 a side and 67108864 pixels)"},
    };
    for (const auto& d : data) {
        SCOPED_TRACE(d.name);
        std::string error;
        const canvas::ExportPlan plan = planExport(d.width, d.height, d.scale, 2048, &error);
        EXPECT_TRUE(plan.tiles.empty());
        EXPECT_EQ(error, d.error);
    }
}
