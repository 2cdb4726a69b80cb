#pragma once
// The application's controller: the OpenGL controller plus the painting state the canvas, the
// widget and the main window share (posture ranges, input combination), and finders and
// creation operations for the painting components.
//
// Posture ranges are contact areas in board units squared (the widget converts the configured
// physical ranges with the board's area factor).

#include "vis/TabletopVisGL.h"

#include "core/Vector2d.h"

#include <cstdint>
#include <string>
#include <vector>

class CanvasCompositeGL;
class GeoStrokeBuildCanvasCompositeGL;
class GeoStrokeLeafGL;
class PaletteLeafGL;
class ReferenceImageLeafGL;
class PointLeafGL;
class StrokeLeafGL;
class TileLeafGL;

class PostureClassifier;

class RuduzozovorERUVisGL : public TabletopVisGL {
public:
    RuduzozovorERUVisGL(unsigned int users, unsigned int bufferWidth, unsigned int bufferHeight,
                        unsigned int screenWidth, unsigned int screenHeight);
    ~RuduzozovorERUVisGL() override;

    void determineTextureParameters() override;
    void initializeRenderer() override;

    // Contact-area ranges per posture: pen, one finger, two fingers, fist, hand.
    virtual void setPenRange(double minimum, double maximum);
    virtual void setOneFingerRange(double minimum, double maximum);
    virtual void setTwoFingersRange(double minimum, double maximum);
    virtual void setFistRange(double minimum, double maximum);
    virtual void setHandRange(double minimum, double maximum);
    virtual double getPenMin() const { return postureRanges[0]; }
    virtual double getPenMax() const { return postureRanges[1]; }
    virtual double getOneFingerMin() const { return postureRanges[2]; }
    virtual double getOneFingerMax() const { return postureRanges[3]; }
    virtual double getTwoFingersMin() const { return postureRanges[4]; }
    virtual double getTwoFingersMax() const { return postureRanges[5]; }
    virtual double getFistMin() const { return postureRanges[6]; }
    virtual double getFistMax() const { return postureRanges[7]; }
    virtual double getHandMin() const { return postureRanges[8]; }
    virtual double getHandMax() const { return postureRanges[9]; }
    // Gives a classifier these five ranges.
    void applyPostureRanges(PostureClassifier& classifier) const;
    // A flag and a count the canvas keeps here.
    virtual void setCanvasFlag(bool on) { canvasFlag = on; }
    virtual bool getCanvasFlag() const { return canvasFlag; }
    virtual int getCanvasCount() const { return canvasCount; }
    virtual void setCanvasCount(int n) { canvasCount = n; }

    // Input-device combination: 7 at start; the main window sets 0, 5 or 6.
    int getInputCombo() const { return inputCombo; }
    void setInputCombo(int combo) { inputCombo = combo; }

    // The registered component of type T with the lowest id (the one added first), or null.
    template <class T> T* findFirst() const
    {
        for (const auto& entry : components)
            if (T* c = dynamic_cast<T*>(entry.second)) return c;
        return nullptr;
    }

    // Creates a painting canvas owned by this controller and registers it (dropping on).
    // Table pixels; toolStateParameter goes into the canvas's tool-state cell (4, 2).
    CanvasCompositeGL* createCanvas(unsigned int width, unsigned int height, double x, double y,
                                    double z, double borderSize, double overflowSize,
                                    unsigned int numberOfToolBrushes, float initialPrimitiveSize,
                                    float toolStateParameter);

    // The stroke build canvas, hidden, registered without dropping (it lies over the canvas,
    // not in it). Table pixels.
    GeoStrokeBuildCanvasCompositeGL* createStrokeBuildCanvas(double width, double height,
                                                             double x, double y, double border);

    // Primitives owned by this controller and registered; with drop set (the builder's scenes)
    // they are dropped onto the component under them, otherwise the caller adds them to a parent
    // (a brush creating dozens per frame would otherwise cost a picking pass each).
    // (x, y): centre in table pixels; rotation in degrees; layer: the primitive type.
    StrokeLeafGL* createStroke(double x, double y, double width, double height, double rotation,
                               int layer, unsigned int textureIndex, bool drop = true);
    TileLeafGL* createTile(double x, double y, double width, double height, double rotation,
                           int layer, bool dodging, bool drop = true);
    PointLeafGL* createPoint(double x, double y, double width, double height, double rotation,
                             int layer, bool drop = true);
    GeoStrokeLeafGL* createGeoStroke(double x, double y, double width, double height,
                                     double rotation, int layer,
                                     const std::vector<Vector2d>& polyline, int segments,
                                     bool drop = true);

    // A palette owned by this controller and registered, on the first canvas when there is one
    // (centre in table pixels).
    PaletteLeafGL* createPalette(double x, double y, double width, double height, float opacity);

    // A colour reference image of the file, centred at (x, y) (table pixels), registered and
    // put on the first canvas behind the primitives.
    ReferenceImageLeafGL* createReferenceImage(double x, double y, double width, double height,
                                               const std::string& file);

    // The colour the look-up conversion gives (r, g, b).
    void lookUpColor(unsigned char r, unsigned char g, unsigned char b, unsigned char* out) const;
    bool hasMultitexturing() const { return multitexturing; }

private:
    void setRange(int posture, double minimum, double maximum);

    double postureRanges[10] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    int inputCombo = 7;
    bool canvasFlag = true;
    int canvasCount = 5;
    bool multitexturing = false;
};
