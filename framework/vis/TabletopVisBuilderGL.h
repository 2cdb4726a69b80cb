#pragma once
// TabletopVisBuilderGL: builds a TabletopVisGL and places stock components through its factories,
// choosing random places, angles and texture rows with tavlor::rand15() (never seeded here).
// A random x is r·(screen width − 1)/32767, a random y likewise, an angle r·360/32767 degrees.
// Needs the OpenGL context current from buildVis on.

#include "TabletopVisBuilder.h"

#include <functional>

class BoundedContainerGL;
class TabletopVisGL;

class TabletopVisBuilderGL : public TabletopVisBuilder {
public:
    void buildVis(unsigned int users, unsigned int bufferWidth, unsigned int bufferHeight,
                  unsigned int screenWidth, unsigned int screenHeight) override;
    // Patterns of 45 characters or more are ignored.
    void buildTextures(unsigned int count, const char* pattern) override;
    void buildImages(double width, double height, unsigned int count) override;
    void buildDocument(double size, double x, double y, const char* file) override;
    void buildBoundedContainer(double width, double height, double x, double y, unsigned int count,
                               unsigned int controlPoints, unsigned int splineLevel,
                               bool hasInsideBoundary, bool rounded, unsigned int imagesEach,
                               double imageWidth, double imageHeight) override;
    void buildStorageBin(double width, double height, double x, double y, unsigned int count,
                         unsigned int controlPoints, unsigned int splineLevel,
                         bool hasInsideBoundary, bool rounded, unsigned int imagesEach,
                         double imageWidth, double imageHeight) override;
    void buildInterfaceCurrent(double width, double height, double x, double y, unsigned int count,
                               unsigned int controlPoints, unsigned int splineLevel, bool belt,
                               bool rounded, unsigned int imagesEach, double imageWidth,
                               double imageHeight) override;
    void buildDestroyer(double width, double height, double x, double y,
                        const char* textureFile) override;
    void buildStorageBinCreator(double width, double height, double createdWidth,
                                double createdHeight, double x, double y,
                                unsigned int controlPoints, unsigned int splineLevel, bool rounded,
                                const char* textureFile) override;
    void buildStickyBoardCreator(double width, double height, double createdWidth,
                                 double createdHeight, double x, double y,
                                 const char* textureFile) override;
    void buildPoolInterfaceCurrentCreator(double width, double height, double createdWidth,
                                          double createdHeight, double x, double y,
                                          unsigned int controlPoints, unsigned int splineLevel,
                                          bool rounded, const char* textureFile) override;
    void buildBeltInterfaceCurrentCreator(double width, double height, double createdWidth,
                                          double createdHeight, double x, double y,
                                          unsigned int controlPoints, unsigned int splineLevel,
                                          bool rounded, const char* textureFile) override;
    void buildStickyNoteCreator(double width, double height, double createdWidth,
                                double createdHeight, double x, double y,
                                const char* textureFile) override;
    void buildLensCreator(double width, double height, double createdWidth, double createdHeight,
                          double x, double y, const char* dropoff, const char* textureFile,
                          double a, double b, unsigned int n, double upX, double upY,
                          const char* kind) override;
    void buildControlSurface(double a, double b) override;
    void buildSizeLens(unsigned int count, double width, double height, double x, double y,
                       const char* dropoff, double a, double b, unsigned int n) override;
    void buildDirectionLens(unsigned int count, double width, double height, double x, double y,
                            const char* dropoff, double a, double b, unsigned int n,
                            unsigned int m) override;
    void buildFont(const char* file, int size) override;
    void buildHockeySurface(double a, double b, double c) override;
    void buildHockeyPaddles(unsigned int count, double size) override;
    void buildHockeyPucks(unsigned int count, double size, double speed, double d) override;
    void buildImage(const char* file, double width, double height, double x, double y,
                    double rotation) override;
    void buildLabel(const char* text, const char* font, double textHeight, double x, double y,
                    const float* textColor, const float* backgroundColor,
                    double padding) override;
    void buildStickyNote(double width, double height, double x, double y,
                         double rotation) override;
    void buildStickyBoard(double width, double height, double x, double y) override;

protected:
    double randomX() const;
    double randomY() const;
    static double randomAngle();
    // A texture row drawn at random; r = 32767 would name one past the last row: the last row
    // is used then. Without rows: the failed-load texture name.
    unsigned int randomTexture() const;
    // A place on the screen: a coordinate beyond it is drawn at random.
    void placeOnScreen(double x, double y, double* px, double* py) const;
    // count containers made by create(x, y), each at (x, y) taken through placeOnScreen (so a
    // coordinate beyond the screen is drawn anew for every container). Each then holds
    // imagesEach images at random places of its body, with textures of random table rows, each
    // lower in depth than the one before; they are children at once (not dropped).
    void placeContainers(unsigned int count, double x, double y, unsigned int imagesEach,
                         double imageWidth, double imageHeight,
                         const std::function<BoundedContainerGL*(double, double)>& create);
};
