#include "QTRuduzozovorERUApplication.h"

#include "PaintingRecovery.h"
#include "QTRuduzozovorERUWidgetGL.h"
#include "RuduzozovorERUVisGL.h"
#include "ToolIndicator.h"
#include "TuioReceiver.h"
#include "WiiInput.h"
#include "canvas/CanvasCompositeGL.h"
#include "canvas/ContextMenuGL.h"
#include "canvas/GeoStrokeBuildCanvasCompositeGL.h"
#include "canvas/PaintingFile.h"
#include "canvas/PaletteLeafGL.h"
#include "canvas/ReferenceImageLeafGL.h"
#include "config/QTVeskConfiguration.h"

#include <QAction>
#include <QColorDialog>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QShortcutEvent>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTimer>
#include <QUdpSocket>
#include <QVBoxLayout>
#include <QNetworkDatagram>

#include <oscpack/osc/OscOutboundPacketStream.h>

#include <iostream>

namespace {
const char* const kTitle = "Vesk Tabletop Framework Demo Application";
}

QTRuduzozovorERUApplication::QTRuduzozovorERUApplication(QTVeskConfiguration* configuration_)
    : configuration(configuration_)
{
    // No overlays exist: the widget's surface asks for alpha and a deep depth buffer (set as the
    // default format before the application object was made).
    const int depth = QSurfaceFormat::defaultFormat().depthBufferSize();
    if (depth > 0)
        std::cout << "Depth Buffer enabled." << std::endl
                  << "Depth Buffer Size: " << depth << std::endl;
    else
        std::cout << "Depth Buffer disabled." << std::endl;

    createWiiSockets();
    glWidget = new QTRuduzozovorERUWidgetGL(this, configuration);
    setCentralWidget(glWidget);
    glWidget->setBorderMessageSender([this](bool left) { sendBorderMessage(left); });
    connect(glWidget, &QTRuduzozovorERUWidgetGL::wiiUseStrokesAsRenderingElements, this,
            &QTRuduzozovorERUApplication::canvasUseStrokesAsRenderingElements);
    connect(glWidget, &QTRuduzozovorERUWidgetGL::wiiDeleteStrokes, this,
            &QTRuduzozovorERUApplication::canvasDeleteStrokes);
    connect(glWidget, &QTRuduzozovorERUWidgetGL::wiiToggleBuildCanvas, this,
            &QTRuduzozovorERUApplication::toggleElementBuildCanvasVisibility);

    auto value = [this](QLabel*& label, const char* caption) {
        statusBar()->addWidget(new QLabel(caption, this), 0);
        label = new QLabel("0", this);
        statusBar()->addWidget(label, 0);
    };
    value(objectNumberLabel, "Object #:");
    statusBar()->addWidget(new QLabel(" |   Buffer Size:", this), 0);
    bufferWidthLabel = new QLabel("0", this);
    statusBar()->addWidget(bufferWidthLabel, 0);
    statusBar()->addWidget(new QLabel("x", this), 0);
    bufferHeightLabel = new QLabel("0", this);
    statusBar()->addWidget(bufferHeightLabel, 0);
    value(memoryLabel, " |   Buffer Memory (MB):");
    value(usersLabel, " |   Users:");
    value(fpsLabel, " |   fps:");
    // Lasting, quiet notes at the right: why TUIO is off, and the current tool (the mode label
    // over the picture fades by design).
    if (const QTTuioReceiver* tuio = glWidget->tuioReceiver(); tuio && !tuio->isListening()) {
        tuioLabel = new QLabel(tuio->problem(), this);
        statusBar()->addPermanentWidget(tuioLabel, 0);
    }
    toolLabel = new QLabel(this);
    statusBar()->addPermanentWidget(toolLabel, 0);
    auto* toolTimer = new QTimer(this);
    connect(toolTimer, &QTimer::timeout, this, &QTRuduzozovorERUApplication::updateToolIndicator);
    toolTimer->start(200);

    connect(glWidget, &QTRuduzozovorERUWidgetGL::fpsChanged, this,
            &QTRuduzozovorERUApplication::setFps);
    connect(glWidget, &QTRuduzozovorERUWidgetGL::objectNumber, this,
            &QTRuduzozovorERUApplication::setObjectNumber);
    connect(glWidget, &QTRuduzozovorERUWidgetGL::bufferSize, this,
            &QTRuduzozovorERUApplication::setBufferSize);
    connect(glWidget, &QTRuduzozovorERUWidgetGL::allocatedMemorySize, this,
            &QTRuduzozovorERUApplication::setMemorySize);
    connect(glWidget, &QTRuduzozovorERUWidgetGL::userNumber, this,
            &QTRuduzozovorERUApplication::setUserNumber);

    createActions();

    connect(this, &QTRuduzozovorERUApplication::toggleMipMapping, glWidget,
            &QTRuduzozovorERUWidgetGL::toggleMipMapping);
    connect(this, &QTRuduzozovorERUApplication::toggleLinearFiltering, glWidget,
            &QTRuduzozovorERUWidgetGL::toggleLinearFiltering);
    connect(this, &QTRuduzozovorERUApplication::toggleTextureCompression, glWidget,
            &QTRuduzozovorERUWidgetGL::toggleTextureCompression);
    connect(this, &QTRuduzozovorERUApplication::toggleARBTextureCompression, glWidget,
            &QTRuduzozovorERUWidgetGL::toggleARBTextureCompression);
    connect(glWidget, &QTRuduzozovorERUWidgetGL::notifyMipMapping, this,
            &QTRuduzozovorERUApplication::notifyMipMapping);
    connect(glWidget, &QTRuduzozovorERUWidgetGL::notifyLinearFiltering, this,
            &QTRuduzozovorERUApplication::notifyLinearFiltering);
    connect(glWidget, &QTRuduzozovorERUWidgetGL::notifyTextureCompression, this,
            &QTRuduzozovorERUApplication::notifyTextureCompression);
    connect(glWidget, &QTRuduzozovorERUWidgetGL::notifyARBTextureCompression, this,
            &QTRuduzozovorERUApplication::notifyARBTextureCompression);

    connect(glWidget, &QTRuduzozovorERUWidgetGL::sceneBuilt, this,
            &QTRuduzozovorERUApplication::updateHardwareAvailability);
    connect(glWidget, &QTRuduzozovorERUWidgetGL::sceneBuilt, this, [this] {
        firstSceneBuilt = true;
        // Not inside the widget's GL set-up: the start actions may open message boxes.
        if (sessionPending) QTimer::singleShot(0, this, &QTRuduzozovorERUApplication::runStartActions);
    });
    glWidget->setDiscardConfirmer([this] {
        return ask("Discard the painting?",
                   "The painting has changes that are not saved. Discard them?");
    });
    recoveryTimer = new QTimer(this);
    connect(recoveryTimer, &QTimer::timeout, this, &QTRuduzozovorERUApplication::writeRecovery);
    // The configuration's reference image comes with the first scene.
    connect(glWidget, &QTRuduzozovorERUWidgetGL::sceneBuilt, this, [this] {
        if (startImagePlaced) return;
        startImagePlaced = true;
        const std::string& file = configuration->startup.reference_image;
        if (!file.empty()) placeReferenceImage(QString::fromStdString(file));
    });

    helpMenu = menuBar()->addMenu("Help");
    helpMenu->addAction(addAction("&Keys and gestures", QKeySequence(Qt::Key_F1),
                                  "Every shortcut, posture and mode", this,
                                  SLOT(showKeysAndGestures()), false));
    helpMenu->addAction(addAction("&About", QKeySequence(), "About", this, SLOT(about()), false));
    for (QMenu* menu : {fileMenu, editMenu, controlMenu, demosMenu, hardwareMenu, helpMenu})
        menu->setToolTipsVisible(true);
    // An ambiguous key reaches the menu bar or the actions in turn.
    menuBar()->installEventFilter(this);
    for (QAction* a : actions()) a->installEventFilter(this);
}

bool QTRuduzozovorERUApplication::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Shortcut) {
        auto* shortcut = static_cast<QShortcutEvent*>(event);
        if (shortcut->isAmbiguous())
            for (QAction* a : actions())
                if (a->isEnabled() && a->shortcut() == shortcut->key()) {
                    a->trigger();
                    return true;
                }
    }
    return QMainWindow::eventFilter(watched, event);
}

QTRuduzozovorERUApplication::~QTRuduzozovorERUApplication()
{
    if (recovery) recovery->finish();
    if (multiMonitorFullscreen) toggleMultiMonitorFullscreen();
    if (glWidget) glWidget->finishTasksAtQuit();
    delete glWidget;
    glWidget = nullptr;
}

QAction* QTRuduzozovorERUApplication::addAction(const QString& text, const QKeySequence& shortcut,
                                                const QString& tip, QObject* receiver,
                                                const char* slot, bool toWindow)
{
    auto* action = new QAction(text, this);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::ApplicationShortcut);
    }
    action->setStatusTip(tip);
    connect(action, SIGNAL(triggered()), receiver, slot);
    if (toWindow) QMainWindow::addAction(action);
    return action;
}

void QTRuduzozovorERUApplication::createActions()
{
    using K = QKeySequence;
    QObject* w = glWidget;
    QAction* quit = addAction("&Quit", K(Qt::Key_Escape), "Quit the program", this, SLOT(close()));
    QAction* load = addAction("&Load Color Reference Image", K("Ctrl+R"),
                              "Load an image to color primitives", this,
                              SLOT(loadColorReferenceImage()));
    QAction* startStop =
        addAction("&Start/Stop", K("Ctrl+S"), "Toggle animation", w, SLOT(toggleAnimating()));
    QAction* faster = addAction("&Faster", K(Qt::CTRL | Qt::Key_PageUp), "Animate faster", w,
                                SLOT(faster()));
    QAction* slower = addAction("S&lower", K(Qt::CTRL | Qt::Key_PageDown), "Animate slower", w,
                                SLOT(slower()));
    QAction* add = addAction("&Add objects", K(Qt::CTRL | Qt::Key_Plus), "Add objects", w,
                             SLOT(addObjects()));
    QAction* remove = addAction("&Remove objects", K(Qt::CTRL | Qt::Key_Minus), "Remove objects",
                                w, SLOT(removeObjects()));
    QAction* realFull = addAction("Toggle real &fullscreen", K("Ctrl+F"), "Toggle real fullscreen",
                                  this, SLOT(toggleFullscreen()));
    QAction* multiFull = addAction("Toggle &multi-monitor fullscreen", K("Ctrl+N"),
                                   "Toggle multi-monitor fullscreen", this,
                                   SLOT(toggleMultiMonitorFullscreen()));
    QAction* bars = addAction("Toggle information &bar", K("Ctrl+B"),
                              "Show or hide the menu and status bars in fullscreen", this,
                              SLOT(toggleStatusbars()));
    QAction* cursor =
        addAction("Toggle &cursor", K("Ctrl+C"), "Toggle cursor", w, SLOT(toggleCursor()));
    QAction* tracking = addAction("Toggle &mouse tracking", K("Ctrl+T"), "Toggle mouse tracking",
                                  w, SLOT(toggleMouseTracking()));
    QAction* demo1 = addAction("Recreate main demo", K(Qt::CTRL | Qt::Key_1),
                               "Recreate main demo", w, SLOT(changeDemoToFirst()), false);
    QAction* demo2 = addAction("Load Decorative Mosaic demo", K(Qt::CTRL | Qt::Key_2),
                               "Load Decorative Mosaic demo", w, SLOT(changeDemoToMosaic()), false);
    QAction* demo3 = addAction("Load Pointillism demo", K(Qt::CTRL | Qt::Key_3),
                               "Load Pointillism demo", w, SLOT(changeDemoToPointillism()), false);
    // Like the demos, not on the window: with the bars hidden a participant cannot wipe the
    // picture by accident.
    QAction* newPainting = addAction("&New painting", K(Qt::CTRL | Qt::SHIFT | Qt::Key_N),
                                     "Empty the canvas; the tool choice stays", w,
                                     SLOT(newPainting()), false);
    QAction* openPaintingAction = addAction("&Open painting...", K("Ctrl+O"),
                                            "Open a saved painting", this, SLOT(openPainting()));
    QAction* savePaintingAction = addAction("&Save painting...", K("Ctrl+Shift+S"),
                                            "Save the painting to a file", this,
                                            SLOT(savePainting()));
    QAction* exportImageAction = addAction("&Export Image...", K(Qt::CTRL | Qt::Key_E),
                                           "Save the painting as a PNG image", this,
                                           SLOT(exportImage()));
    // On the window too: a participant at a fullscreen table can take a gesture back.
    QAction* undo = undoAction = addAction("&Undo", K(Qt::CTRL | Qt::Key_Z),
                                           "Take back the last gesture", w, SLOT(undo()));
    QAction* redo = redoAction = addAction("&Redo", K(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                           "Bring back the last gesture taken back", w,
                                           SLOT(redo()));
    mipMappingAction =
        addAction("&Mip Mapping", K(), "Mip Mapping", this, SLOT(mipMapping()), false);
    linearFilteringAction = addAction("&Linear Filtering", K(), "Linear Filtering", this,
                                      SLOT(linearFiltering()), false);
    textureCompressionAction = addAction("&Texture Compression", K(), "Texture Compression", this,
                                         SLOT(textureCompression()), false);
    arbTextureCompressionAction = addAction("&ARB Texture Compression", K(),
                                            "ARB Texture Compression", this,
                                            SLOT(arbTextureCompression()), false);
    for (QAction* a : {mipMappingAction, linearFilteringAction, textureCompressionAction,
                       arbTextureCompressionAction})
        a->setCheckable(true);

    struct Row {
        const char* text;
        QKeySequence key;
        const char* tip;
        const char* slot;
        const char* what = nullptr; // for the help window, when the action has no text
    };
    const Row windowOnly[] = {
        {"Show Stroke Build Canvas", K(Qt::ALT | Qt::Key_O), "Show Stroke Build Canvas",
         SLOT(openElementBuildCanvas())},
        {"Hide Stroke Build Canvas", K(Qt::SHIFT | Qt::Key_O), "Hide Stroke Build Canvas",
         SLOT(closeElementBuildCanvas())},
        {"Toggle Movement Capability of Build Canvas", K(Qt::SHIFT | Qt::Key_N),
         "Toggle Movement Capability of Build Canvas",
         SLOT(toggleElementBuildCanvasMovementWithoutExtend())},
        {"Enable Movement Capability of Build Canvas", K(Qt::ALT | Qt::Key_M),
         "Enable Movement Capability of Build Canvas",
         SLOT(enableElementBuildCanvasMovementWithoutExtend())},
        {"Disable Movement Capability of Build Canvas", K(Qt::SHIFT | Qt::Key_M),
         "Disable Movement Capability of Build Canvas",
         SLOT(disableElementBuildCanvasMovementWithoutExtend())},
        {"Draw Strokes as Lines on Build Canvas", K(Qt::ALT | Qt::Key_S),
         "Draw Strokes as Lines on Build Canvas", SLOT(canvasDrawSegmentAsStroke())},
        {"Draw Strokes as Points on Build Canvas", K(Qt::SHIFT | Qt::Key_S),
         "Draw Strokes as Points on Build Canvas", SLOT(canvasDrawSegmentAsPoints())},
        {"Delete current Strokes on Build Canvas", K(Qt::ALT | Qt::Key_D),
         "Delete current Strokes on Build Canvas", SLOT(canvasDeleteStrokes())},
        {"Use Strokes on Build Canvas as Rendering Element", K(Qt::ALT | Qt::Key_R),
         "Use Strokes on Build Canvas as Rendering Element",
         SLOT(canvasUseStrokesAsRenderingElements())},
        {"Toggle capability to erase strokes", K(Qt::ALT | Qt::Key_E),
         "UToggle capability to erase strokes", SLOT(canvasToggleEraseCapability())},
        {"Toggle &picking rendering", K("Ctrl+P"), "Toggle picking rendering for debug purposes",
         SLOT(togglePickingRendering())},
        {"Show Context Menu", K(Qt::ALT | Qt::Key_C), "Show Context Menu", SLOT(openContextMenu())},
        {"Hide Context Menu", K(Qt::SHIFT | Qt::Key_C), "Hide Context Menu",
         SLOT(closeContextMenu())},
        {"Show Palette", K(Qt::ALT | Qt::Key_P), "Show Palette", SLOT(openPalette())},
        {"Hide Palette", K(Qt::SHIFT | Qt::Key_P), "Hide Paletet", SLOT(closePalette())},
        {"Set Fake Posture to Pen", K(Qt::ALT | Qt::Key_1), "Set Fake Posture to Pen",
         SLOT(setPenFakePosture())},
        {"Set Fake Posture to One Finger", K(Qt::ALT | Qt::Key_2), "Set Fake Posture to",
         SLOT(setOneFingerFakePosture())},
        {"Set Fake Posture to Two Fingers", K(Qt::ALT | Qt::Key_3),
         "Set Fake Posture to two fingers", SLOT(setTwoFingersFakePosture())},
        {"Set Fake Posture to Fist", K(Qt::ALT | Qt::Key_4), "Set Fake Posture to",
         SLOT(setFistFakePosture())},
        {"Set Fake Posture to Hand", K(Qt::ALT | Qt::Key_5), "Set Fake Posture to Hand",
         SLOT(setHandFakePosture())},
        {"Write Color Buffer to Image", K(Qt::CTRL | Qt::ALT | Qt::Key_1),
         "Write Color Buffer to Image", SLOT(createColorBufferImage())},
        {"Write Temporary Color Buffer to Image", K(Qt::CTRL | Qt::ALT | Qt::Key_2),
         "Write Temporary Color Buffer to Image", SLOT(createTempColorBufferImage())},
        {"Write Selection Buffer to Image", K(Qt::CTRL | Qt::ALT | Qt::Key_4),
         "Write Selection Buffer to Image", SLOT(createSelectionBufferImage())},
        {"Write Dropoff Buffer to Image", K(Qt::CTRL | Qt::ALT | Qt::Key_5),
         "Write Dropoff Buffer to Image", SLOT(createDropoffBufferImage())},
        {"Write depth Buffer to Image", K(Qt::CTRL | Qt::ALT | Qt::Key_6),
         "Write depth Buffer to Image", SLOT(createDepthBufferImage())},
        {"Write temp orient Buffer to Image", K(Qt::CTRL | Qt::ALT | Qt::Key_7),
         "Write temp orient Buffer to Image", SLOT(createOrientationBufferImage())},
        {"Write gradient Buffer to Image", K(Qt::CTRL | Qt::ALT | Qt::Key_8),
         "Write gradient Buffer to Image", SLOT(createGradientBufferImage())},
        {"", K(Qt::CTRL | Qt::ALT | Qt::Key_9), "", SLOT(createTargetAreaBufferImage()),
         "Write target area Buffer to Image"},
        {"", K(Qt::CTRL | Qt::Key_F1), "", SLOT(switchToCreateMode()), "Create mode"},
        {"", K(Qt::CTRL | Qt::Key_F2), "", SLOT(switchToEraseMode()), "Erase mode"},
        {"", K(Qt::CTRL | Qt::Key_F3), "", SLOT(switchToColorMode()), "Colour mode"},
        {"", K(Qt::CTRL | Qt::Key_F4), "", SLOT(switchToSizeMode()), "Size mode"},
        {"", K(Qt::CTRL | Qt::Key_F5), "", SLOT(switchToMoveMode()), "Move mode"},
        {"", K(Qt::CTRL | Qt::Key_F6), "", SLOT(switchToOrientationMode()), "Orientation mode"},
        // The palette's colour from a dialog (also without a palette on the table).
        {"Choose Paint Color", K(Qt::CTRL | Qt::Key_F7), "Choose the color the color brush paints",
         SLOT(choosePaintColor())},
        {"", K(Qt::CTRL | Qt::Key_F9), "", SLOT(setDTWIINCInputCombo()),
         "Input combination 5: postures choose the mode, Nunchuk buttons the variant"},
        {"", K(Qt::CTRL | Qt::Key_F10), "", SLOT(setDTWIIInputCombo()),
         "Input combination 0: the mode keys choose, the posture the variant"},
        {"", K(Qt::CTRL | Qt::Key_F11), "", SLOT(setDTWIIPointingNCModesInputCombo()),
         "Input combination 6: Wii pointing, Nunchuk modes"},
        {"", K(Qt::ALT | Qt::Key_T), "", SLOT(switchIntoTaskMode()), "Task mode on"},
        {"", K(Qt::SHIFT | Qt::Key_T), "", SLOT(switchOutOfTaskMode()), "Task mode off"},
    };
    for (const Row& row : windowOnly) {
        QAction* a = addAction(row.text, row.key, row.tip, this, row.slot);
        if (row.what) a->setWhatsThis(row.what);
    }
    QAction* start = addAction("", K(Qt::Key_Space), "", w, SLOT(startTask()));
    start->setWhatsThis("Start the next task");

    fileMenu = menuBar()->addMenu("&File");
    fileMenu->addAction(quit);
    fileMenu->addAction(load);
    fileMenu->addAction(newPainting);
    fileMenu->addAction(openPaintingAction);
    fileMenu->addAction(savePaintingAction);
    fileMenu->addAction(exportImageAction);
    editMenu = menuBar()->addMenu("&Edit");
    editMenu->addAction(undo);
    editMenu->addAction(redo);
    // A disabled entry tells why in its tooltip.
    editMenu->setToolTipsVisible(true);
    connect(glWidget, &QTRuduzozovorERUWidgetGL::taskRunningChanged, this,
            &QTRuduzozovorERUApplication::blockUndoForTask);
    controlMenu = menuBar()->addMenu("&Control");
    controlMenu->addAction(startStop);
    controlMenu->addSeparator();
    controlMenu->addAction(faster);
    controlMenu->addAction(slower);
    controlMenu->addSeparator();
    controlMenu->addAction(add);
    controlMenu->addAction(remove);
    controlMenu->addSeparator();
    controlMenu->addAction(realFull);
    controlMenu->addAction(multiFull);
    controlMenu->addAction(bars);
    controlMenu->addSeparator();
    controlMenu->addAction(cursor);
    controlMenu->addAction(tracking);
    demosMenu = menuBar()->addMenu("&Demos");
    demosMenu->addAction(demo1);
    demosMenu->addAction(demo2);
    demosMenu->addAction(demo3);
    hardwareMenu = menuBar()->addMenu("&Hardware");
    hardwareMenu->addAction(mipMappingAction);
    hardwareMenu->addAction(linearFilteringAction);
    hardwareMenu->addAction(textureCompressionAction);
    hardwareMenu->addAction(arbTextureCompressionAction);
}

// ---------------------------------------------------------------------------------------------
// Export

void QTRuduzozovorERUApplication::exportImage()
{
    const int w = glWidget->framebufferWidth();
    const int h = glWidget->framebufferHeight();
    QStringList scales;
    for (int s : {1, 2, 3, 4})
        scales << QString("%1x (%2 x %3 pixels)").arg(s).arg(w * s).arg(h * s);
    bool ok = false;
    const QString choice =
        QInputDialog::getItem(this, "Export Image", "Size of the image:", scales, 0, false, &ok);
    if (!ok) return;
    const int scale = scales.indexOf(choice) + 1;
    const QString path = QFileDialog::getSaveFileName(
        this, "Export Image", QDir::current().filePath("painting.png"), "PNG images (*.png)");
    if (path.isEmpty()) return;
    exportImageTo(path.endsWith(".png", Qt::CaseInsensitive) ? path : path + ".png", scale);
}

bool QTRuduzozovorERUApplication::exportImageTo(const QString& path, int scale)
{
    const QString why = glWidget->exportImage(path, scale);
    const QString message =
        why.isEmpty() ? QString("Exported %1 (%2 x %3 pixels)")
                            .arg(path)
                            .arg(glWidget->framebufferWidth() * scale)
                            .arg(glWidget->framebufferHeight() * scale)
                      : QString("Cannot export the image: %1").arg(why);
    std::cout << message.toStdString() << std::endl;
    statusBar()->showMessage(message, 10000);
    return why.isEmpty();
}

// ---------------------------------------------------------------------------------------------
// Status bar

void QTRuduzozovorERUApplication::setFps(float fps) { fpsLabel->setNum(fps); }
void QTRuduzozovorERUApplication::setObjectNumber(unsigned int n)
{
    objectNumberLabel->setNum(static_cast<int>(n));
}
void QTRuduzozovorERUApplication::setBufferSize(unsigned int w, unsigned int h)
{
    bufferWidthLabel->setNum(static_cast<int>(w));
    bufferHeightLabel->setNum(static_cast<int>(h));
}
void QTRuduzozovorERUApplication::setMemorySize(unsigned long kilobytes)
{
    memoryLabel->setNum(static_cast<double>(kilobytes) * 0.0009765625);
}
void QTRuduzozovorERUApplication::setUserNumber(unsigned int n)
{
    usersLabel->setNum(static_cast<int>(n));
}

QString QTRuduzozovorERUApplication::statusText() const
{
    QString text;
    for (QLabel* label : statusBar()->findChildren<QLabel*>()) text += label->text();
    return text;
}

// ---------------------------------------------------------------------------------------------
// Display modes

void QTRuduzozovorERUApplication::setMenusVisible(bool visible)
{
    menuBar()->setVisible(visible);
    statusBar()->setVisible(visible);
}

void QTRuduzozovorERUApplication::toggleFullscreen()
{
    if (isFullScreen()) {
        setMenusVisible(true);
        showNormal();
        return;
    }
    if (multiMonitorFullscreen) toggleMultiMonitorFullscreen();
    if (!statusbarsInFullscreen) setMenusVisible(false);
    showFullScreen();
}

void QTRuduzozovorERUApplication::toggleMultiMonitorFullscreen()
{
    // A frameless window over the whole virtual desktop; panels are the window manager's.
    if (multiMonitorFullscreen) {
        setMenusVisible(true);
        setWindowFlags(savedFlags);
        setGeometry(savedGeometry);
        show();
    } else {
        if (isFullScreen()) showNormal();
        if (!statusbarsInFullscreen) setMenusVisible(false);
        savedGeometry = geometry();
        savedFlags = windowFlags();
        const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
        const QRect desktop = screen ? screen->virtualGeometry() : geometry();
        setWindowFlags(savedFlags | Qt::FramelessWindowHint);
        setGeometry(desktop);
        show();
    }
    multiMonitorFullscreen = !multiMonitorFullscreen;
}

void QTRuduzozovorERUApplication::toggleStatusbars()
{
    if (isFullScreen() || multiMonitorFullscreen) setMenusVisible(!statusbarsInFullscreen);
    statusbarsInFullscreen = !statusbarsInFullscreen;
}

// ---------------------------------------------------------------------------------------------
// Hardware switches: mip mapping pairs with linear filtering, texture compression with ARB
// texture compression.

void QTRuduzozovorERUApplication::mipMapping()
{
    mipMappingFlag = !mipMappingFlag;
    mipMappingAction->setChecked(mipMappingFlag);
    if (!mipMappingFlag) {
        linearFilteringFlag = false;
        linearFilteringAction->setChecked(false);
    }
    emit toggleMipMapping(mipMappingFlag);
    showHardwareMessage();
}

void QTRuduzozovorERUApplication::linearFiltering()
{
    linearFilteringFlag = !linearFilteringFlag;
    linearFilteringAction->setChecked(linearFilteringFlag);
    if (linearFilteringFlag) {
        mipMappingFlag = true;
        mipMappingAction->setChecked(true);
    }
    emit toggleLinearFiltering(linearFilteringFlag);
    showHardwareMessage();
}

void QTRuduzozovorERUApplication::textureCompression()
{
    textureCompressionFlag = !textureCompressionFlag;
    textureCompressionAction->setChecked(textureCompressionFlag);
    if (!textureCompressionFlag) {
        arbTextureCompressionFlag = false;
        arbTextureCompressionAction->setChecked(false);
    }
    emit toggleTextureCompression(textureCompressionFlag);
    showHardwareMessage();
}

void QTRuduzozovorERUApplication::arbTextureCompression()
{
    arbTextureCompressionFlag = !arbTextureCompressionFlag;
    arbTextureCompressionAction->setChecked(arbTextureCompressionFlag);
    if (arbTextureCompressionFlag) {
        textureCompressionFlag = true;
        textureCompressionAction->setChecked(true);
    }
    emit toggleARBTextureCompression(arbTextureCompressionFlag);
    showHardwareMessage();
}

void QTRuduzozovorERUApplication::notifyMipMapping(bool on)
{
    mipMappingFlag = on;
    mipMappingAction->setChecked(on);
    if (!on) {
        linearFilteringFlag = false;
        linearFilteringAction->setChecked(false);
    }
}

void QTRuduzozovorERUApplication::notifyLinearFiltering(bool on)
{
    linearFilteringFlag = on;
    linearFilteringAction->setChecked(on);
    if (on) {
        mipMappingFlag = true;
        mipMappingAction->setChecked(true);
    }
}

void QTRuduzozovorERUApplication::notifyTextureCompression(bool on)
{
    textureCompressionFlag = on;
    textureCompressionAction->setChecked(on);
    if (!on) {
        arbTextureCompressionFlag = false;
        arbTextureCompressionAction->setChecked(false);
    }
}

void QTRuduzozovorERUApplication::notifyARBTextureCompression(bool on)
{
    arbTextureCompressionFlag = on;
    arbTextureCompressionAction->setChecked(on);
    if (on) {
        textureCompressionFlag = true;
        textureCompressionAction->setChecked(true);
    }
}

void QTRuduzozovorERUApplication::showHardwareMessage()
{
    ++hardwareMessageCount;
    if (!hardwareMessageEnabled) return;
    QMessageBox::information(this, "Important Note",
                             "Changing hardware accelleration settings\n will be effective only "
                             "after creating a new demo!Thank you.",
                             QMessageBox::Ok);
}

void QTRuduzozovorERUApplication::about()
{
    QMessageBox::about(this, kTitle,
                       QString(kTitle) +
                           "\n\nVersion 1.2 (Summer 2006)\n\nBuilt by the nprtable developers on "
                           "the tavlor tabletop framework.");
}

void QTRuduzozovorERUApplication::togglePickingRendering()
{
    pickingRendering = !pickingRendering;
    if (TabletopVis* vis = glWidget->getVis()) vis->setPickingRendering(pickingRendering);
}

void QTRuduzozovorERUApplication::choosePaintColor()
{
    // A cancelled dialog keeps the colour (its invalid result would paint black).
    const QColor c = QColorDialog::getColor(Qt::white, this);
    if (!c.isValid()) return;
    glWidget->changePaintColor(static_cast<unsigned char>(c.red()),
                               static_cast<unsigned char>(c.green()),
                               static_cast<unsigned char>(c.blue()));
}

void QTRuduzozovorERUApplication::setInputCombo(int combo)
{
    if (RuduzozovorERUVisGL* vis = glWidget->getApplicationVis()) vis->setInputCombo(combo);
}

void QTRuduzozovorERUApplication::setDTWIIInputCombo() { setInputCombo(0); }
void QTRuduzozovorERUApplication::setDTWIINCInputCombo() { setInputCombo(5); }
void QTRuduzozovorERUApplication::setDTWIIPointingNCModesInputCombo() { setInputCombo(6); }

// ---------------------------------------------------------------------------------------------
// Forwarding slots. Their targets (stroke build canvas, canvas, palette, context menu, reference
// image) are painting components; while the scene holds none of them these do nothing.

namespace {
GeoStrokeBuildCanvasCompositeGL* buildCanvasOf(QTRuduzozovorERUWidgetGL* widget)
{
    RuduzozovorERUVisGL* vis = widget->getApplicationVis();
    return vis ? vis->findFirst<GeoStrokeBuildCanvasCompositeGL>() : nullptr;
}
} // namespace

void QTRuduzozovorERUApplication::openElementBuildCanvas()
{
    std::cout << "Opening new canvas for element creation." << std::endl;
    if (auto* b = buildCanvasOf(glWidget)) b->open();
}
void QTRuduzozovorERUApplication::toggleElementBuildCanvasMovementWithoutExtend()
{
    std::cout << "Toggling ability for moving build canvas without touch extend." << std::endl;
    if (auto* b = buildCanvasOf(glWidget)) b->toggleMovementWithoutExtend();
}
void QTRuduzozovorERUApplication::toggleElementBuildCanvasVisibility()
{
    if (auto* b = buildCanvasOf(glWidget)) b->toggleVisibility();
}
void QTRuduzozovorERUApplication::closeElementBuildCanvas()
{
    if (auto* b = buildCanvasOf(glWidget)) b->close();
}
void QTRuduzozovorERUApplication::enableElementBuildCanvasMovementWithoutExtend()
{
    if (auto* b = buildCanvasOf(glWidget)) b->enableMovementWithoutExtend();
}
void QTRuduzozovorERUApplication::disableElementBuildCanvasMovementWithoutExtend()
{
    if (auto* b = buildCanvasOf(glWidget)) b->disableMovementWithoutExtend();
}
void QTRuduzozovorERUApplication::canvasDeleteStrokes()
{
    if (auto* b = buildCanvasOf(glWidget)) b->deleteStrokes();
}
void QTRuduzozovorERUApplication::canvasDrawSegmentAsStroke()
{
    if (auto* b = buildCanvasOf(glWidget)) b->drawSegmentsAsStrokes();
}
void QTRuduzozovorERUApplication::canvasDrawSegmentAsPoints()
{
    if (auto* b = buildCanvasOf(glWidget)) b->drawSegmentsAsPoints();
}
void QTRuduzozovorERUApplication::canvasUseStrokesAsRenderingElements()
{
    glWidget->useBuildCanvasStrokes();
}
void QTRuduzozovorERUApplication::canvasToggleEraseCapability()
{
    if (auto* b = buildCanvasOf(glWidget)) b->toggleEraseCapability();
}
void QTRuduzozovorERUApplication::openContextMenu()
{
    RuduzozovorERUVisGL* vis = glWidget->getApplicationVis();
    if (auto* menu = vis ? vis->findFirst<ContextMenuGL>() : nullptr) menu->show();
}
void QTRuduzozovorERUApplication::closeContextMenu()
{
    RuduzozovorERUVisGL* vis = glWidget->getApplicationVis();
    if (auto* menu = vis ? vis->findFirst<ContextMenuGL>() : nullptr) menu->hide();
}
void QTRuduzozovorERUApplication::openPalette()
{
    RuduzozovorERUVisGL* vis = glWidget->getApplicationVis();
    if (auto* p = vis ? vis->findFirst<PaletteLeafGL>() : nullptr) p->show();
}
void QTRuduzozovorERUApplication::closePalette()
{
    RuduzozovorERUVisGL* vis = glWidget->getApplicationVis();
    if (auto* p = vis ? vis->findFirst<PaletteLeafGL>() : nullptr) p->hide();
}
namespace {
CanvasCompositeGL* canvasOf(QTRuduzozovorERUWidgetGL* widget)
{
    RuduzozovorERUVisGL* vis = widget->getApplicationVis();
    return vis ? vis->findFirst<CanvasCompositeGL>() : nullptr;
}
} // namespace

void QTRuduzozovorERUApplication::setPenFakePosture()
{
    if (CanvasCompositeGL* c = canvasOf(glWidget)) c->setFakePosture(PEN, 3, 3);
}
void QTRuduzozovorERUApplication::setOneFingerFakePosture()
{
    if (CanvasCompositeGL* c = canvasOf(glWidget)) c->setFakePosture(ONE_FINGER, 10, 10);
}
void QTRuduzozovorERUApplication::setTwoFingersFakePosture()
{
    if (CanvasCompositeGL* c = canvasOf(glWidget)) c->setFakePosture(TWO_FINGERS, 15, 15);
}
void QTRuduzozovorERUApplication::setFistFakePosture()
{
    if (CanvasCompositeGL* c = canvasOf(glWidget)) c->setFakePosture(FIST, 50, 50);
}
void QTRuduzozovorERUApplication::setHandFakePosture()
{
    if (CanvasCompositeGL* c = canvasOf(glWidget)) c->setFakePosture(HAND, 350, 350);
}

#define NPR_BUFFER_IMAGE(slot, tag)                                                             \
    void QTRuduzozovorERUApplication::slot()                                                    \
    {                                                                                           \
        if (CanvasCompositeGL* c = canvasOf(glWidget)) c->createBufferImage(tag);               \
    }
NPR_BUFFER_IMAGE(createTargetAreaBufferImage, TARGET_AREA_BUFFER)
NPR_BUFFER_IMAGE(createPrimColorBufferImage, COLOR_BUFFER)
NPR_BUFFER_IMAGE(createTempColorBufferImage, TEMPORARY_COLOR_BUFFER)
NPR_BUFFER_IMAGE(createColorBufferImage, COLOR_BUFFER)
NPR_BUFFER_IMAGE(createSelectionBufferImage, SELECTION_BUFFER)
NPR_BUFFER_IMAGE(createDropoffBufferImage, DROP_OFF_BUFFER)
NPR_BUFFER_IMAGE(createOrientationBufferImage, TEMPORARY_ORIENTATION_BUFFER)
NPR_BUFFER_IMAGE(createGradientBufferImage, GRADIENT_BUFFER)
NPR_BUFFER_IMAGE(createDepthBufferImage, DEPTH_BUFFER)
#undef NPR_BUFFER_IMAGE

#define NPR_MODE(slot, mode)                                                                    \
    void QTRuduzozovorERUApplication::slot()                                                    \
    {                                                                                           \
        if (CanvasCompositeGL* c = canvasOf(glWidget)) c->setInteractionMode(mode);             \
    }
NPR_MODE(switchToCreateMode, 0)
NPR_MODE(switchToEraseMode, 1)
NPR_MODE(switchToOrientationMode, 3)
NPR_MODE(switchToMoveMode, 4)
NPR_MODE(switchToSizeMode, 5)
NPR_MODE(switchToColorMode, 6)
#undef NPR_MODE

void QTRuduzozovorERUApplication::blockUndoForTask(bool running)
{
    const struct {
        QAction* action;
        const char* tip;
        const char* blocked;
    } entries[] = {
        {undoAction, "Take back the last gesture", "Undo is off while a study task runs"},
        {redoAction, "Bring back the last gesture taken back", "Redo is off while a study task runs"},
    };
    for (const auto& e : entries) {
        e.action->setEnabled(!running);
        e.action->setStatusTip(running ? e.blocked : e.tip);
        e.action->setToolTip(running ? e.blocked : e.action->text().remove('&'));
    }
}

void QTRuduzozovorERUApplication::switchIntoTaskMode() { setTaskMode(true); }
void QTRuduzozovorERUApplication::switchOutOfTaskMode() { setTaskMode(false); }

void QTRuduzozovorERUApplication::setTaskMode(bool on)
{
    if (RuduzozovorERUVisGL* vis = glWidget->getApplicationVis())
        if (CanvasCompositeGL* canvas = vis->findFirst<CanvasCompositeGL>())
            canvas->setTaskVisible(on);
    glWidget->setTaskMode(on);
    glWidget->update();
}

void QTRuduzozovorERUApplication::closeEvent(QCloseEvent* event)
{
    // Closing during a task keeps its rows.
    if (glWidget) glWidget->finishTasksAtQuit();
    // A normal end: nothing to recover next time.
    recoveryTimer->stop();
    if (recovery) recovery->finish();
    QMainWindow::closeEvent(event);
}

// ---------------------------------------------------------------------------------------------
// Wii remotes over OSC

void QTRuduzozovorERUApplication::createWiiSockets()
{
    const auto& c = *configuration;
    oscReceiveSocket = new QUdpSocket(this);
    const uint32_t port = c.osc.receive_port;
    if (port == 0 || port > 65535)
        std::cout << "Wii input: receive port " << port << " is outside 1..65535; not listening"
                  << std::endl;
    else if (!oscReceiveSocket->bind(QHostAddress::LocalHost, static_cast<quint16>(port)))
        std::cout << "Wii input: cannot listen on port " << port << ": "
                  << oscReceiveSocket->errorString().toStdString() << std::endl;
    connect(oscReceiveSocket, &QUdpSocket::readyRead, this,
            &QTRuduzozovorERUApplication::readPendingDatagrams);
    wiiInput = std::make_unique<WiiInput>(c.userdata.wiis, c.userdata.number,
                                          static_cast<int>(c.mainwindow.width),
                                          static_cast<int>(c.mainwindow.height),
                                          c.wii.joystick_speed_factor);
    // The send socket uses any free local port: the bridge listens on the send port itself.
    oscSendSocket = new QUdpSocket(this);
    oscSendSocket->bind(QHostAddress::LocalHost, 0);
}

void QTRuduzozovorERUApplication::readPendingDatagrams()
{
    while (oscReceiveSocket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = oscReceiveSocket->receiveDatagram();
        const QByteArray data = datagram.data();
        wiiInput->processDatagram(data.constData(), static_cast<std::size_t>(data.size()),
                                  glWidget);
    }
}

void QTRuduzozovorERUApplication::sendBorderMessage(bool left)
{
    const uint32_t port = configuration->osc.send_port;
    if (port == 0 || port > 65535) return;
    char buffer[64];
    osc::OutboundPacketStream p(buffer, sizeof buffer);
    p << osc::BeginMessage("/wiidata/leftBorderRegion") << left << osc::EndMessage;
    oscSendSocket->writeDatagram(p.Data(), static_cast<qint64>(p.Size()),
                                 QHostAddress(QHostAddress::LocalHost), static_cast<quint16>(port));
}

void QTRuduzozovorERUApplication::loadColorReferenceImage()
{
    // The image is looked up in the current scene: a demo change has already taken the one
    // placed before with its controller.
    RuduzozovorERUVisGL* vis = glWidget->getApplicationVis();
    auto* current = vis ? vis->findFirst<ReferenceImageLeafGL>() : nullptr;
    if (referenceImageLoaded && current) {
        current->setRemoveRequest(true);
        referenceImageLoaded = false;
        referenceImage = nullptr;
        return;
    }
    referenceImageLoaded = false;
    referenceImageFileName = QFileDialog::getOpenFileName(this, "Open File", QDir::currentPath());
    // A cancelled dialog places nothing.
    if (!referenceImageFileName.isEmpty()) placeReferenceImage(referenceImageFileName);
}

bool QTRuduzozovorERUApplication::placeReferenceImage(const QString& file)
{
    RuduzozovorERUVisGL* vis = glWidget->getApplicationVis();
    if (!vis) return false;
    // The picture covers the table (the widget's framebuffer), centred on it.
    const double w = vis->getScreenWidth(), h = vis->getScreenHeight();
    glWidget->makeCurrent();
    ReferenceImageLeafGL* image =
        vis->createReferenceImage(w * 0.5, h * 0.5, w, h, file.toStdString());
    if (image) image->setSize(w, h);
    glWidget->doneCurrent();
    if (!image) return false;
    if (!image->isLoaded()) {
        // Nothing to show or copy: the item leaves again at the next frame.
        image->setRemoveRequest(true);
        return false;
    }
    referenceImage = image;
    referenceImageLoaded = true;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Menu availability, the tool indicator and the help window

void QTRuduzozovorERUApplication::updateHardwareAvailability()
{
    // Without the driver's extension the controller turns compression off again at the next
    // texture load: the entries would not stay ticked.
    TabletopVis* vis = glWidget->getVis();
    const struct {
        QAction* action;
        unsigned int extension;
        const char* name;
    } items[] = {{textureCompressionAction, 1, "GL_EXT_texture_compression_s3tc"},
                 {arbTextureCompressionAction, 2, "GL_ARB_texture_compression"}};
    for (const auto& item : items) {
        const bool available = !vis || vis->hasHardwareExtension(item.extension);
        item.action->setEnabled(available);
        item.action->setToolTip(available ? item.action->statusTip()
                                          : QString("This OpenGL driver has no %1").arg(item.name));
    }
}

QString QTRuduzozovorERUApplication::toolIndicator() const
{
    RuduzozovorERUVisGL* vis = glWidget->getApplicationVis();
    const CanvasCompositeGL* canvas = vis ? vis->findFirst<CanvasCompositeGL>() : nullptr;
    if (!canvas) return QString();
    // A tool chosen on the palette is the mode of the next touches.
    int mode = canvas->getInteractionMode();
    switch (static_cast<int>(canvas->getPaletteTool())) {
    case 1: mode = CanvasCompositeGL::MODE_SIZE; break;
    case 2: mode = CanvasCompositeGL::MODE_ORIENT; break;
    case 3: mode = CanvasCompositeGL::MODE_COLOR; break;
    case 4:
        mode = canvas->getPaletteToolStrength() < 0.0f ? CanvasCompositeGL::MODE_ERASE
                                                       : CanvasCompositeGL::MODE_CREATE;
        break;
    case 5: mode = CanvasCompositeGL::MODE_MOVE; break;
    default: break;
    }
    return toolIndicatorText(vis->getInputCombo(), mode, canvas->getFakePosture(),
                             canvas->getPreviousChosenPosture());
}

void QTRuduzozovorERUApplication::updateToolIndicator()
{
    if (!statusBar()->isVisible()) return;
    const QString text = toolIndicator();
    if (toolLabel->text() != text) toolLabel->setText(text);
}

namespace {

QString actionName(const QAction* a)
{
    QString name = a->text().isEmpty() ? a->whatsThis() : a->text();
    name.remove('&');
    return name.toHtmlEscaped();
}

QString actionRow(const QAction* a)
{
    QString row = "<tr><td>" + a->shortcut().toString(QKeySequence::NativeText).toHtmlEscaped() +
                  "</td><td>" + actionName(a) + "</td>";
    if (!a->isEnabled()) row += "<td>" + a->toolTip().toHtmlEscaped() + "</td>";
    return row + "</tr>";
}

} // namespace

QString QTRuduzozovorERUApplication::keysAndGesturesHtml() const
{
    // Built from the actions that exist, so it follows every change of them.
    QString html = "<h3>Menus</h3><table cellspacing=\"4\">";
    QList<QAction*> listed;
    for (QAction* menuAction : menuBar()->actions()) {
        QMenu* menu = menuAction->menu();
        if (!menu) continue;
        html += "<tr><th colspan=\"2\" align=\"left\">" + actionName(menuAction) + "</th></tr>";
        for (QAction* a : menu->actions()) {
            if (a->isSeparator()) continue;
            html += actionRow(a);
            listed << a;
        }
    }
    html += "</table><h3>Keys</h3><table cellspacing=\"4\">";
    for (QAction* a : actions())
        if (!listed.contains(a) && !a->shortcut().isEmpty()) html += actionRow(a);
    html += "</table><h3>Postures</h3><p>A touch's contact size tells the posture; the mouse and "
            "contacts without a size touch like one finger. The Alt keys fix a posture for the "
            "mouse.</p><table cellspacing=\"4\"><tr><th align=\"left\">Posture</th>"
            "<th align=\"left\">At start (input combination 7)</th></tr>";
    for (int posture = 0; posture <= 4; ++posture)
        html += "<tr><td>" + postureName(posture) + "</td><td>" + defaultComboEffect(posture) +
                "</td></tr>";
    html += "</table><h3>Modes</h3><p>With input combination 0 the mode keys choose the tool:";
    for (int mode : {0, 1, 3, 4, 5, 6}) html += " " + modeName(mode) + ",";
    html.chop(1);
    html += ". The status bar shows the current mode, posture and input combination.</p>"
            "<p>On the table: the corner menu's icon opens the context menu (Create, Erase, "
            "Colour; Modify steps through orientation, move and size), a tool chosen there "
            "switches to input combination 0; the band under the icon opens the stroke menu "
            "(points, tiles or a stroke shape).</p>";
    return html;
}

void QTRuduzozovorERUApplication::showKeysAndGestures()
{
    if (!helpWindow) {
        helpWindow = new QDialog(this);
        helpWindow->setWindowTitle("Keys and gestures");
        auto* browser = new QTextBrowser(helpWindow);
        auto* layout = new QVBoxLayout(helpWindow);
        layout->addWidget(browser);
        helpWindow->resize(640, 720);
    }
    helpWindow->findChild<QTextBrowser*>()->setHtml(keysAndGesturesHtml());
    helpWindow->show();
    helpWindow->raise();
}

// ---------------------------------------------------------------------------------------------
// Saving, opening and recovering the painting

bool QTRuduzozovorERUApplication::ask(const QString& title, const QString& text, bool yesByDefault)
{
    if (answerer_) return answerer_(title, text);
    if (!isVisible()) return true;
    return QMessageBox::question(this, title, text, QMessageBox::Yes | QMessageBox::No,
                                 yesByDefault ? QMessageBox::Yes : QMessageBox::No) ==
           QMessageBox::Yes;
}

void QTRuduzozovorERUApplication::warn(const QString& text)
{
    std::cout << text.toStdString() << std::endl;
    if (!answerer_ && isVisible()) QMessageBox::warning(this, kTitle, text);
}

bool QTRuduzozovorERUApplication::savePaintingTo(const QString& path)
{
    QString error;
    if (!glWidget->savePainting(path, &error)) {
        warn(error);
        return false;
    }
    paintingFolder = QFileInfo(path).absolutePath();
    statusBar()->showMessage(QString("Saved the painting to \"%1\".").arg(path), 5000);
    return true;
}

bool QTRuduzozovorERUApplication::openPaintingFrom(const QString& path)
{
    QString error;
    if (!glWidget->openPainting(path, &error)) {
        warn(error);
        return false;
    }
    paintingFolder = QFileInfo(path).absolutePath();
    statusBar()->showMessage(QString("Opened the painting \"%1\".").arg(path), 5000);
    return true;
}

void QTRuduzozovorERUApplication::savePainting()
{
    const QString filter = QString("Paintings (*.%1)").arg(painting::kSuffix);
    QString path = QFileDialog::getSaveFileName(
        this, "Save painting", paintingFolder.isEmpty() ? QDir::currentPath() : paintingFolder, filter);
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QString(".") + painting::kSuffix;
    savePaintingTo(path);
}

void QTRuduzozovorERUApplication::openPainting()
{
    if (glWidget->isPaintingModified() &&
        !ask("Discard the painting?", "The painting has changes that are not saved. Discard them?"))
        return;
    const QString filter = QString("Paintings (*.%1);;All files (*)").arg(painting::kSuffix);
    const QString path = QFileDialog::getOpenFileName(
        this, "Open painting", paintingFolder.isEmpty() ? QDir::currentPath() : paintingFolder, filter);
    if (!path.isEmpty()) openPaintingFrom(path);
}

void QTRuduzozovorERUApplication::startSession(const QString& recoveryFolder, int intervalSeconds,
                                               const QString& painting)
{
    recovery = std::make_unique<PaintingRecovery>(recoveryFolder);
    if (!recovery->isActive()) std::cout << recovery->problem().toStdString() << std::endl;
    recoveryTimer->setInterval(std::max(1, intervalSeconds) * 1000);
    startPainting = painting;
    sessionPending = true;
    if (firstSceneBuilt) QTimer::singleShot(0, this, &QTRuduzozovorERUApplication::runStartActions);
}

void QTRuduzozovorERUApplication::runStartActions()
{
    if (!sessionPending) return;
    sessionPending = false;
    bool restored = false;
    const QString left = recovery ? recovery->leftBehind() : QString();
    if (!left.isEmpty()) {
        const QString when = QFileInfo(left).lastModified().toString("yyyy-MM-dd hh:mm");
        if (ask("Restore the painting?",
                QString("nprtable did not end normally last time. Restore the painting as it was "
                        "at %1?").arg(when), true))
            restored = openPaintingFrom(left);
        else
            recovery->discardLeftBehind();
    }
    if (!restored && !startPainting.isEmpty()) openPaintingFrom(startPainting);
    recoveryStamp = glWidget->paintingStamp();
    if (recovery && recovery->isActive()) recoveryTimer->start();
}

void QTRuduzozovorERUApplication::writeRecovery()
{
    if (!recovery || !recovery->isActive()) return;
    const quint64 stamp = glWidget->paintingStamp();
    if (stamp == recoveryStamp) return;
    const QString failed = recovery->waitForWrite();
    if (!failed.isEmpty()) std::cout << failed.toStdString() << std::endl;
    PaintingSnapshot snapshot;
    if (!glWidget->capturePainting(&snapshot)) return;
    recovery->write(std::move(snapshot));
    recoveryStamp = stamp;
}
