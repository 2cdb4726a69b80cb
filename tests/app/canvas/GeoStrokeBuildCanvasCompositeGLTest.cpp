// The stroke build canvas through the whole controller, up to the geometric strokes built from it.
#include "PaintingSceneTestSupport.h"

#include "canvas/GeoStrokeBuildCanvasCompositeGL.h"
#include "canvas/GeoStrokeLeafGL.h"

#include <gtest/gtest.h>

namespace {

class GeoStrokeBuildCanvasGLTest : public PaintingSceneGLTest {
protected:
    void SetUp() override
    {
        PaintingSceneGLTest::SetUp();
        buildScene(256, 256, 5, 36.0f, true);
        OutputCapture quiet;
        builder.buildStrokeBuildCanvas(10.0, 50.0);
        build = vis->findFirst<GeoStrokeBuildCanvasCompositeGL>();
        ASSERT_NE(build, nullptr);
        build->updatePostureRanges();
        frames(2);
    }
    // The brush catches up with the resting finger before the release.
    void drag(const std::vector<std::pair<int, int>>& points, int step) { PaintingSceneGLTest::drag(points, step, 10); }
    bool dark(int x, int y) const
    {
        const auto p = gl->pixel(x, y);
        return p[0] < 150 && p[1] < 150 && p[2] < 170;
    }
    // The geometric strokes in the order they were made (ids ascending).
    std::vector<GeoStrokeLeafGL*> geoStrokes() const
    {
        std::vector<GeoStrokeLeafGL*> made;
        for (unsigned long id = 1; id < 1000; ++id)
            if (auto* g = dynamic_cast<GeoStrokeLeafGL*>(vis->getComponent(id))) made.push_back(g);
        return made;
    }

    GeoStrokeBuildCanvasCompositeGL* build = nullptr;
};

TEST_F(GeoStrokeBuildCanvasGLTest, OpenedPanelTakesTheDragAsAStrokeDrawnAsLinesOrPoints)
{
    EXPECT_FALSE(build->isOpen());
    drag({{60, 128}, {200, 128}}, 3); // hidden: the painting canvas gets the drag
    EXPECT_TRUE(build->getBoard().getStrokes().empty());

    build->open();
    drag({{60, 128}, {200, 128}}, 3);
    ASSERT_EQ(build->getBoard().getStrokes().size(), 1u);
    const Stroke2d& s = build->getBoard().getStrokes()[0];
    frame();
    EXPECT_TRUE(dark(130, 128)); // on the stroke
    const auto paper = gl->pixel(130, 60);
    EXPECT_GT(paper[0], 230); // the panel's paper

    build->drawSegmentsAsPoints();
    frame();
    EXPECT_TRUE(dark(static_cast<int>(s.getPoint(s.getNumberOfPoints() / 2).x + 128.0), 128));
    build->close();
    frame();
    EXPECT_NE(gl->pixel(130, 60), paper); // the painting canvas shows again
}

TEST_F(GeoStrokeBuildCanvasGLTest, FrameMovesThePanelOnlyWithTheAbility)
{
    build->open();
    drag({{60, 100}, {200, 100}}, 3);
    const double y = build->getYPos();
    const double top = 128.0 + 113.0 - 4.0; // inside the 10-pixel frame
    drag({{128, int(top)}, {128, int(top) - 40}}, 4);
    EXPECT_EQ(build->getYPos(), y); // a finger on the frame does nothing
    build->enableMovementWithoutExtend();
    drag({{128, int(top)}, {128, int(top) - 40}}, 4);
    EXPECT_NEAR(build->getYPos(), y - 40.0, 1.0);
    // The strokes move with the panel.
    frame();
    EXPECT_TRUE(dark(130, 60));
}

TEST_F(GeoStrokeBuildCanvasGLTest, EraseCapabilityRemovesTheStrokesTouched)
{
    build->open();
    drag({{60, 90}, {200, 90}}, 3);
    drag({{60, 170}, {200, 170}}, 3);
    ASSERT_EQ(build->getBoard().getStrokes().size(), 2u);
    build->toggleEraseCapability();
    drag({{128, 60}, {128, 120}}, 3);
    ASSERT_EQ(build->getBoard().getStrokes().size(), 1u);
    EXPECT_GT(build->getBoard().getStrokes()[0].getPoint(0).y, 20.0); // the upper one is left
    build->deleteStrokes();
    frame();
    EXPECT_FALSE(dark(130, 170));
}

TEST_F(GeoStrokeBuildCanvasGLTest, BuildingGeometricStrokesCyclesThroughTheDrawnShapes)
{
    build->open();
    drag({{50, 180}, {120, 180}, {120, 120}}, 3);
    drag({{150, 60}, {200, 110}, {150, 160}}, 3);
    ASSERT_EQ(build->getBoard().getStrokes().size(), 2u);
    build->close();
    const auto shapes = build->getBoard().shapes(40.0, 30.0);
    ASSERT_EQ(shapes.size(), 2u);

    OutputCapture quiet;
    builder.buildGeoStrokes(40.0, 30.0, 4, 0);
    frames(2);
    const std::vector<GeoStrokeLeafGL*> made = geoStrokes();
    ASSERT_EQ(made.size(), 4u);
    for (std::size_t i = 0; i < made.size(); ++i) {
        SCOPED_TRACE(i);
        const std::vector<Vector2d>& line = made[i]->getPolyline();
        const std::vector<Vector2d>& shape = shapes[i % 2];
        ASSERT_EQ(line.size(), shape.size());
        for (std::size_t k = 0; k < line.size(); ++k) {
            EXPECT_DOUBLE_EQ(line[k].x, shape[k].x);
            EXPECT_DOUBLE_EQ(line[k].y, shape[k].y);
        }
    }
}

TEST_F(GeoStrokeBuildCanvasGLTest, StrokeTextureOfNoSizeSaysWhyNot)
{
    OutputCapture out;
    EXPECT_EQ(GeoStrokeBuildCanvasCompositeGL::createStrokeTexture(0), 0u);
    EXPECT_EQ(out.take(), "can't generate mipmap texture\n");
}

} // namespace
