// Strokes on the build canvas without GL: points, drawing over a stroke, erasing and shapes.
#include "canvas/StrokeBoard.h"

#include "OutputCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

std::vector<ControlPoint2D> line(std::vector<std::pair<double, double>> xy)
{
    std::vector<ControlPoint2D> out;
    for (const auto& p : xy) out.emplace_back(p.first, p.second, 5.0, 1.0);
    return out;
}

// A stroke along the x axis with points at 0, 10, ..., 100.
Stroke2d straightStroke()
{
    Stroke2d s;
    for (int i = 0; i <= 10; ++i) s.addControlPoint(ControlPoint2D(10.0 * i, 0.0, 5.0, 1.0));
    return s;
}

std::vector<std::pair<double, double>> positions(const std::vector<ControlPoint2D>& p)
{
    std::vector<std::pair<double, double>> out;
    for (const ControlPoint2D& q : p) out.emplace_back(q.x, q.y);
    return out;
}

TEST(StrokeBoardTest, SkippedAndRestingStepsAddNoPoint)
{
    StrokeBoard b;
    b.getSimulation().setPanel(0.0, 0.0, 1000.0, 1000.0);
    EXPECT_EQ(b.addStrokePoint(10.0, 10.0, false), 0.0f); // no stroke under way
    b.startStroke(0.0, 0.0);
    b.addStrokePoint(0.0, 0.0, false); // the brush rests on the finger: the start point only
    b.addStrokePoint(0.0, 0.0, false);
    ASSERT_EQ(b.getCurrentStroke()->getNumberOfPoints(), 1u);
    b.addStrokePoint(100.0, 0.0, true); // skipped, but the brush moves
    const float brushX = b.getSimulation().getBrushX();
    b.addStrokePoint(100.0, 0.0, false); // the point is where the skipped step left the brush
    ASSERT_EQ(b.getCurrentStroke()->getNumberOfPoints(), 2u);
    EXPECT_FLOAT_EQ(static_cast<float>(b.getCurrentStroke()->getPoint(1).x), brushX);
    EXPECT_EQ(b.finishStroke(), StrokeBoard::Ending::NewStroke);
    // The outline has an edge point on each side of every control point.
    EXPECT_EQ(b.getStrokes()[0].getOutline().size(), 4u);
}

// Plans drawing the path over s and appends it to the stroke's points, as the board does before
// an edit.
bool planAndJoin(Stroke2d& s, const std::vector<ControlPoint2D>& path, Stroke2d::Overdraw* plan)
{
    if (!s.planOverdraw(path, 20.0, plan)) return false;
    std::vector<ControlPoint2D> joined = s.getCurve().getPoints();
    joined.insert(joined.end(), path.begin(), path.end());
    s.setPoints(joined);
    return true;
}

TEST(StrokeBoardTest, DrawingOverAStretchReplacesOnlyThatStretch)
{
    using XY = std::vector<std::pair<double, double>>;
    const XY middle = {{0, 0}, {10, 0}, {20, 0}, {30, 3}, {45, 30}, {55, 30}, {70, 2}, {80, 0}, {90, 0}, {100, 0}};
    const struct { const char* name; XY path; bool reversed; XY expected; } rows[] = {
        {"along the stroke", {{30, 3}, {45, 30}, {55, 30}, {70, 2}}, false, middle},
        {"against the stroke", {{70, 2}, {55, 30}, {45, 30}, {30, 3}}, true, middle},
        // The path's first point equals the stroke's first point: the edit still finds the path.
        {"RegressionPathStartingOnAnEqualPointOfTheStroke", {{0, 0}, {20, 30}, {40, 1}}, false,
         {{0, 0}, {20, 30}, {40, 1}, {50, 0}, {60, 0}, {70, 0}, {80, 0}, {90, 0}, {100, 0}}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Stroke2d s = straightStroke();
        Stroke2d::Overdraw plan;
        ASSERT_TRUE(planAndJoin(s, line(r.path), &plan));
        EXPECT_EQ(plan.reversed, r.reversed);
        ASSERT_TRUE(s.applyOverdraw(plan));
        EXPECT_EQ(positions(s.getCurve().getPoints()), r.expected);
    }
    // A path whose end leaves the stroke is no edit.
    Stroke2d::Overdraw plan;
    EXPECT_FALSE(straightStroke().planOverdraw(line({{30, 3}, {60, 80}}), 20.0, &plan));
}

TEST(StrokeBoardTest, MalformedEditsPrintTheirMessageAndKeepTheStroke)
{
    const ControlPoint2D missing(500.0, 500.0, 5.0, 1.0);
    const struct {
        const char* name;
        int which; // 0 first to add, 1 last to add, 2 first to delete
        const char* message;
    } rows[] = {
        {"first to add", 0, "ERROR: firstCPToAddVecIt not found in current stroke!\n"},
        {"last to add", 1, "ERROR: lastCPToAddVecIt not found in current stroke!\n"},
        {"first to delete", 2, "ERROR: firstCPToDelete not found in current stroke!\n"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Stroke2d s = straightStroke();
        Stroke2d::Overdraw plan;
        ASSERT_TRUE(planAndJoin(s, line({{30, 3}, {50, 30}, {70, 2}}), &plan));
        const std::vector<ControlPoint2D> joined = s.getCurve().getPoints();
        (r.which == 0 ? plan.firstToAdd : r.which == 1 ? plan.lastToAdd : plan.firstToDelete) =
            missing;
        OutputCapture out;
        EXPECT_FALSE(s.applyOverdraw(plan));
        EXPECT_EQ(out.take(), r.message);
        EXPECT_EQ(s.getCurve().getPoints(), joined);
    }
}

StrokeBoard oneFingerBoard()
{
    StrokeBoard b;
    b.getSimulation().setPanel(0.0, 0.0, 1000.0, 1000.0);
    strokesim::Parameters p;
    strokesim::presetForPosture(1, &p);
    b.getSimulation().setParameters(p);
    return b;
}

// A stroke dragged 10 pixels a step from (x0, y0) to (x1, y1).
void drag(StrokeBoard& b, double x0, double y0, double x1, double y1)
{
    b.startStroke(x0, y0);
    const int steps = static_cast<int>(std::hypot(x1 - x0, y1 - y0) / 10.0);
    for (int i = 1; i <= steps; ++i)
        b.addStrokePoint(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps, false);
    // Let the brush catch up with the finger.
    for (int i = 0; i < 30; ++i) b.addStrokePoint(x1, y1, false);
}

TEST(StrokeBoardTest, BoardEditsTheStrokeAPathStartsAndEndsOn)
{
    StrokeBoard b = oneFingerBoard();
    drag(b, -300.0, 0.0, 300.0, 0.0);
    ASSERT_EQ(b.finishStroke(), StrokeBoard::Ending::NewStroke);
    const std::vector<ControlPoint2D> original = b.getStrokes()[0].getCurve().getPoints();

    // A bump over the middle: from (-100, 0) up to y = 120 and back down at (100, 0).
    b.startStroke(-100.0, 0.0);
    for (int i = 1; i <= 20; ++i) b.addStrokePoint(-100.0 + 5.0 * i, 6.0 * i, false);
    for (int i = 1; i <= 20; ++i) b.addStrokePoint(5.0 * i, 120.0 - 6.0 * i, false);
    for (int i = 0; i < 30; ++i) b.addStrokePoint(100.0, 0.0, false);
    const std::vector<ControlPoint2D> path = b.getCurrentStroke()->getCurve().getPoints();
    ASSERT_EQ(b.finishStroke(), StrokeBoard::Ending::Edited);

    ASSERT_EQ(b.getStrokes().size(), 1u);
    const Curve2D& o = b.getStrokes()[0].getCurve();
    Curve2D before;
    for (const ControlPoint2D& q : original) before.addPoint(q);
    const std::size_t from = before.nearestPoint(path.front().x, path.front().y);
    const std::size_t to = before.nearestPoint(path.back().x, path.back().y);
    std::vector<ControlPoint2D> expected(original.begin(), original.begin() + from);
    expected.insert(expected.end(), path.begin(), path.end());
    expected.insert(expected.end(), original.begin() + to + 1, original.end());
    EXPECT_EQ(o.getPoints(), expected);
    EXPECT_EQ(b.getAllPoints().size(), expected.size());

    // A path that leaves the stroke becomes a stroke of its own; a lone touch draws nothing.
    drag(b, -100.0, 0.0, -100.0, 300.0);
    EXPECT_EQ(b.finishStroke(), StrokeBoard::Ending::NewStroke);
    b.startStroke(400.0, 400.0);
    EXPECT_EQ(b.finishStroke(), StrokeBoard::Ending::Nothing);
    EXPECT_EQ(b.getStrokes().size(), 2u);
}

TEST(StrokeBoardTest, EraseAndDelete)
{
    StrokeBoard b = oneFingerBoard();
    auto drawAlong = [&](double y) {
        b.startStroke(-200.0, y);
        for (int i = 1; i <= 40; ++i) b.addStrokePoint(-200.0 + 10.0 * i, y, false);
        return b.finishStroke();
    };
    ASSERT_EQ(drawAlong(0.0), StrokeBoard::Ending::NewStroke);
    ASSERT_EQ(drawAlong(300.0), StrokeBoard::Ending::NewStroke);
    // The thin start (radius 5) is met from 5 + 5 away, not from 11.
    EXPECT_EQ(b.eraseAt(-200.0, -11.0, 5.0), 0u);
    EXPECT_EQ(b.eraseAt(-200.0, -10.0, 5.0), 1u);
    ASSERT_EQ(b.getStrokes().size(), 1u);
    EXPECT_EQ(b.getStrokes()[0].getPoint(0).y, 300.0);
    EXPECT_EQ(b.getAllPoints().size(), b.getStrokes()[0].getNumberOfPoints());

    // Deleting drops a stroke under way too.
    b.startStroke(0.0, -300.0);
    b.addStrokePoint(50.0, -300.0, false);
    b.deleteStrokes();
    EXPECT_TRUE(b.getAllPoints().empty());
    EXPECT_EQ(b.finishStroke(), StrokeBoard::Ending::Nothing);
}

TEST(StrokeBoardTest, ShapesAreCentredAndFitTheirBox)
{
    StrokeBoard b = oneFingerBoard();
    EXPECT_TRUE(b.shapes(48.0, 48.0).empty());
    b.startStroke(0.0, 0.0);
    for (int i = 1; i <= 60; ++i) b.addStrokePoint(i < 30 ? 10.0 * i : 290.0, i < 30 ? 0.0 : 5.0 * (i - 30), false);
    ASSERT_EQ(b.finishStroke(), StrokeBoard::Ending::NewStroke);
    const auto shapes = b.shapes(48.0, 48.0);
    ASSERT_EQ(shapes.size(), 1u);
    ASSERT_EQ(shapes[0].size(), b.getStrokes()[0].getNumberOfPoints());
    // Wider than high: the width fills the box, the box's centre is the shape's.
    const auto [left, right] = std::minmax_element(shapes[0].begin(), shapes[0].end(), [](auto& p, auto& q) { return p.x < q.x; });
    const auto [low, high] = std::minmax_element(shapes[0].begin(), shapes[0].end(), [](auto& p, auto& q) { return p.y < q.y; });
    EXPECT_NEAR(right->x - left->x, 48.0, 1e-9);
    EXPECT_LT(high->y - low->y, 48.0);
    EXPECT_NEAR(right->x + left->x, 0.0, 1e-9);
    EXPECT_NEAR(high->y + low->y, 0.0, 1e-9);
}

} // namespace
