#pragma once
// Shared pieces of the item GL tests: a 256 × 256 table with a fake clock and known colours, a
// solid texture, and the pixel helpers.

#include "../vis/GLTestComponents.h"
#include "GLTestContext.h"

#include <GL/gl.h>

#include <array>
#include <memory>

struct ItemScene {
    std::unique_ptr<ClockedVisGL> vis;
    // With the test context current: one frame has run, so the controller's ticks are the clock's.
    explicit ItemScene(GLTestContext* gl)
    {
        vis = std::make_unique<ClockedVisGL>(1, 256, 256, 256, 256);
        vis->useFakeClock();
        vis->setBorderColor(0.0f, 0.0f, 1.0f);
        vis->setHighlightColor(0.0f, 1.0f, 0.0f);
        vis->initializeRenderer();
        frameAfter(gl, 20);
    }
    // A 4 × 4 texture of one colour.
    static unsigned int solidTexture(unsigned char r, unsigned char g, unsigned char b)
    {
        unsigned char pixels[4 * 4 * 3];
        for (int i = 0; i < 16; ++i) {
            pixels[3 * i] = r;
            pixels[3 * i + 1] = g;
            pixels[3 * i + 2] = b;
        }
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
    // Advances the clock by ms and renders one frame into the test framebuffer.
    void frameAfter(GLTestContext* gl, unsigned long ms)
    {
        vis->now += ms > 20 ? ms - 20 : 0;
        gl->bindFramebuffer();
        vis->frame();
    }
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
