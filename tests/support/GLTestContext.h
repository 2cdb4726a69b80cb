#pragma once
// A real OpenGL compatibility-profile context for GL tests, current on the calling thread and
// rendering into an offscreen framebuffer object. Needs an X display (Xvfb with Mesa in CI).
//
// Usage: derive the test fixture from GLTest; every test starts with the framebuffer bound,
// a viewport of width() x height() pixels and an orthographic projection in pixels with the
// origin at the bottom left (the table's convention).

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>

class QOpenGLContext;
class QOffscreenSurface;
class QOpenGLFramebufferObject;

class GLTestContext {
public:
    // The process-wide context; created on first use. Returns null if no context can be made.
    static GLTestContext* instance();

    bool makeCurrent();
    void bindFramebuffer();
    int width() const { return 256; }
    int height() const { return 256; }
    // RGBA of the framebuffer pixel (x, y), y counted from the bottom.
    std::array<uint8_t, 4> pixel(int x, int y) const;
    QOpenGLContext* context() const { return context_.get(); }

private:
    GLTestContext() = default;
    std::unique_ptr<QOpenGLContext> context_;
    std::unique_ptr<QOffscreenSurface> surface_;
    std::unique_ptr<QOpenGLFramebufferObject> fbo_;
};

class GLTest : public ::testing::Test {
protected:
    void SetUp() override;
    GLTestContext* gl = nullptr;
};
