// Component tree, geometry, size setters and component buffers.
#include "OutputCapture.h"
#include "TestComponents.h"
#include "vis/TabletopVis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

const std::string kWidthError = "Error: invalid initial width of component (width is 0 or less)\n";
const std::string kHeightError =
    "Error: invalid initial height of component (height is 0 or less)\n";

// Registers every component it makes with the controller.
struct Table {
    TabletopVis vis;
    template <class T = RecordingLeaf> T* add(double w, double h, double x = 0, double y = 0)
    {
        auto* c = new T(&vis, w, h, x, y);
        vis.addComponent(c, false);
        return c;
    }
    RecordingComposite* box(double w = 100, double h = 100, double x = 0, double y = 0)
    {
        return add<RecordingComposite>(w, h, x, y);
    }
};

} // namespace

// --- construction and buffer geometry ---

TEST(VisComponentConstruction, GeometryBufferCellsAndSizeErrors)
{
    EXPECT_EQ(RecordingLeaf(nullptr, 0.4, 1).getBufferWidth(), 2u);
    RecordingLeaf off(nullptr, 10, 10, 3.4, 8.6);
    EXPECT_EQ(off.getBufferXCoordinateFromLocal(10.0), 11u);
    EXPECT_EQ(off.getBufferYPos(), 10u);

    // Non-positive sizes are reported, and kept.
    OutputCapture out;
    RecordingLeaf bad(nullptr, 0, -1);
    EXPECT_EQ(out.take(), kWidthError + kHeightError);
    EXPECT_DOUBLE_EQ(bad.getHeight(), -1);
}

// --- coordinates ---

TEST(VisComponentCoordinates, QuarterTurnAndTemporaryRotation)
{
    RecordingComposite turned(nullptr, 20, 20, 100, 100);
    turned.rotate(90);
    double lx = 0, ly = 0;
    turned.getLocalCoordinates(100, 110, 20, 20, &lx, &ly);
    EXPECT_NEAR(lx, 20, 1e-9);
    EXPECT_NEAR(ly, 10, 1e-9);

    // A temporary rotation replaces the rotation only while active.
    RecordingLeaf c(nullptr, 20, 20, 0, 0);
    c.rotate(10);
    c.setTemporaryRotation(400);
    EXPECT_DOUBLE_EQ(c.getRotation(), 10);
    c.setTemporaryRotationActive(true);
    c.getLocalCoordinates(10, 0, 20, 20, &lx, &ly); // 400 degrees = 40 degrees
    EXPECT_NEAR(lx, 10 + 10 * std::cos(-40 * M_PI / 180), 1e-9);
}

// --- tree ---

TEST(VisComponentTree, LocalRenderListFollowsAddsFrontMovesRemovalsAndMovesBetweenParents)
{
    Table t;
    RecordingComposite* box = t.box();
    RecordingLeaf* a = t.add(10, 10);
    RecordingLeaf* b = t.add(10, 10);
    RecordingLeaf* c = t.add(10, 10);
    for (RecordingLeaf* child : {a, b, c}) ASSERT_EQ(box->addChild(child), 1);
    EXPECT_EQ(box->addChild(a), 0); // already a child
    box->moveToRenderFront(b);
    ASSERT_EQ(box->removeChild(c), 1);
    EXPECT_EQ(box->removeChild(c), 0);
    box->moveToRenderFront(a);
    box->addChild(c); // the newest child is at the front (drawn on top)
    EXPECT_EQ(box->getLocalRenderList(), (std::list<VisComponent*>{c, a, b}));

    // Adding a child of another composite moves it; children outliving their composite can
    // join another one.
    RecordingComposite* other = t.box();
    ASSERT_EQ(other->addChild(a), 1);
    EXPECT_EQ(box->getLocalRenderList(), (std::list<VisComponent*>{c, b}));
    t.vis.deleteComponent(box);
    ASSERT_EQ(other->addChild(b), 1);
    other->moveToRenderFront(a);
    other->removeChild(a);
    EXPECT_EQ(other->getLocalRenderList(), (std::list<VisComponent*>{b}));
}

TEST(VisComponentTree, RefusalsRemovalAndDestruction)
{
    Table t;
    RecordingComposite* box = t.box();
    RecordingLeaf* loner = t.add(10, 10);
    loner->nesting = false;
    EXPECT_EQ(box->addChild(loner), 0);
    EXPECT_EQ(box->addChild(nullptr), 0);
    EXPECT_EQ(loner->addChild(box), 0); // a leaf has no children

    RecordingLeaf* c = t.add(10, 10);
    EXPECT_EQ(box->removeChildFromParentAndController(c), 0); // not a child
    box->addChild(c);
    EXPECT_EQ(box->removeChildFromParentAndController(c), 1);

    // Destroying a child detaches it from its parent.
    box->addChild(c);
    t.vis.deleteComponent(c);
    EXPECT_TRUE(box->getLocalRenderList().empty());
}

TEST(VisComponentTree, ReleaseAllChildrenQueuesThemForDropping)
{
    Table t;
    RecordingComposite* box = t.box(100, 100, 50, 50);
    RecordingLeaf* a = t.add(10, 10, 40, 45);
    box->addChild(a);
    box->addChild(t.add(10, 10, 60, 55));
    box->releaseAllChildren();
    ASSERT_EQ(t.vis.droppingListSize(), 2u);
    EXPECT_EQ(t.vis.getElementFromDroppingListAndDeleteIt(), a);
    EXPECT_DOUBLE_EQ(a->getPointerYPos(), 45);
}

// --- render order ---

TEST(VisComponentRenderOrder, ChildrenDrawBackToFrontAndPickEvenUnderAnInactiveParent)
{
    Table t;
    std::vector<std::string> log;
    RecordingComposite* box = t.box();
    RecordingLeaf* a = t.add(10, 10);
    RecordingLeaf* b = t.add(10, 10);
    const std::pair<RecordingLeaf*, const char*> named[] = {{box, "box"}, {a, "a"}, {b, "b"}};
    for (const auto& [c, name] : named) {
        c->log = &log;
        c->name = name;
    }
    box->addChild(a);
    box->addChild(b);
    box->render();
    EXPECT_EQ(log, (std::vector<std::string>{"render box", "render a", "render b"}));
    box->moveToRenderFront(a);
    log.clear();
    box->deactivate();
    box->renderForPicking(true);
    EXPECT_EQ(log, (std::vector<std::string>{"pick b", "pick a"}));

    log.clear();
    box->deactivateForRendering();
    box->render();
    EXPECT_TRUE(log.empty());

    // Moving to the front of an empty list is reported.
    RecordingComposite empty(nullptr, 100, 100);
    OutputCapture out;
    empty.moveToRenderFront(a);
    EXPECT_EQ(out.take(), "Error. Could not move component to front of render list.\n");
}

// --- size setters and relocation ---

namespace {
class MagnifyingLeaf : public RecordingLeaf {
public:
    using RecordingLeaf::RecordingLeaf;
    bool isResizingReal() override { return false; }
};
} // namespace

TEST(VisComponentSize, RealResizeChangesBuffersDisplayOnlyResizeScales)
{
    RecordingLeaf c(nullptr, 10, 20);
    c.setSize(30, 5);
    EXPECT_EQ(c.getBufferHeight(), 7u);

    MagnifyingLeaf m(nullptr, 10, 20);
    m.setSize(20, 60);
    EXPECT_EQ(m.getBufferWidth(), 12u);
    EXPECT_DOUBLE_EQ(m.getYScale(), 3.0);
    // A magnified component addresses the cells of its unmagnified size.
    EXPECT_EQ(m.getBufferXCoordinateFromLocal(20.0), 11u);

    OutputCapture out;
    c.setSize(0, 0);
    c.setSquareSize(-1);
    EXPECT_EQ(out.take(), kWidthError + kHeightError + kWidthError);
}

TEST(VisComponentSize, ChildrenAreRelocatedAndScaledWithTheParent)
{
    Table t;
    RecordingComposite* box = t.box(100, 100, 200, 200);
    RecordingLeaf* aligned = t.add(10, 20, 225, 210);
    RecordingLeaf* turned = t.add(10, 20, 175, 190);
    box->addChild(aligned);
    box->addChild(turned);
    turned->rotate(90);

    box->setWidth(200); // grows only in width

    // Positions keep their relative place: x offsets double, y offsets stay.
    EXPECT_NEAR(aligned->getYPos(), 210, 1e-9);
    EXPECT_NEAR(turned->getXPos(), 150, 1e-9);
    // The aligned child grows in width, the turned one in (its own) height.
    EXPECT_NEAR(aligned->getWidth(), 20, 1e-9);
    EXPECT_NEAR(turned->getHeight(), 40, 1e-9);

    // Only when the composite asks for it.
    RecordingComposite* fixed = t.box();
    fixed->relocate = false;
    RecordingLeaf* child = t.add(10, 10, 20, 0);
    fixed->addChild(child);
    fixed->setSize(300, 300);
    EXPECT_DOUBLE_EQ(child->getXPos(), 20);

    // A turned parent: the child sat 20 along the parent's x axis; that doubles to 40.
    RecordingComposite* upright = t.box(100, 50);
    RecordingLeaf* aligned2 = t.add(10, 10, 0, 20);
    upright->rotate(90);
    upright->addChild(aligned2);
    aligned2->rotate(90); // aligned with the parent
    upright->setSize(200, 50);
    EXPECT_NEAR(aligned2->getYPos(), 40, 1e-9);
}

// --- component buffers ---

TEST(VisComponentBuffers, SubscribedTagsConnectFollowRecreationAndDisconnect)
{
    Table t;
    RecordingComposite* box = t.box();
    box->bufferTags = {DIRECTION_BUFFER, COLOR_BUFFER};
    box->recreateActiveBuffers();
    RecordingLeaf* child = t.add(10, 10);
    child->setPassiveBuffer(ABSOLUTE_SIZE_BUFFER, nullptr);
    child->setPassiveBuffer(DIRECTION_BUFFER, nullptr);

    box->addChild(child);
    EXPECT_EQ(child->getPassiveBufferAs<int>(DIRECTION_BUFFER), nullptr); // wrong type
    EXPECT_EQ(child->getPassiveBuffers()->count(COLOR_BUFFER), 0u);

    // Recreating the grids points the children at the new ones.
    box->setSize(200, 150);
    box->recreateActiveBuffers();
    IBuffer* fresh = box->getActiveBuffer(DIRECTION_BUFFER);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(child->getPassiveBuffer(DIRECTION_BUFFER), fresh);

    box->removeChild(child);
    EXPECT_EQ(child->getPassiveBuffer(DIRECTION_BUFFER), nullptr);
}

TEST(VisComponentBuffers, RenderIntoBuffersReachesDirectChildrenOnly)
{
    struct Counting : RecordingComposite {
        using RecordingComposite::RecordingComposite;
        int filled = 0;
        void renderIntoBuffers() override { ++filled; }
    };
    Table t;
    auto* top = t.add<Counting>(100, 100);
    auto* mid = t.add<Counting>(50, 50);
    auto* low = t.add<Counting>(10, 10);
    top->addChild(mid);
    mid->addChild(low);
    top->renderMeAndMyChildrenIntoBuffers();
    EXPECT_EQ(mid->filled, 1);
    EXPECT_EQ(low->filled, 0);
}
