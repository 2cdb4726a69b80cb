#pragma once
// TabletopVisBuilder: creates the controller and fills the scene with stock components on behalf
// of a director, one build operation per configured item. The operations here only report that
// the graphics-specific builder is missing (TabletopVisBuilderGL implements them).
//
// Coordinates: table pixels, origin at the bottom left; sizes in pixels, angles in degrees.
// Ownership: the builder owns its controller. Copies share it; the last builder holding it
// destroys it.

#include <memory>

class TabletopVis;

class TabletopVisBuilder {
public:
    TabletopVisBuilder() = default;
    TabletopVisBuilder(const TabletopVisBuilder&) = default;
    TabletopVisBuilder& operator=(const TabletopVisBuilder&) = default;
    virtual ~TabletopVisBuilder() = default;

    virtual void buildVis(unsigned int users, unsigned int bufferWidth, unsigned int bufferHeight,
                          unsigned int screenWidth, unsigned int screenHeight);
    // pattern: a printf pattern with one integer conversion, e.g. "images/picture%d.png".
    virtual void buildTextures(unsigned int count, const char* pattern);
    virtual void buildImages(double width, double height, unsigned int count);
    virtual void buildDocument(double size, double x, double y, const char* file);
    virtual void buildBoundedContainer(double width, double height, double x, double y,
                                       unsigned int count, unsigned int controlPoints,
                                       unsigned int splineLevel, bool hasInsideBoundary,
                                       bool rounded, unsigned int imagesEach, double imageWidth,
                                       double imageHeight);
    virtual void buildStorageBin(double width, double height, double x, double y,
                                 unsigned int count, unsigned int controlPoints,
                                 unsigned int splineLevel, bool hasInsideBoundary, bool rounded,
                                 unsigned int imagesEach, double imageWidth, double imageHeight);
    virtual void buildInterfaceCurrent(double width, double height, double x, double y,
                                       unsigned int count, unsigned int controlPoints,
                                       unsigned int splineLevel, bool belt, bool rounded,
                                       unsigned int imagesEach, double imageWidth,
                                       double imageHeight);
    virtual void buildDestroyer(double width, double height, double x, double y,
                                const char* textureFile);
    virtual void buildStorageBinCreator(double width, double height, double createdWidth,
                                        double createdHeight, double x, double y,
                                        unsigned int controlPoints, unsigned int splineLevel,
                                        bool rounded, const char* textureFile);
    virtual void buildStickyBoardCreator(double width, double height, double createdWidth,
                                         double createdHeight, double x, double y,
                                         const char* textureFile);
    virtual void buildPoolInterfaceCurrentCreator(double width, double height,
                                                  double createdWidth, double createdHeight,
                                                  double x, double y, unsigned int controlPoints,
                                                  unsigned int splineLevel, bool rounded,
                                                  const char* textureFile);
    virtual void buildBeltInterfaceCurrentCreator(double width, double height,
                                                  double createdWidth, double createdHeight,
                                                  double x, double y, unsigned int controlPoints,
                                                  unsigned int splineLevel, bool rounded,
                                                  const char* textureFile);
    virtual void buildStickyNoteCreator(double width, double height, double createdWidth,
                                        double createdHeight, double x, double y,
                                        const char* textureFile);
    virtual void buildLensCreator(double width, double height, double createdWidth,
                                  double createdHeight, double x, double y, const char* dropoff,
                                  const char* textureFile, double a, double b, unsigned int n,
                                  double upX, double upY, const char* kind);
    virtual void buildControlSurface(double a, double b);
    // x or y of -1.0: a random place, the same for all.
    virtual void buildSizeLens(unsigned int count, double width, double height, double x,
                               double y, const char* dropoff, double a, double b, unsigned int n);
    virtual void buildDirectionLens(unsigned int count, double width, double height, double x,
                                    double y, const char* dropoff, double a, double b,
                                    unsigned int n, unsigned int m);
    virtual void buildFont(const char* file, int size);
    virtual void buildHockeySurface(double a, double b, double c);
    virtual void buildHockeyPaddles(unsigned int count, double size);
    virtual void buildHockeyPucks(unsigned int count, double size, double speed, double d);
    // Single items, after the operations above. A coordinate beyond the screen (e.g. the
    // configuration's -1, read as 4294967295) is drawn at random, as for documents.
    // file: the picture, loaded as a texture without a table row.
    virtual void buildImage(const char* file, double width, double height, double x, double y,
                            double rotation);
    // font: a font key ("arial32"); textColor RGB, backgroundColor RGBA, 0 … 1.
    virtual void buildLabel(const char* text, const char* font, double textHeight, double x,
                            double y, const float* textColor, const float* backgroundColor,
                            double padding);
    virtual void buildStickyNote(double width, double height, double x, double y,
                                 double rotation);
    virtual void buildStickyBoard(double width, double height, double x, double y);

    // Takes ownership of v and releases the controller held before.
    void setVis(TabletopVis* v);
    TabletopVis* getVis() const { return vis.get(); }
    unsigned int getWidth() const { return width; }
    unsigned int getHeight() const { return height; }

protected:
    std::shared_ptr<TabletopVis> vis;
    unsigned int width = 0;
    unsigned int height = 0;
};
