#pragma once
// OrientationLensLeafGL: a lens that overwrites its parent's temporary-orientation field (tag 8)
// under it, so the parent's children turn: kind 0 ("orientation-up", and any unknown kind) writes
// the up vector over its square, kind 1 ("orientation-in") unit vectors towards its centre and
// kind 2 ("orientation-out") away from it over its ellipse. The up vector turns with the lens.
// It keeps its place in the render order and rewrites its field on every touch.
// Coordinates and ownership as LensGL.

#include "components/LensGL.h"

class OrientationLensLeafGL : public LensGL {
public:
    // (upX, upY) is normalised; (0, 0) stands for (0, 1).
    OrientationLensLeafGL(TabletopVisGL* vis, double width, double height, bool rnt, bool toss,
                          double x, double y, double z, double spare, double upX, double upY,
                          unsigned int visible, unsigned int orientationKind);

    BUFFERTAG getFieldTag() const override { return TEMPORARY_ORIENTATION_BUFFER; }
    bool hasStaticRenderOrder() override { return true; }
    unsigned int hitLocalBuffer(unsigned int x, unsigned int y, unsigned int w,
                                unsigned int h) override;
    // Square for the up kind, elliptical for in and out.
    void renderBasicGL() override;
    void renderPickingGL() override;

    double getUpX() const { return upX; }
    double getUpY() const { return upY; }
    unsigned int getOrientationKind() const { return orientationKind; }

    // --- added virtual operations ---
    virtual void renderBasicSquareGL();
    virtual void renderBasicRoundGL();
    virtual void renderPickingSquaredGL();
    virtual void renderPickingRoundGL();
    virtual void renderIntoBuffersSquare(BufferTemplate<float>& field,
                                         const lensfield::CellRect& clip);
    // towards: vectors to the centre (in), else away from it (out).
    virtual void renderIntoBuffersRounded(BufferTemplate<float>& field,
                                          const lensfield::CellRect& clip, bool towards);

protected:
    void initializePassiveBuffers() override;
    void contribute(BufferTemplate<float>& field, const lensfield::CellRect& clip) override;
    // The bounding box of the turned lens.
    void footprint(unsigned int* w, unsigned int* h) const override;
    bool isSquare() const
    {
        return orientationKind != lensfield::ORIENT_IN && orientationKind != lensfield::ORIENT_OUT;
    }
    // Arrows showing which way the lens turns what lies under it.
    void drawArrows();

    double upX;
    double upY;
    unsigned int orientationKind;
};
