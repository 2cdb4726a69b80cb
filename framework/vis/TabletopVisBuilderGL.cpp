#include "TabletopVisBuilderGL.h"

#include "NamePattern.h"

#include "TabletopVisGL.h"
#include "components/BoundedContainerGL.h"
#include "components/ImageLeafGL.h"
#include "components/InterfaceCurrentCompositeGL.h"
#include "components/StorageBinCompositeGL.h"
#include "core/Random.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>

void TabletopVisBuilderGL::buildVis(unsigned int users, unsigned int bufferWidth,
                                    unsigned int bufferHeight, unsigned int screenWidth,
                                    unsigned int screenHeight)
{
    setVis(new TabletopVisGL(users, bufferWidth, bufferHeight, screenWidth, screenHeight));
}

double TabletopVisBuilderGL::randomX() const
{
    const unsigned long r = static_cast<unsigned long>(tavlor::rand15());
    const unsigned long w = vis->getScreenWidth();
    return static_cast<double>(r * (w - 1) / tavlor::kRandMax);
}

double TabletopVisBuilderGL::randomY() const
{
    const unsigned long r = static_cast<unsigned long>(tavlor::rand15());
    const unsigned long h = vis->getScreenHeight();
    return static_cast<double>(r * (h - 1) / tavlor::kRandMax);
}

double TabletopVisBuilderGL::randomAngle()
{
    return tavlor::rand15() * 360.0 / tavlor::kRandMax;
}

unsigned int TabletopVisBuilderGL::randomTexture() const
{
    const unsigned long n = vis->getNumberOfImageTextures();
    const unsigned long r = static_cast<unsigned long>(tavlor::rand15());
    if (n == 0) return TabletopVisGL::kTextureLoadFailed;
    unsigned long t = r * n / tavlor::kRandMax;
    if (t >= n) t = n - 1;
    return vis->getImageTextureIDAt(static_cast<unsigned int>(t));
}

void TabletopVisBuilderGL::placeContainers(
    unsigned int count, double x, double y, unsigned int imagesEach, double imageWidth,
    double imageHeight, const std::function<BoundedContainerGL*(double, double)>& create)
{
    for (unsigned int i = 0; i < count; ++i) {
        double px = 0.0;
        double py = 0.0;
        placeOnScreen(x, y, &px, &py);
        BoundedContainerGL* container = create(px, py);
        if (!container) continue;
        for (unsigned int k = 0; k < imagesEach; ++k) {
            const unsigned int texture = randomTexture();
            double ix = 0.0;
            double iy = 0.0;
            container->getRandomInsidePosition(&ix, &iy);
            ImageLeafGL* image =
                vis->createImage(imageWidth, imageHeight, true, true, ix, iy,
                                 1.0 - double(k) / imagesEach, randomAngle(), texture, false);
            if (image) container->addChild(image);
        }
    }
}

void TabletopVisBuilderGL::buildTextures(unsigned int count, const char* pattern)
{
    if (!vis || !pattern || std::strlen(pattern) >= 45) return;
    std::cout << "Loading " << count << " textures, please wait." << std::endl;
    // A pattern without exactly one integer conversion formats to nothing and loads nothing.
    for (unsigned int i = 1; i <= count; ++i) {
        const std::string name = formatIndexPattern(pattern, i);
        if (name.empty()) break;
        vis->loadTexture(name.c_str(), true);
    }
}

void TabletopVisBuilderGL::buildFont(const char* file, int size)
{
    if (vis) vis->loadFont(file, size);
}

void TabletopVisBuilderGL::buildImages(double width, double height, unsigned int count)
{
    if (!vis) return;
    for (unsigned int i = 0; i < count; ++i) {
        // Drawn in the order the arguments were evaluated originally: last to first.
        const unsigned int texture = randomTexture();
        const double angle = randomAngle();
        const double y = randomY();
        const double x = randomX();
        vis->createImage(width, height, true, true, x, y, 1.0 - double(i) / count, angle, texture,
                         true);
    }
}

void TabletopVisBuilderGL::placeOnScreen(double x, double y, double* px, double* py) const
{
    *px = std::floor(x);
    *py = std::floor(y);
    if (*px > vis->getScreenWidth()) *px = randomX();
    if (*py > vis->getScreenHeight()) *py = randomY();
}

void TabletopVisBuilderGL::buildDocument(double size, double x, double y, const char* file)
{
    if (!vis) return;
    double px = 0.0;
    double py = 0.0;
    placeOnScreen(x, y, &px, &py);
    vis->createDocument(size, true, true, px, py, 0.0, randomAngle(), file, true);
}

void TabletopVisBuilderGL::buildBoundedContainer(double width, double height, double x, double y,
                                                 unsigned int count, unsigned int controlPoints,
                                                 unsigned int splineLevel, bool hasInsideBoundary,
                                                 bool rounded, unsigned int imagesEach,
                                                 double imageWidth, double imageHeight)
{
    if (!vis) return;
    placeContainers(count, x, y, imagesEach, imageWidth, imageHeight, [&](double px, double py) {
        return vis->createContainer(width, height, true, true, px, py, 0.0, controlPoints,
                                    splineLevel, hasInsideBoundary, rounded);
    });
}

void TabletopVisBuilderGL::buildStorageBin(double width, double height, double x, double y,
                                           unsigned int count, unsigned int controlPoints,
                                           unsigned int splineLevel, bool hasInsideBoundary,
                                           bool rounded, unsigned int imagesEach,
                                                 double imageWidth, double imageHeight)
{
    if (!vis) return;
    placeContainers(count, x, y, imagesEach, imageWidth, imageHeight, [&](double px, double py) {
        return vis->createStorageBin(width, height, true, true, px, py, 0.0, controlPoints,
                                     splineLevel, hasInsideBoundary, rounded);
    });
}

void TabletopVisBuilderGL::buildInterfaceCurrent(double width, double height, double x, double y,
                                                 unsigned int count, unsigned int controlPoints,
                                                 unsigned int splineLevel, bool belt,
                                                 bool rounded, unsigned int imagesEach,
                                                 double imageWidth, double imageHeight)
{
    if (!vis) return;
    placeContainers(count, x, y, imagesEach, imageWidth, imageHeight, [&](double px, double py) {
        return vis->createInterfaceCurrent(width, height, true, true, px, py, 0.0, controlPoints,
                                           splineLevel, belt, rounded);
    });
}

void TabletopVisBuilderGL::buildDestroyer(double width, double height, double x, double y,
                                          const char* textureFile)
{
    if (!vis) return;
    vis->createDestroyer(width, height, true, true, x, y, 0.0, vis->loadTexture(textureFile, false));
}

void TabletopVisBuilderGL::buildStorageBinCreator(double width, double height, double createdWidth,
                                                  double createdHeight, double x, double y,
                                                  unsigned int controlPoints,
                                                  unsigned int splineLevel, bool rounded,
                                                  const char* textureFile)
{
    if (!vis) return;
    vis->createStorageBinCreator(width, height, x, y, 0.0, createdWidth, createdHeight,
                                 controlPoints, splineLevel, rounded,
                                 vis->loadTexture(textureFile, false));
}

void TabletopVisBuilderGL::buildStickyBoardCreator(double width, double height,
                                                   double createdWidth, double createdHeight,
                                                   double x, double y, const char* textureFile)
{
    if (!vis) return;
    vis->createStickyBoardCreator(width, height, x, y, 0.0, createdWidth, createdHeight,
                                  vis->loadTexture(textureFile, false));
}

void TabletopVisBuilderGL::buildPoolInterfaceCurrentCreator(double width, double height,
                                                            double createdWidth,
                                                            double createdHeight, double x,
                                                            double y, unsigned int controlPoints,
                                                            unsigned int splineLevel, bool rounded,
                                                            const char* textureFile)
{
    if (!vis) return;
    vis->createPoolInterfaceCurrentCreator(width, height, x, y, 0.0, createdWidth, createdHeight,
                                           controlPoints, splineLevel, rounded,
                                           vis->loadTexture(textureFile, false));
}

void TabletopVisBuilderGL::buildBeltInterfaceCurrentCreator(double width, double height,
                                                            double createdWidth,
                                                            double createdHeight, double x,
                                                            double y, unsigned int controlPoints,
                                                            unsigned int splineLevel, bool rounded,
                                                            const char* textureFile)
{
    if (!vis) return;
    vis->createBeltInterfaceCurrentCreator(width, height, x, y, 0.0, createdWidth, createdHeight,
                                           controlPoints, splineLevel, rounded,
                                           vis->loadTexture(textureFile, false));
}

void TabletopVisBuilderGL::buildStickyNoteCreator(double width, double height, double createdWidth,
                                                  double createdHeight, double x, double y,
                                                  const char* textureFile)
{
    if (!vis) return;
    vis->createStickyNoteCreator(width, height, x, y, 0.0, createdWidth, createdHeight,
                                 vis->loadTexture(textureFile, false));
}

void TabletopVisBuilderGL::buildLensCreator(double width, double height, double createdWidth,
                                            double createdHeight, double x, double y,
                                            const char* dropoff, const char* textureFile,
                                            double a, double b, unsigned int n, double upX,
                                            double upY, const char* kind)
{
    if (!vis) return;
    vis->createLensCreator(width, height, x, y, 0.0, createdWidth, createdHeight, dropoff,
                           vis->loadTexture(textureFile, false), a, b, n, upX, upY, kind);
}

void TabletopVisBuilderGL::buildControlSurface(double a, double b)
{
    if (!vis) return;
    const double sw = vis->getScreenWidth();
    const double sh = vis->getScreenHeight();
    vis->createControlSurface(sw, sh, sw * 0.5, sh * 0.5, 0.0, a, b);
}

void TabletopVisBuilderGL::buildSizeLens(unsigned int count, double width, double height, double x,
                                         double y, const char* dropoff, double a, double b,
                                         unsigned int n)
{
    if (!vis) return;
    if (x == -1.0) x = randomX();
    if (y == -1.0) y = randomY();
    for (unsigned int i = 0; i < count; ++i)
        vis->createSizeLens(width, height, true, x, y, 0.0, 0.0, dropoff, a, b, n);
}

void TabletopVisBuilderGL::buildDirectionLens(unsigned int count, double width, double height,
                                              double x, double y, const char* dropoff, double a,
                                              double b, unsigned int n, unsigned int m)
{
    if (!vis) return;
    if (x == -1.0) x = randomX();
    if (y == -1.0) y = randomY();
    for (unsigned int i = 0; i < count; ++i)
        vis->createDirectionLens(width, height, true, x, y, 0.0, 0.0, dropoff, a, b, n, m);
}

void TabletopVisBuilderGL::buildHockeySurface(double a, double b, double c)
{
    if (!vis) return;
    const double sw = vis->getScreenWidth();
    const double sh = vis->getScreenHeight();
    vis->createHockeySurface(sw, sh, sw * 0.5, sh * 0.5, 0.0, a, b, c);
}

void TabletopVisBuilderGL::buildHockeyPaddles(unsigned int count, double size)
{
    if (!vis) return;
    for (unsigned int i = 0; i < count; ++i) {
        const double y = randomY();
        const double x = randomX();
        vis->createHockeyPaddle(size, false, true, x, y, 1.0);
    }
}

void TabletopVisBuilderGL::buildHockeyPucks(unsigned int count, double size, double speed, double d)
{
    if (!vis) return;
    for (unsigned int i = 0; i < count; ++i) {
        const double y = randomY();
        const double x = randomX();
        const double second = 2.0 * tavlor::rand15() / tavlor::kRandMax - 1.0;
        const double first = 2.0 * tavlor::rand15() / tavlor::kRandMax - 1.0;
        const double factor = 0.5 + 0.5 * tavlor::rand15() / tavlor::kRandMax;
        vis->createHockeyPuck(size, speed * factor, d, first, second, false, false, x, y, 1.0);
    }
}

void TabletopVisBuilderGL::buildImage(const char* file, double width, double height, double x,
                                      double y, double rotation)
{
    if (!vis) return;
    const unsigned int texture = vis->loadTexture(file, false);
    if (texture == TabletopVisGL::kTextureLoadFailed) return; // the loader said why
    double px = 0.0;
    double py = 0.0;
    placeOnScreen(x, y, &px, &py);
    vis->createImage(width, height, true, true, px, py, 0.0, rotation, texture, true);
}

void TabletopVisBuilderGL::buildLabel(const char* text, const char* font, double textHeight,
                                      double x, double y, const float* textColor,
                                      const float* backgroundColor, double padding)
{
    auto* gl = dynamic_cast<TabletopVisGL*>(vis.get());
    if (!gl) return;
    double px = 0.0;
    double py = 0.0;
    placeOnScreen(x, y, &px, &py);
    gl->createLabel(textHeight, font, text, true, true, px, py, 0.0, textColor, backgroundColor,
                    padding);
}

void TabletopVisBuilderGL::buildStickyNote(double width, double height, double x, double y,
                                           double rotation)
{
    if (!vis) return;
    double px = 0.0;
    double py = 0.0;
    placeOnScreen(x, y, &px, &py);
    vis->createStickyNote(width, height, true, true, px, py, 0.0, rotation);
}

void TabletopVisBuilderGL::buildStickyBoard(double width, double height, double x, double y)
{
    if (!vis) return;
    double px = 0.0;
    double py = 0.0;
    placeOnScreen(x, y, &px, &py);
    vis->createStickyBoard(width, height, true, true, px, py, 0.0);
}
