#pragma once
// CurrentField: the per-pixel fields of an interface current (absolute size, orientation and flow
// direction), free of any graphics code. The fields are painted as a list of quads between the
// outlines of a ContainerOutline, in the container's buffer cells (BufferMapping).
//
// Threads: fillTwoThreads runs the first half of the list on a worker thread and the second half
// on the caller. The segment list and the grids' previous contents are only read while the
// threads run; each thread writes its own private grids, which are merged afterwards in list
// order, so the result equals a one-thread fill and no cell is written by two threads.

#include "ContainerOutline.h"

#include <cstddef>
#include <vector>

class CurrentField {
public:
    // One quad of a field: four corners in buffer cells, one value per corner (two components for
    // orientation and direction, the first component only for absolute size).
    struct Segment {
        enum Target { AbsoluteSize = 0, Orientation = 1, Direction = 2 };
        Target target = AbsoluteSize;
        int x[4] = {};
        int y[4] = {};
        float value[4][2] = {};
        bool twoComponents() const { return target != AbsoluteSize; }
    };

    // The three grids a fill writes: absolute size (1 channel), orientation and direction
    // (2 channels each), all of the container's buffer size.
    struct Grids {
        BufferTemplate<float>* absoluteSize = nullptr;
        BufferTemplate<float>* orientation = nullptr;
        BufferTemplate<float>* direction = nullptr;
    };

    // Child size on a belt: this fraction of the ring's width.
    static constexpr double kSizeOfRingWidth = 0.7;
    // Size everywhere else.
    static constexpr float kDefaultSize = 100.0f;

    // Walks the outline's spline points with their predecessors. Per point: absolute size and
    // orientation on the ring, orientation on both border strips, and, when speed is not 0, the
    // flow along the ring (two quads, outer and inner half) and the walls' push back into the
    // ring on both strips: 8 segments a point, 4 when speed is 0. Needs an inside boundary.
    // Normals are taken pointing inwards; the flow runs along them turned by a right angle.
    static std::vector<Segment> buildSegments(const ContainerOutline& outline,
                                              const BufferMapping& mapping, double speed,
                                              double wallStrength);

    // Direction (0, 0), orientation (0, 0) and absolute size kDefaultSize everywhere.
    static void fillDefaults(const Grids& grids);

    // Paints segments [begin, end) in order: scalar segments with the bilinear quad fill,
    // two-component ones with the linear-length fill.
    static void fillSegments(const std::vector<Segment>& segments, std::size_t begin,
                             std::size_t end, const Grids& grids);

    // The same result as fillSegments over the whole list, on two threads (see above).
    static void fillTwoThreads(const std::vector<Segment>& segments, const Grids& grids);

    // The belt speed a swipe (dx, dy) sets, given the orientation (ox, oy) where it began:
    // 0 below 10 pixels, else length (at most 160) / 20, negative when
    // −ox·dy + oy·dx is not positive.
    static double swipeSpeed(double dx, double dy, double ox, double oy);
};
