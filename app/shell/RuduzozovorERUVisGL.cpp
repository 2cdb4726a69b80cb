#include "RuduzozovorERUVisGL.h"

#include "canvas/CanvasCompositeGL.h"
#include "canvas/GeoStrokeBuildCanvasCompositeGL.h"
#include "canvas/GeoStrokeLeafGL.h"
#include "canvas/PaletteLeafGL.h"
#include "canvas/ReferenceImageLeafGL.h"
#include "canvas/PointLeafGL.h"
#include "canvas/PostureClassifier.h"
#include "canvas/StrokeLeafGL.h"
#include "canvas/TileLeafGL.h"

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
    // The painting's primitives lie above direction and orientation lenses but never hide them
    // from a touch.
    setPickedBeneathLenses(
        [](const VisComponent* c) { return dynamic_cast<const PrimitiveLeafGL*>(c) != nullptr; });
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
                                      unsigned char* out) const
{
    // The colour model outside the palette is the identity: computing it directly spares the
    // 48 MiB table a stored conversion would need.
    out[0] = r;
    out[1] = g;
    out[2] = b;
}

void RuduzozovorERUVisGL::setRange(int posture, double minimum, double maximum)
{
    postureRanges[2 * posture] = minimum;
    postureRanges[2 * posture + 1] = maximum;
}

void RuduzozovorERUVisGL::setPenRange(double minimum, double maximum) { setRange(0, minimum, maximum); }
void RuduzozovorERUVisGL::setOneFingerRange(double minimum, double maximum)
{
    setRange(1, minimum, maximum);
}
void RuduzozovorERUVisGL::setTwoFingersRange(double minimum, double maximum)
{
    setRange(2, minimum, maximum);
}
void RuduzozovorERUVisGL::setFistRange(double minimum, double maximum) { setRange(3, minimum, maximum); }
void RuduzozovorERUVisGL::setHandRange(double minimum, double maximum) { setRange(4, minimum, maximum); }

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

namespace {

// Registers c; a component the controller refuses (its id space is full) is deleted.
template <class T> T* registered(TabletopVis& vis, T* c, bool drop)
{
    vis.addComponent(c, drop);
    if (vis.getComponent(c->getId()) == c) return c;
    delete c;
    return nullptr;
}

} // namespace

StrokeLeafGL* RuduzozovorERUVisGL::createStroke(double x, double y, double width, double height,
                                                double rotation, int layer,
                                                unsigned int textureIndex, bool drop)
{
    return registered(
        *this, new StrokeLeafGL(this, x, y, width, height, rotation, layer, textureIndex), drop);
}

TileLeafGL* RuduzozovorERUVisGL::createTile(double x, double y, double width, double height,
                                            double rotation, int layer, bool dodging, bool drop)
{
    return registered(*this, new TileLeafGL(this, x, y, width, height, rotation, layer, dodging),
                      drop);
}

PointLeafGL* RuduzozovorERUVisGL::createPoint(double x, double y, double width, double height,
                                              double rotation, int layer, bool drop)
{
    return registered(*this, new PointLeafGL(this, x, y, width, height, rotation, layer), drop);
}

GeoStrokeLeafGL* RuduzozovorERUVisGL::createGeoStroke(double x, double y, double width,
                                                      double height, double rotation, int layer,
                                                      const std::vector<Vector2d>& polyline,
                                                      int segments, bool drop)
{
    return registered(
        *this, new GeoStrokeLeafGL(this, x, y, width, height, rotation, layer, polyline, segments),
        drop);
}

GeoStrokeBuildCanvasCompositeGL* RuduzozovorERUVisGL::createStrokeBuildCanvas(double width,
                                                                              double height,
                                                                              double x, double y,
                                                                              double border)
{
    return registered(*this, new GeoStrokeBuildCanvasCompositeGL(this, width, height, x, y, border),
                      false);
}

PaletteLeafGL* RuduzozovorERUVisGL::createPalette(double x, double y, double width, double height,
                                                  float opacity)
{
    PaletteLeafGL* p = registered(*this, new PaletteLeafGL(this, width, height, x, y, 0.0, opacity), false);
    if (!p) return nullptr;
    if (CanvasCompositeGL* canvas = findFirst<CanvasCompositeGL>()) canvas->addChild(p);
    // New components join the back of the render list; the palette lies over the picture.
    moveComponentToRenderFront(p);
    return p;
}

ReferenceImageLeafGL* RuduzozovorERUVisGL::createReferenceImage(double x, double y, double width,
                                                                double height,
                                                                const std::string& file)
{
    ReferenceImageLeafGL* image =
        registered(*this, new ReferenceImageLeafGL(this, x, y, width, height, file), false);
    if (!image) return nullptr;
    // New components lie at the back, in front of the canvas: under the primitives.
    if (CanvasCompositeGL* canvas = findFirst<CanvasCompositeGL>()) canvas->addChild(image);
    return image;
}

void RuduzozovorERUVisGL::applyPostureRanges(PostureClassifier& classifier) const
{
    for (int posture = 0; posture < 5; ++posture)
        classifier.setRange(posture, postureRanges[2 * posture], postureRanges[2 * posture + 1]);
}
