// Shared pieces of the application benchmarks: one offscreen OpenGL context, the thread's
// processor time and a randomly placed primitive.
#pragma once

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>

#include <memory>

class RuduzozovorERUVisGL;
class VisComponent;

namespace bench {

constexpr int kWidth = 1600;
constexpr int kHeight = 1200;

// One context and kWidth x kHeight framebuffer for the whole run (needs an X display; Mesa's
// llvmpipe under Xvfb on machines without a GPU).
struct Offscreen {
    std::unique_ptr<QOpenGLContext> context;
    std::unique_ptr<QOffscreenSurface> surface;
    std::unique_ptr<QOpenGLFramebufferObject> fbo;

    // Null when no context can be made current.
    static Offscreen* get();
    // Binds the framebuffer with a pixel orthographic projection.
    void bind() const;
};

// Seconds of this thread's processor time: the machine may be shared, and waiting for a core
// is not the code's cost.
double threadSeconds();

// kind: 0 stroke, 1 tile, 2 point on layer 0 at a random place and angle (tavlor::rand15) inside
// width x height; not yet added to a parent. Null for another kind.
VisComponent* createRandomPrimitive(RuduzozovorERUVisGL* vis, int kind, double width, double height);

} // namespace bench
