#pragma once
// Color: an RGB colour of the palette (0 … 255 per channel), copied by value. The palette's
// swatches, mixed colours and the paint colour are Colors; the preset colours are process-wide
// constants.
//
// The ordered map keeps named shades a colour was mixed from (name -> share), so a mixed colour
// can tell what went into it; a plain colour has an empty map.

#include <map>
#include <string>

class Color {
public:
    Color() = default;
    Color(unsigned char red, unsigned char green, unsigned char blue) : r(red), g(green), b(blue) {}
    virtual ~Color() = default;

    // (255 - r, 255 - g, 255 - b): the outline of the colour indicator.
    Color complementary() const;
    // Channel-wise mean (truncated), the shares of both maps merged.
    Color mixedWith(const Color& other) const;
    // The colour as it is stored in the mixing area: a channel of value 10 marks an empty mixing
    // pixel there, so a stored colour takes 11 instead.
    Color storable() const;

    bool operator==(const Color& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Color& o) const { return !(*this == o); }

    void setColor(const Color& c) { *this = c; }
    const Color& color() const { return *this; }

    unsigned char r = 0;
    unsigned char g = 0;
    unsigned char b = 0;
    std::map<std::string, double> sources;

    // Swatch presets, their companion colours and further constants.
    static const Color WHITE, GREY, BLUE, RED, GREEN, BLACK;
    static const Color BROWN, STEEL_BLUE, YELLOW;
    static const Color ORANGE, PURPLE, CYAN, MAGENTA, LEAF_GREEN;
    // The six swatches (regions 4 … 9) and their companions.
    static const Color SWATCHES[6];
    static const Color COMPANIONS[6];
};
