// The controller without a graphics context: registry, pointer state, switches, timing.
#include "OutputCapture.h"
#include "../core/TestComponents.h"

#include "core/BufferTemplate.h"
#include "vis/TabletopVis.h"
#include "vis/TouchIndicator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <vector>

namespace {

// Exposes the protected machinery and replaces the clock.
class TestVis : public TabletopVis {
public:
    using TabletopVis::TabletopVis;
    unsigned long now = 0;
    void useFakeClock() { tickSource = [this] { return now; }; }
    void setNextComponentId(unsigned long id) { nextComponentId = id; }
    void setIndicator(unsigned int user, TouchIndicator* t) { touchIndicators[user] = t; }
    using TabletopVis::checkForResize;
    using TabletopVis::measureSpentTime;
    using TabletopVis::placeLensAboveControlSurface;
    using TabletopVis::deleteLastComponentOfType;
    using TabletopVis::activateComponentsOfType;
    ~TestVis() override
    {
        for (TouchIndicator*& t : touchIndicators) {
            delete t;
            t = nullptr;
        }
    }
};

class ResizingLeaf : public RecordingLeaf {
public:
    using RecordingLeaf::RecordingLeaf;
    int rebuilt = 0;
    bool isResizing() override { return true; }
    void rebuildGraphicRepresentation() override { ++rebuilt; }
};

class FakeSurface : public RecordingComposite {
public:
    using RecordingComposite::RecordingComposite;
};

// Makes a component and registers it with the controller.
template <class T = RecordingLeaf> T* add(TabletopVis& vis, bool drop = false)
{
    auto* c = new T(&vis, 10, 10);
    vis.addComponent(c, drop);
    return c;
}

void frames(TestVis& vis, int count, unsigned long milliseconds)
{
    for (int i = 0; i < count; ++i) {
        vis.now += milliseconds;
        vis.measureSpentTime();
    }
}

} // namespace

TEST(TabletopVisTest, IdsAreColoursFreedOnesAreReusedAndTheLimitLeavesAComponentUnregistered)
{
    TestVis vis;
    // Ids count from 1; freed ids are reused most recent first.
    for (int i = 0; i < 8; ++i) add(vis);
    vis.deleteComponent(vis.getComponent(5));
    vis.deleteComponent(vis.getComponent(7));
    EXPECT_EQ(add(vis)->getId(), 7u);
    EXPECT_EQ(add(vis)->getId(), 5u);
    EXPECT_EQ(add(vis)->getId(), 9u);

    vis.setNextComponentId(0x010203);
    RecordingLeaf* other = add(vis);
    EXPECT_EQ(std::vector<unsigned char>(other->getColorVector(), other->getColorVector() + 4),
              (std::vector<unsigned char>{3, 2, 1, 1}));
    EXPECT_EQ(vis.determineIdFromColor(3, 2, 1), 0x010203u);

    vis.setNextComponentId(0xFFFFFF);
    EXPECT_EQ(add(vis)->getId(), 0xFFFFFFu);
    auto extra = std::make_unique<RecordingLeaf>(&vis, 10, 10);
    OutputCapture out;
    vis.addComponent(extra.get(), false);
    EXPECT_EQ(out.take(), "Error: Maximum number of components reached! Cannot add more! JEEZ!\n");
    EXPECT_EQ(vis.countComponents(), 11u);
}

TEST(TabletopVisTest, DeleteLastAndTypedDeletionTakeTheHighestId)
{
    TestVis vis;
    auto* s1 = add<FakeSurface>(vis);
    add(vis);
    add<FakeSurface>(vis);
    add(vis);

    vis.deleteLastComponentOfType<FakeSurface>();
    vis.deleteLastComponent();
    EXPECT_TRUE(vis.getComponent(2) && !vis.getComponent(3) && !vis.getComponent(4));

    s1->deactivate();
    vis.activateComponentsOfType<FakeSurface>();
    // Activation shows in picking: an inactive component is not drawn for picking.
    s1->renderForPicking(false);
    EXPECT_EQ(s1->picks, 1);
}

TEST(TabletopVisTest, DeletingAQueuedOrActiveComponentLeavesNoDanglingReference)
{
    TestVis vis(2);
    RecordingLeaf* c = add(vis, true);
    vis.addToDeletingList(c);
    vis.setActiveComponent(1, c);
    vis.setLastComponent(c);
    vis.deleteComponent(c);
    EXPECT_EQ(vis.droppingListSize(), 0u);
    EXPECT_EQ(vis.deletingListSize(), 0u);
    EXPECT_EQ(vis.getActiveComponent(1), nullptr);
    EXPECT_EQ(vis.getLastComponent(0), nullptr);
}

// Writes its name to the log when it is destroyed.
template <class Base> class Mortal : public Base {
public:
    using Base::Base;
    ~Mortal() override
    {
        if (this->log) this->log->push_back("~" + this->name);
    }
};

TEST(TabletopVisTest, RemovingEverythingDeletesChildrenBeforeTheirParents)
{
    TestVis vis;
    std::vector<std::string> log;
    auto make = [&](auto* c, const char* name, VisComponent* parent) {
        c->log = &log;
        c->name = name;
        vis.addComponent(c, false);
        if (parent) parent->addChild(c);
        return c;
    };
    auto* top = make(new Mortal<RecordingComposite>(&vis, 40, 40), "top", nullptr);
    top->bufferTags = {DIRECTION_BUFFER};
    top->recreateActiveBuffers();
    auto* middle = make(new Mortal<RecordingComposite>(&vis, 20, 20), "middle", top);
    make(new Mortal<RecordingLeaf>(&vis, 5, 5), "inner", middle);
    make(new Mortal<RecordingLeaf>(&vis, 5, 5), "child", top);
    make(new Mortal<RecordingLeaf>(&vis, 5, 5), "free", nullptr);
    // A child the controller does not know survives the teardown, let go by its parent.
    RecordingLeaf unregistered(&vis, 5, 5);
    unregistered.setPassiveBuffer(DIRECTION_BUFFER, nullptr);
    top->addChild(&unregistered);

    vis.removeAllComponents();
    EXPECT_EQ(log, (std::vector<std::string>{"~inner", "~child", "~free", "~middle", "~top"}));
    EXPECT_EQ(unregistered.getParent(), nullptr);
    EXPECT_EQ(unregistered.getPassiveBuffer(DIRECTION_BUFFER), nullptr);
}

TEST(TabletopVisTest, TextureQualitySwitchesCoupleTheirPairs)
{
    using V = TabletopVis;
    const struct { void (V::*op)(bool); bool on; std::vector<bool> expected; } rows[] = {
        {&V::enableMipMapping, false, {false, false, false, false}},
        {&V::enableLinearFiltering, true, {true, true, false, false}},
        {&V::enableTextureCompression, false, {false, false, false, false}},
        {&V::enableARBTextureCompression, true, {false, false, true, true}}};
    for (const auto& row : rows) {
        TestVis vis;
        OutputCapture quiet;
        (vis.*row.op)(row.on);
        EXPECT_EQ((std::vector<bool>{vis.isMipMapping(), vis.isLinearFiltering(), vis.isTextureCompression(),
                                     vis.isARBTextureCompression()}), row.expected);
    }
}

TEST(TabletopVisTest, FrameRateIsTheMeanOfTheLastTenFramesWithoutPausedTime)
{
    TestVis vis;
    vis.useFakeClock();
    frames(vis, 10, 20); // 50 frames per second
    EXPECT_DOUBLE_EQ(vis.getCurrentFPS(), 50.0);
    frames(vis, 5, 60); // five slow frames replace five fast ones: mean 40 ms
    EXPECT_DOUBLE_EQ(vis.getCurrentFPS(), 25.0);
    frames(vis, 10, 20);

    // Paused time does not count as frame time.
    vis.now += 5;
    vis.pushTimeState();
    vis.now += 3000;
    vis.popTimeState();
    vis.now += 15;
    vis.measureSpentTime();
    EXPECT_DOUBLE_EQ(vis.getCurrentFPS(), 50.0);
    // An unmatched pop changes nothing.
    vis.popTimeState();
    frames(vis, 1, 20);
    EXPECT_DOUBLE_EQ(vis.getCurrentFPS(), 50.0);
}

TEST(TabletopVisTest, TimeStepFollowsTheFrameRateAndIsCapped)
{
    const struct { double fps, expected; } rows[] = {{25.0, 2.0}, {5.0, 4.0}, {0.5, 1.0}, {100.0, 0.5}};
    for (const auto& row : rows)
        EXPECT_DOUBLE_EQ(TabletopVis::computeTimeStep(row.fps, 50.0), row.expected) << row.fps;
}

TEST(TabletopVisTest, ScreenSizeZeroKeepsADimensionAndResizeRebuildsOnce)
{
    TestVis vis(1, 100, 100, 640, 400);
    auto* r = new ResizingLeaf(&vis, 10, 10);
    vis.addComponent(r, false);
    add(vis);
    vis.checkForResize();
    vis.checkForResize();
    EXPECT_EQ(r->rebuilt, 1);

    vis.setScreensize(0, 480);
    EXPECT_EQ(vis.getScreenWidth(), 640u);
    vis.checkForResize();
    vis.checkForResize();
    EXPECT_EQ(r->rebuilt, 2);
}

TEST(TabletopVisTest, PointerCycleAndTouchBounds)
{
    TestVis vis(2, 100, 100, 800, 600);
    vis.devicePress(10, 20, 0, 1);
    EXPECT_TRUE(vis.getDoPainting(1) && vis.getIsPicking(1) && !vis.getDoPainting(0));
    vis.deviceMove(800, 600, 0, 1);
    EXPECT_TRUE(vis.checkDoDrawingForUser(1)); // edges included
    vis.deviceMove(801, 600, 0, 1);
    EXPECT_FALSE(vis.checkDoDrawingForUser(1));

    // Non-positive bounds are ignored.
    vis.setTouchBoundWidth(1, 12.0);
    vis.setTouchBoundWidth(1, -3.0);
    vis.setTouchBoundWidth(1, 0.0);
    EXPECT_EQ(vis.getTouchBoundWidth(1), 12.0);

    vis.deviceRelease(30, 40, 0, 1);
    EXPECT_FALSE(vis.getDoPainting(1) || vis.getDeviceIsPressed(1));
    EXPECT_EQ(vis.getPosYToPaint(1), 40u);
    EXPECT_EQ(vis.getTouchBoundWidth(1), 0.0);
}

TEST(TabletopVisTest, TouchIndicatorFollowsThePointerWithCrossedScaleFactors)
{
    TestVis vis(1, 100, 100, 800, 600);
    auto* t = new TouchIndicator(0, 0, 1, 0, 2.0, 20.0);
    vis.setIndicator(0, t);
    vis.setScaleFactorExtendWidth(2.0);
    vis.setScaleFactorExtendHeight(3.0);
    vis.devicePress(50, 60, 0, 0);
    vis.setTouchBoundWidth(0, 10.0);
    vis.setTouchBoundHeight(0, 4.0);
    vis.moveTouchIndicator(0);
    vis.resizeTouchIndicator(0);
    EXPECT_EQ(t->getPixelYPos(), 60u);
    EXPECT_DOUBLE_EQ(t->getBoundHeight(), 8.0);  // height by the width factor
    EXPECT_DOUBLE_EQ(t->getBoundWidth(), 30.0);  // width by the height factor
}

TEST(TabletopVisTest, RegressionPointerNumbersBeyondTheUsersOverflowedThePerUserState)
{
    // Every per-user operation an input source reaches, with a number that names no user.
    const struct { const char* name; unsigned int users, pointer; const char* message; } data[] = {
        {"second contact, one user", 1, 1, "Ignoring pointer 1: only 1 user configured\n"},
        {"mouse drag, no user", 0, 0, "Ignoring pointer 0: only 0 users configured\n"},
        {"far out of range", 2, 4294967295u, "Ignoring pointer 4294967295: only 2 users configured\n"}};
    for (const auto& d : data) {
        SCOPED_TRACE(d.name);
        TestVis vis(d.users, 100, 100, 800, 600);
        for (unsigned int u = 0; u < d.users; ++u)
            vis.setIndicator(u, new TouchIndicator(0, 0, 1, u, 2.0, 20.0));
        RecordingLeaf* leaf = add(vis);
        OutputCapture out;
        for (int round = 0; round < 2; ++round) { // the second round is dropped silently
            vis.resizeTouchIndicator(d.pointer, 0.0, 0.0);
            vis.setTouchBoundHeight(static_cast<int>(d.pointer), 10.0);
            vis.setTouchBoundWidth(static_cast<int>(d.pointer), 10.0);
            vis.devicePress(10, 20, 0, d.pointer);
            vis.deviceMove(30, 40, 0, d.pointer);
            vis.moveTouchIndicator(d.pointer);
            vis.resizeTouchIndicator(d.pointer);
            vis.renderTouchIndicatorWithExtend(static_cast<int>(d.pointer), true);
            vis.deviceRelease(30, 40, 0, d.pointer);
        }
        EXPECT_EQ(out.take(), d.message);

        // The per-frame steps and the queries see no such user.
        unsigned char pixel[3] = {1, 0, 0}; // the leaf's colour
        vis.setIsPicking(d.pointer, true);
        EXPECT_FALSE(vis.processSingleComponent(d.pointer, pixel));
        vis.setActiveComponent(d.pointer, leaf);
        vis.setLastComponent(d.pointer, leaf);
        vis.resetActiveComponent(d.pointer);
        EXPECT_FALSE(vis.checkWasDroppedByUser(d.pointer));
        vis.processDroppedComponent(d.pointer);
        EXPECT_FALSE(vis.checkDoDrawingForUser(d.pointer));
        EXPECT_FALSE(vis.getIsPicking(d.pointer));
        EXPECT_FALSE(vis.getDeviceIsPressed(d.pointer));
        EXPECT_EQ(vis.getPosXToPaint(d.pointer), 0u);
        EXPECT_EQ(vis.getTouchBoundWidth(d.pointer), 0.0);
        EXPECT_EQ(vis.getTouchIndicator(d.pointer), nullptr);
        EXPECT_EQ(vis.getLastComponent(d.pointer), nullptr);
        EXPECT_FALSE(leaf->getSelectionActive());
        // The configured users are untouched.
        for (unsigned int u = 0; u < d.users; ++u) {
            EXPECT_FALSE(vis.getDeviceIsPressed(u));
            EXPECT_EQ(vis.getPosXToPaint(u), 0u);
            EXPECT_EQ(vis.getTouchBoundHeight(u), 0.0);
            EXPECT_EQ(vis.getTouchIndicator(u)->getWidth(), 3.0);
        }
    }
}

TEST(TabletopVisTest, BufferCoordinatesScaleAndClampToTheLastCell)
{
    TestVis vis(1, 100, 50, 1000, 500);
    EXPECT_EQ((std::vector<unsigned int>{vis.getBufferXCoordinate(504), vis.getBufferXCoordinate(1000),
                                         vis.getBufferYCoordinate(250), vis.getBufferYCoordinate(500)}),
              (std::vector<unsigned int>{50, 99, 25, 49}));
}

TEST(TabletopVisTest, ControlBufferAndGlobalBuffers)
{
    TestVis vis(1, 40, 30, 100, 100);
    auto* control = bufferCast<int>(vis.getControlBuffer());
    ASSERT_NE(control, nullptr);
    BufferTemplate<float>* vec = vis.createNew2DFloatVectorImageBuffer(1024, 256);
    EXPECT_EQ(vis.countImageBuffers(), 1u); // made, not registered

    vis.setGlobalBuffer(DIRECTION_BUFFER, vec);
    EXPECT_TRUE(vis.bufferMemoryChanged());
    // 40*30 ints (4 KB after truncation) plus 1024*256*2 floats (2048 KB).
    EXPECT_EQ(vis.getAllocatedMemorySize(), 4u + 2048u);
    EXPECT_FALSE(vis.bufferMemoryChanged());

    BufferTemplate<int> stranger(1, 9);
    OutputCapture out;
    vis.deleteImageBuffer(&stranger);
    EXPECT_EQ(out.take(), "ERROR deleting buffer.\n");
    vis.deleteImageBuffer(vec);
    EXPECT_EQ(vis.getGlobalBuffer(DIRECTION_BUFFER), nullptr);
}

TEST(TabletopVisTest, ControlPointStepsAreClampedToThree)
{
    TestVis vis;
    vis.setContainerControlPointSteps(1, 2);
    EXPECT_EQ(vis.getContainerInsideControlPointSteps(), 3u);
    EXPECT_EQ(vis.getContainerOutsideControlPointSteps(), 3u);
}

TEST(TabletopVisTest, LensPlacedWhileTheSurfaceIsNotAtTheBackWarns)
{
    TestVis vis;
    add(vis);
    add<FakeSurface>(vis);
    RecordingLeaf* lens = add(vis);
    OutputCapture out;
    vis.placeLensAboveControlSurface<FakeSurface>(lens);
    EXPECT_EQ(out.take(), "control surface wasn't the last in our render list. watch the fuck out...\n");
    EXPECT_EQ(vis.getRenderList().back(), vis.getComponent(2)); // the surface, with the lens before it
    EXPECT_EQ(*std::prev(vis.getRenderList().end(), 2), lens);
}

TEST(TabletopVisTest, MoveToFrontRaisesTheChildWithinItsParent)
{
    TestVis vis;
    auto* box = add<RecordingComposite>(vis);
    RecordingLeaf* a = add(vis);
    box->addChild(a);
    box->addChild(add(vis));
    vis.moveComponentToRenderFront(a);
    EXPECT_EQ(box->getLocalRenderList().front(), a);

    OutputCapture out;
    vis.moveComponentToRenderFront(nullptr);
    EXPECT_EQ(out.take(), " Error. Could not move component to front of render list.\n");
}

TEST(TabletopVisTest, WiimoteSamplesReachTheLastTouchedComponentsAsCopies)
{
    struct WiiLeaf : RecordingLeaf {
        using RecordingLeaf::RecordingLeaf;
        WiiCommunicationData* seen = nullptr;
        void wiimoteEvent(std::vector<WiiCommunicationData::WIIMOTE_BUTTON>&, WiiCommunicationData& d) override
        {
            seen = &d;
        }
    };
    TestVis vis(2);
    auto* c = add<WiiLeaf>(vis);
    vis.setLastComponent(1, c);
    std::vector<WiiCommunicationData::WIIMOTE_BUTTON> pressed{WiiCommunicationData::A};
    WiiCommunicationData sample;
    sample.posX = 12.5f;
    vis.wiimoteEvent(2, pressed, sample); // users count from one
    ASSERT_NE(c->seen, nullptr);
    EXPECT_TRUE(c->seen != &sample && c->seen->posX == 12.5f);
}

namespace {

// The top-level order as the list rules give it, kept the plain way (searching the list), to
// check the controller's constant-time bookkeeping against.
struct OrderModel {
    std::list<VisComponent*> order;

    void add(VisComponent* c)
    {
        auto at = order.end();
        if (!c->hasStaticRenderOrder())
            while (at != order.begin() && (*std::prev(at))->hasStaticRenderOrder()) --at;
        order.insert(at, c);
    }
    // What moveComponentToRenderFront(c) does to the top-level list.
    void front(VisComponent* c)
    {
        if (c->hasStaticRenderOrder()) return;
        VisComponent* p = c->getParent();
        VisComponent* raised = p && !p->hasStaticRenderOrder() ? p : c;
        if (!order.empty() && order.front() == raised) return;
        order.remove(raised);
        order.push_front(raised);
    }
};

// A canvas-like surface: static order, its children stay in the top-level list.
struct StaticSurface : RecordingComposite {
    using RecordingComposite::RecordingComposite;
    bool hasStaticRenderOrder() override { return true; }
    bool compositeManagesLocalRenderList() override { return false; }
};

} // namespace

TEST(TabletopVisRenderOrder, RegressionSurfaceAddedFirstStaysUnderLaterComponents)
{
    // A surface that is built first (the canvas) must not be drawn over the primitives and
    // brushes registered after it: they join in front of the static block at the back.
    TabletopVis vis;
    auto* surface = add<StaticSurface>(vis);
    auto* a = add(vis, true);
    auto* b = add(vis);
    EXPECT_EQ(vis.getRenderList(), (std::list<VisComponent*>{a, b, surface}));
    auto* second = add<StaticSurface>(vis); // static ones still append at the very back
    EXPECT_EQ(vis.getRenderList().back(), second);
}

TEST(TabletopVisRenderOrder, DeletionsFrontMovesAndReparentingKeepTheListRules)
{
    TestVis vis;
    OrderModel model;
    std::vector<VisComponent*> alive;
    unsigned int seed = 12345;
    auto next = [&seed](unsigned int n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    auto forget = [&](VisComponent* c) {
        alive.erase(std::find(alive.begin(), alive.end(), c));
    };
    OutputCapture quiet;
    for (int step = 0; step < 4000; ++step) {
        const unsigned int op = next(10);
        VisComponent* c = alive.empty() ? nullptr : alive[next(static_cast<unsigned int>(alive.size()))];
        if (op <= 1 || !c) {
            const unsigned int kind = next(10);
            VisComponent* made = kind == 0   ? new StaticSurface(&vis, 10, 10)
                                 : kind <= 2 ? new RecordingComposite(&vis, 10, 10)
                                             : new RecordingLeaf(&vis, 10, 10);
            vis.addComponent(made, next(2) == 0);
            model.add(made);
            alive.push_back(made);
        } else if (op == 2 || (op == 3 && alive.size() > 40)) {
            model.order.remove(c);
            forget(c);
            vis.deleteComponent(c);
        } else if (op <= 5) {
            model.front(c);
            vis.moveComponentToRenderFront(c);
        } else if (op == 6) {
            // Reparenting: a leaf leaves its parent (back on top of the table) and may join a
            // composite that keeps its own list.
            VisComponent* p = alive[next(static_cast<unsigned int>(alive.size()))];
            if (c->getComposite() || !p->getComposite() || c->getParent() == p) continue;
            if (c->getParent()) {
                model.order.remove(c);
                model.order.push_front(c);
            }
            if (p->addChild(c) && p->compositeManagesLocalRenderList()) model.order.remove(c);
        } else if (op == 7) {
            if (VisComponent* p = c->getParent()) {
                p->removeChild(c);
                model.order.remove(c);
                model.order.push_front(c);
            }
        } else if (op == 8) {
            // A lens moved right above the surface at the back.
            if (model.order.empty() || c->hasStaticRenderOrder() || !model.order.back()->hasStaticRenderOrder())
                continue;
            model.order.remove(c);
            model.order.insert(std::prev(model.order.end()), c);
            vis.placeLensAboveControlSurface<StaticSurface>(c);
        } else {
            // A queued deletion, as the frame does it.
            vis.addToDeletingList(c);
            if (next(2) == 0) vis.addToDeletingList(c);
            for (unsigned long n = vis.deletingListSize(); n > 0; --n) {
                VisComponent* d = vis.getElementFromDeletingListAndDeleteIt();
                if (!d) break;
                model.order.remove(d);
                forget(d);
                vis.deleteComponent(d);
            }
        }
        ASSERT_EQ(vis.getRenderList(), model.order) << "step " << step << ", operation " << op;
        ASSERT_EQ(vis.deletingListSize(), 0u);
    }
    EXPECT_EQ(vis.countComponents(), alive.size());
    vis.removeAllComponents();
    EXPECT_TRUE(vis.getRenderList().empty());
    // Bookkeeping starts afresh: components registered after a teardown are ordered as usual.
    RecordingLeaf* a = add(vis);
    auto* surface = add<StaticSurface>(vis);
    RecordingLeaf* b = add(vis);
    vis.moveComponentToRenderFront(a);
    EXPECT_EQ(vis.getRenderList(), (std::list<VisComponent*>{a, b, surface}));
}
