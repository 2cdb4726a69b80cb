// The runs of a brush's drop-off and the byte blend of the colour brush.
#include "canvas/DropOffRuns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::string describe(const DropOffRuns& r)
{
    std::string s;
    for (int j = 0; j < r.getHeight(); ++j)
        for (const DropOffRuns::Run* run = r.rowBegin(j); run != r.rowEnd(j); ++run)
            s += std::to_string(run->j) + ":" + std::to_string(run->i0) + "-" +
                 std::to_string(run->i1) + (run->full ? "F" : "P") + std::to_string(run->offset) +
                 " ";
    return s;
}

} // namespace

TEST(DropOffRuns, RunsSplitAtTheThresholdAndWhereTheFocusBegins)
{
    const float grid[] = {
        0.0f, 0.1f, 0.5f, 1.0f, 1.0f, 0.7f,  // the threshold itself is outside
        1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.2f,  // runs at both ends
        0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,  // an empty row
    };
    DropOffRuns r;
    r.build(grid, 6, 3, 0.1f);
    EXPECT_EQ(describe(r), "0:2-3P0 0:3-5F0 0:5-6P3 1:0-1F0 1:5-6P6 ");
    EXPECT_EQ(r.keep(), (std::vector<float>{0.5f, 0.5f, 0.5f, 1.0f - 0.7f, 1.0f - 0.7f,
                                            1.0f - 0.7f, 0.8f, 0.8f, 0.8f}));
    EXPECT_EQ(r.weights().size(), 9u);
    EXPECT_EQ(r.weights()[3], 0.7f);

    // Rebuilding forgets the earlier grid.
    const float none[] = {0.0f, 0.05f};
    r.build(none, 2, 1, 0.1f);
    EXPECT_EQ(describe(r), "");
    EXPECT_TRUE(r.keep().empty());
}

TEST(DropOffRuns, BlendBytesEqualsTheScalarBlendForEveryByteAndLength)
{
    // Every byte value against weights across (0, 1) and paints beyond the byte range; lengths
    // that end inside and after a block of sixteen.
    for (std::size_t n : {1u, 15u, 16u, 17u, 256u, 301u}) {
        std::vector<unsigned char> bytes(n), expected(n);
        std::vector<float> keep(n), weighted(n);
        for (std::size_t q = 0; q < n; ++q) {
            bytes[q] = static_cast<unsigned char>(q * 37 + n);
            const float w = 0.1f + 0.9f * static_cast<float>((q * 13) % 97) / 97.0f;
            const float paint = -20.0f + static_cast<float>((q * 29) % 300);
            keep[q] = 1.0f - w;
            weighted[q] = paint * w;
            expected[q] = static_cast<unsigned char>(
                std::clamp(bytes[q] * (1.0f - w) + paint * w, 0.0f, 255.0f));
        }
        DropOffRuns::blendBytes(bytes.data(), keep.data(), weighted.data(), n);
        EXPECT_EQ(bytes, expected) << n;
    }
}
