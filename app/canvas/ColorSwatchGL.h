#pragma once
// ColorSwatchGL: draws a colour as a swatch: a filled rectangle with a thin dark rim, in the
// current modelview frame (pixels). The colour is this object's Color part.

#include "canvas/Color.h"

class ColorSwatchGL : public Color {
public:
    ColorSwatchGL() = default;
    explicit ColorSwatchGL(const Color& c) : Color(c) {}
    // Draws c (this object's colour unless another is given) over [x0, x1] x [y0, y1].
    void drawSwatch(double x0, double y0, double x1, double y1) const;
    static void drawSwatch(const Color& c, double x0, double y0, double x1, double y1);
};
