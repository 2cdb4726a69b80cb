#pragma once
// LensField: the GL-free arithmetic of the lens components (LensGL and its leaves): drop-off
// functions by name, the strength clamp, the lens colour, the size lens's magnification grid, the
// direction lens's vector grid, and the rectangles of parent cells a lens writes into.
//
// Coordinates: lens grids are in the lens's own buffer cells (cell (i, j) centred at
// (i + 0.5, j + 0.5), the lens centre at (width / 2, height / 2) of the grid); rectangles are in
// the parent's buffer cells, half open: [x0, x1) x [y0, y1).

#include "core/BufferTag.h"
#include "core/BufferTemplate.h"

#include <vector>

namespace lensfield {

// A lens's drop-off function: its index (0 … 8, Gaussian 0), the shift added to the border
// colour, and the EPS drop-off type of its surround.
struct Dropoff {
    int function;
    float colorShift;
    int epsType;
};

// The function with this exact name ("Gaussian", "Manhattan", "Cosine", "DropGaussian",
// "Hemispheric", "Hyperbolic", "Linear", "Power", "TrueLinear"); any other name, or none, gives
// the Gaussian.
Dropoff dropoffByName(const char* name);
// The function of an index; an index outside 0 … 8 gives the Gaussian.
Dropoff dropoffOf(int function);

// Strength clamped to 0.0 … 1.0 (NaN gives 0.0).
double clampStrength(double strength);

// border + shift per component, 1.0 taken off a component that then exceeds 1.0.
void shiftColor(const float border[3], float shift, float out[3]);

// The EPS profile both magnifying lenses share: for a lens grid of w x h cells whose component
// is halfWidth x halfHeight (half sizes, table pixels), a circular focus of r · strength with
// r = 0.9 · max(halfWidth, halfHeight), a surround of the remaining band (not widened with the
// magnification) with the drop-off's EPS type, magnification + offset at the focus. One value per cell: the EPS magnification at the
// cell centre minus offset (so 1 - offset outside the lens, magnification in the focus).
std::vector<float> magnificationProfile(unsigned int w, unsigned int h, double halfWidth,
                                        double halfHeight, double strength, double magnification,
                                        double offset, int epsType);

// Size lens factors (one channel): the profile value where it exceeds 1.0, else 1.0.
void fillSizeFactors(BufferTemplate<float>& out, double halfWidth, double halfHeight,
                     double strength, double magnification, double offset, int epsType);

// Direction lens vectors (two channels): inside the lens a unit vector away from the centre
// (directionMode 1) or towards it (any other mode), weighted by sin(pi (A - d) / A)^0.4 (A the
// radius along the cell's direction: the half width for a circle, d + 5 or d - 5 inside or outside
// an ellipse) and by the profile value; (0, 0) outside and at the centre.
void fillDirectionVectors(BufferTemplate<float>& out, double halfWidth, double halfHeight,
                          double strength, double magnification, double offset, int epsType,
                          unsigned int directionMode);

// (x, y) normalised; (0, 0) becomes (0, 1).
void normaliseUp(double& x, double& y);

// Orientation lens kinds: 0 up, 1 in, 2 out; any other kind is up.
enum OrientationKind : unsigned int { ORIENT_UP = 0, ORIENT_IN = 1, ORIENT_OUT = 2 };

// The rest value of a parent's field where no lens writes: relative size 1.0, vectors (0, 0).
float restValue(BUFFERTAG tag);

struct CellRect {
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
    bool empty() const { return x1 <= x0 || y1 <= y0; }
    long area() const { return empty() ? 0 : static_cast<long>(x1 - x0) * (y1 - y0); }
    bool intersects(const CellRect& o) const
    {
        return !empty() && !o.empty() && x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1;
    }
    CellRect intersection(const CellRect& o) const;
    // The bounding rectangle of both (an empty one adds nothing).
    CellRect united(const CellRect& o) const;
    bool operator==(const CellRect& o) const
    {
        return x0 == o.x0 && y0 == o.y0 && x1 == o.x1 && y1 == o.y1;
    }
};

// A lens grid of w x h cells centred at the fractional parent cell (cx, cy): the parent cell of
// lens cell (0, 0), and the covered parent cells clipped to a parent grid of pw x ph cells.
struct Placement {
    int originX = 0;
    int originY = 0;
    CellRect rect;
};
Placement place(double cx, double cy, unsigned int w, unsigned int h, unsigned int pw,
                unsigned int ph);

// Replaces overlapping rectangles by their bounding rectangles until none overlap, so that every
// cell is listed once; empty ones are dropped.
void mergeOverlapping(std::vector<CellRect>& rects);

// Rest value into channels 0 … channels − 1 of every cell of rect (clipped to the grid).
void fillRect(BufferTemplate<float>& field, const CellRect& rect, float value);
// Write access to the field's cells inside rect (a modification of those cells only).
inline float* cellsIn(BufferTemplate<float>& field, const CellRect& rect)
{
    return field.getBufferArrayForRect(static_cast<unsigned int>(rect.x0 > 0 ? rect.x0 : 0),
                                       static_cast<unsigned int>(rect.y0 > 0 ? rect.y0 : 0),
                                       static_cast<unsigned int>(rect.x1 > 0 ? rect.x1 : 0),
                                       static_cast<unsigned int>(rect.y1 > 0 ? rect.y1 : 0));
}

} // namespace lensfield
