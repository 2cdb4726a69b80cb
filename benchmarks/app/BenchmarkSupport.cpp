#include "BenchmarkSupport.h"
#include "canvas/CanvasCompositeGL.h"

#include "canvas/PointLeafGL.h"
#include "canvas/StrokeLeafGL.h"
#include "canvas/TileLeafGL.h"
#include "core/Random.h"
#include "shell/RuduzozovorERUBuilderGL.h"
#include "shell/RuduzozovorERUVisGL.h"

#include <QGuiApplication>
#include <QSurfaceFormat>

#include <GL/gl.h>

#include <benchmark/benchmark.h>

#include <ctime>
#include <iostream>

namespace bench {

Offscreen* Offscreen::get()
{
    static Offscreen* instance = []() -> Offscreen* {
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

void Offscreen::bind() const
{
    fbo->bind();
    glViewport(0, 0, kWidth, kHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, kWidth, 0, kHeight, -1000, 1000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

Offscreen* Offscreen::bindOrSkip(benchmark::State& state)
{
    Offscreen* gl = get();
    if (!gl) {
        state.SkipWithError("no OpenGL context (is DISPLAY set?)");
        return nullptr;
    }
    gl->bind();
    return gl;
}

QuietOutput::QuietOutput() : saved(std::cout.rdbuf(nullptr)) {}

QuietOutput::~QuietOutput() { std::cout.rdbuf(saved); }

namespace {
double clockSeconds(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}
} // namespace

double threadSeconds() { return clockSeconds(CLOCK_THREAD_CPUTIME_ID); }

double processSeconds() { return clockSeconds(CLOCK_PROCESS_CPUTIME_ID); }

VisComponent* createRandomPrimitive(RuduzozovorERUVisGL* vis, int kind, double width, double height)
{
    const double x = tavlor::rand15() * (width - 1) / 32767.0;
    const double y = tavlor::rand15() * (height - 1) / 32767.0;
    const double a = tavlor::rand15() * 360.0 / 32767.0;
    if (kind == 0) return vis->createStroke(x, y, 32.0, 32.0, a, 0, 1, false);
    if (kind == 1) return vis->createTile(x, y, 24.0, 24.0, a, 0, false, false);
    if (kind == 2) return vis->createPoint(x, y, 16.0, 16.0, a, 0, false);
    return nullptr;
}

CanvasScene::CanvasScene(int width, int height, double overflow, double strokeWidth, int kind,
                         long n, unsigned int seed)
{
    tavlor::seedRand15(seed);
    builder = std::make_unique<RuduzozovorERUBuilderGL>();
    builder->buildVis(1, 64, 64, width, height);
    vis = builder->getApplicationVis();
    vis->setAnimating(true);
    builder->buildCanvas(10.0, overflow, 1, strokeWidth, nullptr, height);
    canvas = vis->findFirst<CanvasCompositeGL>();
    // Placed straight onto the canvas (the builder's scenes drop theirs, one picking pass each).
    for (long i = 0; i < n; ++i)
        if (VisComponent* p = createRandomPrimitive(vis, kind, width, height)) canvas->addChild(p);
    canvas->setToolState(4, 2, static_cast<float>(kind));
}

CanvasScene::~CanvasScene() = default;
CanvasScene::CanvasScene(CanvasScene&&) noexcept = default;

} // namespace bench
