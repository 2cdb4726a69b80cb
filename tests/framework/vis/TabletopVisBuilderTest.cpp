// The rendering-independent builder: missing operations are reported; the controller is owned.
#include "OutputCapture.h"

#include "vis/TabletopVis.h"
#include "vis/TabletopVisBuilder.h"

#include <gtest/gtest.h>

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
    OutputCapture out;
    b.buildVis(1, 10, 10, 10, 10);
    b.buildFont("fonts/arial.ttf", 32);
    EXPECT_EQ(out.take(), "Error: Implement method buildVis in render-specific builder!\n"
                          "Error: Implement method buildFonts in render-specific builder!\n");
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
