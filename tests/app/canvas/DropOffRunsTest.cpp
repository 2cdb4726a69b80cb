// The runs of a brush's drop-off; their byte blend is checked against the colour brush's per-cell
// reference.
#include "canvas/DropOffRuns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string describe(const DropOffRuns& r)
{
    std::string s;
    for (int j = 0; j < r.getHeight(); ++j) {
        for (const DropOffRuns::Run* run = r.rowBegin(j); run != r.rowEnd(j); ++run)
            s += std::to_string(run->i0) + "-" + std::to_string(run->i1) + " ";
        const DropOffRuns::Row& row = r.row(j);
        s += "| " + std::to_string(row.first) + "-" + std::to_string(row.last) + "-" +
             std::to_string(row.padded) + " full " +
             std::to_string(row.fullBegin) + "-" + std::to_string(row.fullEnd) + " at " +
             std::to_string(row.offset) + "\n";
    }
    return s;
}

} // namespace

TEST(DropOffRuns, RunsAndRowSpansWithTheirLongestFocusStretch)
{
    const float grid[] = {
        0.0f, 0.1f, 0.5f, 1.0f, 1.0f, 0.7f,  // the threshold itself is outside
        1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.2f,  // a gap inside the span; the longer focus wins
        0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,  // an empty row
    };
    DropOffRuns r;
    r.build(grid, 6, 3, 0.1f);
    EXPECT_EQ(describe(r), "2-6 | 2-6-6 full 3-5 at 0\n"
                           "0-1 3-6 | 0-6-6 full 3-5 at 12\n"
                           "| 0-0-0 full 0-0 at 0\n");
    const float k7 = 1.0f - 0.7f;
    const float k2 = 1.0f - 0.2f;
    EXPECT_EQ(r.keep(), (std::vector<float>{0.5f, 0.5f, 0.5f, 0, 0, 0, 0, 0, 0, k7, k7, k7,  //
                                            0, 0, 0, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, k2, k2, k2}));
    EXPECT_EQ(r.weights()[15], 0.0f) << "a gap cell has weight 0";
    EXPECT_EQ(r.weights()[9], 0.7f);

    // Up to six untouched cells follow a span, within the grid.
    const float wide[] = {0.0f, 0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    r.build(wide, 10, 1, 0.1f);
    EXPECT_EQ(describe(r), "1-2 | 1-2-8 full 0-0 at 0\n");
    EXPECT_EQ(r.keep().size(), 21u);
    EXPECT_EQ(r.keep()[20], 1.0f);

    // Rebuilding forgets the earlier grid.
    const float none[] = {0.0f, 0.05f};
    r.build(none, 2, 1, 0.1f);
    EXPECT_EQ(describe(r), "| 0-0-0 full 0-0 at 0\n");
    EXPECT_TRUE(r.keep().empty());
}

