// Rotate-and-translate, moving, rotating, interactive resizing, tossing, dropping, saving and
// restoring attributes, and the buffer-driven animation.
#include "OutputCapture.h"
#include "TestComponents.h"
#include "vis/TabletopVis.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A child that follows every field its parent paints.
class FollowingLeaf : public RecordingLeaf {
public:
    FollowingLeaf(TabletopVis* vis, double w, double h, double x, double y)
        : RecordingLeaf(vis, w, h, x, y)
    {
        setPassiveBuffer(DIRECTION_BUFFER, nullptr);
        setPassiveBuffer(ABSOLUTE_SIZE_BUFFER, nullptr);
        setPassiveBuffer(RELATIVE_SIZE_BUFFER, nullptr);
        setPassiveBuffer(ORIENTATION_BUFFER, nullptr);
        setPassiveBuffer(TEMPORARY_ORIENTATION_BUFFER, nullptr);
    }
    bool isAnimatingAbsoluteSize() override { return true; }
    bool isAnimatingDirection() override { return true; }
    bool isAnimatingOrienation() override { return true; }
    bool isAnimatingRelativeSize() override { return true; }
    int ended = 0;
    void animationEnded() override { ++ended; }
};

// A container painting constant fields of the given element counts.
class FieldContainer : public RecordingComposite {
public:
    FieldContainer(TabletopVis* vis, double w, double h, double x, double y)
        : RecordingComposite(vis, w, h, x, y)
    {
    }
    BufferTemplate<float>* addField(BUFFERTAG tag, unsigned int channels, float a, float b = 0)
    {
        auto* grid = new BufferTemplate<float>(channels, 0);
        grid->setSizeAndAllocateMemory(getBufferWidth(), getBufferHeight());
        float v[2] = {a, b};
        if (channels == 2)
            grid->fillEntireBufferWith2DValue(v);
        else
            grid->fillEntireBuffer(a);
        setActiveBuffer(tag, grid);
        return grid;
    }
};

struct Table {
    TabletopVis vis{1, 100, 100, 1024, 768};
    template <class T> T* add(T* c)
    {
        vis.addComponent(c, false);
        return c;
    }
};

} // namespace

// --- rotate-and-translate ---

TEST(RotateAndTranslate, DragStraightTowardsTheCentreOnlyTranslates)
{
    RecordingLeaf c(nullptr, 40, 40, 100, 100);
    c.initializeRNT(120, 100);
    c.moveWithRNTFromTo(120, 100, 110, 100);
    EXPECT_NEAR(c.getXPos(), 90, 1e-9);
    EXPECT_NEAR(c.getYPos(), 100, 1e-9);
    EXPECT_DOUBLE_EQ(c.getRotation(), 0);
    EXPECT_DOUBLE_EQ(c.getPointerXPos(), 110);
    EXPECT_DOUBLE_EQ(c.getPreviousPointerXPos(), 120);
}

TEST(RotateAndTranslate, SidewaysDragTurnsTowardsTheTouch)
{
    RecordingLeaf c(nullptr, 40, 40, 100, 100);
    c.initializeRNT(120, 100);
    c.moveWithRNTFromTo(120, 100, 120, 120);
    EXPECT_NEAR(c.getRotation(), 45, 1e-9); // counter-clockwise, like the hand
    // The centre moved along the lever by D0 - L.
    EXPECT_NEAR(c.getXPos(), 100 + 20 * (std::sqrt(800.0) - 20) / 20, 1e-9);
    EXPECT_NEAR(c.getYPos(), 100, 1e-9);

    RecordingLeaf d(nullptr, 40, 40, 100, 100);
    d.initializeRNT(120, 100);
    d.moveWithRNTFromTo(120, 100, 120, 80);
    EXPECT_NEAR(d.getRotation(), 315, 1e-9);
}

TEST(RotateAndTranslate, OnlyTranslatesWhenSwitchedOffOrVetoed)
{
    RecordingLeaf off(nullptr, 40, 40, 100, 100);
    off.setRNTActive(false);
    off.initializeRNT(120, 100);
    off.moveWithRNTFromTo(120, 100, 130, 125);
    EXPECT_DOUBLE_EQ(off.getXPos(), 110);
    EXPECT_DOUBLE_EQ(off.getYPos(), 125);
    EXPECT_DOUBLE_EQ(off.getRotation(), 0);
    EXPECT_TRUE(off.doesRNT());

    RecordingLeaf vetoed(nullptr, 40, 40, 100, 100);
    vetoed.vetoRotation = true;
    vetoed.initializeRNT(120, 100);
    vetoed.moveWithRNTFromTo(120, 100, 120, 120);
    EXPECT_DOUBLE_EQ(vetoed.getXPos(), 100);
    EXPECT_DOUBLE_EQ(vetoed.getYPos(), 120);
    EXPECT_DOUBLE_EQ(vetoed.getRotation(), 0);
}

TEST(RotateAndTranslate, GrabOrMoveAtTheExactCentreStaysFinite)
{
    RecordingLeaf grabbedAtCentre(nullptr, 40, 40, 100, 100);
    grabbedAtCentre.initializeRNT(100, 100);
    grabbedAtCentre.moveWithRNTFromTo(100, 100, 130, 90);
    EXPECT_DOUBLE_EQ(grabbedAtCentre.getXPos(), 130);
    EXPECT_DOUBLE_EQ(grabbedAtCentre.getYPos(), 90);
    EXPECT_DOUBLE_EQ(grabbedAtCentre.getRotation(), 0);

    RecordingLeaf movedOntoCentre(nullptr, 40, 40, 100, 100);
    movedOntoCentre.initializeRNT(120, 100);
    movedOntoCentre.moveWithRNTFromTo(120, 100, 100, 100);
    EXPECT_TRUE(std::isfinite(movedOntoCentre.getXPos()));
    EXPECT_DOUBLE_EQ(movedOntoCentre.getXPos(), 80);
    EXPECT_DOUBLE_EQ(movedOntoCentre.getRotation(), 0);
    // The drag goes on normally afterwards.
    movedOntoCentre.moveWithRNTFromTo(100, 100, 100, 120);
    EXPECT_TRUE(std::isfinite(movedOntoCentre.getRotation()));
}

TEST(RotateAndTranslate, RotationWrapsOnce)
{
    RecordingLeaf c(nullptr, 10, 10);
    c.rotate(5);
    c.rotate(-10);
    EXPECT_DOUBLE_EQ(c.getRotation(), 355);
    RecordingLeaf d(nullptr, 10, 10);
    d.rotate(400);
    EXPECT_DOUBLE_EQ(d.getRotation(), 40);
}

TEST(RotateAndTranslate, SubtreeTurnsAndMovesRigidly)
{
    Table t;
    auto* box = t.add(new RecordingComposite(&t.vis, 100, 100, 100, 100));
    auto* child = t.add(new RecordingLeaf(&t.vis, 10, 10, 130, 100));
    box->addChild(child);
    box->rotate(90);
    EXPECT_NEAR(child->getXPos(), 100, 1e-9);
    EXPECT_NEAR(child->getYPos(), 130, 1e-9);
    EXPECT_DOUBLE_EQ(child->getRotation(), 90);
    box->moveBy(5, -5);
    EXPECT_NEAR(child->getXPos(), 105, 1e-9);
    box->moveBy(5, 0, false);
    EXPECT_NEAR(child->getXPos(), 105, 1e-9);
    EXPECT_NEAR(box->getXPos(), 110, 1e-9);
}

// --- interactive resizing ---

TEST(InteractiveResize, FromTheCentreWithTheBorderMinimum)
{
    Table t;
    RecordingLeaf c(&t.vis, 40, 20, 100, 100);
    c.interactiveResizeCenter(130, 140);
    EXPECT_DOUBLE_EQ(c.getWidth(), 60);
    EXPECT_DOUBLE_EQ(c.getHeight(), 80);
    EXPECT_DOUBLE_EQ(c.getUnscaledWidth(), 60);
    c.interactiveResizeCenter(101, 101); // raised to twice the border width of 15
    EXPECT_DOUBLE_EQ(c.getWidth(), 30);
    EXPECT_DOUBLE_EQ(c.getHeight(), 30);
}

TEST(InteractiveResize, FromACornerKeepsTheOppositeEdges)
{
    const double rotations[] = {0, 30, 90, 200};
    for (double r : rotations) {
        Table t;
        RecordingLeaf c(&t.vis, 40, 20, 100, 100);
        c.rotate(r);
        // Far corner (right, bottom) before the resize, in table coordinates.
        double fx = 0, fy = 0;
        c.getGlobalCoordinates(40, 0, 40, 20, &fx, &fy);
        double gx = 0, gy = 0;
        c.getGlobalCoordinates(-10, 30, 40, 20, &gx, &gy); // beyond the top-left corner
        c.interactiveResizeTopLeft(gx, gy);
        EXPECT_NEAR(c.getWidth(), 50, 1e-9) << r;
        EXPECT_NEAR(c.getHeight(), 30, 1e-9) << r;
        double nx = 0, ny = 0;
        c.getGlobalCoordinates(c.getWidth(), 0, c.getWidth(), c.getHeight(), &nx, &ny);
        EXPECT_NEAR(nx, fx, 1e-9) << r;
        EXPECT_NEAR(ny, fy, 1e-9) << r;
    }
}

// --- tossing ---

TEST(Tossing, ReleaseThresholdAtFiftyFramesPerSecond)
{
    Table t; // 50 frames per second: squared displacement must exceed 84
    RecordingLeaf slow(&t.vis, 10, 10, 0, 0);
    slow.setPointerPos(0, 0);
    slow.setPointerPos(5, 0);
    slow.setPointerPos(9, 0);
    slow.setTossingNow(true);
    EXPECT_FALSE(slow.getTossingNow());
    ASSERT_EQ(t.vis.droppingListSize(), 1u);
    EXPECT_EQ(t.vis.getElementFromDroppingListAndDeleteIt(), &slow);

    RecordingLeaf fast(&t.vis, 10, 10, 0, 0);
    fast.setPointerPos(0, 0);
    fast.setPointerPos(5, 0);
    fast.setPointerPos(10, 0);
    fast.setTossingNow(true);
    EXPECT_TRUE(fast.getTossingNow());
    EXPECT_EQ(t.vis.droppingListSize(), 0u);
    fast.setTossingNow(false);
    EXPECT_FALSE(fast.getTossingNow());
}

TEST(Tossing, StepOnTheScreenEdgeContinuesOneBeyondStops)
{
    Table t;
    t.vis.setTossingParameters(1.0, 0.15); // half the last two samples' motion per step
    RecordingLeaf onEdge(&t.vis, 10, 10, 1014, 100);
    onEdge.setPointerPos(994, 100);
    onEdge.setPointerPos(1004, 100);
    onEdge.setPointerPos(1014, 100);
    onEdge.setTossingNow(true);
    ASSERT_TRUE(onEdge.getTossingNow());
    onEdge.tossComponent();
    EXPECT_TRUE(onEdge.getTossingNow());
    EXPECT_DOUBLE_EQ(onEdge.getPointerXPos(), 1024);
    EXPECT_NEAR(onEdge.getXPos(), 1024, 1e-9);

    RecordingLeaf beyond(&t.vis, 10, 10, 1014, 100);
    beyond.setPointerPos(992, 100);
    beyond.setPointerPos(1003, 100);
    beyond.setPointerPos(1014, 100);
    beyond.setTossingNow(true);
    beyond.tossComponent();
    EXPECT_FALSE(beyond.getTossingNow());
    EXPECT_DOUBLE_EQ(beyond.getXPos(), 1014);
    ASSERT_EQ(t.vis.droppingListSize(), 1u);
    EXPECT_EQ(t.vis.getElementFromDroppingListAndDeleteIt(), &beyond);
}

TEST(Tossing, SlowsDownUntilTheCutOffAndFollowsTheParentsFriction)
{
    Table t;
    auto* rink = t.add(new FieldContainer(&t.vis, 1000, 700, 512, 384));
    rink->addField(TOSSING_FRICTION_BUFFER, 1, 1.6f); // step = motion over two samples * 0.8
    auto* puck = t.add(new RecordingLeaf(&t.vis, 10, 10, 500, 400));
    rink->addChild(puck);
    ASSERT_NE(puck->getPassiveBuffer(TOSSING_FRICTION_BUFFER), nullptr);
    puck->setPointerPos(480, 400);
    puck->setPointerPos(490, 400);
    puck->setPointerPos(500, 400);
    puck->setTossingNow(true);
    puck->tossComponent();
    EXPECT_NEAR(puck->getPointerXPos(), 516, 1e-5);

    RecordingLeaf plain(&t.vis, 10, 10, 500, 400);
    plain.setPointerPos(480, 400);
    plain.setPointerPos(490, 400);
    plain.setPointerPos(500, 400);
    int steps = 0;
    plain.setTossingNow(true);
    while (plain.getTossingNow() && steps < 1000) {
        plain.tossComponent();
        ++steps;
    }
    EXPECT_FALSE(plain.getTossingNow());
    EXPECT_LT(steps, 1000);
    EXPECT_GT(plain.getXPos(), 500);
}

TEST(Tossing, NonTossableComponentStopsAtTheFirstStep)
{
    Table t;
    RecordingLeaf c(&t.vis, 10, 10, 100, 100, true, false);
    c.setPointerPos(0, 100);
    c.setPointerPos(50, 100);
    c.setPointerPos(100, 100);
    c.setTossingNow(true);
    ASSERT_TRUE(c.getTossingNow());
    c.tossComponent();
    EXPECT_FALSE(c.getTossingNow());
    EXPECT_DOUBLE_EQ(c.getXPos(), 100);
    EXPECT_EQ(t.vis.droppingListSize(), 1u);
}

// --- dropping and saved attributes ---

TEST(Dropping, OntoNothingTakesTheChildOutOfItsContainer)
{
    Table t;
    auto* box = t.add(new RecordingComposite(&t.vis, 100, 100, 50, 50));
    auto* c = t.add(new RecordingLeaf(&t.vis, 10, 10, 50, 50));
    box->addChild(c);
    unsigned char nothing[3] = {0, 0, 0};
    unsigned char white[3] = {0xFF, 0xFF, 0xFF};
    OutputCapture out;
    c->processDropping(nothing, 50, 50);
    EXPECT_EQ(out.take(), "Child removed.\n");
    EXPECT_EQ(c->getParent(), nullptr);

    box->addChild(c);
    OutputCapture again;
    c->processDropping(white, 50, 50);
    EXPECT_EQ(again.take(), "Child removed.\n");
    EXPECT_EQ(c->getParent(), nullptr);

    OutputCapture quiet;
    c->processDropping(white, 50, 50); // no parent: nothing to say
    EXPECT_EQ(quiet.take(), "");
}

TEST(Dropping, IntoAContainerUnderThePoint)
{
    Table t;
    auto* box = t.add(new FieldContainer(&t.vis, 100, 100, 50, 50));
    box->addField(ABSOLUTE_SIZE_BUFFER, 1, 30);
    auto* c = t.add(new RecordingLeaf(&t.vis, 10, 10, 45, 52));
    unsigned char* colour = box->getColorVector();
    c->processDropping(colour, 60, 40);
    EXPECT_EQ(c->getParent(), box);
    EXPECT_DOUBLE_EQ(c->getXPos(), 60); // placed where it was dropped
    EXPECT_DOUBLE_EQ(c->getAnimationProgress(), 0.0);
    EXPECT_TRUE(c->isAnimatingToNewStates());

    // A container without fields keeps the child where it is.
    auto* plainBox = t.add(new RecordingComposite(&t.vis, 100, 100, 300, 300));
    auto* d = t.add(new RecordingLeaf(&t.vis, 10, 10, 310, 290));
    d->processDropping(plainBox->getColorVector(), 320, 320);
    EXPECT_EQ(d->getParent(), plainBox);
    EXPECT_DOUBLE_EQ(d->getXPos(), 310);

    // Dropping onto oneself starts the animation but nests nothing.
    auto* e = t.add(new RecordingComposite(&t.vis, 10, 10, 500, 500));
    e->processDropping(e->getColorVector(), 500, 500);
    EXPECT_EQ(e->getParent(), nullptr);
}

TEST(SavedAttributes, ChildReturnsToItsSizeWhenTakenOut)
{
    Table t;
    auto* box = t.add(new RecordingComposite(&t.vis, 300, 300, 150, 150));
    auto* c = t.add(new RecordingLeaf(&t.vis, 40, 20, 100, 100));
    box->addChild(c);
    c->setSize(80, 80);
    box->removeChild(c);
    EXPECT_DOUBLE_EQ(c->getWidth(), 40);
    EXPECT_DOUBLE_EQ(c->getHeight(), 20);
    EXPECT_DOUBLE_EQ(c->getRealWidth(), 40);
    EXPECT_DOUBLE_EQ(c->getSurface(), 800);
}

TEST(SavedAttributes, AnimatingControllerRestoresTheSizeOverFiftyFrames)
{
    Table t;
    t.vis.setAnimating(true);
    auto* box = t.add(new RecordingComposite(&t.vis, 300, 300, 150, 150));
    auto* c = t.add(new FollowingLeaf(&t.vis, 40, 20, 100, 100));
    box->addChild(c);
    c->setSize(80, 80);
    box->removeChild(c);
    EXPECT_DOUBLE_EQ(c->getWidth(), 80); // not yet
    EXPECT_DOUBLE_EQ(c->getAnimationProgress(), 0.0);
    for (int frame = 0; frame < 60; ++frame) c->renderWithAnimation(1.0);
    EXPECT_NEAR(c->getWidth(), 40, 1e-6);
    EXPECT_NEAR(c->getHeight(), 20, 1e-6);
    EXPECT_EQ(c->ended, 1);
}

// --- buffer-driven animation ---

TEST(FieldAnimation, OrientationVectorsGiveTargetAngles)
{
    const struct {
        float x, y;
        double expected;
    } rows[] = {{0, 1, 0}, {1, 0, 270}, {-1, 0, 90}, {0, -1, 180}};
    for (const auto& row : rows) {
        Table t;
        auto* box = t.add(new FieldContainer(&t.vis, 100, 100, 50, 50));
        box->addField(ORIENTATION_BUFFER, 2, row.x, row.y);
        auto* c = t.add(new FollowingLeaf(&t.vis, 10, 10, 50, 50));
        c->rotate(45);
        box->addChild(c);
        c->initiateAnimationToNewStates(1.0);
        c->animateMyself(1.0);
        EXPECT_NEAR(c->getRotation(), row.expected, 1e-4) << row.x << "," << row.y;
    }
}

TEST(FieldAnimation, DirectionMovesAndAbsoluteSizeGrows)
{
    Table t;
    auto* box = t.add(new FieldContainer(&t.vis, 200, 200, 100, 100));
    box->addField(DIRECTION_BUFFER, 2, 2, 0);
    box->addField(ABSOLUTE_SIZE_BUFFER, 1, 60);
    box->rotate(90); // the flow turns with the container
    auto* c = t.add(new FollowingLeaf(&t.vis, 20, 20, 100, 100));
    box->addChild(c);
    c->initiateAnimationToNewStates(0.0);
    c->animateMyself(0.5);
    EXPECT_NEAR(c->getXPos(), 100, 1e-9);
    EXPECT_NEAR(c->getYPos(), 101, 1e-9);
    EXPECT_NEAR(c->getWidth(), 20, 1e-9); // progress 0: no size change yet
    for (int i = 0; i < 60; ++i) c->animateMyself(0.0);
    EXPECT_NEAR(c->getWidth(), 60, 1e-6);
    EXPECT_NEAR(c->getHeight(), 60, 1e-6);
    EXPECT_EQ(c->ended, 1);
}

TEST(FieldAnimation, MagnificationThresholdsDifferBetweenTheTwoAnimations)
{
    const struct {
        float m;
        bool animated;
        bool constant;
    } rows[] = {{1.000005f, false, false}, {1.003f, true, false}, {1.2f, true, true}};
    for (const auto& row : rows) {
        Table t;
        auto* box = t.add(new FieldContainer(&t.vis, 100, 100, 50, 50));
        box->addField(RELATIVE_SIZE_BUFFER, 1, row.m);
        auto* a = t.add(new FollowingLeaf(&t.vis, 10, 10, 50, 50));
        auto* b = t.add(new FollowingLeaf(&t.vis, 10, 10, 50, 50));
        box->addChild(a);
        box->addChild(b);
        a->animateMyself(1.0);
        b->doConstantAnimations(1.0);
        EXPECT_EQ(a->isCurrentlyMagnified(), row.animated) << row.m;
        EXPECT_EQ(b->isCurrentlyMagnified(), row.constant) << row.m;
        if (row.constant) {
            EXPECT_NEAR(b->getWidth(), 12, 1e-5);
        }
    }
}

TEST(FieldAnimation, NestedOrTossedChildrenIgnoreTheFields)
{
    Table t;
    auto* outer = t.add(new RecordingComposite(&t.vis, 400, 400, 200, 200));
    auto* box = t.add(new FieldContainer(&t.vis, 200, 200, 200, 200));
    box->addField(DIRECTION_BUFFER, 2, 3, 0);
    auto* c = t.add(new FollowingLeaf(&t.vis, 20, 20, 200, 200));
    box->addChild(c);
    outer->addChild(box);
    c->animateMyself(1.0);
    EXPECT_DOUBLE_EQ(c->getXPos(), 200);
}
