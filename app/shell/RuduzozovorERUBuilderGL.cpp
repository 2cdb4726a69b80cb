#include "RuduzozovorERUBuilderGL.h"

#include "RuduzozovorERUVisGL.h"
#include "canvas/CanvasCompositeGL.h"
#include "vis/NamePattern.h"

#include <cstring>
#include <iostream>
#include <string>

void RuduzozovorERUBuilderGL::buildVis(unsigned int users, unsigned int bufferWidth,
                                       unsigned int bufferHeight, unsigned int screenWidth,
                                       unsigned int screenHeight)
{
    setVis(new RuduzozovorERUVisGL(users, bufferWidth, bufferHeight, screenWidth, screenHeight));
}

RuduzozovorERUVisGL* RuduzozovorERUBuilderGL::getApplicationVis() const
{
    return dynamic_cast<RuduzozovorERUVisGL*>(getVis());
}

void RuduzozovorERUBuilderGL::buildTextures(unsigned int count, const char* pattern)
{
    if (!getVis() || !pattern || std::strlen(pattern) + 5 >= 50) return;
    std::cout << std::endl << "Loading " << count << " textures, please wait." << std::endl;
    if (!isIndexPattern(pattern)) {
        // Loading the same file count times is what a name without a number asks for.
        if (!std::strchr(pattern, '%')) {
            for (unsigned int i = 1; i <= count; ++i) getVis()->loadTexture(pattern, true);
        } else {
            std::cout << "Error: texture name pattern needs one integer conversion: " << pattern
                      << std::endl;
        }
        ++textureBatches;
        return;
    }
    for (unsigned int i = 1; i <= count; ++i)
        getVis()->loadTexture(formatIndexPattern(pattern, i).c_str(), true);
    ++textureBatches;
}

// The painting components are built with their classes.
// The canvas covers the screen plus its overflow margin on every side. Its background is the
// texture the configuration names for it (a paper texture in the bundled configuration).
void RuduzozovorERUBuilderGL::buildCanvas(double border, double overflow,
                                          unsigned int numberOfToolbrushes,
                                          double initialStrokeWidth, const char* texture,
                                          double shorterSide)
{
    RuduzozovorERUVisGL* vis = getApplicationVis();
    if (!vis) return;
    const unsigned int background = texture ? vis->loadTexture(texture, true)
                                            : TabletopVisGL::kTextureLoadFailed;
    const double w = vis->getScreenWidth();
    const double h = vis->getScreenHeight();
    CanvasCompositeGL* canvas = vis->createCanvas(
        static_cast<unsigned int>(w + 2.0 * overflow), static_cast<unsigned int>(h + 2.0 * overflow),
        w * 0.5, h * 0.5, 0.0, border, overflow, numberOfToolbrushes,
        static_cast<float>(initialStrokeWidth), static_cast<float>(shorterSide));
    if (background != TabletopVisGL::kTextureLoadFailed) canvas->setBackgroundTextures({background});
}
void RuduzozovorERUBuilderGL::buildStrokeBuildCanvas(double, double) {}
void RuduzozovorERUBuilderGL::buildContextMenu(const VeskConfiguration&, std::size_t) {}
void RuduzozovorERUBuilderGL::buildCornerMenu(const VeskConfiguration&, std::size_t) {}
void RuduzozovorERUBuilderGL::buildStrokeMenu(const VeskConfiguration&, std::size_t) {}
void RuduzozovorERUBuilderGL::buildStrokes(double, double, unsigned int, bool) {}
void RuduzozovorERUBuilderGL::buildTiles(double, double, unsigned int, bool) {}
void RuduzozovorERUBuilderGL::buildPoints(double, double, unsigned int) {}
void RuduzozovorERUBuilderGL::buildGeoStrokes(double, double, unsigned int, int) {}
void RuduzozovorERUBuilderGL::buildPalette(const VeskConfiguration&, std::size_t) {}
