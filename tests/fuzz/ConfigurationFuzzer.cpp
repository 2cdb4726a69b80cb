// Feeds arbitrary bytes to the configuration reader and the validation step that follows it in the
// program, and checks the record's invariants: whatever the input, every list element keeps lists
// of equal length, `images` is never empty, no real is infinite or not a number, and after
// validation every size, count and port is within ConfigurationLimits. The scene itself is not
// built here (it needs a GL context and the whole program); tests/app/shell/bad_input.sh starts
// the program on the inputs that once broke it.
#include "config/ConfigurationValidator.h"
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

template <class List> uint64_t sum(const List& list)
{
    uint64_t total = 0;
    for (auto v : list) total += v;
    return total;
}

template <class List> bool within(const List& list, double lo, double hi)
{
    for (auto v : list)
        if (!(v >= lo && v <= hi)) return false;
    return true;
}

void checkLimits(const VeskConfiguration& c)
{
    using namespace ConfigurationLimits;
    require(c.mainwindow.width >= 1 && c.mainwindow.width <= kMaxSide, "mainwindow width");
    require(c.globalbuffers.height >= 1 && c.globalbuffers.height <= kMaxSide, "buffer height");
    require(c.userdata.number >= 1 && c.userdata.number + c.userdata.wiis <= kMaxPointers, "users");
    require(c.startup.demo_type <= 3, "demo_type");
    require(sum(c.strokes.number) <= kMaxPrimitives && sum(c.points.number) <= kMaxPrimitives,
            "primitives");
    require(within(c.strokes.width, 0, kMaxSide), "stroke width");
    require(sum(c.textures.number) <= kMaxTextures, "textures");
    require(c.canvas_surface.border.size() <= kMaxCanvases, "canvases");
    require(within(c.canvas_surface.overflow, 0, kMaxMargin), "overflow");
    require(within(c.canvas_surface.number_of_toolbrushes, 0, kMaxToolbrushes), "toolbrushes");
    require(c.points.number.size() <= kMaxElementOccurrences, "occurrences");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QTVeskConfiguration c = QTVeskConfiguration::fromData(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    validateConfiguration(c);
    require(validateConfiguration(c).empty(), "validation is complete in one pass");
    checkLimits(c);

    require(!c.images.width.empty(), "images has an entry");
    requireEqualLengths({c.images.number.size(), c.images.width.size(), c.images.height.size()},
                        "images");
    require(c.touchinput.tuio_port >= 1 && c.touchinput.tuio_port <= 65535 &&
                c.osc.send_port >= 1 && c.osc.send_port <= 65535,
            "ports");
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
