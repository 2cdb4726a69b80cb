#include "QTRuduzozovorERUWidgetGL.h"

#include "ControllerSetup.h"
#include "RuduzozovorERUBuilderGL.h"
#include "RuduzozovorERUVisGL.h"
#include "TuioReceiver.h"
#include "canvas/CanvasCompositeGL.h"
#include "canvas/GeoStrokeBuildCanvasCompositeGL.h"
#include "canvas/PaintingFile.h"
#include "canvas/PaintingSnapshot.h"
#include "canvas/PictureExporter.h"
#include "canvas/PaletteLeafGL.h"
#include "core/Random.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QTabletEvent>
#include <QThread>
#include <QTimer>
#include <QTouchEvent>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <iostream>
#include <stdexcept>
#include <string>

QTRuduzozovorERUWidgetGL::QTRuduzozovorERUWidgetGL(QWidget* parent,
                                                   VeskConfiguration* configuration)
    : QOpenGLWidget(parent),
      RuduzozovorERUBuildDirector(configuration),
      frameTimer(new QTimer(this)),
      taskFont32("Arial", 32, QFont::Bold),
      taskFont36("Arial", 36, QFont::Bold),
      pressToBeginText("Press 'Z' to begin the first task."),
      allTasksDoneText("All tasks are completed. Congratulations!"),
      noTaskText("No task description available"),
      touchRouter(this)
{
    // The timer exists for callers that want a paced loop; the loop itself is paintGL asking
    // for the next frame.
    connect(frameTimer, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    if (configuration && configuration->startup.animation) animating = true;

    // Touches arrive once, as touch events: no mouse events are synthesized from them.
    setAttribute(Qt::WA_AcceptTouchEvents);
    setFocusPolicy(Qt::StrongFocus);

    tavlor::seedRand15(static_cast<unsigned int>(std::time(nullptr)));

    if (configuration && configuration->touchinput.tuio) {
        const quint16 port = static_cast<quint16>(configuration->touchinput.tuio_port);
        tuio = std::make_unique<QTTuioReceiver>(this, QHostAddress(QHostAddress::LocalHost), port,
                                                std::max(1, width()), std::max(1, height()));
    }
}

QTRuduzozovorERUWidgetGL::~QTRuduzozovorERUWidgetGL()
{
    tuio.reset();
    // The controller frees textures and display lists: it goes while the context is current.
    makeCurrent();
    vis = nullptr;
    builder.reset();
    doneCurrent();
}

RuduzozovorERUVisGL* QTRuduzozovorERUWidgetGL::getApplicationVis() const
{
    return dynamic_cast<RuduzozovorERUVisGL*>(vis);
}

int QTRuduzozovorERUWidgetGL::framebufferWidth() const
{
    return static_cast<int>(std::lround(width() * devicePixelRatioF()));
}

int QTRuduzozovorERUWidgetGL::framebufferHeight() const
{
    return static_cast<int>(std::lround(height() * devicePixelRatioF()));
}

// ---------------------------------------------------------------------------------------------
// Controller and scene

void QTRuduzozovorERUWidgetGL::createController()
{
    ControllerSettings settings;
    settings.widgetWidth = framebufferWidth();
    settings.widgetHeight = framebufferHeight();
    settings.mipMapping = mipMapping;
    settings.linearFiltering = linearFiltering;
    settings.textureCompression = textureCompression;
    settings.arbTextureCompression = arbTextureCompression;
    settings.animating = animating;
    ControllerSetupResult r;
    try {
        r = createConfiguredController(*builder, *configuration, settings);
    } catch (const std::exception& e) {
        abandonScene("Configuration: globalbuffers width=\"" +
                     std::to_string(configuration->globalbuffers.width) + "\" height=\"" +
                     std::to_string(configuration->globalbuffers.height) +
                     "\" cannot be allocated (" + e.what() + "); exiting");
        return;
    }
    vis = r.vis;
    // Every pointer of every source goes down through the controller: the painting is recorded
    // before the first one of a gesture.
    if (vis) vis->setPressObserver([this](unsigned int) { history.gestureBegins(); });
    scaleX = r.scaleX;
    scaleY = r.scaleY;
    areaFactor = r.areaFactor;
    pointerInput.setController(vis);
    pointerInput.setSurfaceHeight(settings.widgetHeight);
    pointerInput.setUnsizedContactSide([this] { return double(fingerContactSide()); });
    pointerPositions[0] = static_cast<float>(settings.widgetWidth * 0.5);
    pointerPositions[1] = static_cast<float>(settings.widgetHeight * 0.5);
}

void QTRuduzozovorERUWidgetGL::buildScene(unsigned int type, bool withPrimitives)
{
    // Steps of another scene's canvas do not apply to the new one.
    history.setCanvas(nullptr);
    if (!vis) return;
    try {
        if (type <= 3) vis = buildDemo(type, builder.get(), withPrimitives);
    } catch (const std::exception& e) {
        pointerInput.setController(nullptr);
        abandonScene("Configuration: the scene of demo " + std::to_string(type) +
                     " in a window of " + std::to_string(framebufferWidth()) + " x " +
                     std::to_string(framebufferHeight()) + " pixels (mainwindow, canvas_surface "
                     "overflow) cannot be allocated (" + e.what() + "); exiting");
        return;
    }
    demoType = type;
    ++scenesBuilt;
    pointerInput.setController(vis);
    if (!vis) return;
    vis->renderAllTouchIndicatorWithExtend(configuration->touchextend.render);
    // The painting scene: the canvas classifies postures with the ranges the controller got from
    // the configuration, and receives the Wii events of every user.
    if (RuduzozovorERUVisGL* app = getApplicationVis()) {
        if (CanvasCompositeGL* canvas = app->findFirst<CanvasCompositeGL>()) {
            canvas->updatePostureRanges();
            vis->setLastComponent(canvas);
            history.setCanvas(canvas);
        }
        // The build canvas's brush: k spring, damping drag, ductus width scale, max_th and
        // min_th the width limits, mass, vh_init the start speed.
        if (auto* build = app->findFirst<GeoStrokeBuildCanvasCompositeGL>()) {
            const VeskConfiguration::StrokeSim& s = configuration->strokesim;
            build->setSimulationParameters(s.k, s.damping, s.ductus, s.max_th, s.min_th, s.mass,
                                           s.vh_init);
            build->updatePostureRanges();
        }
    }
    applyPaintColor();
}

namespace {
void exitWithFailureWhenRunning();
}

// A scene that does not fit in memory cannot run: say so and leave with a failure status once
// the event loop runs. The controller is no longer drawn; the builder still releases it.
void QTRuduzozovorERUWidgetGL::abandonScene(const std::string& message)
{
    std::cout << message << std::endl;
    vis = nullptr;
    exitWithFailureWhenRunning();
}

namespace {

// QCoreApplication::exit only reaches an event loop that is running; the widget may be set up
// before the application's loop starts, so the request waits for one.
void exitWithFailureWhenRunning()
{
    QTimer::singleShot(0, qApp, [] {
        if (QThread::currentThread()->loopLevel() > 0)
            QCoreApplication::exit(1);
        else
            exitWithFailureWhenRunning();
    });
}

} // namespace

void QTRuduzozovorERUWidgetGL::useBuildCanvasStrokes()
{
    makeCurrent();
    placeBuildCanvasStrokes();
    doneCurrent();
}

void QTRuduzozovorERUWidgetGL::placeBuildCanvasStrokes()
{
    RuduzozovorERUVisGL* app = getApplicationVis();
    if (!builder || !app) return;
    // Nothing drawn, nothing to use (the builder's stand-in shape is for the demo only).
    const auto* build = app->findFirst<GeoStrokeBuildCanvasCompositeGL>();
    if (!build || build->getBoard().getStrokes().empty()) return;
    const VeskConfiguration::GeoStrokes& g = configuration->geostrokes;
    if (g.number.empty()) {
        builder->buildGeoStrokes(100.0, 100.0, 100, 32);
    } else {
        for (std::size_t i = 0; i < g.number.size(); ++i)
            builder->buildGeoStrokes(i < g.width.size() ? g.width[i] : 100.0,
                                     i < g.height.size() ? g.height[i] : 100.0, g.number[i],
                                     i < g.num_segments.size() ? g.num_segments[i] : 32);
    }
    if (CanvasCompositeGL* canvas = app->findFirst<CanvasCompositeGL>()) canvas->markChanged();
    emitStatus();
}

QString QTRuduzozovorERUWidgetGL::exportImage(const QString& path, int scale, int tileLimit)
{
    RuduzozovorERUVisGL* app = getApplicationVis();
    CanvasCompositeGL* canvas = app ? app->findFirst<CanvasCompositeGL>() : nullptr;
    if (!canvas) return "there is no painting canvas";
    makeCurrent();
    PictureExporter exporter(app, canvas, tileLimit);
    const bool ok = exporter.exportPng(path, scale);
    doneCurrent();
    return ok ? QString() : exporter.error();
}

bool QTRuduzozovorERUWidgetGL::undo()
{
    if (tasks.isTaskRunning() || !history.canUndo() || history.isGestureOpen()) return false;
    makeCurrent();
    const bool done = history.undo();
    doneCurrent();
    emitStatus();
    update();
    return done;
}

bool QTRuduzozovorERUWidgetGL::redo()
{
    if (tasks.isTaskRunning() || !history.canRedo() || history.isGestureOpen()) return false;
    makeCurrent();
    const bool done = history.redo();
    doneCurrent();
    emitStatus();
    update();
    return done;
}

void QTRuduzozovorERUWidgetGL::initializeGL()
{
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    builder = std::make_unique<RuduzozovorERUBuilderGL>();
    const auto& g = configuration->graphics;
    mipMapping = g.mipmapping;
    linearFiltering = g.linear_filering;
    textureCompression = g.texure_compression;
    arbTextureCompression = g.arb_texture_compression;
    createController();
    if (vis) vis->enableMipMapping(mipMapping);
    buildScene(configuration->startup.demo_type, !configuration->startup.empty_canvas);
    loadTaskList();
    compileTextBackdrop();
    savedStamp = paintingStamp();
    emitStatus();
    emit sceneBuilt();
}

void QTRuduzozovorERUWidgetGL::changeDemo(int type)
{
    if (type < 0) return;
    if (isPaintingModified() && discardConfirmer && !discardConfirmer()) return;
    rebuild(static_cast<unsigned int>(type), true);
}

void QTRuduzozovorERUWidgetGL::newPainting()
{
    if (isPaintingModified() && discardConfirmer && !discardConfirmer()) return;
    rebuild(demoType, false);
}

namespace {
CanvasCompositeGL* paintingCanvas(const QTRuduzozovorERUWidgetGL& widget)
{
    RuduzozovorERUVisGL* app = widget.getApplicationVis();
    return app ? app->findFirst<CanvasCompositeGL>() : nullptr;
}
} // namespace

quint64 QTRuduzozovorERUWidgetGL::paintingStamp() const
{
    const CanvasCompositeGL* canvas = paintingCanvas(*this);
    return (scenesBuilt << 40) + (canvas ? canvas->getRevision() : 0);
}

bool QTRuduzozovorERUWidgetGL::capturePainting(PaintingSnapshot* snapshot) const
{
    const CanvasCompositeGL* canvas = paintingCanvas(*this);
    if (!canvas) return false;
    *snapshot = PaintingSnapshot::capture(*canvas);
    return true;
}

bool QTRuduzozovorERUWidgetGL::savePainting(const QString& path, QString* error)
{
    PaintingSnapshot snapshot;
    if (!capturePainting(&snapshot)) {
        if (error) *error = QString("Cannot save the painting \"%1\": there is no canvas.").arg(path);
        return false;
    }
    const quint64 stamp = paintingStamp();
    if (!painting::save(snapshot, path, error)) return false;
    savedStamp = stamp;
    return true;
}

bool QTRuduzozovorERUWidgetGL::openPainting(const QString& path, QString* error)
{
    CanvasCompositeGL* canvas = paintingCanvas(*this);
    if (!canvas) {
        if (error) *error = QString("Cannot open the painting \"%1\": there is no canvas.").arg(path);
        return false;
    }
    // Primitives are made and deleted with their display lists: the context is current.
    makeCurrent();
    const bool ok = painting::loadInto(path, *canvas, error);
    doneCurrent();
    if (!ok) return false;
    // An opened painting starts a history of its own.
    history.setCanvas(canvas);
    savedStamp = paintingStamp();
    emitStatus();
    update();
    return true;
}

void QTRuduzozovorERUWidgetGL::rebuild(unsigned int type, bool withPrimitives)
{
    if (!builder) return;
    // The user's tool choice outlives the scene: input combination, explicit mode and fake
    // posture (buildScene applies the paint colour).
    int combo = -1;
    int mode = CanvasCompositeGL::MODE_CREATE_ERASE;
    int fake = PostureClassifier::NONE, fakeWidth = 0, fakeHeight = 0;
    if (RuduzozovorERUVisGL* app = getApplicationVis()) {
        combo = app->getInputCombo();
        // The palette's colour outlives the scene like a colour from the dialog.
        if (const PaletteLeafGL* palette = app->findFirst<PaletteLeafGL>()) {
            const Color& c = palette->state().paintColor();
            paintColor[0] = c.r;
            paintColor[1] = c.g;
            paintColor[2] = c.b;
            paintColorChosen = true;
        }
        if (const CanvasCompositeGL* canvas = app->findFirst<CanvasCompositeGL>()) {
            mode = canvas->getInteractionMode();
            fake = canvas->getFakePosture();
            fakeWidth = canvas->getFakeContactWidth();
            fakeHeight = canvas->getFakeContactHeight();
        }
    }
    makeCurrent();
    history.setCanvas(nullptr);
    // The previous controller is released here, with its textures, while the context is current.
    builder->setVis(nullptr);
    vis = nullptr;
    createController();
    buildScene(type, withPrimitives);
    if (tasks.isTaskRunning()) setCanvasTask(tasks.currentTaskNumber());
    if (RuduzozovorERUVisGL* app = getApplicationVis()) {
        if (combo >= 0) app->setInputCombo(combo);
        if (CanvasCompositeGL* canvas = app->findFirst<CanvasCompositeGL>()) {
            if (fake != PostureClassifier::NONE) canvas->setFakePosture(fake, fakeWidth, fakeHeight);
            // Modes chosen by an action; posture-chosen ones are chosen again by the next touch.
            const bool explicitModes = combo == 0 || combo == 1 || combo == 2 || combo == 6;
            if (explicitModes && canvas::handlerOfMode(mode) != canvas::Handler::None)
                canvas->setInteractionMode(mode);
        }
    }
    doneCurrent();
    savedStamp = paintingStamp();
    emitStatus();
    emit sceneBuilt();
    update();
}

void QTRuduzozovorERUWidgetGL::emitStatus()
{
    if (!vis) return;
    emit bufferSize(vis->getBufferWidth(), vis->getBufferHeight());
    emit objectNumber(static_cast<unsigned int>(vis->countComponents()));
    emit allocatedMemorySize(vis->getAllocatedMemorySize());
    emit userNumber(vis->getNumberOfUsers());
    emit notifyMipMapping(vis->isMipMapping());
    emit notifyLinearFiltering(vis->isLinearFiltering());
    emit notifyTextureCompression(vis->isTextureCompression());
    emit notifyARBTextureCompression(vis->isARBTextureCompression());
}

// ---------------------------------------------------------------------------------------------
// Frames

void QTRuduzozovorERUWidgetGL::resizeGL(int, int)
{
    const int w = framebufferWidth();
    const int h = framebufferHeight();
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, w, 0, h, -1, 1000);
    glMatrixMode(GL_MODELVIEW);
    if (vis) vis->setScreensize(static_cast<unsigned int>(w), static_cast<unsigned int>(h));
    pointerInput.setSurfaceHeight(h);
    if (tuio) tuio->setSurfaceSize(w, h);
}

float QTRuduzozovorERUWidgetGL::pushFrameValue(double value)
{
    frameRateSum = frameRateSum - frameRateWindow[frameRateIndex] + value;
    frameRateWindow[frameRateIndex] = value;
    frameRateIndex = (frameRateIndex + 1) % kFrameRateWindow;
    lastFps = static_cast<float>(std::trunc(frameRateSum * 0.25 + 0.5) * 0.1);
    return lastFps;
}

void QTRuduzozovorERUWidgetGL::paintGL()
{
    // Lifting the eraser opens the stroke build canvas; putting it back uses the drawn shapes
    // and closes it.
    const bool eraser = pointerInput.isEraserActive();
    if (eraser != eraserActiveBefore) {
        RuduzozovorERUVisGL* app = getApplicationVis();
        if (auto* build = app ? app->findFirst<GeoStrokeBuildCanvasCompositeGL>() : nullptr) {
            if (eraser) {
                build->open();
            } else {
                placeBuildCanvasStrokes();
                build->close();
            }
        }
    }
    eraserActiveBefore = eraser;
    if (!vis) return;
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    const double value = vis->render(vis->getNumberOfUsers(), animationSpeed);
    history.frameRendered(*vis);
    emit fpsChanged(pushFrameValue(value));
    glPopMatrix();
    drawTaskOverlay();
    update();
    // Erased primitives leave without changing buffer memory; the count is refreshed anyway.
    if (vis->bufferMemoryChanged() || vis->countComponents() != lastComponentCount) emitStatus();
    lastComponentCount = vis->countComponents();
}

// ---------------------------------------------------------------------------------------------
// Mouse: pointer 0

bool QTRuduzozovorERUWidgetGL::fromTouchScreen(const QMouseEvent* event) const
{
    const QPointingDevice* device = event->pointingDevice();
    return device && device->type() == QInputDevice::DeviceType::TouchScreen;
}

void QTRuduzozovorERUWidgetGL::mouseToPointer(const QMouseEvent* event, int& x, int& y)
{
    const double dpr = devicePixelRatioF();
    const int h = framebufferHeight();
    x = static_cast<int>(std::floor(event->position().x() * dpr));
    const int wy = static_cast<int>(std::floor(event->position().y() * dpr));
    y = h - 1 - wy;
    pointerPositions[0] = pointerPositions[2] = static_cast<float>(x);
    pointerPositions[1] = pointerPositions[3] = static_cast<float>(h - wy);
}

void QTRuduzozovorERUWidgetGL::mousePressEvent(QMouseEvent* event)
{
    if (fromTouchScreen(event) || !vis) return;
    int x = 0, y = 0;
    mouseToPointer(event, x, y);
    vis->resizeTouchIndicator(0, 0.0, 0.0);
    // The mouse has no contact area: it touches like one finger, so it paints right away; the
    // fake-posture actions choose other postures.
    const double side = fingerContactSide();
    vis->setTouchBoundHeight(0, side);
    vis->setTouchBoundWidth(0, side);
    vis->devicePress(static_cast<unsigned int>(std::max(0, x)),
                     static_cast<unsigned int>(std::max(0, y)), 0, 0);
    logTouch(0, std::max(0, x), std::max(0, y), static_cast<int>(side), static_cast<int>(side));
}

void QTRuduzozovorERUWidgetGL::mouseMoveEvent(QMouseEvent* event)
{
    if (fromTouchScreen(event) || !vis) return;
    int x = 0, y = 0;
    mouseToPointer(event, x, y);
    // Outside the widget the pointer keeps its last in-range coordinate.
    vis->deviceMove(static_cast<unsigned int>(std::max(0, x)),
                    static_cast<unsigned int>(std::max(0, y)), 0, 0);
    if (event->buttons() != Qt::NoButton) {
        const int side = fingerContactSide();
        logTouch(2, std::max(0, x), std::max(0, y), side, side);
    }
}

void QTRuduzozovorERUWidgetGL::mouseReleaseEvent(QMouseEvent* event)
{
    if (fromTouchScreen(event) || !vis) return;
    int x = 0, y = 0;
    mouseToPointer(event, x, y);
    vis->resizeTouchIndicator(0, 0.0, 0.0);
    vis->deviceRelease(static_cast<unsigned int>(std::max(0, x)),
                       static_cast<unsigned int>(std::max(0, y)), 0, 0);
    const int side = fingerContactSide();
    logTouch(1, std::max(0, x), std::max(0, y), side, side);
}

// ---------------------------------------------------------------------------------------------
// Touch screens and styluses

bool QTRuduzozovorERUWidgetGL::event(QEvent* e)
{
    switch (e->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
        touchRouter.handle(*static_cast<QTouchEvent*>(e), devicePixelRatioF());
        e->accept();
        return true;
    case QEvent::TabletLeaveProximity:
        OnNoTool(0);
        break;
    default:
        break;
    }
    return QOpenGLWidget::event(e);
}

void QTRuduzozovorERUWidgetGL::tabletEvent(QTabletEvent* event)
{
    if (event->pointerType() == QPointingDevice::PointerType::Eraser)
        OnEraser(0);
    else
        OnPen(0);
    // Not accepted: the stylus also draws as the mouse.
    event->ignore();
}

// ---------------------------------------------------------------------------------------------
// Touch callbacks

void QTRuduzozovorERUWidgetGL::OnXYDown(int x, int y, int z, int pointerId)
{
    pointerInput.OnXYDown(x, y, z, pointerId);
    logTouch(0, x, std::max(0, framebufferHeight() - 1 - y), pointerInput.lastContactFirst(),
             pointerInput.lastContactSecond());
}

void QTRuduzozovorERUWidgetGL::OnXYMove(int x, int y, int z, int pointerId)
{
    pointerInput.OnXYMove(x, y, z, pointerId);
    logTouch(2, x, std::max(0, framebufferHeight() - 1 - y), pointerInput.lastContactFirst(),
             pointerInput.lastContactSecond());
}

void QTRuduzozovorERUWidgetGL::OnXYUp(int x, int y, int z, int pointerId)
{
    pointerInput.OnXYUp(x, y, z, pointerId);
    logTouch(1, x, std::max(0, framebufferHeight() - 1 - y), pointerInput.lastContactFirst(),
             pointerInput.lastContactSecond());
}

void QTRuduzozovorERUWidgetGL::OnDViTRawWidthHeight(int first, int second, int pointerId)
{
    pointerInput.OnDViTRawWidthHeight(first, second, pointerId);
}

int QTRuduzozovorERUWidgetGL::fingerContactSide() const
{
    const RuduzozovorERUVisGL* app = getApplicationVis();
    if (!app) return static_cast<int>(kMouseContactSize);
    return PostureClassifier::fingerContactSide(app->getOneFingerMin(), app->getOneFingerMax());
}

void QTRuduzozovorERUWidgetGL::OnEraser(int pointerId) { pointerInput.OnEraser(pointerId); }
void QTRuduzozovorERUWidgetGL::OnPen(int pointerId) { pointerInput.OnPen(pointerId); }
void QTRuduzozovorERUWidgetGL::OnNoTool(int pointerId) { pointerInput.OnNoTool(pointerId); }

// ---------------------------------------------------------------------------------------------
// Slots

void QTRuduzozovorERUWidgetGL::changePaintColor(unsigned char r, unsigned char g, unsigned char b)
{
    paintColor[0] = r;
    paintColor[1] = g;
    paintColor[2] = b;
    paintColorChosen = true;
    applyPaintColor();
}

void QTRuduzozovorERUWidgetGL::applyPaintColor()
{
    // The colour brush paints with tool-state cells (3, 1) to (3, 3). A palette publishes its
    // colour there every frame, so a chosen colour becomes the palette's.
    RuduzozovorERUVisGL* app = getApplicationVis();
    CanvasCompositeGL* canvas = app ? app->findFirst<CanvasCompositeGL>() : nullptr;
    if (!paintColorChosen || !canvas) return;
    if (PaletteLeafGL* palette = app->findFirst<PaletteLeafGL>())
        palette->setPaintColor(Color(paintColor[0], paintColor[1], paintColor[2]));
    for (unsigned int i = 0; i < 3; ++i) canvas->setToolState(3, i + 1, paintColor[i]);
}

void QTRuduzozovorERUWidgetGL::changePaintRadius(float radius) { paintRadius = radius; }

void QTRuduzozovorERUWidgetGL::addObjects()
{
    if (!builder || !vis) return;
    const auto& images = configuration->images;
    const double w = images.width.empty() ? 100.0 : images.width.front();
    const double h = images.height.empty() ? 100.0 : images.height.front();
    makeCurrent();
    builder->buildImages(w, h, configuration->object_add_and_remove.number_per_step);
    doneCurrent();
    emitStatus();
}

void QTRuduzozovorERUWidgetGL::removeObjects()
{
    if (!vis) return;
    makeCurrent();
    for (uint32_t i = 0; i < configuration->object_add_and_remove.number_per_step; ++i)
        vis->deleteLastImageComponent();
    doneCurrent();
    emitStatus();
}

void QTRuduzozovorERUWidgetGL::toggleAnimating()
{
    animating = !animating;
    if (vis) vis->setAnimating(animating);
    if (animating) update();
}

void QTRuduzozovorERUWidgetGL::startAnimating()
{
    animating = true;
    if (vis) vis->setAnimating(true);
    update();
}

void QTRuduzozovorERUWidgetGL::stopAnimating()
{
    animating = false;
    if (vis) vis->setAnimating(false);
}

void QTRuduzozovorERUWidgetGL::toggleMouseTracking()
{
    mouseTracking = !mouseTracking;
    setMouseTracking(mouseTracking);
}

void QTRuduzozovorERUWidgetGL::toggleCursor()
{
    if (cursorVisible) {
        setCursor(Qt::BlankCursor);
        cursorVisible = false;
    } else {
        setCursor(Qt::ArrowCursor);
        cursorVisible = true;
    }
}

void QTRuduzozovorERUWidgetGL::toggleMipMapping(bool on)
{
    if (!vis) return;
    // The switch is applied, not only read back, so the next demo is built with it.
    vis->enableMipMapping(on);
    mipMapping = vis->isMipMapping();
    linearFiltering = vis->isLinearFiltering();
}

void QTRuduzozovorERUWidgetGL::toggleLinearFiltering(bool on)
{
    if (!vis) return;
    vis->enableLinearFiltering(on);
    mipMapping = vis->isMipMapping();
    linearFiltering = vis->isLinearFiltering();
}

void QTRuduzozovorERUWidgetGL::toggleTextureCompression(bool on)
{
    if (!vis) return;
    vis->enableTextureCompression(on);
    textureCompression = vis->isTextureCompression();
    arbTextureCompression = vis->isARBTextureCompression();
}

void QTRuduzozovorERUWidgetGL::toggleARBTextureCompression(bool on)
{
    if (!vis) return;
    vis->enableARBTextureCompression(on);
    textureCompression = vis->isTextureCompression();
    arbTextureCompression = vis->isARBTextureCompression();
}
