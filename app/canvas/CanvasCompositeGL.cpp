#include "canvas/CanvasCompositeGL.h"

#include "vis/TabletopVisGL.h"

#include <iostream>

CanvasCompositeGL::CanvasCompositeGL(TabletopVisGL* vis, unsigned int width, unsigned int height,
                                     double x, double y, double z, double borderSize,
                                     double overflowSize, unsigned int /*numberOfToolBrushes*/,
                                     float initialPrimitiveSize, float toolStateParameter)
    : SurfaceCompositeGL(vis, width, height, x, y, z, borderSize, overflowSize),
      initialPrimitiveSize(initialPrimitiveSize), toolStateParameter(toolStateParameter)
{
}

CanvasCompositeGL::~CanvasCompositeGL() = default;

int CanvasCompositeGL::addChild(VisComponent* child) { return SurfaceCompositeGL::addChild(child); }
int CanvasCompositeGL::removeChild(VisComponent* child) { return SurfaceCompositeGL::removeChild(child); }
unsigned int CanvasCompositeGL::hitLocalBuffer(unsigned int, unsigned int, unsigned int, unsigned int) { return 1; }
unsigned int CanvasCompositeGL::releaseLocalBuffer(unsigned int, unsigned int, unsigned int, unsigned int) { return 1; }
void CanvasCompositeGL::renderIntoBuffers() {}
void CanvasCompositeGL::rebuildGraphicRepresentation() { SurfaceCompositeGL::rebuildGraphicRepresentation(); }
void CanvasCompositeGL::wiimoteEvent(std::vector<WiiCommunicationData::WIIMOTE_BUTTON>&, WiiCommunicationData&) {}
void CanvasCompositeGL::renderInGlobalBuffersForward() { renderInGlobalBuffers(); }
void CanvasCompositeGL::clearTempOrientationBuffer2() {}
void CanvasCompositeGL::clearTempOrientationBuffer() {}
void CanvasCompositeGL::clearSelectionBuffer() {}
void CanvasCompositeGL::clearEraseBuffer() {}
void CanvasCompositeGL::clearSizeDiffBuffer() {}
void CanvasCompositeGL::drawTargetAreaPolygons() {}
void CanvasCompositeGL::requestClearSelection() { clearSelectionRequest.request(); }
void CanvasCompositeGL::requestClearErase() {}
void CanvasCompositeGL::requestClearTempOrientation2() { clearTempOrientation2Request.request(); }
void CanvasCompositeGL::requestClearTempOrientation() { clearTempOrientationRequest.request(); }
void CanvasCompositeGL::dumpBuffersToFiles() {}
void CanvasCompositeGL::loadBuffersFromFiles() {}
void CanvasCompositeGL::createBufferImage(BUFFERTAG) {}
void CanvasCompositeGL::requestRebuild() { rebuildRequest.request(); }
void CanvasCompositeGL::queueForDeletion(VisComponent* component) { deletionQueue.push_back(component); }
bool CanvasCompositeGL::getRecordTouchPosition() { return recordTouchPosition; }
void CanvasCompositeGL::setRecordTouchPosition(bool on) { recordTouchPosition = on; }
bool CanvasCompositeGL::isPainting() { return firstTouch; }
void CanvasCompositeGL::setInteractionMode(int mode) { interactionMode = mode; modeChanged = true; }
unsigned int CanvasCompositeGL::countPrimitivesOfCurrentLayer() { return 0; }
float CanvasCompositeGL::getInitialPrimitiveSize() { return initialPrimitiveSize; }
void CanvasCompositeGL::setWiiIndex(int index) { wiiIndex = index; }
int CanvasCompositeGL::getSizeStep() { return sizeStep; }
int CanvasCompositeGL::getBrushStrength() { return static_cast<int>(brushStrength); }
void CanvasCompositeGL::setTask(int task) { currentTask = task; }
void CanvasCompositeGL::clearTaskAreas() {}
bool CanvasCompositeGL::getTaskVisible() { return taskVisible; }
void CanvasCompositeGL::setTaskVisible(bool on) { taskVisible = on; }
void CanvasCompositeGL::setTaskSource(int source) { taskSource = source; }
void CanvasCompositeGL::buildTaskOverlayLists() {}
void CanvasCompositeGL::fillTaskAreas(int) {}
void CanvasCompositeGL::populateForTask(int) {}
void CanvasCompositeGL::buildModeLabels() {}
void CanvasCompositeGL::createAdditionalBuffers() {}
void CanvasCompositeGL::handleOrientationTouch(int, int, int, int, int) {}
void CanvasCompositeGL::handleMoveTouch(int, int, int, int, int) {}
void CanvasCompositeGL::handleSizeTouch(int, int, int, int, int) {}
void CanvasCompositeGL::handleColorTouch(int, int, int, int, int) {}
void CanvasCompositeGL::handleCreateTouch(int, int, int, int, int) {}
void CanvasCompositeGL::handleEraseTouch(int, int, int, int, int) {}
void CanvasCompositeGL::setOrientationSubModeFollow() {}
void CanvasCompositeGL::setOrientationSubModeRadial() {}
void CanvasCompositeGL::setOrientationSubModeCircular() {}
void CanvasCompositeGL::drawSelectionOutline() {}
void CanvasCompositeGL::drawSelectionOutlineDashed() {}
void CanvasCompositeGL::drawCurveOverlay() {}
void CanvasCompositeGL::printInteractionMode() { std::cout << "InteractionMode: " << interactionMode << std::endl; }
void CanvasCompositeGL::drawFrameGL() {}
void CanvasCompositeGL::drawBackgroundQuad() {}
void CanvasCompositeGL::computeDepthFromCurve() {}
void CanvasCompositeGL::computeOrientationFromCurve() {}
void CanvasCompositeGL::saveScreenshot(int) {}
void CanvasCompositeGL::setFakePosture(int posture, int w, int h) { fakePosture = posture; fakeContactWidth = w; fakeContactHeight = h; }
void CanvasCompositeGL::updatePostureRanges() {}
BufferTemplate<float>* CanvasCompositeGL::getToolStateGrid() const { return getActiveBufferAs<float>(TOOL_STATE_BUFFER); }
float CanvasCompositeGL::getToolState(unsigned int c, unsigned int r) const { auto* g = getToolStateGrid(); return g ? g->getValue(c, r) : 0.0f; }
void CanvasCompositeGL::setToolState(unsigned int c, unsigned int r, float v) { if (auto* g = getToolStateGrid()) g->setValue(c, r, v); }
ToolBrushLeafGL* CanvasCompositeGL::getToolBrush(unsigned int i) const { return i < toolBrushes.size() ? toolBrushes[i] : nullptr; }
VisComponent* CanvasCompositeGL::getPalette(unsigned int i) const { return i < numberOfPalettes ? palettes[i] : nullptr; }
std::vector<std::string> CanvasCompositeGL::dumpFileNames(int) { return {}; }
void CanvasCompositeGL::specificRender() { SurfaceCompositeGL::specificRender(); }
void CanvasCompositeGL::createActiveBuffers() {}
void CanvasCompositeGL::renderSurfaceGL() { SurfaceCompositeGL::renderSurfaceGL(); }
void CanvasCompositeGL::buildOrRebuildRenderDisplayLists() { SurfaceCompositeGL::buildOrRebuildRenderDisplayLists(); }
int CanvasCompositeGL::inputCombination() const { return 7; }
bool CanvasCompositeGL::nunchukC() const { return currentWii.nunchuk().c; }
bool CanvasCompositeGL::nunchukZ() const { return currentWii.nunchuk().z; }
float CanvasCompositeGL::joystickX() const { return currentWii.nunchuk().joyX; }
float CanvasCompositeGL::joystickY() const { return currentWii.nunchuk().joyY; }
void CanvasCompositeGL::replayPath(float) {}
void CanvasCompositeGL::showCornerMenuIcon(int) {}
void CanvasCompositeGL::runModeHandler(int, int, int, int, int, int) {}
