#pragma once
// Shared pieces of the component GL tests: a 256 x 256 table with a fake clock and known colours,
// an item that follows its container's fields like an image does, textures and pixel helpers.

#include "../vis/GLTestComponents.h"
#include "GLTestContext.h"
#include "core/BufferTemplate.h"
#include "vis/TabletopVisGL.h"
#include "vis/VisComponentGL.h"

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <memory>

// A square that reads absolute size, relative size, direction and orientation from its parent.
class FieldFollower : public VisComponentGL {
public:
    FieldFollower(TabletopVisGL* vis, double size, double x, double y)
        : VisComponentGL(vis, size, size, true, true, x, y, 0.0)
    {
        for (BUFFERTAG tag : {ABSOLUTE_SIZE_BUFFER, RELATIVE_SIZE_BUFFER, DIRECTION_BUFFER,
                              ORIENTATION_BUFFER})
            setPassiveBuffer(tag, nullptr);
    }
    bool isAnimatingAbsoluteSize() override { return true; }
    bool isAnimatingDirection() override { return true; }
    bool isAnimatingOrienation() override { return true; }
    bool isAnimatingRelativeSize() override { return true; }

protected:
    void specificRender() override
    {
        glPushMatrix();
        doCommonTransformations();
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glRectd(-getHalfWidth() / getXScale(), -getHalfHeight() / getYScale(),
                getHalfWidth() / getXScale(), getHalfHeight() / getYScale());
        glPopMatrix();
    }
    void specificRenderForPicking() override {}
};

// A 256 x 256 table with one user, container colours: inside blue, border orange, highlight green.
struct ContainerScene {
    std::unique_ptr<ClockedVisGL> vis = std::make_unique<ClockedVisGL>(1, 256, 256, 256, 256);
    ContainerScene()
    {
        vis->useFakeClock();
        vis->setInsideColor(0.2f, 0.3f, 0.8f);
        vis->setBorderColor(1.0f, 0.5f, 0.0f);
        vis->setHighlightColor(0.0f, 1.0f, 0.0f);
    }
    void frame() { vis->frame(); }
    // n frames, each drawn into the test framebuffer.
    void frames(int n)
    {
        for (int i = 0; i < n; ++i) {
            GLTestContext::instance()->bindFramebuffer();
            vis->frame();
        }
    }
    // Advances the clock by ms and renders one frame into the test framebuffer.
    void frameAfter(GLTestContext* gl, unsigned long ms)
    {
        vis->now += ms > 20 ? ms - 20 : 0;
        gl->bindFramebuffer();
        vis->frame();
    }
};

// Items: border blue. With the test context current: one frame has run, so the controller's
// ticks are the clock's.
struct ItemScene : ContainerScene {
    explicit ItemScene(GLTestContext* gl)
    {
        vis->setBorderColor(0.0f, 0.0f, 1.0f);
        vis->initializeRenderer();
        frameAfter(gl, 20);
    }
    // A 4 × 4 texture of one colour.
    static unsigned int solidTexture(unsigned char r, unsigned char g, unsigned char b)
    {
        unsigned char pixels[4 * 4 * 3];
        for (int i = 0; i < 48; ++i) pixels[i] = i % 3 == 0 ? r : i % 3 == 1 ? g : b;
        return texture(4, 4, GL_RGB, pixels);
    }
    // A w × h texture of the pixels (format GL_RGB or GL_RGBA), sampled without filtering.
    static unsigned int texture(int w, int h, GLenum format, const unsigned char* pixels)
    {
        GLuint t = 0;
        glGenTextures(1, &t);
        glBindTexture(GL_TEXTURE_2D, t);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), w, h, 0, format,
                     GL_UNSIGNED_BYTE, pixels);
        glBindTexture(GL_TEXTURE_2D, 0);
        return t;
    }
};

// Fixture base of the container tests.
class ContainerGLTest : public GLTest {
protected:
    ContainerScene scene;
};

// Fixture base: the scene is made once the context exists.
class ItemGLTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        if (gl) sceneHolder = std::make_unique<ItemScene>(gl);
    }
    void TearDown() override { sceneHolder.reset(); }
    ItemScene& scene() { return *sceneHolder; }
    std::unique_ptr<ItemScene> sceneHolder;
};

inline bool near(const std::array<uint8_t, 4>& p, int r, int g, int b, int tolerance = 12)
{
    return std::abs(p[0] - r) <= tolerance && std::abs(p[1] - g) <= tolerance &&
           std::abs(p[2] - b) <= tolerance;
}
