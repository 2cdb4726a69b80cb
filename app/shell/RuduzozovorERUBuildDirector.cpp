#include "RuduzozovorERUBuildDirector.h"

#include "RuduzozovorERUBuilderGL.h"

#include "core/Random.h"
#include "vis/TabletopVis.h"

#include <algorithm>

namespace {

// Entry i of a list, or the fallback when a hand-built record left the list short.
template <class List, class T> T at(const List& list, std::size_t i, T fallback)
{
    return i < list.size() ? static_cast<T>(list[i]) : fallback;
}

const char* text(const VeskConfiguration::TextList& list, std::size_t i)
{
    return i < list.size() ? list[i].c_str() : "";
}

} // namespace

TabletopVis* RuduzozovorERUBuildDirector::buildMainDemo(RuduzozovorERUBuilderGL* builder)
{
    return buildScene(0, builder);
}

TabletopVis* RuduzozovorERUBuildDirector::buildDecorativeMosaicDemo(RuduzozovorERUBuilderGL* builder)
{
    return buildScene(1, builder);
}

TabletopVis* RuduzozovorERUBuildDirector::buildPointillismDemo(RuduzozovorERUBuilderGL* builder)
{
    return buildScene(2, builder);
}

TabletopVis* RuduzozovorERUBuildDirector::buildGeoStrokesDemo(RuduzozovorERUBuilderGL* builder)
{
    return buildScene(3, builder);
}

TabletopVis* RuduzozovorERUBuildDirector::buildDemo(unsigned int demoType,
                                                     RuduzozovorERUBuilderGL* builder,
                                                     bool withPrimitives)
{
    if (demoType > 3) return builder ? builder->getVis() : nullptr;
    return buildScene(demoType, builder, withPrimitives);
}

void RuduzozovorERUBuildDirector::buildFonts(RuduzozovorERUBuilderGL* builder)
{
    const auto& f = configuration->font;
    for (std::size_t i = 0; i < f.file.size(); ++i)
        builder->buildFont(text(f.file, i), at(f.size, i, 64));
}

void RuduzozovorERUBuildDirector::buildContainers(RuduzozovorERUBuilderGL* builder)
{
    // Containers, storage bins and interface currents named by the configuration share the
    // table with the painting; the bundled configuration names none.
    const VeskConfiguration& c = *configuration;
    const double imageWidth = c.images.width.empty() ? 100.0 : c.images.width.front();
    const double imageHeight = c.images.height.empty() ? 100.0 : c.images.height.front();
    using Build = void (RuduzozovorERUBuilderGL::*)(double, double, double, double, unsigned int,
                                                     unsigned int, unsigned int, bool, bool,
                                                     unsigned int, double, double);
    const struct {
        const VeskConfiguration::Containers* list;
        Build build;
    } kinds[] = {{&c.containers, &RuduzozovorERUBuilderGL::buildBoundedContainer},
                 {&c.storage_bins, &RuduzozovorERUBuilderGL::buildStorageBin},
                 {&c.interface_currents, &RuduzozovorERUBuilderGL::buildInterfaceCurrent}};
    for (const auto& kind : kinds) {
        const auto& l = *kind.list;
        for (std::size_t i = 0; i < l.number.size(); ++i) {
            if (l.number[i] == 0) continue;
            (builder->*kind.build)(at(l.width, i, 600.0), at(l.height, i, 600.0),
                                   at(l.xpos, i, 4294967295.0), at(l.ypos, i, 4294967295.0),
                                   l.number[i], at(l.numberofcontrolpoints, i, 8u),
                                   at(l.splinelevel, i, 4u), at(l.insideboundaryflag, i, false),
                                   at(l.rounded, i, true), at(l.with_images, i, 1u), imageWidth,
                                   imageHeight);
        }
    }
}

void RuduzozovorERUBuildDirector::buildHockey(RuduzozovorERUBuilderGL* builder)
{
    // The rink first: paddles and pucks are dropped onto whatever lies under them.
    const VeskConfiguration& c = *configuration;
    const auto& s = c.hockey_surface;
    for (std::size_t i = 0; i < s.border.size(); ++i)
        builder->buildHockeySurface(s.border[i], at(s.overflow, i, 50.0), at(s.friction, i, 0.99));
    const auto& paddles = c.hockey_paddles;
    for (std::size_t i = 0; i < paddles.number.size(); ++i)
        builder->buildHockeyPaddles(paddles.number[i], at(paddles.size, i, 250.0));
    const auto& pucks = c.hockey_pucks;
    for (std::size_t i = 0; i < pucks.number.size(); ++i)
        builder->buildHockeyPucks(pucks.number[i], at(pucks.size, i, 200.0),
                                  at(pucks.speed, i, 5.0), at(pucks.max_speed, i, 150.0));
}

void RuduzozovorERUBuildDirector::buildCreatorsAndDestroyers(RuduzozovorERUBuilderGL* builder)
{
    const VeskConfiguration& c = *configuration;
    TabletopVis* vis = builder->getVis();
    // A missing position (-1) or one beyond the screen is drawn at random inside it.
    const auto place = [](unsigned int value, unsigned int limit) {
        if (value <= limit) return static_cast<double>(value);
        return static_cast<double>(tavlor::rand15() * static_cast<long>(limit > 0 ? limit - 1 : 0) /
                                   tavlor::kRandMax);
    };
    const unsigned int sw = vis->getScreenWidth();
    const unsigned int sh = vis->getScreenHeight();
    const auto& d = c.destroyer;
    for (std::size_t i = 0; i < d.width.size(); ++i) {
        const double x = place(at(d.xpos, i, ~0u), sw);
        builder->buildDestroyer(d.width[i], at(d.height, i, 64u), x, place(at(d.ypos, i, ~0u), sh),
                                text(d.texture, i));
    }
    using Shape = void (RuduzozovorERUBuilderGL::*)(double, double, double, double, double,
                                                     double, unsigned int, unsigned int, bool,
                                                     const char*);
    const struct {
        const VeskConfiguration::ShapeCreator* list;
        Shape build;
    } shapes[] = {{&c.storage_bin_creator, &RuduzozovorERUBuilderGL::buildStorageBinCreator},
                  {&c.pool_current_creator, &RuduzozovorERUBuilderGL::buildPoolInterfaceCurrentCreator},
                  {&c.belt_current_creator, &RuduzozovorERUBuilderGL::buildBeltInterfaceCurrentCreator}};
    for (const auto& kind : shapes) {
        const auto& l = *kind.list;
        for (std::size_t i = 0; i < l.creator_width.size(); ++i) {
            const double x = place(at(l.xpos, i, ~0u), sw);
            (builder->*kind.build)(l.creator_width[i], at(l.creator_height, i, 64u),
                                   at(l.width, i, 600u), at(l.height, i, 600u), x,
                                   place(at(l.ypos, i, ~0u), sh), at(l.numberofcontrolpoints, i, 8u),
                                   at(l.splinelevel, i, 4u), at(l.rounded, i, true),
                                   text(l.texture, i));
        }
    }
    using Sticky = void (RuduzozovorERUBuilderGL::*)(double, double, double, double, double,
                                                      double, const char*);
    const struct {
        const VeskConfiguration::StickyCreator* list;
        Sticky build;
    } stickies[] = {{&c.sticky_board_creator, &RuduzozovorERUBuilderGL::buildStickyBoardCreator},
                    {&c.sticky_note_creator, &RuduzozovorERUBuilderGL::buildStickyNoteCreator}};
    for (const auto& kind : stickies) {
        const auto& l = *kind.list;
        for (std::size_t i = 0; i < l.creator_width.size(); ++i) {
            const double x = place(at(l.xpos, i, ~0u), sw);
            (builder->*kind.build)(l.creator_width[i], at(l.creator_height, i, 64u),
                                   at(l.width, i, 400u), at(l.height, i, 400u), x,
                                   place(at(l.ypos, i, ~0u), sh), text(l.texture, i));
        }
    }
    const auto& l = c.lens_creator;
    for (std::size_t i = 0; i < l.creator_width.size(); ++i) {
        const double x = place(at(l.xpos, i, ~0u), sw);
        builder->buildLensCreator(l.creator_width[i], at(l.creator_height, i, 64u),
                                  at(l.width, i, 200u), at(l.height, i, 200u), x,
                                  place(at(l.ypos, i, ~0u), sh), text(l.dropoff, i),
                                  text(l.texture, i), at(l.ratio, i, 0.9),
                                  at(l.magnification, i, 2.0), at(l.inorout, i, 1u),
                                  at(l.x_up, i, 0.0), at(l.y_up, i, 1.0), text(l.type, i));
    }
}

void RuduzozovorERUBuildDirector::buildItems(RuduzozovorERUBuilderGL* builder)
{
    // Boards first, so that the pictures, notes and labels lie on top of them.
    const VeskConfiguration& c = *configuration;
    const double missing = 4294967295.0;
    for (std::size_t i = 0; i < c.sticky_board.width.size(); ++i)
        builder->buildStickyBoard(at(c.sticky_board.width, i, 600.0),
                                  at(c.sticky_board.height, i, 600.0),
                                  at(c.sticky_board.xpos, i, missing),
                                  at(c.sticky_board.ypos, i, missing));
    for (std::size_t i = 0; i < c.image.file.size(); ++i)
        builder->buildImage(text(c.image.file, i), at(c.image.width, i, 200.0),
                            at(c.image.height, i, 200.0), at(c.image.xpos, i, missing),
                            at(c.image.ypos, i, missing), at(c.image.rotation, i, 0.0));
    for (std::size_t i = 0; i < c.sticky_note.width.size(); ++i)
        builder->buildStickyNote(at(c.sticky_note.width, i, 200.0),
                                 at(c.sticky_note.height, i, 200.0),
                                 at(c.sticky_note.xpos, i, missing),
                                 at(c.sticky_note.ypos, i, missing),
                                 at(c.sticky_note.rotation, i, 0.0));
    const auto& l = c.label;
    for (std::size_t i = 0; i < l.text.size(); ++i) {
        const float textColor[3] = {at(l.text_r, i, 0.0f), at(l.text_g, i, 0.0f),
                                    at(l.text_b, i, 0.0f)};
        const float background[4] = {at(l.background_r, i, 1.0f), at(l.background_g, i, 1.0f),
                                     at(l.background_b, i, 1.0f), at(l.background_a, i, 1.0f)};
        builder->buildLabel(text(l.text, i), text(l.font, i), at(l.height, i, 32.0),
                            at(l.xpos, i, missing), at(l.ypos, i, missing), textColor, background,
                            at(l.padding, i, 8.0));
    }
}

void RuduzozovorERUBuildDirector::buildLenses(RuduzozovorERUBuilderGL* builder)
{
    // The bundled configuration names none; each entry is dropped onto the surface under it.
    const auto& s = configuration->sizeLens;
    for (std::size_t i = 0; i < s.number.size(); ++i) {
        if (s.number[i] == 0) continue;
        builder->buildSizeLens(s.number[i], at(s.width, i, 200.0), at(s.height, i, 200.0),
                               at(s.xpos, i, -1.0), at(s.ypos, i, -1.0), text(s.dropoff, i),
                               at(s.ratio, i, 0.9), at(s.magnification, i, 2.0),
                               at(s.isvisible, i, 1u));
    }
    const auto& d = configuration->directionLens;
    for (std::size_t i = 0; i < d.number.size(); ++i) {
        if (d.number[i] == 0) continue;
        builder->buildDirectionLens(d.number[i], at(d.width, i, 200.0), at(d.height, i, 200.0),
                                    at(d.xpos, i, -1.0), at(d.ypos, i, -1.0), text(d.dropoff, i),
                                    at(d.ratio, i, 0.9), at(d.magnification, i, 2.0),
                                    at(d.inorout, i, 1u), at(d.isvisible, i, 1u));
    }
}

void RuduzozovorERUBuildDirector::buildDocuments(RuduzozovorERUBuilderGL* builder)
{
    // One document per `document` entry; a position of -1 (the default) is drawn at random.
    const auto& d = configuration->document;
    for (std::size_t i = 0; i < d.file.size(); ++i)
        builder->buildDocument(at(d.height, i, 64.0), at(d.xpos, i, 4294967295.0),
                               at(d.ypos, i, 4294967295.0), text(d.file, i));
}

TabletopVis* RuduzozovorERUBuildDirector::buildScene(unsigned int demoType,
                                                      RuduzozovorERUBuilderGL* builder,
                                                      bool withPrimitives)
{
    if (!builder || !builder->getVis()) return nullptr;
    if (!configuration) return builder->getVis();
    const VeskConfiguration& c = *configuration;

    for (std::size_t i = 0; i < c.textures.source.size(); ++i)
        builder->buildTextures(at(c.textures.number, i, 1u), text(c.textures.source, i));
    buildFonts(builder);
    buildContainers(builder);
    buildItems(builder);
    buildDocuments(builder);
    buildHockey(builder);
    buildCreatorsAndDestroyers(builder);

    const double shorterSide = std::min(c.mainwindow.width, c.mainwindow.height);
    builder->setDiameterScaleSpeed(static_cast<int>(c.toolglass.diameter_scale_speed));
    for (std::size_t i = 0; i < c.canvas_surface.border.size(); ++i)
        builder->buildCanvas(at(c.canvas_surface.border, i, 10.0),
                             at(c.canvas_surface.overflow, i, 50.0),
                             at(c.canvas_surface.number_of_toolbrushes, i, 1u),
                             at(c.canvas_surface.initial_stroke_width, i, 10.0),
                             text(c.canvas_surface.texture, i), shorterSide);
    for (std::size_t i = 0; i < c.geostrokes_build_canvas_surface.border.size(); ++i)
        builder->buildStrokeBuildCanvas(at(c.geostrokes_build_canvas_surface.border, i, 10.0),
                                        at(c.geostrokes_build_canvas_surface.overflow, i, 50.0));
    for (std::size_t i = 0; i < c.contextmenu.width.size(); ++i) builder->buildContextMenu(c, i);
    for (std::size_t i = 0; i < c.cornermenu.width.size(); ++i) builder->buildCornerMenu(c, i);
    for (std::size_t i = 0; i < c.strokemenu.width.size(); ++i) builder->buildStrokeMenu(c, i);

    // An empty canvas still builds its demo's primitive kinds, with none of them: building them
    // is what tells the create brush which kind to make.
    const auto count = [withPrimitives](unsigned int n) { return withPrimitives ? n : 0u; };
    switch (demoType) {
    case 0:
        for (std::size_t i = 0; i < c.strokes.number.size(); ++i)
            builder->buildStrokes(at(c.strokes.width, i, 0.0), at(c.strokes.height, i, 0.0),
                                  count(c.strokes.number[i]), at(c.strokes.do_bump_mapping, i, false));
        break;
    case 1:
        for (std::size_t i = 0; i < c.tiles.number.size(); ++i)
            builder->buildTiles(at(c.tiles.width, i, 0.0), at(c.tiles.height, i, 0.0),
                                count(c.tiles.number[i]), at(c.tiles.do_dodging, i, false));
        break;
    case 2:
        for (std::size_t i = 0; i < c.points.number.size(); ++i)
            builder->buildPoints(at(c.points.width, i, 0.0), at(c.points.height, i, 0.0),
                                 count(c.points.number[i]));
        break;
    default:
        for (std::size_t i = 0; i < c.geostrokes.number.size(); ++i)
            builder->buildGeoStrokes(at(c.geostrokes.width, i, 0.0),
                                     at(c.geostrokes.height, i, 0.0), count(c.geostrokes.number[i]),
                                     at(c.geostrokes.num_segments, i, 0));
        break;
    }

    for (std::size_t i = 0; i < c.palette.number.size(); ++i) builder->buildPalette(c, i);
    buildLenses(builder);
    if (demoType == 1) buildFonts(builder);
    return builder->getVis();
}
