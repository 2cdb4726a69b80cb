#pragma once
// ColorIndicatorGL: marks the chosen colour. Its Color part is the marked colour; it is drawn as
// a ring round the marked rectangle in the complementary colour (255 - r, 255 - g, 255 - b), so
// it shows on every swatch. Pixels of the current modelview frame.

#include "canvas/Color.h"

class ColorIndicatorGL : public Color {
public:
    // The indicator moves to the rectangle of colour c.
    void moveIndicatorTo(const Color& c, double x0, double y0, double x1, double y1);
    void hideIndicator() { indicatorShown = false; }
    bool isIndicatorShown() const { return indicatorShown; }
    Color outlineColor() const { return complementary(); }
    void drawIndicator() const;

private:
    double rect[4] = {0, 0, 0, 0};
    bool indicatorShown = false;
};
