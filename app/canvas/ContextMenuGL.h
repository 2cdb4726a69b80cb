#pragma once
// ContextMenuGL: a cross of four labelled choices on the painting canvas ("Create" above,
// "Modify" right, "Erase" below, "Colour" left, the centre closes it) that follows the touches
// on the canvas. Its region map (tag 15, one unsigned int per buffer cell) names the region
// under every pixel: 0 to 4 as in MenuRegions.h, 5 elsewhere.
//
// A touch stores the region under its first contact; the centre hides the menu at once. The
// release carries out the stored choice through the parent canvas (create, erase and colour
// choose that mode, modify steps through orientation, move and size; below, with a drawn curve
// of more than two points, the curve is turned into the orientation field instead) and returns
// the region (5 when there was no touch).
//
// Coordinates: moveTo and touches take table pixels; the region squares are offsets from the
// centre, arm 100 and half side 50 on a 300-pixel menu, scaled with the menu's shorter side.
// Ownership: the controller owns the menu; the menu owns its region map. Needs the GL context
// for drawing and construction (the label font).

#include "canvas/MenuGL.h"

class ContextMenuGL : public MenuGL {
public:
    // (x, y, z): centre in table pixels; texture: the background (GL name, 0 for none).
    ContextMenuGL(TabletopVisGL* vis, double width, double height, double x, double y, double z,
                  bool rnt, bool tossing, float opacity, unsigned int texture);

    // 1 inside a choice; 0 (drag, when the menu turns and moves) on the blank corners.
    unsigned int hitLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                unsigned int boundHeight) override;
    unsigned int releaseLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                    unsigned int boundHeight) override;

    // --- own operations ---
    // Centre at table (x, y), kept wholly on the screen.
    virtual void moveTo(double x, double y);
    // The region at table (x, y); 5 outside every choice.
    virtual unsigned int regionAt(double x, double y) const;

    unsigned int getReleasedRegion() const { return releasedRegion; }
    float getLabelRadius() const { return labelRadius; }

protected:
    void specificRender() override;
    void createActiveBuffers() override;

private:
    void carryOut(unsigned int region);

    unsigned int releasedRegion = 5;
    float armOffset;
    float halfSide;
    float labelRadius;
    unsigned int texture;
};
