// The build canvas's brush against hand-computed values, its taper, width rule and panel bounds.
#include "canvas/StrokeSimulation.h"

#include <gtest/gtest.h>

namespace {

// Panel centred on (0, 0), 1000 x 800; the brush starts at rest on the centre.
StrokeSimulation restingBrush(const strokesim::Parameters& p, float taperSteps)
{
    StrokeSimulation s;
    s.setPanel(0.0, 0.0, 1000.0, 800.0);
    s.setParameters(p);
    s.setTaperDuration(taperSteps);
    s.start(0.0, 0.0);
    return s;
}

TEST(StrokeSimulationTest, OneStepOfEachPostureMatchesHandComputedValues)
{
    // Finger at (50, -20), no taper: a = -p1 (b - f) / size, v = (a / p6) p2, b = size * v,
    // width = max(p5, p4 - 700 * p3 * |v|).
    const struct { const char* name; int posture; float vx, vy, bx, by, width; } rows[] = {
        {"pen", 0, 0.0044f, -0.0022f, 4.4f, -1.76f, 8.112911f},
        {"one finger", 1, 0.002f, -0.001f, 2.0f, -0.8f, 26.869505f},
        {"fist", 3, 0.001f, -0.0005f, 1.0f, -0.4f, 78.434752f},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        strokesim::Parameters p;
        ASSERT_TRUE(strokesim::presetForPosture(r.posture, &p));
        StrokeSimulation s = restingBrush(p, 0.0f);
        const StrokeSimulation::Step step = s.step(50.0, -20.0);
        EXPECT_NEAR(s.getVelocityX(), r.vx, 1e-7);
        EXPECT_NEAR(s.getBrushX(), r.bx, 1e-4);
        EXPECT_NEAR(s.getBrushY(), r.by, 1e-4);
        EXPECT_NEAR(step.width, r.width, 1e-3);
        // The point lies where the brush was before the step.
        EXPECT_EQ(step.point, ControlPoint2D(0.0, 0.0, step.width * 0.5, 1.0));
    }
    strokesim::Parameters unchanged;
    EXPECT_FALSE(strokesim::presetForPosture(4, &unchanged));
}

TEST(StrokeSimulationTest, TaperFactor)
{
    // (t, duration, factor): half way, beyond the end, no duration.
    const float taper[][3] = {{5, 10, 0.29289322f}, {11, 10, 0}, {0, 0, 0}};
    for (const auto& r : taper)
        EXPECT_NEAR(strokesim::taperFactor(r[0], r[1]), r[2], 1e-6) << r[0] << " of " << r[1];
}

TEST(StrokeSimulationTest, FingerAndBrushAreKeptInsideThePanel)
{
    strokesim::Parameters p;
    strokesim::presetForPosture(1, &p);
    const struct { const char* name; double fx, fy; float bx, by; } rows[] = {
        // Finger clamped to (500, 0): vx = 0.05 * 500 / 1000 * 0.8.
        {"right of the panel", 5000.0, 0.0, 20.0f, 0.0f},
        // Finger clamped to (-500, 400).
        {"above left", -5000.0, 9000.0, -20.0f, 16.0f},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        StrokeSimulation s = restingBrush(p, 0.0f);
        s.step(r.fx, r.fy);
        EXPECT_NEAR(s.getBrushX(), r.bx, 1e-4);
        EXPECT_NEAR(s.getBrushY(), r.by, 1e-4);
    }
    // A stiff, undamped spring would throw the brush to the edge: it stops half the widest
    // stroke inside it.
    p.spring = 1.0;
    p.drag = 1.0;
    StrokeSimulation s = restingBrush(p, 0.0f);
    s.step(500.0, -400.0);
    EXPECT_FLOAT_EQ(s.getBrushX(), 485.0f);
    EXPECT_FLOAT_EQ(s.getBrushY(), -385.0f);
}

} // namespace
