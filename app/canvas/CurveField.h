#pragma once
// CurveField: the GL-free half of the canvas's curve overlay and selection outline. The canvas
// renders a drawn curve as a distance "valley" into a depth image (0 on the curve, rising to 1 at
// the falloff distance); these functions turn that image into a gradient and an orientation
// field that runs along the curve, and turn a selection mask into outline segments.
//
// Grids are row-major, w x h cells, row 0 at the bottom; vector grids hold (x, y) per cell.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace canvas {

// Depth at or beyond this counts as "no curve near": the cell has no gradient.
constexpr double kCurveFarDepth = 1.0;

// Central differences of `depth` into `gradient` (2 per cell). Far cells get (0, 0), and a far
// neighbour is treated as missing (one-sided difference), so the edge of the falloff band and
// the cut-off ends of the curve do not produce steep false slopes. On the curve itself the
// central difference vanishes (a valley), so where the two one-sided differences disagree in
// sign the steeper one is taken.
void gradientFromDepth(const double* depth, std::size_t w, std::size_t h, double* gradient);

// Direction of the curve near each cell, or 0 where no curve tangent was recorded. Filled by the
// canvas's render pass: per cell RGBA, B = 255 marks a cell the curve covered and R, G hold the
// tangent of its nearest segment as (t + 1) / 2 * 255.
struct TangentHint {
    static void encode(double tx, double ty, std::uint8_t* rgba);
    // False when the cell holds no tangent.
    static bool decode(const std::uint8_t* rgba, double* tx, double* ty);
};

// Unit vectors perpendicular to the gradient (that is, along the curve) into `orientation`
// (2 per cell) for cells with a non-zero gradient; other cells get (0, 0). With `tangents`
// (RGBA per cell, may be null) each vector is turned to agree with the nearest segment's
// direction, so both sides of the curve point the same way.
void orientationFromGradient(const double* gradient, const std::uint8_t* tangents, std::size_t w,
                             std::size_t h, float* orientation);

// A corner of a selection outline in cell-corner coordinates: cell (c, r) spans [c, c + 1] x
// [r, r + 1].
struct OutlineCorner {
    int x, y;
    bool operator==(const OutlineCorner& o) const { return x == o.x && y == o.y; }
};

// The boundary between selected and unselected cells (outside the grid counts as unselected) as
// closed loops of corners, only where the outline turns. Outer loops run anticlockwise, holes
// clockwise; cells touching only at a corner get separate loops.
std::vector<std::vector<OutlineCorner>> selectionOutline(const bool* selected, std::size_t w,
                                                         std::size_t h);

} // namespace canvas
