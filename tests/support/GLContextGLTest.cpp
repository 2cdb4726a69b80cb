// The offscreen context really renders: fixed-function drawing lands in the framebuffer.
#include "GLTestContext.h"

#include <GL/gl.h>

class GLContextGLTest : public GLTest {};

TEST_F(GLContextGLTest, FilledQuadReadsBackInItsColourAndLeavesTheRestClear)
{
    glColor4ub(200, 40, 120, 255);
    glBegin(GL_QUADS);
    glVertex2i(50, 60);
    glVertex2i(150, 60);
    glVertex2i(150, 100);
    glVertex2i(50, 100);
    glEnd();

    auto inside = gl->pixel(100, 80);
    EXPECT_EQ(inside[0], 200);
    EXPECT_EQ(inside[1], 40);
    EXPECT_EQ(inside[2], 120);
    EXPECT_EQ(inside[3], 255);

    auto outside = gl->pixel(10, 10);
    EXPECT_EQ(outside[0], 0);
    EXPECT_EQ(outside[3], 0);
    // The top edge is exclusive: row 100 stays clear, row 99 is filled.
    EXPECT_EQ(gl->pixel(100, 100)[0], 0);
    EXPECT_EQ(gl->pixel(100, 99)[0], 200);
}

TEST_F(GLContextGLTest, ContextIsCompatibilityProfileWithDisplayLists)
{
    GLuint list = glGenLists(1);
    ASSERT_NE(list, 0u);
    glNewList(list, GL_COMPILE);
    glColor3ub(0, 255, 0);
    glBegin(GL_TRIANGLES);
    glVertex2i(0, 0);
    glVertex2i(40, 0);
    glVertex2i(0, 40);
    glEnd();
    glEndList();
    glCallList(list);
    glDeleteLists(list, 1);
    EXPECT_EQ(gl->pixel(5, 5)[1], 255);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
