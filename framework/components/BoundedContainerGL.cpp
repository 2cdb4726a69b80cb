#include "BoundedContainerGL.h"

#include "core/BufferTemplate.h"
#include "core/Random.h"
#include "vis/TabletopVisGL.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kDegToRad = M_PI / 180.0;
// Draws of getRandomInsidePosition before it settles for the centre.
constexpr int kMaxRandomDraws = 100000;

using Points = std::vector<Spline::SplinePoint>;

void vertex(const Spline::SplinePoint& p) { glVertex2d(p.x, p.y); }

// A closed strip between two curves with the same number of points.
void strip(const Points& a, const Points& b, const float* colorA, const float* colorB)
{
    const std::size_t n = std::min(a.size(), b.size());
    if (n == 0) return;
    glBegin(GL_QUAD_STRIP);
    for (std::size_t k = 0; k <= n; ++k) {
        glColor4fv(colorA);
        vertex(a[k % n]);
        glColor4fv(colorB);
        vertex(b[k % n]);
    }
    glEnd();
}

void disc(const Spline::SplinePoint& c, double r, bool filled)
{
    glBegin(filled ? GL_TRIANGLE_FAN : GL_LINE_LOOP);
    if (filled) glVertex2d(c.x, c.y);
    for (int k = 0; k <= 24; ++k) {
        const double a = k * 2.0 * M_PI / 24;
        glVertex2d(c.x + r * std::cos(a), c.y + r * std::sin(a));
    }
    glEnd();
}

unsigned int newList(unsigned int old)
{
    if (old) glDeleteLists(old, 1);
    return glGenLists(1);
}

} // namespace

BoundedContainerGL::BoundedContainerGL(TabletopVisGL* vis, double width, double height, bool rnt,
                                       bool toss, double x, double y, double z,
                                       unsigned int controlPointCount, unsigned int splineLevel,
                                       bool hasInsideBoundary, bool rounded)
    : VisComponentGL(vis, width, height, rnt, toss, x, y, z),
      outline(controlPointCount, splineLevel, hasInsideBoundary, rounded)
{
    if (getController()) getController()->pushTimeState();
    initialize();
    outline.computeInitialControlPoints(getHalfWidth(), getHalfHeight(), borderWidth, ringWidth);
    recomputeSizeAndRelocateSplines(true);
    buildOrRebuildRenderDisplayLists();
    touched = resizing = draggingControlPoint = hiddenForScreenshot = false;
    hitState = 0;
    recreateActiveBuffers();
    initializePassiveBuffers();
    if (getController()) getController()->popTimeState();
}

BoundedContainerGL::~BoundedContainerGL()
{
    for (unsigned int list : {pickingDL, basicDL, decorationDL, highlightDL, rntCircleDL})
        if (list) glDeleteLists(list, 1);
}

void BoundedContainerGL::initialize()
{
    TabletopVis* vis = getController();
    const double maxRing = vis ? vis->getInitialMaxCurrentWidth() : 100.0;
    ringWidth = static_cast<float>(std::min(0.5 * std::min(getHalfWidth(), getHalfHeight()), maxRing));
    borderWidth = static_cast<float>(vis ? vis->getContainerBorderWidth() : 15.0);
    if (!vis) return;
    rntCircleTicks = static_cast<unsigned long>(
        std::llround(vis->getRNTCircleDisplayTime() * vis->getTicksPerSecond()));
    vis->getInsideColor(&insideColor[0], &insideColor[1], &insideColor[2]);
    vis->getBorderColor(&borderColor[0], &borderColor[1], &borderColor[2]);
    vis->getHighlightColor(&highlightColor[0], &highlightColor[1], &highlightColor[2]);
    opacity = static_cast<float>(vis->getContainerOpacity());
}

BufferMapping BoundedContainerGL::bufferMapping() const
{
    return {getHalfWidth(), getHalfHeight(), getXScale(), getYScale()};
}

void BoundedContainerGL::toShapeFrame(double x, double y, double* sx, double* sy) const
{
    const double a = -getRotation() * kDegToRad;
    const double dx = x - getXPos();
    const double dy = y - getYPos();
    *sx = std::cos(a) * dx - std::sin(a) * dy;
    *sy = std::sin(a) * dx + std::cos(a) * dy;
}

void BoundedContainerGL::buildOrRebuildSplinesFromControlPoints()
{
    outline.rebuild();
}

void BoundedContainerGL::recomputeSizeAndRelocateSplines(bool relocate)
{
    double w = 0.0, h = 0.0, dx = 0.0, dy = 0.0;
    outline.fitSize(relocate, &w, &h, &dx, &dy);
    setSize(w, h);
    if (relocate) {
        // The splines moved by (-dx, -dy) in the container's frame: move the container by
        // (dx, dy), turned into the table, so the outline stays where it was. Children stay.
        const double a = getRotation() * kDegToRad;
        VisComponent::moveBy(std::cos(a) * dx - std::sin(a) * dy,
                             std::sin(a) * dx + std::cos(a) * dy, false);
    }
}

// ---------------------------------------------------------------------------------------------
// Buffers

void BoundedContainerGL::createActiveBuffers()
{
    TabletopVis* vis = getController();
    const unsigned int w = getBufferWidth();
    const unsigned int h = getBufferHeight();
    const unsigned int r = ContainerOutline::handleRadius(borderWidth);
    BufferTemplate<int>* mask = nullptr;
    BufferTemplate<unsigned char>* handle = nullptr;
    BufferTemplate<float>* relative = nullptr;
    if (vis) {
        mask = vis->createNewIntImageBuffer(w, h);
        handle = vis->createNewUCharImageBuffer(2 * r, 2 * r);
        relative = vis->createNewFloatImageBuffer(w, h);
    } else {
        mask = new BufferTemplate<int>(1, 0);
        mask->setSizeAndAllocateMemory(w, h);
        handle = new BufferTemplate<unsigned char>(1, 0);
        handle->setSizeAndAllocateMemory(2 * r, 2 * r);
        relative = new BufferTemplate<float>(1, 0);
        relative->setSizeAndAllocateMemory(w, h);
    }
    setActiveBuffer(LOCAL_HIT_BUFFER, mask);
    setActiveBuffer(HANDLE_MASK_BUFFER, handle);
    setActiveBuffer(RELATIVE_SIZE_BUFFER, relative);
}

void BoundedContainerGL::renderInActiveRelativeSizeBuffer()
{
    if (BufferTemplate<float>* relative = getActiveBufferAs<float>(RELATIVE_SIZE_BUFFER))
        relative->fillEntireBuffer(1.0f);
}

void BoundedContainerGL::renderInActiveBuffers()
{
    BufferTemplate<int>* mask = getActiveBufferAs<int>(LOCAL_HIT_BUFFER);
    BufferTemplate<unsigned char>* handle = getActiveBufferAs<unsigned char>(HANDLE_MASK_BUFFER);
    if (handle) ContainerOutline::fillHandleMask(*handle);
    if (mask && handle) outline.fillHitMask(*mask, *handle, bufferMapping(), hasControlPoints());
    renderInActiveRelativeSizeBuffer();
}

// ---------------------------------------------------------------------------------------------
// Touch

unsigned int BoundedContainerGL::hitLocalBuffer(unsigned int x, unsigned int y, unsigned int,
                                                unsigned int)
{
    if (!touched) {
        touched = true;
        resetLastSelectedTicks();
        hitState = 0;
        double lx = 0.0, ly = 0.0;
        getLocalCoordinates(x, y, getWidth(), getHeight(), &lx, &ly);
        BufferTemplate<int>* mask = getActiveBufferAs<int>(LOCAL_HIT_BUFFER);
        if (mask && lx >= 0.0 && lx <= getWidth() && ly >= 0.0 && ly <= getHeight()) {
            const unsigned int bx = std::min(getBufferXCoordinateFromLocal(lx), mask->getWidth() - 1);
            const unsigned int by = std::min(getBufferYCoordinateFromLocal(ly), mask->getHeight() - 1);
            const int code = mask->getValue(bx, by);
            hitState = static_cast<unsigned int>(std::max(code, 0));
            switch (hitState) {
            case 3:
                if (doesRNT()) setRNTActive(true);
                break;
            case kResizing:
                resizing = true;
                break;
            case 9:
            case 12:
            case 13:
                setRNTActive(false); // borders only translate
                break;
            default:
                if (hitState >= static_cast<unsigned int>(ContainerOutline::kFirstOutsideHandle)) {
                    draggingControlPoint = true;
                    draggedInside = hitState % 2 == 0;
                    draggedControlPoint = draggedInside ? (hitState - 16) / 2 : (hitState - 15) / 2;
                    hitState = draggedInside ? kDraggingInsidePoint : kDraggingOutsidePoint;
                }
                break;
            }
        }
    }
    if (draggingControlPoint) {
        double sx = 0.0, sy = 0.0;
        toShapeFrame(x, y, &sx, &sy);
        outline.setControlPoint(draggedInside, draggedControlPoint, sx, sy);
        buildOrRebuildSplinesFromControlPoints();
        buildOrRebuildRenderDisplayLists();
    }
    return hitState;
}

unsigned int BoundedContainerGL::releaseLocalBuffer(unsigned int, unsigned int, unsigned int,
                                                    unsigned int)
{
    if (!touched) {
        hitState = 0;
        return 0;
    }
    touched = resizing = draggingControlPoint = false;
    if (hitState == kResizing || hitState == kDraggingOutsidePoint ||
        hitState == kDraggingInsidePoint) {
        recomputeSizeAndRelocateSplines(true);
        recreateActiveBuffers();
        buildOrRebuildRenderDisplayLists(); // the splines were recentred
    }
    return hitState;
}

void BoundedContainerGL::getRandomInsidePosition(double* x, double* y)
{
    *x = getXPos();
    *y = getYPos();
    BufferTemplate<int>* mask = getActiveBufferAs<int>(LOCAL_HIT_BUFFER);
    if (!mask) return;
    for (int draw = 0; draw < kMaxRandomDraws; ++draw) {
        const double u = tavlor::rand15() * getWidth() / tavlor::kRandMax;
        const double v = tavlor::rand15() * getHeight() / tavlor::kRandMax;
        const unsigned int bx = std::min(getBufferXCoordinateFromLocal(u), mask->getWidth() - 1);
        const unsigned int by = std::min(getBufferYCoordinateFromLocal(v), mask->getHeight() - 1);
        if (mask->getValue(bx, by) != ContainerOutline::kBody) continue;
        const double a = getRotation() * kDegToRad;
        const double du = u - getHalfWidth();
        const double dv = v - getHalfHeight();
        *x = std::cos(a) * du - std::sin(a) * dv + getXPos();
        *y = std::sin(a) * du + std::cos(a) * dv + getYPos();
        return;
    }
}

void BoundedContainerGL::resetLastSelectedTicks()
{
    if (getController()) lastSelectedTicks = getController()->getCurrentTicks();
}

// ---------------------------------------------------------------------------------------------
// Drawing (container frame, centre at the origin)

void BoundedContainerGL::renderPickingGL()
{
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    if (outline.hasInsideBoundary()) {
        // Ring and both strips: from the outside border to the inside border.
        glBegin(GL_QUAD_STRIP);
        const Points& ob = *outline.outsideBorder().splinePoints();
        const Points& ib = *outline.insideBorder().splinePoints();
        const std::size_t n = std::min(ob.size(), ib.size());
        for (std::size_t k = 0; k <= n && n > 0; ++k) {
            vertex(ob[k % n]);
            vertex(ib[k % n]);
        }
        glEnd();
    } else {
        glBegin(GL_TRIANGLE_FAN);
        glVertex2d(0.0, 0.0);
        const Points& ob = *outline.outsideBorder().splinePoints();
        for (std::size_t k = 0; k <= ob.size() && !ob.empty(); ++k) vertex(ob[k % ob.size()]);
        glEnd();
    }
    if (!hasControlPoints()) return;
    for (const auto& p : *outline.outside().controlPoints()) disc(p, borderWidth, true);
    if (outline.hasInsideBoundary())
        for (const auto& p : *outline.inside().controlPoints()) disc(p, borderWidth, true);
}

void BoundedContainerGL::renderBasicGL()
{
    const float fill[4] = {insideColor[0], insideColor[1], insideColor[2], opacity};
    glShadeModel(GL_SMOOTH);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    if (outline.hasInsideBoundary()) {
        strip(*outline.outside().splinePoints(), *outline.inside().splinePoints(), fill, fill);
    } else {
        const Points& out = *outline.outside().splinePoints();
        glColor4fv(fill);
        glBegin(GL_TRIANGLE_FAN);
        glVertex2d(0.0, 0.0);
        for (std::size_t k = 0; k <= out.size() && !out.empty(); ++k) vertex(out[k % out.size()]);
        glEnd();
    }
}

void BoundedContainerGL::drawOutlines(const float* rgb)
{
    // Border strips fade from the outline's colour to nothing; the outlines and the handles are
    // drawn opaque on top.
    const float solid[4] = {rgb[0], rgb[1], rgb[2], 1.0f};
    const float faded[4] = {rgb[0], rgb[1], rgb[2], opacity};
    const float clear[4] = {rgb[0], rgb[1], rgb[2], 0.0f};
    glShadeModel(GL_SMOOTH);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    strip(*outline.outside().splinePoints(), *outline.outsideBorder().splinePoints(), faded, clear);
    if (outline.hasInsideBoundary())
        strip(*outline.inside().splinePoints(), *outline.insideBorder().splinePoints(), faded, clear);
    glLineWidth(2.0f);
    glColor4fv(solid);
    for (const Spline* s : {&outline.outside(), &outline.inside()}) {
        if (s == &outline.inside() && !outline.hasInsideBoundary()) continue;
        glBegin(GL_LINE_LOOP);
        for (const auto& p : *s->splinePoints()) vertex(p);
        glEnd();
    }
    if (!hasControlPoints()) return;
    for (const auto& p : *outline.outside().controlPoints()) disc(p, 0.5 * borderWidth, false);
    if (outline.hasInsideBoundary())
        for (const auto& p : *outline.inside().controlPoints()) disc(p, 0.5 * borderWidth, false);
}

void BoundedContainerGL::renderDecorationDL() { drawOutlines(borderColor); }

void BoundedContainerGL::renderHighlightDL() { drawOutlines(highlightColor); }

void BoundedContainerGL::buildOrRebuildRenderDisplayLists()
{
    struct {
        unsigned int* list;
        void (BoundedContainerGL::*draw)();
    } lists[] = {
        {&pickingDL, &BoundedContainerGL::renderPickingGL},
        {&basicDL, &BoundedContainerGL::renderBasicGL},
        {&decorationDL, &BoundedContainerGL::renderDecorationDL},
        {&highlightDL, &BoundedContainerGL::renderHighlightDL},
        {&rntCircleDL, &BoundedContainerGL::renderRNTCircleGL},
    };
    for (auto& entry : lists) {
        *entry.list = newList(*entry.list);
        glNewList(*entry.list, GL_COMPILE);
        glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LIGHTING_BIT | GL_LINE_BIT);
        (this->*entry.draw)();
        glPopAttrib();
        glEndList();
    }
}

void BoundedContainerGL::specificRender()
{
    if (hiddenForScreenshot) {
        hiddenForScreenshot = false;
        return;
    }
    glPushMatrix();
    doCommonTransformations();
    glCallList(basicDL);
    glCallList(getSelectionActive() ? highlightDL : decorationDL);
    specificRenderAdditional();
    if (getSelectionActive() && getController() &&
        getController()->getCurrentTicks() - lastSelectedTicks < rntCircleTicks)
        glCallList(rntCircleDL);
    glPopMatrix();
}

void BoundedContainerGL::specificRenderForPicking()
{
    glPushMatrix();
    doCommonTransformations();
    glCallList(pickingDL);
    glPopMatrix();
}
