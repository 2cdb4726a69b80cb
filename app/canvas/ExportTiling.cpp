#include "canvas/ExportTiling.h"

#include <algorithm>

namespace canvas {

ExportPlan planExport(int tableWidth, int tableHeight, int scale, int tileLimit, std::string* error)
{
    ExportPlan plan;
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return ExportPlan{};
    };
    if (tableWidth <= 0 || tableHeight <= 0) return fail("there is no picture to export");
    if (scale < 1 || scale > kMaxExportScale)
        return fail("scale " + std::to_string(scale) + " is out of range 1.." +
                    std::to_string(kMaxExportScale));
    const std::int64_t w = std::int64_t(tableWidth) * scale;
    const std::int64_t h = std::int64_t(tableHeight) * scale;
    if (w > kMaxExportSide || h > kMaxExportSide || w * h > kMaxExportPixels)
        return fail("an image of " + std::to_string(w) + " x " + std::to_string(h) +
                    " pixels is too large (at most " + std::to_string(kMaxExportSide) +
                    " a side and " + std::to_string(kMaxExportPixels) + " pixels)");
    plan.width = static_cast<int>(w);
    plan.height = static_cast<int>(h);
    plan.scale = scale;
    const int side = std::clamp(tileLimit, 1, kMaxExportTile);
    for (int y = 0; y < plan.height; y += side)
        for (int x = 0; x < plan.width; x += side)
            plan.tiles.push_back({x, y, std::min(side, plan.width - x), std::min(side, plan.height - y)});
    if (error) error->clear();
    return plan;
}

} // namespace canvas
