#include "canvas/CanvasCompositeGL.h"

#include "canvas/CanvasBuffers.h"
#include "canvas/ContextMenuGL.h"
#include "canvas/CornerMenuGL.h"
#include "canvas/MenuRegions.h"
#include "canvas/StrokeMenuGL.h"
#include "canvas/CurveField.h"
#include "components/LensGL.h"
#include "core/Random.h"
#include "shell/RuduzozovorERUVisGL.h"
#include "study/TaskPopulation.h"
#include "vis/TabletopVisGL.h"

#include "canvas/ToolBrushLeafGL.h"
#include "canvas/PaletteLeafGL.h"
#include "canvas/PrimitiveLeafGL.h"

#include <FTGL/ftgl.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <IL/il.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <type_traits>
#include <utility>

namespace {

// Table pixel to canvas buffer cell.
void toBufferCell(const VisComponent& c, double tx, double ty, int* bx, int* by)
{
    double lx = 0.0, ly = 0.0;
    c.getLocalCoordinates(tx, ty, c.getWidth(), c.getHeight(), &lx, &ly);
    *bx = static_cast<int>(std::lround(lx / c.getXScale() + 1.5 - 0.5));
    *by = static_cast<int>(std::lround(ly / c.getYScale() + 1.5 - 0.5));
}

template <class T>
BufferTemplate<T>* makeBuffer(unsigned int channels, unsigned int w, unsigned int h)
{
    auto* b = new BufferTemplate<T>(channels, 0);
    b->setSizeAndAllocateMemory(w, h);
    return b;
}

// A buffer with every entry v.
template <class T>
BufferTemplate<T>* makeFilledBuffer(unsigned int channels, unsigned int w, unsigned int h, T v)
{
    BufferTemplate<T>* b = makeBuffer<T>(channels, w, h);
    b->fillEntireBuffer(v);
    return b;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Construction

CanvasCompositeGL::CanvasCompositeGL(TabletopVisGL* vis, unsigned int width, unsigned int height,
                                     double x, double y, double z, double borderSize,
                                     double overflowSize, unsigned int numberOfToolBrushes,
                                     float initialPrimitiveSize_, float toolStateParameter_)
    : SurfaceCompositeGL(vis, width, height, x, y, z, borderSize, overflowSize),
      initialPrimitiveSize(initialPrimitiveSize_), toolStateParameter(toolStateParameter_)
{
    toolStateWidth = kToolStateSize;
    toolStateHeight = kToolStateSize;
    // The surface made its own buffers; the canvas has a set of its own.
    removeActiveBuffers();
    createActiveBuffers();
    storedBufferWidth = getBufferWidth();
    storedBufferHeight = getBufferHeight();

    frameList = glGenLists(1);
    glNewList(frameList, GL_COMPILE);
    drawFrameGL();
    glEndList();

    for (unsigned int i = 0; i < numberOfToolBrushes; ++i) {
        auto* brush = createToolBrush();
        if (!brush) continue;
        addChild(brush);
        toolBrushes.push_back(brush);
    }
    updatePostureRanges();
    buildModeLabels();
}

CanvasCompositeGL::~CanvasCompositeGL()
{
    releaseAllChildren();
    // Children left to the framework's teardown must not reach the store once it is gone.
    store.detachAll();
    removeActiveBuffers();
    if (frameList) glDeleteLists(frameList, 1);
    if (selectionOutlineList) glDeleteLists(selectionOutlineList, 1);
    for (unsigned int list : labelLists)
        if (list) glDeleteLists(list, 1);
}

ToolBrushLeafGL* CanvasCompositeGL::createToolBrush()
{
    auto* vis = dynamic_cast<TabletopVisGL*>(getController());
    if (!vis) return nullptr;
    auto* brush = new ToolBrushLeafGL(vis, 230.0, 230.0, getXPos(), getYPos(), getZPos() + 1.0,
                                      600, 200.0f);
    vis->addComponent(brush, false);
    return brush;
}

void CanvasCompositeGL::createActiveBuffers()
{
    TabletopVis* vis = getController();
    if (vis) vis->pushTimeState();
    ++bufferGeneration;
    createAdditionalBuffers();
    const unsigned int w = getBufferWidth();
    const unsigned int h = getBufferHeight();

    setActiveBuffer(VALIDITY_MASK_BUFFER, makeFilledBuffer<bool>(1, w, h, true));
    setActiveBuffer(TARGET_AREA_BUFFER, makeFilledBuffer<bool>(1, w, h, false));
    setActiveBuffer(ABSOLUTE_SIZE_BUFFER, makeFilledBuffer<float>(1, w, h, initialPrimitiveSize));
    // Magnification of the primitives: 1.0 except where size lenses lie.
    setActiveBuffer(RELATIVE_SIZE_BUFFER, makeFilledBuffer<float>(1, w, h, 1.0f));
    auto* orientation = makeBuffer<float>(2, w, h);
    canvas::fillRandomOrientation(*orientation);
    setActiveBuffer(ORIENTATION_BUFFER, orientation);
    auto* color = makeBuffer<unsigned char>(3, w, h);
    unsigned char paper[3] = {120, 100, 40};
    color->fillEntireBufferWith3DValue(paper);
    setActiveBuffer(COLOR_BUFFER, color);
    setActiveBuffer(DIRECTION_BUFFER, makeFilledBuffer<float>(2, w, h, 0.0f));
    setActiveBuffer(ERASE_BUFFER, makeFilledBuffer<float>(1, w, h, 0.0f));
    setActiveBuffer(FRAME_VECTOR_BUFFER, makeFilledBuffer<float>(2, w, h, 0.0f));
    setActiveBuffer(SPEED_BUFFER, makeFilledBuffer<int>(1, w, h, 0));
    auto* slowDown = makeBuffer<float>(1, w, h);
    canvas::fillBorderSlowDown(*slowDown,
                               static_cast<float>(vis ? vis->getTossingSlowdownFactor() : 0.98));
    setActiveBuffer(TOSSING_FRICTION_BUFFER, slowDown);
    auto* tools = makeBuffer<float>(1, toolStateWidth, toolStateHeight);
    canvas::initializeToolState(*tools, toolStateParameter);
    setActiveBuffer(TOOL_STATE_BUFFER, tools);
    if (vis) vis->popTimeState();
}

void CanvasCompositeGL::createAdditionalBuffers()
{
    const unsigned int w = getBufferWidth();
    const unsigned int h = getBufferHeight();
    setActiveBuffer(SIZE_DIFFERENCE_BUFFER, makeFilledBuffer<float>(1, w, h, 0.0f));
    setActiveBuffer(SECOND_TEMPORARY_ORIENTATION_BUFFER, makeFilledBuffer<float>(2, w, h, 0.0f));
    setActiveBuffer(TEMPORARY_ORIENTATION_BUFFER, makeFilledBuffer<float>(2, w, h, 0.0f));
    setActiveBuffer(TEMPORARY_COLOR_BUFFER, makeFilledBuffer<unsigned char>(3, w, h, 127));
    setActiveBuffer(SELECTION_BUFFER, makeFilledBuffer<bool>(1, w, h, false));
    setActiveBuffer(AUXILIARY_SELECTION_BUFFER, makeFilledBuffer<bool>(1, w, h, false));
    setActiveBuffer(AUXILIARY_VECTOR_BUFFER, makeFilledBuffer<float>(2, w, h, 0.0f));
    // The drop-off buffer is written by the brushes before anything reads it; zeroed so that an
    // image of it never shows stale memory.
    auto* dropOff = makeBuffer<float>(1, w, h);
    dropOff->clearBuffer();
    setActiveBuffer(DROP_OFF_BUFFER, dropOff);
    // New buffers hold nothing of an earlier curve.
    curveDepthReady = false;
    curveTangents.clear();
    curveOrientationCells.clear();
    curveOrientationHold = 0;
    auto* depth = makeBuffer<double>(1, w, h);
    depth->fillEntireBuffer(0.0);
    setActiveBuffer(DEPTH_BUFFER, depth);
    auto* gradient = makeBuffer<double>(2, w, h);
    gradient->fillEntireBuffer(0.0);
    setActiveBuffer(GRADIENT_BUFFER, gradient);
}

// ---------------------------------------------------------------------------------------------
// Children

int CanvasCompositeGL::addChild(VisComponent* child)
{
    if (!child) return 0;
    if (child->getParent() == this) return 0;
    if (!SurfaceCompositeGL::addChild(child)) return 0;
    if (isPalette(child)) {
        if (numberOfPalettes < kMaxPalettes)
            palettes[numberOfPalettes++] = child;
        else
            std::cout << "WARNING: CanvasCompositeGL: no room for a fourth palette." << std::endl;
    }
    childrenById[child->getId()] = child;
    if (auto* menu = dynamic_cast<MenuGL*>(child)) menusById[child->getId()] = menu;
    return 1;
}

int CanvasCompositeGL::removeChild(VisComponent* child)
{
    if (!child || childrenById.find(child->getId()) == childrenById.end()) return 0;
    for (unsigned int i = 0; i < numberOfPalettes; ++i) {
        if (palettes[i] != child) continue;
        for (unsigned int j = i + 1; j < numberOfPalettes; ++j) palettes[j - 1] = palettes[j];
        palettes[--numberOfPalettes] = nullptr;
        break;
    }
    childrenById.erase(child->getId());
    menusById.erase(child->getId());
    // A child still queued for deletion must not be deleted after it left the canvas.
    deletionQueued.erase(child);
    return SurfaceCompositeGL::removeChild(child);
}

bool CanvasCompositeGL::isPalette(VisComponent* child) const
{
    return dynamic_cast<PaletteLeafGL*>(child) != nullptr;
}

void CanvasCompositeGL::queueForDeletion(VisComponent* component)
{
    if (!component) return;
    // Each entry is deleted once: a primitive eroded in two frames is queued only once.
    if (!deletionQueued.insert(component).second) return;
    deletionQueue.push_back(component);
}

unsigned int CanvasCompositeGL::countPrimitivesOfCurrentLayer()
{
    unsigned int n = 0;
    const int layer = static_cast<int>(getToolState(0, 3));
    for (const auto& entry : children)
        if (auto* p = dynamic_cast<PrimitiveLeafGL*>(entry.second))
            if (p->getPrimitiveType() == layer) ++n;
    return n;
}

// ---------------------------------------------------------------------------------------------
// Tool-state grid

BufferTemplate<float>* CanvasCompositeGL::getToolStateGrid() const
{
    return getActiveBufferAs<float>(TOOL_STATE_BUFFER);
}

float CanvasCompositeGL::getToolState(unsigned int column, unsigned int row) const
{
    BufferTemplate<float>* grid = getToolStateGrid();
    if (!grid || column >= grid->getWidth() || row >= grid->getHeight()) return 0.0f;
    return grid->getValue(column, row);
}

void CanvasCompositeGL::setToolState(unsigned int column, unsigned int row, float value)
{
    BufferTemplate<float>* grid = getToolStateGrid();
    if (!grid || column >= grid->getWidth() || row >= grid->getHeight()) return;
    grid->setValue(column, row, value);
}

ToolBrushLeafGL* CanvasCompositeGL::getToolBrush(unsigned int index) const
{
    return index < toolBrushes.size() ? toolBrushes[index] : nullptr;
}

VisComponent* CanvasCompositeGL::getPalette(unsigned int index) const
{
    return index < numberOfPalettes ? palettes[index] : nullptr;
}

// ---------------------------------------------------------------------------------------------
// Settings and queries

void CanvasCompositeGL::setInteractionMode(int mode)
{
    // The last choice wins: a mode chosen by an action ends the palette's tool.
    paletteTool = -1.0f;
    interactionMode = mode;
    modeChanged = true;
    labelFader.restart();
}

void CanvasCompositeGL::printInteractionMode()
{
    std::cout << "InteractionMode: " << interactionMode << std::endl;
}

void CanvasCompositeGL::setFakePosture(int posture, int contactWidth, int contactHeight)
{
    fakePosture = posture;
    fakeContactWidth = contactWidth;
    fakeContactHeight = contactHeight;
}

void CanvasCompositeGL::updatePostureRanges()
{
    if (auto* app = dynamic_cast<RuduzozovorERUVisGL*>(getController()))
        app->applyPostureRanges(classifier);
}

bool CanvasCompositeGL::getRecordTouchPosition() { return recordTouchPosition; }
void CanvasCompositeGL::setRecordTouchPosition(bool on) { recordTouchPosition = on; }
bool CanvasCompositeGL::isPainting() { return firstTouch; }
float CanvasCompositeGL::getInitialPrimitiveSize() { return initialPrimitiveSize; }
void CanvasCompositeGL::setWiiIndex(int index) { wiiIndex = index; }
int CanvasCompositeGL::getSizeStep() { return sizeStep; }
int CanvasCompositeGL::getBrushStrength() { return static_cast<int>(brushStrength); }

int CanvasCompositeGL::inputCombination() const
{
    auto* app = dynamic_cast<RuduzozovorERUVisGL*>(getController());
    return app ? app->getInputCombo() : 7;
}

bool CanvasCompositeGL::nunchukC() const { return currentWii.nunchuk().c; }
bool CanvasCompositeGL::nunchukZ() const { return currentWii.nunchuk().z; }
float CanvasCompositeGL::joystickX() const { return currentWii.nunchuk().joyX; }
float CanvasCompositeGL::joystickY() const { return currentWii.nunchuk().joyY; }

void CanvasCompositeGL::setOrientationSubModeFollow()
{
    setToolState(0, 0, 2.0f);
    setToolState(2, 1, 3.0f);
}
void CanvasCompositeGL::setOrientationSubModeRadial() { setToolState(2, 1, 0.0f); }
void CanvasCompositeGL::setOrientationSubModeCircular() { setToolState(2, 1, 1.0f); }

// ---------------------------------------------------------------------------------------------
// Touches

unsigned int CanvasCompositeGL::hitLocalBuffer(unsigned int x, unsigned int y,
                                               unsigned int boundWidth, unsigned int boundHeight)
{
    // The context menu follows the touches on the canvas.
    if (ContextMenuGL* menu = findContextMenu()) menu->moveTo(x, y);
    int bx = 0, by = 0;
    toBufferCell(*this, x, y, &bx, &by);

    selectionOutline = false;
    selectionOutlineDashed = false;
    if (recordTouchPosition && getToolStateGrid()) {
        setToolState(6, 0, static_cast<float>(bx));
        setToolState(6, 1, static_cast<float>(by));
    }
    const bool newTouch = touchReleased;
    if (newTouch) {
        firstTouch = true;
        if (recordTouchPosition) recordStarted = true;
    }
    prepareBrushesForTouch();

    const int contactW = fakePosture == PostureClassifier::NONE ? static_cast<int>(boundWidth)
                                                                 : fakeContactWidth;
    const int contactH = fakePosture == PostureClassifier::NONE ? static_cast<int>(boundHeight)
                                                                 : fakeContactHeight;
    const int reported = classifier.classify(static_cast<int>(x), static_cast<int>(y), contactW,
                                             contactH);
    const int posture = fakePosture == PostureClassifier::NONE ? reported : fakePosture;

    canvas::TouchInput in = touchInput(posture);
    in.newTouch = newTouch;
    const canvas::TouchDecision d = canvas::decideTouch(in);
    brushStrength = d.strength;
    sizeStep = d.sizeStep;
    previousChosenPosture = d.previousChosenPosture;
    if (d.dropPendingChoice) pendingMenuChoice = false;
    if (d.clearModeChanged) modeChanged = false;
    interactionMode = d.mode;
    if (d.writeIdleKind) setToolState(0, 0, 8.0f);
    if (paletteTool >= 0.0f && d.handler != canvas::Handler::None) {
        // The palette's tool replaces what the posture or mode would choose.
        setToolState(0, 0, paletteTool);
        if (paletteTool == 1.0f || paletteTool == 4.0f) setToolState(4, 1, paletteToolStrength);
    } else {
        if (d.diameter >= 0.0f) applyBrushDiameter(d.diameter);
        runHandler(d.handler, bx, by, contactW, contactH, d.handlerPosture);
    }

    touchReleased = false;
    return 1;
}

canvas::TouchInput CanvasCompositeGL::touchInput(int posture) const
{
    canvas::TouchInput in;
    in.combo = inputCombination();
    in.mode = interactionMode;
    in.posture = posture;
    in.previousChosenPosture = previousChosenPosture;
    in.c = nunchukC();
    in.z = nunchukZ();
    in.joyX = joystickX();
    in.joyY = joystickY();
    in.pendingMenuChoice = pendingMenuChoice;
    in.newTouch = touchReleased;
    in.strength = brushStrength;
    in.sizeStep = sizeStep;
    return in;
}

void CanvasCompositeGL::runHandler(canvas::Handler handler, int x, int y, int w, int h,
                                   int posture)
{
    switch (handler) {
    case canvas::Handler::Create: handleCreateTouch(x, y, w, h, posture); break;
    case canvas::Handler::Erase: handleEraseTouch(x, y, w, h, posture); break;
    case canvas::Handler::Orientation: handleOrientationTouch(x, y, w, h, posture); break;
    case canvas::Handler::Move: handleMoveTouch(x, y, w, h, posture); break;
    case canvas::Handler::Size: handleSizeTouch(x, y, w, h, posture); break;
    case canvas::Handler::Color: handleColorTouch(x, y, w, h, posture); break;
    case canvas::Handler::None: break;
    }
}

void CanvasCompositeGL::runModeHandler(int mode, int x, int y, int w, int h, int posture)
{
    runHandler(canvas::handlerOfMode(mode), x, y, w, h, posture);
}

void CanvasCompositeGL::carryOut(canvas::Handler handler, int posture)
{
    canvas::TouchInput in = touchInput(posture);
    const canvas::HandlerPlan plan = canvas::planHandler(handler, in);
    if (plan.kind >= 0.0f) setToolState(0, 0, plan.kind);
    if (plan.replay != canvas::Replay::None && classifier.getPreviousPosture() == PostureClassifier::NONE &&
        fakePosture == PostureClassifier::NONE)
        replayPath(plan.replay == canvas::Replay::SizeChange, plan.replayAmount);
    for (unsigned int i = 0; i < plan.writeCount; ++i)
        setToolState(plan.writes[i].column, plan.writes[i].row, plan.writes[i].value);
    if (plan.icon >= 0) showCornerMenuIcon(plan.icon);
    if (plan.rebuild) rebuildRequest.request();
    if (plan.message) std::cout << plan.message << std::endl;
}

void CanvasCompositeGL::handleCreateTouch(int, int, int, int, int posture)
{
    carryOut(canvas::Handler::Create, posture);
}
void CanvasCompositeGL::handleEraseTouch(int, int, int, int, int posture)
{
    carryOut(canvas::Handler::Erase, posture);
}
void CanvasCompositeGL::handleOrientationTouch(int, int, int, int, int posture)
{
    carryOut(canvas::Handler::Orientation, posture);
}
void CanvasCompositeGL::handleMoveTouch(int, int, int, int, int posture)
{
    carryOut(canvas::Handler::Move, posture);
}
void CanvasCompositeGL::handleSizeTouch(int, int, int, int, int posture)
{
    carryOut(canvas::Handler::Size, posture);
}
void CanvasCompositeGL::handleColorTouch(int, int, int, int, int posture)
{
    carryOut(canvas::Handler::Color, posture);
}

void CanvasCompositeGL::replayPath(bool sizeChange, float amount)
{
    // The oldest sample is where the path starts; the brush is stamped from the second on.
    for (int i = 1; i < classifier.getSampleCount(); ++i) {
        const PostureClassifier::Sample& s = classifier.getSample(i);
        int bx = 0, by = 0;
        toBufferCell(*this, s.x, s.y, &bx, &by);
        ++replayedStamps;
        if (ToolBrushLeafGL* brush = getToolBrush(0)) {
            if (sizeChange)
                brush->paintSizeDifference(bx, by, amount, true);
            else
                brush->stampAt(amount, bx, by, true);
        }
    }
}

void CanvasCompositeGL::prepareBrushesForTouch()
{
    TabletopVis* vis = getController();
    if (ToolBrushLeafGL* first = getToolBrush(0)) {
        if (!first->isShown()) first->show();
        first->showOutline();
    }
    for (ToolBrushLeafGL* brush : toolBrushes) {
        if (vis) vis->moveComponentToRenderFront(brush);
        brush->clearMoveFootprint();
        if (!brush->isShown()) brush->show();
    }
    for (unsigned int i = 0; i < numberOfPalettes; ++i)
        if (vis) vis->moveComponentToRenderFront(palettes[i]);
    // Shown menus stay above the brushes.
    if (CornerMenuGL* corner = findCornerMenu(); corner && corner->isShown() && vis)
        vis->moveComponentToRenderFront(corner);
    if (ContextMenuGL* menu = findContextMenu(); menu && menu->isShown() && vis)
        vis->moveComponentToRenderFront(menu);
}

void CanvasCompositeGL::applyBrushDiameter(float diameter)
{
    if (ToolBrushLeafGL* brush = getToolBrush(0)) {
        brush->setDiameter(diameter, false);
        return;
    }
    setToolState(0, 2, diameter);
}

void CanvasCompositeGL::showCornerMenuIcon(int icon)
{
    lastCornerIcon = icon;
    if (CornerMenuGL* corner = findCornerMenu()) corner->setIcon(icon, 0);
}

namespace {

template <class T> T* firstMenuOf(const std::map<unsigned long, MenuGL*>& menus)
{
    for (const auto& entry : menus)
        if (T* c = dynamic_cast<T*>(entry.second)) return c;
    return nullptr;
}

} // namespace

ContextMenuGL* CanvasCompositeGL::findContextMenu() const
{
    return firstMenuOf<ContextMenuGL>(menusById);
}
CornerMenuGL* CanvasCompositeGL::findCornerMenu() const
{
    return firstMenuOf<CornerMenuGL>(menusById);
}
StrokeMenuGL* CanvasCompositeGL::findStrokeMenu() const
{
    return firstMenuOf<StrokeMenuGL>(menusById);
}

void CanvasCompositeGL::chooseToolFromMenu(int mode)
{
    const menus::ToolChoice choice = menus::chooseTool(inputCombination(), mode);
    if (auto* app = dynamic_cast<RuduzozovorERUVisGL*>(getController()))
        app->setInputCombo(choice.combo);
    setInteractionMode(choice.mode);
    if (choice.pending) pendingMenuChoice = true;
    showCornerMenuIcon(menus::iconOfMode(choice.mode));
}

unsigned int CanvasCompositeGL::releaseLocalBuffer(unsigned int, unsigned int, unsigned int,
                                                   unsigned int)
{
    firstTouch = false;
    touchReleased = true;
    const int combo = inputCombination();
    if (combo >= 3 && combo <= 6) {
        if (ToolBrushLeafGL* first = getToolBrush(0)) first->hideOutline();
        parkRecordedPosition();
    } else if (combo == 7) {
        rebuildRequest.request();
    } else if (combo >= 0 && combo <= 2) {
        recordStarted = false;
    }
    setToolState(0, 0, 8.0f);
    TabletopVis* vis = getController();
    for (ToolBrushLeafGL* brush : toolBrushes) brush->clearMoveFootprint();
    for (unsigned int i = 0; i < numberOfPalettes; ++i)
        if (vis) vis->moveComponentToRenderFront(palettes[i]);
    classifier.reset();
    // The brushes cleared their footprints in the movement and orientation fields, lens areas
    // included: the lenses write theirs again.
    LensGL::refreshLensFields(this);
    ++revision;
    return 1;
}

void CanvasCompositeGL::parkRecordedPosition()
{
    setToolState(6, 0, 120.0f);
    setToolState(6, 1, static_cast<float>(getHeight() - 220.0));
}

// ---------------------------------------------------------------------------------------------
// Buffers each frame

namespace {

template <class T> void addGrid(std::vector<CellPrefetcher::Grid>& grids, BufferTemplate<T>* b)
{
    if (!b || b->getWidth() == 0 || b->getHeight() == 0) return;
    grids.push_back({std::as_const(*b).getBufferArray(), b->getWidth(), b->getHeight(),
                     b->getChannelNumber() * sizeof(T)});
}

} // namespace

void CanvasCompositeGL::beginUpdatePass()
{
    ++updateFrame;
    // The fields every primitive reads at its cell in an update.
    std::vector<CellPrefetcher::Grid> grids;
    addGrid(grids, getActiveBufferAs<float>(ERASE_BUFFER));
    addGrid(grids, getActiveBufferAs<unsigned char>(COLOR_BUFFER));
    addGrid(grids, getActiveBufferAs<bool>(TARGET_AREA_BUFFER));
    addGrid(grids, getActiveBufferAs<float>(DIRECTION_BUFFER));
    addGrid(grids, getActiveBufferAs<float>(TEMPORARY_ORIENTATION_BUFFER));
    addGrid(grids, getActiveBufferAs<float>(ABSOLUTE_SIZE_BUFFER));
    addGrid(grids, getActiveBufferAs<float>(SIZE_DIFFERENCE_BUFFER));
    addGrid(grids, getActiveBufferAs<float>(RELATIVE_SIZE_BUFFER));
    prefetcher.beginPass(grids);
}

namespace {

// The cells written since the last pass, as one rectangle, or every cell.
struct PassRegion {
    bool whole = false;
    unsigned int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool contains(unsigned int x, unsigned int y) const
    {
        return whole || (x >= x0 && x < x1 && y >= y0 && y < y1);
    }
};

// Adds where b was written since the last pass (grid and start: what that pass saw) to region,
// and restarts b's record for the next pass.
template <class T>
void takeWritten(const BufferTemplate<T>* b, const void*& grid, unsigned int& start,
                 PassRegion& region)
{
    if (b != grid) {
        region.whole = true;
    } else if (b) {
        const typename BufferTemplate<T>::WrittenRegion& r = b->writtenRegion();
        if (r.whole || r.start != start) {
            region.whole = true;
        } else if (r.x0 < r.x1 && r.y0 < r.y1) {
            if (region.x0 >= region.x1 || region.y0 >= region.y1) {
                region.x0 = r.x0, region.y0 = r.y0, region.x1 = r.x1, region.y1 = r.y1;
            } else {
                region.x0 = std::min(region.x0, r.x0);
                region.y0 = std::min(region.y0, r.y0);
                region.x1 = std::max(region.x1, r.x1);
                region.y1 = std::max(region.y1, r.y1);
            }
        }
    }
    grid = b;
    if (b) {
        b->restartWrittenRegion();
        start = b->writtenRegion().start;
    }
}

} // namespace

void CanvasCompositeGL::runUpdatePass(double dt)
{
    if (passFrame == updateFrame) return;
    passFrame = updateFrame;
    updatePrimitives(dt);
}

void CanvasCompositeGL::updatePrimitives(double dt)
{
    const BufferTemplate<float>* toolState = getActiveBufferAs<float>(TOOL_STATE_BUFFER);
    if (!toolState || toolState->getWidth() < 1 || toolState->getHeight() < 4) return;
    const int layer = static_cast<int>(std::lround(toolState->getValue(0u, 3u)));
    std::vector<PrimitiveStore::Entry>* entries = store.ordered(layer);
    if (!entries || entries->empty()) return;

    PrimitiveLeafGL::PassGrids pass;
    pass.erase = getActiveBufferAs<float>(ERASE_BUFFER);
    pass.color = getActiveBufferAs<unsigned char>(COLOR_BUFFER);
    pass.dropOff = getActiveBufferAs<float>(DROP_OFF_BUFFER) != nullptr;
    pass.targetArea = getActiveBufferAs<bool>(TARGET_AREA_BUFFER);
    pass.movement = getActiveBufferAs<float>(DIRECTION_BUFFER);
    pass.orientation = getActiveBufferAs<float>(TEMPORARY_ORIENTATION_BUFFER);
    pass.size = getActiveBufferAs<float>(ABSOLUTE_SIZE_BUFFER);
    pass.sizeDifference = getActiveBufferAs<float>(SIZE_DIFFERENCE_BUFFER);
    pass.relativeSize = getActiveBufferAs<float>(RELATIVE_SIZE_BUFFER);
    pass.speed = getActiveBufferAs<int>(SPEED_BUFFER);
    pass.temporaryColor = getActiveBufferAs<unsigned char>(TEMPORARY_COLOR_BUFFER);
    pass.x = getXPos();
    pass.y = getYPos();
    pass.width = getWidth();
    pass.height = getHeight();
    pass.xScale = getXScale();
    pass.yScale = getYScale();
    const double a = getRotation() * 0.017453292519943295;
    pass.cosA = std::cos(a);
    pass.sinA = std::sin(a);

    // Where the grids the pass reads were written since the last pass. Another layer, another
    // placement of the canvas or other grids make every cell count as written. Restarted
    // before the reads, so writes made during the pass count for the next one.
    PassRegion written;
    {
        PassRecord& r = lastPass;
        std::size_t g = 0;
        auto take = [&](auto* b) {
            takeWritten(b, r.grids[g], r.starts[g], written);
            ++g;
        };
        take(pass.erase);
        take(pass.color);
        take(pass.targetArea);
        take(pass.movement);
        take(pass.orientation);
        take(pass.size);
        take(pass.sizeDifference);
        take(pass.relativeSize);
        take(pass.speed);
        take(pass.temporaryColor);
        const std::array<double, 8> placement = {pass.x,      pass.y,      pass.width, pass.height,
                                                 pass.xScale, pass.yScale, pass.cosA,  pass.sinA};
        if (r.layer != layer || r.dropOff != pass.dropOff || r.placement != placement)
            written.whole = true;
        r.layer = layer;
        r.dropOff = pass.dropOff;
        r.placement = placement;
    }

    // The cells the primitives read are scattered over the fields: they are fetched a few
    // entries ahead, with the primitives' lines.
    struct Ahead {
        const char* data;
        std::size_t rowBytes;
        std::size_t cellBytes;
        unsigned int width;
        unsigned int height;
    };
    std::array<Ahead, 10> ahead{};
    std::size_t grids = 0;
    auto addAhead = [&](const auto* b) {
        if (!b || b->getWidth() == 0) return;
        const std::size_t cell = b->getChannelNumber() * sizeof(*b->getBufferArray());
        ahead[grids++] = {reinterpret_cast<const char*>(b->getBufferArray()),
                          cell * b->getWidth(), cell, b->getWidth(), b->getHeight()};
    };
    addAhead(pass.erase);
    addAhead(pass.color);
    addAhead(pass.targetArea);
    addAhead(pass.movement);
    addAhead(pass.orientation);
    addAhead(pass.size);
    addAhead(pass.sizeDifference);
    addAhead(pass.relativeSize);
    if (entries->front().primitive->readsPassExtras()) {
        addAhead(pass.speed);
        addAhead(pass.temporaryColor);
    }

    constexpr std::size_t kAhead = 8;
    PrimitiveStore::Entry* e = entries->data();
    const std::size_t n = entries->size();
    std::size_t skipped = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (i + kAhead < n) {
            const PrimitiveStore::Entry& next = e[i + kAhead];
            next.primitive->prefetchForUpdate();
            // An idle primitive on a clean cell will not read its cell.
            if (!next.idle || written.contains(next.cellX, next.cellY))
                for (std::size_t g = 0; g < grids; ++g)
                    if (next.cellX < ahead[g].width && next.cellY < ahead[g].height)
                        __builtin_prefetch(ahead[g].data + next.cellY * ahead[g].rowBytes +
                                           next.cellX * ahead[g].cellBytes);
        }
        unsigned int x = e[i].cellX;
        unsigned int y = e[i].cellY;
        if (e[i].primitive->updateInPass(pass, dt, !written.contains(x, y), &x, &y)) ++skipped;
        e[i].idle = e[i].primitive->isIdleInPass();
        e[i].cellX = static_cast<std::uint16_t>(std::min(x, 0xffffu));
        e[i].cellY = static_cast<std::uint16_t>(std::min(y, 0xffffu));
    }
    passSkipped = skipped;
}

void CanvasCompositeGL::renderIntoBuffers()
{
    beginUpdatePass();
    if (auto* tiles = getActiveBufferAs<float>(FRAME_VECTOR_BUFFER)) tiles->fillEntireBuffer(0.0f);

    if (auto* erase = getActiveBufferAs<float>(ERASE_BUFFER)) {
        if (erase->isInvalid() && !erase->isValidating()) {
            erase->startValidating();
            erase->fillEntireBuffer(0.0f);
            erase->finishValidating();
        }
    }

    TabletopVis* vis = getController();
    while (!deletionQueue.empty()) {
        VisComponent* c = deletionQueue.front();
        deletionQueue.pop_front();
        // Skipped: it left the canvas after it was queued.
        if (deletionQueued.erase(c) == 0) continue;
        if (vis) {
            vis->removeComponentFromRenderList(c);
            vis->deleteComponent(c);
        }
    }

    // A curve's orientation is held long enough for primitives to turn, then handed back.
    if (curveOrientationHold > 0 && --curveOrientationHold == 0) releaseCurveOrientation();
    if (clearTempOrientation2Request.pass()) clearTempOrientationBuffer2();
    if (clearTempOrientationRequest.pass()) clearTempOrientationBuffer();
    if (rebuildRequest.pass()) populateForTask(currentTask);
    if (fillTaskAreasRequest) {
        fillTaskAreas(currentTask);
        populateForTask(currentTask);
        fillTaskAreasRequest = false;
    }
    if (clearSelectionRequest.pass()) clearSelectionBuffer();
    if (clearSizeDiffRequest.pass()) clearSizeDiffBuffer();
}

void CanvasCompositeGL::clearTempOrientationBuffer2()
{
    if (auto* b = getActiveBufferAs<float>(SECOND_TEMPORARY_ORIENTATION_BUFFER)) b->fillEntireBuffer(0.0f);
}
void CanvasCompositeGL::clearTempOrientationBuffer()
{
    if (auto* b = getActiveBufferAs<float>(TEMPORARY_ORIENTATION_BUFFER)) b->fillEntireBuffer(0.0f);
    // Orientation lenses on the canvas write their areas again.
    LensGL::refreshLensFields(this);
}
void CanvasCompositeGL::clearSelectionBuffer()
{
    if (auto* b = getActiveBufferAs<bool>(SELECTION_BUFFER)) b->fillEntireBuffer(false);
}
void CanvasCompositeGL::clearEraseBuffer()
{
    if (auto* b = getActiveBufferAs<float>(ERASE_BUFFER)) b->fillEntireBuffer(0.0f);
}
void CanvasCompositeGL::clearSizeDiffBuffer()
{
    if (auto* b = getActiveBufferAs<float>(SIZE_DIFFERENCE_BUFFER)) b->fillEntireBuffer(0.0f);
}

void CanvasCompositeGL::requestClearSelection() { clearSelectionRequest.request(); }
void CanvasCompositeGL::requestClearErase()
{
    // The erase buffer is refilled through its validity at the next buffer pass.
    if (auto* b = getActiveBufferAs<float>(ERASE_BUFFER)) b->invalidate();
}
void CanvasCompositeGL::requestClearTempOrientation2() { clearTempOrientation2Request.request(); }
void CanvasCompositeGL::requestClearTempOrientation() { clearTempOrientationRequest.request(); }
void CanvasCompositeGL::requestClearSizeDiff() { clearSizeDiffRequest.request(); }
void CanvasCompositeGL::requestRebuild() { rebuildRequest.request(); }

// ---------------------------------------------------------------------------------------------
// Study tasks: the task on show marks its target areas in the target-area buffer (the
// primitives read it) and is populated with its initial primitives.

void CanvasCompositeGL::setTask(int task)
{
    currentTask = task;
    fillTaskAreasRequest = true;
}
void CanvasCompositeGL::clearTaskAreas()
{
    if (auto* b = getActiveBufferAs<bool>(TARGET_AREA_BUFFER)) b->fillEntireBuffer(false);
}
bool CanvasCompositeGL::getTaskVisible() { return taskVisible; }
void CanvasCompositeGL::setTaskVisible(bool on) { taskVisible = on; }
void CanvasCompositeGL::setTaskSource(int source) { taskSource = source; }
void CanvasCompositeGL::setTaskDescription(const TaskDescription* task) { taskDescription = task; }
void CanvasCompositeGL::buildTaskOverlayLists() {}
void CanvasCompositeGL::fillTaskAreas(int)
{
    auto* b = getActiveBufferAs<bool>(TARGET_AREA_BUFFER);
    if (!b || !taskDescription) return;
    for (unsigned int j = 0; j < b->getHeight(); ++j)
        for (unsigned int i = 0; i < b->getWidth(); ++i) {
            double tx = 0.0, ty = 0.0;
            getGlobalCoordinates((i - 1.0) * getXScale(), (j - 1.0) * getYScale(), getWidth(),
                                 getHeight(), &tx, &ty);
            b->getBufferArray()[static_cast<std::size_t>(j) * b->getWidth() + i] =
                insideAnyTargetArea(*taskDescription, tx, ty);
        }
    b->invalidate();
}
void CanvasCompositeGL::populateForTask(int)
{
    if (!taskDescription || toolBrushes.empty() || !getController()) return;
    int kind = -1; // the brush's own choice
    if (taskDescription->elementsType == 0) kind = 2;
    else if (taskDescription->elementsType == 1) kind = 1;
    else if (taskDescription->elementsType == 3) kind = 0;
    for (const TaskPoint& p :
         scatterForTask(*taskDescription, getController()->getScreenWidth(),
                        getController()->getScreenHeight(), &tavlor::rand15))
        toolBrushes.front()->createPrimitiveAt(p.x, p.y, kind);
}
int CanvasCompositeGL::eraseChildrenWithin(double x, double y, double radius)
{
    std::vector<VisComponent*> hit;
    for (const auto& entry : childrenById) {
        VisComponent* c = entry.second;
        if (!dynamic_cast<PrimitiveLeafGL*>(c)) continue;
        if (std::hypot(c->getXPos() - x, c->getYPos() - y) <= radius) hit.push_back(c);
    }
    for (VisComponent* c : hit) queueForDeletion(c);
    return static_cast<int>(hit.size());
}
void CanvasCompositeGL::drawTargetAreaPolygons() {}

void CanvasCompositeGL::setPaletteTool(float kind, float strength)
{
    paletteTool = (kind < 0.0f || kind == 8.0f) ? -1.0f : kind;
    paletteToolStrength = strength;
}

void CanvasCompositeGL::emptyCanvas()
{
    std::vector<VisComponent*> primitives;
    for (const auto& entry : childrenById)
        if (dynamic_cast<PrimitiveLeafGL*>(entry.second)) primitives.push_back(entry.second);
    for (VisComponent* c : primitives) queueForDeletion(c);
    // The erosion lasts one pass: left in place it would wear away everything painted later.
    if (auto* erase = getActiveBufferAs<float>(ERASE_BUFFER)) {
        erase->fillEntireBuffer(1.0f);
        erase->invalidate();
    }
    float zero[2] = {0.0f, 0.0f};
    if (auto* b = getActiveBufferAs<float>(DIRECTION_BUFFER)) b->fillEntireBufferWith2DValue(zero);
    if (auto* b = getActiveBufferAs<float>(FRAME_VECTOR_BUFFER)) b->fillEntireBufferWith2DValue(zero);
    if (auto* b = getActiveBufferAs<int>(SPEED_BUFFER)) b->fillEntireBuffer(0);
    if (auto* b = getActiveBufferAs<float>(ABSOLUTE_SIZE_BUFFER)) b->fillEntireBuffer(initialPrimitiveSize);
    if (auto* b = getActiveBufferAs<float>(ORIENTATION_BUFFER)) canvas::fillRandomOrientation(*b);
}

// ---------------------------------------------------------------------------------------------
// Fitting to the screen

void CanvasCompositeGL::rebuildGraphicRepresentation()
{
    TabletopVis* vis = getController();
    if (vis)
        setSize(vis->getScreenWidth() + 2.0 * overflowSize,
                vis->getScreenHeight() + 2.0 * overflowSize);
    setPos(getHalfWidth() - overflowSize, getHalfHeight() - overflowSize);
    initialize();
    buildOrRebuildRenderDisplayLists();

    const unsigned int newW = getBufferWidth();
    const unsigned int newH = getBufferHeight();
    if (newW > storedBufferWidth || newH > storedBufferHeight) {
        // Copies aside; the old buffers go with removeActiveBuffers.
        BufferTemplate<float> size, orientation, tools;
        BufferTemplate<int> speed;
        if (auto* b = getActiveBufferAs<float>(ABSOLUTE_SIZE_BUFFER)) size = *b;
        if (auto* b = getActiveBufferAs<float>(ORIENTATION_BUFFER)) orientation = *b;
        if (auto* b = getActiveBufferAs<int>(SPEED_BUFFER)) speed = *b;
        if (auto* b = getActiveBufferAs<float>(TOOL_STATE_BUFFER)) tools = *b;

        removeActiveBuffers();
        createActiveBuffers();

        const int dx = (static_cast<int>(newW) - static_cast<int>(storedBufferWidth)) / 2 + 1;
        const int dy = (static_cast<int>(newH) - static_cast<int>(storedBufferHeight)) / 2 + 1;
        if (auto* b = getActiveBufferAs<float>(ABSOLUTE_SIZE_BUFFER)) canvas::copyShifted(size, *b, dx, dy);
        if (auto* b = getActiveBufferAs<float>(ORIENTATION_BUFFER)) canvas::copyShifted(orientation, *b, dx, dy);
        if (auto* b = getActiveBufferAs<int>(SPEED_BUFFER)) canvas::copyShifted(speed, *b, dx, dy);
        // The tool state (layer, brush, diameter) survives the resize unchanged.
        if (auto* b = getActiveBufferAs<float>(TOOL_STATE_BUFFER)) canvas::copyShifted(tools, *b, 0, 0);
        storedBufferWidth = newW;
        storedBufferHeight = newH;
    }
    for (const auto& entry : children) connectBuffers(entry.second);
}

// ---------------------------------------------------------------------------------------------
// Wii remote

void CanvasCompositeGL::wiimoteEvent(std::vector<WiiCommunicationData::WIIMOTE_BUTTON>&,
                                     WiiCommunicationData& data)
{
    previousWii = currentWii;
    currentWii = data;
    wiiSamples[static_cast<std::size_t>(wiiSampleIndex)] = data;
    wiiSampleIndex = (wiiSampleIndex + 1) % static_cast<int>(wiiSamples.size());

    // Plus steps the mode forward, minus backward; up and down show and hide the corner menu.
    if (currentWii.plus && !previousWii.plus) stepMode(+1);
    if (currentWii.minus && !previousWii.minus) stepMode(-1);
    if (currentWii.up && !previousWii.up) {
        cornerMenuShown = true;
        if (CornerMenuGL* corner = findCornerMenu()) corner->show();
    }
    if (currentWii.down && !previousWii.down) {
        cornerMenuShown = false;
        if (CornerMenuGL* corner = findCornerMenu()) corner->hide();
    }

    if (inputCombination() != 6) return;
    const bool pointing = currentWii.b;
    if (pointing) {
        int bx = 0, by = 0;
        toBufferCell(*this, currentWii.posX, currentWii.posY, &bx, &by);
        setToolState(6, 0, static_cast<float>(bx));
        setToolState(6, 1, static_cast<float>(by));
        if (currentWii.hasNunchuk()) {
            const float y = currentWii.nunchuk().joyY;
            brushStrength = std::clamp(brushStrength - 0.3 * y, 2.0, 30.0);
            if (interactionMode == MODE_SIZE && y != 0.0f) {
                // 6 cells per event at full tilt with the default speed of 100.
                const float d = getToolState(0, 2) - 0.06f * static_cast<float>(diameterScaleSpeed) * y;
                applyBrushDiameter(std::clamp(d, 10.0f, 600.0f));
            }
        }
        firstTouch = true;
        runModeHandler(interactionMode == MODE_CREATE_ERASE ? MODE_CREATE : interactionMode, bx,
                       by, 10, 10, PostureClassifier::OTHER);
    } else if (previousWii.b) {
        firstTouch = false;
        parkRecordedPosition();
        ++revision;
    }
}

void CanvasCompositeGL::stepMode(int direction)
{
    static const int cycle[4] = {MODE_CREATE_ERASE, MODE_ORIENT, MODE_MOVE, MODE_SIZE};
    int at = 0;
    for (int i = 0; i < 4; ++i)
        if (cycle[i] == interactionMode) at = i;
    interactionMode = cycle[(at + direction + 4) % 4];
    switch (interactionMode) {
    case MODE_ORIENT: std::cout << "_curInteractionMode = MODE_ORIENT" << std::endl; break;
    case MODE_MOVE: std::cout << "_curInteractionMode = MODE_MOVE" << std::endl; break;
    case MODE_SIZE: std::cout << "_curInteractionMode = MODE_SIZE" << std::endl; break;
    default: std::cout << "_curInteractionMode = MODE_CREATE_ERASE" << std::endl; break;
    }
}

// ---------------------------------------------------------------------------------------------
// Files

std::vector<std::string> CanvasCompositeGL::dumpFileNames(int layer)
{
    return canvas::dumpFileNames(layer);
}

namespace {

template <class T> void dumpOne(VisComponent& c, BUFFERTAG tag, const std::string& path)
{
    if (auto* b = c.getActiveBufferAs<T>(tag)) canvas::writeRaw(*b, b->getBufferArray(), path);
}
template <class T> void loadOne(VisComponent& c, BUFFERTAG tag, const std::string& path)
{
    if (auto* b = c.getActiveBufferAs<T>(tag))
        canvas::readRaw(*b, b->getBufferArray(), path, std::is_same_v<T, float>);
}

} // namespace

void CanvasCompositeGL::dumpBuffersToFiles()
{
    const std::vector<std::string> names = dumpFileNames(static_cast<int>(getToolState(0, 3)));
    canvas::ensureDumpFolder();
    dumpOne<float>(*this, ABSOLUTE_SIZE_BUFFER, names[0]);
    dumpOne<float>(*this, ORIENTATION_BUFFER, names[1]);
    dumpOne<int>(*this, SPEED_BUFFER, names[2]);
    dumpOne<float>(*this, SIZE_DIFFERENCE_BUFFER, names[3]);
    dumpOne<unsigned char>(*this, TEMPORARY_COLOR_BUFFER, names[4]);
}

void CanvasCompositeGL::loadBuffersFromFiles()
{
    const std::vector<std::string> names = dumpFileNames(static_cast<int>(getToolState(0, 3)));
    loadOne<float>(*this, ABSOLUTE_SIZE_BUFFER, names[0]);
    loadOne<float>(*this, ORIENTATION_BUFFER, names[1]);
    loadOne<int>(*this, SPEED_BUFFER, names[2]);
    loadOne<float>(*this, SIZE_DIFFERENCE_BUFFER, names[3]);
    loadOne<unsigned char>(*this, TEMPORARY_COLOR_BUFFER, names[4]);
}

void CanvasCompositeGL::createBufferImage(BUFFERTAG tag)
{
    const char* name = nullptr;
    double scale = 255.0, offset = 0.0;
    switch (tag) {
    case TEMPORARY_ORIENTATION_BUFFER: name = "tempOrientationBuffer"; break;
    case COLOR_BUFFER: name = "colorBuffer"; scale = 1.0; break;
    case TEMPORARY_COLOR_BUFFER: name = "tempColorBuffer"; scale = 1.0; break;
    case DROP_OFF_BUFFER: name = "dropoffBuffer"; break;
    case SELECTION_BUFFER: name = "selectionBuffer"; break;
    case DEPTH_BUFFER: name = "depthBuffer"; break;
    case GRADIENT_BUFFER: name = "gradientBuffer"; scale = 127.0; offset = 128.0; break;
    case TARGET_AREA_BUFFER: name = "targetAreaBuffer "; break;
    default: return;
    }
    if (IBuffer* b = getActiveBuffer(tag)) b->createImage(name, scale, offset);
}

void CanvasCompositeGL::saveScreenshot(int)
{
    GLint readBuffer = GL_BACK;
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int w = viewport[2];
    const int h = viewport[3];
    std::vector<unsigned char> pixels(static_cast<std::size_t>(std::max(w, 0)) * std::max(h, 0) * 4);
    if (!pixels.empty()) {
        glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(viewport[0], viewport[1], w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        glPopClientAttrib();
        ILuint image = 0;
        ilGenImages(1, &image);
        ilBindImage(image);
        ilTexImage(static_cast<ILuint>(w), static_cast<ILuint>(h), 1, 4, IL_RGBA, IL_UNSIGNED_BYTE,
                   pixels.data());
        ilRegisterOrigin(IL_ORIGIN_LOWER_LEFT);
        ilEnable(IL_FILE_OVERWRITE);
        const std::string name = "screenshot" + std::to_string(screenshotCounter) + ".png";
        ilSaveImage(name.c_str());
        ilDeleteImages(1, &image);
    }
    glReadBuffer(static_cast<GLenum>(readBuffer));
    ++screenshotCounter;
}

// ---------------------------------------------------------------------------------------------
// Drawing

void CanvasCompositeGL::buildModeLabels()
{
    auto* vis = dynamic_cast<TabletopVisGL*>(getController());
    labelFont = vis ? vis->getFont("arial72") : nullptr;
    fontFound = labelFont != nullptr;
    if (!fontFound) {
        std::cout << "WARNING: CanvasCompositeGL: font arial72 could not be found. Did you load it? "
                  << std::endl;
        return;
    }
    static const char* const texts[6] = {"Create Mode", "Erase Mode", "Color Mode",
                                         "Size Mode", "Move Mode", "Orientation Mode"};
    static const char* const warmUp =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-+_=/.,<>?;:1234567890";
    // The font makes a glyph's texture when it first meets the glyph. Inside glNewList its
    // texture calls would only be recorded and its own bookkeeping reads back nothing, so every
    // glyph the lists use is made here, before compiling.
    labelFont->Advance(warmUp);
    for (const char* text : texts) labelFont->Advance(text);
    for (int i = 0; i < 7; ++i) {
        if (labelLists[i]) glDeleteLists(labelLists[i], 1);
        labelLists[i] = glGenLists(1);
        glNewList(labelLists[i], GL_COMPILE);
        glPushMatrix();
        if (i < 6) {
            glTranslated(getHalfWidth() - 250.0, getHalfHeight() - 25.0, 0.0);
            labelFont->Render(texts[i]);
        } else {
            glTranslated(-1000.0, -1000.0, 0.0);
            labelFont->Render(warmUp);
        }
        glPopMatrix();
        glEndList();
    }
}

void CanvasCompositeGL::specificRender()
{
    SurfaceCompositeGL::specificRender();
    const bool outlineShown = selectionOutline || selectionOutlineDashed;
    if (outlineShown && !selectionOutlineWasShown) rebuildSelectionOutlineList();
    selectionOutlineWasShown = outlineShown;
    if (selectionOutline) drawSelectionOutline();
    if (selectionOutlineDashed) drawSelectionOutlineDashed();
    drawCurveOverlay();
    if (!modeChanged) return;
    const int list = canvas::modeLabelList(interactionMode);
    if (fontFound && list >= 0) {
        glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glColor4f(0.3f, 0.3f, 0.3f, labelFader.getAlpha());
        glPushMatrix();
        glTranslated(getXPos() - getHalfWidth(), getYPos() - getHalfHeight(), 0.0);
        glCallList(labelLists[static_cast<std::size_t>(list)]);
        if (labelFader.wantsWarmUp()) glCallList(labelLists[6]);
        glPopMatrix();
        glPopAttrib();
    }
    if (list < 0 || !labelFader.step()) modeChanged = false;
}

void CanvasCompositeGL::beginRenderBatch(bool picking)
{
    activeBatch_ = picking ? &pickingBatch : &renderBatch;
    activeBatch_->clear();
}

void CanvasCompositeGL::endRenderBatch(bool picking)
{
    if (!activeBatch_) return;
    PrimitiveBatch* batch = activeBatch_;
    activeBatch_ = nullptr;
    batch->flush(picking ? getColorVector() : nullptr);
}

void CanvasCompositeGL::renderPicture()
{
    renderingPicture = true;
    SurfaceCompositeGL::specificRender();
    if (batchedDrawing) beginRenderBatch(false);
    const std::list<VisComponent*>& order = getController()->getRenderList();
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        if ((*it)->getParent() != this) continue;
        if (auto* primitive = dynamic_cast<PrimitiveLeafGL*>(*it)) primitive->renderForPicture();
    }
    if (batchedDrawing) endRenderBatch(false);
    renderingPicture = false;
}

void CanvasCompositeGL::renderSurfaceGL()
{
    drawBackgroundQuad();
    SurfaceCompositeGL::renderSurfaceGL();
}

void CanvasCompositeGL::buildOrRebuildRenderDisplayLists()
{
    SurfaceCompositeGL::buildOrRebuildRenderDisplayLists();
}

void CanvasCompositeGL::drawFrameGL()
{
    // The visible screen's outline inside the margin.
    const double ox = getHalfWidth() - overflowSize;
    const double oy = getHalfHeight() - overflowSize;
    glBegin(GL_LINE_LOOP);
    glVertex2d(-ox, -oy);
    glVertex2d(ox, -oy);
    glVertex2d(ox, oy);
    glVertex2d(-ox, oy);
    glEnd();
}

void CanvasCompositeGL::drawBackgroundQuad()
{
    if (currentBackground >= backgroundTextures.size()) return;
    const unsigned int texture = backgroundTextures[currentBackground];
    if (texture == TabletopVisGL::kTextureLoadFailed || texture == 0) return;
    const double hw = getHalfWidth();
    const double hh = getHalfHeight();
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_TEXTURE_BIT);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    glTexCoord2d(0.0, 0.0); glVertex2d(-hw, -hh);
    glTexCoord2d(1.0, 0.0); glVertex2d(hw, -hh);
    glTexCoord2d(1.0, 1.0); glVertex2d(hw, hh);
    glTexCoord2d(0.0, 1.0); glVertex2d(-hw, hh);
    glEnd();
    glPopAttrib();
}

void CanvasCompositeGL::setBackgroundTextures(const std::vector<unsigned int>& textures)
{
    backgroundTextures = textures;
    currentBackground = 0;
    if (displayListsBuilt) buildOrRebuildRenderDisplayLists();
}

// ---------------------------------------------------------------------------------------------
// Selection outline

void CanvasCompositeGL::rebuildSelectionOutlineList()
{
    if (!selectionOutlineList) selectionOutlineList = glGenLists(1);
    if (!selectionOutlineList) return;
    glNewList(selectionOutlineList, GL_COMPILE);
    if (const auto* selection = getActiveBufferAs<bool>(SELECTION_BUFFER)) {
        // Closed loops, so that a dash pattern runs on around the corners.
        for (const auto& loop : canvas::selectionOutline(selection->getBufferArray(),
                                                         selection->getWidth(),
                                                         selection->getHeight())) {
            glBegin(GL_LINE_LOOP);
            for (const canvas::OutlineCorner& c : loop) glVertex2i(c.x, c.y);
            glEnd();
        }
    }
    glEndList();
}

void CanvasCompositeGL::drawSelectionOutlineList(bool dashed)
{
    if (!selectionOutlineList) return;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT | GL_LINE_BIT);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glLineWidth(2.0f);
    if (dashed) {
        glEnable(GL_LINE_STIPPLE);
        glLineStipple(1, 0x00FF);
    } else {
        glDisable(GL_LINE_STIPPLE);
    }
    glColor4f(0.2f, 0.2f, 0.2f, 0.8f);
    glPushMatrix();
    doCommonTransformations();
    // Outline vertices are cell corners: cell c spans [c, c + 1], and cell c + 1.5 is the
    // canvas's local origin.
    glTranslated(-0.5 * getRealWidth() - 1.5, -0.5 * getRealHeight() - 1.5, 0.0);
    glCallList(selectionOutlineList);
    glPopMatrix();
    glPopAttrib();
}

void CanvasCompositeGL::drawSelectionOutline() { drawSelectionOutlineList(false); }
void CanvasCompositeGL::drawSelectionOutlineDashed() { drawSelectionOutlineList(true); }

// ---------------------------------------------------------------------------------------------
// Curve overlay
//
// Curve points are normalised canvas coordinates: (0, 0) the canvas's bottom-left corner,
// (1, 1) its top-right one, in the canvas's own (unrotated) frame. Point (u, v) lies in buffer
// cell (u x realWidth + 1.5, v x realHeight + 1.5), the mapping the canvas uses for touches and
// primitives use for reading.

namespace {

bool hasExtension(const char* name)
{
    const char* list = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (!list) return false;
    const std::size_t n = std::strlen(name);
    for (const char* p = std::strstr(list, name); p; p = std::strstr(p + 1, name))
        if ((p == list || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0')) return true;
    return false;
}

template <class F> bool resolve(F& f, const char* name)
{
    f = reinterpret_cast<F>(TabletopVisGL::getProcAddress(name));
    return f != nullptr;
}

// Framebuffer-object entry points (GL 3.0 or ARB_framebuffer_object).
struct FboApi {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    // Optional (GL 1.5): to park a bound pixel-pack buffer during read-back.
    PFNGLBINDBUFFERPROC bindBuffer = nullptr;

    bool load()
    {
        const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        if (!version) return false;
        if (std::atoi(version) < 3 && !hasExtension("GL_ARB_framebuffer_object")) return false;
        resolve(bindBuffer, "glBindBuffer");
        return resolve(genFramebuffers, "glGenFramebuffers") &&
               resolve(deleteFramebuffers, "glDeleteFramebuffers") &&
               resolve(bindFramebuffer, "glBindFramebuffer") &&
               resolve(framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
               resolve(checkFramebufferStatus, "glCheckFramebufferStatus") &&
               resolve(genRenderbuffers, "glGenRenderbuffers") &&
               resolve(deleteRenderbuffers, "glDeleteRenderbuffers") &&
               resolve(bindRenderbuffer, "glBindRenderbuffer") &&
               resolve(renderbufferStorage, "glRenderbufferStorage");
    }
};

// One vertex of the distance valley: cell coordinates and depth 0 (on the curve) … 1 (far).
struct ValleyVertex {
    double x, y, depth;
    unsigned char rgba[4];
};

void addTriangle(std::vector<ValleyVertex>& out, const ValleyVertex& a, const ValleyVertex& b,
                 const ValleyVertex& c)
{
    out.push_back(a);
    out.push_back(b);
    out.push_back(c);
}

// Triangles whose depth is the distance to the polyline over `falloff`: a flat-sided strip on
// each side of every segment and a cone at every point for the joins and the round ends. With
// the nearest surface winning, the depth is continuous (a cut-off end would leave a step that
// the gradient takes for a steep slope).
std::vector<ValleyVertex> valleyGeometry(const std::vector<Curve2D::Point>& p, double falloff)
{
    std::vector<ValleyVertex> out;
    auto vertex = [](double x, double y, double depth, const unsigned char* rgba) {
        ValleyVertex v{x, y, depth, {rgba[0], rgba[1], rgba[2], rgba[3]}};
        return v;
    };
    auto direction = [&](std::size_t i, double* tx, double* ty) {
        const double dx = p[i + 1].x - p[i].x;
        const double dy = p[i + 1].y - p[i].y;
        const double length = std::hypot(dx, dy);
        if (!(length > 0.0)) return false;
        *tx = dx / length;
        *ty = dy / length;
        return true;
    };
    for (std::size_t i = 0; i + 1 < p.size(); ++i) {
        double tx = 0.0, ty = 0.0;
        if (!direction(i, &tx, &ty)) continue;
        unsigned char rgba[4];
        canvas::TangentHint::encode(tx, ty, rgba);
        const double nx = -ty * falloff;
        const double ny = tx * falloff;
        const ValleyVertex a = vertex(p[i].x, p[i].y, 0.0, rgba);
        const ValleyVertex b = vertex(p[i + 1].x, p[i + 1].y, 0.0, rgba);
        for (double side : {1.0, -1.0}) {
            const ValleyVertex a1 = vertex(p[i].x + side * nx, p[i].y + side * ny, 1.0, rgba);
            const ValleyVertex b1 = vertex(p[i + 1].x + side * nx, p[i + 1].y + side * ny, 1.0, rgba);
            addTriangle(out, a, b, b1);
            addTriangle(out, a, b1, a1);
        }
    }
    constexpr int kJoinSteps = 48;
    constexpr double kTwoPi = 6.283185307179586;
    for (std::size_t i = 0; i < p.size(); ++i) {
        double ax = 0.0, ay = 0.0, bx = 0.0, by = 0.0;
        const bool before = i > 0 && direction(i - 1, &ax, &ay);
        const bool after = i + 1 < p.size() && direction(i, &bx, &by);
        if (!before && !after) continue;
        double tx = (before ? ax : 0.0) + (after ? bx : 0.0);
        double ty = (before ? ay : 0.0) + (after ? by : 0.0);
        const double length = std::hypot(tx, ty);
        if (!(length > 1e-9)) {
            // A hairpin: the incoming direction stands for the join.
            tx = before ? ax : bx;
            ty = before ? ay : by;
        } else {
            tx /= length;
            ty /= length;
        }
        unsigned char rgba[4];
        canvas::TangentHint::encode(tx, ty, rgba);
        const ValleyVertex centre = vertex(p[i].x, p[i].y, 0.0, rgba);
        for (int k = 0; k < kJoinSteps; ++k) {
            const double a0 = kTwoPi * k / kJoinSteps;
            const double a1 = kTwoPi * (k + 1) / kJoinSteps;
            addTriangle(out, centre,
                        vertex(p[i].x + falloff * std::cos(a0), p[i].y + falloff * std::sin(a0), 1.0, rgba),
                        vertex(p[i].x + falloff * std::cos(a1), p[i].y + falloff * std::sin(a1), 1.0, rgba));
        }
    }
    return out;
}

} // namespace

bool CanvasCompositeGL::canRenderOffscreen() const
{
    FboApi api;
    return api.load();
}

int CanvasCompositeGL::offscreenSizeLimit() const
{
    GLint viewport[2] = {0, 0};
    GLint renderbuffer = 0;
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    return std::max(1, std::min({viewport[0], viewport[1], renderbuffer}));
}

void CanvasCompositeGL::drawCurveOverlay()
{
    if (!curve.isComplete()) return;
    curve.setComplete(false);
    resampledCurve = curve.resample(0.03);
    std::cout << "number of points in initial curve: " << curve.getNumberOfPoints()
              << " in resampled curve: " << resampledCurve.getNumberOfPoints() << std::endl;
    if (resampledCurve.getNumberOfPoints() > 2) {
        computeDepthFromCurve();
        computeOrientationFromCurve();
    }
}

void CanvasCompositeGL::computeDepthFromCurve()
{
    curveDepthReady = false;
    auto* depth = getActiveBufferAs<double>(DEPTH_BUFFER);
    if (!depth || resampledCurve.getNumberOfPoints() < 2) return;
    // The buffer's own size: after fitting to a smaller screen it is larger than the canvas.
    const int w = static_cast<int>(depth->getWidth());
    const int h = static_cast<int>(depth->getHeight());
    if (w <= 0 || h <= 0) return;
    FboApi gl;
    if (!canRenderOffscreen() || !gl.load()) return;

    std::vector<Curve2D::Point> cells;
    cells.reserve(resampledCurve.getNumberOfPoints());
    for (const Curve2D::Point& q : resampledCurve.getPoints())
        cells.push_back({q.x * getRealWidth() + 1.5, q.y * getRealHeight() + 1.5});
    const std::vector<ValleyVertex> valley = valleyGeometry(cells, kCurveFalloffCells);

    // Buffers beyond the GL limits render in tiles of at most limit x limit cells.
    const int limit = std::max(1, offscreenSizeLimit());
    const int tileW = std::min(w, limit);
    const int tileH = std::min(h, limit);

    GLint previousDraw = 0, previousRead = 0, previousRenderbuffer = 0, previousPack = 0;
    GLint previousMatrixMode = GL_MODELVIEW;
    GLdouble previousProjection[16], previousModelview[16];
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &previousDraw);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previousRead);
    glGetIntegerv(GL_RENDERBUFFER_BINDING, &previousRenderbuffer);
    if (gl.bindBuffer) glGetIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &previousPack);
    glGetIntegerv(GL_MATRIX_MODE, &previousMatrixMode);
    glGetDoublev(GL_PROJECTION_MATRIX, previousProjection);
    glGetDoublev(GL_MODELVIEW_MATRIX, previousModelview);

    GLuint renderbuffers[2] = {0, 0};
    GLuint fbo = 0;
    gl.genRenderbuffers(2, renderbuffers);
    gl.bindRenderbuffer(GL_RENDERBUFFER, renderbuffers[0]);
    gl.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, tileW, tileH);
    gl.bindRenderbuffer(GL_RENDERBUFFER, renderbuffers[1]);
    gl.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, tileW, tileH);
    gl.genFramebuffers(1, &fbo);
    gl.bindFramebuffer(GL_FRAMEBUFFER, fbo);
    gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, renderbuffers[0]);
    gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, renderbuffers[1]);
    const bool complete = gl.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;

    if (complete) {
        glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_VIEWPORT_BIT |
                     GL_TRANSFORM_BIT | GL_CURRENT_BIT | GL_POLYGON_BIT | GL_SCISSOR_BIT |
                     GL_PIXEL_MODE_BIT | GL_LIGHTING_BIT | GL_STENCIL_BUFFER_BIT);
        glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
        if (gl.bindBuffer && previousPack) gl.bindBuffer(GL_PIXEL_PACK_BUFFER, 0);
        glDrawBuffer(GL_COLOR_ATTACHMENT0);
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        for (GLenum cap : {GL_BLEND, GL_TEXTURE_2D, GL_LIGHTING, GL_CULL_FACE, GL_SCISSOR_TEST,
                           GL_DITHER, GL_ALPHA_TEST, GL_STENCIL_TEST, GL_FOG, GL_POLYGON_SMOOTH,
                           GL_POLYGON_STIPPLE, GL_COLOR_LOGIC_OP})
            glDisable(cap);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glDepthMask(GL_TRUE);
        glDepthRange(0.0, 1.0);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        glShadeModel(GL_FLAT);
        glClearDepth(1.0);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glPixelTransferf(GL_DEPTH_SCALE, 1.0f);
        glPixelTransferf(GL_DEPTH_BIAS, 0.0f);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glPixelStorei(GL_PACK_ROW_LENGTH, 0);
        glPixelStorei(GL_PACK_SKIP_ROWS, 0);
        glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
        glPixelStorei(GL_PACK_SWAP_BYTES, GL_FALSE);

        curveTangents.assign(static_cast<std::size_t>(w) * h * 4, 0);
        double* out = depth->getBufferArray();
        std::vector<float> tileDepth(static_cast<std::size_t>(tileW) * tileH);
        std::vector<unsigned char> tileColour(static_cast<std::size_t>(tileW) * tileH * 4);
        for (int y0 = 0; y0 < h; y0 += tileH) {
            for (int x0 = 0; x0 < w; x0 += tileW) {
                const int tw = std::min(tileW, w - x0);
                const int th = std::min(tileH, h - y0);
                glViewport(0, 0, tw, th);
                glMatrixMode(GL_PROJECTION);
                glLoadIdentity();
                // Eye depth -d lands at window depth d.
                glOrtho(x0, x0 + tw, y0, y0 + th, 0.0, 1.0);
                glMatrixMode(GL_MODELVIEW);
                glLoadIdentity();
                glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
                glBegin(GL_TRIANGLES);
                for (const ValleyVertex& v : valley) {
                    glColor4ubv(v.rgba);
                    glVertex3d(v.x, v.y, -v.depth);
                }
                glEnd();
                glReadPixels(0, 0, tw, th, GL_DEPTH_COMPONENT, GL_FLOAT, tileDepth.data());
                glReadPixels(0, 0, tw, th, GL_RGBA, GL_UNSIGNED_BYTE, tileColour.data());
                for (int r = 0; r < th; ++r) {
                    const std::size_t row = static_cast<std::size_t>(y0 + r) * w + x0;
                    for (int c = 0; c < tw; ++c) out[row + c] = tileDepth[static_cast<std::size_t>(r) * tw + c];
                    std::copy_n(tileColour.begin() + static_cast<std::ptrdiff_t>(r) * tw * 4, tw * 4,
                                curveTangents.begin() + static_cast<std::ptrdiff_t>(row) * 4);
                }
            }
        }
        curveDepthReady = true;
        if (gl.bindBuffer && previousPack) gl.bindBuffer(GL_PIXEL_PACK_BUFFER, static_cast<GLuint>(previousPack));
        glPopClientAttrib();
    }

    glMatrixMode(GL_PROJECTION);
    glLoadMatrixd(previousProjection);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(previousModelview);
    // The caller's framebuffers before its draw and read buffers come back with the attributes.
    gl.bindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(previousDraw));
    gl.bindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previousRead));
    if (complete) glPopAttrib();
    glMatrixMode(static_cast<GLenum>(previousMatrixMode));
    gl.deleteFramebuffers(1, &fbo);
    gl.deleteRenderbuffers(2, renderbuffers);
    gl.bindRenderbuffer(GL_RENDERBUFFER, static_cast<GLuint>(previousRenderbuffer));
}

void CanvasCompositeGL::computeOrientationFromCurve()
{
    if (!curveDepthReady) return;
    curveDepthReady = false;
    auto* depth = getActiveBufferAs<double>(DEPTH_BUFFER);
    auto* gradient = getActiveBufferAs<double>(GRADIENT_BUFFER);
    if (!depth || !gradient) return;
    const std::size_t w = depth->getWidth();
    const std::size_t h = depth->getHeight();
    if (w == 0 || h == 0 || gradient->getWidth() != w || gradient->getHeight() != h) return;
    canvas::gradientFromDepth(depth->getBufferArray(), w, h, gradient->getBufferArray());

    std::vector<float> field(w * h * 2);
    const bool hinted = curveTangents.size() == w * h * 4;
    canvas::orientationFromGradient(gradient->getBufferArray(), hinted ? curveTangents.data() : nullptr,
                                    w, h, field.data());

    releaseCurveOrientation();
    auto* temp = getActiveBufferAs<float>(TEMPORARY_ORIENTATION_BUFFER);
    if (temp && temp->getWidth() == w && temp->getHeight() == h) {
        float* cells = temp->getBufferArray();
        for (std::size_t i = 0; i < w * h; ++i) {
            const float* v = &field[2 * i];
            if (v[0] == 0.0f && v[1] == 0.0f) continue;
            cells[2 * i] = v[0];
            cells[2 * i + 1] = v[1];
            curveOrientationCells.push_back({i, {v[0], v[1]}});
        }
        curveOrientationHold = curveOrientationCells.empty() ? 0 : kCurveOrientationPasses;
    }

    float o[4] = {field[0], field[0], field[1], field[1]}; // max x, min x, max y, min y
    const double* g = gradient->getBufferArray();
    double gm[4] = {g[0], g[0], g[1], g[1]};
    for (std::size_t i = 0; i < w * h; ++i) {
        o[0] = std::max(o[0], field[2 * i]);
        o[1] = std::min(o[1], field[2 * i]);
        o[2] = std::max(o[2], field[2 * i + 1]);
        o[3] = std::min(o[3], field[2 * i + 1]);
        gm[0] = std::max(gm[0], g[2 * i]);
        gm[1] = std::min(gm[1], g[2 * i]);
        gm[2] = std::max(gm[2], g[2 * i + 1]);
        gm[3] = std::min(gm[3], g[2 * i + 1]);
    }
    std::cout << "maxOrientationXVal:" << o[0] << " minOrientationXVal" << o[1]
              << " maxOrientationYVal:" << o[2] << " minOrientationYVal" << o[3] << std::endl;
    std::cout << "maxGradientXVal:" << gm[0] << " minGradientXVal" << gm[1]
              << " maxGradientYVal:" << gm[2] << " minGradientYVal" << gm[3] << std::endl;
    std::vector<unsigned char>().swap(curveTangents);
}

void CanvasCompositeGL::releaseCurveOrientation()
{
    auto* temp = getActiveBufferAs<float>(TEMPORARY_ORIENTATION_BUFFER);
    if (temp) {
        const std::size_t n = static_cast<std::size_t>(temp->getWidth()) * temp->getHeight();
        float* cells = temp->getBufferArray();
        // Cells a brush has written since keep the brush's vector.
        for (const CurveOrientationCell& c : curveOrientationCells)
            if (c.index < n && cells[2 * c.index] == c.v[0] && cells[2 * c.index + 1] == c.v[1])
                cells[2 * c.index] = cells[2 * c.index + 1] = 0.0f;
        LensGL::refreshLensFields(this);
    }
    curveOrientationCells.clear();
    curveOrientationHold = 0;
}

void CanvasCompositeGL::renderInGlobalBuffersForward() { renderInGlobalBuffers(); }
