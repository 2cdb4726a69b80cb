#include "AbstractImageGL.h"

#include "vis/TabletopVisGL.h"

#include <GL/gl.h>

AbstractImageGL::AbstractImageGL(TabletopVisGL* vis, double width, double height, bool rnt,
                                 bool tossing, double x, double y, double z, unsigned int texture)
    : BasicImageGL(vis, width, height, rnt, tossing, x, y, z),
      textureName(texture),
      showRNTCircle(rnt)
{
    if (vis) buildImageDisplayLists(lists);
    resetRNTCircleTicks();
    recreateActiveBuffers();
}

AbstractImageGL::~AbstractImageGL()
{
    if (getController()) deleteImageDisplayLists(lists);
}

void AbstractImageGL::rebuildDisplayLists()
{
    if (getController()) buildImageDisplayLists(lists);
}

void AbstractImageGL::renderPicking() { glCallList(lists[kPickingList]); }

void AbstractImageGL::renderBasic()
{
    // Icons have transparent corners: what lies under them shows through.
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, textureName);
    glCallList(lists[kBasicList]);
    glPopAttrib();
}

void AbstractImageGL::renderDecoration() { glCallList(lists[kDecorationList]); }
void AbstractImageGL::renderInteractionHints() { glCallList(lists[kInteractionHintsList]); }
void AbstractImageGL::renderDecorationHighlighted()
{
    glCallList(lists[kDecorationHighlightList]);
}
void AbstractImageGL::renderInteractionHintsHighlighted()
{
    glCallList(lists[kInteractionHintsHighlightList]);
}

void AbstractImageGL::specificRender()
{
    glPushMatrix();
    doCommonTransformations();
    renderBasic();
    if (drawDecoration) {
        if (stampSelection())
            renderDecorationHighlighted();
        else
            renderDecoration();
    }
    if (drawInteractionHints && showsInteractionHints()) {
        if (getSelectionActive())
            renderInteractionHintsHighlighted();
        else
            renderInteractionHints();
    }
    glPopMatrix();
    if (showRNTCircle) renderRNTCircleList(lists[kRNTCircleList], lists[kRNTCircleHighlightList]);
}

void AbstractImageGL::specificRenderForPicking()
{
    glPushMatrix();
    doCommonTransformations();
    renderPicking();
    glPopMatrix();
}

void AbstractImageGL::renderInActiveBuffers() { fillImageHitMask(true); }
