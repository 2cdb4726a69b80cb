// The whole frame of the painting scene in an offscreen OpenGL context (needs an X display; Mesa's
// llvmpipe under Xvfb on machines without a GPU): the controller's render call with N strokes,
// tiles or points on a 1600 x 1200 canvas, buffers updated, primitives animated and drawn, and a
// brush writing under a held touch.
#include "canvas/CanvasCompositeGL.h"
#include "core/Random.h"
#include "shell/RuduzozovorERUBuilderGL.h"
#include "shell/RuduzozovorERUVisGL.h"
#include "canvas/PointLeafGL.h"
#include "canvas/StrokeLeafGL.h"
#include "canvas/TileLeafGL.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QSurfaceFormat>

#include <GL/gl.h>

#include <benchmark/benchmark.h>

#include <iostream>
#include <memory>

namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 1200;

// One context and framebuffer for the whole run.
struct Offscreen {
    std::unique_ptr<QOpenGLContext> context;
    std::unique_ptr<QOffscreenSurface> surface;
    std::unique_ptr<QOpenGLFramebufferObject> fbo;

    static Offscreen* get()
    {
        static Offscreen* instance = [] () -> Offscreen* {
            static int argc = 1;
            static char arg0[] = "nprtable_benchmarks";
            static char* argv[] = {arg0, nullptr};
            if (!QGuiApplication::instance()) new QGuiApplication(argc, argv);
            auto* o = new Offscreen;
            QSurfaceFormat format;
            format.setProfile(QSurfaceFormat::CompatibilityProfile);
            format.setVersion(2, 1);
            format.setDepthBufferSize(24);
            o->context = std::make_unique<QOpenGLContext>();
            o->context->setFormat(format);
            o->surface = std::make_unique<QOffscreenSurface>();
            if (!o->context->create()) return nullptr;
            o->surface->setFormat(o->context->format());
            o->surface->create();
            if (!o->context->makeCurrent(o->surface.get())) return nullptr;
            QOpenGLFramebufferObjectFormat fboFormat;
            fboFormat.setAttachment(QOpenGLFramebufferObject::CombinedDepthStencil);
            o->fbo = std::make_unique<QOpenGLFramebufferObject>(kWidth, kHeight, fboFormat);
            return o;
        }();
        return instance;
    }

    void bind() const
    {
        fbo->bind();
        glViewport(0, 0, kWidth, kHeight);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, kWidth, 0, kHeight, -1000, 1000);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
};

// kind: 0 strokes, 1 tiles, 2 points, all on layer 0.
void frameBenchmark(benchmark::State& state, int kind, bool painting)
{
    Offscreen* gl = Offscreen::get();
    if (!gl) {
        state.SkipWithError("no OpenGL context (is DISPLAY set?)");
        return;
    }
    gl->bind();
    std::streambuf* saved = std::cout.rdbuf(nullptr);
    tavlor::seedRand15(3);
    RuduzozovorERUBuilderGL builder;
    builder.buildVis(1, 64, 64, kWidth, kHeight);
    RuduzozovorERUVisGL* vis = builder.getApplicationVis();
    vis->setAnimating(true);
    vis->setOneFingerRange(0, 1e9);
    builder.buildCanvas(10.0, 50.0, 1, 32.0, nullptr, kHeight);
    CanvasCompositeGL* canvas = vis->findFirst<CanvasCompositeGL>();
    // Placed straight onto the canvas (the builder's scenes drop theirs, one picking pass each).
    for (long i = 0; i < state.range(0); ++i) {
        const double x = tavlor::rand15() * (kWidth - 1) / 32767.0;
        const double y = tavlor::rand15() * (kHeight - 1) / 32767.0;
        const double a = tavlor::rand15() * 360.0 / 32767.0;
        VisComponent* p = nullptr;
        if (kind == 0) p = vis->createStroke(x, y, 32.0, 32.0, a, 0, 1, false);
        if (kind == 1) p = vis->createTile(x, y, 24.0, 24.0, a, 0, false, false);
        if (kind == 2) p = vis->createPoint(x, y, 16.0, 16.0, a, 0, false);
        if (p) canvas->addChild(p);
    }
    canvas->setToolState(4, 2, static_cast<float>(kind));
    canvas->updatePostureRanges();
    if (painting) {
        // A held touch in orientation mode: the brush writes its footprint every frame.
        canvas->setInteractionMode(3);
        vis->setInputCombo(0);
        vis->setTouchBoundWidth(0, 10.0);
        vis->setTouchBoundHeight(0, 10.0);
        vis->devicePress(kWidth / 2, kHeight / 2, 0, 0);
    }
    for (int i = 0; i < 5; ++i) vis->render(1, 60.0);
    for (auto _ : state) {
        if (painting) vis->deviceMove(kWidth / 2 + (state.iterations() % 2) * 20, kHeight / 2, 0, 0);
        gl->bind();
        vis->render(1, 60.0);
        glFinish();
    }
    std::cout.rdbuf(saved);
    state.counters["primitives"] = static_cast<double>(vis->countComponents());
}

void BM_FrameStrokes(benchmark::State& state) { frameBenchmark(state, 0, false); }
void BM_FrameTiles(benchmark::State& state) { frameBenchmark(state, 1, false); }
void BM_FramePoints(benchmark::State& state) { frameBenchmark(state, 2, false); }
void BM_FrameStrokesPainting(benchmark::State& state) { frameBenchmark(state, 0, true); }

BENCHMARK(BM_FrameStrokes)->Arg(1000)->Arg(10000)->Arg(50000)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameTiles)->Arg(1000)->Arg(10000)->Arg(50000)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FramePoints)->Arg(1000)->Arg(10000)->Arg(50000)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameStrokesPainting)->Arg(1000)->Arg(10000)->Arg(50000)->Iterations(20)->Unit(benchmark::kMillisecond);

} // namespace
