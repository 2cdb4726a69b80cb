#pragma once
// TileLeafGL: a lit square tile of the mosaic picture. With dodging on, tiles of the current
// layer step one unit per frame away from the neighbours found under their footprint in the tile
// position buffer (tag 14), which every tile fills with its own position each frame.
// Drawing: one shared lit box list (normals tilted towards the corners), compiled by the first
// tile drawn; the update runs without a context.

#include "PrimitiveLeafGL.h"

class TileLeafGL : public PrimitiveLeafGL {
public:
    // (x, y): centre in table pixels; rotation in degrees; type: the layer.
    TileLeafGL(TabletopVisGL* vis, double x, double y, double width, double height,
               double rotation, int type, bool dodging, double baseSizeFactor = 1.0);

    bool isDodging() const { return dodging; }
    // Writes the tile's position (canvas buffer cells) into tag 14 at its own cell.
    void renderIntoBuffers() override;
    static void releaseSharedList();

    // Drawn in the canvas's batch of its kind.
    VisComponent* getRenderBatchOwner() override { return batchOwner(); }

protected:
    // Also dodges and takes the temporary colour.
    bool hasOwnUpdate() const override { return true; }
    void updateSelf(double dt) override;
    void specificRender() override;
    void specificRenderForPicking() override;
    void initialize() override;
    void initializePassiveBuffers() override;

private:
    void dodge();
    void drawBox();

    bool dodging;
};
