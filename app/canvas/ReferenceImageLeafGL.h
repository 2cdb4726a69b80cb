#pragma once
// ReferenceImageLeafGL: a picture that colours the painting. It shows its image faintly under
// the primitives and copies the image's pixels, scaled to its footprint, into the canvas colour
// buffer (tag 10), so the primitives lying over it take the picture's colours.
//
// Coordinates: position and size in table pixels like every item; the copy walks the canvas
// buffer cells its (possibly turned) rectangle covers. Touches: only its frame (the outer 2 %
// on each side) is picked, so painting over the picture reaches the canvas; the frame moves
// the image (code 3) and its bottom-right corner resizes it (code 4).
// Loading: DevIL through the framework's image loader, converted to RGB, scaled with iluScale.
// The copy is made again only when the footprint or the canvas buffer changed, so the colour
// brush can paint over the picture.
// Ownership: the controller owns the item; the item owns its texture.

#include "components/AbstractImageGL.h"

#include <string>
#include <vector>

class CanvasCompositeGL;

class ReferenceImageLeafGL : public AbstractImageGL {
public:
    // (x, y): centre, width x height: size, in table pixels; file: the picture.
    ReferenceImageLeafGL(TabletopVisGL* vis, double x, double y, double width, double height,
                         const std::string& file);
    ~ReferenceImageLeafGL() override;

    unsigned int hitLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                unsigned int boundHeight) override;
    unsigned int releaseLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                    unsigned int boundHeight) override;
    // Copies the picture into the canvas colour buffer when the footprint changed, and clears
    // its own buffer; a removal request queues the item for deletion instead.
    void renderIntoBuffers() override;

    // The file's pixels scaled to width x height, RGB, bottom row first, into rgb. False (rgb
    // empty) when the file cannot be loaded; *reason says why.
    static bool loadPixels(const std::string& file, unsigned int width, unsigned int height,
                           std::vector<unsigned char>& rgb, std::string* reason = nullptr);

    bool isLoaded() const { return loaded; }
    const std::string& getFileName() const { return fileName; }
    // The item leaves the table at its next buffer pass (the main window's second load action).
    void setRemoveRequest(bool on) { removeRequested = on; }
    bool isRemoveRequested() const { return removeRequested; }
    // Copies the picture into the colour buffer over the footprint now; the cells written.
    unsigned int copyIntoColorBuffer();
    // Picture opacity over the canvas.
    static constexpr float kOpacity = 0.35f;

protected:
    void initialize() override;
    void specificRender() override;
    void specificRenderForPicking() override;
    void createActiveBuffers() override;
    void renderInActiveBuffers() override;
    // The canvas colour buffer (tag 10).
    void initializePassiveBuffers() override;

private:
    CanvasCompositeGL* canvas() const;

    std::string fileName;
    bool loaded = false;
    bool removeRequested = false;
    bool removalQueued = false;
    unsigned int ownTexture = 0;
    // The footprint and colour buffer of the last copy.
    double copiedState[5] = {0, 0, 0, 0, -1};
    const void* copiedInto = nullptr;
    std::vector<unsigned char> pixels;
    unsigned int pixelWidth = 0;
    unsigned int pixelHeight = 0;
};
