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
    return touchAt(x, y, &overlayTarget, overlayTexture);
}

unsigned int ImageLeafGL::releaseLocalBuffer(unsigned int, unsigned int, unsigned int,
                                             unsigned int)
{
    endTouch();
    if (drawingMode && !overlayTexture) createOverlay();
    return hitCode;
}

void ImageLeafGL::createOverlay()
{
    TabletopVis* vis = getController();
    if (!vis) return;
    vis->pushTimeState();
    overlayTexture = createAnnotationTexture();
    const float transparent[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    openAnnotationTarget(overlayTarget, transparent, true);
    vis->deactivatePBuffer(&overlayTarget);
    glBindTexture(GL_TEXTURE_2D, 0);
    vis->popTimeState();
}
