#include "TileLeafGL.h"

#include "CanvasCompositeGL.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

GLuint boxList = 0;

// A unit square seen from above: the centre faces up, the corners lean outwards, so light
// from the side gives each tile a soft relief.
void drawLitBox()
{
    const double k = 1.0 / std::sqrt(3.0);
    const double corners[5][2] = {{-0.5, -0.5}, {0.5, -0.5}, {0.5, 0.5}, {-0.5, 0.5}, {-0.5, -0.5}};
    glBegin(GL_TRIANGLE_FAN);
    glNormal3d(0.0, 0.0, 1.0);
    glVertex3d(0.0, 0.0, 0.0);
    for (const auto& c : corners) {
        glNormal3d(c[0] < 0 ? -k : k, c[1] < 0 ? -k : k, k);
        glVertex3d(c[0], c[1], 0.0);
    }
    glEnd();
}

} // namespace

TileLeafGL::TileLeafGL(TabletopVisGL* vis, double x, double y, double width, double height,
                       double rotation, int type, bool dodging_, double baseSizeFactor)
    : PrimitiveLeafGL(vis, x, y, false, false, width, height, baseSizeFactor, type),
      dodging(dodging_)
{
    TileLeafGL::initializePassiveBuffers();
    if (rotation != 0.0) rotate(rotation);
}

void TileLeafGL::initializePassiveBuffers()
{
    PrimitiveLeafGL::initializePassiveBuffers();
    setPassiveBuffer(FRAME_VECTOR_BUFFER, nullptr);
    setPassiveBuffer(TEMPORARY_COLOR_BUFFER, nullptr);
}

void TileLeafGL::renderIntoBuffers()
{
    if (!canvas() || !isOnCurrentLayer() || !locateCell()) return;
    BufferTemplate<float>* positions = buffers().tilePositionBuffer;
    if (!covers(positions)) return;
    float p[2] = {static_cast<float>(bufferX), static_cast<float>(bufferY)};
    positions->set2DValues(cellX, cellY, p);
}

void TileLeafGL::dodge()
{
    BufferTemplate<float>* positions = buffers().tilePositionBuffer;
    if (!positions || positions->getWidth() == 0 || positions->getHeight() == 0) return;
    const float own[2] = {static_cast<float>(bufferX), static_cast<float>(bufferY)};
    const double hw = width * 0.5 / parent->getXScale();
    const double hh = height * 0.5 / parent->getYScale();
    const int w = static_cast<int>(positions->getWidth());
    const int h = static_cast<int>(positions->getHeight());
    const int x0 = std::max(0, static_cast<int>(std::floor(bufferX - hw)));
    const int x1 = std::min(w - 1, static_cast<int>(std::floor(bufferX + hw)));
    const int y0 = std::max(0, static_cast<int>(std::floor(bufferY - hh)));
    const int y1 = std::min(h - 1, static_cast<int>(std::floor(bufferY + hh)));
    double dx = 0.0;
    double dy = 0.0;
    const float* cells = std::as_const(*positions).getBufferArray();
    for (int y = y0; y <= y1; ++y) {
        const float* row = cells + static_cast<std::size_t>(y) * w * 2;
        for (int x = x0; x <= x1; ++x) {
            const float px = row[2 * x];
            const float py = row[2 * x + 1];
            if ((px == 0.0f && py == 0.0f) || (px == own[0] && py == own[1])) continue;
            dx += own[0] - px;
            dy += own[1] - py;
        }
    }
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length == 0.0) return;
    dx /= length;
    dy /= length;
    // Buffer cells are canvas-local: turn the step into table coordinates.
    const double a = parent->getRotation() * 0.017453292519943295;
    moveBy(dx * std::cos(a) - dy * std::sin(a), dx * std::sin(a) + dy * std::cos(a));
}

void TileLeafGL::updateSelf(double dt)
{
    if (!isOnCurrentLayer() || !locateCell()) return;
    beginVisit();
    if (dodging) {
        dodge();
        locateCell();
    }
    applyTemporaryColor();
    updateFromBuffers(dt);
    endVisit();
}

void TileLeafGL::initialize()
{
    if (boxList != 0) return;
    boxList = glGenLists(1);
    if (boxList == 0) return;
    glNewList(boxList, GL_COMPILE);
    drawLitBox();
    glEndList();
}

void TileLeafGL::releaseSharedList()
{
    if (boxList != 0) glDeleteLists(boxList, 1);
    boxList = 0;
}

void TileLeafGL::drawBox()
{
    initialize();
    if (boxList == 0) return;
    glPushMatrix();
    applyShapeTransformations();
    glCallList(boxList);
    glPopMatrix();
}

void TileLeafGL::specificRender()
{
    if (!passHiddenFrames()) return;
    const float f = isDimmed() ? 0.5f : 1.0f;
    const GLfloat diffuse[4] = {displayColor.r / 256.0f * f, displayColor.g / 256.0f * f,
                                displayColor.b / 256.0f * f, 1.0f};
    if (PrimitiveBatch* batch = batchTarget()) {
        batch->addTile(placement(), diffuse);
        return;
    }
    glPushAttrib(GL_LIGHTING_BIT | GL_ENABLE_BIT);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_NORMALIZE);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    drawBox();
    glPopAttrib();
}

void TileLeafGL::specificRenderForPicking()
{
    if (!canvas()) return;
    if (PrimitiveBatch* batch = batchTarget()) {
        const float none[4] = {0.0f, 0.0f, 0.0f, 0.0f};
        batch->addTile(placement(), none);
        return;
    }
    drawBox();
}
