#include "canvas/StrokeSimulation.h"

#include <algorithm>
#include <cmath>

namespace strokesim {

bool presetForPosture(int posture, Parameters* out)
{
    static const Parameters presets[4] = {
        {0.05, 0.88, 2.0, 15.0, 5.0, 0.5, 0.065},
        {0.05, 0.8, 2.0, 30.0, 10.0, 1.0, 0.065},
        {0.05, 0.8, 2.0, 50.0, 20.0, 2.0, 0.065},
        {0.05, 0.8, 2.0, 80.0, 35.0, 2.0, 0.065},
    };
    if (posture < 0 || posture > 3) return false;
    *out = presets[posture];
    return true;
}

float taperFactor(float t, float duration)
{
    if (!(duration > 0.0f) || t > duration) return 0.0f;
    return 1.0f - std::sin(t * 1.5707963267949f / duration);
}

float strokeWidth(float w, float upper, float lower)
{
    return std::max(lower, upper - 700.0f * std::min(w, upper));
}

} // namespace strokesim

namespace {

// Into [lo, hi]; a range inverted by a panel narrower than the brush keeps the centre.
float clampInto(float v, float lo, float hi)
{
    if (lo > hi) return 0.5f * (lo + hi);
    return std::min(hi, std::max(lo, v));
}

} // namespace

void StrokeSimulation::setPanel(double x, double y, double width, double height)
{
    panelX = static_cast<float>(x);
    panelY = static_cast<float>(y);
    // A panel of no size would divide by zero below.
    panelWidth = std::max(1.0f, static_cast<float>(width));
    panelHeight = std::max(1.0f, static_cast<float>(height));
}

void StrokeSimulation::setRangeLimits(double lower, double upper)
{
    params.lowerWidth = lower;
    params.upperWidth = upper;
}

void StrokeSimulation::start(double x, double y)
{
    bx = previousBx = static_cast<float>(x);
    by = previousBy = static_cast<float>(y);
    px = bx / panelWidth;
    py = by / panelHeight;
    vx = vy = 0.0f;
    t = 0.0f;
}

StrokeSimulation::Step StrokeSimulation::step(double fingerX, double fingerY)
{
    const float p1 = static_cast<float>(params.spring);
    const float p2 = static_cast<float>(params.drag);
    const float p3 = static_cast<float>(params.widthScale);
    const float p4 = static_cast<float>(params.upperWidth);
    const float p5 = static_cast<float>(params.lowerWidth);
    // A massless brush would fly off; treat it as unit mass.
    const float p6 = params.mass > 0.0 ? static_cast<float>(params.mass) : 1.0f;
    const float p7 = static_cast<float>(params.startSpeed);
    const float hw = 0.5f * panelWidth;
    const float hh = 0.5f * panelHeight;

    const float fx = clampInto(static_cast<float>(fingerX), panelX - hw, panelX + hw);
    const float fy = clampInto(static_cast<float>(fingerY), panelY - hh, panelY + hh);
    const float ax = -p1 * (bx - fx) / panelWidth;
    const float ay = -p1 * (by - fy) / panelHeight;
    vx = (vx + ax / p6) * p2;
    vy = (vy + ay / p6) * p2;
    px += vx;
    py += vy;
    bx = clampInto(panelWidth * px, panelX - hw + p4 / 2.0f, panelX + hw - p4 / 2.0f);
    by = clampInto(panelHeight * py, panelY - hh + p4 / 2.0f, panelY + hh - p4 / 2.0f);

    t += 1.0f;
    const float f = taperFactor();
    const float s = std::sqrt(vx * vx + vy * vy);
    const float w = p3 * (f * p7 + (1.0f - f) * s);

    Step out;
    out.width = strokesim::strokeWidth(w, p4, p5);
    out.point = ControlPoint2D(previousBx, previousBy, out.width * 0.5, 1.0);
    previousBx = bx;
    previousBy = by;
    return out;
}
