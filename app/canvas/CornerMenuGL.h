#pragma once
// CornerMenuGL: the small menu in a corner of the painting canvas that shows the current tool
// and opens the other menus. The upper square shows the tool's icon (one of twelve textures:
// 0 background, 1 neutral, 2 create, 3 erase, 4 to 6 orientation follow, circular, radial,
// 7 to 9 move follow, attraction, repulsion, 10 and 11 size bigger and smaller); the band below
// names the primitive the create brush makes and, for the create, erase and size tools, the
// brush diameter. Region map (tag 15): 0 the icon, 1 the band, 17 elsewhere.
//
// A touch is always taken; its release over the icon opens or closes the context menu, over the
// band the stroke menu, and returns the region (17 when there was no touch before).
//
// Coordinates: table pixels; outer size 100 and inner size 50 describe a 200-pixel menu and
// scale with the menu's shorter side. Ownership: the controller owns the menu; the menu owns its
// region map. Needs the GL context for construction and drawing.

#include "canvas/MenuGL.h"

#include <array>
#include <string>
#include <vector>

class ToolBrushLeafGL;

class CornerMenuGL : public MenuGL {
public:
    static constexpr int kIcons = 12;

    // textures: the twelve icon textures (GL names) in the order above; missing ones draw
    // nothing.
    CornerMenuGL(TabletopVisGL* vis, double width, double height, double x, double y, double z,
                 bool rnt, bool tossing, float opacity, const std::vector<unsigned int>& textures);

    unsigned int hitLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                unsigned int boundHeight) override;
    unsigned int releaseLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                    unsigned int boundHeight) override;

    // --- own operations ---
    // The icon shown (index as above; others are ignored). texture: a texture to show instead
    // of the menu's own for that index (0 keeps the menu's). For create, erase and the sizes the
    // brush's diameter is shown too; the brush outline follows whether the menu is shown.
    virtual void setIcon(int index, unsigned int texture);
    // The region at table (x, y); 17 outside.
    virtual unsigned int regionAt(double x, double y) const;

    int getIconIndex() const { return iconIndex; }
    unsigned int getIconTexture() const;
    unsigned int getReleasedRegion() const { return releasedRegion; }
    bool isContextMenuOpen() const { return contextMenuOpen; }
    // The band's text, e.g. "Strokes" or "Points  200".
    std::string bandText() const;

protected:
    void specificRender() override;
    void createActiveBuffers() override;

private:
    ToolBrushLeafGL* brush();

    std::array<unsigned int, kIcons> icons{};
    float outerSize = 100.0f;
    float innerSize = 50.0f;
    float color[4] = {1.0f, 0.6f, 0.6f, 0.6f};
    float grey = 0.6f;
    int iconIndex = 1;
    unsigned int iconOverride = 0;
    unsigned int releasedRegion = 17;
    unsigned int imageTexture0 = 0;
    ToolBrushLeafGL* toolBrush = nullptr;
    bool contextMenuOpen = false;
    // The brush diameter shown with the create, erase and size icons; < 0 for none.
    float shownDiameter = -1.0f;
};
