// Creators and the destroyer in a real context, driven through the controller's pointer input.
#include "components/ComponentCreatorLeafGL.h"
#include "components/ComponentDestroyerCompositeGL.h"
#include "components/ImageLeafGL.h"
#include "components/StickyNoteLeafGL.h"
#include "components/StorageBinCompositeGL.h"

#include "ComponentTestSupport.h"
#include "OutputCapture.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

// Records the create operations that creators ask for; lenses are not made (null).
class RecordingVisGL : public ClockedVisGL {
public:
    using ClockedVisGL::ClockedVisGL;
    std::vector<std::string> calls;

    InterfaceCurrentCompositeGL* createInterfaceCurrent(double w, double h, bool rnt, bool toss,
                                                        double x, double y, double z,
                                                        unsigned int cp, unsigned int level,
                                                        bool belt, bool rounded) override
    {
        record("current", w, h, rnt, toss, x, y, z, cp, level, belt, rounded);
        return ClockedVisGL::createInterfaceCurrent(w, h, rnt, toss, x, y, z, cp, level, belt,
                                                    rounded);
    }
    SizeLensLeafGL* createSizeLens(double w, double h, bool rnt, double x, double y, double z,
                                   double rotation, const char* dropoff, double a, double b,
                                   unsigned int n) override
    {
        record("size", w, h, rnt, x, y, z, rotation, dropoff, a, b, n);
        return nullptr;
    }
    DirectionLensLeafGL* createDirectionLens(double w, double h, bool rnt, double x, double y,
                                             double z, double rotation, const char* dropoff,
                                             double a, double b, unsigned int n,
                                             unsigned int m) override
    {
        record("direction", w, h, rnt, x, y, z, rotation, dropoff, a, b, n, m);
        return nullptr;
    }
    OrientationLensLeafGL* createOrientationLens(double w, double h, bool rnt, bool toss, double x,
                                                 double y, double z, double rotation, double upX,
                                                 double upY, unsigned int n,
                                                 unsigned int kind) override
    {
        record("orientation", w, h, rnt, toss, x, y, z, rotation, upX, upY, n, kind);
        return nullptr;
    }

private:
    template <class... A> void record(const char* what, A... args)
    {
        std::ostringstream s;
        s << what;
        ((s << ' ' << args), ...);
        calls.push_back(s.str());
    }
};

class CreatorGLTest : public GLTest {
protected:
    std::unique_ptr<RecordingVisGL> vis;
    void SetUp() override
    {
        GLTest::SetUp();
        vis = std::make_unique<RecordingVisGL>(1, 256, 256, 256, 256);
        vis->useFakeClock();
        vis->setAnimating(true);
    }
    void frames(int n = 1)
    {
        for (int i = 0; i < n; ++i) {
            gl->bindFramebuffer();
            vis->frame();
        }
    }
    // One finger: press, moves (a frame each), release at the last point.
    void drag(std::initializer_list<std::pair<unsigned, unsigned>> path)
    {
        for (auto p = path.begin(); p != path.end(); ++p) {
            if (p == path.begin())
                vis->devicePress(p->first, p->second, 0, 0);
            else
                vis->deviceMove(p->first, p->second, 0, 0);
            frames();
        }
        vis->deviceRelease((path.end() - 1)->first, (path.end() - 1)->second, 0, 0);
        frames(2);
    }
};

TEST_F(CreatorGLTest, EachGestureOnACreatorMakesOneComponentThatFollowsTheFinger)
{
    StorageBinCreatorLeafGL* creator =
        vis->createStorageBinCreator(40, 40, 40, 40, 0, 90, 70, 6, 3, true, 0);
    frames();
    const unsigned long before = vis->countComponents();

    vis->devicePress(45, 35, 0, 0);
    frames();
    auto* bin = dynamic_cast<StorageBinCompositeGL*>(creator->getCreated());
    ASSERT_NE(bin, nullptr);
    EXPECT_DOUBLE_EQ(bin->getXPos(), 45) << "under the finger from the first contact";
    EXPECT_DOUBLE_EQ(bin->getWidth(), 90) << "at the size the creator hands on";
    vis->deviceMove(120, 150, 0, 0);
    frames();
    vis->deviceRelease(170, 160, 0, 0);
    frames(3);
    EXPECT_EQ(vis->countComponents(), before + 1) << "one component per gesture";
    EXPECT_DOUBLE_EQ(bin->getYPos(), 160) << "stays where it was let go";
    EXPECT_EQ(creator->getCreated(), nullptr);

    // The next gesture makes the next one; a gesture that starts off the creator makes none.
    drag({{40, 40}, {60, 200}});
    creator->hitLocalBuffer(100, 100, 0, 0);
    EXPECT_EQ(creator->hitLocalBuffer(40, 40, 0, 0), 0u) << "the gesture began off the mask";
    EXPECT_EQ(creator->releaseLocalBuffer(40, 40, 0, 0), 0u);
    EXPECT_EQ(vis->countComponents(), before + 2);
}

TEST_F(CreatorGLTest, PoolBeltAndNoteCreatorsHandOnTheirKindAndSize)
{
    PoolInterfaceCurrentCreatorLeafGL* pool =
        vis->createPoolInterfaceCurrentCreator(40, 40, 40, 40, 0, 150, 120, 8, 4, false, 0);
    BeltInterfaceCurrentCreatorLeafGL* belt =
        vis->createBeltInterfaceCurrentCreator(40, 40, 200, 40, 0, 150, 120, 8, 4, false, 0);
    StickyNoteCreatorLeafGL* notes = vis->createStickyNoteCreator(40, 40, 120, 200, 0, 60, 50, 0);
    frames();
    const struct {
        ComponentCreatorLeafGL* creator;
        unsigned x, y;
    } rows[] = {{pool, 40, 40}, {belt, 200, 40}, {notes, 120, 200}};
    for (const auto& row : rows) {
        EXPECT_EQ(row.creator->hitLocalBuffer(row.x, row.y, 0, 0), ComponentCreatorLeafGL::kCreateCode);
        if (row.creator == notes) {
            auto* note = dynamic_cast<StickyNoteLeafGL*>(notes->getCreated());
            ASSERT_NE(note, nullptr);
            EXPECT_DOUBLE_EQ(note->getUnscaledHeight(), 50);
        }
        row.creator->releaseLocalBuffer(row.x, row.y, 0, 0);
    }
    EXPECT_EQ(vis->calls, (std::vector<std::string>{"current 150 120 1 1 40 40 0 8 4 0 0",
                                                    "current 150 120 1 1 200 40 0 8 4 1 0"}));
}

TEST_F(CreatorGLTest, LensCreatorsAskForTheirKindOfLens)
{
    const struct {
        const char* kind;
        const char* call; // empty: no lens kind
    } rows[] = {
        {"size", "size 200 180 1 40 40 0 0 Gaussian 0.9 2 1"},
        {"Size", "size 200 180 1 40 40 0 0 Gaussian 0.9 2 1"},
        {"direction", "direction 200 180 1 40 40 0 0 Gaussian 0.9 2 3 1"},
        {"orientation-up", "orientation 200 180 1 1 40 40 0 0 0.5 1 1 0"},
        {"orientation-out", "orientation 200 180 1 1 40 40 0 0 0.5 1 1 2"},
        {"orientation", ""},
    };
    for (const auto& row : rows) {
        vis->calls.clear();
        LensCreatorLeafGL* creator = vis->createLensCreator(40, 40, 40, 40, 0, 200, 180, "Gaussian",
                                                            0, 0.9, 2.0, 3, 0.5, 1.0, row.kind);
        OutputCapture out;
        // No lens comes back: the whole gesture then touches nothing.
        creator->hitLocalBuffer(40, 40, 0, 0);
        creator->hitLocalBuffer(90, 90, 0, 0);
        EXPECT_EQ(creator->releaseLocalBuffer(90, 90, 0, 0), ComponentCreatorLeafGL::kCreateCode);
        EXPECT_EQ(vis->calls, *row.call ? std::vector<std::string>{row.call}
                                        : std::vector<std::string>{}) << row.kind;
        EXPECT_EQ(out.take(), *row.call ? "" : "Error: incorrect lens type chosen for creation, "
                                               "no lens created!\n") << row.kind;
        vis->deleteComponent(creator);
    }
}

TEST_F(CreatorGLTest, RegressionCreatedComponentDeletedDuringTheGestureWasStillMoved)
{
    StorageBinCreatorLeafGL* creator =
        vis->createStorageBinCreator(40, 40, 40, 40, 0, 60, 60, 6, 3, true, 0);
    frames();
    ASSERT_EQ(creator->hitLocalBuffer(40, 40, 0, 0), ComponentCreatorLeafGL::kCreateCode);
    vis->deleteComponent(creator->getCreated());
    const unsigned long count = vis->countComponents();
    creator->hitLocalBuffer(80, 80, 0, 0);
    EXPECT_EQ(creator->releaseLocalBuffer(80, 80, 0, 0), ComponentCreatorLeafGL::kCreateCode);
    EXPECT_EQ(vis->droppingListSize(), 0u);
    EXPECT_EQ(vis->countComponents(), count);
}

class DestroyerGLTest : public CreatorGLTest {
protected:
    ComponentDestroyerCompositeGL* destroyer = nullptr;
    void SetUp() override
    {
        CreatorGLTest::SetUp();
        destroyer = vis->createDestroyer(60, 60, true, true, 190, 190, 0.0, 0);
    }
    QuadLeafGL* item(double x, double y)
    {
        auto* q = new QuadLeafGL(vis.get(), 30, 30, x, y, 0.0, false);
        vis->addComponent(q, true);
        return q;
    }
    // As the controller drops c onto the destroyer.
    void dropOnDestroyer(VisComponent* c)
    {
        unsigned char colour[3] = {static_cast<unsigned char>(destroyer->getId() & 0xFF), 0, 0};
        c->processDropping(colour, 190, 190);
    }
};

TEST_F(DestroyerGLTest, DeletesWhatIsDroppedOnItOnlyWhileActive)
{
    EXPECT_FALSE(destroyer->isDestroying()) << "inactive until its own first drop";
    QuadLeafGL* survivor = item(60, 60);
    QuadLeafGL* doomed = item(60, 120);
    frames();
    ASSERT_TRUE(destroyer->isDestroying());
    const unsigned long before = vis->countComponents();
    const unsigned long doomedId = doomed->getId();

    drag({{60, 120}, {120, 160}, {185, 185}});
    EXPECT_EQ(vis->getComponent(doomedId), nullptr);
    drag({{60, 60}, {100, 40}});
    EXPECT_EQ(vis->countComponents(), before - 1) << "the survivor was dropped beside it";

    // Deactivated, it leaves what is dropped on it alone; activateDestroyers wakes it again.
    destroyer->deactivate();
    dropOnDestroyer(survivor);
    EXPECT_EQ(vis->getComponent(survivor->getId()), survivor);
    vis->activateDestroyers();
    dropOnDestroyer(survivor);
    EXPECT_EQ(vis->countComponents(), before - 2);
}

TEST_F(DestroyerGLTest, RegressionDestroyedBinLeftItsItemsRegisteredButUndrawn)
{
    StorageBinCompositeGL* bin =
        vis->createStorageBin(80, 80, true, true, 60, 60, 0.0, 6, 3, false, false);
    QuadLeafGL* inside = item(60, 60);
    frames();
    ASSERT_EQ(inside->getParent(), bin);
    const unsigned long before = vis->countComponents();
    dropOnDestroyer(bin);
    EXPECT_EQ(vis->countComponents(), before - 2);
    frames();
}

// The controller deletes the last puck the same way (deleteLastComponentOfType).
TEST_F(DestroyerGLTest, DeletingTheLastImageTakesTheNewestImageOnly)
{
    ImageLeafGL* older = vis->createImage(30, 30, true, true, 40, 40, 0, 0, 0, false);
    ImageLeafGL* newer = vis->createImage(30, 30, true, true, 80, 40, 0, 0, 0, false);
    QuadLeafGL* other = item(120, 40);
    const unsigned long newerId = newer->getId();
    vis->deleteLastImageComponent();
    EXPECT_EQ(vis->getComponent(newerId), nullptr);
    EXPECT_EQ(vis->getComponent(older->getId()), older);
    vis->deleteLastImageComponent();
    vis->deleteLastImageComponent(); // no image left: nothing happens
    EXPECT_EQ(vis->getComponent(other->getId()), other);
    EXPECT_EQ(vis->getComponent(destroyer->getId()), destroyer) << "a picture, but no image";
}

} // namespace
