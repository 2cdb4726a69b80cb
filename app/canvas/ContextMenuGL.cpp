#include "canvas/ContextMenuGL.h"

#include "canvas/CanvasCompositeGL.h"
#include "canvas/MenuDrawingGL.h"
#include "canvas/MenuRegions.h"
#include "core/BufferTemplate.h"
#include "vis/TabletopVisGL.h"

#include <algorithm>

ContextMenuGL::ContextMenuGL(TabletopVisGL* vis, double width, double height, double x, double y,
                             double z, bool rnt, bool tossing, float opacity_,
                             unsigned int texture_)
    : MenuGL(vis, width, height, x, y, z, rnt, tossing, opacity_, "ContextMenuGL"),
      texture(texture_)
{
    // 100 and 50 on a 300-pixel menu: the arms' squares touch the menu's edge.
    armOffset = static_cast<float>(std::min(width, height) / 3.0);
    halfSide = armOffset * 0.5f;
    labelRadius = armOffset;
    ContextMenuGL::createActiveBuffers();
}

void ContextMenuGL::createActiveBuffers()
{
    auto* map = new BufferTemplate<unsigned int>(1, 0);
    map->setSizeAndAllocateMemory(getBufferWidth(), getBufferHeight());
    menus::fillRegionMap(*map, menus::kContextNone, menus::contextMenuRegions(armOffset, halfSide),
                         getHalfWidth(), getHalfHeight(), getXScale(), getYScale());
    setActiveBuffer(LOCAL_HIT_BUFFER, map);
}

unsigned int ContextMenuGL::regionAt(double x, double y) const
{
    return mapValueAt(LOCAL_HIT_BUFFER, menus::kContextNone, x, y);
}

void ContextMenuGL::moveTo(double x, double y)
{
    TabletopVis* vis = getController();
    if (!vis) return;
    const menus::Point p = menus::placeOnScreen(x, y, getHalfWidth(), getHalfHeight(),
                                                vis->getScreenWidth(), vis->getScreenHeight());
    setPos(p.x, p.y);
}

unsigned int ContextMenuGL::hitLocalBuffer(unsigned int x, unsigned int y, unsigned int,
                                           unsigned int)
{
    if (!touched) {
        touched = true;
        releasedRegion = regionAt(x, y);
        if (releasedRegion == 4) hide();
    }
    return releasedRegion == menus::kContextNone ? 0 : 1;
}

unsigned int ContextMenuGL::releaseLocalBuffer(unsigned int, unsigned int, unsigned int,
                                               unsigned int)
{
    if (!touched) return menus::kContextNone;
    touched = false;
    const unsigned int region = releasedRegion;
    carryOut(region);
    return region;
}

void ContextMenuGL::carryOut(unsigned int region)
{
    CanvasCompositeGL* c = canvas();
    if (!c || region > 3) return;
    if (region == 2 && c->getCurve().getNumberOfPoints() > 2) {
        // A drawn curve becomes the orientation field: the old field goes, the curve is
        // marked for use at the next render and the primitives turn along it.
        c->requestClearTempOrientation();
        c->getCurve().setComplete(true);
        c->chooseToolFromMenu(CanvasCompositeGL::MODE_ORIENT);
        hide();
        return;
    }
    switch (region) {
    case 0: c->chooseToolFromMenu(CanvasCompositeGL::MODE_CREATE); break;
    case 1: c->chooseToolFromMenu(menus::nextModifyMode(c->getInteractionMode())); break;
    case 2: c->chooseToolFromMenu(CanvasCompositeGL::MODE_ERASE); break;
    case 3: c->chooseToolFromMenu(CanvasCompositeGL::MODE_COLOR); break;
    default: break;
    }
    hide();
}

void ContextMenuGL::specificRender()
{
    glPushMatrix();
    doCommonTransformations();
    menus::drawTexturedQuad(texture, 0.0, 0.0, getHalfWidth(), getHalfHeight(), 1.0f, 1.0f, 1.0f,
                            opacity);
    if (isFontFound()) {
        const double r = labelRadius;
        const double scale = 0.7 * std::min(getWidth(), getHeight()) / 300.0;
        menus::drawCentredText(font, "Create", 0.0, r, scale, 0.0,
                               0.0f, 0.0f, 0.0f, opacity);
        menus::drawCentredText(font, "Modify", r, 0.0, scale, -90.0,
                               0.0f, 0.0f, 0.0f, opacity);
        menus::drawCentredText(font, "Erase", 0.0, -r, scale, 180.0,
                               0.0f, 0.0f, 0.0f, opacity);
        menus::drawCentredText(font, "Colour", -r, 0.0, scale, 90.0,
                               0.0f, 0.0f, 0.0f, opacity);
    }
    glPopMatrix();
}
