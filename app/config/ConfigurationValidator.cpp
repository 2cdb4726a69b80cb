#include "config/ConfigurationValidator.h"

#include <cstring>
#include <sstream>

namespace {

using namespace ConfigurationLimits;
using Config = VeskConfiguration;

std::string text(uint32_t v) { return std::to_string(v); }
std::string text(int32_t v) { return std::to_string(v); }
std::string text(double v)
{
    std::ostringstream out;
    out << v;
    return out.str();
}

// Collects one line per replaced value.
class Checker {
public:
    std::vector<std::string> lines;

    // v outside lo..hi becomes `below` when under lo (or not a number) and `above` when over hi.
    template <class T>
    void value(const char* element, const char* attribute, T& v, T lo, T hi, T below, T above,
               const std::string& entry = {})
    {
        if (v >= lo && v <= hi) return;
        const T used = v > hi ? above : below;
        report(element, attribute, text(v), entry,
               "is out of range " + text(lo) + ".." + text(hi) + "; using " + text(used));
        v = used;
    }
    // A value whose default is the only sensible replacement on either side.
    template <class T>
    void value(const char* element, const char* attribute, T& v, T lo, T hi, T fallback)
    {
        value(element, attribute, v, lo, hi, fallback, fallback);
    }

    // Every entry of a list: under lo gives `below`, over hi gives hi.
    template <class T>
    void entries(const char* element, const char* attribute, std::vector<T>& list, T lo, T hi,
                 T below)
    {
        for (std::size_t i = 0; i < list.size(); ++i)
            value(element, attribute, list[i], lo, hi, below, hi, entryName(i));
    }

    // The entries together may not exceed `limit`: the entry that crosses it is cut down to what
    // is left, later ones to 0.
    void sum(const char* element, const char* attribute, Config::UnsignedList& list, uint64_t limit)
    {
        uint64_t total = 0;
        for (std::size_t i = 0; i < list.size(); ++i) {
            const uint64_t left = limit - total;
            if (list[i] > left) {
                report(element, attribute, text(list[i]), entryName(i),
                       "exceeds the limit of " + std::to_string(limit) + " in all; using " +
                           std::to_string(left));
                list[i] = static_cast<uint32_t>(left);
            }
            total += list[i];
        }
    }

    // Keeps the first `limit` occurrences of a list element; `count` is how many were read.
    bool occurrences(const char* element, std::size_t count, std::size_t limit)
    {
        if (count <= limit) return false;
        lines.push_back("Configuration: " + std::string(element) + " appears " +
                        std::to_string(count) + " times, more than " + std::to_string(limit) +
                        "; using the first " + std::to_string(limit));
        return true;
    }

private:
    static std::string entryName(std::size_t i) { return " (entry " + std::to_string(i + 1) + ")"; }

    void report(const char* element, const char* attribute, const std::string& value,
                const std::string& entry, const std::string& verdict)
    {
        lines.push_back("Configuration: " + std::string(element) + " " + attribute + "=\"" + value +
                        "\"" + entry + " " + verdict);
    }
};

template <class List> void truncate(List& list, std::size_t n)
{
    if (list.size() > n) list.resize(n);
}

constexpr double kSide = kMaxSide;

template <class Primitives>
void checkPrimitives(Checker& k, const char* element, Primitives& p)
{
    k.sum(element, "number", p.number, kMaxPrimitives);
    k.entries(element, "width", p.width, 0.0, kSide, 100.0);
    k.entries(element, "height", p.height, 0.0, kSide, 100.0);
}

void checkContainers(Checker& k, const char* element, Config::Containers& c)
{
    k.sum(element, "number", c.number, kMaxContainers);
    k.entries(element, "width", c.width, 0.0, kSide, 600.0);
    k.entries(element, "height", c.height, 0.0, kSide, 600.0);
    k.entries(element, "numberofcontrolpoints", c.numberofcontrolpoints, 0u, 1024u, 8u);
    k.entries(element, "splinelevel", c.splinelevel, 0u, 10u, 4u);
}

void checkLenses(Checker& k, const char* element, Config::SizeLens& l)
{
    k.sum(element, "number", l.number, kMaxLenses);
    k.entries(element, "width", l.width, 0.0, kSide, 200.0);
    k.entries(element, "height", l.height, 0.0, kSide, 200.0);
}

// Creators and destroyers: their own sides and those of what they create, in pixels.
template <class Creator> void checkCreator(Checker& k, const char* element, Creator& c)
{
    for (auto [attribute, list] : {std::pair{"creator_width", &c.creator_width},
                                   {"creator_height", &c.creator_height},
                                   {"width", &c.width},
                                   {"height", &c.height}})
        k.entries(element, attribute, *list, 0u, kMaxSide, 64u);
}

void checkSurface(Checker& k, const char* element, Config::RealList& border,
                  Config::RealList& overflow)
{
    k.entries(element, "border", border, 0.0, kMaxMargin, 10.0);
    k.entries(element, "overflow", overflow, 0.0, kMaxMargin, 50.0);
}

void checkTextures(Checker& k, Config::Textures& t)
{
    for (std::size_t i = 0; i < t.number.size() && i < t.source.size(); ++i) {
        if (std::strchr(t.source[i].c_str(), '%')) continue;
        k.value("textures", "number", t.number[i], 0u, kMaxCopiesOfOneTexture, 0u,
                kMaxCopiesOfOneTexture, " (entry " + std::to_string(i + 1) + ", one file)");
    }
    k.sum("textures", "number", t.number, kMaxTextures);
}

void checkCanvases(Checker& k, Config::CanvasSurface& c)
{
    if (k.occurrences("canvas_surface", c.border.size(), kMaxCanvases)) {
        truncate(c.border, kMaxCanvases);
        truncate(c.overflow, kMaxCanvases);
        truncate(c.number_of_toolbrushes, kMaxCanvases);
        truncate(c.initial_stroke_width, kMaxCanvases);
        truncate(c.texture, kMaxCanvases);
    }
    checkSurface(k, "canvas_surface", c.border, c.overflow);
    k.entries("canvas_surface", "number_of_toolbrushes", c.number_of_toolbrushes, 0u,
              kMaxToolbrushes, 1u);
    k.entries("canvas_surface", "initial_stroke_width", c.initial_stroke_width, 0.0, kMaxMargin,
              10.0);
}

// The first kMaxMenus menus of a kind; sides from 1 to kMaxMenuSide (0 gives the default 200).
template <class Menu, class... Lists>
void checkMenus(Checker& k, const char* element, Menu& m, Lists&... textures)
{
    if (k.occurrences(element, m.width.size(), kMaxMenus)) {
        truncate(m.width, kMaxMenus);
        truncate(m.height, kMaxMenus);
        truncate(m.xpos, kMaxMenus);
        truncate(m.ypos, kMaxMenus);
        truncate(m.opacity, kMaxMenus);
        truncate(m.rnt, kMaxMenus);
        truncate(m.tossing, kMaxMenus);
        (truncate(textures, kMaxMenus), ...);
    }
    k.entries(element, "width", m.width, 1u, kMaxMenuSide, 200u);
    k.entries(element, "height", m.height, 1u, kMaxMenuSide, 200u);
}

} // namespace

std::vector<std::string> validateConfiguration(VeskConfiguration& c)
{
    Checker k;
    k.value("startup", "demo_type", c.startup.demo_type, 0u, 3u, 0u);
    k.value("mainwindow", "width", c.mainwindow.width, 1u, kMaxSide, 700u, kMaxSide);
    k.value("mainwindow", "height", c.mainwindow.height, 1u, kMaxSide, 525u, kMaxSide);
    k.value("globalbuffers", "width", c.globalbuffers.width, 1u, kMaxSide, 700u, kMaxSide);
    k.value("globalbuffers", "height", c.globalbuffers.height, 1u, kMaxSide, 525u, kMaxSide);
    k.value("userdata", "number", c.userdata.number, 1u, kMaxPointers, 1u, kMaxPointers);
    const uint32_t wiis = kMaxPointers - c.userdata.number;
    k.value("userdata", "wiis", c.userdata.wiis, 0u, wiis, 0u, wiis);
    k.value("object_add_and_remove", "number_per_step", c.object_add_and_remove.number_per_step, 0u,
            kMaxPrimitives, 100u, kMaxPrimitives);
    k.value("containersettings", "insideCPSteps", c.containersettings.insideCPSteps, 0u, 64u, 3u,
            64u);
    k.value("containersettings", "outsideCPSteps", c.containersettings.outsideCPSteps, 0u, 64u, 3u,
            64u);
    // Handed on as an int.
    k.value("toolglass", "diameter_scale_speed", c.toolglass.diameter_scale_speed, -100000.0,
            100000.0, 100.0);
    k.value("osc", "receive_port", c.osc.receive_port, 1u, 65535u, 7000u);
    k.value("osc", "send_port", c.osc.send_port, 1u, 65535u, 7001u);
    k.value("touchinput", "tuio_port", c.touchinput.tuio_port, 1u, 65535u,
            VeskConfiguration::kDefaultTuioPort);

    checkTextures(k, c.textures);
    k.entries("images", "width", c.images.width, 0.0, kSide, 100.0);
    k.entries("images", "height", c.images.height, 0.0, kSide, 100.0);
    k.sum("images", "number", c.images.number, kMaxPrimitives);
    checkPrimitives(k, "strokes", c.strokes);
    checkPrimitives(k, "tiles", c.tiles);
    checkPrimitives(k, "points", c.points);
    checkPrimitives(k, "geostrokes", c.geostrokes);
    k.entries("geostrokes", "num_segments", c.geostrokes.num_segments, 1, kMaxSegments, 32);
    checkContainers(k, "containers", c.containers);
    checkContainers(k, "storage_bins", c.storage_bins);
    checkContainers(k, "interface_currents", c.interface_currents);
    checkLenses(k, "sizeLens", c.sizeLens);
    checkLenses(k, "directionLens", c.directionLens);
    checkSurface(k, "control_surface", c.control_surface.border, c.control_surface.overflow);
    checkSurface(k, "pool_surface", c.pool_surface.border, c.pool_surface.overflow);
    checkSurface(k, "ground", c.ground.border, c.ground.overflow);
    checkSurface(k, "geostrokes_build_canvas_surface", c.geostrokes_build_canvas_surface.border,
                 c.geostrokes_build_canvas_surface.overflow);
    checkSurface(k, "hockey_surface", c.hockey_surface.border, c.hockey_surface.overflow);
    checkCanvases(k, c.canvas_surface);
    checkMenus(k, "contextmenu", c.contextmenu, c.contextmenu.texture0);
    {
        auto& m = c.cornermenu;
        checkMenus(k, "cornermenu", m, m.backgroundTexture, m.dummyTexture, m.createTexture,
                   m.eraseTexture, m.orientFollowTexture, m.orientCircularTexture,
                   m.orientRadialTexture, m.moveFollowTexture, m.moveAttractionTexture,
                   m.moveRepulsionTexture, m.resizeBiggerTexture, m.resizeSmallerTexture);
    }
    checkMenus(k, "strokemenu", c.strokemenu, c.strokemenu.backgroundTexture,
               c.strokemenu.acceptTexture, c.strokemenu.cancelTexture, c.strokemenu.sketchTexture);
    k.entries("palette", "width", c.palette.width, 0.0, kSide, 500.0);
    k.entries("palette", "height", c.palette.height, 0.0, kSide, 500.0);
    k.sum("hockey_paddles", "number", c.hockey_paddles.number, kMaxPointers);
    k.sum("hockey_pucks", "number", c.hockey_pucks.number, kMaxPointers);
    k.entries("hockey_paddles", "size", c.hockey_paddles.size, 1.0, kSide, 250.0);
    k.entries("hockey_pucks", "size", c.hockey_pucks.size, 1.0, kSide, 200.0);
    k.entries("destroyer", "width", c.destroyer.width, 0u, kMaxSide, 64u);
    k.entries("destroyer", "height", c.destroyer.height, 0u, kMaxSide, 64u);
    for (auto [element, creator] : {std::pair{"storage_bin_creator", &c.storage_bin_creator},
                                    {"pool_current_creator", &c.pool_current_creator},
                                    {"belt_current_creator", &c.belt_current_creator}}) {
        checkCreator(k, element, *creator);
        k.entries(element, "numberofcontrolpoints", creator->numberofcontrolpoints, 0u, 1024u, 8u);
        k.entries(element, "splinelevel", creator->splinelevel, 0u, 10u, 4u);
    }
    checkCreator(k, "sticky_board_creator", c.sticky_board_creator);
    checkCreator(k, "sticky_note_creator", c.sticky_note_creator);
    checkCreator(k, "lens_creator", c.lens_creator);
    k.entries("font", "size", c.font.size, 1u, kMaxFontSize, 64u);
    k.entries("image", "width", c.image.width, 1.0, kSide, 200.0);
    k.entries("image", "height", c.image.height, 1.0, kSide, 200.0);
    k.entries("label", "height", c.label.height, 1.0, kSide, 32.0);
    k.entries("label", "padding", c.label.padding, 0.0, kSide, 8.0);
    k.entries("sticky_note", "width", c.sticky_note.width, 1.0, kSide, 200.0);
    k.entries("sticky_note", "height", c.sticky_note.height, 1.0, kSide, 200.0);
    k.entries("sticky_board", "width", c.sticky_board.width, 1.0, kSide, 600.0);
    k.entries("sticky_board", "height", c.sticky_board.height, 1.0, kSide, 600.0);
    return k.lines;
}
