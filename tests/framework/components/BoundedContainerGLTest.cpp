#include "components/BoundedContainerGL.h"

#include "ComponentTestSupport.h"

#include <gtest/gtest.h>

namespace {

class BoundedContainerGLTest : public ContainerGLTest {
protected:
    BoundedContainerGL* make(unsigned points, unsigned level, bool ring, double w = 160,
                             double h = 160)
    {
        return scene.vis->createContainer(w, h, true, true, 128, 128, 0.0, points, level, ring, true);
    }
};

TEST_F(BoundedContainerGLTest, BodyBorderAndHoleCodesAndAnInsidePointDrags)
{
    // Ring of 240 x 240: outline radius 105, ring width 60, handles at 0, 45, 90 ... degrees.
    BoundedContainerGL* c = make(8, 4, true, 240, 240);
    const struct {
        const char* name;
        double r, degrees;
        unsigned code;
        bool rnt;
    } rows[] = {
        {"body rotates and translates", 75, 22.5, 3, true},
        {"outer border translates", 112, 22.5, 12, false},
        {"hole lets the touch through", 0, 0, 0, true},
    };
    for (const auto& row : rows) {
        c->setRNTActive(true);
        const double a = row.degrees * M_PI / 180.0;
        const auto x = unsigned(128.5 + row.r * std::cos(a)), y = unsigned(128.5 + row.r * std::sin(a));
        EXPECT_EQ(c->hitLocalBuffer(x, y, 0, 0), row.code) << row.name;
        EXPECT_EQ(c->getRNTActive(), row.rnt) << row.name;
        EXPECT_EQ(c->releaseLocalBuffer(0, 0, 0, 0), row.code) << row.name;
    }
    EXPECT_EQ(c->releaseLocalBuffer(0, 0, 0, 0), 0u) << "released without a touch";

    // An inside point (top of the hole) drags alone, with its own code.
    const auto p = (*c->getSplineInside().controlPoints())[2];
    const unsigned px = unsigned(c->getXPos() + p.x + 0.5), py = unsigned(c->getYPos() + p.y + 0.5);
    EXPECT_EQ(c->hitLocalBuffer(px, py, 0, 0), BoundedContainerGL::kDraggingInsidePoint);
    c->hitLocalBuffer(px, py - 10, 0, 0);
    EXPECT_NEAR((*c->getSplineInside().controlPoints())[2].y, p.y - 10, 1.0);
    // The outline's point 2 is untouched.
    EXPECT_GT((*c->getSplineOutside().controlPoints())[2].y, p.y + 30);
    EXPECT_EQ(c->releaseLocalBuffer(px, py - 10, 0, 0), BoundedContainerGL::kDraggingInsidePoint);
}

TEST_F(BoundedContainerGLTest, DraggingAnOutlinePointReshapesAndReleaseRefitsTheSize)
{
    BoundedContainerGL* c = make(8, 3, false);
    const double width = c->getWidth();
    const double x0 = c->getXPos();
    const auto start = (*c->getSplineOutside().controlPoints())[0]; // right-hand point
    const unsigned px = unsigned(x0 + start.x + 0.5), py = unsigned(c->getYPos() + start.y + 0.5);

    EXPECT_EQ(c->hitLocalBuffer(px, py, 0, 0), BoundedContainerGL::kDraggingOutsidePoint);
    // The point follows the finger on every contact.
    c->hitLocalBuffer(px + 30, py, 0, 0);
    EXPECT_NEAR((*c->getSplineOutside().controlPoints())[0].x, px + 30 - x0, 1e-9);
    EXPECT_DOUBLE_EQ(c->getWidth(), width); // not yet refitted

    EXPECT_EQ(c->releaseLocalBuffer(px + 30, py, 0, 0), BoundedContainerGL::kDraggingOutsidePoint);
    EXPECT_NEAR(c->getWidth(), width + 30, 1.5);
    // The outline kept its place on the table: the container's centre moved right by half.
    EXPECT_NEAR(c->getXPos(), x0 + 15, 1.0);
    // The hit mask was rebuilt for the new shape: the far right is body now.
    EXPECT_EQ(c->hitLocalBuffer(unsigned(x0 + start.x + 10), py - 10, 0, 0), 3u);
    c->releaseLocalBuffer(0, 0, 0, 0);
}

} // namespace
