#pragma once
// The menus' region maps and decisions, without GL: which rectangle of a menu is which region,
// how the rectangles become a region map (one unsigned int per buffer cell, tag 15), where a
// context menu may stand, what the stroke menu's accept writes into the tool-state grid, and
// what choosing a tool from a menu does to the input combination.
//
// Coordinates: region rectangles are offsets from the menu's centre in the menu's unrotated
// frame (table pixels at scale 1). A menu's buffer cell of local coordinate l (origin at the
// bottom-left corner) is (unsigned)(l / scale + 1.5), as for every component.

#include "core/BufferTemplate.h"

#include <vector>

namespace menus {

// Offsets from the centre; both end cells of each bound are filled.
struct RegionRect {
    unsigned int id;
    double x0, y0, x1, y1;
};

// Context menu: 0 above ("Create"), 1 right ("Modify"), 2 below ("Erase"), 3 left ("Colour"),
// 4 centre (hides the menu); 5 everywhere else.
constexpr unsigned int kContextNone = 5;
// The arms' squares for arm offset `arm` and half side `half` (100 and 50 on a 300 menu).
std::vector<RegionRect> contextMenuRegions(double arm, double half);

// Corner menu: 0 the current-tool icon (toggles the context menu), 1 the band below it that
// names the primitive the create brush makes (toggles the stroke menu); 17 elsewhere.
constexpr unsigned int kCornerIcon = 0;
constexpr unsigned int kCornerPrimitive = 1;
constexpr unsigned int kCornerNone = 17;
// For a menu of the given size: the icon square is inner-size wide at the scale
// min(width, height) / (2 * outer size).
std::vector<RegionRect> cornerMenuRegions(double width, double height, double outerSize,
                                          double innerSize);
// Centre of the icon square (offset from the menu's centre) and its half side.
struct IconPlace {
    double x, y, half;
};
IconPlace cornerMenuIcon(double width, double height, double outerSize, double innerSize);

// Stroke menu: 0 accept, 1 cancel, 2 the panel (no action), 3 points, 4 tiles, 5 the stroke
// samples (the sample region map, tag 30, holds the texture group under each cell).
constexpr unsigned int kStrokeAccept = 0;
constexpr unsigned int kStrokeCancel = 1;
constexpr unsigned int kStrokePanel = 2;
constexpr unsigned int kStrokePoints = 3;
constexpr unsigned int kStrokeTiles = 4;
constexpr unsigned int kStrokeSamples = 5;
// Columns of the sample grid; rows follow from the number of groups.
constexpr int kSampleColumns = 4;
std::vector<RegionRect> strokeMenuRegions(double width, double height);
// One rectangle per texture group (id = group index), row by row from the top left.
std::vector<RegionRect> strokeSampleRects(double width, double height, int groups);

// Fills `map` (sized for the menu) with `none`, then every rectangle with its id. (halfWidth,
// halfHeight): the menu's half size; (xScale, yScale): its scale. Cells outside the map are
// skipped.
void fillRegionMap(BufferTemplate<unsigned int>& map, unsigned int none,
                   const std::vector<RegionRect>& rects, double halfWidth, double halfHeight,
                   double xScale, double yScale);
// The id at local coordinate (lx, ly) (origin bottom left); `none` at or below -1 and outside.
unsigned int regionAt(const BufferTemplate<unsigned int>& map, unsigned int none, double lx,
                      double ly, double xScale, double yScale);

// The centre of a menu of half size (halfWidth, halfHeight) asked to stand at (x, y), kept so
// that the whole menu lies on a screen of the given size. A menu larger than the screen is
// centred on it.
struct Point {
    double x, y;
};
Point placeOnScreen(double x, double y, double halfWidth, double halfHeight,
                    double screenWidth, double screenHeight);

// What accepting the stroke menu writes: selection 0 points, 1 tiles, k >= 2 stroke texture
// group k - 2; -1 (nothing chosen) writes nothing.
struct CellWrite {
    unsigned int column, row;
    float value;
};
std::vector<CellWrite> strokeMenuAccept(int selection);

// Choosing a tool (interaction mode) from a menu. The posture presets (input combination 7)
// and the Nunchuk posture combinations (3 to 5) would overwrite the choice at the next touch, so
// they give way to combination 0 (the mode chooses the tool); combination 6 keeps its Nunchuk
// buttons for create and erase and marks the choice pending, so the touch that made it does
// not paint.
struct ToolChoice {
    int combo;
    int mode;
    bool pending;
};
ToolChoice chooseTool(int combo, int mode);

// The corner-menu icon that shows an interaction mode (1, the neutral icon, for colour and the
// modes without a tool).
int iconOfMode(int mode);

// The context menu's "Modify": orientation, then move, then size, then orientation again.
int nextModifyMode(int mode);

} // namespace menus
