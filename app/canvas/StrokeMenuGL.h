#pragma once
// StrokeMenuGL: chooses what the create brush makes: points, tiles or strokes of one texture
// group. The panel shows "Points" and "Tiles" at the top, a grid of stroke samples (the first
// variant of each texture group, up to eight groups) in the middle, accept and cancel at the
// bottom. Region map (tag 15): 0 accept, 1 cancel, 2 the panel, 3 points, 4 tiles, 5 a stroke
// sample; the sample map (tag 30) holds the texture group under each sample cell.
//
// The first contact of a touch selects (points, tiles, a sample), accepts (writes the choice
// into the canvas's tool-state grid: cell (4, 2) 2 points, 1 tiles, 0 strokes with cell (4, 4)
// the group; nothing when nothing is selected) or cancels; accept and cancel clear the
// selection and hide the menu.
//
// Coordinates: table pixels; the layout is in fractions of the menu's size. Ownership: the
// controller owns the menu; the menu owns its two maps. Needs the GL context for construction
// and drawing.

#include "canvas/MenuGL.h"

class StrokeMenuGL : public MenuGL {
public:
    static constexpr int kMaxGroups = 8;
    static constexpr unsigned int kNoSample = 0xFFFFFFFFu;

    // Textures (GL names, 0 for none): background, accept, cancel, sketch. The stroke groups are
    // the controller's texture table rows 9g + 1 (as many whole groups as it holds, at most 8).
    StrokeMenuGL(TabletopVisGL* vis, double width, double height, double x, double y, double z,
                 bool rnt, bool tossing, float opacity, unsigned int backgroundTexture,
                 unsigned int acceptTexture, unsigned int cancelTexture,
                 unsigned int sketchTexture);

    unsigned int hitLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                unsigned int boundHeight) override;
    unsigned int releaseLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                    unsigned int boundHeight) override;

    // --- own operations ---
    // The region at table (x, y) (2 outside the panel's parts) and the sample group there
    // (kNoSample outside the samples).
    virtual unsigned int regionAt(double x, double y) const;
    virtual unsigned int sampleAt(double x, double y) const;

    // -1 none, 0 points, 1 tiles, k >= 2 stroke texture group k - 2.
    int getSelection() const { return selection; }
    unsigned int getSelectedRegion() const { return selectedRegion; }
    int getGroupCount() const { return groups; }

protected:
    void specificRender() override;
    void createActiveBuffers() override;

private:
    void accept();

    unsigned int selectedRegion = 2;
    int selection = -1;
    int groups = 0;
    unsigned int backgroundTexture;
    unsigned int acceptTexture;
    unsigned int cancelTexture;
    unsigned int sketchTexture;
    // GL names of the samples' textures, one per group.
    unsigned int sampleTextures[kMaxGroups] = {};
};
