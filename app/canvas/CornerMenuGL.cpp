#include "canvas/CornerMenuGL.h"

#include "canvas/CanvasCompositeGL.h"
#include "canvas/ContextMenuGL.h"
#include "canvas/MenuDrawingGL.h"
#include "canvas/MenuRegions.h"
#include "canvas/StrokeMenuGL.h"
#include "canvas/ToolBrushLeafGL.h"
#include "core/BufferTemplate.h"
#include "vis/TabletopVisGL.h"

#include <algorithm>
#include <cmath>

CornerMenuGL::CornerMenuGL(TabletopVisGL* vis, double width, double height, double x, double y,
                           double z, bool rnt, bool tossing, float opacity_,
                           const std::vector<unsigned int>& textures)
    : MenuGL(vis, width, height, x, y, z, rnt, tossing, opacity_, "CornerMenuGL")
{
    for (std::size_t i = 0; i < icons.size() && i < textures.size(); ++i) icons[i] = textures[i];
    if (vis && vis->getNumberOfImageTextures() > 0) imageTexture0 = vis->getImageTextureIDAt(0);
    CornerMenuGL::createActiveBuffers();
}

void CornerMenuGL::createActiveBuffers()
{
    auto* map = new BufferTemplate<unsigned int>(1, 0);
    map->setSizeAndAllocateMemory(getBufferWidth(), getBufferHeight());
    menus::fillRegionMap(*map, menus::kCornerNone,
                         menus::cornerMenuRegions(getWidth(), getHeight(), outerSize, innerSize),
                         getHalfWidth(), getHalfHeight(), getXScale(), getYScale());
    setActiveBuffer(LOCAL_HIT_BUFFER, map);
}

unsigned int CornerMenuGL::regionAt(double x, double y) const
{
    return mapValueAt(LOCAL_HIT_BUFFER, menus::kCornerNone, x, y);
}

unsigned int CornerMenuGL::getIconTexture() const
{
    if (iconOverride) return iconOverride;
    return iconIndex >= 0 && iconIndex < kIcons ? icons[static_cast<std::size_t>(iconIndex)] : 0;
}

ToolBrushLeafGL* CornerMenuGL::brush()
{
    if (CanvasCompositeGL* c = canvas()) toolBrush = c->getToolBrush(0);
    return toolBrush;
}

void CornerMenuGL::setIcon(int index, unsigned int texture)
{
    if (index < 0 || index >= kIcons) return;
    iconIndex = index;
    iconOverride = texture == 0xFFFFFFFFu ? 0 : texture;
    shownDiameter = -1.0f;
    ToolBrushLeafGL* b = brush();
    const bool showsBrush = index == 2 || index == 3 || index == 10 || index == 11;
    // The diameter the brush works with now (cell (0, 2); the brush applies it at its next
    // pass).
    if (b && showsBrush) {
        const CanvasCompositeGL* c = canvas();
        shownDiameter = c && c->getToolStateGrid() ? c->getToolState(0, 2) : b->getDiameter();
    }
    if (b) {
        if (isShown())
            b->showOutline();
        else
            b->hideOutline();
    }
}

std::string CornerMenuGL::bandText() const
{
    std::string text = "Strokes";
    if (const CanvasCompositeGL* c = canvas()) {
        const int kind = static_cast<int>(std::lround(c->getToolState(4, 2)));
        if (kind == 1) text = "Tiles";
        else if (kind == 2) text = "Points";
    }
    if (shownDiameter >= 0.0f) text += "  " + std::to_string(std::lround(shownDiameter));
    return text;
}

unsigned int CornerMenuGL::hitLocalBuffer(unsigned int, unsigned int, unsigned int, unsigned int)
{
    touched = true;
    return 1;
}

unsigned int CornerMenuGL::releaseLocalBuffer(unsigned int x, unsigned int y, unsigned int,
                                              unsigned int)
{
    if (!touched) return menus::kCornerNone;
    touched = false;
    releasedRegion = regionAt(x, y);
    CanvasCompositeGL* c = canvas();
    if (releasedRegion == menus::kCornerIcon) {
        if (ContextMenuGL* menu = c ? c->findContextMenu() : nullptr) {
            if (menu->isShown())
                menu->hide();
            else
                menu->show();
            contextMenuOpen = menu->isShown();
        }
    } else if (releasedRegion == menus::kCornerPrimitive) {
        if (StrokeMenuGL* menu = c ? c->findStrokeMenu() : nullptr) {
            if (menu->isShown())
                menu->hide();
            else
                menu->show();
        }
    }
    return releasedRegion;
}

void CornerMenuGL::specificRender()
{
    glPushMatrix();
    doCommonTransformations();
    const float a = opacity;
    menus::drawTexturedQuad(icons[0], 0.0, 0.0, getHalfWidth(), getHalfHeight(), 1.0f, 1.0f,
                            1.0f, a);
    const menus::IconPlace icon = menus::cornerMenuIcon(getWidth(), getHeight(), outerSize,
                                                        innerSize);
    menus::drawTexturedQuad(getIconTexture(), icon.x, icon.y, icon.half, icon.half, color[0],
                            color[1], color[2], a);
    if (isFontFound()) {
        const double s = std::min(getWidth(), getHeight()) / (2.0 * outerSize);
        const std::string text = bandText();
        menus::drawCentredText(font, text.c_str(), 0.0, -0.62 * outerSize * s, 0.55 * s, 0.0,
                               0.15f, 0.15f, 0.15f, a);
    }
    glPopMatrix();
}
