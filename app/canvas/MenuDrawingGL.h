#pragma once
// Drawing helpers the three menus share: a textured quad and a line of text centred on a point,
// in the current modelview frame (the menu's centre after doCommonTransformations). Need the
// GL context current.

#include <FTGL/ftgl.h>
#include <GL/gl.h>

namespace menus {

// A quad of half size (hw, hh) around (cx, cy) showing the whole texture, tinted by the colour
// (GL_MODULATE) and blended by its alpha. Texture 0 or the load-failure id draws nothing.
inline void drawTexturedQuad(unsigned int texture, double cx, double cy, double hw, double hh,
                             float r, float g, float b, float a)
{
    if (texture == 0 || texture == 0xFFFFFFFFu) return;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_TEXTURE_BIT | GL_COLOR_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glColor4f(r, g, b, a);
    glBegin(GL_QUADS);
    glTexCoord2d(0.0, 0.0); glVertex2d(cx - hw, cy - hh);
    glTexCoord2d(1.0, 0.0); glVertex2d(cx + hw, cy - hh);
    glTexCoord2d(1.0, 1.0); glVertex2d(cx + hw, cy + hh);
    glTexCoord2d(0.0, 1.0); glVertex2d(cx - hw, cy + hh);
    glEnd();
    glPopAttrib();
}

// An untextured frame (line loop) of half size (hw, hh) around (cx, cy).
inline void drawFrame(double cx, double cy, double hw, double hh, float r, float g, float b,
                      float a, float lineWidth)
{
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glLineWidth(lineWidth);
    glColor4f(r, g, b, a);
    glBegin(GL_LINE_LOOP);
    glVertex2d(cx - hw, cy - hh);
    glVertex2d(cx + hw, cy - hh);
    glVertex2d(cx + hw, cy + hh);
    glVertex2d(cx - hw, cy + hh);
    glEnd();
    glPopAttrib();
}

// `text` scaled by `scale`, rotated by `degrees` about (x, y) and centred there, in the colour.
inline void drawCentredText(FTFont* font, const char* text, double x, double y, double scale,
                            double degrees, float r, float g, float b, float a)
{
    if (!font || !text) return;
    const double advance = font->Advance(text);
    const double ascender = font->Ascender();
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(r, g, b, a);
    glPushMatrix();
    glTranslated(x, y, 0.0);
    glRotated(degrees, 0.0, 0.0, 1.0);
    glScaled(scale, scale, 1.0);
    glTranslated(-advance * 0.5, -ascender * 0.35, 0.0);
    font->Render(text);
    glPopMatrix();
    glPopAttrib();
}

// The id colour square of half size (hw, hh) for picking (the colour is already set).
inline void drawPickingQuad(double hw, double hh)
{
    glBegin(GL_QUADS);
    glVertex2d(-hw, -hh);
    glVertex2d(hw, -hh);
    glVertex2d(hw, hh);
    glVertex2d(-hw, hh);
    glEnd();
}

} // namespace menus
