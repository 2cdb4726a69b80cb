// Touch indicators drawn in a real context.
#include "GLTestContext.h"

#include "vis/TouchIndicatorGL.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <vector>

class TouchIndicatorGLTest : public GLTest {};

TEST_F(TouchIndicatorGLTest, UsersBeyondThePaletteGetBlack)
{
    TouchIndicatorGL t(100, 100, 1, 6, 2, 20);
    EXPECT_EQ(std::vector<int>(t.getColor(), t.getColor() + 4), (std::vector<int>{0, 0, 0, 255}));
    EXPECT_NE(t.getDisplayList(), 0u);
}

TEST_F(TouchIndicatorGLTest, OnlyTheExtentVariantDrawsTheContactRectangleAroundTheDisc)
{
    TouchIndicatorGL t(100, 100, 0, 0, 20, 10);
    t.render(); // the plain indicator shows nothing
    EXPECT_EQ(gl->pixel(100, 100)[2], 0);
    EXPECT_EQ(gl->pixel(101, 101)[3], 0);
    t.renderWithExtend(true);
    t.render();
    // Scaled by the marker size 3: half extents 30 and 15; the disc (radius 3) at the centre.
    for (const auto& [x, y] : {std::pair{70, 100}, {130, 100}, {100, 115}, {100, 85}, {100, 100}})
        EXPECT_GT(gl->pixel(x, y)[2], 100) << x << "," << y;
    EXPECT_EQ(gl->pixel(85, 100)[2], 0); // inside the rectangle, outside the disc
    // The modelview matrix is left as it was.
    GLdouble m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    EXPECT_EQ(m[0], 1.0);
    EXPECT_EQ(m[12], 0.0);
}
