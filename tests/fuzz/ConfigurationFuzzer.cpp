// Feeds arbitrary bytes to the configuration reader and checks the record's invariants: whatever
// the input, every list element keeps lists of equal length, `images` is never empty, the TUIO port
// is a valid port and no real is infinite or not a number.
#include "config/QTVeskConfiguration.h"

#include <QByteArray>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

namespace {

void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "configuration invariant broken: %s\n", what);
        std::abort();
    }
}

void requireEqualLengths(std::initializer_list<size_t> sizes, const char* element)
{
    for (size_t s : sizes)
        require(s == *sizes.begin(), element);
}

void requireFinite(const VeskConfiguration::RealList& list, const char* element)
{
    for (double d : list)
        require(std::isfinite(d), element);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QTVeskConfiguration c = QTVeskConfiguration::fromData(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));

    require(!c.images.width.empty(), "images has an entry");
    requireEqualLengths({c.images.number.size(), c.images.width.size(), c.images.height.size()},
                        "images");
    require(c.touchinput.tuio_port >= 1 && c.touchinput.tuio_port <= 65535, "tuio_port");
    require(std::isfinite(c.tossing.friction) && std::isfinite(c.strokesim.k), "finite scalars");

    const auto& k = c.containers;
    requireEqualLengths({k.number.size(), k.width.size(), k.height.size(), k.xpos.size(),
                         k.ypos.size(), k.numberofcontrolpoints.size(), k.splinelevel.size(),
                         k.insideboundaryflag.size(), k.rounded.size(), k.with_images.size()},
                        "containers");
    requireFinite(k.width, "containers width");
    const auto& p = c.palette;
    requireEqualLengths({p.number.size(), p.opacity.size(), p.texture_stroke_mode.size(),
                         p.texture_size.size(), p.texture_palette.size()},
                        "palette");
    requireFinite(p.opacity, "palette opacity");
    const auto& t = c.task;
    requireEqualLengths({t.number.size(), t.description.size(), t.image.size(),
                         t.targetArea4Diameter.size()},
                        "task");
    const auto& l = c.directionLens;
    requireEqualLengths({l.number.size(), l.xpos.size(), l.dropoff.size(), l.inorout.size()},
                        "directionLens");
    requireEqualLengths({c.textures.number.size(), c.textures.source.size()}, "textures");
    requireEqualLengths({c.canvas_surface.border.size(), c.canvas_surface.texture.size()},
                        "canvas_surface");
    return 0;
}
