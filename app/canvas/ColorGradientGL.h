#pragma once
// ColorGradientGL: draws a vertical gradient from this object's colour (bottom) to another
// colour (top), in the current modelview frame (pixels); the palette's mixing area lies on one.

#include "canvas/Color.h"

class ColorGradientGL : public Color {
public:
    ColorGradientGL() = default;
    explicit ColorGradientGL(const Color& c) : Color(c) {}
    void drawGradient(const Color& top, double x0, double y0, double x1, double y1,
                      float alpha) const;
};
