#include "canvas/MenuRegions.h"

#include <algorithm>
#include <cmath>

namespace menus {

std::vector<RegionRect> contextMenuRegions(double arm, double half)
{
    return {
        {0, -half, arm - half, half, arm + half},
        {1, arm - half, -half, arm + half, half},
        {2, -half, -arm - half, half, -arm + half},
        {3, -arm - half, -half, -arm + half, half},
        {4, -half, -half, half, half},
    };
}

IconPlace cornerMenuIcon(double width, double height, double outerSize, double innerSize)
{
    const double s = std::min(width, height) / (2.0 * outerSize);
    return {0.0, 0.22 * outerSize * s, innerSize * s};
}

std::vector<RegionRect> cornerMenuRegions(double width, double height, double outerSize,
                                          double innerSize)
{
    const IconPlace icon = cornerMenuIcon(width, height, outerSize, innerSize);
    const double s = std::min(width, height) / (2.0 * outerSize);
    return {
        {kCornerIcon, icon.x - icon.half, icon.y - icon.half, icon.x + icon.half,
         icon.y + icon.half},
        {kCornerPrimitive, -0.88 * outerSize * s, -0.92 * outerSize * s, 0.88 * outerSize * s,
         icon.y - icon.half - 4.0 * s},
    };
}

std::vector<RegionRect> strokeMenuRegions(double width, double height)
{
    const double w = width, h = height;
    return {
        {kStrokePoints, -0.44 * w, 0.26 * h, -0.02 * w, 0.44 * h},
        {kStrokeTiles, 0.02 * w, 0.26 * h, 0.44 * w, 0.44 * h},
        {kStrokeAccept, -0.46 * w, -0.46 * h, -0.02 * w, -0.27 * h},
        {kStrokeCancel, 0.02 * w, -0.46 * h, 0.46 * w, -0.27 * h},
    };
}

std::vector<RegionRect> strokeSampleRects(double width, double height, int groups)
{
    std::vector<RegionRect> rects;
    if (groups <= 0) return rects;
    const int rows = (groups + kSampleColumns - 1) / kSampleColumns;
    const double left = -0.46 * width, top = 0.22 * height;
    const double cellW = 0.92 * width / kSampleColumns;
    const double cellH = 0.44 * height / rows;
    // A gap of 4 % of a cell between neighbours keeps the samples apart on screen.
    const double gapW = 0.04 * cellW, gapH = 0.04 * cellH;
    for (int g = 0; g < groups; ++g) {
        const int col = g % kSampleColumns, row = g / kSampleColumns;
        const double x0 = left + col * cellW, y1 = top - row * cellH;
        rects.push_back({static_cast<unsigned int>(g), x0 + gapW, y1 - cellH + gapH,
                         x0 + cellW - gapW, y1 - gapH});
    }
    return rects;
}

namespace {

// Offset from the centre to a cell index (may be negative or beyond the map).
long cellOf(double offset, double half, double scale)
{
    return static_cast<long>(std::floor((offset + half) / scale + 1.5));
}

} // namespace

void fillRegionMap(BufferTemplate<unsigned int>& map, unsigned int none,
                   const std::vector<RegionRect>& rects, double halfWidth, double halfHeight,
                   double xScale, double yScale)
{
    map.fillEntireBuffer(none);
    const long w = map.getWidth(), h = map.getHeight();
    for (const RegionRect& r : rects) {
        const long cx0 = std::max(0L, cellOf(r.x0, halfWidth, xScale));
        const long cx1 = std::min(w - 1, cellOf(r.x1, halfWidth, xScale));
        const long cy0 = std::max(0L, cellOf(r.y0, halfHeight, yScale));
        const long cy1 = std::min(h - 1, cellOf(r.y1, halfHeight, yScale));
        for (long y = cy0; y <= cy1; ++y)
            for (long x = cx0; x <= cx1; ++x)
                map.setValue(static_cast<unsigned int>(x), static_cast<unsigned int>(y), r.id);
    }
}

unsigned int regionAt(const BufferTemplate<unsigned int>& map, unsigned int none, double lx,
                      double ly, double xScale, double yScale)
{
    if (lx <= -1.0 || ly <= -1.0 || !(xScale > 0.0) || !(yScale > 0.0)) return none;
    const double cx = lx / xScale + 1.5, cy = ly / yScale + 1.5;
    if (!(cx < map.getWidth()) || !(cy < map.getHeight())) return none;
    return map.getValue(static_cast<unsigned int>(cx), static_cast<unsigned int>(cy));
}

Point placeOnScreen(double x, double y, double halfWidth, double halfHeight, double screenWidth,
                    double screenHeight)
{
    auto clampAxis = [](double v, double half, double screen) {
        if (2.0 * half >= screen) return screen * 0.5;
        return std::clamp(v, half, screen - half);
    };
    return {clampAxis(x, halfWidth, screenWidth), clampAxis(y, halfHeight, screenHeight)};
}

std::vector<CellWrite> strokeMenuAccept(int selection)
{
    if (selection == 0) return {{4, 2, 2.0f}};
    if (selection == 1) return {{4, 2, 1.0f}};
    if (selection >= 2) return {{4, 2, 0.0f}, {4, 4, static_cast<float>(selection - 2)}};
    return {};
}

ToolChoice chooseTool(int combo, int mode)
{
    if (combo == 6) {
        const bool createOrErase = mode == 0 || mode == 1;
        return {6, createOrErase ? 2 : mode, true};
    }
    if (combo == 7 || (combo >= 3 && combo <= 5)) return {0, mode, false};
    return {combo, mode, false};
}

int iconOfMode(int mode)
{
    switch (mode) {
    case 0: return 2;
    case 1: return 3;
    case 3: return 4;
    case 4: return 7;
    case 5: return 10;
    default: return 1;
    }
}

int nextModifyMode(int mode)
{
    if (mode == 3) return 4;
    if (mode == 4) return 5;
    return 3;
}

} // namespace menus
