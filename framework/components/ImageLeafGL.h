#pragma once
// ImageLeafGL: a picture on the table. It draws a texture from the controller's texture table
// through eight display lists shared by every image (built by the first image, deleted with the
// last), can be moved, rotated, tossed and resized from its bottom-right corner, and can be
// written on: a tap on the pen (top-left) or eraser (top-right) corner turns on drawing mode, in
// which touches draw into a transparent 512 × 512 overlay until one second passes without a
// stroke step. The RNT circle shows for the configured time after the image was selected.
//
// Coordinates and context: as BasicImageGL. Ownership: the picture's texture belongs to the
// controller's table; the overlay texture and its off-screen target belong to the image.

#include "BasicImageGL.h"

class ImageLeafGL : public BasicImageGL {
public:
    // rotation in degrees; texture: a GL texture name (normally a row of the texture table).
    ImageLeafGL(TabletopVisGL* vis, double width, double height, bool rnt, bool tossing, double x,
                double y, double z, double rotation, unsigned int texture);
    ~ImageLeafGL() override;
    // The shared lists and the overlay are the image's own: no copies.
    ImageLeafGL(const ImageLeafGL&) = delete;
    ImageLeafGL& operator=(const ImageLeafGL&) = delete;

    // (x, y): the pointer in table pixels. Returns 7 or 8 while drawing, else the touch's code.
    unsigned int hitLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                unsigned int boundHeight) override;
    // Ends the touch; on the pen or eraser corner it turns drawing mode on.
    unsigned int releaseLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                    unsigned int boundHeight) override;

    void setTextureID(unsigned int texture) { textureID = texture; }
    unsigned int getTextureID() const { return textureID; }
    unsigned int getOverlayTexture() const { return overlayTexture; }
    void setLastSelectedTicks(unsigned long ticks) { lastSelectedTicks = ticks; }

    // Live images and the shared lists (0 while none exists), for inspection.
    static unsigned int getNumberOfImages() { return _numberOfImages; }
    static unsigned int getSharedDisplayList(unsigned int index);

protected:
    // Builds the shared lists when this is the first live image; counts the image.
    void initialize() override;
    void initializePassiveBuffers() override;
    void specificRender() override;
    void specificRenderForPicking() override;
    // Codes 3, 4, 7 and 8 (BasicImageGL::fillImageHitMask).
    void renderInActiveBuffers() override;

    // Creates the transparent overlay and its target (first release on a pen or eraser corner).
    void createOverlay();

    unsigned int textureID = 0;
    unsigned int overlayTexture = 0;
    PBuffer overlayTarget;

    static unsigned int _numberOfImages;
    static unsigned int _sharedLists[kListCount];
};
