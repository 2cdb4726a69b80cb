// The painting canvas's decisions without a context: posture classification, the dispatch by
// input combination and posture with its presets, handler plans, the mode-label fade, deferred
// clears, buffer fills, re-centring, dump files and the curve resampling.
#include "canvas/CanvasBuffers.h"
#include "canvas/CanvasState.h"
#include "canvas/Curve2D.h"
#include "canvas/PostureClassifier.h"
#include "canvas/TouchDispatch.h"
#include "core/Random.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;
using canvas::Handler;

namespace {

// Ranges in contact area: pen (0, 20], finger (20, 150], two fingers (150, 400],
// fist (400, 5000], hand (5000, 200000].
PostureClassifier makeClassifier()
{
    PostureClassifier c;
    c.setRange(0, 0, 20);
    c.setRange(1, 20, 150);
    c.setRange(2, 150, 400);
    c.setRange(3, 400, 5000);
    c.setRange(4, 5000, 200000);
    return c;
}

// A touch in the middle of the table with a square contact of this side, n samples long.
int touch(PostureClassifier& c, int side, int n)
{
    int p = PostureClassifier::NONE;
    for (int i = 0; i < n; ++i) p = c.classify(700 + i, 500, side, side);
    return p;
}

// Dispatch input with the given combination, posture and chosen mode, the rest at rest.
canvas::TouchInput input(int combo, int posture, int mode = 2)
{
    canvas::TouchInput in;
    in.combo = combo;
    in.posture = posture;
    in.mode = mode;
    return in;
}

} // namespace

TEST(PostureClassifierTest, NothingIsReportedBeforeFourSamples)
{
    PostureClassifier c = makeClassifier();
    EXPECT_EQ(touch(c, 10, 3), PostureClassifier::NONE);
    EXPECT_EQ(c.classify(700, 500, 10, 10), PostureClassifier::ONE_FINGER);
    EXPECT_EQ(c.getPreviousPosture(), PostureClassifier::NONE);
    EXPECT_EQ(c.classify(700, 500, 10, 10), PostureClassifier::ONE_FINGER);
    EXPECT_EQ(c.getPreviousPosture(), PostureClassifier::ONE_FINGER);
}

TEST(PostureClassifierTest, FakeContactSizesFallInTheirRanges)
{
    const struct {
        const char* name;
        int side;
        int posture;
    } data[] = {
        {"pen 3x3", 3, PostureClassifier::PEN},
        {"one finger 10x10", 10, PostureClassifier::ONE_FINGER},
        {"two fingers 15x15", 15, PostureClassifier::TWO_FINGERS},
        {"fist 50x50", 50, PostureClassifier::FIST},
        {"hand 350x350", 350, PostureClassifier::HAND},
        {"beyond every range", 1000, PostureClassifier::OTHER},
    };
    for (const auto& row : data) {
        PostureClassifier c = makeClassifier();
        EXPECT_EQ(touch(c, row.side, 4), row.posture) << row.name;
    }
}

TEST(PostureClassifierTest, RangeIsOpenBelowAndClosedAbove)
{
    PostureClassifier c;
    c.setRange(1, 100, 400);
    // 10 x 10 = 100 is not above the minimum; 20 x 20 = 400 is within the maximum.
    EXPECT_EQ(touch(c, 10, 4), PostureClassifier::OTHER);
    c.reset();
    EXPECT_EQ(touch(c, 20, 4), PostureClassifier::ONE_FINGER);
}

TEST(PostureClassifierTest, PostureSticksForTheRestOfTheTouch)
{
    PostureClassifier c = makeClassifier();
    EXPECT_EQ(touch(c, 10, 4), PostureClassifier::ONE_FINGER);
    // The hand lands flat: the mean area grows into the hand range, the finger stays.
    EXPECT_EQ(touch(c, 350, 6), PostureClassifier::ONE_FINGER);
    c.reset();
    EXPECT_EQ(c.getPosture(), PostureClassifier::NONE);
    EXPECT_EQ(touch(c, 350, 4), PostureClassifier::HAND);
    c.reset();
    EXPECT_EQ(touch(c, 1000, 4), PostureClassifier::OTHER);
    EXPECT_EQ(touch(c, 10, 4), PostureClassifier::OTHER);
}

TEST(PostureClassifierTest, MeanIsOverTheLastFourSamples)
{
    PostureClassifier c = makeClassifier();
    // 3 x 3 once, then 10 x 10: mean (9 + 300) / 4 = 77 -> one finger.
    c.classify(700, 500, 3, 3);
    touch(c, 10, 3);
    EXPECT_EQ(c.getMeanArea(), (9 + 300) / 4);
    EXPECT_EQ(c.getPosture(), PostureClassifier::ONE_FINGER);
}

TEST(PostureClassifierTest, AreaCountsDoubleInTheCorners)
{
    const struct {
        int x, y;
        bool doubled;
    } data[] = {
        {100, 100, true}, {1200, 800, true}, {100, 500, false}, {700, 100, false},
        {299, 229, true}, {300, 229, false}, {1101, 701, true}, {1100, 701, false},
    };
    for (const auto& row : data) {
        EXPECT_EQ(PostureClassifier::isInCornerRegion(row.x, row.y), row.doubled)
            << row.x << ", " << row.y;
    }
    PostureClassifier c = makeClassifier();
    // 8 x 8 = 64 (finger) in the middle, 128 doubled -> still finger; 12 x 12 = 144 -> 288.
    for (int i = 0; i < 4; ++i) c.classify(100, 100, 12, 12);
    EXPECT_EQ(c.getMeanArea(), 288);
    EXPECT_EQ(c.getPosture(), PostureClassifier::TWO_FINGERS);
}

TEST(PostureClassifierTest, SamplesAreKeptOldestFirst)
{
    PostureClassifier c = makeClassifier();
    for (int i = 0; i < 6; ++i) c.classify(i * 10, 500, 10, 10);
    ASSERT_EQ(c.getSampleCount(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(c.getSample(i).x, (i + 2) * 10);
}

// --- dispatch ---------------------------------------------------------------------------------

TEST(TouchDispatchTest, DirectCombinationsRunTheModesHandler)
{
    const struct {
        int mode;
        Handler handler;
    } data[] = {
        {0, Handler::Create}, {1, Handler::Erase}, {2, Handler::None}, {3, Handler::Orientation},
        {4, Handler::Move}, {5, Handler::Size}, {6, Handler::Color}, {7, Handler::None},
        {8, Handler::None},
    };
    for (int combo : {0, 1, 2}) {
        for (const auto& row : data) {
            const canvas::TouchDecision d = canvas::decideTouch(input(combo, 2, row.mode));
            EXPECT_EQ(d.handler, row.handler) << "combo " << combo << " mode " << row.mode;
            EXPECT_EQ(d.mode, row.mode);
            EXPECT_EQ(d.handlerPosture, 2);
        }
    }
}

TEST(TouchDispatchTest, PostureChoosesTheModeWithNunchukCombinations)
{
    const struct {
        const char* name;
        int posture;
        bool c;
        int mode;
        Handler handler;
    } data[] = {
        {"pen does nothing", 0, false, 6, Handler::None},
        {"one finger creates", 1, false, 2, Handler::Create},
        {"one finger with C erases", 1, true, 2, Handler::Erase},
        {"two fingers orient", 2, false, 3, Handler::Orientation},
        {"fist moves", 3, false, 4, Handler::Move},
        {"hand resizes", 4, false, 5, Handler::Size},
        {"other does nothing", 5, false, 6, Handler::None},
    };
    for (int combo : {3, 4, 5}) {
        for (const auto& row : data) {
            canvas::TouchInput in = input(combo, row.posture, 6);
            in.c = row.c;
            const canvas::TouchDecision d = canvas::decideTouch(in);
            EXPECT_EQ(d.mode, row.mode) << row.name;
            EXPECT_EQ(d.handler, row.handler) << row.name;
            EXPECT_EQ(d.clearModeChanged, row.mode != 6) << row.name;
        }
    }
}

TEST(TouchDispatchTest, JoystickChangesStrengthAndSizeStepWithinTheirRanges)
{
    const struct {
        const char* name;
        int posture;
        double strength;
        int sizeStep;
        float joyY;
        double wantStrength;
        int wantStep;
    } data[] = {
        {"push down raises strength", 1, 5.0, 2, -1.0f, 7.0, 2},
        {"push up lowers strength", 1, 5.0, 2, 1.0f, 3.0, 2},
        {"strength stops at 2", 1, 3.0, 2, 1.0f, 2.0, 2},
        {"strength stops at 30", 1, 29.5, 2, -1.0f, 30.0, 2},
        {"size step grows", 4, 5.0, 2, -1.0f, 5.0, 4},
        {"size step stops at 1", 4, 5.0, 2, 1.0f, 5.0, 1},
        {"size step stops at 10", 4, 5.0, 9, -1.0f, 5.0, 10},
    };
    for (const auto& row : data) {
        canvas::TouchInput in = input(5, row.posture);
        in.z = true;
        in.joyY = row.joyY;
        in.strength = row.strength;
        in.sizeStep = row.sizeStep;
        const canvas::TouchDecision d = canvas::decideTouch(in);
        EXPECT_DOUBLE_EQ(d.strength, row.wantStrength) << row.name;
        EXPECT_EQ(d.sizeStep, row.wantStep) << row.name;
    }
}

TEST(TouchDispatchTest, PresetsApplyOnlyWhenThePostureChanges)
{
    const struct {
        const char* name;
        int posture;
        int mode;
        Handler handler;
        double strength;
        float diameter;
    } data[] = {
        {"one finger", 1, 2, Handler::Create, 2.0, 20.0f},
        {"fist", 3, 2, Handler::Create, 15.0, 130.0f},
        {"hand", 4, 2, Handler::Erase, -10.0, 200.0f},
        {"two fingers", 2, 3, Handler::Orientation, 5.0, 80.0f},
        {"pen", 0, 7, Handler::None, 5.0, -1.0f},
        {"none", 6, 7, Handler::None, 5.0, -1.0f},
    };
    for (const auto& row : data) {
        canvas::TouchInput in = input(7, row.posture);
        in.previousChosenPosture = 5;
        canvas::TouchDecision d = canvas::decideTouch(in);
        EXPECT_EQ(d.mode, row.mode) << row.name;
        EXPECT_EQ(d.handler, row.handler) << row.name;
        EXPECT_DOUBLE_EQ(d.strength, row.strength) << row.name;
        EXPECT_FLOAT_EQ(d.diameter, row.diameter) << row.name;
        EXPECT_EQ(d.previousChosenPosture, row.posture) << row.name;

        // The same posture again keeps what the user changed since.
        in.previousChosenPosture = row.posture;
        in.strength = 9.0;
        d = canvas::decideTouch(in);
        EXPECT_DOUBLE_EQ(d.strength, 9.0) << row.name;
        EXPECT_LT(d.diameter, 0.0f) << row.name;
    }
}

TEST(TouchDispatchTest, OtherPostureIsOnlyRemembered)
{
    const canvas::TouchDecision d = canvas::decideTouch(input(7, 5, 3));
    EXPECT_EQ(d.mode, 3);
    EXPECT_EQ(d.handler, Handler::None);
    EXPECT_EQ(d.previousChosenPosture, 5);
}

TEST(TouchDispatchTest, WiiPointingCombinationUsesButtonsAndPendingChoice)
{
    const struct {
        const char* name;
        int mode;
        bool c, z, pending, newTouch;
        int wantMode;
        Handler handler;
        bool idle, dropped;
    } data[] = {
        {"C and Z erase", 2, true, true, false, false, 2, Handler::Erase, false, false},
        {"no buttons create", 2, false, false, false, false, 2, Handler::Create, false, false},
        {"only C does nothing", 2, true, false, false, false, 2, Handler::None, false, false},
        {"pending choice waits", 2, false, false, true, false, 8, Handler::None, true, false},
        {"pending choice dropped by a new touch", 2, false, false, true, true, 2, Handler::None,
         false, true},
        {"orientation", 3, false, false, false, false, 3, Handler::Orientation, false, false},
        {"move", 4, true, false, false, false, 4, Handler::Move, false, false},
        {"size", 5, false, false, false, false, 5, Handler::Size, false, false},
        {"colour", 6, false, false, false, false, 6, Handler::Color, false, false},
    };
    for (const auto& row : data) {
        canvas::TouchInput in = input(6, 1, row.mode);
        in.c = row.c;
        in.z = row.z;
        in.pendingMenuChoice = row.pending;
        in.newTouch = row.newTouch;
        const canvas::TouchDecision d = canvas::decideTouch(in);
        EXPECT_EQ(d.mode, row.wantMode) << row.name;
        EXPECT_EQ(d.handler, row.handler) << row.name;
        EXPECT_EQ(d.handlerPosture, 5) << row.name;
        EXPECT_EQ(d.writeIdleKind, row.idle) << row.name;
        EXPECT_EQ(d.dropPendingChoice, row.dropped) << row.name;
    }
}

// --- handler plans ----------------------------------------------------------------------------

namespace {

float written(const canvas::HandlerPlan& p, unsigned int column, unsigned int row)
{
    float v = -999.0f;
    for (unsigned int i = 0; i < p.writeCount; ++i)
        if (p.writes[i].column == column && p.writes[i].row == row) v = p.writes[i].value;
    return v;
}

} // namespace

TEST(HandlerPlanTest, DirectCreateAndEraseStrengthByPosture)
{
    const struct {
        const char* name;
        Handler handler;
        int posture;
        float strength;
        bool rebuild;
    } data[] = {
        {"create one finger", Handler::Create, 1, 1.0f, false},
        {"create two fingers", Handler::Create, 2, 5.0f, false},
        {"create fist", Handler::Create, 3, 30.0f, false},
        {"create hand erases", Handler::Create, 4, -30.0f, true},
        {"erase one finger", Handler::Erase, 1, -2.0f, true},
        {"erase two fingers", Handler::Erase, 2, -5.0f, true},
        {"erase fist", Handler::Erase, 3, -10.0f, true},
        {"erase hand", Handler::Erase, 4, -30.0f, true},
    };
    for (const auto& row : data) {
        const canvas::HandlerPlan p = canvas::planHandler(row.handler, input(0, row.posture));
        EXPECT_FLOAT_EQ(p.kind, 4.0f) << row.name;
        EXPECT_EQ(p.replay, canvas::Replay::Stamp) << row.name;
        EXPECT_FLOAT_EQ(p.replayAmount, row.strength) << row.name;
        EXPECT_FLOAT_EQ(written(p, 4, 1), row.strength) << row.name;
        EXPECT_EQ(p.rebuild, row.rebuild) << row.name;
    }
    EXPECT_STREQ(canvas::planHandler(Handler::Create, input(1, 4)).message, "current Posture: HAND");
}

TEST(HandlerPlanTest, NunchukSubModesAndIcons)
{
    const struct {
        const char* name;
        Handler handler;
        bool c, z;
        unsigned int column;
        float value;
        int icon;
    } data[] = {
        {"orientation circular", Handler::Orientation, true, false, 2, 1.0f, 5},
        {"orientation radial", Handler::Orientation, false, true, 2, 0.0f, 6},
        {"orientation follow", Handler::Orientation, false, false, 2, 3.0f, 4},
        {"move sub-mode 0", Handler::Move, true, false, 5, 0.0f, 9},
        {"move sub-mode 1", Handler::Move, false, true, 5, 1.0f, 8},
        {"move follow", Handler::Move, false, false, 5, 3.0f, 7},
        {"size smaller", Handler::Size, true, false, 9, -2.0f, 11},
        {"size bigger", Handler::Size, false, false, 9, 2.0f, 10},
    };
    for (const auto& row : data) {
        canvas::TouchInput in = input(4, 6);
        in.c = row.c;
        in.z = row.z;
        in.sizeStep = 2;
        const canvas::HandlerPlan p = canvas::planHandler(row.handler, in);
        EXPECT_FLOAT_EQ(written(p, row.column, 1), row.value) << row.name;
        EXPECT_EQ(p.icon, row.icon) << row.name;
        EXPECT_EQ(p.replay, canvas::Replay::None) << row.name;
    }
}

TEST(HandlerPlanTest, JoystickZonesPickSubModes)
{
    const struct {
        const char* name;
        Handler handler;
        float x, y;
        float value; // -999: unchanged
    } data[] = {
        {"orientation follow", Handler::Orientation, -0.9f, 0.0f, 3.0f},
        {"orientation circular", Handler::Orientation, -0.6f, -0.6f, 1.0f},
        {"orientation radial", Handler::Orientation, -0.6f, 0.6f, 0.0f},
        {"orientation centre keeps", Handler::Orientation, 0.0f, 0.0f, -999.0f},
        {"move follow", Handler::Move, 0.9f, 0.0f, 3.0f},
        {"move 1", Handler::Move, 0.6f, -0.6f, 1.0f},
        {"move 0", Handler::Move, 0.6f, 0.6f, 0.0f},
        {"move centre keeps", Handler::Move, 0.0f, 0.0f, -999.0f},
    };
    for (const auto& row : data) {
        canvas::TouchInput in = input(6, 6);
        in.joyX = row.x;
        in.joyY = row.y;
        const canvas::HandlerPlan p = canvas::planHandler(row.handler, in);
        const unsigned int column = row.handler == Handler::Orientation ? 2 : 5;
        EXPECT_FLOAT_EQ(written(p, column, 1), row.value) << row.name;
    }
}

TEST(HandlerPlanTest, CombinationSevenErasesAlongThePathAndKeepsTheStrength)
{
    canvas::TouchInput in = input(7, 4);
    in.strength = -10.0;
    const canvas::HandlerPlan p = canvas::planHandler(Handler::Erase, in);
    EXPECT_EQ(p.replay, canvas::Replay::Stamp);
    EXPECT_FLOAT_EQ(p.replayAmount, -30.0f);
    EXPECT_FLOAT_EQ(written(p, 4, 1), -10.0f);
    EXPECT_TRUE(p.rebuild);
}

TEST(HandlerPlanTest, ColourWithTheHandErasesThenSwitchesToEraser)
{
    const canvas::HandlerPlan p = canvas::planHandler(Handler::Color, input(0, 4));
    EXPECT_FLOAT_EQ(p.kind, 3.0f);
    EXPECT_FLOAT_EQ(p.replayAmount, -30.0f);
    ASSERT_EQ(p.writeCount, 2u);
    EXPECT_FLOAT_EQ(written(p, 0, 0), 4.0f);
    EXPECT_FLOAT_EQ(written(p, 4, 1), -100.0f);
}

TEST(HandlerPlanTest, CombinationTwoDoesNothing)
{
    const canvas::TouchInput in = input(2, 1);
    for (Handler h : {Handler::Create, Handler::Erase, Handler::Orientation, Handler::Move,
                      Handler::Size, Handler::Color}) {
        const canvas::HandlerPlan p = canvas::planHandler(h, in);
        EXPECT_LT(p.kind, 0.0f);
        EXPECT_EQ(p.writeCount, 0u);
        EXPECT_EQ(p.replay, canvas::Replay::None);
    }
}

// --- mode label and deferred clears -------------------------------------------------------------

TEST(ModeLabelTest, LabelsOfTheModes)
{
    const struct {
        int mode;
        const char* label;
        int list;
    } data[] = {
        {0, "Create Mode", 0}, {1, "Erase Mode", 1}, {2, nullptr, -1},
        {3, "Orientation Mode", 5}, {4, "Move Mode", 4}, {5, "Size Mode", 3},
        {6, "Color Mode", 2}, {7, nullptr, -1}, {8, nullptr, -1},
    };
    for (const auto& row : data) {
        if (row.label)
            EXPECT_STREQ(canvas::modeLabel(row.mode), row.label);
        else
            EXPECT_EQ(canvas::modeLabel(row.mode), nullptr);
        EXPECT_EQ(canvas::modeLabelList(row.mode), row.list);
    }
}

TEST(ModeLabelTest, FadesInThenOutAndEnds)
{
    ModeLabelFader f;
    f.restart();
    EXPECT_FLOAT_EQ(f.getAlpha(), 0.1f);
    EXPECT_TRUE(f.wantsWarmUp());
    int frames = 0;
    while (!f.isFadingOut()) {
        ASSERT_TRUE(f.step());
        ++frames;
    }
    EXPECT_EQ(frames, 31); // in single precision 0.1 + 30 x 0.03 stays just below 1.0
    EXPECT_GE(f.getAlpha(), 1.0f);
    int out = 0;
    while (f.step()) ++out;
    EXPECT_EQ(out, 5); // 1.03 -> 0.83 -> 0.63 -> 0.43 -> 0.23 -> 0.03, then below 0
    EXPECT_FLOAT_EQ(f.getAlpha(), 0.1f);
    EXPECT_FALSE(f.isFadingOut());
}

TEST(DeferredRequestTest, DelayedClearRunsOnePassLater)
{
    DeferredRequest now(0), later(1);
    EXPECT_FALSE(now.pass());
    now.request();
    later.request();
    EXPECT_TRUE(now.pass());
    EXPECT_FALSE(later.pass());
    EXPECT_FALSE(now.pass());
    EXPECT_TRUE(later.pass());
    EXPECT_FALSE(later.pass());
}

// --- buffers ----------------------------------------------------------------------------------

TEST(CanvasBuffersTest, OrientationFieldHoldsOnlyUpAndDown)
{
    tavlor::seedRand15(7);
    BufferTemplate<float> b(2, 0);
    b.setSizeAndAllocateMemory(40, 30);
    canvas::fillRandomOrientation(b);
    int up = 0, down = 0;
    for (unsigned y = 0; y < 30; ++y)
        for (unsigned x = 0; x < 40; ++x) {
            float v[2];
            b.get2DValues(x, y, v);
            EXPECT_EQ(v[0], 0.0f);
            if (v[1] == 1.0f) ++up;
            else if (v[1] == -1.0f) ++down;
        }
    EXPECT_EQ(up + down, 1200);
    EXPECT_GT(up, 400);
    EXPECT_GT(down, 400);
}

TEST(CanvasBuffersTest, BorderSlowDownRampsFromTheEdge)
{
    BufferTemplate<float> b(1, 0);
    b.setSizeAndAllocateMemory(400, 320);
    canvas::fillBorderSlowDown(b, 0.98f);
    EXPECT_EQ(b.getValue(0, 0), 0.0f);
    EXPECT_EQ(b.getValue(0, 160), 0.0f);   // the whole left column
    EXPECT_EQ(b.getValue(399, 100), 0.0f);
    EXPECT_EQ(b.getValue(200, 319), 0.0f);
    EXPECT_FLOAT_EQ(b.getValue(200, 10), 10 * 0.0066666668f);
    EXPECT_FLOAT_EQ(b.getValue(10, 160), 10 * 0.0066666668f);
    EXPECT_FLOAT_EQ(b.getValue(200, 149), 0.98f); // 149 x 1/150 is above the factor
    EXPECT_FLOAT_EQ(b.getValue(200, 160), 0.98f);
}

TEST(CanvasBuffersTest, BorderSlowDownOnABufferNarrowerThanTheRamp)
{
    // Regression: the rings 0 ... 149 of a 50-cell buffer lie partly outside it.
    BufferTemplate<float> b(1, 0);
    b.setSizeAndAllocateMemory(50, 20);
    canvas::fillBorderSlowDown(b, 0.98f);
    EXPECT_EQ(b.getValue(0, 10), 0.0f);
    EXPECT_FLOAT_EQ(b.getValue(25, 10), 9 * 0.0066666668f);
}

TEST(CanvasBuffersTest, ToolStateStartsWithItsCells)
{
    BufferTemplate<float> g(1, 0);
    g.setSizeAndAllocateMemory(10, 10);
    canvas::initializeToolState(g, 42.0f);
    const struct {
        unsigned c, r;
        float v;
    } cells[] = {{0, 0, 1.0f}, {0, 1, 0.0f}, {0, 2, 200.0f}, {0, 3, 0.0f}, {1, 1, 4.0f},
                 {2, 1, 3.0f}, {4, 1, 5.0f}, {4, 2, 42.0f}, {4, 4, 0.0f}, {9, 9, 0.0f}};
    for (const auto& cell : cells)
        EXPECT_EQ(g.getValue(cell.c, cell.r), cell.v) << cell.c << ", " << cell.r;
}

TEST(CanvasBuffersTest, CopyShiftedCentresAndClips)
{
    BufferTemplate<int> from(1, 0), to(1, 0);
    from.setSizeAndAllocateMemory(3, 2);
    for (unsigned y = 0; y < 2; ++y)
        for (unsigned x = 0; x < 3; ++x) from.setValue(x, y, int(10 * y + x + 1));
    to.setSizeAndAllocateMemory(7, 4);
    to.fillEntireBuffer(0);
    canvas::copyShifted(from, to, 2, 1);
    EXPECT_EQ(to.getValue(2, 1), 1);
    EXPECT_EQ(to.getValue(4, 2), 13);
    EXPECT_EQ(to.getValue(1, 1), 0);
    // Shifted past the far edge: only what fits is written.
    to.fillEntireBuffer(0);
    canvas::copyShifted(from, to, 5, 3);
    EXPECT_EQ(to.getValue(5, 3), 1);
    EXPECT_EQ(to.getValue(6, 3), 2);
    // Two-channel buffers move whole cells.
    BufferTemplate<float> v(2, 0), w(2, 0);
    v.setSizeAndAllocateMemory(1, 1);
    float one[2] = {0.0f, -1.0f};
    v.set2DValues(0u, 0u, one);
    w.setSizeAndAllocateMemory(3, 3);
    w.fillEntireBuffer(5.0f);
    canvas::copyShifted(v, w, 1, 1);
    float got[2];
    w.get2DValues(1u, 1u, got);
    EXPECT_EQ(got[0], 0.0f);
    EXPECT_EQ(got[1], -1.0f);
}

TEST(CanvasBuffersTest, DumpFileNamesStartWithTheLayer)
{
    const std::vector<std::string> want = {"buffers/2sizeBuffer.dat", "buffers/2orientationBuffer.dat",
                                           "buffers/2speedBuffer.dat", "buffers/2sizeAbsDiffBuffer.dat",
                                           "buffers/2tmpColorBuffer.dat"};
    EXPECT_EQ(canvas::dumpFileNames(2), want);
}

TEST(CanvasBuffersTest, RawFilesRoundTripAndMissingFilesChangeNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const fs::path previous = fs::current_path();
    fs::current_path(dir.path().toStdString());
    canvas::ensureDumpFolder();
    ASSERT_TRUE(fs::is_directory("buffers"));

    BufferTemplate<float> b(2, 0);
    b.setSizeAndAllocateMemory(5, 4);
    b.fillEntireBuffer(0.25f);
    ASSERT_TRUE(canvas::writeRaw(b, b.getBufferArray(), "buffers/0x.dat"));
    EXPECT_EQ(fs::file_size("buffers/0x.dat"), 5u * 4u * 2u * sizeof(float));
    // Rewriting truncates.
    ASSERT_TRUE(canvas::writeRaw(b, b.getBufferArray(), "buffers/0x.dat"));
    EXPECT_EQ(fs::file_size("buffers/0x.dat"), 160u);

    b.fillEntireBuffer(9.0f);
    EXPECT_TRUE(canvas::readRaw(b, b.getBufferArray(), "buffers/0x.dat"));
    EXPECT_EQ(b.getValue(4u, 3u), 0.25f);
    EXPECT_FALSE(canvas::readRaw(b, b.getBufferArray(), "buffers/missing.dat"));
    EXPECT_EQ(b.getValue(4u, 3u), 0.25f);
    fs::current_path(previous);
}

// --- curve ------------------------------------------------------------------------------------

TEST(Curve2DTest, ResamplesAtEqualSpacingKeepingTheEnds)
{
    Curve2D c;
    c.addPoint(0.0, 0.0);
    c.addPoint(0.1, 0.0);
    c.addPoint(0.1, 0.05);
    const Curve2D r = c.resample(0.03);
    // Length 0.15: points at 0, 0.03, ..., 0.15.
    ASSERT_EQ(r.getNumberOfPoints(), 6u);
    EXPECT_NEAR(r.getPoint(1).x, 0.03, 1e-9);
    EXPECT_NEAR(r.getPoint(4).x, 0.1, 1e-9);
    EXPECT_NEAR(r.getPoint(4).y, 0.02, 1e-9);
    EXPECT_NEAR(r.getPoint(5).y, 0.05, 1e-9);

    Curve2D single;
    single.addPoint(1, 1);
    EXPECT_EQ(single.resample(0.03).getNumberOfPoints(), 1u);
    EXPECT_EQ(c.resample(0.0).getNumberOfPoints(), 3u);
}
