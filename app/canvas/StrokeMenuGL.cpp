#include "canvas/StrokeMenuGL.h"

#include "canvas/CanvasCompositeGL.h"
#include "canvas/MenuDrawingGL.h"
#include "canvas/MenuRegions.h"
#include "core/BufferTemplate.h"
#include "vis/TabletopVisGL.h"

#include <algorithm>

StrokeMenuGL::StrokeMenuGL(TabletopVisGL* vis, double width, double height, double x, double y,
                           double z, bool rnt, bool tossing, float opacity_,
                           unsigned int background, unsigned int accept_, unsigned int cancel,
                           unsigned int sketch)
    : MenuGL(vis, width, height, x, y, z, rnt, tossing, opacity_, "StrokeMenuGL"),
      backgroundTexture(background), acceptTexture(accept_), cancelTexture(cancel),
      sketchTexture(sketch)
{
    if (vis) {
        // Row 0 is the brush icon; group g holds rows 9g + 1 to 9g + 9.
        const unsigned int rows = vis->getNumberOfImageTextures();
        groups = rows > 0 ? std::min(kMaxGroups, static_cast<int>((rows - 1) / 9)) : 0;
        for (int g = 0; g < groups; ++g)
            sampleTextures[g] = vis->getImageTextureIDAt(static_cast<unsigned int>(9 * g + 1));
    }
    StrokeMenuGL::createActiveBuffers();
}

void StrokeMenuGL::createActiveBuffers()
{
    const unsigned int bw = getBufferWidth(), bh = getBufferHeight();
    const std::vector<menus::RegionRect> samples =
        menus::strokeSampleRects(getWidth(), getHeight(), groups);
    std::vector<menus::RegionRect> regions = menus::strokeMenuRegions(getWidth(), getHeight());
    for (menus::RegionRect r : samples) {
        r.id = menus::kStrokeSamples;
        regions.push_back(r);
    }
    auto* map = new BufferTemplate<unsigned int>(1, 0);
    map->setSizeAndAllocateMemory(bw, bh);
    menus::fillRegionMap(*map, menus::kStrokePanel, regions, getHalfWidth(), getHalfHeight(),
                         getXScale(), getYScale());
    setActiveBuffer(LOCAL_HIT_BUFFER, map);
    auto* sampleMap = new BufferTemplate<unsigned int>(1, 0);
    sampleMap->setSizeAndAllocateMemory(bw, bh);
    menus::fillRegionMap(*sampleMap, kNoSample, samples, getHalfWidth(), getHalfHeight(),
                         getXScale(), getYScale());
    setActiveBuffer(STROKE_SAMPLE_BUFFER, sampleMap);
}

unsigned int StrokeMenuGL::regionAt(double x, double y) const
{
    return mapValueAt(LOCAL_HIT_BUFFER, menus::kStrokePanel, x, y);
}

unsigned int StrokeMenuGL::sampleAt(double x, double y) const
{
    return mapValueAt(STROKE_SAMPLE_BUFFER, kNoSample, x, y);
}

unsigned int StrokeMenuGL::hitLocalBuffer(unsigned int x, unsigned int y, unsigned int,
                                          unsigned int)
{
    if (touched) return 1;
    touched = true;
    selectedRegion = regionAt(x, y);
    switch (selectedRegion) {
    case menus::kStrokePoints: selection = 0; break;
    case menus::kStrokeTiles: selection = 1; break;
    case menus::kStrokeSamples: {
        const unsigned int group = sampleAt(x, y);
        if (group != kNoSample) selection = static_cast<int>(group) + 2;
        break;
    }
    case menus::kStrokeAccept: accept(); break;
    case menus::kStrokeCancel:
        selection = -1;
        hide();
        break;
    default: break;
    }
    return 1;
}

unsigned int StrokeMenuGL::releaseLocalBuffer(unsigned int, unsigned int, unsigned int,
                                              unsigned int)
{
    touched = false;
    return 1;
}

void StrokeMenuGL::accept()
{
    if (CanvasCompositeGL* c = canvas())
        for (const menus::CellWrite& w : menus::strokeMenuAccept(selection))
            c->setToolState(w.column, w.row, w.value);
    selection = -1;
    hide();
}

void StrokeMenuGL::specificRender()
{
    const double w = getWidth(), h = getHeight();
    const float a = opacity;
    glPushMatrix();
    doCommonTransformations();
    menus::drawTexturedQuad(backgroundTexture, 0.0, 0.0, getHalfWidth(), getHalfHeight(), 1.0f,
                            1.0f, 1.0f, a);
    auto centre = [](const menus::RegionRect& r, double* cx, double* cy, double* hw, double* hh) {
        *cx = (r.x0 + r.x1) * 0.5;
        *cy = (r.y0 + r.y1) * 0.5;
        *hw = (r.x1 - r.x0) * 0.5;
        *hh = (r.y1 - r.y0) * 0.5;
    };
    double cx = 0, cy = 0, hw = 0, hh = 0;
    const double textScale = 0.7 * std::min(w, h) / 300.0;
    for (const menus::RegionRect& r : menus::strokeMenuRegions(w, h)) {
        centre(r, &cx, &cy, &hw, &hh);
        const bool selected = (r.id == menus::kStrokePoints && selection == 0) ||
                              (r.id == menus::kStrokeTiles && selection == 1);
        switch (r.id) {
        case menus::kStrokeAccept:
            menus::drawTexturedQuad(acceptTexture, cx, cy, hh, hh, 1.0f, 1.0f, 1.0f, a);
            break;
        case menus::kStrokeCancel:
            menus::drawTexturedQuad(cancelTexture, cx, cy, hh, hh, 1.0f, 1.0f, 1.0f, a);
            break;
        default:
            if (isFontFound())
                menus::drawCentredText(font, r.id == menus::kStrokePoints ? "Points" : "Tiles",
                                       cx, cy, textScale, 0.0, 0.1f, 0.1f, 0.1f, a);
            menus::drawFrame(cx, cy, hw, hh, selected ? 0.9f : 0.45f, selected ? 0.45f : 0.45f,
                             selected ? 0.1f : 0.45f, a, selected ? 4.0f : 1.5f);
            break;
        }
    }
    // The stroke samples over a faint sketch of the paper.
    menus::drawTexturedQuad(sketchTexture, 0.0, 0.0, 0.46 * w, 0.22 * h, 1.0f, 1.0f, 1.0f,
                            0.15f * a);
    const std::vector<menus::RegionRect> samples = menus::strokeSampleRects(w, h, groups);
    for (const menus::RegionRect& r : samples) {
        centre(r, &cx, &cy, &hw, &hh);
        const double side = std::min(hw, hh);
        menus::drawTexturedQuad(sampleTextures[r.id], cx, cy, side, side, 0.15f, 0.15f, 0.2f, a);
        const bool selected = selection == static_cast<int>(r.id) + 2;
        menus::drawFrame(cx, cy, hw, hh, selected ? 0.9f : 0.6f, selected ? 0.45f : 0.6f,
                         selected ? 0.1f : 0.6f, a, selected ? 4.0f : 1.0f);
    }
    glPopMatrix();
}
