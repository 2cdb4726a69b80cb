#include "GLTestContext.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QSurfaceFormat>

#include <GL/gl.h>

namespace {
int g_argc = 1;
char g_arg0[] = "gltests";
char* g_argv[] = {g_arg0, nullptr};
}

GLTestContext* GLTestContext::instance()
{
    static GLTestContext* ctx = [] () -> GLTestContext* {
        if (!QGuiApplication::instance()) {
            new QGuiApplication(g_argc, g_argv);
        }
        auto* c = new GLTestContext;
        QSurfaceFormat format;
        format.setRenderableType(QSurfaceFormat::OpenGL);
        format.setProfile(QSurfaceFormat::CompatibilityProfile);
        format.setVersion(2, 1);
        format.setAlphaBufferSize(8);
        format.setDepthBufferSize(24);
        c->context_ = std::make_unique<QOpenGLContext>();
        c->context_->setFormat(format);
        if (!c->context_->create()) {
            delete c;
            return nullptr;
        }
        c->surface_ = std::make_unique<QOffscreenSurface>();
        c->surface_->setFormat(c->context_->format());
        c->surface_->create();
        if (!c->context_->makeCurrent(c->surface_.get())) {
            delete c;
            return nullptr;
        }
        QOpenGLFramebufferObjectFormat fboFormat;
        fboFormat.setAttachment(QOpenGLFramebufferObject::CombinedDepthStencil);
        c->fbo_ = std::make_unique<QOpenGLFramebufferObject>(c->width(), c->height(), fboFormat);
        return c;
    }();
    return ctx;
}

bool GLTestContext::makeCurrent()
{
    return context_->makeCurrent(surface_.get());
}

void GLTestContext::bindFramebuffer()
{
    fbo_->bind();
    glViewport(0, 0, width(), height());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width(), 0, height(), -1000, 1000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

std::array<uint8_t, 4> GLTestContext::pixel(int x, int y) const
{
    std::array<uint8_t, 4> rgba{};
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

void GLTest::SetUp()
{
    gl = GLTestContext::instance();
    ASSERT_NE(gl, nullptr) << "no OpenGL context (is DISPLAY set to an X server?)";
    ASSERT_TRUE(gl->makeCurrent());
    gl->bindFramebuffer();
}
