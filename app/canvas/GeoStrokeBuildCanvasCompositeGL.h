#pragma once
// GeoStrokeBuildCanvasCompositeGL: the panel on which people draw the shapes of their own strokes
// with a finger. A touch in the drawing area drives a simulated brush (StrokeSimulation) whose
// speed sets the width; strokes drawn over an existing stroke edit it; with the erase capability
// on, touches remove the strokes they meet. The finished strokes become the shapes of the
// geometric stroke primitives (StrokeBoard::shapes).
//
// Coordinates: touches arrive in table pixels; the strokes are kept relative to the panel's
// centre (table pixel units), so they move with the panel. Region map (active buffer 15, one
// unsigned int per cell as VisComponent addresses cells): 1 the frame, 3 the drawing area.
// The panel never rotates. Created hidden; open() shows it in front.
// Drawing needs a current GL context: a frame display list, a stroke display list (finished
// strokes, vertex arrays drawn with glDrawRangeElements) and a mipmapped stroke texture.

#include "canvas/PostureClassifier.h"
#include "canvas/StrokeBoard.h"
#include "vis/VisComponentGL.h"

class GeoStrokeBuildCanvasCompositeGL : public VisComponentGL {
public:
    static constexpr unsigned int kFrameRegion = 1;
    static constexpr unsigned int kDrawingRegion = 3;
    // Hit code for touches the panel handles itself.
    static constexpr unsigned int kHandled = 7;
    // Without the movement-without-extend ability the frame moves the panel only for contacts
    // at least this large on their larger side (a flat hand rather than a finger).
    static constexpr unsigned int kMoveExtent = 30;

    GeoStrokeBuildCanvasCompositeGL(TabletopVisGL* vis, double width, double height, double x,
                                    double y, double border);
    ~GeoStrokeBuildCanvasCompositeGL() override;

    unsigned int hitLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                unsigned int boundHeight) override;
    unsigned int releaseLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                    unsigned int boundHeight) override;

    virtual void toggleVisibility();
    virtual void open();
    virtual void close();
    virtual bool isOpen() const { return isActiveForRendering(); }
    virtual void toggleMovementWithoutExtend() { movementWithoutExtend = !movementWithoutExtend; }
    virtual void enableMovementWithoutExtend() { movementWithoutExtend = true; }
    virtual void disableMovementWithoutExtend() { movementWithoutExtend = false; }
    virtual void toggleEraseCapability() { eraseCapability = !eraseCapability; }
    virtual void drawSegmentsAsStrokes();
    virtual void drawSegmentsAsPoints();
    virtual void deleteStrokes();
    // p1 spring, p2 drag, p3 width scale, p4 upper width, p5 lower width, p6 mass, p7 start speed.
    virtual void setSimulationParameters(double p1, double p2, double p3, double p4, double p5,
                                         double p6, double p7);
    // lower becomes p5, upper p4.
    virtual void setRangeLimits(double lower, double upper);
    // The taper duration (simulation steps).
    virtual void setCurveParameter(double steps);
    virtual void clearStrokes() { deleteStrokes(); }
    virtual void rebuildDisplayLists();
    // Stroke building, positions in table pixels.
    virtual void startStroke(double x, double y);
    virtual float addStrokePoint(double x, double y, bool skipPoint);
    virtual float taperFactor() const { return board.getSimulation().taperFactor(); }

    bool isMovementWithoutExtend() const { return movementWithoutExtend; }
    bool isEraseCapable() const { return eraseCapability; }
    bool drawsAsStrokes() const { return asStrokes; }
    bool drawsAsPoints() const { return !asStrokes; }
    const StrokeBoard& getBoard() const { return board; }
    // The region under a local point (origin bottom left); 0 outside the panel.
    unsigned int regionAt(double localX, double localY) const;
    // Contact size of the last touch, at least 10 each.
    double getTouchWidth() const { return touchSize[0]; }
    double getTouchHeight() const { return touchSize[1]; }
    // A size x size mipmapped RGBA brush texture (a soft profile across the stroke); 0 and
    // "can't generate mipmap texture" when the mipmaps cannot be made. Needs a current context.
    static unsigned int createStrokeTexture(int size);
    // Takes the classifier ranges from the application's controller.
    void updatePostureRanges();

protected:
    void specificRender() override;
    void specificRenderForPicking() override;
    void initialize() override;
    void createActiveBuffers() override;

private:
    void choosePreset(int posture);
    void replayClassifierSamples();
    void drawStroke(const Stroke2d& s);
    void drawPanel();

    StrokeBoard board;
    PostureClassifier classifier;
    double border;
    bool movementWithoutExtend = false;
    bool asStrokes = true;
    bool eraseCapability = false;
    bool sequenceStarted = false;
    bool strokeReplayed = false;
    bool moving = false;
    unsigned int startRegion = 0;
    double lastTouch[2] = {0.0, 0.0};
    double touch[2] = {0.0, 0.0};
    double touchSize[2] = {10.0, 10.0};
    unsigned int frameList = 0;
    unsigned int strokeList = 0;
    bool listsDirty = true;
    unsigned int strokeTexture = 0;
    bool textureTried = false;
};
