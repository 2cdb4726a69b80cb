#include "RuduzozovorERUBuilderGL.h"

#include "RuduzozovorERUVisGL.h"
#include "canvas/CanvasCompositeGL.h"
#include "vis/NamePattern.h"

#include "canvas/ContextMenuGL.h"
#include "canvas/CornerMenuGL.h"
#include "canvas/GeoStrokeBuildCanvasCompositeGL.h"
#include "canvas/MenuRegions.h"
#include "canvas/StrokeMenuGL.h"
#include "canvas/GeoStrokeLeafGL.h"
#include "canvas/PaletteLeafGL.h"
#include "canvas/PointLeafGL.h"
#include "canvas/StrokeLeafGL.h"
#include "canvas/TileLeafGL.h"
#include "canvas/ToolBrushLeafGL.h"
#include "core/Random.h"

#include <algorithm>
#include <cmath>

#include <cstring>
#include <iostream>
#include <stdexcept>
#include <string>

void RuduzozovorERUBuilderGL::buildVis(unsigned int users, unsigned int bufferWidth,
                                       unsigned int bufferHeight, unsigned int screenWidth,
                                       unsigned int screenHeight)
{
    setVis(new RuduzozovorERUVisGL(users, bufferWidth, bufferHeight, screenWidth, screenHeight));
}

RuduzozovorERUVisGL* RuduzozovorERUBuilderGL::getApplicationVis() const
{
    return dynamic_cast<RuduzozovorERUVisGL*>(getVis());
}

void RuduzozovorERUBuilderGL::buildTextures(unsigned int count, const char* pattern)
{
    if (!getVis() || !pattern || std::strlen(pattern) + 5 >= 50) return;
    std::cout << std::endl << "Loading " << count << " textures, please wait." << std::endl;
    if (!isIndexPattern(pattern)) {
        // Loading the same file count times is what a name without a number asks for.
        if (!std::strchr(pattern, '%')) {
            for (unsigned int i = 1; i <= count; ++i) getVis()->loadTexture(pattern, true);
        } else {
            std::cout << "Error: texture name pattern needs one integer conversion: " << pattern
                      << std::endl;
        }
        ++textureBatches;
        return;
    }
    for (unsigned int i = 1; i <= count; ++i)
        getVis()->loadTexture(formatIndexPattern(pattern, i).c_str(), true);
    ++textureBatches;
}

// The painting components are built with their classes.
// The canvas covers the screen plus its overflow margin on every side. Its background is the
// texture the configuration names for it (a paper texture in the bundled configuration).
void RuduzozovorERUBuilderGL::buildCanvas(double border, double overflow,
                                          unsigned int numberOfToolbrushes,
                                          double initialStrokeWidth, const char* texture,
                                          double shorterSide)
{
    RuduzozovorERUVisGL* vis = getApplicationVis();
    if (!vis) return;
    const unsigned int background = texture ? vis->loadTexture(texture, true)
                                            : TabletopVisGL::kTextureLoadFailed;
    const double w = vis->getScreenWidth();
    const double h = vis->getScreenHeight();
    // About 110 bytes of buffers per cell: an 8K screen with its margins is the most a canvas
    // may cover, so that its buffers stay within a few gigabytes.
    constexpr double kMaxCanvasCells = 36.0 * 1024 * 1024;
    const double cells = (w + 2.0 * overflow) * (h + 2.0 * overflow);
    if (!(overflow >= 0.0) || !(cells <= kMaxCanvasCells)) {
        const auto side = [](double v) {
            return std::to_string(static_cast<long long>(std::min(v, 1e15)));
        };
        throw std::length_error("a canvas of " + side(w + 2.0 * overflow) + " x " +
                                side(h + 2.0 * overflow) + " cells, more than " +
                                side(kMaxCanvasCells));
    }
    CanvasCompositeGL* canvas = vis->createCanvas(
        static_cast<unsigned int>(w + 2.0 * overflow), static_cast<unsigned int>(h + 2.0 * overflow),
        w * 0.5, h * 0.5, 0.0, border, overflow, numberOfToolbrushes,
        static_cast<float>(initialStrokeWidth), static_cast<float>(shorterSide));
    if (background != TabletopVisGL::kTextureLoadFailed) canvas->setBackgroundTextures({background});
    canvas->setDiameterScaleSpeed(diameterScaleSpeed);
    // The create brushes make their primitives through this controller (sizes as the brush asks).
    for (ToolBrushLeafGL* brush : canvas->getToolBrushes()) {
        brush->setPrimitiveFactory([vis](const ToolBrushLeafGL::PrimitiveRequest& r) -> VisComponent* {
            switch (r.kind) {
            case 0: return vis->createStroke(r.x, r.y, 64.0, 64.0, r.rotation, r.layer, r.textureIndex, false);
            case 1: return vis->createTile(r.x, r.y, 32.0, 32.0, r.rotation, r.layer, false, false);
            case 2: return vis->createPoint(r.x, r.y, 32.0, 32.0, r.rotation, r.layer, false);
            default: return nullptr;
            }
        });
    }
}
// A square panel centred on the screen, 30 pixels shorter than the screen is high.
void RuduzozovorERUBuilderGL::buildStrokeBuildCanvas(double border, double)
{
    RuduzozovorERUVisGL* vis = getApplicationVis();
    if (!vis) return;
    const double side = std::max(1.0, vis->getScreenHeight() - 30.0);
    vis->createStrokeBuildCanvas(side, side, vis->getScreenWidth() * 0.5,
                                 vis->getScreenHeight() * 0.5, border);
}
// Menus. Their textures stay out of the controller's image texture table, whose rows are the
// brush icon and the stroke groups. A menu lies on the first canvas (as its child it reaches the
// tool-state grid); a missing position (-1) is the screen's centre.
namespace {

template <class List> auto entryOr(const List& list, std::size_t i,
                                   typename List::value_type fallback)
{
    return i < list.size() ? list[i] : fallback;
}

unsigned int menuTexture(TabletopVis& vis, const std::vector<std::string>& list, std::size_t i)
{
    if (i >= list.size()) return 0;
    const unsigned int name = vis.loadTexture(list[i].c_str(), false);
    return name == TabletopVisGL::kTextureLoadFailed ? 0 : name;
}

struct MenuFrame {
    double width, height, x, y;
    bool rnt, tossing;
    float opacity;
};

template <class Menu> MenuFrame menuFrame(const Menu& m, std::size_t i, const TabletopVis& vis)
{
    const auto position = [](uint32_t v, double centre) {
        return v == 0xFFFFFFFFu ? centre : static_cast<double>(v);
    };
    return {static_cast<double>(std::max<uint32_t>(1, entryOr(m.width, i, 200))),
            static_cast<double>(std::max<uint32_t>(1, entryOr(m.height, i, 200))),
            position(entryOr(m.xpos, i, 500), vis.getScreenWidth() * 0.5),
            position(entryOr(m.ypos, i, 500), vis.getScreenHeight() * 0.5),
            static_cast<bool>(entryOr(m.rnt, i, false)),
            static_cast<bool>(entryOr(m.tossing, i, false)),
            static_cast<float>(entryOr(m.opacity, i, 1.0))};
}

// Registers the menu, wholly on the screen (a window's bars make the screen lower than the
// configured table), and puts it on the canvas (when there is one).
void placeMenu(RuduzozovorERUVisGL& vis, VisComponent* menu)
{
    const menus::Point p =
        menus::placeOnScreen(menu->getXPos(), menu->getYPos(), menu->getHalfWidth(),
                             menu->getHalfHeight(), vis.getScreenWidth(), vis.getScreenHeight());
    menu->setPos(p.x, p.y);
    vis.addComponent(menu, false);
    if (CanvasCompositeGL* canvas = vis.findFirst<CanvasCompositeGL>()) canvas->addChild(menu);
}

} // namespace

void RuduzozovorERUBuilderGL::buildContextMenu(const VeskConfiguration& c, std::size_t i)
{
    RuduzozovorERUVisGL* vis = getApplicationVis();
    if (!vis) return;
    const MenuFrame f = menuFrame(c.contextmenu, i, *vis);
    auto* menu = new ContextMenuGL(vis, f.width, f.height, f.x, f.y, 1.0, f.rnt, f.tossing,
                                   f.opacity, menuTexture(*vis, c.contextmenu.texture0, i));
    placeMenu(*vis, menu);
    menu->hide();
}

void RuduzozovorERUBuilderGL::buildCornerMenu(const VeskConfiguration& c, std::size_t i)
{
    RuduzozovorERUVisGL* vis = getApplicationVis();
    if (!vis) return;
    const auto& m = c.cornermenu;
    std::vector<unsigned int> textures;
    for (const std::vector<std::string>* list :
         {&m.backgroundTexture, &m.dummyTexture, &m.createTexture, &m.eraseTexture,
          &m.orientFollowTexture, &m.orientCircularTexture, &m.orientRadialTexture,
          &m.moveFollowTexture, &m.moveAttractionTexture, &m.moveRepulsionTexture,
          &m.resizeBiggerTexture, &m.resizeSmallerTexture})
        textures.push_back(menuTexture(*vis, *list, i));
    const MenuFrame f = menuFrame(m, i, *vis);
    auto* menu = new CornerMenuGL(vis, f.width, f.height, f.x, f.y, 1.0, f.rnt, f.tossing,
                                  f.opacity, textures);
    placeMenu(*vis, menu);
    menu->show();
}

void RuduzozovorERUBuilderGL::buildStrokeMenu(const VeskConfiguration& c, std::size_t i)
{
    RuduzozovorERUVisGL* vis = getApplicationVis();
    if (!vis) return;
    const auto& m = c.strokemenu;
    const MenuFrame f = menuFrame(m, i, *vis);
    auto* menu = new StrokeMenuGL(vis, f.width, f.height, f.x, f.y, 1.0, f.rnt, f.tossing,
                                  f.opacity, menuTexture(*vis, m.backgroundTexture, i),
                                  menuTexture(*vis, m.acceptTexture, i),
                                  menuTexture(*vis, m.cancelTexture, i),
                                  menuTexture(*vis, m.sketchTexture, i));
    placeMenu(*vis, menu);
    menu->hide();
}
// Random placement: rand() products are formed in integers before the division. New primitives
// are on layer 0 and are dropped onto the canvas under them.
namespace {

struct Placement {
    double angle, x, y;
};

Placement randomPlacement(const TabletopVis& vis)
{
    Placement p{};
    p.angle = tavlor::rand15() * 360 / 32767.0;
    p.y = static_cast<long>(tavlor::rand15()) * vis.getScreenHeight() / 32767.0;
    p.x = static_cast<long>(tavlor::rand15()) * (vis.getScreenWidth() - 1) / 32767.0;
    return p;
}

// The create brush makes what the demo shows (tool-state cell (4, 2): 0 strokes, 1 tiles,
// 2 points); the canvas starts with the builder's parameter there, which names no kind.
void setCreatedKind(RuduzozovorERUVisGL& vis, float kind)
{
    if (CanvasCompositeGL* canvas = vis.findFirst<CanvasCompositeGL>())
        canvas->setToolState(4, 2, kind);
}

} // namespace

void RuduzozovorERUBuilderGL::buildStrokes(double width, double height, unsigned int number,
                                           bool)
{
    RuduzozovorERUVisGL* vis = getApplicationVis();
    if (!vis) return;
    setCreatedKind(*vis, 0.0f);
    for (unsigned int i = 0; i < number; ++i) {
        const Placement p = randomPlacement(*vis);
        // One of the nine variants of the first stroke group (texture rows 1 to 9).
        const unsigned int variant = std::min(8L, static_cast<long>(tavlor::rand15()) * 9 / 32767);
        vis->createStroke(p.x, p.y, width, height, p.angle, 0, 1 + variant);
    }
}

void RuduzozovorERUBuilderGL::buildTiles(double width, double height, unsigned int number,
                                         bool dodging)
{
    RuduzozovorERUVisGL* vis = getApplicationVis();
    if (!vis) return;
    setCreatedKind(*vis, 1.0f);
    for (unsigned int i = 0; i < number; ++i) {
        const Placement p = randomPlacement(*vis);
        vis->createTile(p.x, p.y, width, height, p.angle, 0, dodging);
    }
}

void RuduzozovorERUBuilderGL::buildPoints(double width, double height, unsigned int number)
{
    RuduzozovorERUVisGL* vis = getApplicationVis();
    if (!vis) return;
    setCreatedKind(*vis, 2.0f);
    for (unsigned int i = 0; i < number; ++i) {
        const Placement p = randomPlacement(*vis);
        vis->createPoint(p.x, p.y, width, height, p.angle, 0);
    }
}
void RuduzozovorERUBuilderGL::buildGeoStrokes(double width, double height, unsigned int number,
                                              int segments)
{
    RuduzozovorERUVisGL* vis = getApplicationVis();
    if (!vis) return;
    // The shapes drawn on the stroke build canvas, in turn; while none has been drawn, one
    // gentle S-curve of the configured size.
    std::vector<std::vector<Vector2d>> shapes;
    if (const auto* build = vis->findFirst<GeoStrokeBuildCanvasCompositeGL>())
        shapes = build->getBoard().shapes(width, height);
    if (shapes.empty()) {
        constexpr int kPoints = 32;
        std::vector<Vector2d> shape;
        for (int i = 0; i <= kPoints; ++i) {
            const double t = static_cast<double>(i) / kPoints;
            shape.emplace_back((t - 0.5) * width, 0.25 * height * std::sin(2.0 * M_PI * t));
        }
        shapes.push_back(std::move(shape));
    }
    for (unsigned int i = 0; i < number; ++i) {
        const Placement p = randomPlacement(*vis);
        vis->createGeoStroke(p.x, p.y, width, height, p.angle, 0, shapes[i % shapes.size()],
                             segments);
    }
}
namespace {

// The palette's texture keys and where the configuration entry names their files.
struct PaletteTexture {
    const char* key;
    VeskConfiguration::TextList VeskConfiguration::Palette::*list;
};

#define NPR_PALETTE_TEXTURE(name) {"texture_" #name, &VeskConfiguration::Palette::texture_##name}
const PaletteTexture kPaletteTextures[] = {
    NPR_PALETTE_TEXTURE(stroke_mode), NPR_PALETTE_TEXTURE(stroke_mode_active),
    NPR_PALETTE_TEXTURE(save), NPR_PALETTE_TEXTURE(save_active),
    NPR_PALETTE_TEXTURE(empty_canvas), NPR_PALETTE_TEXTURE(empty_canvas_active),
    NPR_PALETTE_TEXTURE(layer), NPR_PALETTE_TEXTURE(layer_active),
    NPR_PALETTE_TEXTURE(diameter), NPR_PALETTE_TEXTURE(diameter_active),
    NPR_PALETTE_TEXTURE(create_erase), NPR_PALETTE_TEXTURE(create_erase_active),
    NPR_PALETTE_TEXTURE(size), NPR_PALETTE_TEXTURE(size_active),
    NPR_PALETTE_TEXTURE(orientation), NPR_PALETTE_TEXTURE(orientation_active),
    NPR_PALETTE_TEXTURE(gravitate), NPR_PALETTE_TEXTURE(gravitate_active),
    NPR_PALETTE_TEXTURE(orbit), NPR_PALETTE_TEXTURE(orbit_active),
    NPR_PALETTE_TEXTURE(random), NPR_PALETTE_TEXTURE(random_active),
    NPR_PALETTE_TEXTURE(attraction), NPR_PALETTE_TEXTURE(attraction_active),
    NPR_PALETTE_TEXTURE(repulsion), NPR_PALETTE_TEXTURE(repulsion_active),
    NPR_PALETTE_TEXTURE(direction_follow), NPR_PALETTE_TEXTURE(direction_follow_active),
    NPR_PALETTE_TEXTURE(direction_random), NPR_PALETTE_TEXTURE(direction_random_active),
    NPR_PALETTE_TEXTURE(clear_mixing_area), NPR_PALETTE_TEXTURE(clear_mixing_area_active),
    NPR_PALETTE_TEXTURE(orientation_style), NPR_PALETTE_TEXTURE(direction_style),
    NPR_PALETTE_TEXTURE(mode), NPR_PALETTE_TEXTURE(empty_canvas_apply),
    NPR_PALETTE_TEXTURE(primitive_type), NPR_PALETTE_TEXTURE(primitive_stroke),
    NPR_PALETTE_TEXTURE(primitive_tile), NPR_PALETTE_TEXTURE(primitive_point),
    NPR_PALETTE_TEXTURE(palette),
};
#undef NPR_PALETTE_TEXTURE

template <class L, class T> T valueOr(const L& list, std::size_t i, T fallback)
{
    return i < list.size() ? static_cast<T>(list[i]) : fallback;
}

} // namespace

// Each entry builds `number` palettes (at most the canvas's three), side by side to the left
// of the configured centre, kept on the screen. The entry's brush settings go to the canvas:
// default_toolbrush_size is the brushes' diameter, toolbrush_type_id the brush kind of cell
// (0, 0) until the first touch.
void RuduzozovorERUBuilderGL::buildPalette(const VeskConfiguration& configuration, std::size_t entry)
{
    RuduzozovorERUVisGL* vis = getApplicationVis();
    if (!vis) return;
    const VeskConfiguration::Palette& c = configuration.palette;
    const double w = std::max(60.0, valueOr(c.width, entry, 500.0));
    const double h = std::max(60.0, valueOr(c.height, entry, 500.0));
    const double sw = vis->getScreenWidth(), sh = vis->getScreenHeight();
    const auto within = [](double v, double half, double side) {
        return std::clamp(v, std::min(half, side * 0.5), std::max(side - half, side * 0.5));
    };
    const uint32_t xpos = valueOr(c.xpos, entry, 300u);
    const uint32_t ypos = valueOr(c.ypos, entry, 300u);
    const double x = xpos == 4294967295u ? sw - 0.5 * w : double(xpos);
    const double y = ypos == 4294967295u ? 0.5 * h : double(ypos);
    const float opacity = static_cast<float>(valueOr(c.opacity, entry, 1.0));
    const unsigned int number = std::min(valueOr(c.number, entry, 1u), CanvasCompositeGL::kMaxPalettes);

    std::vector<std::pair<const char*, unsigned int>> loaded;
    if (number > 0) {
        for (const PaletteTexture& t : kPaletteTextures) {
            const auto& files = c.*(t.list);
            if (entry >= files.size() || files[entry].empty()) continue;
            loaded.emplace_back(t.key, vis->loadTexture(files[entry].c_str(), false));
        }
    }
    for (unsigned int k = 0; k < number; ++k) {
        PaletteLeafGL* palette = vis->createPalette(within(x - k * w, 0.5 * w, sw),
                                                    within(y, 0.5 * h, sh), w, h, opacity);
        if (!palette) continue;
        for (const auto& t : loaded) palette->setTexture(t.first, t.second);
    }

    if (CanvasCompositeGL* canvas = vis->findFirst<CanvasCompositeGL>()) {
        canvas->setToolState(0, 0, static_cast<float>(valueOr(c.toolbrush_type_id, entry, 1.0)));
        const float diameter = static_cast<float>(valueOr(c.default_toolbrush_size, entry, 200.0));
        for (ToolBrushLeafGL* brush : canvas->getToolBrushes()) brush->setDiameter(diameter, false);
    }
}
