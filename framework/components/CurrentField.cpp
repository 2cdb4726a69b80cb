#include "CurrentField.h"

#include <cmath>
#include <limits>
#include <thread>

namespace {

using Points = std::vector<Spline::SplinePoint>;
using Segment = CurrentField::Segment;

BufferTemplate<float>* targetOf(const CurrentField::Grids& g, Segment::Target t)
{
    switch (t) {
    case Segment::AbsoluteSize: return g.absoluteSize;
    case Segment::Orientation: return g.orientation;
    case Segment::Direction: return g.direction;
    }
    return nullptr;
}

// An empty grid of the same shape, every element NaN: cells still NaN after a fill were not
// written by it (the fills write finite values only).
BufferTemplate<float>* privateCopyOf(const BufferTemplate<float>* source)
{
    if (!source) return nullptr;
    auto* copy = new BufferTemplate<float>(source->getChannelNumber(), source->getID());
    copy->setSizeAndAllocateMemory(source->getWidth(), source->getHeight());
    copy->fillEntireBuffer(std::numeric_limits<float>::quiet_NaN());
    return copy;
}

// Elements written by the later fill win over those of the earlier one, which win over target.
void mergeInto(BufferTemplate<float>* target, const BufferTemplate<float>* earlier,
               const BufferTemplate<float>* later)
{
    if (!target) return;
    const std::size_t count = static_cast<std::size_t>(target->getWidth()) *
                              target->getHeight() * target->getChannelNumber();
    float* out = target->getBufferArray();
    const float* a = earlier->getBufferArray();
    const float* b = later->getBufferArray();
    for (std::size_t i = 0; i < count; ++i) {
        if (!std::isnan(b[i]))
            out[i] = b[i];
        else if (!std::isnan(a[i]))
            out[i] = a[i];
    }
}

} // namespace

std::vector<Segment> CurrentField::buildSegments(const ContainerOutline& outline,
                                                 const BufferMapping& m, double speed,
                                                 double wallStrength)
{
    std::vector<Segment> segments;
    if (!outline.hasInsideBoundary()) return segments;
    const Points& out = *outline.outside().splinePoints();
    const Points& in = *outline.inside().splinePoints();
    const Points& outBorder = *outline.outsideBorder().splinePoints();
    const Points& inBorder = *outline.insideBorder().splinePoints();
    const Points& outNormals = *outline.outside().splinePointNormalVectors();
    const Points& inNormals = *outline.inside().splinePointNormalVectors();
    const std::size_t n = out.size();
    if (n == 0 || in.size() != n || outBorder.size() != n || inBorder.size() != n ||
        outNormals.size() != n || inNormals.size() != n)
        return segments;

    // Each outline's own turning sense decides where its normals point.
    const double outSign = ContainerOutline::inwardSignOf(outline.outside());
    const double inwardIn = ContainerOutline::inwardSignOf(outline.inside());

    struct Corner {
        int x, y;
    };
    auto cell = [&](const Spline::SplinePoint& p) { return Corner{m.column(p.x), m.row(p.y)}; };
    auto add = [&](Segment::Target target, Corner a, Corner b, Corner c, Corner d,
                   const float (&v)[4][2]) {
        Segment s;
        s.target = target;
        const Corner corners[4] = {a, b, c, d};
        for (int k = 0; k < 4; ++k) {
            s.x[k] = corners[k].x;
            s.y[k] = corners[k].y;
            s.value[k][0] = v[k][0];
            s.value[k][1] = v[k][1];
        }
        segments.push_back(s);
    };

    segments.reserve(n * (speed != 0.0 ? 8 : 4));
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = (i + n - 1) % n;
        const Corner o0 = cell(out[j]), o1 = cell(out[i]);
        const Corner i0 = cell(in[j]), i1 = cell(in[i]);
        const Corner ob0 = cell(outBorder[j]), ob1 = cell(outBorder[i]);
        const Corner ib0 = cell(inBorder[j]), ib1 = cell(inBorder[i]);

        // Inward unit normals of both outlines.
        const float no0[2] = {float(outNormals[j].x * outSign), float(outNormals[j].y * outSign)};
        const float no1[2] = {float(outNormals[i].x * outSign), float(outNormals[i].y * outSign)};
        const float ni0[2] = {float(inNormals[j].x * inwardIn), float(inNormals[j].y * inwardIn)};
        const float ni1[2] = {float(inNormals[i].x * inwardIn), float(inNormals[i].y * inwardIn)};

        // Children fit the belt: 0.7 of the ring's width in cells at each end.
        const float w0 = float(kSizeOfRingWidth * std::hypot(double(o0.x - i0.x), double(o0.y - i0.y)));
        const float w1 = float(kSizeOfRingWidth * std::hypot(double(o1.x - i1.x), double(o1.y - i1.y)));
        add(Segment::AbsoluteSize, o0, o1, i1, i0, {{w0, 0}, {w1, 0}, {w1, 0}, {w0, 0}});

        add(Segment::Orientation, o0, o1, i1, i0,
            {{no0[0], no0[1]}, {no1[0], no1[1]}, {ni1[0], ni1[1]}, {ni0[0], ni0[1]}});
        add(Segment::Orientation, o0, o1, ob1, ob0,
            {{no0[0], no0[1]}, {no1[0], no1[1]}, {no1[0], no1[1]}, {no0[0], no0[1]}});
        add(Segment::Orientation, i0, i1, ib1, ib0,
            {{ni0[0], ni0[1]}, {ni1[0], ni1[1]}, {ni1[0], ni1[1]}, {ni0[0], ni0[1]}});

        if (speed == 0.0) continue;
        // Flow along the outline: its inward normal turned by a right angle, times the speed.
        const float s = float(speed);
        const float t0[2] = {-no0[1] * s, no0[0] * s};
        const float t1[2] = {-no1[1] * s, no1[0] * s};
        const Corner m0{(o0.x + i0.x) / 2, (o0.y + i0.y) / 2};
        const Corner m1{(o1.x + i1.x) / 2, (o1.y + i1.y) / 2};
        const float flow[4][2] = {{t0[0], t0[1]}, {t1[0], t1[1]}, {t1[0], t1[1]}, {t0[0], t0[1]}};
        add(Segment::Direction, o0, o1, m1, m0, flow);
        add(Segment::Direction, m0, m1, i1, i0, flow);

        // Walls: the outer strip pushes inwards, the inner strip away from the hole.
        const float ws = float(wallStrength);
        add(Segment::Direction, o0, o1, ob1, ob0,
            {{no0[0] * ws, no0[1] * ws}, {no1[0] * ws, no1[1] * ws},
             {no1[0] * ws, no1[1] * ws}, {no0[0] * ws, no0[1] * ws}});
        add(Segment::Direction, i0, i1, ib1, ib0,
            {{-ni0[0] * ws, -ni0[1] * ws}, {-ni1[0] * ws, -ni1[1] * ws},
             {-ni1[0] * ws, -ni1[1] * ws}, {-ni0[0] * ws, -ni0[1] * ws}});
    }
    return segments;
}

void CurrentField::fillDefaults(const Grids& g)
{
    float zero[2] = {0.0f, 0.0f};
    if (g.direction) g.direction->fillEntireBufferWith2DValue(zero);
    if (g.orientation) g.orientation->fillEntireBufferWith2DValue(zero);
    if (g.absoluteSize) g.absoluteSize->fillEntireBuffer(kDefaultSize);
}

void CurrentField::fillSegments(const std::vector<Segment>& segments, std::size_t begin,
                                std::size_t end, const Grids& grids)
{
    for (std::size_t k = begin; k < end && k < segments.size(); ++k) {
        const Segment& s = segments[k];
        BufferTemplate<float>* target = targetOf(grids, s.target);
        if (!target) continue;
        if (s.twoComponents()) {
            float v[4][2];
            for (int c = 0; c < 4; ++c) {
                v[c][0] = s.value[c][0];
                v[c][1] = s.value[c][1];
            }
            target->interpolateQuadWithNDValuesWithLinearLength(s.x[0], s.y[0], v[0], s.x[1],
                                                                s.y[1], v[1], s.x[2], s.y[2], v[2],
                                                                s.x[3], s.y[3], v[3], 2);
        } else {
            target->interpolateQuadWithValues(s.x[0], s.y[0], s.value[0][0], s.x[1], s.y[1],
                                              s.value[1][0], s.x[2], s.y[2], s.value[2][0],
                                              s.x[3], s.y[3], s.value[3][0]);
        }
    }
}

void CurrentField::fillTwoThreads(const std::vector<Segment>& segments, const Grids& grids)
{
    const std::size_t half = segments.size() / 2;
    const Grids first{privateCopyOf(grids.absoluteSize), privateCopyOf(grids.orientation),
                      privateCopyOf(grids.direction)};
    const Grids second{privateCopyOf(grids.absoluteSize), privateCopyOf(grids.orientation),
                       privateCopyOf(grids.direction)};

    std::thread worker(fillSegments, std::cref(segments), std::size_t{0}, half, first);
    fillSegments(segments, half, segments.size(), second);
    worker.join();

    mergeInto(grids.absoluteSize, first.absoluteSize, second.absoluteSize);
    mergeInto(grids.orientation, first.orientation, second.orientation);
    mergeInto(grids.direction, first.direction, second.direction);
    for (const Grids* g : {&first, &second})
        for (BufferTemplate<float>* b : {g->absoluteSize, g->orientation, g->direction})
            delete b;
}

double CurrentField::swipeSpeed(double dx, double dy, double ox, double oy)
{
    double length = std::hypot(dx, dy);
    if (length < 10.0) return 0.0; // a tap stops the belt
    if (length > 160.0) length = 160.0;
    const double q = -ox * dy + oy * dx;
    return q <= 0.0 ? -length / 20.0 : length / 20.0;
}
