#include "RuduzozovorERUBuilderGL.h"

#include "RuduzozovorERUVisGL.h"
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
void RuduzozovorERUBuilderGL::buildCanvas(double, double, unsigned int, double, const char*,
                                          double)
{
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
