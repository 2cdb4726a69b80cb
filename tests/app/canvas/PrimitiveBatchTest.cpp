// Building a primitive batch without a context: which primitives share a draw, and where the
// vertices of a placed shape land.
#include "canvas/PrimitiveBatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const unsigned char kWhite[4] = {255, 255, 255, 255};
const float kDiffuse[4] = {0.5f, 0.5f, 0.5f, 1.0f};
const float kTexCoords[4] = {0.0f, 1.0f, 0.0f, 1.0f};

// "P" point, "T" tile, "a"/"b" strokes of textures 1 and 2; the groups as kind+texture:count.
std::string groupsAfter(const std::string& sequence)
{
    PrimitiveBatch batch;
    const PrimitivePlacement at;
    for (char c : sequence) {
        if (c == 'P') batch.addPoint(at, 0, kWhite);
        if (c == 'T') batch.addTile(at, kDiffuse);
        if (c == 'a' || c == 'b') batch.addStroke(at, c == 'a' ? 1 : 2, kTexCoords, kWhite);
    }
    std::string out;
    for (const PrimitiveBatch::Group* g : batch.pendingGroups())
        out += std::to_string(g->kind) + "/" + std::to_string(g->texture) + ":" +
               std::to_string(g->count) + " ";
    return out;
}

TEST(PrimitiveBatchTest, ConsecutivePrimitivesOfAKindShareADrawAndStrokesGroupByTexture)
{
    const struct { const char* name; const char* sequence; const char* groups; } cases[] = {
        {"one kind", "PPPP", "0/0:4 "},
        {"kinds keep their order", "PPTTP", "0/0:2 1/0:2 0/0:1 "},
        {"textures within a stroke run", "abab", "2/1:2 2/2:2 "},
        {"a new stroke run after another kind", "aPa", "2/1:1 0/0:1 2/1:1 "},
        {"empty", "", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(groupsAfter(c.sequence), c.groups) << c.name;
}

TEST(PrimitiveBatchTest, ShapesArePlacedTurnedAndScaled)
{
    PrimitiveBatch batch;
    PrimitivePlacement p;
    p.x = 100.0;
    p.y = 50.0;
    p.z = 2.0;
    // A quarter turn, 40 wide and 20 high.
    p.cosA = 0.0;
    p.sinA = 1.0;
    p.sx = 40.0;
    p.sy = 20.0;
    batch.addStroke(p, 7, kTexCoords, kWhite);
    batch.addTile(p, kDiffuse);
    batch.addPoint(p, 15, kWhite);
    const auto& groups = batch.pendingGroups();
    ASSERT_EQ(groups.size(), 3u);

    // Stroke corner (-0.5, -0.5) -> (-20, -10) turned -> (10, -20).
    PrimitiveBatch::TexturedVertex quad[4];
    PrimitiveBatch::buildStroke(groups[0]->instances[0], quad);
    const PrimitiveBatch::TexturedVertex& corner = quad[0];
    EXPECT_FLOAT_EQ(corner.x, 110.0f);
    EXPECT_FLOAT_EQ(corner.y, 30.0f);
    EXPECT_FLOAT_EQ(corner.z, 2.0f);
    EXPECT_FLOAT_EQ(quad[2].s, 1.0f);

    // Tile: the centre faces up; a corner normal takes the inverse scale and the turn.
    PrimitiveBatch::LitVertex tile[PrimitiveBatch::kTileVertices];
    PrimitiveBatch::buildTile(groups[1]->instances[0], tile);
    EXPECT_FLOAT_EQ(tile[0].nz, 1.0f);
    EXPECT_FLOAT_EQ(tile[0].x, 100.0f);
    // (-k/40, -k/20) turned a quarter: (k/20, -k/40).
    EXPECT_GT(tile[1].nx, 0.0f);
    EXPECT_FLOAT_EQ(tile[1].nx / tile[1].ny, -2.0f);

    // Point shape 15: the rim's first vertex at 0.2 of the width along x, turned onto y.
    PrimitiveBatch::ColorVertex point[PrimitiveBatch::kPointVertices];
    PrimitiveBatch::buildPoint(groups[2]->instances[0], point);
    EXPECT_FLOAT_EQ(point[1].x, 100.0f);
    EXPECT_FLOAT_EQ(point[1].y, 50.0f + 0.2f * 40.0f);
}

} // namespace
