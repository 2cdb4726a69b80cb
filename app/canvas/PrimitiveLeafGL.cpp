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

template <class T> void bindView(BufferTemplate<T>*& typed, IBuffer* buffer)
{
    typed = bufferCast<T>(buffer);
}

} // namespace

PrimitiveLeafGL::PrimitiveLeafGL(TabletopVisGL* vis, double x, double y, bool rnt, bool tossing,
                                 double width, double height, double baseSizeFactor_, int type)
    : VisComponentGL(vis, width, height, rnt, tossing, x, y, 0.0),
      targetWidth(width),
      targetHeight(height),
      primitiveType(type),
      baseSizeFactor(baseSizeFactor_)
{
    rotate(-getRotation());
    PrimitiveLeafGL::initializePassiveBuffers();
}

PrimitiveLeafGL::~PrimitiveLeafGL()
{
    if (canvas_ && storeId != PrimitiveStore::kNone) canvas_->primitiveStore().remove(this);
}

int PrimitiveLeafGL::getPrimitiveType() { return primitiveType; }

void PrimitiveLeafGL::setParent(VisComponent* p)
{
    VisComponentGL::setParent(p);
    auto* next = dynamic_cast<CanvasCompositeGL*>(p);
    if (next == canvas_) return;
    if (canvas_ && storeId != PrimitiveStore::kNone) canvas_->primitiveStore().remove(this);
    canvas_ = next;
    if (canvas_) canvas_->primitiveStore().add(this, getPrimitiveType());
}

void PrimitiveLeafGL::setDisplayColor(unsigned char r, unsigned char g, unsigned char b)
{
    displayColor = {r, g, b};
    wakeInPass();
}

PrimitiveLeafGL::State PrimitiveLeafGL::getState() const
{
    State s;
    s.x = xPos;
    s.y = yPos;
    s.rotation = rotation;
    s.width = width;
    s.height = height;
    s.life = life;
    s.frameCounter = frameCounter;
    s.displayColor = displayColor;
    s.bufferColor = {colorR, colorG, colorB};
    s.inTargetArea = inTargetArea;
    s.sizeAnimationPending = sizeAnimationPending;
    s.targetOrientation = targetOrientation;
    s.previousTargetOrientation = previousTargetOrientation;
    s.sizeProgress = sizeProgress;
    s.targetWidth = targetWidth;
    s.targetHeight = targetHeight;
    s.takenAbsoluteSize = takenAbsoluteSize;
    return s;
}

void PrimitiveLeafGL::setState(const State& s)
{
    setPos(s.x, s.y);
    // Assigned, not turned to: a turn by the difference may miss the angle by a rounding step.
    rotation = s.rotation;
    if (s.width != width || s.height != height) setSize(s.width, s.height);
    life = s.life;
    frameCounter = s.frameCounter;
    displayColor = s.displayColor;
    colorR = s.bufferColor.r;
    colorG = s.bufferColor.g;
    colorB = s.bufferColor.b;
    inTargetArea = s.inTargetArea;
    sizeAnimationPending = s.sizeAnimationPending;
    targetOrientation = s.targetOrientation;
    previousTargetOrientation = s.previousTargetOrientation;
    sizeProgress = s.sizeProgress;
    targetWidth = s.targetWidth;
    targetHeight = s.targetHeight;
    takenAbsoluteSize = s.takenAbsoluteSize;
    // Cached reads belong to the old placement.
    ++sampleEpoch;
    wakeInPass();
    saveImportantAttributes();
}

void PrimitiveLeafGL::initializePassiveBuffers()
{
    // One allocation for the shared tags, the tossing friction and the kind's own (at most two).
    getPassiveBuffers()->reserve(17);
    for (BUFFERTAG tag : {ABSOLUTE_SIZE_BUFFER, RELATIVE_SIZE_BUFFER, SIZE_DIFFERENCE_BUFFER, DIRECTION_BUFFER,
                          ORIENTATION_BUFFER, TEMPORARY_ORIENTATION_BUFFER, COLOR_BUFFER,
                          ERASE_BUFFER, TOOL_STATE_BUFFER, DROP_OFF_BUFFER, SELECTION_BUFFER,
                          AUXILIARY_SELECTION_BUFFER, TARGET_AREA_BUFFER, VALIDITY_MASK_BUFFER})
        setPassiveBuffer(tag, nullptr);
}

void PrimitiveLeafGL::bindBuffers()
{
    bindView(views.speedBuffer, getPassiveBuffer(SPEED_BUFFER));
    bindView(views.sizeBuffer, getPassiveBuffer(ABSOLUTE_SIZE_BUFFER));
    bindView(views.sizeDifferenceBuffer, getPassiveBuffer(SIZE_DIFFERENCE_BUFFER));
    bindView(views.relativeSizeBuffer, getPassiveBuffer(RELATIVE_SIZE_BUFFER));
    bindView(views.movementBuffer, getPassiveBuffer(DIRECTION_BUFFER));
    bindView(views.orientationBuffer, getPassiveBuffer(ORIENTATION_BUFFER));
    bindView(views.temporaryOrientationBuffer, getPassiveBuffer(TEMPORARY_ORIENTATION_BUFFER));
    bindView(views.colorBuffer, getPassiveBuffer(COLOR_BUFFER));
    bindView(views.temporaryColorBuffer, getPassiveBuffer(TEMPORARY_COLOR_BUFFER));
    bindView(views.eraseBuffer, getPassiveBuffer(ERASE_BUFFER));
    bindView(views.tilePositionBuffer, getPassiveBuffer(FRAME_VECTOR_BUFFER));
    bindView(views.toolStateBuffer, getPassiveBuffer(TOOL_STATE_BUFFER));
    bindView(views.dropOffBuffer, getPassiveBuffer(DROP_OFF_BUFFER));
    bindView(views.selectionBuffer, getPassiveBuffer(SELECTION_BUFFER));
    bindView(views.targetAreaBuffer, getPassiveBuffer(TARGET_AREA_BUFFER));
    bindView(views.strokeVisibilityBuffer, getPassiveBuffer(VALIDITY_MASK_BUFFER));
    boundVersion = getPassiveBuffersVersion();
    ++sampleEpoch;
}

float PrimitiveLeafGL::toolStateCell(unsigned int column, unsigned int row)
{
    BufferTemplate<float>* grid = buffers().toolStateBuffer;
    if (!grid || column >= grid->getWidth() || row >= grid->getHeight()) return 0.0f;
    return grid->getValue(column, row);
}

bool PrimitiveLeafGL::isOnCurrentLayer()
{
    BufferTemplate<float>* grid = buffers().toolStateBuffer;
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

namespace {

// Parent-local position: the offset turned back by the parent's rotation (cos(-a) = cos a,
// sin(-a) = -sin a), clamped to the parent's rectangle as the framework does; then buffer cells.
void cellOfOffset(double dx, double dy, double pw, double ph, double c, double s, double xs,
                  double ys, unsigned int* x, unsigned int* y, double* bx, double* by)
{
    const double lx = std::clamp(c * dx + s * dy + pw * 0.5, 0.0, pw);
    const double ly = std::clamp(-s * dx + c * dy + ph * 0.5, 0.0, ph);
    *bx = lx / xs + 1.5;
    *by = ly / ys + 1.5;
    *x = static_cast<unsigned int>(*bx);
    *y = static_cast<unsigned int>(*by);
}

} // namespace

void PrimitiveLeafGL::cellOfCentre(unsigned int* x, unsigned int* y, double* bx,
                                   double* by) const
{
    cellOfOffset(xPos - parent->getXPos(), yPos - parent->getYPos(), parent->getWidth(),
                 parent->getHeight(), parentCos, parentSin, parent->getXScale(),
                 parent->getYScale(), x, y, bx, by);
}

void PrimitiveLeafGL::cellIn(const PassGrids& pass, unsigned int* x, unsigned int* y, double* bx,
                             double* by) const
{
    cellOfOffset(xPos - pass.x, yPos - pass.y, pass.width, pass.height, pass.cosA, pass.sinA,
                 pass.xScale, pass.yScale, x, y, bx, by);
}

bool PrimitiveLeafGL::locateCell()
{
    if (!parent) return false;
    refreshParentRotation();
    unsigned int x = 0;
    unsigned int y = 0;
    cellOfCentre(&x, &y, &bufferX, &bufferY);
    if (x != cellX || y != cellY) {
        cellX = x;
        cellY = y;
        ++sampleEpoch;
    }
    return true;
}

void PrimitiveLeafGL::animateMyself(double dt)
{
    if (canvas_ && storeId != PrimitiveStore::kNone)
        canvas_->runUpdatePass(dt);
    else
        updateSelf(dt);
}

void PrimitiveLeafGL::updateSelf(double dt)
{
    if (!isOnCurrentLayer() || !locateCell()) return;
    beginVisit();
    updateFromBuffers(dt);
    endVisit();
}

void PrimitiveLeafGL::beginVisit()
{
    if (canvas_) canvas_->cellPrefetcher().beginVisit();
}

void PrimitiveLeafGL::endVisit()
{
    if (!canvas_) return;
    unsigned int x = 0;
    unsigned int y = 0;
    double bx = 0.0;
    double by = 0.0;
    cellOfCentre(&x, &y, &bx, &by);
    canvas_->cellPrefetcher().endVisit(x, y);
}

void PrimitiveLeafGL::applyTemporaryColor()
{
    applyTemporaryColor(sample(buffers().temporaryColorBuffer, temporaryColorSample));
}

void PrimitiveLeafGL::updateFromBuffers(double dt)
{
    const BufferViews& b = buffers();
    CellReads reads;
    reads.cosA = parentCos;
    reads.sinA = parentSin;
    reads.erase = sample(b.eraseBuffer, eraseSample);
    reads.dropOff = b.dropOffBuffer != nullptr;
    if (reads.dropOff) reads.color = sample(b.colorBuffer, colorSample);
    reads.targetArea = sample(b.targetAreaBuffer, targetAreaSample);
    reads.relativeSize = sample(b.relativeSizeBuffer, relativeSizeSample);
    if (!getTossingNow()) {
        reads.movement = sample(b.movementBuffer, movementSample);
        reads.orientation = sample(b.temporaryOrientationBuffer, orientationSample);
        reads.size = sample(b.sizeBuffer, sizeSample);
        reads.sizeDifference = sample(b.sizeDifferenceBuffer, sizeDifferenceSample);
    }
    applyReads(reads, dt);
}

bool PrimitiveLeafGL::updateInPass(const PassGrids& pass, double dt, bool clean,
                                   unsigned int* nextX, unsigned int* nextY)
{
    unsigned int x = 0;
    unsigned int y = 0;
    double bx = 0.0;
    double by = 0.0;
    // The framework animates only what it draws with animation.
    if (activeForRendering && animationActive && !hasOwnUpdate()) {
        // Unmoved: the cell read last is the cell read next.
        if (passIdle && clean && passIdleMark == idleMark()) return true;
        cellIn(pass, &x, &y, &bx, &by);
        const double oldX = xPos;
        const double oldY = yPos;
        const double oldRotation = rotation;
        // Whether this update changes nothing is asked only after a calm one: a primitive that
        // moves, turns or grows pays nothing for the question.
        const bool ask = passCalm;
        PassState before;
        if (ask) before = passState();
        readPassExtras(pass, x, y);
        CellReads reads;
        reads.cosA = pass.cosA;
        reads.sinA = pass.sinA;
        reads.erase = passCell(pass.erase, x, y);
        reads.dropOff = pass.dropOff;
        if (reads.dropOff) reads.color = passCell(pass.color, x, y);
        reads.targetArea = passCell(pass.targetArea, x, y);
        reads.relativeSize = passCell(pass.relativeSize, x, y);
        const bool tossing = getTossingNow();
        if (!tossing) {
            reads.movement = passCell(pass.movement, x, y);
            reads.orientation = passCell(pass.orientation, x, y);
            reads.size = passCell(pass.size, x, y);
            reads.sizeDifference = passCell(pass.sizeDifference, x, y);
        }
        applyReads(reads, dt);
        // A movement field moves the primitive by its time step, which may have been 0.
        const float* m = reads.movement;
        passCalm = !tossing && !(m && (m[0] != 0.0f || m[1] != 0.0f)) && !sizeAnimationPending &&
                   sizeProgress >= 1.0 && rotation == oldRotation;
        passIdle = ask && passCalm && passState() == before;
        if (passIdle) passIdleMark = idleMark();
        if (xPos == oldX && yPos == oldY) {
            *nextX = x;
            *nextY = y;
            return false;
        }
    } else {
        passIdle = false;
        if (activeForRendering && animationActive) updateSelf(dt);
    }
    cellIn(pass, nextX, nextY, &bx, &by);
    return false;
}

PrimitiveLeafGL::PassState PrimitiveLeafGL::passState() const
{
    PassState s;
    s.frame = idleMark();
    s.targetOrientation = targetOrientation;
    s.previousTargetOrientation = previousTargetOrientation;
    s.orientationReadAngle = orientationReadAngle;
    s.sizeProgress = sizeProgress;
    s.targetWidth = targetWidth;
    s.targetHeight = targetHeight;
    s.takenAbsoluteSize = takenAbsoluteSize;
    s.orientationRead[0] = orientationRead[0];
    s.orientationRead[1] = orientationRead[1];
    s.life = life;
    s.extra = passExtraState();
    s.display = displayColor;
    s.rgb[0] = colorR;
    s.rgb[1] = colorG;
    s.rgb[2] = colorB;
    s.inTargetArea = inTargetArea;
    s.sizeAnimationPending = sizeAnimationPending;
    s.queued = queuedForDeletion;
    s.changed = changedThisFrame;
    return s;
}

bool PrimitiveLeafGL::PassState::operator==(const PassState& o) const
{
    return frame == o.frame && targetOrientation == o.targetOrientation &&
           previousTargetOrientation == o.previousTargetOrientation &&
           orientationReadAngle == o.orientationReadAngle && sizeProgress == o.sizeProgress &&
           targetWidth == o.targetWidth && targetHeight == o.targetHeight &&
           takenAbsoluteSize == o.takenAbsoluteSize && orientationRead[0] == o.orientationRead[0] &&
           orientationRead[1] == o.orientationRead[1] && life == o.life && extra == o.extra &&
           display.r == o.display.r && display.g == o.display.g && display.b == o.display.b &&
           rgb[0] == o.rgb[0] && rgb[1] == o.rgb[1] && rgb[2] == o.rgb[2] &&
           inTargetArea == o.inTargetArea && sizeAnimationPending == o.sizeAnimationPending &&
           queued == o.queued && changed == o.changed;
}

void PrimitiveLeafGL::prefetchForUpdate() const
{
    // The virtual table pointer, then the per-frame state of the base class and of this class,
    // which lie next to each other.
    __builtin_prefetch(this);
    const char* from = reinterpret_cast<const char*>(&animationActive);
    const char* to = reinterpret_cast<const char*>(&passIdleMark + 1);
    for (const char* line = from; line < to; line += 64) __builtin_prefetch(line, 1);
    __builtin_prefetch(to - 1, 1);
}

void PrimitiveLeafGL::applyReads(const CellReads& reads, double dt)
{
    changedThisFrame = false;

    // Erosion. A queued primitive is not queued again: the canvas deletes it once per entry.
    if (const float* erase = reads.erase) {
        life -= static_cast<int>(*erase);
        if (life <= kDeletionLife && canvas_ && !queuedForDeletion) {
            queuedForDeletion = true;
            canvas_->queueForDeletion(this);
            life = 1;
        }
    }

    // Colour: taken as it is, no blending.
    if (reads.dropOff) {
        if (const unsigned char* c = reads.color) {
            if (c[0] != colorR || c[1] != colorG || c[2] != colorB) {
                colorR = c[0];
                colorG = c[1];
                colorB = c[2];
                displayColor = {c[0], c[1], c[2]};
            }
        }
    }

    if (const bool* area = reads.targetArea) inTargetArea = *area;

    if (!getTossingNow()) {
        if (const float* v = reads.movement) {
            if (v[0] != 0.0f || v[1] != 0.0f) {
                const double mx = (v[0] * reads.cosA - v[1] * reads.sinA) * dt;
                const double my = (v[0] * reads.sinA + v[1] * reads.cosA) * dt;
                moveBy(kMovementScale * mx, kMovementScale * my);
                changedThisFrame = true;
            }
        }

        if (const float* v = reads.orientation) {
            if (v[0] * v[0] + v[1] * v[1] > kOrientationThreshold) {
                // Same convention as the framework: (0, 1) faces 0 degrees, (1, 0) -90. The
                // field rarely changes under a primitive: the angle is recomputed only when it does.
                if (v[0] != orientationRead[0] || v[1] != orientationRead[1]) {
                    orientationRead[0] = v[0];
                    orientationRead[1] = v[1];
                    orientationReadAngle = std::atan2(static_cast<double>(v[0]), static_cast<double>(v[1])) * kRadToDegNegated;
                }
                targetOrientation = orientationReadAngle;
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
        if (const float* size = reads.size) {
            // Taken when the buffer changes under the primitive: comparing with the current
            // width would pull every size-mode change back to the buffer the next frame.
            const double s = *size;
            if (s != takenAbsoluteSize) {
                takenAbsoluteSize = s;
                if (s != width) newTargetWidth = newTargetHeight = s;
            }
        }
        // Only a non-zero difference sets a target: zero would cancel the absolute size above.
        if (const float* diff = reads.sizeDifference) {
            const double d = *diff;
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

    // Size animation towards the target, in unmagnified units; a size lens's factor applies at
    // once, and the primitive is its own size again where the factor is 1.
    const double oldScale = currentlyMagnified ? currentScaleFactor : 1.0;
    const double cw = width / oldScale;
    const double ch = height / oldScale;
    if (const float* m = reads.relativeSize) {
        currentlyMagnified = *m >= 1.00001f || *m <= 0.99999f;
        currentScaleFactor = currentlyMagnified ? *m : 1.0;
    }
    const double scale = currentlyMagnified ? currentScaleFactor : 1.0;
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
    // A batch draws every primitive in the canvas colour at once.
    if (batchTarget()) return;
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

PrimitivePlacement PrimitiveLeafGL::placement() const
{
    PrimitivePlacement p;
    p.x = getXPos();
    p.y = getYPos();
    p.z = getZPos();
    const double a = getRotation() * kDegToRad;
    p.cosA = std::cos(a);
    p.sinA = std::sin(a);
    p.sx = getXScale() * getRealWidth();
    p.sy = getYScale() * getRealHeight();
    return p;
}

VisComponent* PrimitiveLeafGL::batchOwner() const
{
    return canvas_ && canvas_->isBatchedDrawing() ? canvas_ : nullptr;
}

PrimitiveBatch* PrimitiveLeafGL::batchTarget() const
{
    return canvas_ ? canvas_->activeBatch() : nullptr;
}

bool PrimitiveLeafGL::passHiddenFrames()
{
    if (frameCounter < kHiddenFrames) {
        if (!canvas_ || !canvas_->isRenderingPicture()) ++frameCounter;
        return false;
    }
    return true;
}
