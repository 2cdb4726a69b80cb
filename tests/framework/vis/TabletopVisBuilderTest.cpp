// The rendering-independent builder: missing operations are reported; the controller is owned.
#include "OutputCapture.h"

#include "vis/TabletopVis.h"
#include "vis/TabletopVisBuilder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

class CountingVis : public TabletopVis {
public:
    explicit CountingVis(int* destroyed) : destroyed(destroyed) {}
    ~CountingVis() override { ++*destroyed; }
    int* destroyed;
};

} // namespace

TEST(TabletopVisBuilderTest, OperationsReportTheirMissingImplementation)
{
    TabletopVisBuilder b;
    const struct {
        const char* name;
        std::function<void()> call;
    } rows[] = {
        {"buildVis", [&] { b.buildVis(1, 10, 10, 10, 10); }},
        {"buildTextures", [&] { b.buildTextures(3, "img%d.png"); }},
        {"buildStorageBin", [&] { b.buildStorageBin(1, 1, 1, 1, 1, 4, 1, false, true, 0, 1, 1); }},
        {"buildLensCreator", [&] { b.buildLensCreator(1, 1, 1, 1, 1, 1, "linear", "t.png", 1, 1, 1, 0, 1, "size"); }},
        {"buildFonts", [&] { b.buildFont("fonts/arial.ttf", 32); }},
        {"buildHockeyPucks", [&] { b.buildHockeyPucks(1, 1, 1, 1); }},
    };
    for (const auto& row : rows) {
        OutputCapture out;
        row.call();
        EXPECT_EQ(out.take(), std::string("Error: Implement method ") + row.name +
                                  " in render-specific builder!\n");
    }
    EXPECT_EQ(b.getVis(), nullptr);
}

TEST(TabletopVisBuilderTest, ReplacingTheControllerDestroysTheOldOne)
{
    int destroyed = 0;
    {
        TabletopVisBuilder b;
        b.setVis(new CountingVis(&destroyed));
        auto* second = new CountingVis(&destroyed);
        b.setVis(second);
        EXPECT_EQ(destroyed, 1);
        EXPECT_EQ(b.getVis(), second);
    }
    EXPECT_EQ(destroyed, 2);
}

// Copies share the controller; it goes with the last builder, once.
TEST(TabletopVisBuilderTest, SharedControllerIsDestroyedOnceByTheLastCopy)
{
    int destroyed = 0;
    auto* first = new TabletopVisBuilder;
    first->setVis(new CountingVis(&destroyed));
    TabletopVisBuilder copy(*first);
    EXPECT_EQ(copy.getVis(), first->getVis());
    delete first;
    EXPECT_EQ(destroyed, 0);
    copy.setVis(nullptr);
    EXPECT_EQ(destroyed, 1);
}
