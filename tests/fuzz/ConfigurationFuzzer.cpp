// Feeds arbitrary bytes to the configuration reader and the validation step that follows it in the
// program, and checks the record's invariants: whatever the input, every list element keeps lists
// of equal length, `images` is never empty, no real is infinite or not a number, and after
// validation every size, count and port is within ConfigurationLimits. Small configurations (up
// to 2 KB, with few objects and small buffers) are then built as the program builds them, into an
// off-screen OpenGL context, and one frame is drawn. Without an X display (DISPLAY unset) or a
// context, only reading and validation are fuzzed.
#include "shell/ControllerSetup.h"
#include "shell/RuduzozovorERUBuildDirector.h"
#include "shell/RuduzozovorERUBuilderGL.h"
#include "shell/StartUp.h"
#include "config/ConfigurationValidator.h"
#include "config/QTVeskConfiguration.h"
#include "vis/TabletopVis.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <stdexcept>

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

QOpenGLContext* context = nullptr;
QOffscreenSurface* surface = nullptr;

// Few enough objects and cells that one input builds in well under a second.
bool smallScene(const VeskConfiguration& c)
{
    const auto overflow = [](const VeskConfiguration::RealList& l) { return within(l, 0, 256); };
    return sum(c.strokes.number) + sum(c.tiles.number) + sum(c.points.number) +
                   sum(c.geostrokes.number) <= 2000 &&
           sum(c.textures.number) <= 64 && sum(c.containers.number) <= 20 &&
           sum(c.storage_bins.number) <= 20 && sum(c.interface_currents.number) <= 20 &&
           c.canvas_surface.border.size() <= 2 && overflow(c.canvas_surface.overflow) &&
           uint64_t{c.globalbuffers.width} * c.globalbuffers.height <= 2048ull * 2048ull &&
           within(c.canvas_surface.number_of_toolbrushes, 0, 8);
}

// Builds the configured scene at 320 x 240 pixels and draws a frame, as the program's widget
// does; allocation failures are the program's reason to stop, not a fault.
void buildScene(VeskConfiguration& c)
{
    context->makeCurrent(surface);
    RuduzozovorERUBuilderGL builder;
    ControllerSettings settings;
    settings.widgetWidth = 320;
    settings.widgetHeight = 240;
    try {
        createConfiguredController(builder, c, settings);
        RuduzozovorERUBuildDirector director(&c);
        if (TabletopVis* vis = director.buildDemo(c.startup.demo_type, &builder))
            vis->render(vis->getNumberOfUsers(), 1.0);
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (!std::getenv("DISPLAY")) return 0;
    setenv("QT_QPA_PLATFORM", "xcb", 0);
    setDefaultSurfaceFormat();
    static int argc = 1;
    static char name[] = "ConfigurationFuzzer";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
    auto* c = new QOpenGLContext;
    auto* s = new QOffscreenSurface;
    if (!c->create()) return 0;
    s->setFormat(c->format());
    s->create();
    if (!s->isValid() || !c->makeCurrent(s)) return 0;
    context = c;
    surface = s;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QTVeskConfiguration c = QTVeskConfiguration::fromData(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    validateConfiguration(c);
    require(validateConfiguration(c).empty(), "validation is complete in one pass");
    checkLimits(c);
    if (context && size <= 2048 && smallScene(c)) buildScene(c);

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
