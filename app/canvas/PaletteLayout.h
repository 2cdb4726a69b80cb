#pragma once
// PaletteLayout: where the palette's regions lie. Every region is a rectangle given in fractions
// of the palette's width and height (u, v in [0, 1], origin at the bottom-left corner of the
// unrotated palette, v up); the region map holds the id of the region under each cell, so
// hit-testing a button is one buffer read.
//
// Region ids (what a touch on them does is PaletteState's):
//   0 outside every region   3 panel (moves the palette)   4 … 9 colour swatches
//   10 move   11 orientation   12 size   13 create/erase   14 diameter   15 touch recording
//   16 layer  17 empty canvas  18 save   19 stroke style   20 clear mixing area
//   21 mixing area (its bottom strip shows the recent colours)   22 grip along the top edge

#include "core/BufferTemplate.h"

#include <vector>

namespace palette {

enum Region : unsigned int {
    kOutside = 0,
    kPanel = 3,
    kFirstSwatch = 4,
    kLastSwatch = 9,
    kMove = 10,
    kOrientation = 11,
    kSize = 12,
    kCreateErase = 13,
    kDiameter = 14,
    kRecording = 15,
    kLayer = 16,
    kEmptyCanvas = 17,
    kSave = 18,
    kStrokeStyle = 19,
    kClearMixing = 20,
    kMixing = 21,
    kGrip = 22
};

struct Rect {
    double u0, v0, u1, v1; // fractions of the palette, half open
    bool contains(double u, double v) const { return u >= u0 && u < u1 && v >= v0 && v < v1; }
};

struct RegionRect {
    unsigned int region;
    Rect rect;
};

// Buttons and areas, later entries over earlier ones; the panel (3) is everything else.
const std::vector<RegionRect>& regions();
// The rectangle of one region (the first with that id), or an empty one.
Rect rectOf(unsigned int region);
// The bottom strip of the mixing area that shows the recent colours.
Rect recentStrip();
// Number of recent colours shown in the strip.
constexpr unsigned int kRecentSlots = 6;
// The strip slot of recent colour k (0 the oldest shown).
Rect recentSlot(unsigned int k);
// The region at (u, v).
unsigned int regionAt(double u, double v);
// Fills a map of w x h cells: cell (i, j) covers the fractions ((i - 1) / w, (j - 1) / h), as
// local coordinate (i - 1.5 … i - 0.5) does with the buffer offset of 1.5 (cells 0 and w + 1
// are the margin and hold region 0).
void fillRegionMap(BufferTemplate<unsigned int>& map, double width, double height);
// The side of a button in palette pixels (the drag thresholds scale with it).
double buttonSize(double width, double height);

} // namespace palette
