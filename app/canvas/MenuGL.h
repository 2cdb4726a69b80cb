#pragma once
// MenuGL: what the canvas's menus have in common. A menu is shown by being drawn (and moved to
// the front of the render order) and hidden by not being drawn; it picks as a plain rectangle;
// its region maps are unsigned-int grids of its buffer cells, read at table points; its labels
// use the controller's "arial32" font (a missing font is reported once, at construction, and
// the menu draws without text).
//
// Coordinates: table pixels for touches and map reads. Ownership: the controller owns the menu;
// the menu owns its active buffers (removed with it). Needs the GL context for drawing.

#include "core/BufferTag.h"
#include "vis/VisComponentGL.h"

class CanvasCompositeGL;
class FTTextureFont;
class TabletopVisGL;

class MenuGL : public VisComponentGL {
public:
    // name: the menu's class name, for the missing-font warning; opacity 0 … 1.
    MenuGL(TabletopVisGL* vis, double width, double height, double x, double y, double z,
           bool rnt, bool tossing, float opacity, const char* name);
    ~MenuGL() override;

    virtual void show();
    virtual void hide();
    virtual bool isShown() const;

    bool isTouched() const { return touched; }
    bool isFontFound() const { return font != nullptr; }

protected:
    void specificRenderForPicking() override;
    // The value of the map under tag at table (x, y); none without the map or off the menu.
    unsigned int mapValueAt(BUFFERTAG tag, unsigned int none, double x, double y) const;
    // The canvas the menu sits on, if its parent is one.
    CanvasCompositeGL* canvas() const;

    bool touched = false;
    float opacity;
    FTTextureFont* font = nullptr;
};
