#pragma once
// ControlSurfaceCompositeGL: the table surface that carries the scene-wide control fields for its
// children: relative size 1.0, direction (0, 0), temporary orientation (0, 0), and a tossing
// friction that equals the controller's slow-down factor except near the edge, where it falls
// to 0 so that tossed components brake ever harder as they near the table's edge.
// Lenses may invalidate the first three fields; renderInActiveBuffers refills them lazily.

#include "SurfaceCompositeGL.h"

template <class T> class BufferTemplate;

class ControlSurfaceCompositeGL : public SurfaceCompositeGL {
public:
    // Width of the edge ramp in cells.
    static constexpr unsigned int kFrictionRampWidth = 150;

    ControlSurfaceCompositeGL(TabletopVisGL* vis, unsigned int width, unsigned int height,
                              double x, double y, double z, double borderSize,
                              double overflowSize);

    // The friction field: a cell at distance d (in cells) from the nearest edge holds
    // min(d / 150, factor) when d < 150, factor otherwise.
    static void fillFrictionRamp(BufferTemplate<float>& friction, double factor);

protected:
    void createActiveBuffers() override;
    // Refills an invalid constant field and marks it validating; a validating one becomes valid.
    void renderInActiveBuffers() override;
};
