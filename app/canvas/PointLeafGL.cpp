#include "PointLeafGL.h"

#include "CanvasCompositeGL.h"

#include "core/Random.h"

#include <GL/gl.h>

#include <cmath>

namespace {

// Shared shape lists: render and picking, one pair per shape; 0 until compiled.
GLuint shapeBase = 0;

void drawEllipse(int k)
{
    double rx = 0.0;
    double ry = 0.0;
    PointLeafGL::shapeRadii(k, &rx, &ry);
    glBegin(GL_TRIANGLE_FAN);
    glVertex2d(0.0, 0.0);
    for (int a = 0; a <= 360; a += 36) {
        const double r = a * 0.017453292519943295;
        glVertex2d(rx * std::cos(r), ry * std::sin(r));
    }
    glEnd();
}

} // namespace

bool PointLeafGL::firstPointMade = false;

PointLeafGL::PointLeafGL(TabletopVisGL* vis, double x, double y, double width, double height,
                         double rotation, int type, double baseSizeFactor)
    : PrimitiveLeafGL(vis, x, y, false, false, width, height, baseSizeFactor, type)
{
    PointLeafGL::initializePassiveBuffers();
    if (firstPointMade)
        shapeIndex = static_cast<int>(tavlor::rand15() / 32767.0 * 15.0);
    firstPointMade = true;
    if (rotation != 0.0) rotate(rotation);
}

void PointLeafGL::shapeRadii(int k, double* rx, double* ry)
{
    // Radius 0.4 of the half width; y stretched by 1 + 0.1 k.
    *rx = 0.4 * 0.5;
    *ry = *rx * (1.0 + 0.1 * k);
}

void PointLeafGL::initializePassiveBuffers()
{
    PrimitiveLeafGL::initializePassiveBuffers();
    setPassiveBuffer(SPEED_BUFFER, nullptr);
    setPassiveBuffer(TEMPORARY_COLOR_BUFFER, nullptr);
}

void PointLeafGL::initialize()
{
    if (shapeBase != 0) return;
    shapeBase = glGenLists(2 * kShapeCount);
    if (shapeBase == 0) return;
    for (int k = 0; k < kShapeCount; ++k) {
        glNewList(shapeBase + k, GL_COMPILE);
        drawEllipse(k);
        glEndList();
        glNewList(shapeBase + kShapeCount + k, GL_COMPILE);
        drawEllipse(k);
        glEndList();
    }
}

void PointLeafGL::releaseSharedLists()
{
    if (shapeBase != 0) glDeleteLists(shapeBase, 2 * kShapeCount);
    shapeBase = 0;
}

void PointLeafGL::updateSelf(double dt)
{
    if (!isOnCurrentLayer() || !locateCell()) return;
    beginVisit();
    takeShape(sample(buffers().speedBuffer, speedSample));
    applyTemporaryColor();
    updateFromBuffers(dt);
    endVisit();
}

void PointLeafGL::readPassExtras(const PassGrids& pass, unsigned int x, unsigned int y)
{
    // The same reads as the own update's, straight from the cell.
    takeShape(passCell(pass.speed, x, y));
    applyTemporaryColor(passCell(pass.temporaryColor, x, y));
}

void PointLeafGL::takeShape(const int* speed)
{
    // Values outside the shape table (e.g. from a loaded dump) keep the current shape.
    if (speed && *speed >= 0 && *speed < kShapeCount) shapeIndex = *speed;
}

void PointLeafGL::drawShape(bool picking)
{
    initialize();
    if (shapeBase == 0) return;
    renderList = shapeBase + shapeIndex;
    pickingList = shapeBase + kShapeCount + shapeIndex;
    glPushMatrix();
    applyShapeTransformations();
    glCallList(picking ? pickingList : renderList);
    glPopMatrix();
}

void PointLeafGL::specificRender()
{
    if (!passHiddenFrames()) return;
    const int shift = isDimmed() ? 1 : 0;
    if (PrimitiveBatch* batch = batchTarget()) {
        const unsigned char rgba[4] = {static_cast<unsigned char>(displayColor.r >> shift),
                                       static_cast<unsigned char>(displayColor.g >> shift),
                                       static_cast<unsigned char>(displayColor.b >> shift), 255};
        batch->addPoint(placement(), shapeIndex, rgba);
        return;
    }
    glColor3ub(displayColor.r >> shift, displayColor.g >> shift, displayColor.b >> shift);
    drawShape(false);
}

void PointLeafGL::specificRenderForPicking()
{
    if (!canvas()) return;
    if (PrimitiveBatch* batch = batchTarget()) {
        const unsigned char none[4] = {0, 0, 0, 0};
        batch->addPoint(placement(), shapeIndex, none);
        return;
    }
    drawShape(true);
}
