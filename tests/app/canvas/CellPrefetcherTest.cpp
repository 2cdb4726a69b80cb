// The prefetcher's record of a pass: what a visit leaves for the next pass, and visits of cells
// outside the grids (a primitive at the edge, a grid that shrank) are safe.
#include "canvas/CellPrefetcher.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(CellPrefetcherTest, EachPassGuidesTheNextAndCellsOutsideTheGridsAreSkipped)
{
    std::vector<float> field(4 * 3, 0.0f);
    const std::vector<CellPrefetcher::Grid> grids = {{field.data(), 4, 3, sizeof(float)}};
    CellPrefetcher prefetcher;
    prefetcher.beginPass(grids);
    // More visits than the prefetch distance, some ending outside the 4 x 3 grid.
    const unsigned int cells[][2] = {{0, 0}, {3, 2}, {4, 0}, {0, 3}, {1, 1}, {2, 2}, {3, 0},
                                     {1, 2}, {0, 1}, {2, 0}, {9, 9}, {3, 1}};
    for (const auto& c : cells) {
        prefetcher.beginVisit();
        prefetcher.endVisit(c[0], c[1]);
    }
    EXPECT_EQ(prefetcher.visitsThisPass(), 12u);
    EXPECT_EQ(prefetcher.visitsLastPass(), 0u);

    // The next pass fetches ahead from that record, over a grid that shrank meanwhile.
    const std::vector<CellPrefetcher::Grid> smaller = {{field.data(), 2, 2, sizeof(float)}};
    prefetcher.beginPass(smaller);
    for (int i = 0; i < 5; ++i) {
        prefetcher.beginVisit();
        prefetcher.endVisit(0, 0);
    }
    EXPECT_EQ(prefetcher.visitsThisPass(), 5u);
    EXPECT_EQ(prefetcher.visitsLastPass(), 12u);
    prefetcher.beginPass({});
    EXPECT_EQ(prefetcher.visitsLastPass(), 5u);
}

} // namespace
