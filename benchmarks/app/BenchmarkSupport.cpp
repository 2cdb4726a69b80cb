#include "BenchmarkSupport.h"

#include "canvas/PointLeafGL.h"
#include "canvas/StrokeLeafGL.h"
#include "canvas/TileLeafGL.h"
#include "core/Random.h"
#include "shell/RuduzozovorERUVisGL.h"

#include <QGuiApplication>
#include <QSurfaceFormat>

#include <GL/gl.h>

#include <ctime>

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

double threadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

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

} // namespace bench
