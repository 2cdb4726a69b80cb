#pragma once
// SizeLensLeafGL: a lens that magnifies its parent's relative-size field (tag 3) under it, so the
// parent's children grow there. Its own drop-off buffer (tag 19, one float per lens cell) holds the
// factor of each cell: the EPS magnification minus the offset 0.1 where that exceeds 1.0, else 1.0;
// each covered parent cell is multiplied by the factor (overlapping size lenses multiply).
// It never rotates. Coordinates and ownership as LensGL.

#include "components/LensGL.h"

class SizeLensLeafGL : public LensGL {
public:
    // toss: tossing on or off; strength: focus radius share of the lens radius (clamped to
    // 0 … 1); magnification: the factor in the focus; visible 0: drawn nowhere.
    SizeLensLeafGL(TabletopVisGL* vis, double width, double height, bool toss, double x, double y,
                   double z, double spare, const char* dropoffName, double strength,
                   double magnification, unsigned int visible);

    BUFFERTAG getFieldTag() const override { return RELATIVE_SIZE_BUFFER; }
    double getMagnificationOffset() const { return magnificationOffset; }

protected:
    void initializePassiveBuffers() override;
    void createActiveBuffers() override;
    // Fills the drop-off buffer with the lens's factors.
    void renderInActiveBuffers() override;
    void contribute(BufferTemplate<float>& field, const lensfield::CellRect& clip) override;

    double magnificationOffset = 0.1;
};
