#include "PrimitiveLeafGL.h"

#include "CanvasCompositeGL.h"

#include "vis/TabletopVisGL.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDegNegated = -57.29577951308232;
constexpr float kOrientationThreshold = 0.00001f;
constexpr double kMovementScale = 2.5;
constexpr double kTurnShare = 0.2;
constexpr double kSizeStep = 0.02;

} // namespace

PrimitiveLeafGL::PrimitiveLeafGL(TabletopVisGL* vis, double x, double y, bool rnt, bool tossing,
                                 double width, double height, double baseSizeFactor_, int type)
    : VisComponentGL(vis, width, height, rnt, tossing, x, y, 0.0),
      primitiveType(type),
      baseSizeFactor(baseSizeFactor_),
      targetWidth(width),
      targetHeight(height)
{
    rotate(-getRotation());
    PrimitiveLeafGL::initializePassiveBuffers();
    bindBufferSlots();
}

PrimitiveLeafGL::~PrimitiveLeafGL() = default;

int PrimitiveLeafGL::getPrimitiveType() { return primitiveType; }

void PrimitiveLeafGL::setParent(VisComponent* p)
{
    VisComponentGL::setParent(p);
    canvas_ = dynamic_cast<CanvasCompositeGL*>(p);
}

void PrimitiveLeafGL::setDisplayColor(unsigned char r, unsigned char g, unsigned char b)
{
    displayColor = {r, g, b};
}

void PrimitiveLeafGL::initializePassiveBuffers()
{
    for (BUFFERTAG tag : {ABSOLUTE_SIZE_BUFFER, SIZE_DIFFERENCE_BUFFER, DIRECTION_BUFFER,
                          ORIENTATION_BUFFER, TEMPORARY_ORIENTATION_BUFFER, COLOR_BUFFER,
                          ERASE_BUFFER, TOOL_STATE_BUFFER, DROP_OFF_BUFFER, SELECTION_BUFFER,
                          AUXILIARY_SELECTION_BUFFER, TARGET_AREA_BUFFER, VALIDITY_MASK_BUFFER})
        setPassiveBuffer(tag, nullptr);
}

void PrimitiveLeafGL::bindBufferSlots()
{
    const BufferMap& map = *getPassiveBuffers();
    speedBuffer.bind(map, SPEED_BUFFER);
    sizeBuffer.bind(map, ABSOLUTE_SIZE_BUFFER);
    sizeDifferenceBuffer.bind(map, SIZE_DIFFERENCE_BUFFER);
    movementBuffer.bind(map, DIRECTION_BUFFER);
    orientationBuffer.bind(map, ORIENTATION_BUFFER);
    temporaryOrientationBuffer.bind(map, TEMPORARY_ORIENTATION_BUFFER);
    colorBuffer.bind(map, COLOR_BUFFER);
    temporaryColorBuffer.bind(map, TEMPORARY_COLOR_BUFFER);
    eraseBuffer.bind(map, ERASE_BUFFER);
    tilePositionBuffer.bind(map, FRAME_VECTOR_BUFFER);
    toolStateBuffer.bind(map, TOOL_STATE_BUFFER);
    dropOffBuffer.bind(map, DROP_OFF_BUFFER);
    selectionBuffer.bind(map, SELECTION_BUFFER);
    targetAreaBuffer.bind(map, TARGET_AREA_BUFFER);
    strokeVisibilityBuffer.bind(map, VALIDITY_MASK_BUFFER);
}

float PrimitiveLeafGL::toolStateCell(unsigned int column, unsigned int row)
{
    BufferTemplate<float>* grid = toolStateBuffer.get();
    if (!grid || column >= grid->getWidth() || row >= grid->getHeight()) return 0.0f;
    return grid->getValue(column, row);
}

bool PrimitiveLeafGL::isOnCurrentLayer()
{
    BufferTemplate<float>* grid = toolStateBuffer.get();
    if (!grid || grid->getWidth() < 1 || grid->getHeight() < 4) return false;
    return std::lround(grid->getValue(0u, 3u)) == getPrimitiveType();
}

bool PrimitiveLeafGL::isDimmed()
{
    return toolStateCell(0, 5) != 0.0f && std::lround(toolStateCell(0, 4)) != getPrimitiveType();
}

void PrimitiveLeafGL::refreshParentRotation()
{
    const double r = parent->getRotation();
    if (r == cachedParentRotation) return;
    cachedParentRotation = r;
    parentCos = std::cos(r * kDegToRad);
    parentSin = std::sin(r * kDegToRad);
}

bool PrimitiveLeafGL::locateCell()
{
    if (!parent) return false;
    refreshParentRotation();
    // Parent-local position: the offset turned back by the parent's rotation (cos(-a) = cos a,
    // sin(-a) = -sin a), clamped to the parent's rectangle as the framework does.
    const double dx = xPos - parent->getXPos();
    const double dy = yPos - parent->getYPos();
    const double pw = parent->getWidth();
    const double ph = parent->getHeight();
    const double lx = std::clamp(parentCos * dx + parentSin * dy + pw * 0.5, 0.0, pw);
    const double ly = std::clamp(-parentSin * dx + parentCos * dy + ph * 0.5, 0.0, ph);
    bufferX = lx / parent->getXScale() + 1.5;
    bufferY = ly / parent->getYScale() + 1.5;
    cellX = static_cast<unsigned int>(bufferX);
    cellY = static_cast<unsigned int>(bufferY);
    return true;
}

void PrimitiveLeafGL::animateMyself(double dt)
{
    if (!isOnCurrentLayer()) return;
    updateFromBuffers(dt);
}

void PrimitiveLeafGL::applyTemporaryColor()
{
    BufferTemplate<unsigned char>* tmp = temporaryColorBuffer.get();
    if (!covers(tmp)) return;
    unsigned char c[3];
    tmp->get3DValues(cellX, cellY, c);
    if (c[0] != 127) displayColor = {c[0], c[1], c[2]};
}

void PrimitiveLeafGL::updateFromBuffers(double dt)
{
    if (!locateCell()) return;
    changedThisFrame = false;

    // Erosion. A queued primitive is not queued again: the canvas deletes it once per entry.
    if (BufferTemplate<float>* erase = eraseBuffer.get(); covers(erase)) {
        life -= static_cast<int>(erase->getValue(cellX, cellY));
        if (life <= kDeletionLife && canvas_ && !queuedForDeletion) {
            queuedForDeletion = true;
            canvas_->queueForDeletion(this);
            life = 1;
        }
    }

    // Colour: taken as it is, no blending.
    BufferTemplate<unsigned char>* color = colorBuffer.get();
    if (covers(color) && dropOffBuffer.get()) {
        unsigned char c[3];
        color->get3DValues(cellX, cellY, c);
        if (c[0] != colorR || c[1] != colorG || c[2] != colorB) {
            colorR = c[0];
            colorG = c[1];
            colorB = c[2];
            displayColor = {c[0], c[1], c[2]};
        }
    }

    if (BufferTemplate<bool>* area = targetAreaBuffer.get(); covers(area))
        inTargetArea = area->getValue(cellX, cellY);

    if (!getTossingNow()) {
        if (BufferTemplate<float>* movement = movementBuffer.get(); covers(movement)) {
            float v[2];
            movement->get2DValues(cellX, cellY, v);
            if (v[0] != 0.0f || v[1] != 0.0f) {
                const double mx = (v[0] * parentCos - v[1] * parentSin) * dt;
                const double my = (v[0] * parentSin + v[1] * parentCos) * dt;
                moveBy(kMovementScale * mx, kMovementScale * my);
                changedThisFrame = true;
            }
        }

        if (BufferTemplate<float>* orient = temporaryOrientationBuffer.get(); covers(orient)) {
            float v[2];
            orient->get2DValues(cellX, cellY, v);
            if (v[0] * v[0] + v[1] * v[1] > kOrientationThreshold) {
                // Same convention as the framework: (0, 1) faces 0 degrees, (1, 0) -90.
                targetOrientation = std::atan2(static_cast<double>(v[0]), static_cast<double>(v[1])) * kRadToDegNegated;
                if (targetOrientation != previousTargetOrientation) changedThisFrame = true;
                previousTargetOrientation = targetOrientation;
                double d = targetOrientation - getRotation();
                while (d > 180.0) d -= 360.0;
                while (d <= -180.0) d += 360.0;
                if (d > 1.0 || d <= -1.0) rotate(kTurnShare * d);
            }
        }

        double newTargetWidth = targetWidth;
        double newTargetHeight = targetHeight;
        if (BufferTemplate<float>* size = sizeBuffer.get(); covers(size)) {
            // Taken when the buffer changes under the primitive: comparing with the current
            // width would pull every size-mode change back to the buffer the next frame.
            const double s = size->getValue(cellX, cellY);
            if (s != takenAbsoluteSize) {
                takenAbsoluteSize = s;
                if (s != width) newTargetWidth = newTargetHeight = s;
            }
        }
        // Only a non-zero difference sets a target: zero would cancel the absolute size above.
        if (BufferTemplate<float>* diff = sizeDifferenceBuffer.get(); covers(diff)) {
            const double d = diff->getValue(cellX, cellY);
            if (d != 0.0) {
                newTargetWidth =
                    std::clamp(width + d, kMinimumRelativeSize, kMaximumRelativeSize);
                newTargetHeight =
                    std::clamp(height + d, kMinimumRelativeSize, kMaximumRelativeSize);
            }
        }
        if (newTargetWidth != targetWidth || newTargetHeight != targetHeight) {
            targetWidth = newTargetWidth;
            targetHeight = newTargetHeight;
            // A new target starts an animation; a running one follows the moving target.
            if (!sizeAnimationPending) {
                sizeAnimationPending = true;
                sizeProgress = 0.0;
            }
        }
    }

    // Size animation towards the target, in unmagnified units.
    const double scale = currentlyMagnified ? currentScaleFactor : 1.0;
    const double cw = width / scale;
    const double ch = height / scale;
    const double w = (cw + (targetWidth - cw) * sizeProgress) * scale;
    const double h = (ch + (targetHeight - ch) * sizeProgress) * scale;
    if (w != width || h != height) setSize(w, h);
    if (sizeProgress < 1.0) {
        sizeProgress += kSizeStep;
        if (sizeProgress > 1.0) sizeProgress = 1.0;
    }
    if (sizeAnimationPending && sizeProgress == 1.0) {
        sizeAnimationPending = false;
        saveImportantAttributes();
    }
}

void PrimitiveLeafGL::pickingPreparation()
{
    if (parent)
        glColor4ubv(parent->getColorVector());
    else
        VisComponentGL::pickingPreparation();
}

void PrimitiveLeafGL::applyShapeTransformations()
{
    doCommonTransformations();
    glScaled(getRealWidth(), getRealHeight(), 1.0);
}

bool PrimitiveLeafGL::passHiddenFrames()
{
    if (frameCounter < kHiddenFrames) {
        ++frameCounter;
        return false;
    }
    return true;
}
