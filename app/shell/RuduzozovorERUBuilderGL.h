#pragma once
// The application's builder: builds an RuduzozovorERUVisGL and the painting scene's
// components (canvas, menus, primitives, palette) into it.
//
// Coordinates: table pixels, origin bottom left. The build operations for the painting
// components take the values of one configuration entry.

#include "vis/TabletopVisBuilderGL.h"

#include "config/VeskConfiguration.h"

#include <cstddef>

class RuduzozovorERUVisGL;

class RuduzozovorERUBuilderGL : public TabletopVisBuilderGL {
public:
    void buildVis(unsigned int users, unsigned int bufferWidth, unsigned int bufferHeight,
                  unsigned int screenWidth, unsigned int screenHeight) override;
    void buildTextures(unsigned int count, const char* pattern) override;

    // The painting scene. Each does nothing while the builder has no controller.
    virtual void buildCanvas(double border, double overflow, unsigned int numberOfToolbrushes,
                             double initialStrokeWidth, const char* texture, double shorterSide);
    virtual void buildStrokeBuildCanvas(double border, double overflow);
    virtual void buildContextMenu(const VeskConfiguration& configuration, std::size_t entry);
    virtual void buildCornerMenu(const VeskConfiguration& configuration, std::size_t entry);
    virtual void buildStrokeMenu(const VeskConfiguration& configuration, std::size_t entry);
    virtual void buildStrokes(double width, double height, unsigned int number,
                              bool bumpMapping);
    virtual void buildTiles(double width, double height, unsigned int number, bool dodging);
    virtual void buildPoints(double width, double height, unsigned int number);
    virtual void buildGeoStrokes(double width, double height, unsigned int number,
                                 int segments);
    virtual void buildPalette(const VeskConfiguration& configuration, std::size_t entry);

    RuduzozovorERUVisGL* getApplicationVis() const;
    // Handed to the canvases built afterwards (the tool-glass diameter speed).
    void setDiameterScaleSpeed(int speed) { diameterScaleSpeed = speed; }
    // Texture batches loaded by buildTextures.
    unsigned int getTextureBatches() const { return textureBatches; }

private:
    unsigned int textureBatches = 0;
    int diameterScaleSpeed = 100;
};
