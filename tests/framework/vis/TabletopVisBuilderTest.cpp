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
    b.buildImage("a.png", 1, 1, 0, 0, 0);
    b.buildLabel("a", "arial32", 10, 0, 0, nullptr, nullptr, 0);
    b.buildStickyNote(1, 1, 0, 0, 0);
    b.buildStickyBoard(1, 1, 0, 0);
    EXPECT_EQ(out.take(), "Error: Implement method buildVis in render-specific builder!\n"
                          "Error: Implement method buildFonts in render-specific builder!\n"
                          "Error: Implement method buildImage in render-specific builder!\n"
                          "Error: Implement method buildLabel in render-specific builder!\n"
                          "Error: Implement method buildStickyNote in render-specific builder!\n"
                          "Error: Implement method buildStickyBoard in render-specific builder!\n");
    EXPECT_EQ(b.getVis(), nullptr);
}

// Replacing the controller destroys the old one; copies share it and it goes with the last, once.
TEST(TabletopVisBuilderTest, ControllerOwnershipAcrossReplacementAndCopies)
{
    int destroyed = 0;
    auto* first = new TabletopVisBuilder;
    first->setVis(new CountingVis(&destroyed));
    auto* second = new CountingVis(&destroyed);
    first->setVis(second);
    EXPECT_EQ(destroyed, 1);
    TabletopVisBuilder copy(*first);
    EXPECT_EQ(copy.getVis(), second);
    delete first;
    EXPECT_EQ(destroyed, 1);
    copy.setVis(nullptr);
    EXPECT_EQ(destroyed, 2);
}
