#include "canvas/CanvasCompositeGL.h"

#include "canvas/CanvasBuffers.h"
#include "core/Random.h"
#include "shell/RuduzozovorERUVisGL.h"
#include "vis/TabletopVisGL.h"

#include "canvas/ToolBrushLeafGL.h"
#include "canvas/PrimitiveLeafGL.h"

#include <FTGL/ftgl.h>
#include <GL/gl.h>
#include <IL/il.h>

#include <algorithm>
#include <cmath>
#include <iostream>

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
    removeActiveBuffers();
    if (frameList) glDeleteLists(frameList, 1);
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
    createAdditionalBuffers();
    const unsigned int w = getBufferWidth();
    const unsigned int h = getBufferHeight();

    auto* mask = makeBuffer<bool>(1, w, h);
    mask->fillEntireBuffer(true);
    setActiveBuffer(VALIDITY_MASK_BUFFER, mask);
    auto* target = makeBuffer<bool>(1, w, h);
    target->fillEntireBuffer(false);
    setActiveBuffer(TARGET_AREA_BUFFER, target);
    auto* size = makeBuffer<float>(1, w, h);
    size->fillEntireBuffer(initialPrimitiveSize);
    setActiveBuffer(ABSOLUTE_SIZE_BUFFER, size);
    auto* orientation = makeBuffer<float>(2, w, h);
    canvas::fillRandomOrientation(*orientation);
    setActiveBuffer(ORIENTATION_BUFFER, orientation);
    auto* color = makeBuffer<unsigned char>(3, w, h);
    unsigned char paper[3] = {120, 100, 40};
    color->fillEntireBufferWith3DValue(paper);
    setActiveBuffer(COLOR_BUFFER, color);
    auto* movement = makeBuffer<float>(2, w, h);
    movement->fillEntireBuffer(0.0f);
    setActiveBuffer(DIRECTION_BUFFER, movement);
    auto* erase = makeBuffer<float>(1, w, h);
    erase->fillEntireBuffer(0.0f);
    setActiveBuffer(ERASE_BUFFER, erase);
    auto* tiles = makeBuffer<float>(2, w, h);
    tiles->fillEntireBuffer(0.0f);
    setActiveBuffer(FRAME_VECTOR_BUFFER, tiles);
    auto* speed = makeBuffer<int>(1, w, h);
    speed->fillEntireBuffer(0);
    setActiveBuffer(SPEED_BUFFER, speed);
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
    auto* sizeDiff = makeBuffer<float>(1, w, h);
    sizeDiff->fillEntireBuffer(0.0f);
    setActiveBuffer(SIZE_DIFFERENCE_BUFFER, sizeDiff);
    auto* temp2 = makeBuffer<float>(2, w, h);
    temp2->fillEntireBuffer(0.0f);
    setActiveBuffer(SECOND_TEMPORARY_ORIENTATION_BUFFER, temp2);
    auto* temp = makeBuffer<float>(2, w, h);
    temp->fillEntireBuffer(0.0f);
    setActiveBuffer(TEMPORARY_ORIENTATION_BUFFER, temp);
    auto* tempColor = makeBuffer<unsigned char>(3, w, h);
    tempColor->fillEntireBuffer(127);
    setActiveBuffer(TEMPORARY_COLOR_BUFFER, tempColor);
    auto* selection = makeBuffer<bool>(1, w, h);
    selection->fillEntireBuffer(false);
    setActiveBuffer(SELECTION_BUFFER, selection);
    auto* selection2 = makeBuffer<bool>(1, w, h);
    selection2->fillEntireBuffer(false);
    setActiveBuffer(AUXILIARY_SELECTION_BUFFER, selection2);
    auto* auxiliary = makeBuffer<float>(2, w, h);
    auxiliary->fillEntireBuffer(0.0f);
    setActiveBuffer(AUXILIARY_VECTOR_BUFFER, auxiliary);
    // The drop-off buffer is written by the brushes before anything reads it; zeroed so that an
    // image of it never shows stale memory.
    auto* dropOff = makeBuffer<float>(1, w, h);
    dropOff->clearBuffer();
    setActiveBuffer(DROP_OFF_BUFFER, dropOff);
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
    // A child still queued for deletion must not be deleted after it left the canvas.
    deletionQueue.erase(std::remove(deletionQueue.begin(), deletionQueue.end(), child),
                        deletionQueue.end());
    return SurfaceCompositeGL::removeChild(child);
}

bool CanvasCompositeGL::isPalette(VisComponent* child) const
{
    (void)child;
    return false;
}

void CanvasCompositeGL::queueForDeletion(VisComponent* component)
{
    if (!component) return;
    // Each entry is deleted once: a primitive eroded in two frames is queued only once.
    if (std::find(deletionQueue.begin(), deletionQueue.end(), component) != deletionQueue.end())
        return;
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
    auto* app = dynamic_cast<RuduzozovorERUVisGL*>(getController());
    if (!app) return;
    classifier.setRange(0, app->getPenMin(), app->getPenMax());
    classifier.setRange(1, app->getOneFingerMin(), app->getOneFingerMax());
    classifier.setRange(2, app->getTwoFingersMin(), app->getTwoFingersMax());
    classifier.setRange(3, app->getFistMin(), app->getFistMax());
    classifier.setRange(4, app->getHandMin(), app->getHandMax());
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
    if (d.diameter >= 0.0f) applyBrushDiameter(d.diameter);
    runHandler(d.handler, bx, by, contactW, contactH, d.handlerPosture);

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
}

void CanvasCompositeGL::applyBrushDiameter(float diameter)
{
    if (ToolBrushLeafGL* brush = getToolBrush(0)) {
        brush->setDiameter(diameter, false);
        return;
    }
    setToolState(0, 2, diameter);
}

void CanvasCompositeGL::showCornerMenuIcon(int icon) { lastCornerIcon = icon; }

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
    return 1;
}

void CanvasCompositeGL::parkRecordedPosition()
{
    setToolState(6, 0, 120.0f);
    setToolState(6, 1, static_cast<float>(getHeight() - 220.0));
}

// ---------------------------------------------------------------------------------------------
// Buffers each frame

void CanvasCompositeGL::renderIntoBuffers()
{
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
        if (vis) {
            vis->removeComponentFromRenderList(c);
            vis->deleteComponent(c);
        }
    }

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
// Study tasks: the task Part fills these in; the canvas keeps their state.

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
void CanvasCompositeGL::buildTaskOverlayLists() {}
void CanvasCompositeGL::fillTaskAreas(int) {}
void CanvasCompositeGL::populateForTask(int) {}
void CanvasCompositeGL::drawTargetAreaPolygons() {}

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
    if (currentWii.up && !previousWii.up) cornerMenuShown = true;
    if (currentWii.down && !previousWii.down) cornerMenuShown = false;

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
                const float d = getToolState(0, 2) - 0.3f * 20.0f * y;
                applyBrushDiameter(std::clamp(d, 10.0f, 600.0f));
            }
        }
        firstTouch = true;
        runModeHandler(interactionMode == MODE_CREATE_ERASE ? MODE_CREATE : interactionMode, bx,
                       by, 10, 10, PostureClassifier::OTHER);
    } else if (previousWii.b) {
        firstTouch = false;
        parkRecordedPosition();
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
    if (auto* b = c.getActiveBufferAs<T>(tag)) canvas::readRaw(*b, b->getBufferArray(), path);
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

void CanvasCompositeGL::drawSelectionOutline() {}
void CanvasCompositeGL::drawSelectionOutlineDashed() {}

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

void CanvasCompositeGL::computeDepthFromCurve() {}
void CanvasCompositeGL::computeOrientationFromCurve() {}

void CanvasCompositeGL::renderInGlobalBuffersForward() { renderInGlobalBuffers(); }
