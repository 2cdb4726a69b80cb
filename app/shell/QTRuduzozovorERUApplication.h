#pragma once
// The main window: menus, keyboard shortcuts, status bar, the two fullscreen modes, and the
// slots through which actions reach the OpenGL widget and the painting components.

#include <QMainWindow>
#include <QRect>
#include <QString>

#include <functional>
#include <memory>

class PaintingRecovery;
class QAction;
class QDialog;
class QLabel;
class QMenu;
class QTimer;
class QUdpSocket;
class WiiInput;
class QTRuduzozovorERUWidgetGL;
class QTVeskConfiguration;
class VisComponent;

class QTRuduzozovorERUApplication : public QMainWindow {
    Q_OBJECT
public:
    // The configuration is not owned.
    explicit QTRuduzozovorERUApplication(QTVeskConfiguration* configuration);
    ~QTRuduzozovorERUApplication() override;

    QTRuduzozovorERUWidgetGL* widget() const { return glWidget; }
    bool isMultiMonitorFullscreen() const { return multiMonitorFullscreen; }
    bool areStatusbarsShownInFullscreen() const { return statusbarsInFullscreen; }
    bool isPickingRendering() const { return pickingRendering; }
    // The hardware mirrors.
    bool mipMappingOn() const { return mipMappingFlag; }
    bool linearFilteringOn() const { return linearFilteringFlag; }
    bool textureCompressionOn() const { return textureCompressionFlag; }
    bool arbTextureCompressionOn() const { return arbTextureCompressionFlag; }
    // Whether user changes of the hardware switches show the "Important Note" box (tests turn
    // it off; the box is modal).
    void setHardwareMessageEnabled(bool on) { hardwareMessageEnabled = on; }
    int hardwareMessagesShown() const { return hardwareMessageCount; }
    QString statusText() const;
    // The "Keys and gestures" text (HTML), generated from the actions.
    QString keysAndGesturesHtml() const;
    // The status bar's tool indicator for the current scene (empty without a canvas).
    QString toolIndicator() const;
    // The Wii decoder of the receive socket.
    const WiiInput* wiiDecoder() const { return wiiInput.get(); }

    // Once the first scene is built: offers a painting that a run which did not end normally
    // left in the recovery folder, else opens `painting` (when given); then keeps a recovery
    // copy there, written every intervalSeconds while the painting changes and removed when the
    // window closes.
    void startSession(const QString& recoveryFolder, int intervalSeconds, const QString& painting);
    // null before startSession.
    const PaintingRecovery* paintingRecovery() const { return recovery.get(); }
    // Answers the questions (discard unsaved changes, restore a recovered painting) instead of
    // a message box, and keeps failure messages off the screen (they are printed all the same);
    // for tests. Without one, a hidden window asks nothing and goes on.
    using Answerer = std::function<bool(const QString& title, const QString& text)>;
    void setQuestionAnswerer(Answerer answerer) { answerer_ = std::move(answerer); }
    // Save and open by name; failures are printed and shown.
    bool savePaintingTo(const QString& path);
    bool openPaintingFrom(const QString& path);

signals:
    void toggleMipMapping(bool on);
    void toggleLinearFiltering(bool on);
    void toggleTextureCompression(bool on);
    void toggleARBTextureCompression(bool on);

public slots:
    void about();
    void showKeysAndGestures();
    void updateToolIndicator();
    // Hardware entries the driver cannot honour are disabled, with the reason as tooltip.
    void updateHardwareAvailability();
    void showHardwareMessage();
    void setFps(float fps);
    void setObjectNumber(unsigned int n);
    void setBufferSize(unsigned int width, unsigned int height);
    void setMemorySize(unsigned long kilobytes);
    void setUserNumber(unsigned int n);
    void toggleFullscreen();
    void toggleMultiMonitorFullscreen();
    void toggleStatusbars();
    void togglePickingRendering();
    void choosePaintColor();
    void toggleElementBuildCanvasVisibility();
    void openElementBuildCanvas();
    void closeElementBuildCanvas();
    void toggleElementBuildCanvasMovementWithoutExtend();
    void enableElementBuildCanvasMovementWithoutExtend();
    void disableElementBuildCanvasMovementWithoutExtend();
    virtual void canvasDeleteStrokes();
    virtual void canvasDrawSegmentAsStroke();
    virtual void canvasDrawSegmentAsPoints();
    virtual void canvasUseStrokesAsRenderingElements();
    virtual void canvasToggleEraseCapability();
    virtual void openContextMenu();
    virtual void closeContextMenu();
    virtual void openPalette();
    virtual void closePalette();
    virtual void setPenFakePosture();
    virtual void setOneFingerFakePosture();
    virtual void setTwoFingersFakePosture();
    virtual void setFistFakePosture();
    virtual void setHandFakePosture();
    virtual void createTargetAreaBufferImage();
    virtual void createPrimColorBufferImage();
    virtual void createTempColorBufferImage();
    virtual void createColorBufferImage();
    virtual void createSelectionBufferImage();
    virtual void createDropoffBufferImage();
    virtual void createOrientationBufferImage();
    virtual void createGradientBufferImage();
    virtual void createDepthBufferImage();
    virtual void switchToCreateMode();
    virtual void switchToEraseMode();
    virtual void switchToColorMode();
    virtual void switchToOrientationMode();
    virtual void switchToMoveMode();
    virtual void switchToSizeMode();
    virtual void switchIntoTaskMode();
    virtual void switchOutOfTaskMode();
    virtual void setDTWIINCInputCombo();
    virtual void setDTWIIInputCombo();
    virtual void setDTWIIPointingNCModesInputCombo();
    void loadColorReferenceImage();
    // File dialogs for the painting.
    void savePainting();
    void openPainting();
    // Writes the recovery copy when the painting changed since the last one.
    void writeRecovery();
    // File > Export Image: asks for the scale and the file, then exportImageTo.
    void exportImage();
    // The painting as a PNG at path at scale times the table's size; the outcome goes to the
    // status bar and standard output. Returns whether the file was written.
    bool exportImageTo(const QString& path, int scale);
    void mipMapping();
    void linearFiltering();
    void textureCompression();
    void arbTextureCompression();
    void notifyMipMapping(bool on);
    void notifyLinearFiltering(bool on);
    void notifyTextureCompression(bool on);
    void notifyARBTextureCompression(bool on);
    // Reads every pending datagram of the Wii receive socket.
    void readPendingDatagrams();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Alt+C and Alt+D are also the mnemonics of "&Control" and "&Demos": Qt would call such a
    // key ambiguous and do nothing. The window's action wins.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Yes or no; the default button is No unless yesByDefault.
    bool ask(const QString& title, const QString& text, bool yesByDefault = false);
    void warn(const QString& text);
    void runStartActions();
    void createWiiSockets();
    // "/wiidata/leftBorderRegion" to the send port: true when the joystick pointer left the
    // border, false when it entered it.
    void sendBorderMessage(bool left);
    void setTaskMode(bool on);
    // Puts a colour reference image of the file on the canvas (context made current here);
    // answers whether it could be loaded.
    bool placeReferenceImage(const QString& file);
    QAction* addAction(const QString& text, const QKeySequence& shortcut, const QString& tip,
                       QObject* receiver, const char* slot, bool toWindow = true);
    void createActions();
    void setInputCombo(int combo);
    void setMenusVisible(bool visible);
    // Undo and redo are off while a study task runs; their entries say why.
    void blockUndoForTask(bool running);

    QTVeskConfiguration* configuration;
    QMenu* fileMenu = nullptr;
    QMenu* editMenu = nullptr;
    QMenu* controlMenu = nullptr;
    QMenu* demosMenu = nullptr;
    QMenu* hardwareMenu = nullptr;
    QMenu* helpMenu = nullptr;
    QTRuduzozovorERUWidgetGL* glWidget = nullptr;
    QLabel* fpsLabel = nullptr;
    QLabel* objectNumberLabel = nullptr;
    QLabel* bufferWidthLabel = nullptr;
    QLabel* bufferHeightLabel = nullptr;
    QLabel* memoryLabel = nullptr;
    QLabel* usersLabel = nullptr;
    QLabel* toolLabel = nullptr;
    QLabel* tuioLabel = nullptr;
    QDialog* helpWindow = nullptr;
    bool multiMonitorFullscreen = false;
    bool statusbarsInFullscreen = false;
    bool pickingRendering = false;
    bool mipMappingFlag = false;
    bool linearFilteringFlag = false;
    bool textureCompressionFlag = false;
    bool arbTextureCompressionFlag = false;
    QAction* undoAction = nullptr;
    QAction* redoAction = nullptr;
    QAction* mipMappingAction = nullptr;
    QAction* linearFilteringAction = nullptr;
    QAction* textureCompressionAction = nullptr;
    QAction* arbTextureCompressionAction = nullptr;
    VisComponent* referenceImage = nullptr;
    bool referenceImageLoaded = false;
    // The configuration's start image was placed (with the first scene).
    bool startImagePlaced = false;
    QString referenceImageFileName;
    // Geometry and window flags saved when multi-monitor fullscreen is entered.
    QRect savedGeometry;
    Qt::WindowFlags savedFlags;
    QUdpSocket* oscReceiveSocket = nullptr;
    QUdpSocket* oscSendSocket = nullptr;
    std::unique_ptr<WiiInput> wiiInput;
    bool hardwareMessageEnabled = true;
    int hardwareMessageCount = 0;
    Answerer answerer_;
    std::unique_ptr<PaintingRecovery> recovery;
    QTimer* recoveryTimer = nullptr;
    quint64 recoveryStamp = 0;
    bool sessionPending = false;
    bool firstSceneBuilt = false;
    QString startPainting;
    QString paintingFolder;
};
