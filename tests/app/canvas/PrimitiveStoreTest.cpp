// The canvas's update pass over its primitive store against each primitive's own update, and
// the store's bookkeeping as primitives come, go and change canvas.
#include "CanvasTestSupport.h"

#include "canvas/PointLeafGL.h"
#include "canvas/StrokeLeafGL.h"
#include "canvas/TileLeafGL.h"
#include "core/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A stroke the framework animates: the call the controller makes each frame.
class AnimatedStroke : public StrokeLeafGL {
public:
    using StrokeLeafGL::StrokeLeafGL;
    void frame(double dt) { animateMyself(dt); }
};

struct World {
    std::unique_ptr<TabletopVisGL> vis;
    TestCanvas* canvas = nullptr;
    std::vector<PrimitiveLeafGL*> primitives;
    // Primitives taken out of rendering (the framework does not animate them).
    std::vector<PrimitiveLeafGL*> hidden;

    World()
    {
        vis = std::make_unique<TabletopVisGL>(1, 100, 100, 256, 256);
        canvas = new TestCanvas(vis.get(), 64.0, 64.0, 32.0, 32.0);
        vis->addComponent(canvas, false);
    }
    template <class P> P* add(P* p)
    {
        vis->addComponent(p, false);
        canvas->addChild(p);
        primitives.push_back(p);
        return p;
    }
    // Strokes, points and tiles on layer 0 spread over the canvas, strokes on layer 1.
    void populate()
    {
        tavlor::seedRand15(7);
        for (int i = 0; i < 24; ++i) {
            const double x = 4.0 + (i * 37) % 57;
            const double y = 4.0 + (i * 23) % 57;
            const double a = (i * 47) % 360;
            // The same shapes in every world (the first point ever made takes shape 0).
            if (i % 4 == 3)
                add(new PointLeafGL(vis.get(), x, y, 12, 12, a, 0))->setShapeIndex(i % 16);
            else if (i % 8 == 5)
                add(new TileLeafGL(vis.get(), x, y, 10, 10, a, 0, false));
            else
                add(new AnimatedStroke(vis.get(), x, y, 16, 16, a, i % 5 == 0 ? 1 : 0, 0));
        }
    }
    // Fields varied from cell to cell: a vortex of movement, orientations, colours, erosion,
    // sizes, size differences, target areas, point shapes and temporary colours.
    void paintFields()
    {
        auto* m = canvas->buffer<float>(DIRECTION_BUFFER);
        const unsigned int w = m->getWidth();
        const unsigned int h = m->getHeight();
        for (unsigned int y = 0; y < h; ++y) {
            for (unsigned int x = 0; x < w; ++x) {
                const double dx = x - w * 0.5;
                const double dy = y - h * 0.5;
                const double r = std::max(1.0, std::sqrt(dx * dx + dy * dy));
                float v[2] = {static_cast<float>(-dy / r * 0.6), static_cast<float>(dx / r * 0.6)};
                m->set2DValues(x, y, v);
                const double a = (x * 7 + y * 13) % 360 * 0.017453292519943295;
                float o[2] = {static_cast<float>(std::sin(a)), static_cast<float>(std::cos(a))};
                canvas->buffer<float>(TEMPORARY_ORIENTATION_BUFFER)->set2DValues(x, y, o);
                unsigned char c[3] = {static_cast<unsigned char>(x * 4),
                                      static_cast<unsigned char>(y * 4),
                                      static_cast<unsigned char>(x + y)};
                canvas->buffer<unsigned char>(COLOR_BUFFER)->set3DValues(x, y, c);
                canvas->buffer<float>(ERASE_BUFFER)->setValue(x, y, static_cast<float>((x + y) % 3));
                canvas->buffer<float>(ABSOLUTE_SIZE_BUFFER)->setValue(x, y, x < w / 2 ? 20.0f : 30.0f);
                canvas->buffer<float>(SIZE_DIFFERENCE_BUFFER)
                    ->setValue(x, y, y % 9 == 0 ? 1.5f : 0.0f);
                canvas->buffer<bool>(TARGET_AREA_BUFFER)->setValue(x, y, (x / 8 + y / 8) % 2 == 0);
                // Point shapes, some outside the shape table; temporary colours, some none (127).
                canvas->buffer<int>(SPEED_BUFFER)->setValue(x, y, static_cast<int>((x * 3 + y) % 20) - 2);
                unsigned char t[3] = {static_cast<unsigned char>((x + y) % 4 == 0 ? 127 : 200 - x),
                                      static_cast<unsigned char>(y * 3), 40};
                canvas->buffer<unsigned char>(TEMPORARY_COLOR_BUFFER)->set3DValues(x, y, t);
            }
        }
    }
};

// Everything the update writes, as text, so a difference names the primitive and the field.
std::string stateOf(PrimitiveLeafGL* p)
{
    const auto& d = p->getDisplayColor();
    const auto b = p->getBufferColor();
    std::ostringstream s;
    s << std::fixed << p->getXPos() << " " << p->getYPos() << " r" << p->getRotation() << " "
      << p->getWidth() << "x" << p->getHeight() << " life " << p->getLife() << " rgb " << int(d.r)
      << "," << int(d.g) << "," << int(d.b) << " buf " << int(b.r) << "," << int(b.g) << ","
      << int(b.b) << " target " << p->getTargetOrientation() << " " << p->getTargetWidth() << "x"
      << p->getTargetHeight() << " progress " << p->getSizeAnimationProgress() << " flags "
      << p->isInTargetArea() << p->isQueuedForDeletion() << p->hasChangedThisFrame();
    if (auto* point = dynamic_cast<PointLeafGL*>(p)) s << " shape " << point->getShapeIndex();
    return s.str();
}

struct Scenario {
    const char* name;
    // Set up both worlds the same way (after populate and paintFields).
    std::function<void(World&)> setUp;
    // Before frame f in both worlds.
    std::function<void(World&, int)> beforeFrame;
    // The framework's call for every stroke instead of the canvas's: the first runs the pass,
    // the others find it done.
    bool frameworkCalls = false;
};

TEST(PrimitiveStoreTest, PassGivesTheSameStateAsEachPrimitivesOwnUpdate)
{
    const std::vector<Scenario> scenarios = {
        {"painting", [](World&) {}, [](World&, int) {}},
        {"rotated and scaled canvas",
         [](World& w) {
             w.canvas->rotate(30.0);
             w.canvas->setSize(80.0, 50.0);
         },
         [](World&, int) {}},
        {"layer switches and a brush rewrites fields",
         [](World&) {},
         [](World& w, int f) {
             w.canvas->tool(0, 3) = f % 10 < 5 ? 0.0f : 1.0f;
             float v[2] = {static_cast<float>(std::sin(f * 0.3)), static_cast<float>(std::cos(f * 0.3))};
             for (unsigned int y = 10; y < 30; ++y)
                 for (unsigned int x = 10; x < 30; ++x)
                     w.canvas->buffer<float>(TEMPORARY_ORIENTATION_BUFFER)->set2DValues(x, y, v);
         }},
        {"missing fields",
         [](World& w) {
             w.canvas->drop(ERASE_BUFFER);
             w.canvas->drop(DIRECTION_BUFFER);
             w.canvas->drop(DROP_OFF_BUFFER);
         },
         [](World&, int) {}},
        {"tossing and hidden primitives",
         [](World& w) {
             w.primitives[1]->setTossingNow(true);
             w.primitives[2]->deactivateForRendering();
             w.hidden.push_back(w.primitives[2]);
         },
         [](World&, int) {}},
        {"framework calls", [](World&) {}, [](World&, int) {}, true},
    };
    for (const Scenario& sc : scenarios) {
        SCOPED_TRACE(sc.name);
        World reference;
        World pass;
        for (World* w : {&reference, &pass}) {
            w->populate();
            w->paintFields();
            w->canvas->tool(0, 3) = 0.0f;
            sc.setUp(*w);
        }
        for (int f = 0; f < 40; ++f) {
            sc.beforeFrame(reference, f);
            sc.beforeFrame(pass, f);
            // The framework animates only what it draws.
            for (PrimitiveLeafGL* p : reference.primitives)
                if (std::find(reference.hidden.begin(), reference.hidden.end(), p) ==
                    reference.hidden.end())
                    p->update(1.0);
            pass.canvas->beginUpdatePass();
            if (sc.frameworkCalls) {
                for (PrimitiveLeafGL* p : pass.primitives)
                    if (auto* s = dynamic_cast<AnimatedStroke*>(p)) s->frame(1.0);
            } else {
                pass.canvas->updatePrimitives(1.0);
            }
            for (std::size_t i = 0; i < pass.primitives.size(); ++i)
                ASSERT_EQ(stateOf(pass.primitives[i]), stateOf(reference.primitives[i]))
                    << "primitive " << i << " after frame " << f;
        }
    }
}

TEST(PrimitiveStoreTest, StoreFollowsPrimitivesThatComeGoAndChangeCanvas)
{
    World world;
    world.populate();
    PrimitiveStore& store = world.canvas->primitiveStore();
    EXPECT_EQ(store.size(), 24u);
    EXPECT_EQ(store.size(0), 21u);
    EXPECT_EQ(store.size(1), 3u);

    // Deleted: out of the store, its id reused by the next primitive.
    PrimitiveLeafGL* gone = world.primitives[7];
    const std::uint32_t id = gone->getStoreId();
    world.vis->removeComponentFromRenderList(gone);
    world.vis->deleteComponent(gone);
    world.primitives.erase(world.primitives.begin() + 7);
    EXPECT_EQ(store.size(), 23u);
    auto* fresh = world.add(new StrokeLeafGL(world.vis.get(), 30, 30, 16, 16, 0, 0, 0));
    EXPECT_EQ(fresh->getStoreId(), id);

    // Moved to another canvas, then out of any canvas, then back.
    auto* other = new TestCanvas(world.vis.get(), 64.0, 64.0, 32.0, 32.0);
    world.vis->addComponent(other, false);
    PrimitiveLeafGL* moved = world.primitives[0];
    other->addChild(moved);
    EXPECT_EQ(store.size(), 23u);
    EXPECT_EQ(other->primitiveStore().size(), 1u);
    other->removeChild(moved);
    EXPECT_EQ(other->primitiveStore().size(), 0u);
    EXPECT_EQ(moved->getStoreId(), PrimitiveStore::kNone);
    world.canvas->addChild(moved);
    EXPECT_EQ(store.size(), 24u);

    // A layer outside the store's range updates itself.
    auto* far = world.add(new StrokeLeafGL(world.vis.get(), 30, 30, 16, 16, 0, 200, 0));
    EXPECT_EQ(far->getStoreId(), PrimitiveStore::kNone);

    // The pass sorts what came and went and still reaches every primitive of the layer.
    world.paintFields();
    world.canvas->tool(0, 3) = 0.0f;
    world.canvas->fill<float>(ERASE_BUFFER, 1.0f);
    world.canvas->beginUpdatePass();
    world.canvas->updatePrimitives(1.0);
    for (PrimitiveLeafGL* p : world.primitives)
        EXPECT_EQ(p->getLife(), p->getPrimitiveType() == 0 ? 209 : 210) << stateOf(p);

    // The canvas goes first: its children leave the store, nothing points to it.
    world.vis->removeComponentFromRenderList(world.canvas);
    world.vis->deleteComponent(world.canvas);
    for (PrimitiveLeafGL* p : world.primitives)
        EXPECT_EQ(p->getStoreId(), PrimitiveStore::kNone);
}

} // namespace
