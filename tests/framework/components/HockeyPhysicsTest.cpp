// The air-hockey rules without a context: friction strip, paddle table, bounces and goals.
#include "components/HockeyPhysics.h"

#include "core/BufferTemplate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace hockey;

namespace {

std::vector<unsigned int> bounds(const Strip& s) { return {s.x0, s.x1, s.y0, s.y1}; }

// Position and velocity of the puck, each within `tolerance`.
void expectPuck(const Puck& p, const Puck& expected, double tolerance, const char* name)
{
    SCOPED_TRACE(name);
    EXPECT_NEAR(p.x, expected.x, tolerance);
    EXPECT_NEAR(p.y, expected.y, tolerance);
    EXPECT_NEAR(p.vx, expected.vx, tolerance);
    EXPECT_NEAR(p.vy, expected.vy, tolerance);
}

} // namespace

TEST(HockeyPhysics, FrictionStripIsTheMiddleTenthByTwoFifthsForAnySize)
{
    const struct {
        const char* name;
        unsigned int w, h;
        Strip strip;
    } rows[] = {
        {"odd", 101, 51, {45, 55, 15, 35}}, // 45.45 … 55.55, 15.3 … 35.7
        {"tiny: one column", 10, 5, {4, 5, 1, 3}},
        {"too narrow: no columns", 5, 5, {2, 2, 1, 3}},
        {"empty", 0, 0, {0, 0, 0, 0}},
    };
    for (const auto& r : rows) EXPECT_EQ(bounds(frictionStrip(r.w, r.h)), bounds(r.strip)) << r.name;

    // The map: the strip at 0.8, its neighbours and everything else at the rink's friction.
    BufferTemplate<float> map(1, 0);
    map.setSizeAndAllocateMemory(101, 51);
    fillFrictionMap(map, 0.99);
    EXPECT_FLOAT_EQ(map.getValue(45u, 15u), 0.8f);
    EXPECT_FLOAT_EQ(map.getValue(55u, 25u), 0.99f);
    EXPECT_FLOAT_EQ(map.getValue(50u, 14u), 0.99f);
}

TEST(HockeyPhysics, PaddlesRegisterOnceInRowsTheTableHas)
{
    BufferTemplate<float> table(1, 0);
    table.setSizeAndAllocateMemory(8, 3); // room for rows 1 and 2
    table.fillEntireBuffer(0.0f);
    EXPECT_EQ(registerPaddle(table, 10000), 1u);
    const unsigned int b = registerPaddle(table, 10000);
    EXPECT_EQ(b, 2u);
    EXPECT_EQ(registerPaddle(table, 1), 1u) << "registered already";
    EXPECT_EQ(registerPaddle(table, 10000), 0u) << "no row left";
    writePaddleRow(table, b, {10, 100, 30, 40, 1.5, -2});
    EXPECT_EQ(readPaddleRow(table, b).dy, -2);
    writePaddleRow(table, 0, {99, 99, 99, 99, 99, 99});
    EXPECT_EQ(table.getValue(0u, 0u), 2.0f) << "row 0 is the count";

    // A fresh table (the rink recreated its buffers) registers paddles anew from row 1.
    table.fillEntireBuffer(0.0f);
    EXPECT_EQ(registerPaddle(table, b), 1u);
    // A count beyond the table is read as the rows it has; a table too narrow holds none.
    table.setValue(0u, 0u, 1e9f);
    EXPECT_EQ(paddleCount(table), 2u);
    BufferTemplate<float> thin(1, 0);
    thin.setSizeAndAllocateMemory(5, 40);
    thin.fillEntireBuffer(0.0f);
    EXPECT_EQ(registerPaddle(thin, 10000), 0u);
    EXPECT_EQ(paddleCount(thin), 0u);
}

TEST(HockeyPhysics, PuckBouncesOffPaddles)
{
    const PaddleRow still{10, 100, 100, 100, 0, 0};
    const struct {
        const char* name;
        Puck puck;
        PaddleRow paddle;
        bool moved;
        Puck after;
    } rows[] = {
        // Head on from the left: contact after 5 of the 10 pixels, back 5.
        {"head on", {75, 100, 10, 0, 10}, still, true, {75, 100, -10, 0, 10}},
        // The paddle's movement is added on reflection.
        {"paddle hits back", {75, 100, 10, 0, 10}, {10, 100, 100, 100, -3, 1}, true,
         {73.5, 100.5, -13, 1, 10}},
        {"passes by", {75, 130, 10, 0, 10}, still, false, {75, 130, 10, 0, 10}},
        {"moving away", {75, 100, -10, 0, 10}, still, false, {75, 100, -10, 0, 10}},
        {"too far for this frame", {60, 100, 10, 0, 10}, still, false, {60, 100, 10, 0, 10}},
        {"at rest", {75, 100, 0.01, 0, 10}, still, false, {75, 100, 0.01, 0, 10}},
        // Overlapping: pushed by 0.4 of the paddle's movement, not moved.
        {"inside", {95, 100, 1, 0, 10}, {10, 100, 100, 100, 5, -10}, false, {95, 100, 3, -4, 10}},
    };
    for (const auto& r : rows) {
        Puck p = r.puck;
        EXPECT_EQ(collideWithPaddle(p, r.paddle), r.moved) << r.name;
        expectPuck(p, r.after, 1e-9, r.name);
    }

    // A glancing hit at 45°: the normal is (−1, 1)/√2, so (10, 0) turns into (0, 10).
    const double c = 20.0 / std::sqrt(2.0);
    Puck glancing{100 - c - 5, 100 + c, 10, 0, 10};
    ASSERT_TRUE(collideWithPaddle(glancing, still));
    expectPuck(glancing, {100 - c, 100 + c + 5, 0, 10, 10}, 1e-9, "glancing");
}

TEST(HockeyPhysics, SpeedLimitWallsAndGoals)
{
    Puck fast{0, 0, 30, 40, 5};
    limitSpeed(fast, 10, 100);
    EXPECT_DOUBLE_EQ(fast.vx, 6);
    EXPECT_DOUBLE_EQ(fast.vy, 8);

    // A 400 x 300 screen, puck radius 10, goal opening between heights 100 and 200.
    const struct {
        const char* name;
        Puck puck; // after this frame's move
        bool goal;
        Puck bounced;
    } rows[] = {
        {"left, inside the opening", {6, 150, -8, 0, 10}, true, {14, 150, 8, 0, 10}},
        {"right, crossed inside, ends above", {394, 204, 8, 10, 10}, true, {386, 204, -8, 10, 10}},
        {"right, crossed above the opening", {394, 215, 8, 10, 10}, false, {386, 215, -8, 10, 10}},
        {"opening edge is not inside", {6, 100, -8, 0, 10}, false, {14, 100, 8, 0, 10}},
        {"bottom edge: never a goal", {200, 4, 0, -8, 10}, false, {200, 16, 0, 8, 10}},
        {"resting beyond the edge", {5, 150, 0, 0, 10}, false, {15, 150, 0, 0, 10}},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(crossesGoal(r.puck, 400, 100, 200), r.goal) << r.name;
        Puck p = r.puck;
        bounceOffWalls(p, 400, 300);
        expectPuck(p, r.bounced, 0.0, r.name);
    }
}
