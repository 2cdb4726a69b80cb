#include "AnnotationStroke.h"

#include <algorithm>
#include <cmath>

namespace {

// 512 / 0.96 and half of the frame in overlay pixels.
constexpr double kOverlayScale = AnnotationStroke::kOverlaySize / 0.96;
constexpr double kFrameOffset = (kOverlayScale - AnnotationStroke::kOverlaySize) / 2.0;

AnnotationPoint plus(const AnnotationPoint& a, const AnnotationPoint& d, double f)
{
    return {static_cast<float>(a.x + f * d.x), static_cast<float>(a.y + f * d.y),
            static_cast<float>(a.z + f * d.z)};
}

AnnotationPoint minus(const AnnotationPoint& a, const AnnotationPoint& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

} // namespace

AnnotationPoint AnnotationStroke::toOverlay(double localX, double localY, double width,
                                            double height)
{
    const double u = localX * kOverlayScale / width - kFrameOffset;
    const double v = kOverlaySize - (localY * kOverlayScale / height - kFrameOffset);
    return {static_cast<float>(std::clamp(u, 0.0, kOverlaySize)),
            static_cast<float>(std::clamp(v, 0.0, kOverlaySize)), 0.0f};
}

unsigned int AnnotationStroke::segmentSteps(const AnnotationPoint& a, const AnnotationPoint& b)
{
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    return std::max(1u, static_cast<unsigned int>(std::lround(length / 3.0)));
}

AnnotationStroke::Step AnnotationStroke::add(const AnnotationPoint& p)
{
    if (firstPoint) {
        points[0] = p;
        firstPoint = false;
        started = true;
        return Step::FirstPoint;
    }
    if (started) {
        // P3 = C, P1 = P0 + 0.15 (C − P0).
        points[3] = p;
        points[1] = plus(points[0], minus(p, points[0]), kTangent);
        started = false;
        return Step::Remembered;
    }
    // The tangent at P3 is 0.15 × (N − P0).
    const AnnotationPoint tangent = minus(p, points[0]);
    points[2] = plus(points[3], tangent, -kTangent);
    nextInner = plus(points[3], tangent, kTangent);
    std::copy(points, points + 4, drawn);
    points[0] = points[3];
    points[1] = nextInner;
    points[3] = p;
    return Step::Segment;
}
