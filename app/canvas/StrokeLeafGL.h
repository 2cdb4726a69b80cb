#pragma once
// StrokeLeafGL: a textured brush stroke of the painted picture. The stroke alpha is its life, so
// erosion fades it; dimmed strokes use alpha 100 and strokes in a study target area 120. A stroke
// is hidden where the stroke visibility mask (tag 32) is false.
// Drawing: a textured quad (render) and a plain quad (picking) shared by every stroke of the same
// texture row, counted by reference and deleted with the last stroke of that row; compiled by
// the first stroke drawn. The update (the common one) runs without a context.

#include "PrimitiveLeafGL.h"

class StrokeLeafGL : public PrimitiveLeafGL {
public:
    // textureIndex: the row of the controller's texture table (texture, box and size); a row
    // outside the table gives an untextured stroke.
    StrokeLeafGL(TabletopVisGL* vis, double x, double y, double width, double height,
                 double rotation, int type, unsigned int textureIndex,
                 double baseSizeFactor = 1.0);
    ~StrokeLeafGL() override;

    unsigned int getTextureIndex() const { return textureIndex; }
    unsigned int getTextureId() const { return textureId; }
    // The alpha the stroke is drawn with (0 … 255) and whether the mask hides it.
    unsigned char currentAlpha();
    bool isMaskedOut();
    // Strokes sharing the lists of a texture row (0 when none).
    static int sharedListUsers(unsigned int textureIndex);

    // Drawn in the canvas's batch of its kind.
    VisComponent* getRenderBatchOwner() override { return batchOwner(); }

protected:
    void specificRender() override;
    void specificRenderForPicking() override;
    void initialize() override;

private:
    void callList(bool picking);

    unsigned int textureIndex;
    unsigned int textureId = 0;
    float texS0 = 0.0f, texS1 = 1.0f, texT0 = 0.0f, texT1 = 1.0f;
    unsigned int renderList = 0;
    unsigned int pickingList = 0;
    // The mask under the stroke, read again only when the mask or the stroke's cell changed.
    CellSample<bool, 1> visibilitySample;
};
