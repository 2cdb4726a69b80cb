// Shared pieces of the application benchmarks: one offscreen OpenGL context, quiet standard
// output, the thread's processor time, a randomly placed primitive and a painting scene.
#pragma once

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>

#include <iosfwd>
#include <memory>

class CanvasCompositeGL;
class RuduzozovorERUBuilderGL;
class RuduzozovorERUVisGL;
class VisComponent;

namespace benchmark {
class State;
}

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
    // The context with its framebuffer bound; without one the benchmark is marked skipped and
    // the result is null.
    static Offscreen* bindOrSkip(benchmark::State& state);
};

// Standard output is silent while one lives: building a scene reports a lot.
class QuietOutput {
public:
    QuietOutput();
    ~QuietOutput();
    QuietOutput(const QuietOutput&) = delete;
    QuietOutput& operator=(const QuietOutput&) = delete;

private:
    std::streambuf* saved;
};

// Seconds of this thread's processor time: the machine may be shared, and waiting for a core
// is not the code's cost.
double threadSeconds();
// Processor time of all the process's threads (with llvmpipe: the caller and the raster
// threads), which other load on the machine barely moves.
double processSeconds();

// kind: 0 stroke, 1 tile, 2 point on layer 0 at a random place and angle (tavlor::rand15) inside
// width x height; not yet added to a parent. Null for another kind.
VisComponent* createRandomPrimitive(RuduzozovorERUVisGL* vis, int kind, double width, double height);

// An animating controller with a width x height screen and one painting canvas (border 10, the
// given overflow and stroke width) holding n primitives of kind placed straight onto it
// (tavlor::rand15 seeded with seed first); the create brush makes that kind.
struct CanvasScene {
    std::unique_ptr<RuduzozovorERUBuilderGL> builder;
    RuduzozovorERUVisGL* vis = nullptr;
    CanvasCompositeGL* canvas = nullptr;

    CanvasScene(int width, int height, double overflow, double strokeWidth, int kind, long n,
                unsigned int seed);
    ~CanvasScene();
    CanvasScene(CanvasScene&&) noexcept;
};

} // namespace bench
