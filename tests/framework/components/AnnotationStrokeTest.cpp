#include "components/AnnotationStroke.h"

#include <gtest/gtest.h>

namespace {

TEST(AnnotationStrokeTest, LocalPointsMapOntoTheOverlayOfThePictureArea)
{
    const struct {
        const char* name;
        double lx, ly, u, v;
    } rows[] = {
        {"picture's bottom-left corner", 2, 2, 0, 512},
        {"picture's top-right corner", 98, 98, 512, 0},
        {"frame clamps", -5, 120, 0, 0},
    };
    for (const auto& row : rows) {
        const AnnotationPoint p = AnnotationStroke::toOverlay(row.lx, row.ly, 100, 100);
        EXPECT_NEAR(p.x, row.u, 1e-3) << row.name;
        EXPECT_NEAR(p.y, row.v, 1e-3) << row.name;
    }
}

TEST(AnnotationStrokeTest, SegmentsLagOnePointAndJoinWithNeighbourTangents)
{
    AnnotationStroke s;
    EXPECT_EQ(s.add({0, 0, 0}), AnnotationStroke::Step::FirstPoint);
    EXPECT_EQ(s.add({100, 0, 0}), AnnotationStroke::Step::Remembered);
    ASSERT_EQ(s.add({200, 100, 0}), AnnotationStroke::Step::Segment);
    const AnnotationPoint* c = s.controlPoints();
    // From the first to the second point; tangents 0.15 × (C − P0) and 0.15 × (N − P0).
    EXPECT_FLOAT_EQ(c[1].x, 15);
    EXPECT_FLOAT_EQ(c[2].x, 100 - 30);
    ASSERT_EQ(s.add({300, 100, 0}), AnnotationStroke::Step::Segment);
    c = s.controlPoints();
    EXPECT_FLOAT_EQ(c[1].x, 130); // the inner point kept from the step before
    EXPECT_EQ(AnnotationStroke::segmentSteps(c[0], c[3]), 47u); // round(141.4 / 3)
    EXPECT_EQ(AnnotationStroke::segmentSteps(c[0], c[0]), 1u);
    s.restart();
    EXPECT_EQ(s.add({5, 5, 0}), AnnotationStroke::Step::FirstPoint);
}

} // namespace
