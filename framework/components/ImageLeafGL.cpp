#include "ImageLeafGL.h"

#include "vis/TabletopVisGL.h"

#include <GL/gl.h>

unsigned int ImageLeafGL::_numberOfImages = 0;
unsigned int ImageLeafGL::_sharedLists[BasicImageGL::kListCount] = {};

ImageLeafGL::ImageLeafGL(TabletopVisGL* vis, double width, double height, bool rnt, bool tossing,
                         double x, double y, double z, double rotation, unsigned int texture)
    : BasicImageGL(vis, 100.0, 100.0, rnt, tossing, x, y, z), textureID(texture)
{
    rotate(rotation);
    initializePassiveBuffers();
    initialize();
    setUnscaledSize(width, height);
    setSize(width, height);
    recreateActiveBuffers();
    resetRNTCircleTicks();
    if (getController()) drawingTimeout = getController()->getTicksPerSecond();
}

ImageLeafGL::~ImageLeafGL()
{
    if (overlayTarget.handle && getController()) getController()->shutdown_pbuffer(&overlayTarget);
    if (overlayTexture) {
        GLuint t = overlayTexture;
        glDeleteTextures(1, &t);
    }
    if (_numberOfImages > 0 && --_numberOfImages == 0) deleteImageDisplayLists(_sharedLists);
}

unsigned int ImageLeafGL::getSharedDisplayList(unsigned int index)
{
    return index < kListCount ? _sharedLists[index] : 0;
}

void ImageLeafGL::initialize()
{
    if (_numberOfImages == 0) buildImageDisplayLists(_sharedLists);
    ++_numberOfImages;
}

void ImageLeafGL::initializePassiveBuffers()
{
    BasicImageGL::initializePassiveBuffers();
    for (BUFFERTAG tag : {RELATIVE_SIZE_BUFFER, ABSOLUTE_SIZE_BUFFER, DIRECTION_BUFFER,
                          ORIENTATION_BUFFER, TEMPORARY_ORIENTATION_BUFFER})
        setPassiveBuffer(tag, nullptr);
}

void ImageLeafGL::renderInActiveBuffers() { fillImageHitMask(true); }

void ImageLeafGL::specificRender()
{
    glPushMatrix();
    doCommonTransformations();
    glBindTexture(GL_TEXTURE_2D, textureID);
    glCallList(_sharedLists[kBasicList]);
    if (overlayTexture) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glBindTexture(GL_TEXTURE_2D, overlayTexture);
        glCallList(_sharedLists[kBasicList]);
        glDisable(GL_BLEND);
    }
    const bool selected = stampSelection();
    glCallList(_sharedLists[selected ? kDecorationHighlightList : kDecorationList]);
    if (showsInteractionHints())
        glCallList(_sharedLists[selected ? kInteractionHintsHighlightList : kInteractionHintsList]);
    glPopMatrix();
    renderRNTCircleList(_sharedLists[kRNTCircleList], _sharedLists[kRNTCircleHighlightList]);
}

void ImageLeafGL::specificRenderForPicking()
{
    glPushMatrix();
    doCommonTransformations();
    glCallList(_sharedLists[kPickingList]);
    glPopMatrix();
}

unsigned int ImageLeafGL::hitLocalBuffer(unsigned int x, unsigned int y, unsigned int,
                                         unsigned int)
{
    const double px = static_cast<double>(x);
    const double py = static_cast<double>(y);
    beginTouchAt(px, py);
    TabletopVis* vis = getController();
    const unsigned long now = vis ? vis->getCurrentTicks() : 0;
    if (drawingMode && now - lastDrawingTicks > drawingTimeout) drawingMode = false;
    if (resizing) interactiveResizeTopLeft(px, py);
    if (drawingMode) {
        drawAnnotationStep(overlayTarget, overlayTexture, stroke, eraser, nullptr, px, py);
        lastDrawingTicks = now;
        hitCode = eraser ? kEraserCode : kPenCode;
        return hitCode;
    }
    return hitCode;
}

unsigned int ImageLeafGL::releaseLocalBuffer(unsigned int, unsigned int, unsigned int,
                                             unsigned int)
{
    if (!touched) {
        hitCode = 0;
        return 0;
    }
    touched = false;
    resizing = false;
    if (hitCode == kPenCode || hitCode == kEraserCode) {
        drawingMode = true;
        stroke.restart();
        lastDrawingTicks = getController() ? getController()->getCurrentTicks() : 0;
        eraser = hitCode != kPenCode;
        if (!overlayTexture) createOverlay();
    }
    return hitCode;
}

void ImageLeafGL::createOverlay()
{
    TabletopVis* vis = getController();
    if (!vis) return;
    vis->pushTimeState();
    overlayTexture = createAnnotationTexture();
    vis->init_pbuffer(&overlayTarget, 512, 512);
    vis->activatePBuffer(&overlayTarget);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // v grows downwards: overlay row 0 is the top of the picture.
    glOrtho(0.0, 512.0, 512.0, 0.0, -20.0, 20.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_POINT_SMOOTH);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    vis->deactivatePBuffer(&overlayTarget);
    glBindTexture(GL_TEXTURE_2D, 0);
    vis->popTimeState();
}
