#include "canvas/MenuGL.h"

#include "canvas/CanvasCompositeGL.h"
#include "canvas/MenuDrawingGL.h"
#include "canvas/MenuRegions.h"
#include "core/BufferTemplate.h"
#include "vis/TabletopVisGL.h"

#include <iostream>

MenuGL::MenuGL(TabletopVisGL* vis, double width, double height, double x, double y, double z,
               bool rnt, bool tossing, float opacity_, const char* name)
    : VisComponentGL(vis, width, height, rnt, tossing, x, y, z), opacity(opacity_)
{
    font = vis ? vis->getFont("arial32") : nullptr;
    if (!font)
        std::cout << "WARNING: " << name
                  << ": font arial32 could not be found. Did you load it? " << std::endl;
}

MenuGL::~MenuGL() { removeActiveBuffers(); }

void MenuGL::show()
{
    activateForRendering();
    if (TabletopVis* vis = getController()) vis->moveComponentToRenderFront(this);
}

void MenuGL::hide() { deactivateForRendering(); }

bool MenuGL::isShown() const { return isActiveForRendering(); }

unsigned int MenuGL::mapValueAt(BUFFERTAG tag, unsigned int none, double x, double y) const
{
    const auto* map = getActiveBufferAs<unsigned int>(tag);
    if (!map) return none;
    double lx = 0.0, ly = 0.0;
    getLocalCoordinates(x, y, getWidth(), getHeight(), &lx, &ly);
    return menus::regionAt(*map, none, lx, ly, getXScale(), getYScale());
}

CanvasCompositeGL* MenuGL::canvas() const
{
    return dynamic_cast<CanvasCompositeGL*>(getParent());
}

void MenuGL::specificRenderForPicking()
{
    glPushMatrix();
    doCommonTransformations();
    menus::drawPickingQuad(getHalfWidth(), getHalfHeight());
    glPopMatrix();
}
