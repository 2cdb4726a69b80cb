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
        for (BUFFERTAG tag : {DIRECTION_BUFFER, ABSOLUTE_SIZE_BUFFER, RELATIVE_SIZE_BUFFER, ORIENTATION_BUFFER,
                              TEMPORARY_ORIENTATION_BUFFER})
            setPassiveBuffer(tag, nullptr);
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
    using RecordingComposite::RecordingComposite;
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

// Feeds three pointer samples along y and starts a toss.
void toss(VisComponent& c, double x0, double x1, double x2, double y = 100)
{
    c.setPointerPos(x0, y);
    c.setPointerPos(x1, y);
    c.setPointerPos(x2, y);
    c.setTossingNow(true);
}

struct Table {
    TabletopVis vis{1, 100, 100, 1024, 768};
    template <class T> T* add(T* c) { vis.addComponent(c, false); return c; }
};

} // namespace

// --- rotate-and-translate ---

TEST(RotateAndTranslate, DragOutcomes)
{
    // A 40 x 40 component at (100, 100), grabbed at `from` and dragged to `to`.
    const double towardsCentre = 100 + 20 * (std::sqrt(800.0) - 20) / 20; // moved by D0 - L
    const struct { const char* name; bool rnt, veto; double fromX, fromY, toX, toY; double x, y, rotation; } rows[] = {
        {"straight towards the centre only translates", true, false, 120, 100, 110, 100, 90, 100, 0},
        {"sideways turns counter-clockwise", true, false, 120, 100, 120, 120, towardsCentre, 100, 45},
        {"switched off only translates", false, false, 120, 100, 130, 125, 110, 125, 0},
        {"vetoed rotation only translates", true, true, 120, 100, 120, 120, 100, 120, 0},
        {"grabbed at the exact centre", true, false, 100, 100, 130, 90, 130, 90, 0},
        {"moved onto the exact centre", true, false, 120, 100, 100, 100, 80, 100, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        RecordingLeaf c(nullptr, 40, 40, 100, 100);
        c.setRNTActive(r.rnt);
        c.vetoRotation = r.veto;
        c.initializeRNT(r.fromX, r.fromY);
        c.moveWithRNTFromTo(r.fromX, r.fromY, r.toX, r.toY);
        EXPECT_NEAR(c.getXPos(), r.x, 1e-9);
        EXPECT_NEAR(c.getYPos(), r.y, 1e-9);
        EXPECT_NEAR(c.getRotation(), r.rotation, 1e-9);
        // The drag goes on normally afterwards, even from the centre.
        c.moveWithRNTFromTo(r.toX, r.toY, r.toX, r.toY + 20);
        EXPECT_TRUE(std::isfinite(c.getXPos()) && std::isfinite(c.getRotation()));
    }
}

TEST(RotateAndTranslate, RotationWrapsAndSubtreeTurnsAndMovesRigidly)
{
    RecordingLeaf leaf(nullptr, 10, 10);
    leaf.rotate(5);
    leaf.rotate(-10);
    EXPECT_DOUBLE_EQ(leaf.getRotation(), 355);

    Table t;
    auto* box = t.add(new RecordingComposite(&t.vis, 100, 100, 100, 100));
    auto* child = t.add(new RecordingLeaf(&t.vis, 10, 10, 130, 100));
    box->addChild(child);
    box->rotate(90);
    EXPECT_NEAR(child->getYPos(), 130, 1e-9);
    EXPECT_DOUBLE_EQ(child->getRotation(), 90);
    box->moveBy(5, -5);
    box->moveBy(5, 0, false); // the children stay
    EXPECT_NEAR(child->getXPos(), 105, 1e-9);
    EXPECT_NEAR(box->getXPos(), 110, 1e-9);
}

// --- interactive resizing ---

TEST(InteractiveResize, FromTheCentreWithTheBorderMinimumAndFromACorner)
{
    Table t;
    RecordingLeaf c(&t.vis, 40, 20, 100, 100);
    c.interactiveResizeCenter(130, 140);
    EXPECT_DOUBLE_EQ(c.getHeight(), 80);
    c.interactiveResizeCenter(101, 101); // raised to twice the border width of 15
    EXPECT_DOUBLE_EQ(c.getWidth(), 30);

    // From a corner the opposite edges stay where they were.
    for (double r : {0.0, 200.0}) {
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

TEST(Tossing, ReleaseThresholdAndTheScreenEdge)
{
    // At 50 frames per second the squared displacement must exceed 84; with the parameters
    // (1.0, 0.15) a step moves half the last two samples' motion.
    const struct { const char* name; bool stepped; double x, s0, s1, s2; bool tossing; double endX; } rows[] = {
        {"slow release drops", false, 0, 0, 5, 9, false, 0}, {"fast release tosses", false, 0, 0, 5, 10, true, 0},
        {"step onto the screen edge continues", true, 1014, 994, 1004, 1014, true, 1024},
        {"step beyond the edge stops", true, 1014, 992, 1003, 1014, false, 1014}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Table t;
        if (r.stepped) t.vis.setTossingParameters(1.0, 0.15);
        RecordingLeaf c(&t.vis, 10, 10, r.x, 100);
        toss(c, r.s0, r.s1, r.s2);
        if (r.stepped) c.tossComponent();
        EXPECT_EQ(c.getTossingNow(), r.tossing);
        EXPECT_NEAR(c.getXPos(), r.endX, 1e-9);
        EXPECT_EQ(t.vis.getElementFromDroppingListAndDeleteIt(), r.tossing ? nullptr : &c);
    }

    // A component that may not be tossed stops at the first step.
    Table t;
    RecordingLeaf fixed(&t.vis, 10, 10, 100, 100, true, false);
    toss(fixed, 0, 50, 100);
    ASSERT_TRUE(fixed.getTossingNow());
    fixed.tossComponent();
    EXPECT_FALSE(fixed.getTossingNow());
    EXPECT_DOUBLE_EQ(fixed.getXPos(), 100);
}

TEST(Tossing, SlowsDownUntilTheCutOffAndFollowsTheParentsFriction)
{
    Table t;
    auto* rink = t.add(new FieldContainer(&t.vis, 1000, 700, 512, 384));
    rink->addField(TOSSING_FRICTION_BUFFER, 1, 1.6f); // step = motion over two samples * 0.8
    auto* puck = t.add(new RecordingLeaf(&t.vis, 10, 10, 500, 400));
    rink->addChild(puck);
    toss(*puck, 480, 490, 500, 400);
    puck->tossComponent();
    EXPECT_NEAR(puck->getPointerXPos(), 516, 1e-5);

    RecordingLeaf plain(&t.vis, 10, 10, 500, 400);
    toss(plain, 480, 490, 500, 400);
    for (int steps = 0; plain.getTossingNow() && steps < 1000; ++steps) plain.tossComponent();
    EXPECT_FALSE(plain.getTossingNow());
    EXPECT_GT(plain.getXPos(), 500);
}

// --- dropping and saved attributes ---

TEST(Dropping, IntoTheContainerUnderThePointOrOutOfItsContainer)
{
    Table t;
    auto* box = t.add(new FieldContainer(&t.vis, 100, 100, 50, 50));
    box->addField(ABSOLUTE_SIZE_BUFFER, 1, 30);
    auto* c = t.add(new RecordingLeaf(&t.vis, 10, 10, 45, 52));
    unsigned char* colour = box->getColorVector();
    c->processDropping(colour, 60, 40);
    EXPECT_DOUBLE_EQ(c->getXPos(), 60); // placed where it was dropped
    EXPECT_TRUE(c->isAnimatingToNewStates());

    // A container without fields keeps the child where it is.
    auto* plainBox = t.add(new RecordingComposite(&t.vis, 100, 100, 300, 300));
    auto* d = t.add(new RecordingLeaf(&t.vis, 10, 10, 310, 290));
    d->processDropping(plainBox->getColorVector(), 320, 320);
    EXPECT_DOUBLE_EQ(d->getXPos(), 310);

    // Dropping onto oneself starts the animation but nests nothing.
    auto* e = t.add(new RecordingComposite(&t.vis, 10, 10, 500, 500));
    e->processDropping(e->getColorVector(), 500, 500);
    EXPECT_EQ(e->getParent(), nullptr);

    // Dropped onto nothing, a child leaves its container; without a parent nothing is said.
    unsigned char nothing[3] = {0, 0, 0}, white[3] = {0xFF, 0xFF, 0xFF};
    for (unsigned char* background : {nothing, white}) {
        plainBox->addChild(d);
        OutputCapture out;
        d->processDropping(background, 50, 50);
        EXPECT_EQ(out.take(), "Child removed.\n");
        EXPECT_EQ(d->getParent(), nullptr);
    }
    OutputCapture quiet;
    d->processDropping(white, 50, 50);
    EXPECT_EQ(quiet.take(), "");
}

TEST(SavedAttributes, ChildReturnsToItsSizeWhenTakenOutAtOnceOrOverFiftyFrames)
{
    for (bool animating : {false, true}) {
        SCOPED_TRACE(animating);
        Table t;
        t.vis.setAnimating(animating);
        auto* box = t.add(new RecordingComposite(&t.vis, 300, 300, 150, 150));
        auto* c = t.add(new FollowingLeaf(&t.vis, 40, 20, 100, 100));
        box->addChild(c);
        c->setSize(80, 80);
        box->removeChild(c);
        for (int frame = 0; animating && frame < 60; ++frame) c->renderWithAnimation(1.0);
        EXPECT_EQ(c->ended, animating ? 1 : 0);
        EXPECT_NEAR(c->getRealWidth(), 40, 1e-6);
    }
}

// --- buffer-driven animation ---

TEST(FieldAnimation, OrientationVectorsGiveTargetAngles)
{
    const struct { float x, y; double expected; } rows[] = {{0, 1, 0}, {1, 0, 270}, {-1, 0, 90}, {0, -1, 180}};
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

TEST(FieldAnimation, DirectionMovesAbsoluteSizeGrowsNestedChildrenIgnoreFields)
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
    for (int i = 0; i < 60; ++i) c->animateMyself(0.0);
    EXPECT_NEAR(c->getHeight(), 60, 1e-6);
    EXPECT_EQ(c->ended, 1);

    // A child of a nested container ignores the fields.
    auto* outer = t.add(new RecordingComposite(&t.vis, 400, 400, 600, 200));
    auto* inner = t.add(new FieldContainer(&t.vis, 200, 200, 600, 200));
    inner->addField(DIRECTION_BUFFER, 2, 3, 0);
    auto* nested = t.add(new FollowingLeaf(&t.vis, 20, 20, 600, 200));
    inner->addChild(nested);
    outer->addChild(inner);
    nested->animateMyself(1.0);
    EXPECT_DOUBLE_EQ(nested->getXPos(), 600);
}

TEST(FieldAnimation, MagnificationThresholdsDifferBetweenTheTwoAnimations)
{
    const struct { float m; bool animated; bool constant; } rows[] = {
        {1.000005f, false, false}, {1.003f, true, false}, {1.2f, true, true}};
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
