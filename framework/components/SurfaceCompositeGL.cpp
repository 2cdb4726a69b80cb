#include "SurfaceCompositeGL.h"

#include "core/BufferTemplate.h"
#include "vis/TabletopVisGL.h"

#include <GL/gl.h>

SurfaceCompositeGL::SurfaceCompositeGL(TabletopVisGL* vis, unsigned int width,
                                       unsigned int height, double x, double y, double z,
                                       double borderSize_, double overflowSize_)
    : VisComponentGL(vis, width, height, false, false, x, y, z),
      borderSize(borderSize_),
      overflowSize(overflowSize_),
      halfOverflowSize(overflowSize_ / 2.0)
{
    initialize();
    buildOrRebuildRenderDisplayLists();
    recreateActiveBuffers();
    initializePassiveBuffers();
}

SurfaceCompositeGL::~SurfaceCompositeGL()
{
    if (renderDL) glDeleteLists(renderDL, 1);
    if (pickingDL) glDeleteLists(pickingDL, 1);
}

void SurfaceCompositeGL::initialize()
{
    if (!getController()) return;
    getController()->getBorderColor(&borderColor[0], &borderColor[1], &borderColor[2]);
    borderColor[3] = 1.0f;
    for (int i = 0; i < 3; ++i) borderColorTransparent[i] = borderColor[i];
    borderColorTransparent[3] = 0.0f;
}

void SurfaceCompositeGL::createActiveBuffers()
{
    auto* relative = new BufferTemplate<float>(1, 0);
    relative->setSizeAndAllocateMemory(getBufferWidth(), getBufferHeight());
    relative->fillEntireBuffer(1.0f);
    setActiveBuffer(RELATIVE_SIZE_BUFFER, relative);
}

void SurfaceCompositeGL::renderSurfaceGL()
{
    // A frame of borderSize pixels just inside the visible screen, opaque at the outside.
    const double ox = getHalfWidth() - overflowSize;
    const double oy = getHalfHeight() - overflowSize;
    const double ix = ox - borderSize;
    const double iy = oy - borderSize;
    const double outer[4][2] = {{-ox, -oy}, {ox, -oy}, {ox, oy}, {-ox, oy}};
    const double inner[4][2] = {{-ix, -iy}, {ix, -iy}, {ix, iy}, {-ix, iy}};
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LIGHTING_BIT | GL_COLOR_BUFFER_BIT);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glShadeModel(GL_SMOOTH);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBegin(GL_QUAD_STRIP);
    for (int k = 0; k <= 4; ++k) {
        glColor4fv(borderColor);
        glVertex2dv(outer[k % 4]);
        glColor4fv(borderColorTransparent);
        glVertex2dv(inner[k % 4]);
    }
    glEnd();
    glPopAttrib();
}

void SurfaceCompositeGL::renderPickingGL()
{
    glRectd(-getHalfWidth(), -getHalfHeight(), getHalfWidth(), getHalfHeight());
}

void SurfaceCompositeGL::buildOrRebuildRenderDisplayLists()
{
    if (renderDL) glDeleteLists(renderDL, 1);
    renderDL = glGenLists(1);
    glNewList(renderDL, GL_COMPILE);
    renderSurfaceGL();
    glEndList();
    if (pickingDL) glDeleteLists(pickingDL, 1);
    pickingDL = glGenLists(1);
    glNewList(pickingDL, GL_COMPILE);
    renderPickingGL();
    glEndList();
    displayListsBuilt = true;
}

void SurfaceCompositeGL::specificRender()
{
    glPushMatrix();
    doCommonTransformations();
    glCallList(renderDL);
    specificRenderAdditional();
    glPopMatrix();
}

void SurfaceCompositeGL::specificRenderForPicking()
{
    glPushMatrix();
    doCommonTransformations();
    glCallList(pickingDL);
    glPopMatrix();
}

void SurfaceCompositeGL::repositionChildren()
{
    const double w = getWidth();
    const double h = getHeight();
    for (const auto& entry : children) {
        VisComponent* child = entry.second;
        double x = child->getXPos();
        double y = child->getYPos();
        if (x > w) x = 0.9 * w;
        else if (x < 0.0) x = 0.1 * w;
        if (y > h) y = 0.9 * h;
        else if (y < 0.0) y = 0.1 * h;
        child->setPos(x, y);
    }
}

void SurfaceCompositeGL::rebuildGraphicRepresentation()
{
    repositionChildren();
    if (TabletopVis* vis = getController()) {
        setSize(vis->getScreenWidth() + 2.0 * overflowSize,
                vis->getScreenHeight() + 2.0 * overflowSize);
    }
    setPos(getHalfWidth() - overflowSize, getHalfHeight() - overflowSize);
    initialize();
    buildOrRebuildRenderDisplayLists();
    // Recreating also points every child's subscriptions at the new buffers.
    recreateActiveBuffers();
}
