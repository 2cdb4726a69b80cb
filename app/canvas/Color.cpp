#include "canvas/Color.h"

const Color Color::WHITE(255, 255, 255);
const Color Color::GREY(170, 170, 169);
const Color Color::BLUE(0, 0, 255);
const Color Color::RED(255, 0, 0);
const Color Color::GREEN(0, 255, 0);
const Color Color::BLACK(0, 0, 0);
const Color Color::BROWN(100, 64, 0);
const Color Color::STEEL_BLUE(42, 95, 154);
const Color Color::YELLOW(255, 255, 0);
const Color Color::ORANGE(255, 128, 0);
const Color Color::PURPLE(128, 0, 128);
const Color Color::CYAN(0, 255, 255);
const Color Color::MAGENTA(255, 0, 255);
const Color Color::LEAF_GREEN(0, 167, 51);

const Color Color::SWATCHES[6] = {Color(255, 255, 255), Color(170, 170, 169), Color(0, 0, 255),
                                  Color(255, 0, 0),     Color(0, 255, 0),     Color(0, 0, 0)};
const Color Color::COMPANIONS[6] = {Color(0, 0, 0),   Color(100, 64, 0),    Color(42, 95, 154),
                                    Color(255, 0, 0), Color(255, 255, 0),   Color(255, 255, 255)};

Color Color::complementary() const
{
    return Color(static_cast<unsigned char>(255 - r), static_cast<unsigned char>(255 - g),
                 static_cast<unsigned char>(255 - b));
}

Color Color::mixedWith(const Color& other) const
{
    Color m(static_cast<unsigned char>((r + other.r) / 2), static_cast<unsigned char>((g + other.g) / 2),
            static_cast<unsigned char>((b + other.b) / 2));
    for (const auto& s : sources) m.sources[s.first] += 0.5 * s.second;
    for (const auto& s : other.sources) m.sources[s.first] += 0.5 * s.second;
    return m;
}

Color Color::storable() const
{
    Color c = *this;
    for (unsigned char* v : {&c.r, &c.g, &c.b})
        if (*v == 10) *v = 11;
    return c;
}
