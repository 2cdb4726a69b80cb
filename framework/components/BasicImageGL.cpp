#define GL_GLEXT_PROTOTYPES 1

#include "BasicImageGL.h"

#include "core/BufferTemplate.h"
#include "vis/TabletopVisGL.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <iostream>

namespace {

constexpr double kDegToRad = M_PI / 180.0;
// Fractions of the half-extents: the frame line, the hint mark and its arms.
constexpr double kHintInset = 0.98;
constexpr double kHintArm = 0.15;

void borderOrHighlight(TabletopVis* vis, bool highlighted)
{
    float c[3] = {0.0f, 0.0f, 0.0f};
    if (vis) {
        if (highlighted)
            vis->getHighlightColor(&c[0], &c[1], &c[2]);
        else
            vis->getBorderColor(&c[0], &c[1], &c[2]);
    }
    glColor4f(c[0], c[1], c[2], 1.0f);
}

} // namespace

BasicImageGL::BasicImageGL(TabletopVisGL* vis, double width, double height, bool rnt, bool tossing,
                           double x, double y, double z)
    : VisComponentGL(vis, width, height, rnt, tossing, x, y, z)
{
    if (vis) drawingTimeout = vis->getTicksPerSecond();
}

bool BasicImageGL::checkPositionForRNT(double x, double y)
{
    const double dx = x - getXPos();
    const double dy = y - getYPos();
    const double factor = getController() ? getController()->getQuaterSquaredRNTFactor() : 0.125;
    return dx * dx + dy * dy > getSmallestSquareSurface() * factor;
}

// ---------------------------------------------------------------------------------------------
// Drawing

void BasicImageGL::renderPickingGL()
{
    const double hw = getRealWidth() * 0.5;
    const double hh = getRealHeight() * 0.5;
    glBegin(GL_QUADS);
    glVertex2d(-hw, -hh);
    glVertex2d(hw, -hh);
    glVertex2d(hw, hh);
    glVertex2d(-hw, hh);
    glEnd();
}

void BasicImageGL::renderBasicGL()
{
    const double hw = getRealWidth() * 0.5 * kPictureShare;
    const double hh = getRealHeight() * 0.5 * kPictureShare;
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    glBegin(GL_QUAD_STRIP);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2d(-hw, -hh);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2d(hw, -hh);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2d(-hw, hh);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2d(hw, hh);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

void BasicImageGL::renderDecorationGL(bool highlighted)
{
    const double hw = getRealWidth() * 0.5 * kPictureShare;
    const double hh = getRealHeight() * 0.5 * kPictureShare;
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glLineWidth(1.5f);
    borderOrHighlight(getController(), highlighted);
    glBegin(GL_LINE_LOOP);
    glVertex2d(-hw, -hh);
    glVertex2d(hw, -hh);
    glVertex2d(hw, hh);
    glVertex2d(-hw, hh);
    glEnd();
    glDisable(GL_BLEND);
}

void BasicImageGL::renderInteractionHintsGL(bool highlighted)
{
    const double hw = getRealWidth() * 0.5;
    const double hh = getRealHeight() * 0.5;
    glLineWidth(3.0f);
    borderOrHighlight(getController(), highlighted);
    // The resize corner (bottom right).
    glBegin(GL_LINE_STRIP);
    glVertex2d((kHintInset - kHintArm) * hw, -kHintInset * hh);
    glVertex2d(kHintInset * hw, -kHintInset * hh);
    glVertex2d(kHintInset * hw, (-kHintInset + kHintArm) * hh);
    glEnd();
}

void BasicImageGL::renderRNTCircleGL(bool highlighted)
{
    const double factor = getController() ? getController()->getRNTFactor() : 0.5;
    const double r = factor * 0.5 * std::min(getRealWidth(), getRealHeight());
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glLineWidth(1.5f);
    borderOrHighlight(getController(), highlighted);
    glBegin(GL_LINE_LOOP);
    for (int k = 0; k <= 72; ++k) {
        const double a = k * 5.0 * kDegToRad;
        glVertex2d(r * std::cos(a), r * std::sin(a));
    }
    glEnd();
    glDisable(GL_BLEND);
}

void BasicImageGL::buildImageDisplayLists(unsigned int* lists)
{
    const auto compile = [&](unsigned int index, auto draw) {
        if (lists[index]) glDeleteLists(lists[index], 1);
        lists[index] = glGenLists(1);
        glNewList(lists[index], GL_COMPILE);
        draw();
        glEndList();
    };
    compile(kPickingList, [&] { renderPickingGL(); });
    compile(kBasicList, [&] { renderBasicGL(); });
    compile(kDecorationList, [&] { renderDecorationGL(false); });
    compile(kRNTCircleList, [&] { renderRNTCircleGL(false); });
    compile(kInteractionHintsList, [&] { renderInteractionHintsGL(false); });
    compile(kDecorationHighlightList, [&] { renderDecorationGL(true); });
    compile(kRNTCircleHighlightList, [&] { renderRNTCircleGL(true); });
    compile(kInteractionHintsHighlightList, [&] { renderInteractionHintsGL(true); });
}

void BasicImageGL::deleteImageDisplayLists(unsigned int* lists)
{
    for (unsigned int i = 0; i < kListCount; ++i) {
        if (lists[i]) glDeleteLists(lists[i], 1);
        lists[i] = 0;
    }
}

bool BasicImageGL::showsInteractionHints() const
{
    return !getParent() || getParent()->childrenShowInteractionHandles();
}

bool BasicImageGL::stampSelection()
{
    if (!getSelectionActive()) return false;
    if (getController()) lastSelectedTicks = getController()->getCurrentTicks();
    return true;
}

bool BasicImageGL::isRNTCircleVisible() const
{
    if (!getController()) return false;
    return getController()->getCurrentTicks() - lastSelectedTicks < rntCircleTicks;
}

void BasicImageGL::renderRNTCircleList(unsigned int normalList, unsigned int highlightedList)
{
    if (!isRNTCircleVisible()) return;
    const double s = std::min(getXScale(), getYScale());
    glPushMatrix();
    glTranslated(getXPos(), getYPos(), getZPos());
    glRotated(getRotation(), 0.0, 0.0, 1.0);
    glScaled(s, s, 1.0);
    glCallList(getSelectionActive() ? highlightedList : normalList);
    glPopMatrix();
}

void BasicImageGL::resetRNTCircleTicks()
{
    rntCircleTicks = getController()
                         ? static_cast<unsigned long>(
                               static_cast<double>(getController()->getTicksPerSecond()) *
                               getController()->getRNTCircleDisplayTime())
                         : 0;
}

// ---------------------------------------------------------------------------------------------
// Hit mask and touches

void BasicImageGL::createActiveBuffers()
{
    if (!getController()) return;
    setActiveBuffer(LOCAL_HIT_BUFFER,
                    getController()->createNewIntImageBuffer(getBufferWidth(), getBufferHeight()));
}

void BasicImageGL::fillImageHitMask(bool penAndEraser)
{
    BufferTemplate<int>* mask = getActiveBufferAs<int>(LOCAL_HIT_BUFFER);
    if (!mask) return;
    const unsigned int w = mask->getWidth();
    const unsigned int h = mask->getHeight();
    mask->fillEntireBuffer(static_cast<int>(kMoveCode));
    for (unsigned int y = 0; y < h; ++y) {
        for (unsigned int x = 0; x < w; ++x) {
            const bool right = x >= w - w / 8;
            const bool left = x < w / 8;
            if (right && y < h / 8)
                mask->setValue(x, y, static_cast<int>(kResizeCode));
            else if (penAndEraser && right && y >= h - h / 8)
                mask->setValue(x, y, static_cast<int>(kEraserCode));
            else if (penAndEraser && left && y >= h - h / 8)
                mask->setValue(x, y, static_cast<int>(kPenCode));
        }
    }
}

unsigned int BasicImageGL::hitMaskCodeAt(double x, double y) const
{
    double lx = 0.0;
    double ly = 0.0;
    getLocalCoordinates(x, y, getWidth(), getHeight(), &lx, &ly);
    if (lx <= -1.0 || ly <= -1.0 || lx >= getWidth() + 1.0 || ly >= getHeight() + 1.0) return 0;
    const BufferTemplate<int>* mask = getActiveBufferAs<int>(LOCAL_HIT_BUFFER);
    if (!mask || mask->getWidth() == 0 || mask->getHeight() == 0) return 0;
    const unsigned int bx =
        std::min(getBufferXCoordinateFromLocal(std::max(lx, 0.0)), mask->getWidth() - 1);
    const unsigned int by =
        std::min(getBufferYCoordinateFromLocal(std::max(ly, 0.0)), mask->getHeight() - 1);
    return static_cast<unsigned int>(mask->getValue(bx, by));
}

void BasicImageGL::beginTouchAt(double x, double y)
{
    if (touched) return;
    VisComponent* parent = getParent();
    const bool handles = !parent || parent->childrenShowInteractionHandles();
    if (!handles && !parent->childrenCanBeWrittenOn()) return;
    touched = true;
    hitCode = hitMaskCodeAt(x, y);
    // Without handles only the pen and eraser corners are live: the resize corner just moves.
    if (!handles && hitCode == kResizeCode) hitCode = kMoveCode;
    if (hitCode == kResizeCode) resizing = true;
}

unsigned int BasicImageGL::touchAt(double x, double y, PBuffer* target, unsigned int texture,
                                   const float* eraserColour)
{
    beginTouchAt(x, y);
    TabletopVis* vis = getController();
    const unsigned long now = vis ? vis->getCurrentTicks() : 0;
    if (drawingMode && now - lastDrawingTicks > drawingTimeout) drawingMode = false;
    if (resizing) interactiveResizeTopLeft(x, y);
    if (drawingMode && target) {
        drawAnnotationStep(*target, texture, stroke, eraser, eraserColour, x, y);
        lastDrawingTicks = now;
        hitCode = eraser ? kEraserCode : kPenCode;
    }
    return hitCode;
}

bool BasicImageGL::endTouch()
{
    if (!touched) {
        hitCode = 0;
        return false;
    }
    touched = false;
    resizing = false;
    if (hitCode == kPenCode || hitCode == kEraserCode) {
        drawingMode = true;
        stroke.restart();
        lastDrawingTicks = getController() ? getController()->getCurrentTicks() : 0;
        eraser = hitCode != kPenCode;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Annotation

unsigned int BasicImageGL::createAnnotationTexture()
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    TabletopVis* vis = getController();
    if (vis) vis->determineTextureParameters();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    if (!vis || !vis->hasHardwareExtension(3)) {
        std::cout << "GL_GENERATE_MIPMAP_SGIS failed" << std::endl;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    } else {
        glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
    }
    return texture;
}

void BasicImageGL::openAnnotationTarget(PBuffer& target, const float* clearColour, bool nicest)
{
    TabletopVis* vis = getController();
    if (!vis) return;
    vis->init_pbuffer(&target, 512, 512);
    vis->activatePBuffer(&target);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // v grows downwards (row 0 is the top of the picture); a larger z lies further back.
    glOrtho(0.0, 512.0, 512.0, 0.0, 20.0, -20.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // The depth test keeps each stroke's white underlay behind the black of earlier strokes.
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_POINT_SMOOTH);
    const GLenum quality = nicest ? GL_NICEST : GL_FASTEST;
    glHint(GL_LINE_SMOOTH_HINT, quality);
    glHint(GL_POINT_SMOOTH_HINT, quality);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void BasicImageGL::drawAnnotationStep(PBuffer& target, unsigned int texture,
                                      AnnotationStroke& stroke, bool eraser,
                                      const float* eraserColour, double x, double y)
{
    TabletopVis* vis = getController();
    if (!vis || !target.handle) return;
    double lx = 0.0;
    double ly = 0.0;
    getLocalCoordinates(x, y, getWidth(), getHeight(), &lx, &ly);
    const AnnotationPoint p = AnnotationStroke::toOverlay(lx, ly, getWidth(), getHeight());
    const double k = 4.0 / std::max(1e-6, std::min(getXScale(), getYScale()));

    glBindTexture(GL_TEXTURE_2D, texture);
    vis->activatePBuffer(&target);
    const bool clears = eraser && !eraserColour;
    if (clears) {
        glBlendColor(0.0f, 0.0f, 0.0f, 0.0f);
        glBlendFunc(GL_CONSTANT_COLOR, GL_ZERO);
    } else {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    const auto eraserColor = [&] {
        if (eraserColour)
            glColor4fv(eraserColour);
        else
            glColor4f(1.0f, 1.0f, 1.0f, 0.0f);
    };
    const auto dot = [&](const AnnotationPoint& q, float size, float depth) {
        glPointSize(size);
        glBegin(GL_POINTS);
        glVertex3f(q.x, q.y, depth);
        glEnd();
    };

    switch (stroke.add(p)) {
    case AnnotationStroke::Step::FirstPoint:
        if (eraser) {
            eraserColor();
            dot(p, static_cast<float>(39.8 * k), 0.0f);
        } else {
            glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
            dot(p, static_cast<float>(7.8 * k), 10.0f);
            glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
            dot(p, static_cast<float>(5.8 * k), 0.0f);
        }
        break;
    case AnnotationStroke::Step::Remembered:
        break;
    case AnnotationStroke::Step::Segment: {
        const AnnotationPoint* c = stroke.controlPoints();
        const unsigned int n = AnnotationStroke::segmentSteps(c[0], c[3]);
        GLfloat control[12];
        for (int i = 0; i < 4; ++i) {
            control[3 * i] = c[i].x;
            control[3 * i + 1] = c[i].y;
            control[3 * i + 2] = c[i].z;
        }
        glMap1f(GL_MAP1_VERTEX_3, 0.0f, 1.0f, 3, 4, control);
        glEnable(GL_MAP1_VERTEX_3);
        const auto segment = [&](float lineWidth, float pointSize, float depth) {
            glPushMatrix();
            glTranslatef(0.0f, 0.0f, depth);
            glLineWidth(lineWidth);
            glBegin(GL_LINE_STRIP);
            for (unsigned int i = 0; i <= n; ++i) glEvalCoord1f(static_cast<float>(i) / n);
            glEnd();
            glPointSize(pointSize);
            glBegin(GL_POINTS);
            for (unsigned int i = 0; i < n; ++i) glEvalCoord1f(static_cast<float>(i) / n);
            glEnd();
            glPopMatrix();
        };
        if (eraser) {
            eraserColor();
            segment(static_cast<float>(40.0 * k), static_cast<float>(39.8 * k), 0.0f);
        } else {
            glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
            segment(static_cast<float>(8.0 * k), static_cast<float>(7.8 * k), 1.0f);
            glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
            segment(static_cast<float>(6.0 * k), static_cast<float>(5.8 * k), 0.0f);
        }
        glDisable(GL_MAP1_VERTEX_3);
        break;
    }
    }
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    vis->deactivatePBuffer(&target);
}
