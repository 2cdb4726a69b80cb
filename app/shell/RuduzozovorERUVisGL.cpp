#include "RuduzozovorERUVisGL.h"

#include "canvas/CanvasCompositeGL.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <iostream>
#include <sstream>
#include <string>

RuduzozovorERUVisGL::RuduzozovorERUVisGL(unsigned int users, unsigned int bufferWidth,
                                         unsigned int bufferHeight, unsigned int screenWidth,
                                         unsigned int screenHeight)
    : TabletopVisGL(users, bufferWidth, bufferHeight, screenWidth, screenHeight)
{
}

RuduzozovorERUVisGL::~RuduzozovorERUVisGL() = default;

void RuduzozovorERUVisGL::determineTextureParameters()
{
    TabletopVisGL::determineTextureParameters();
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

void RuduzozovorERUVisGL::initializeRenderer()
{
    TabletopVisGL::initializeRenderer();

    // Multitexturing needs both extensions, matched as whole names.
    const char* raw = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    bool multitexture = false;
    bool combine = false;
    if (raw) {
        std::istringstream names(raw);
        std::string name;
        while (names >> name) {
            multitexture = multitexture || name == "GL_ARB_multitexture";
            combine = combine || name == "GL_EXT_texture_env_combine";
        }
    }
    if (multitexture && combine) {
        GLint units = 0;
        glGetIntegerv(GL_MAX_TEXTURE_UNITS_ARB, &units);
        // The multitexture entry points are part of GL 1.3 and exported by libGL directly.
        multitexturing = units > 1;
        if (multitexturing) std::cout << "Multitexturing enabled" << std::endl;
    }

    const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat direction[4] = {-1.0f, 1.0f, 2.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_POSITION, direction);
    glEnable(GL_LIGHT0);

    std::cout << "Generating Color Look-up Table..." << std::endl;
}

void RuduzozovorERUVisGL::lookUpColor(unsigned char r, unsigned char g, unsigned char b,
                                      unsigned char* out)
{
    // 256^3 entries of three bytes (48 MiB): built on first use, not at start-up, so a scene
    // that never asks pays nothing. The conversion is the identity until a colour model needs
    // more.
    if (!colorLookUpTable) {
        colorLookUpTable.reset(new unsigned char[256u * 256u * 256u * 3u]);
        unsigned char* p = colorLookUpTable.get();
        for (unsigned int rr = 0; rr < 256; ++rr)
            for (unsigned int gg = 0; gg < 256; ++gg)
                for (unsigned int bb = 0; bb < 256; ++bb) {
                    *p++ = static_cast<unsigned char>(rr);
                    *p++ = static_cast<unsigned char>(gg);
                    *p++ = static_cast<unsigned char>(bb);
                }
    }
    const unsigned char* e =
        colorLookUpTable.get() + ((static_cast<size_t>(r) << 16) | (g << 8) | b) * 3;
    out[0] = e[0];
    out[1] = e[1];
    out[2] = e[2];
}

void RuduzozovorERUVisGL::setPenRange(double minimum, double maximum)
{
    postureRanges[0] = minimum;
    postureRanges[1] = maximum;
}

void RuduzozovorERUVisGL::setOneFingerRange(double minimum, double maximum)
{
    postureRanges[2] = minimum;
    postureRanges[3] = maximum;
}

void RuduzozovorERUVisGL::setTwoFingersRange(double minimum, double maximum)
{
    postureRanges[4] = minimum;
    postureRanges[5] = maximum;
}

void RuduzozovorERUVisGL::setFistRange(double minimum, double maximum)
{
    postureRanges[6] = minimum;
    postureRanges[7] = maximum;
}

void RuduzozovorERUVisGL::setHandRange(double minimum, double maximum)
{
    postureRanges[8] = minimum;
    postureRanges[9] = maximum;
}

CanvasCompositeGL* RuduzozovorERUVisGL::createCanvas(unsigned int width, unsigned int height,
                                                     double x, double y, double z,
                                                     double borderSize, double overflowSize,
                                                     unsigned int numberOfToolBrushes,
                                                     float initialPrimitiveSize,
                                                     float toolStateParameter)
{
    auto* canvas = new CanvasCompositeGL(this, width, height, x, y, z, borderSize, overflowSize,
                                         numberOfToolBrushes, initialPrimitiveSize,
                                         toolStateParameter);
    addComponent(canvas, true);
    return canvas;
}
