#pragma once
// ExportTiling: how a picture export is cut into off-screen renders. The exported image covers
// the visible table (screen width x height table pixels) at an integer scale; each tile is at most
// limit x limit image pixels, so an image larger than the GL's largest render target still renders.
//
// Coordinates: tiles are in image pixels with the origin at the bottom left (the table's
// convention); a tile's table rectangle is its image rectangle divided by the scale.
// No GL: the plan is pure arithmetic, tested without a context.

#include <cstdint>
#include <string>
#include <vector>

namespace canvas {

struct ExportTile {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct ExportPlan {
    int width = 0;  // image pixels
    int height = 0;
    int scale = 1;
    std::vector<ExportTile> tiles; // rows from the bottom, left to right
};

// Largest scale the export dialog offers, and the largest image: a side of 16384 pixels and
// 64 Mi pixels in all (192 MiB of RGB while it is assembled).
constexpr int kMaxExportScale = 8;
constexpr int kMaxExportSide = 16384;
constexpr std::int64_t kMaxExportPixels = 64ll * 1024 * 1024;
// Largest tile side used even where the GL allows more: bounds the off-screen target's memory.
constexpr int kMaxExportTile = 2048;

// The plan for a table of tableWidth x tableHeight pixels at scale, in tiles of at most
// tileLimit pixels a side (clamped to 1 ... kMaxExportTile). Empty tiles and a message in error
// when the table is empty or the scale or the image size is out of range.
ExportPlan planExport(int tableWidth, int tableHeight, int scale, int tileLimit, std::string* error);

} // namespace canvas
