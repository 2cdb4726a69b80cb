// The painting canvas's decisions without a context: postures, dispatch, handler plans, buffers.
#include "canvas/CanvasBuffers.h"
#include "canvas/CanvasState.h"
#include "canvas/Curve2D.h"
#include "canvas/PostureClassifier.h"
#include "canvas/TouchDispatch.h"
#include "OutputCapture.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

using canvas::Handler;
using P = PostureClassifier;

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
    int p = P::NONE;
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

// A posture is reported from the fourth sample and sticks for the touch, even when the contact
// grows (a hand landing flat) or its first posture was none of the five.
TEST(PostureClassifierTest, ContactSizesFallInRangesOpenBelowAndClosedAbove)
{
    const std::pair<int, int> data[] = {{3, P::PEN},   {10, P::ONE_FINGER}, {15, P::TWO_FINGERS},
                                        {50, P::FIST}, {350, P::HAND},      {1000, P::OTHER}};
    for (const auto& [side, posture] : data) {
        PostureClassifier c = makeClassifier();
        EXPECT_EQ(touch(c, side, 3), P::NONE) << side;
        EXPECT_EQ(touch(c, side, 1), posture) << side;
        EXPECT_EQ(touch(c, side == 10 ? 350 : 10, 6), posture) << side;
        EXPECT_EQ(c.getPreviousPosture(), posture) << side;
    }
    PostureClassifier c;
    c.setRange(1, 100, 400);
    // 10 x 10 = 100 is not above the minimum; 20 x 20 = 400 is within the maximum.
    EXPECT_EQ(touch(c, 10, 4), P::OTHER);
    c.reset();
    EXPECT_EQ(touch(c, 20, 4), P::ONE_FINGER);
}

TEST(PostureClassifierTest, MeanOfTheLastFourSamplesCountsDoubleInTheCorners)
{
    PostureClassifier c = makeClassifier();
    // 3 x 3 once, then 10 x 10: mean (9 + 300) / 4 = 77 -> one finger.
    c.classify(700, 500, 3, 3);
    touch(c, 10, 3);
    EXPECT_EQ(c.getPosture(), P::ONE_FINGER);

    const struct { int x, y; bool doubled; } corners[] = {
        {299, 229, true}, {300, 229, false}, {1101, 701, true}, {1100, 701, false}};
    for (const auto& row : corners)
        EXPECT_EQ(P::isInCornerRegion(row.x, row.y), row.doubled) << row.x << ", " << row.y;
    c.reset();
    // 12 x 12 = 144 (finger) counts 288 in a corner: two fingers.
    for (int i = 0; i < 4; ++i) c.classify(100, 100, 12, 12);
    EXPECT_EQ(c.getPosture(), P::TWO_FINGERS);

    // Contacts without a size get a side that is one finger in corners too.
    const struct { double min, max; int side; } ranges[] = {
        {32.13, 160.65, 7}, // the default board: 49, and 98 in a corner
        {40, 300, 9},       // 7 .. 12
        {100, 150, 11},     // no side fits doubled: one that fits outside the corners
        {0, 0, 10},         // no range: the board's finger
    };
    for (const auto& r : ranges) EXPECT_EQ(P::fingerContactSide(r.min, r.max), r.side) << r.min;
}

// --- dispatch ---------------------------------------------------------------------------------

TEST(TouchDispatchTest, PostureChoosesTheModeWithNunchukCombinations)
{
    const struct { int posture; bool c; int mode; Handler handler; } data[] = {
        {0, false, 6, Handler::None},        {1, false, 2, Handler::Create},
        {1, true, 2, Handler::Erase},        {2, false, 3, Handler::Orientation},
        {3, false, 4, Handler::Move},        {4, false, 5, Handler::Size},
        {5, false, 6, Handler::None},
    };
    for (int combo : {3, 4, 5}) {
        for (const auto& row : data) {
            canvas::TouchInput in = input(combo, row.posture, 6);
            in.c = row.c;
            const canvas::TouchDecision d = canvas::decideTouch(in);
            SCOPED_TRACE(testing::Message() << "combo " << combo << " posture " << row.posture);
            EXPECT_EQ(d.mode, row.mode);
            EXPECT_EQ(d.handler, row.handler);
            EXPECT_EQ(d.clearModeChanged, row.mode != 6);
        }
    }
}

TEST(TouchDispatchTest, JoystickChangesStrengthAndSizeStepWithinTheirRanges)
{
    const struct {
        int posture; double strength; int sizeStep; float joyY; double wantStrength; int wantStep;
    } data[] = {
        {1, 5.0, 2, -1.0f, 7.0, 2},   // push down raises strength
        {1, 3.0, 2, 1.0f, 2.0, 2},    // push up lowers it, down to 2
        {1, 29.5, 2, -1.0f, 30.0, 2}, // stops at 30
        {4, 5.0, 2, 1.0f, 5.0, 1},    // the hand's size step stops at 1
        {4, 5.0, 9, -1.0f, 5.0, 10},  // and at 10
    };
    for (const auto& row : data) {
        canvas::TouchInput in = input(5, row.posture);
        in.z = true;
        in.joyY = row.joyY;
        in.strength = row.strength;
        in.sizeStep = row.sizeStep;
        const canvas::TouchDecision d = canvas::decideTouch(in);
        EXPECT_DOUBLE_EQ(d.strength, row.wantStrength) << row.strength << " " << row.joyY;
        EXPECT_EQ(d.sizeStep, row.wantStep) << row.sizeStep << " " << row.joyY;
    }
}

TEST(TouchDispatchTest, PresetsApplyOnlyWhenThePostureChanges)
{
    const struct { int posture, mode; Handler handler; double strength; float diameter; } data[] = {
        {1, 2, Handler::Create, 2.0, 20.0f},        {3, 2, Handler::Create, 15.0, 130.0f},
        {4, 2, Handler::Erase, -10.0, 200.0f},      {2, 3, Handler::Orientation, 5.0, 80.0f},
        {0, 7, Handler::None, 5.0, -1.0f},
    };
    for (const auto& row : data) {
        SCOPED_TRACE(row.posture);
        canvas::TouchInput in = input(7, row.posture);
        in.previousChosenPosture = 5;
        canvas::TouchDecision d = canvas::decideTouch(in);
        EXPECT_EQ(d.mode, row.mode);
        EXPECT_EQ(d.handler, row.handler);
        EXPECT_EQ(d.writeIdleKind, row.handler == Handler::None); // pen: no tool, idle brush
        EXPECT_DOUBLE_EQ(d.strength, row.strength);
        EXPECT_FLOAT_EQ(d.diameter, row.diameter);

        // The same posture again keeps what the user changed since.
        in.previousChosenPosture = row.posture;
        in.strength = 9.0;
        d = canvas::decideTouch(in);
        EXPECT_DOUBLE_EQ(d.strength, 9.0);
        EXPECT_LT(d.diameter, 0.0f);
    }
    // Other postures are only remembered.
    const canvas::TouchDecision d = canvas::decideTouch(input(7, 5, 3));
    EXPECT_EQ(d.mode, 3);
    EXPECT_EQ(d.handler, Handler::None);
    EXPECT_EQ(d.previousChosenPosture, 5);
}

TEST(TouchDispatchTest, WiiPointingCombinationUsesButtonsAndPendingChoice)
{
    const struct {
        int mode; bool c, z, pending, newTouch; int wantMode; Handler handler; bool idle, drop;
    } data[] = {
        {2, true, true, false, false, 2, Handler::Erase, false, false},
        {2, false, false, false, false, 2, Handler::Create, false, false},
        {2, false, false, true, false, 8, Handler::None, true, false}, // a pending choice waits
        {2, false, false, true, true, 2, Handler::None, false, true},  // dropped by a new touch
        {3, false, false, false, false, 3, Handler::Orientation, false, false},
        {4, true, false, false, false, 4, Handler::Move, false, false},
    };
    for (const auto& row : data) {
        canvas::TouchInput in = input(6, 1, row.mode);
        in.c = row.c;
        in.z = row.z;
        in.pendingMenuChoice = row.pending;
        in.newTouch = row.newTouch;
        const canvas::TouchDecision d = canvas::decideTouch(in);
        SCOPED_TRACE(testing::Message() << "mode " << row.mode << " c " << row.c << " z " << row.z
                                        << " pending " << row.pending);
        EXPECT_EQ(d.mode, row.wantMode);
        EXPECT_EQ(d.handler, row.handler);
        EXPECT_EQ(d.handlerPosture, 5);
        EXPECT_EQ(d.writeIdleKind, row.idle);
        EXPECT_EQ(d.dropPendingChoice, row.drop);
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
    const struct { Handler handler; int posture; float strength; bool rebuild; } data[] = {
        {Handler::Create, 1, 1.0f, false},  {Handler::Create, 4, -30.0f, true}, // the hand erases
        {Handler::Erase, 1, -2.0f, true},
    };
    for (const auto& row : data) {
        SCOPED_TRACE(testing::Message() << int(row.handler) << " posture " << row.posture);
        const canvas::HandlerPlan p = canvas::planHandler(row.handler, input(0, row.posture));
        EXPECT_FLOAT_EQ(p.kind, 4.0f);
        EXPECT_EQ(p.replay, canvas::Replay::Stamp);
        EXPECT_FLOAT_EQ(p.replayAmount, row.strength);
        EXPECT_FLOAT_EQ(written(p, 4, 1), row.strength);
        EXPECT_EQ(p.rebuild, row.rebuild);
    }
}

TEST(HandlerPlanTest, RegressionPenInCreateModeCreatedWithTheLeftoverStrength)
{
    // Create and erase have no strength for the pen, other contacts or a posture not yet
    // recognised: the brush goes idle instead of creating with what cell (4, 1) still holds.
    for (Handler handler : {Handler::Create, Handler::Erase}) {
        for (int posture : {0, 5, 6}) {
            const canvas::HandlerPlan p = canvas::planHandler(handler, input(0, posture));
            EXPECT_FLOAT_EQ(p.kind, 8.0f) << int(handler) << " posture " << posture;
            EXPECT_EQ(p.writeCount, 0u);
            EXPECT_EQ(p.replay, canvas::Replay::None);
        }
    }
}

TEST(HandlerPlanTest, SubModesByButtonsAndJoystickZones)
{
    // Buttons with the nunchuk: C, Z or neither pick the sub-mode and its icon.
    const struct { Handler handler; bool c, z; unsigned int column; float value; int icon; } buttons[] = {
        {Handler::Orientation, true, false, 2, 1.0f, 5}, {Handler::Orientation, false, true, 2, 0.0f, 6},
        {Handler::Orientation, false, false, 2, 3.0f, 4}, {Handler::Move, false, true, 5, 1.0f, 8},
        {Handler::Size, true, false, 9, -2.0f, 11},      {Handler::Size, false, false, 9, 2.0f, 10},
    };
    for (const auto& row : buttons) {
        SCOPED_TRACE(testing::Message() << int(row.handler) << " c " << row.c << " z " << row.z);
        canvas::TouchInput in = input(4, 6);
        in.c = row.c;
        in.z = row.z;
        in.sizeStep = 2;
        const canvas::HandlerPlan p = canvas::planHandler(row.handler, in);
        EXPECT_FLOAT_EQ(written(p, row.column, 1), row.value);
        EXPECT_EQ(p.icon, row.icon);
        EXPECT_EQ(p.replay, canvas::Replay::None);
    }
    // The Wii pointing combination: joystick zones; the centre keeps the sub-mode (-999).
    const struct { Handler handler; float x, y, value; } zones[] = {
        {Handler::Orientation, -0.9f, 0.0f, 3.0f},  {Handler::Orientation, -0.6f, -0.6f, 1.0f},
        {Handler::Orientation, -0.6f, 0.6f, 0.0f},  {Handler::Move, 0.6f, -0.6f, 1.0f},
        {Handler::Move, 0.0f, 0.0f, -999.0f},
    };
    for (const auto& row : zones) {
        canvas::TouchInput in = input(6, 6);
        in.joyX = row.x;
        in.joyY = row.y;
        const unsigned int column = row.handler == Handler::Orientation ? 2 : 5;
        EXPECT_FLOAT_EQ(written(canvas::planHandler(row.handler, in), column, 1), row.value)
            << int(row.handler) << " at " << row.x << ", " << row.y;
    }
}

TEST(HandlerPlanTest, ErasingCombinationsAndTheIdleCombination)
{
    // Combination 7 erases along the path and keeps the chosen strength.
    canvas::TouchInput in = input(7, 4);
    in.strength = -10.0;
    canvas::HandlerPlan p = canvas::planHandler(Handler::Erase, in);
    EXPECT_EQ(p.replay, canvas::Replay::Stamp);
    EXPECT_FLOAT_EQ(p.replayAmount, -30.0f);
    EXPECT_FLOAT_EQ(written(p, 4, 1), -10.0f);
    EXPECT_TRUE(p.rebuild);

    // Colour with the hand erases, then switches to the eraser.
    p = canvas::planHandler(Handler::Color, input(0, 4));
    EXPECT_FLOAT_EQ(p.kind, 3.0f);
    EXPECT_FLOAT_EQ(p.replayAmount, -30.0f);
    ASSERT_EQ(p.writeCount, 2u);
    EXPECT_FLOAT_EQ(written(p, 0, 0), 4.0f);
    EXPECT_FLOAT_EQ(written(p, 4, 1), -100.0f);

    // Combination 2 does nothing.
    for (Handler h : {Handler::Create, Handler::Orientation, Handler::Color}) {
        p = canvas::planHandler(h, input(2, 1));
        EXPECT_LT(p.kind, 0.0f);
        EXPECT_EQ(p.writeCount, 0u);
    }
}

// --- buffers ----------------------------------------------------------------------------------

TEST(CanvasBuffersTest, BorderSlowDownRampsFromTheEdge)
{
    BufferTemplate<float> b(1, 0);
    b.setSizeAndAllocateMemory(400, 320);
    canvas::fillBorderSlowDown(b, 0.98f);
    // The whole outer ring is 0; 149 x 1/150 is above the factor.
    const struct { unsigned x, y; float value; } cells[] = {
        {0, 160, 0.0f}, {399, 100, 0.0f}, {200, 10, 10 * 0.0066666668f}, {200, 149, 0.98f}};
    for (const auto& c : cells) EXPECT_FLOAT_EQ(b.getValue(c.x, c.y), c.value) << c.x << ", " << c.y;

    // Regression: the rings 0 ... 149 of a 50-cell buffer lie partly outside it.
    BufferTemplate<float> narrow(1, 0);
    narrow.setSizeAndAllocateMemory(50, 20);
    canvas::fillBorderSlowDown(narrow, 0.98f);
    EXPECT_EQ(narrow.getValue(0, 10), 0.0f);
    EXPECT_FLOAT_EQ(narrow.getValue(25, 10), 9 * 0.0066666668f);
}

TEST(Curve2DTest, ResamplesAtEqualSpacingKeepingTheEnds)
{
    Curve2D c;
    c.addPoint(0.0, 0.0);
    c.addPoint(0.1, 0.0);
    c.addPoint(0.1, 0.05);
    const Curve2D r = c.resample(0.03);
    // Length 0.15: points at 0, 0.03, ..., 0.15.
    ASSERT_EQ(r.getNumberOfPoints(), 6u);
    EXPECT_NEAR(r.getPoint(4).x, 0.1, 1e-9);
    EXPECT_NEAR(r.getPoint(4).y, 0.02, 1e-9);
    EXPECT_NEAR(r.getPoint(5).y, 0.05, 1e-9);

    Curve2D single;
    single.addPoint(1, 1);
    EXPECT_EQ(single.resample(0.03).getNumberOfPoints(), 1u);
    EXPECT_EQ(c.resample(0.0).getNumberOfPoints(), 3u);
}

// A dump is loaded only into a buffer of its size and, for floats, only with finite values;
// anything else leaves the buffer as it was and says why in one line.
TEST(CanvasBuffersTest, RegressionBufferDumpsOfTheWrongSizeOrTypeWereLoaded)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("dump-test-" + std::to_string(::getpid()));
    fs::create_directories(dir / "folder.dat");
    BufferTemplate<float> buffer(1, 0);
    buffer.setSizeAndAllocateMemory(4, 2);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::string folder = (dir / "folder.dat").string();
    const struct {
        const char* name;
        std::vector<float> contents; // written as the file, unless the name is a folder
        bool floats;
        bool loaded;
        std::string printed; // with the file's path in place of %
    } data[] = {
        {"exact.dat", std::vector<float>(8, 3.5f), true, true, ""},
        {"missing.dat", {}, true, false, ""},
        {"short.dat", std::vector<float>(7, 1.0f), true, false,
         "Buffer dump % not loaded: 28 bytes, a 4 x 2 buffer needs 32\n"},
        {"long.dat", std::vector<float>(9, 1.0f), true, false,
         "Buffer dump % not loaded: 36 bytes, a 4 x 2 buffer needs 32\n"},
        {"nan.dat", {1, 2, 3, nan, 5, 6, 7, 8}, true, false,
         "Buffer dump % not loaded: it holds values that are not finite numbers\n"},
        {"nan-as-bytes.dat", {1, 2, 3, nan, 5, 6, 7, 8}, false, true, ""},
        {"folder.dat", {}, true, false, "Buffer dump % not loaded: not a regular file\n"},
    };
    for (const auto& d : data) {
        SCOPED_TRACE(d.name);
        const std::string path = (dir / d.name).string();
        if (!d.contents.empty())
            std::ofstream(path, std::ios::binary)
                .write(reinterpret_cast<const char*>(d.contents.data()),
                       static_cast<std::streamsize>(d.contents.size() * sizeof(float)));
        buffer.fillEntireBuffer(9.0f);
        std::string expected = d.printed;
        if (const auto at = expected.find('%'); at != std::string::npos)
            expected.replace(at, 1, path);
        OutputCapture out;
        EXPECT_EQ(canvas::readRaw(buffer, buffer.getBufferArray(), path, d.floats), d.loaded);
        EXPECT_EQ(out.take(), expected);
        EXPECT_EQ(buffer.getValue(0u, 0u), d.loaded ? d.contents[0] : 9.0f);
    }
    fs::remove_all(dir);
}
