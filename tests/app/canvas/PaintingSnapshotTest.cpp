// What a painting snapshot copies and shares, and how it fits a canvas of another size.
#include "CanvasTestSupport.h"

#include "canvas/PaintingSnapshot.h"
#include "canvas/PointLeafGL.h"
#include "canvas/StrokeLeafGL.h"

#include <gtest/gtest.h>

namespace {

class PaintingSnapshotTest : public CanvasFixture<::testing::Test> {
protected:
    // Bytes of one band of the colour field (258 cells a row).
    static std::size_t colourBand() { return 258u * 3u * PaintingSnapshot::kBandRows; }
};

TEST_F(PaintingSnapshotTest, ACaptureSharesUnchangedBandsAndCopiesOnlyChangedOnes)
{
    const PaintingSnapshot first = PaintingSnapshot::capture(*canvas);
    const PaintingSnapshot untouched = PaintingSnapshot::capture(*canvas, &first);
    EXPECT_EQ(untouched.bytesNotSharedWith(first), 0u);

    // Written with what it held: the buffer's version moves, the bands still compare equal.
    auto* colours = canvas->buffer<unsigned char>(COLOR_BUFFER);
    unsigned char c[3];
    colours->get3DValues(10u, 70u, c);
    colours->set3DValues(10u, 70u, c);
    const PaintingSnapshot rewritten = PaintingSnapshot::capture(*canvas, &untouched);
    EXPECT_EQ(rewritten.bytesNotSharedWith(untouched), 0u);

    c[0] = static_cast<unsigned char>(c[0] + 1);
    colours->set3DValues(10u, 70u, c);
    const PaintingSnapshot painted = PaintingSnapshot::capture(*canvas, &rewritten);
    EXPECT_EQ(painted.bytesNotSharedWith(rewritten), colourBand());
    // Without a previous capture everything is copied.
    std::size_t all = 0;
    for (const PaintingSnapshot::Field& f : painted.fields) all += f.bytes();
    EXPECT_EQ(PaintingSnapshot::capture(*canvas).bytesNotSharedWith(painted), all);
}

TEST_F(PaintingSnapshotTest, ACanvasOfAnotherSizeTakesTheFieldsCentredAndThePrimitivesWithItsCentre)
{
    auto* colours = canvas->buffer<unsigned char>(COLOR_BUFFER);
    unsigned char red[3] = {250, 0, 0};
    colours->set3DValues(100u, 120u, red);
    add(new PointLeafGL(vis.get(), 40.0, 45.0, 10.0, 10.0, 0.0, 0));
    const PaintingSnapshot snapshot = PaintingSnapshot::capture(*canvas);

    // 40 cells wider and 20 higher, its centre 20 and 10 pixels further right and up.
    auto* larger = new TestCanvas(vis.get(), 296, 276, 148, 138);
    vis->addComponent(larger, false);
    ASSERT_TRUE(snapshot.restore(*larger));
    unsigned char got[3];
    larger->buffer<unsigned char>(COLOR_BUFFER)->get3DValues(120u, 130u, got);
    EXPECT_EQ(got[0], 250);
    ASSERT_EQ(larger->getNumberOfChildren(), 1u);
    const VisComponent* point = larger->getMyChildren()->begin()->second;
    EXPECT_EQ((std::pair<double, double>(point->getXPos(), point->getYPos())), (std::pair<double, double>(60.0, 55.0)));
}

TEST_F(PaintingSnapshotTest, PrimitivesQueuedForDeletionAreLeftOut)
{
    auto* kept = add(new StrokeLeafGL(vis.get(), 60.0, 60.0, 20.0, 20.0, 0.0, 0, 0));
    auto* eroded = add(new StrokeLeafGL(vis.get(), 200.0, 200.0, 20.0, 20.0, 0.0, 0, 0));
    eroded->setLife(3);
    canvas->fill(ERASE_BUFFER, 1.0f);
    eroded->update(1.0);
    ASSERT_TRUE(eroded->isQueuedForDeletion());
    const PaintingSnapshot snapshot = PaintingSnapshot::capture(*canvas);
    ASSERT_EQ(snapshot.primitives.size(), 1u);
    EXPECT_EQ(snapshot.primitives[0].state.x, kept->getXPos());
}

} // namespace
