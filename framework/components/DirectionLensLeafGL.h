#pragma once
// DirectionLensLeafGL: a lens that adds a vector field to its parent's direction field (tag 5)
// under it, so the parent's children stream: away from the lens centre (direction mode 1) or
// towards it (any other mode), fastest half-way to the rim. Its output buffer (tag 20, two floats
// per lens cell) holds the vectors (LensField.h, fillDirectionVectors). It never rotates and keeps
// its place in the render order. Coordinates and ownership as LensGL.

#include "components/LensGL.h"

class DirectionLensLeafGL : public LensGL {
public:
    DirectionLensLeafGL(TabletopVisGL* vis, double width, double height, bool toss, double x,
                        double y, double z, double spare, const char* dropoffName,
                        double strength, double magnification, unsigned int directionMode,
                        unsigned int visible);

    BUFFERTAG getFieldTag() const override { return DIRECTION_BUFFER; }
    bool hasStaticRenderOrder() override { return true; }
    unsigned int getDirectionMode() const { return directionMode; }
    double getMagnificationOffset() const { return magnificationOffset; }

protected:
    void initializePassiveBuffers() override;
    void createActiveBuffers() override;
    void renderInActiveBuffers() override;
    void contribute(BufferTemplate<float>& field, const lensfield::CellRect& clip) override;

    unsigned int directionMode;
    double magnificationOffset = 0.1;
};
