#include "components/DocumentFile.h"

#include <gtest/gtest.h>

using namespace tavlor;

TEST(DocumentFile, RotationSwapsSidesNear90And270)
{
    const struct {
        double rotation, width, height;
    } rows[] = {{80, 842, 595}, {79, 595, 842}, {-90, 842, 595}};
    for (const auto& row : rows) {
        const PageSize size = pageSizeAfterRotation(595, 842, row.rotation);
        EXPECT_DOUBLE_EQ(size.width, row.width) << row.rotation;
        EXPECT_DOUBLE_EQ(size.height, row.height) << row.rotation;
    }
}

TEST(DocumentFile, ResolutionOfAnUnknownPageSizeAndNumberFormat)
{
    // Known sizes render at 1024 pixels a side (GhostscriptWorkerTest); an unknown one at 100 dpi.
    const Resolution unknown = renderResolution({0, 842}, 1024);
    EXPECT_DOUBLE_EQ(unknown.x, 100.0);
    EXPECT_EQ(postScriptNumber(123.9113924), "123.911392");
}

TEST(DocumentFile, PageListingSkipsGhostscriptChatter)
{
    bool complete = false;
    const std::vector<PageSize> pages = parsePageListing(
        "   **** Warning: something odd.\n@@page 595 842 0\n@@page 595.5 842 90\n"
        "@@page x 1 0\n@@page 10 20\n   **** Error: more@@page 842 595 -90\n@@end\n",
        &complete);
    EXPECT_TRUE(complete);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_DOUBLE_EQ(pages[1].height, 595.5);
    EXPECT_DOUBLE_EQ(pages[2].width, 595);
    parsePageListing("@@page 1 1 0\n", &complete);
    EXPECT_FALSE(complete);
}

TEST(DocumentFile, PageStripsAtHalfHeight)
{
    // A 96 × 80 mask: strips are 12 columns wide, rows 35 … 44.
    const struct {
        int x, y, code;
    } rows[] = {{11, 35, kPreviousPageCode}, {12, 40, 0}, {11, 34, 0}, {11, 45, 0},
                {84, 44, kNextPageCode},     {83, 40, 0}};
    for (const auto& row : rows)
        EXPECT_EQ(pageStripCode(row.x, row.y, 96, 80), row.code) << row.x << ", " << row.y;
}
