#include "canvas/PictureExporter.h"

#include "canvas/CanvasCompositeGL.h"
#include "canvas/ExportTiling.h"
#include "vis/TabletopVisGL.h"

#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QSaveFile>

#include <GL/gl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

PictureExporter::PictureExporter(TabletopVisGL* vis_, CanvasCompositeGL* canvas_, int tileLimit_)
    : vis(vis_), canvas(canvas_), tileLimit(tileLimit_)
{
}

int PictureExporter::glTileLimit()
{
    GLint texture = 0, renderbuffer = 0;
    GLint viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &texture);
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    int limit = canvas::kMaxExportTile;
    for (GLint v : {texture, renderbuffer, viewport[0], viewport[1]})
        if (v > 0) limit = std::min(limit, static_cast<int>(v));
    return limit;
}

QImage PictureExporter::render(int scale)
{
    lastError.clear();
    lastTiles = 0;
    QOpenGLContext* context = QOpenGLContext::currentContext();
    if (!vis || !canvas) {
        lastError = "there is no painting canvas";
        return {};
    }
    if (!context) {
        lastError = "no OpenGL context is current";
        return {};
    }
    if (!QOpenGLFramebufferObject::hasOpenGLFramebufferObjects()) {
        lastError = "the OpenGL driver has no framebuffer objects";
        return {};
    }
    std::string why;
    const canvas::ExportPlan plan =
        canvas::planExport(static_cast<int>(vis->getScreenWidth()),
                           static_cast<int>(vis->getScreenHeight()), scale,
                           tileLimit > 0 ? tileLimit : glTileLimit(), &why);
    if (plan.tiles.empty()) {
        lastError = QString::fromStdString(why);
        return {};
    }
    const int tileW = std::max_element(plan.tiles.begin(), plan.tiles.end(),
                                       [](auto& a, auto& b) { return a.width < b.width; })->width;
    const int tileH = std::max_element(plan.tiles.begin(), plan.tiles.end(),
                                       [](auto& a, auto& b) { return a.height < b.height; })->height;

    QOpenGLFunctions* f = context->functions();
    GLint previousFramebuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previousFramebuffer);
    QOpenGLFramebufferObject target(tileW, tileH, QOpenGLFramebufferObject::CombinedDepthStencil);
    if (!target.isValid()) {
        f->glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previousFramebuffer));
        lastError = QString("an off-screen target of %1 x %2 pixels cannot be made").arg(tileW).arg(tileH);
        return {};
    }
    QImage image(plan.width, plan.height, QImage::Format_RGB888);
    if (image.isNull()) {
        f->glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previousFramebuffer));
        lastError = QString("no memory for an image of %1 x %2 pixels").arg(plan.width).arg(plan.height);
        return {};
    }

    glPushAttrib(GL_VIEWPORT_BIT | GL_TRANSFORM_BIT | GL_COLOR_BUFFER_BIT | GL_SCISSOR_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glDisable(GL_SCISSOR_TEST);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();

    target.bind();
    std::vector<unsigned char> pixels(static_cast<std::size_t>(tileW) * tileH * 3);
    const double s = plan.scale;
    // Every tile shares one projection of the whole table onto the whole image and sees its
    // part through a shifted viewport, so primitives across tile borders rasterise as in one
    // pass. An image beyond the largest viewport projects each tile's table rectangle instead.
    GLint maxViewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, maxViewport);
    const bool sharedProjection = plan.width <= maxViewport[0] && plan.height <= maxViewport[1];
    for (const canvas::ExportTile& t : plan.tiles) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        // Depth range as the widget's projection.
        if (sharedProjection) {
            glViewport(-t.x, -t.y, plan.width, plan.height);
            glOrtho(0.0, plan.width / s, 0.0, plan.height / s, -1.0, 1000.0);
        } else {
            glViewport(0, 0, t.width, t.height);
            glOrtho(t.x / s, (t.x + t.width) / s, t.y / s, (t.y + t.height) / s, -1.0, 1000.0);
        }
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        canvas->renderPicture();
        glReadPixels(0, 0, t.width, t.height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        // GL rows run bottom-up, image rows top-down.
        for (int row = 0; row < t.height; ++row) {
            const int imageRow = plan.height - 1 - (t.y + row);
            std::memcpy(image.scanLine(imageRow) + static_cast<std::size_t>(t.x) * 3,
                        pixels.data() + static_cast<std::size_t>(row) * t.width * 3,
                        static_cast<std::size_t>(t.width) * 3);
        }
        ++lastTiles;
    }
    target.release();
    f->glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previousFramebuffer));

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopClientAttrib();
    glPopAttrib();
    return image;
}

bool PictureExporter::exportPng(const QString& path, int scale)
{
    const QImage image = render(scale);
    if (image.isNull()) return false;
    // A failed or interrupted write leaves no half-written file behind.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        lastError = QString("%1 cannot be written: %2").arg(path, file.errorString());
        return false;
    }
    if (!image.save(&file, "PNG") || !file.commit()) {
        lastError = QString("%1 cannot be written: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}
