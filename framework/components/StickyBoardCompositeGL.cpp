#include "StickyBoardCompositeGL.h"

#include "core/BufferTemplate.h"
#include "vis/TabletopVisGL.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

StickyBoardCompositeGL::StickyBoardCompositeGL(TabletopVisGL* vis, double width, double height,
                                               bool rnt, bool tossing, double x, double y,
                                               double z)
    : BoundedContainerGL(vis, width, height, rnt, tossing, x, y, z, 4, 0, false, true)
{
    if (vis) vis->pushTimeState();
    computeNewSplineControlPoints(0.4 * width, 0.4 * height);
    buildOrRebuildSplinesFromControlPoints();
    recomputeSizeAndRelocateSplines(true);
    buildOrRebuildRenderDisplayLists();
    recreateActiveBuffers();
    if (vis) vis->popTimeState();
}

void StickyBoardCompositeGL::computeNewSplineControlPoints(double a, double b)
{
    const double minimum = 3.0 * (getController() ? getController()->getContainerBorderWidth() : 15.0);
    a = std::max(a, minimum);
    b = std::max(b, minimum);
    const Spline::SplinePoint corners[4] = {{-a, -b}, {a, -b}, {a, b}, {-a, b}};
    for (bool inside : {false, true})
        for (unsigned int i = 0; i < 4; ++i)
            outline.setControlPoint(inside, i, corners[i].x, corners[i].y);
}

void StickyBoardCompositeGL::resizeAndRelocateChildren(double oldWidth, double oldHeight,
                                                       double newWidth, double newHeight)
{
    BoundedContainerGL::resizeAndRelocateChildren(oldWidth, oldHeight, newWidth, newHeight);
}

void StickyBoardCompositeGL::buildOrRebuildRenderDisplayLists()
{
    BoundedContainerGL::buildOrRebuildRenderDisplayLists();
}

void StickyBoardCompositeGL::renderInActiveBuffers()
{
    BoundedContainerGL::renderInActiveBuffers();
    BufferTemplate<int>* mask = getActiveBufferAs<int>(LOCAL_HIT_BUFFER);
    if (!mask) return;
    const unsigned int w = mask->getWidth();
    const unsigned int h = mask->getHeight();
    const unsigned int frame = std::min(
        {static_cast<unsigned int>(std::lround(getBorderWidth())), w, h});
    const unsigned int cw = std::min(w, kResizeCorner);
    const unsigned int ch = std::min(h, kResizeCorner);
    for (unsigned int y = 0; y < h; ++y) {
        for (unsigned int x = 0; x < w; ++x) {
            int code = ContainerOutline::kBody;
            if (x < frame || y < frame || x >= w - frame || y >= h - frame)
                code = ContainerOutline::kOuterBorder;
            if (x >= w - cw && y < ch) code = static_cast<int>(kResizing);
            mask->setValue(x, y, code);
        }
    }
}

unsigned int StickyBoardCompositeGL::hitLocalBuffer(unsigned int x, unsigned int y, unsigned int,
                                                    unsigned int)
{
    const double px = static_cast<double>(x);
    const double py = static_cast<double>(y);
    if (!touched) {
        touched = true;
        resetLastSelectedTicks();
        hitState = 0;
        double lx = 0.0, ly = 0.0;
        getLocalCoordinates(px, py, getWidth(), getHeight(), &lx, &ly);
        BufferTemplate<int>* mask = getActiveBufferAs<int>(LOCAL_HIT_BUFFER);
        if (mask && lx >= 0.0 && lx <= getWidth() && ly >= 0.0 && ly <= getHeight()) {
            const unsigned int bx = std::min(getBufferXCoordinateFromLocal(lx), mask->getWidth() - 1);
            const unsigned int by = std::min(getBufferYCoordinateFromLocal(ly), mask->getHeight() - 1);
            hitState = static_cast<unsigned int>(std::max(mask->getValue(bx, by), 0));
            if (hitState == static_cast<unsigned int>(ContainerOutline::kBody))
                setRNTActive(doesRNT());
            else if (hitState == static_cast<unsigned int>(ContainerOutline::kOuterBorder))
                setRNTActive(false);
            else if (hitState == kResizing)
                resizing = true;
        }
    }
    if (resizing) {
        // Resized from the top-left corner: the bottom-right stays where it is.
        interactiveResizeTopLeft(px, py);
        const double border = getBorderWidth();
        computeNewSplineControlPoints(getHalfWidth() - border, getHalfHeight() - border);
        buildOrRebuildSplinesFromControlPoints();
        recomputeSizeAndRelocateSplines(false);
        buildOrRebuildRenderDisplayLists();
    }
    return hitState;
}

unsigned int StickyBoardCompositeGL::releaseLocalBuffer(unsigned int, unsigned int, unsigned int,
                                                        unsigned int)
{
    if (!touched) {
        hitState = 0;
        return 0;
    }
    touched = false;
    const bool wasResizing = resizing;
    resizing = false;
    if (wasResizing) recreateActiveBuffers();
    return hitState;
}

void StickyBoardCompositeGL::renderRNTCircleGL()
{
    const double factor = getController() ? getController()->getRNTFactor() : 0.5;
    const double r = factor * std::min(getHalfWidth() / getXScale(), getHalfHeight() / getYScale());
    glLineWidth(1.5f);
    glColor4f(highlightColor[0], highlightColor[1], highlightColor[2], 1.0f);
    glBegin(GL_LINE_LOOP);
    for (int k = 0; k <= 72; ++k) {
        const double a = k * 5.0 * M_PI / 180.0;
        glVertex2d(r * std::cos(a), r * std::sin(a));
    }
    glEnd();
}

void StickyBoardCompositeGL::specificRenderAdditional()
{
    // The container draws the decoration; the board stamps its selection so the RNT circle stays
    // for the circle time after the last selected frame.
    TabletopVis* vis = getController();
    if (!vis) return;
    if (getSelectionActive()) {
        lastSelectedTicks = vis->getCurrentTicks();
        return; // the container draws the circle while selected
    }
    if (vis->getCurrentTicks() - lastSelectedTicks < rntCircleTicks && doesRNT())
        glCallList(rntCircleDL);
}
