// Building a primitive batch without a context: which primitives share a draw. Where the vertices
// land is compared with the reference drawing in the GL test.
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

} // namespace
