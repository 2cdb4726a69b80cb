#pragma once
// The OpenGL widget at the centre of the main window: owns the builder and the current
// controller, runs the continuous render loop, and turns mouse, touch-screen, TUIO and stylus
// input into pointer events on the controller.
//
// Coordinates: touch callbacks receive window pixels (origin top left, y down) multiplied by the
// device pixel ratio; the controller receives table pixels (origin bottom left, y up):
// y_table = framebufferHeight - 1 - y_window.

#include "PointerInput.h"
#include "RuduzozovorERUBuildDirector.h"
#include "TouchEventHandler.h"
#include "TouchPointRouter.h"
#include "WiiInput.h"
#include "canvas/PaintingHistory.h"
#include "core/WiiCommunicationData.h"
#include "study/TaskSequence.h"

#include <QFont>
#include <QOpenGLWidget>
#include <QString>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

class PaintingSnapshot;
class QTimer;
class QTTuioReceiver;
class RuduzozovorERUBuilderGL;
class RuduzozovorERUVisGL;
class TabletopVis;
class ToolBrushLeafGL;

// Hand postures of a touch; 0 to 4 are also the fake postures of the main window's actions.
enum Posture { PEN = 0, ONE_FINGER = 1, TWO_FINGERS = 2, FIST = 3, HAND = 4, OTHER = 5, NONE = 6 };

class QTRuduzozovorERUWidgetGL : public QOpenGLWidget,
                                 public RuduzozovorERUBuildDirector,
                                 public TouchEventHandler,
                                 public WiiHandlers,
                                 public TaskHost {
    Q_OBJECT
public:
    static constexpr int kFrameRateWindow = 40;
    // Contact extent of the mouse before a controller exists, in board units: a finger's.
    static constexpr double kMouseContactSize = 10.0;

    QTRuduzozovorERUWidgetGL(QWidget* parent, VeskConfiguration* configuration);
    ~QTRuduzozovorERUWidgetGL() override;

    // The current controller (null before the first initializeGL).
    TabletopVis* getVis() const { return vis; }
    RuduzozovorERUVisGL* getApplicationVis() const;
    double getAnimationSpeed() const { return animationSpeed; }
    bool isAnimating() const { return animating; }
    float getLastFps() const { return lastFps; }
    double getAreaFactor() const { return areaFactor; }
    int framebufferWidth() const;
    int framebufferHeight() const;
    const QTTuioReceiver* tuioReceiver() const { return tuio.get(); }
    bool isEraserActive() const { return pointerInput.isEraserActive(); }
    bool isMouseTrackingOn() const { return mouseTracking; }
    bool isCursorVisible() const { return cursorVisible; }
    // The demo type of the current scene.
    unsigned int currentDemoType() const { return demoType; }
    // Contact side (board units) given to contacts that report no size, the mouse included:
    // one finger everywhere on the table with the controller's posture ranges.
    int fingerContactSide() const;

    // Touch callbacks (window pixels; pointer index (pointerId >> 8) & 1), handed to PointerInput.
    void OnXYDown(int x, int y, int z, int pointerId) override;
    void OnXYMove(int x, int y, int z, int pointerId) override;
    void OnXYUp(int x, int y, int z, int pointerId) override;
    void OnDViTRawWidthHeight(int first, int second, int pointerId) override;
    void OnEraser(int pointerId) override;
    void OnPen(int pointerId) override;
    void OnNoTool(int pointerId) override;

    // Geometric stroke primitives from the shapes drawn on the stroke build canvas, as many and
    // as large as the configuration's "geostrokes" entries ask (one default entry without any);
    // nothing while no shape has been drawn.
    void useBuildCanvasStrokes();

    // The painting on the canvas. Save and open answer false with a whole message in `error`
    // (a file that cannot be opened leaves the painting as it was).
    bool savePainting(const QString& path, QString* error);
    bool openPainting(const QString& path, QString* error);
    // false without a canvas.
    bool capturePainting(PaintingSnapshot* snapshot) const;
    // Changes with every change of the painting, across scenes (builds count as changes).
    quint64 paintingStamp() const;
    // Whether the painting changed since it was built, opened or saved.
    bool isPaintingModified() const { return paintingStamp() != savedStamp; }
    // Asked before a demo change or a new painting discards unsaved changes; true goes on.
    // Unset: they go on without asking.
    void setDiscardConfirmer(std::function<bool()> confirmer) { discardConfirmer = std::move(confirmer); }

    // The painting as a PNG at path, scale times the table's size (PictureExporter); empty on
    // success, otherwise why it failed. tileLimit 0: the GL's limits.
    QString exportImage(const QString& path, int scale, int tileLimit = 0);

    // Undo and redo of whole gestures on the canvas (see PaintingHistory.h).
    const PaintingHistory& paintingHistory() const { return history; }

    // One frame's bookkeeping of the render value: the mean of the last 40, rounded to 0.1.
    float pushFrameValue(double value);

    // Study tasks (the task list is loaded with the scene).
    virtual bool hasMoreTasks();
    virtual void setTaskMode(bool on);
    virtual bool isTaskMode();
    virtual void finishTask();
    const TaskSequence& taskSequence() const { return tasks; }
    // The program quits: a running task's rows are written, flagged unfinished.
    void finishTasksAtQuit();
    // Display lists of the target areas of every task started so far.
    const std::vector<unsigned int>& targetAreaDisplayLists() const { return targetAreaLists; }

    // Wii remotes (WiiInput's handlers). Device numbers go through the controller's
    // admitPointer like every pointer.
    void wiiPress(int x, int y, unsigned int device, WiiButtons& wentDown,
                  WiiCommunicationData& sample) override;
    void wiiRelease(int x, int y, unsigned int device, WiiButtons& wentUp,
                    WiiCommunicationData& sample) override;
    void wiiMove(int x, int y, unsigned int device, WiiButtons& wentDown,
                 WiiCommunicationData& sample) override;
    void wiiPoint(int dx, int dy, unsigned int device, WiiButtons& wentDown,
                  WiiCommunicationData& sample, bool zJustReleased) override;
    void wiiModeFlag(bool on) override;
    void wiiCreateObjects(int count) override;
    void wiiEraseObjects(float radius) override;
    // Sends the border message (true: the joystick pointer left the border).
    void setBorderMessageSender(std::function<void(bool)> sender) { borderSender = std::move(sender); }
    const WiiJoystickPointer& joystickPointer() const { return joystick; }

    // TaskHost.
    bool hasCanvas() const override;
    bool hasCornerMenu() const override { return false; }
    void clearTaskAreas() override;
    void setCanvasTask(unsigned int position) override;
    void buildTargetAreas(const TaskDescription& task) override;
    void recordPrimitives() override;
    int tableWidth() const override;
    int tableHeight() const override;

signals:
    void fpsChanged(float fps);
    void objectNumber(unsigned int n);
    void bufferSize(unsigned int width, unsigned int height);
    void allocatedMemorySize(unsigned long kilobytes);
    void userNumber(unsigned int n);
    void notifyMipMapping(bool on);
    void notifyLinearFiltering(bool on);
    void notifyTextureCompression(bool on);
    void notifyARBTextureCompression(bool on);
    // A scene was built (at start, by a demo change or a new painting).
    void sceneBuilt();
    // A study task started running (true) or ended (false): undo and redo are refused while
    // one runs, as they would change what it measures.
    void taskRunningChanged(bool running);
    // Wii buttons acting on the stroke build canvas.
    void wiiUseStrokesAsRenderingElements();
    void wiiDeleteStrokes();
    void wiiToggleBuildCanvas();

public slots:
    void changePaintColor(unsigned char r, unsigned char g, unsigned char b);
    void changePaintRadius(float radius);
    void changeDemo(int demoType);
    void changeDemoToFirst() { changeDemo(0); }
    void changeDemoToMosaic() { changeDemo(1); }
    void changeDemoToPointillism() { changeDemo(2); }
    // The current demo's scene with an empty canvas; the tool choice stays.
    void newPainting();
    void addObjects();
    void removeObjects();
    void toggleAnimating();
    void startAnimating();
    void stopAnimating();
    void faster() { animationSpeed *= 2.5; }
    void slower() { animationSpeed *= 0.4; }
    void toggleMouseTracking();
    void toggleCursor();
    void toggleMipMapping(bool on);
    void toggleLinearFiltering(bool on);
    void toggleTextureCompression(bool on);
    void toggleARBTextureCompression(bool on);
    // The painting before the last gesture, and back; false when there is none, a touch is
    // still down or a study task runs.
    bool undo();
    bool redo();
    // Starts the next study task (Space; the Nunchuk z release with input combinations 3 to 6).
    virtual void startTask();

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void tabletEvent(QTabletEvent* event) override;
    bool event(QEvent* event) override;

private:
    // useBuildCanvasStrokes with the context already current.
    void placeBuildCanvasStrokes();
    // Writes the chosen paint colour into the canvas's paint colour cells.
    void applyPaintColor();
    void createController();
    // Prints message and ends the program with status 1 (see the .cpp).
    void abandonScene(const std::string& message);
    void buildScene(unsigned int demoType, bool withPrimitives = true);
    // Rebuilds the scene on a new controller, carrying the user's tool choice over.
    void rebuild(unsigned int demoType, bool withPrimitives);
    void emitStatus();
    bool fromTouchScreen(const QMouseEvent* event) const;
    void mouseToPointer(const QMouseEvent* event, int& x, int& y);
    void loadTaskList();
    void drawTaskOverlay();
    void compileTextBackdrop();
    // Emits taskRunningChanged when the task sequence's running state differs from the last
    // one announced.
    void announceTaskState();
    // A direct touch of a running task; y already in table pixels.
    void logTouch(int event, int x, int y, int width, int height);
    // The first tool brush of the canvas, and a table position as its buffer cell.
    ToolBrushLeafGL* firstToolBrush() const;
    bool toBrushCell(double x, double y, int& cx, int& cy) const;
    // The position B presses and releases at: the joystick pointer when it points.
    void wiiPointer(int x, int y, unsigned int& px, unsigned int& py) const;
    // Hands a remote's sample to the controller's components. In input combination 6 the canvas
    // paints while B is held: each such pointing is held open as one gesture of the history.
    void forwardWii(RuduzozovorERUVisGL& app, unsigned int device, WiiButtons& buttons,
                    WiiCommunicationData& sample);

    bool mouseTracking = false;
    bool cursorVisible = true;
    unsigned int demoType = 0;
    // Joystick pointer x, y, then the last pointing x, y: table coordinates.
    float pointerPositions[4] = {0, 0, 0, 0};
    double scaleX = 1.0;
    double scaleY = 1.0;
    double areaFactor = 1.0;
    WiiCommunicationData currentWii;
    WiiCommunicationData previousWii;
    QTimer* frameTimer;
    std::unique_ptr<RuduzozovorERUBuilderGL> builder;
    TabletopVis* vis = nullptr;
    bool mipMapping = false;
    bool linearFiltering = false;
    bool textureCompression = false;
    bool arbTextureCompression = false;
    double animationSpeed = 40.0;
    double frameRateWindow[kFrameRateWindow] = {};
    double frameRateSum = 0.0;
    int frameRateIndex = 0;
    float lastFps = 0.0f;
    bool animating = false;
    unsigned char paintColor[3] = {0, 0, 0};
    bool paintColorChosen = false;
    double paintRadius = 10.0;
    QFont taskFont32;
    QFont taskFont36;
    QString pressToBeginText;
    QString allTasksDoneText;
    QString noTaskText;
    bool eraserActiveBefore = false;
    bool taskRunningAnnounced = false;
    // Remotes (device numbers) pointing on the canvas in input combination 6.
    std::set<unsigned int> wiiPointing;
    unsigned long lastComponentCount = 0;

    PointerInput pointerInput;
    TouchPointRouter touchRouter;
    std::unique_ptr<QTTuioReceiver> tuio;

    TaskSequence tasks{this};
    std::vector<unsigned int> targetAreaLists;
    // First index and number of the lists of the task on show.
    std::pair<std::size_t, std::size_t> shownTargetAreas{0, 0};
    unsigned int textBackdropList = 0;
    WiiJoystickPointer joystick;
    std::function<void(bool)> borderSender;
    std::function<bool()> discardConfirmer;
    // Scenes built so far, and the stamp of the painting as last built, opened or saved.
    quint64 scenesBuilt = 0;
    quint64 savedStamp = 0;

    PaintingHistory history;
};
