#include "LabelLeafGL.h"

#include "vis/TabletopVisGL.h"

#include <FTGL/ftgl.h>
#include <GL/gl.h>

#include <iostream>

LabelLeafGL::LabelLeafGL(TabletopVisGL* vis, double textHeight, const char* fontName,
                         const char* text_, bool rnt, bool tossing, double x, double y, double z,
                         float textRed, float textGreen, float textBlue, float backgroundRed,
                         float backgroundGreen, float backgroundBlue, float backgroundAlpha,
                         double padding_)
    : BasicImageGL(vis, 100.0, 100.0, rnt, tossing, x, y, z),
      text(text_ ? text_ : ""),
      textColor{textRed, textGreen, textBlue, 1.0f},
      backgroundColor{backgroundRed, backgroundGreen, backgroundBlue, backgroundAlpha},
      padding(padding_)
{
    font = vis ? vis->getFont(fontName) : nullptr;
    if (!font) {
        std::cout << "label: font " << (fontName ? fontName : "")
                  << " could not be found. Did you load it? " << std::endl;
        return;
    }
    const FTBBox box = font->BBox(text.c_str());
    textLowerX = box.Lower().X();
    textLowerY = box.Lower().Y();
    textWidth = box.Upper().X() - box.Lower().X();
    descender = font->Descender();
    const double boxHeight = box.Upper().Y() - box.Lower().Y();
    // An empty text has no box: it keeps the font's line height.
    const double fontHeight = boxHeight > 0.0 ? boxHeight : font->LineHeight();
    scale = static_cast<float>(fontHeight > 0.0 ? textHeight / fontHeight : 1.0);
    setUnscaledSize((textWidth * scale + 2.0 * padding) / kPictureShare,
                    (textHeight + 2.0 * padding) / kPictureShare);
    setSize((textWidth * scale + 2.0 * padding) / kPictureShare,
            (textHeight + 2.0 * padding) / kPictureShare);
    initializePassiveBuffers();
    initialize();
    recreateActiveBuffers();
    resetRNTCircleTicks();
}

LabelLeafGL::~LabelLeafGL()
{
    if (!font) return;
    for (unsigned int& list : labelLists) {
        if (list) glDeleteLists(list, 1);
        list = 0;
    }
    if (pickingList) glDeleteLists(pickingList, 1);
}

void LabelLeafGL::initializePassiveBuffers()
{
    BasicImageGL::initializePassiveBuffers();
    for (BUFFERTAG tag : {RELATIVE_SIZE_BUFFER, ABSOLUTE_SIZE_BUFFER, DIRECTION_BUFFER,
                          ORIENTATION_BUFFER})
        setPassiveBuffer(tag, nullptr);
}

void LabelLeafGL::initialize()
{
    if (!font) return;
    // Glyph textures are made when the font first meets a glyph; inside glNewList that would
    // only be recorded, so every glyph of the text is made first.
    font->Advance(text.c_str());
    unsigned int shared[kListCount] = {};
    buildImageDisplayLists(shared);
    // The label's numbering of the shared drawings.
    labelLists[1] = shared[kDecorationList];
    labelLists[2] = shared[kRNTCircleList];
    labelLists[3] = shared[kInteractionHintsList];
    labelLists[4] = shared[kDecorationHighlightList];
    labelLists[5] = shared[kRNTCircleHighlightList];
    labelLists[6] = shared[kInteractionHintsHighlightList];
    pickingList = shared[kPickingList];
    glDeleteLists(shared[kBasicList], 1);

    // The lists are drawn in the unscaled frame; the text is laid out in table pixels.
    const double sx = getXScale() > 0.0 ? getXScale() : 1.0;
    const double sy = getYScale() > 0.0 ? getYScale() : 1.0;
    const double hw = getRealWidth() * 0.5 * kPictureShare;
    const double hh = getRealHeight() * 0.5 * kPictureShare;

    labelLists[0] = glGenLists(1);
    glNewList(labelLists[0], GL_COMPILE);
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glPushMatrix();
    glScaled(1.0 / sx, 1.0 / sy, 1.0);
    glTranslated(-getWidth() * 0.5 * kPictureShare + padding,
                 -getHeight() * 0.5 * kPictureShare + padding, 0.0);
    glScaled(scale, scale, 1.0);
    // The box's lower corner sits on the padding; the descender keeps the baseline where the
    // font puts it.
    glTranslated(-textLowerX, -textLowerY, 0.0);
    glColor4fv(textColor);
    font->Render(text.c_str());
    glPopMatrix();
    glPopAttrib();
    glEndList();

    labelLists[7] = glGenLists(1);
    glNewList(labelLists[7], GL_COMPILE);
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4fv(backgroundColor);
    glBegin(GL_QUADS);
    glVertex2d(-hw, -hh);
    glVertex2d(hw, -hh);
    glVertex2d(hw, hh);
    glVertex2d(-hw, hh);
    glEnd();
    glPopAttrib();
    glEndList();
}

void LabelLeafGL::renderInActiveBuffers() { fillImageHitMask(false); }

void LabelLeafGL::specificRender()
{
    if (!font) return;
    glPushMatrix();
    doCommonTransformations();
    glCallList(labelLists[7]);
    const bool selected = stampSelection();
    glCallList(labelLists[selected ? 4 : 1]);
    if (showsInteractionHints()) glCallList(labelLists[selected ? 6 : 3]);
    glCallList(labelLists[0]);
    glPopMatrix();
    renderRNTCircleList(labelLists[2], labelLists[5]);
}

void LabelLeafGL::specificRenderForPicking()
{
    if (!font) return;
    glPushMatrix();
    doCommonTransformations();
    glCallList(pickingList);
    glPopMatrix();
}

unsigned int LabelLeafGL::hitLocalBuffer(unsigned int x, unsigned int y, unsigned int,
                                         unsigned int)
{
    return touchAt(x, y);
}

unsigned int LabelLeafGL::releaseLocalBuffer(unsigned int, unsigned int, unsigned int,
                                             unsigned int)
{
    endTouch();
    return hitCode;
}
