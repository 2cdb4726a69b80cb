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
    // sizes, size differences, target areas, point shapes and temporary colours. Calm: no
    // movement, erosion or size difference, so the primitives come to rest.
    void paintFields(bool calm = false)
    {
        auto* m = canvas->buffer<float>(DIRECTION_BUFFER);
        const unsigned int w = m->getWidth();
        const unsigned int h = m->getHeight();
        for (unsigned int y = 0; y < h; ++y) {
            for (unsigned int x = 0; x < w; ++x) {
                const double dx = x - w * 0.5;
                const double dy = y - h * 0.5;
                const double r = std::max(1.0, std::sqrt(dx * dx + dy * dy));
                const float k = calm ? 0.0f : 0.6f;
                float v[2] = {static_cast<float>(-dy / r * k), static_cast<float>(dx / r * k)};
                m->set2DValues(x, y, v);
                const double a = (x * 7 + y * 13) % 360 * 0.017453292519943295;
                float o[2] = {static_cast<float>(std::sin(a)), static_cast<float>(std::cos(a))};
                canvas->buffer<float>(TEMPORARY_ORIENTATION_BUFFER)->set2DValues(x, y, o);
                unsigned char c[3] = {static_cast<unsigned char>(x * 4),
                                      static_cast<unsigned char>(y * 4),
                                      static_cast<unsigned char>(x + y)};
                canvas->buffer<unsigned char>(COLOR_BUFFER)->set3DValues(x, y, c);
                canvas->buffer<float>(ERASE_BUFFER)->setValue(x, y, calm ? 0.0f : static_cast<float>((x + y) % 3));
                canvas->buffer<float>(ABSOLUTE_SIZE_BUFFER)->setValue(x, y, x < w / 2 ? 20.0f : 30.0f);
                canvas->buffer<float>(SIZE_DIFFERENCE_BUFFER)
                    ->setValue(x, y, y % 9 == 0 && !calm ? 1.5f : 0.0f);
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
    // Calm fields, for long enough that the primitives come to rest and the pass skips them.
    bool calm = false;
};

// Writes a few fields over the cells [x0, x0 + 6) x [y0, y0 + 6), as a brush does.
void brushAt(World& w, unsigned int x0, unsigned int y0, int f)
{
    float o[2] = {static_cast<float>(std::sin(f * 0.7)), static_cast<float>(std::cos(f * 0.7))};
    unsigned char c[3] = {static_cast<unsigned char>(f * 5), 90, static_cast<unsigned char>(200 - f)};
    for (unsigned int y = y0; y < y0 + 6; ++y)
        for (unsigned int x = x0; x < x0 + 6; ++x) {
            w.canvas->buffer<float>(TEMPORARY_ORIENTATION_BUFFER)->set2DValues(x, y, o);
            w.canvas->buffer<unsigned char>(COLOR_BUFFER)->set3DValues(x, y, c);
            w.canvas->buffer<unsigned char>(TEMPORARY_COLOR_BUFFER)->set3DValues(x, y, c);
            w.canvas->buffer<int>(SPEED_BUFFER)->setValue(x, y, f % 16);
            w.canvas->buffer<float>(ABSOLUTE_SIZE_BUFFER)->setValue(x, y, 14.0f + f % 7);
        }
}

// The cell under a primitive on the test canvas.
unsigned int cellOf(double v) { return static_cast<unsigned int>(std::max(0.0, v + 1.5)); }

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
        {"at rest under a brush", [](World&) {},
         [](World& w, int f) {
             if (f >= 60) brushAt(w, (f * 7) % 52, (f * 3) % 52, f);
         },
         false, true},
        {"changed from outside while at rest", [](World&) {},
         [](World& w, int f) {
             PrimitiveLeafGL* const* p = w.primitives.data();
             switch (f) {
             case 60:
                 for (std::size_t i = 3; i < w.primitives.size(); i += 4) p[i]->setDisplayColor(1, 2, 3);
                 break;
             case 62: static_cast<PointLeafGL*>(p[3])->setShapeIndex(5); break;
             case 64: p[4]->setLife(100); break;
             case 66: p[6]->setPos(p[6]->getXPos() + 5.0, p[6]->getYPos()); break;
             case 68: p[8]->rotate(40.0); break;
             case 70: p[9]->setSize(p[9]->getWidth() + 4.0, p[9]->getHeight() + 4.0); break;
             case 72:
                 for (std::size_t i = 3; i < w.primitives.size(); i += 4) {
                     PrimitiveLeafGL::State st = p[i]->getState();
                     st.displayColor = {9, 9, 9};
                     p[i]->setState(st);
                 }
                 break;
             case 74: p[12]->deactivateForRendering(); w.hidden.push_back(p[12]); break;
             case 76: brushAt(w, cellOf(p[12]->getXPos()) - 3, cellOf(p[12]->getYPos()) - 3, f); break;
             case 78: p[12]->activateForRendering(); w.hidden.clear(); break;
             case 80: p[13]->setTossingNow(true); break;
             case 84: p[13]->setTossingNow(false); break;
             case 86: w.canvas->tool(0, 3) = 1.0f; break;
             case 87: brushAt(w, cellOf(p[14]->getXPos()) - 3, cellOf(p[14]->getYPos()) - 3, f); break;
             case 88: w.canvas->tool(0, 3) = 0.0f; break;
             case 90: w.canvas->fill2(TEMPORARY_ORIENTATION_BUFFER, 0.6f, 0.8f); break;
             case 92: w.canvas->drop(SPEED_BUFFER); break;
             case 94: w.canvas->rotate(10.0); break;
             default: break;
             }
         },
         false, true},
    };
    for (const Scenario& sc : scenarios) {
        SCOPED_TRACE(sc.name);
        World reference;
        World pass;
        for (World* w : {&reference, &pass}) {
            w->populate();
            w->paintFields(sc.calm);
            w->canvas->tool(0, 3) = 0.0f;
            sc.setUp(*w);
        }
        std::size_t skipped = 0;
        for (int f = 0; f < (sc.calm ? 100 : 40); ++f) {
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
            skipped += pass.canvas->skippedInLastPass();
            for (std::size_t i = 0; i < pass.primitives.size(); ++i)
                ASSERT_EQ(stateOf(pass.primitives[i]), stateOf(reference.primitives[i]))
                    << "primitive " << i << " after frame " << f;
        }
        // At rest, the pass skips most of the primitives it updates (tiles update themselves).
        if (sc.calm) {
            EXPECT_GT(skipped, 30u * 10u);
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
