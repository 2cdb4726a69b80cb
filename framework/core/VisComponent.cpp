#include "VisComponent.h"

#include "BufferTemplate.h"
#include "vis/TabletopVis.h"

#include <algorithm>
#include <cmath>
#include <iostream>

namespace {

constexpr double kDegToRad = M_PI / 180.0;
constexpr double kRadToDeg = 180.0 / M_PI;

const char* const kInvalidWidth = "Error: invalid initial width of component (width is 0 or less)";
const char* const kInvalidHeight =
    "Error: invalid initial height of component (height is 0 or less)";

// Angle difference brought into [-180, 180] by whole turns.
double wrapHalfTurn(double e)
{
    while (e > 180.0) e -= 360.0;
    while (e < -180.0) e += 360.0;
    return e;
}

double normaliseDegrees(double a)
{
    a = std::fmod(a, 360.0);
    if (a < 0.0) a += 360.0;
    if (a >= 360.0) a -= 360.0;
    return a;
}

// Target angle of an orientation vector: (0, 1) is 0 degrees, (1, 0) is -90, (-1, 0) is 90.
double orientationAngle(double ox, double oy)
{
    const double c = std::clamp(oy, -1.0, 1.0);
    const double sign = std::signbit(ox) ? -1.0 : 1.0;
    return -sign * std::acos(c) * kRadToDeg;
}

// Points every entry of passive whose tag active also has at active's buffer, or at null when
// clearing. Both maps iterate in tag order, so one walk through the two finds the shared tags.
void linkSharedTags(const VisComponent::BufferMap& active, VisComponent::BufferMap& passive,
                    bool clear)
{
    auto source = active.begin();
    for (auto& entry : passive) {
        while (source != active.end() && source->first < entry.first) ++source;
        if (source == active.end()) break;
        if (source->first == entry.first) entry.second = clear ? nullptr : source->second;
    }
}

} // namespace

VisComponent::VisComponent(TabletopVis* controller_, double width_, double height_, bool rnt,
                           bool tossing, double x, double y, double z)
    : rntSupported(rnt),
      rntActive(rnt),
      tossingActive(tossing),
      unscaledWidth(width_),
      unscaledHeight(height_),
      controller(controller_),
      zPos(z),
      pointerPos{x, y},
      previousPointerPos{x, y},
      beforePreviousPointerPos{x, y},
      realWidth(width_),
      realHeight(height_),
      bufferWidth(static_cast<unsigned int>(width_ + 2.5)),
      bufferHeight(static_cast<unsigned int>(height_ + 2.5)),
      xPos(x),
      yPos(y),
      width(width_),
      height(height_),
      halfWidth(width_ / 2.0),
      halfHeight(height_ / 2.0),
      surface(width_ * height_),
      smallestSquareSurface(std::min(width_, height_) * std::min(width_, height_)),
      oneOverRealWidth(1.0 / width_),
      oneOverRealHeight(1.0 / height_)
{
    passiveBuffers[TOSSING_FRICTION_BUFFER] = nullptr;
    if (width_ <= 0.0) std::cout << kInvalidWidth << std::endl;
    if (height_ <= 0.0) std::cout << kInvalidHeight << std::endl;
}

VisComponent::~VisComponent()
{
    // Children that outlive their composite must not keep pointers to it or to its buffers.
    for (const auto& entry : children) {
        VisComponent* child = entry.second;
        disconnectBuffers(child);
        child->setParent(nullptr);
        if (child->renderListOwner == this) child->renderListOwner = nullptr;
    }
    removeActiveBuffers();
    if (parent) {
        parent->removeChild(this);
        if (controller) controller->removeComponentFromRenderList(this);
    }
    passiveBuffers.clear();
    ++passiveBuffersVersion;
    for (VisComponent* child : localRenderList)
        if (child->renderListOwner == this) child->renderListOwner = nullptr;
    localRenderList.clear();
    children.clear();
}

// ---------------------------------------------------------------------------------------------
// Tree

int VisComponent::addChild(VisComponent* child)
{
    if (!getComposite() || !child || !child->allowNesting()) return 0;
    if (VisComponent* old = child->getParent()) {
        if (old == this) return 0;
        old->removeChild(child);
    }
    child->setParent(this);
    child->saveImportantAttributes();
    children[child->getId()] = child;
    if (compositeManagesLocalRenderList()) {
        pushToLocalRenderFront(child);
        if (controller) controller->removeComponentFromRenderList(child);
    }
    connectBuffers(child);
    return 1;
}

int VisComponent::removeChild(VisComponent* child)
{
    if (!getComposite() || !child) return 0;
    auto it = children.find(child->getId());
    if (it == children.end()) return 0;
    // A child the controller deletes next only forgets this parent.
    const bool deleted = controller && controller->isDeletingForGood(child);
    if (!deleted) child->restoreImportantAttributes();
    child->setParent(nullptr);
    children.erase(it);
    if (compositeManagesLocalRenderList()) removeFromLocalRenderList(child);
    if (deleted) return 1;
    if (controller) controller->moveComponentToRenderFront(child);
    disconnectBuffers(child);
    return 1;
}

int VisComponent::removeChildFromParentAndController(VisComponent* child)
{
    if (!child || !child->getParent()) return 0;
    child->getParent()->removeChild(child);
    if (controller) controller->removeComponentFromRenderList(child);
    return 1;
}

VisComponent* VisComponent::getChild(unsigned long childId)
{
    if (!getComposite()) return nullptr;
    auto it = children.find(childId);
    return it == children.end() ? nullptr : it->second;
}

unsigned long VisComponent::getNumberOfChildren()
{
    return getComposite() ? children.size() : 0;
}

void VisComponent::releaseAllChildren()
{
    if (!getComposite()) return;
    // removeChild erases from the map: walk a snapshot.
    const ChildMap snapshot = children;
    for (const auto& entry : snapshot) {
        VisComponent* child = entry.second;
        child->setPointerPos(child->getXPos(), child->getYPos());
        if (controller) controller->addToDroppingList(child);
        removeChild(child);
    }
    children.clear();
}

void VisComponent::setParent(VisComponent* newParent)
{
    parent = newParent;
}

VisComponent* VisComponent::getComposite() { return nullptr; }
bool VisComponent::allowNesting() { return true; }
bool VisComponent::childrenShowInteractionHandles() { return true; }
bool VisComponent::childrenCanBeWrittenOn() { return true; }
bool VisComponent::childrenResizeAndRelocate() { return false; }
bool VisComponent::isResizingReal() { return true; }
bool VisComponent::hasOrientation() { return false; }
bool VisComponent::checkPositionForRNT(double, double) { return true; }
void VisComponent::animationEnded() {}
bool VisComponent::isStoringImportantAttributes() { return true; }
unsigned int VisComponent::hitLocalBuffer(unsigned int, unsigned int, unsigned int, unsigned int)
{
    return 0;
}
unsigned int VisComponent::releaseLocalBuffer(unsigned int, unsigned int, unsigned int,
                                              unsigned int)
{
    return 0;
}
void VisComponent::renderIntoBuffers() {}
void VisComponent::invalidatePassiveBuffers() {}
bool VisComponent::hasStaticRenderOrder() { return false; }
bool VisComponent::compositeManagesLocalRenderList() { return true; }
bool VisComponent::isResizing() { return false; }
void VisComponent::rebuildGraphicRepresentation() {}
bool VisComponent::isAnimatingAbsoluteSize() { return false; }
bool VisComponent::isAnimatingDirection() { return false; }
bool VisComponent::isAnimatingOrienation() { return false; }
bool VisComponent::isAnimatingRelativeSize() { return false; }
double VisComponent::getXRelativeScalePos() { return 1.0; }
double VisComponent::getYRelativeScalePos() { return 1.0; }
double VisComponent::getOneOverX() { return 1.0; }
double VisComponent::getOneOverY() { return 1.0; }
void VisComponent::wiimoteEvent(std::vector<WiiCommunicationData::WIIMOTE_BUTTON>&,
                                WiiCommunicationData&)
{
}
void VisComponent::initialize() {}
void VisComponent::doCommonTransformations() {}
void VisComponent::createActiveBuffers() {}
void VisComponent::renderInGlobalBuffers() {}
void VisComponent::renderInActiveBuffers() {}

// ---------------------------------------------------------------------------------------------
// Render order and rendering

void VisComponent::moveToRenderFront(VisComponent* child)
{
    if (localRenderList.empty() || !child) {
        std::cout << "Error. Could not move component to front of render list." << std::endl;
        return;
    }
    if (localRenderList.front() == child) return;
    if (child->renderListOwner == this) {
        localRenderList.splice(localRenderList.begin(), localRenderList, child->renderListPosition);
        return;
    }
    localRenderList.remove(child);
    pushToLocalRenderFront(child);
}

void VisComponent::pushToLocalRenderFront(VisComponent* child)
{
    localRenderList.push_front(child);
    child->renderListOwner = this;
    child->renderListPosition = localRenderList.begin();
}

void VisComponent::removeFromLocalRenderList(VisComponent* child)
{
    if (child->renderListOwner == this) {
        localRenderList.erase(child->renderListPosition);
        child->renderListOwner = nullptr;
        return;
    }
    localRenderList.remove(child);
}

void VisComponent::renderAllChildren()
{
    if (!getComposite()) return;
    for (auto it = localRenderList.rbegin(); it != localRenderList.rend(); ++it) (*it)->render();
}

void VisComponent::renderAllChildrenForPicking()
{
    if (!getComposite()) return;
    for (auto it = localRenderList.rbegin(); it != localRenderList.rend(); ++it)
        (*it)->renderForPicking(true);
}

void VisComponent::render()
{
    if (!activeForRendering) return;
    specificRender();
    if (getComposite()) renderAllChildren();
    if (tossingNow) tossComponent();
}

void VisComponent::renderForPicking(bool withChildren)
{
    if (active && activeForRendering) {
        pickingPreparation();
        specificRenderForPicking();
    }
    // Children are picked even when their parent is inactive.
    if (getComposite() && withChildren) renderAllChildrenForPicking();
}

void VisComponent::renderWithAnimation(double f)
{
    if (!activeForRendering) return;
    if (animationActive)
        animateMyself(f);
    else
        doConstantAnimations(f);
    specificRender();
    if (getComposite()) renderAllChildrenWithAnimation(f);
    if (tossingNow) tossComponent();
}

void VisComponent::renderAllChildrenWithAnimation(double f)
{
    if (!getComposite()) return;
    for (auto it = localRenderList.rbegin(); it != localRenderList.rend(); ++it)
        (*it)->renderWithAnimation(f);
}

// ---------------------------------------------------------------------------------------------
// Geometry

void VisComponent::getLocalCoordinates(double gx, double gy, double w, double h, double* lx,
                                       double* ly) const
{
    const double a = -getRotation() * kDegToRad;
    const double dx = gx - xPos;
    const double dy = gy - yPos;
    const double c = std::cos(a);
    const double s = std::sin(a);
    *lx = c * dx - s * dy + w / 2.0;
    *ly = s * dx + c * dy + h / 2.0;
}

void VisComponent::getGlobalCoordinates(double lx, double ly, double w, double h, double* gx,
                                        double* gy) const
{
    const double a = getRotation() * kDegToRad;
    const double u = lx - w / 2.0;
    const double v = ly - h / 2.0;
    const double c = std::cos(a);
    const double s = std::sin(a);
    *gx = c * u - s * v + xPos;
    *gy = s * u + c * v + yPos;
}

void VisComponent::setColor(unsigned char r, unsigned char g, unsigned char b, unsigned char a)
{
    color[0] = r;
    color[1] = g;
    color[2] = b;
    color[3] = a;
}

void VisComponent::setPointerPos(double x, double y)
{
    beforePreviousPointerPos[0] = previousPointerPos[0];
    beforePreviousPointerPos[1] = previousPointerPos[1];
    previousPointerPos[0] = pointerPos[0];
    previousPointerPos[1] = pointerPos[1];
    pointerPos[0] = x;
    pointerPos[1] = y;
}

void VisComponent::setLastTouch(double x, double y)
{
    lastTouchMovement[0] = x - lastTouch[0];
    lastTouchMovement[1] = y - lastTouch[1];
    lastTouch[0] = x;
    lastTouch[1] = y;
}

void VisComponent::applyRealWidth(double w)
{
    realWidth = w;
    bufferWidth = static_cast<unsigned int>(w + 2.5);
    if (w <= 0.0) std::cout << kInvalidWidth << std::endl;
    oneOverRealWidth = 1.0 / w;
}

void VisComponent::applyRealHeight(double h)
{
    realHeight = h;
    bufferHeight = static_cast<unsigned int>(h + 2.5);
    if (h <= 0.0) std::cout << kInvalidHeight << std::endl;
    oneOverRealHeight = 1.0 / h;
}

void VisComponent::applyDisplayedSize(double w, double h)
{
    width = w;
    height = h;
    halfWidth = w / 2.0;
    halfHeight = h / 2.0;
    surface = w * h;
    smallestSquareSurface = std::min(w, h) * std::min(w, h);
    xScale = w * oneOverRealWidth;
    yScale = h * oneOverRealHeight;
}

void VisComponent::setWidth(double w)
{
    if (getComposite() && childrenResizeAndRelocate())
        resizeAndRelocateChildren(width, height, w, height);
    if (isResizingReal()) applyRealWidth(w);
    applyDisplayedSize(w, height);
}

void VisComponent::setHeight(double h)
{
    if (getComposite() && childrenResizeAndRelocate())
        resizeAndRelocateChildren(width, height, width, h);
    if (isResizingReal()) applyRealHeight(h);
    applyDisplayedSize(width, h);
}

void VisComponent::setSquareSize(double s)
{
    if (getComposite() && childrenResizeAndRelocate())
        resizeAndRelocateChildren(width, height, s, s);
    if (isResizingReal()) {
        applyRealWidth(s);
        // Only the width message can appear for a square.
        realHeight = s;
        bufferHeight = static_cast<unsigned int>(s + 2.5);
        oneOverRealHeight = 1.0 / s;
    }
    applyDisplayedSize(s, s);
}

void VisComponent::setSize(double w, double h)
{
    if (getComposite() && childrenResizeAndRelocate())
        resizeAndRelocateChildren(width, height, w, h);
    if (isResizingReal()) {
        applyRealWidth(w);
        applyRealHeight(h);
    }
    applyDisplayedSize(w, h);
}

void VisComponent::resizeAndRelocateChildren(double oldW, double oldH, double newW, double newH)
{
    const double sx = newW / oldW;
    const double sy = newH / oldH;
    const double p = normaliseDegrees(getRotation());
    const double pr = p * kDegToRad;
    const double cp = std::cos(pr);
    const double sp = std::sin(pr);
    for (const auto& entry : children) {
        VisComponent* child = entry.second;
        const double q = normaliseDegrees(child->getRotation());
        double d = p - q;
        if (d < -180.0) d += 360.0;
        if (d > 90.0) d = 180.0 - d;
        if (d < -90.0) d = -180.0 - d;
        const double t = std::fabs(d) / 90.0;
        const double fx = (1.0 - t) * sx + t * sy;
        const double fy = (1.0 - t) * sy + t * sx;

        double lx = 0.0;
        double ly = 0.0;
        getLocalCoordinates(child->getXPos(), child->getYPos(), oldW, oldH, &lx, &ly);
        const double u = lx * sx - newW / 2.0;
        const double v = ly * sy - newH / 2.0;
        child->setPos(cp * u - sp * v + xPos, sp * u + cp * v + yPos);
        child->setSize(child->getWidth() * fx, child->getHeight() * fy);
    }
}

// ---------------------------------------------------------------------------------------------
// Direct manipulation

void VisComponent::initializeRNT(double x, double y)
{
    rntGrabOffset[0] = xPos - x;
    rntGrabOffset[1] = yPos - y;
    rntStartRotation = getRotation();
    rntGrabDistance = std::hypot(rntGrabOffset[0], rntGrabOffset[1]);
    // A grab at the exact centre has no lever: such drags translate only (see below).
    rntOneOverGrabDistance = rntGrabDistance > 0.0 ? 1.0 / rntGrabDistance : 0.0;
}

void VisComponent::moveWithRNTFromTo(double fromX, double fromY, double toX, double toY)
{
    double d = getRotation() - rntStartRotation;
    while (d < 0.0) d += 360.0;
    while (d >= 360.0) d -= 360.0;
    if (d > 180.0) d -= 360.0;
    const double dr = d * kDegToRad;
    const double rx = rntGrabOffset[0] * std::cos(dr) - rntGrabOffset[1] * std::sin(dr);
    const double ry = rntGrabOffset[0] * std::sin(dr) + rntGrabOffset[1] * std::cos(dr);

    const double vx = xPos - toX;
    const double vy = yPos - toY;
    const double l = std::hypot(vx, vy);

    // Without a lever (grab or move at the exact centre) the angle is undefined: translate.
    if (!rntActive || rntGrabDistance <= 0.0 || l <= 0.0 ||
        !checkPositionForRNT(xPos + rx, yPos + ry)) {
        moveBy(toX - fromX, toY - fromY, true);
    } else {
        const double k = (rntGrabDistance - l) * rntOneOverGrabDistance;
        const double cosPhi = std::clamp((rx * vx + ry * vy) / (rntGrabDistance * l), -1.0, 1.0);
        double phi = std::acos(cosPhi);
        if (vx * ry - vy * rx > 0.0) phi = -phi;
        moveBy(k * rx, k * ry, true);
        rotate(phi * kRadToDeg);
    }

    beforePreviousPointerPos[0] = previousPointerPos[0];
    beforePreviousPointerPos[1] = previousPointerPos[1];
    previousPointerPos[0] = fromX;
    previousPointerPos[1] = fromY;
    pointerPos[0] = toX;
    pointerPos[1] = toY;
}

void VisComponent::moveBy(double dx, double dy, bool moveChildren)
{
    moveXBy(dx);
    moveYBy(dy);
    if (getComposite() && moveChildren)
        for (const auto& entry : children) entry.second->moveBy(dx, dy, true);
}

void VisComponent::rotate(double degrees)
{
    rotation += degrees;
    if (rotation < 0.0)
        rotation += 360.0;
    else if (rotation >= 360.0)
        rotation -= 360.0;
    if (!getComposite()) return;
    const double a = degrees * kDegToRad;
    const double c = std::cos(a);
    const double s = std::sin(a);
    for (const auto& entry : children) {
        VisComponent* child = entry.second;
        const double px = child->getXPos() - xPos;
        const double py = child->getYPos() - yPos;
        const double qx = c * px - s * py;
        const double qy = s * px + c * py;
        child->moveBy(qx - px, qy - py, true);
        child->rotate(degrees);
    }
}

void VisComponent::computeInteractiveResizeCenter(double x, double y, double& w, double& h)
{
    const double a = -getRotation() * kDegToRad;
    const double dx = xPos - x;
    const double dy = yPos - y;
    const double minimum = 2.0 * (controller ? controller->getContainerBorderWidth() : 0.0);
    w = std::max(2.0 * std::fabs(std::cos(a) * dx - std::sin(a) * dy) * getOneOverX(), minimum);
    h = std::max(2.0 * std::fabs(std::sin(a) * dx + std::cos(a) * dy) * getOneOverY(), minimum);
}

void VisComponent::interactiveResizeCenter(double x, double y)
{
    double w = 0.0;
    double h = 0.0;
    computeInteractiveResizeCenter(x, y, w, h);
    if (currentlyMagnified)
        setUnscaledSize(w / currentScaleFactor, h / currentScaleFactor);
    else
        setUnscaledSize(w, h);
    setSize(w, h);
}

void VisComponent::computeInteractiveResizeTopLeft(double x, double y, double xFactor,
                                                   double yFactor, double& w, double& h,
                                                   bool& flipX, bool& flipY)
{
    const double a = -getRotation() * kDegToRad;
    const double dx = xPos - x;
    const double dy = yPos - y;
    const double rx = (std::cos(a) * dx - std::sin(a) * dy) * xFactor;
    const double ry = (std::sin(a) * dx + std::cos(a) * dy) * yFactor;
    const double minimum = 2.0 * (controller ? controller->getContainerBorderWidth() : 0.0);
    w = std::max(std::fabs(rx) + halfWidth, minimum);
    h = std::max(std::fabs(ry) + halfHeight, minimum);
    flipX = rx > 0.0;
    flipY = ry < 0.0;
}

void VisComponent::computeInteractiveMoveForResizeTopLeft(double oldW, double oldH, double newW,
                                                          double newH, bool flipX, bool flipY,
                                                          double xFactor, double yFactor,
                                                          double& mx, double& my)
{
    double p = (newW - oldW) / 2.0 * xFactor;
    double q = (newH - oldH) / 2.0 * yFactor;
    if (flipX) p = -p;
    if (flipY) q = -q;
    const double t = getRotation() * kDegToRad;
    mx = p * std::cos(t) + q * std::sin(t);
    my = p * std::sin(t) - q * std::cos(t);
}

void VisComponent::interactiveResizeTopLeft(double x, double y)
{
    const double oldW = width;
    const double oldH = height;
    double newW = 0.0;
    double newH = 0.0;
    bool flipX = false;
    bool flipY = false;
    computeInteractiveResizeTopLeft(x, y, getOneOverX(), getOneOverY(), newW, newH, flipX, flipY);
    double mx = 0.0;
    double my = 0.0;
    computeInteractiveMoveForResizeTopLeft(oldW, oldH, newW, newH, flipX, flipY,
                                           getXRelativeScalePos(), getYRelativeScalePos(), mx, my);
    if (currentlyMagnified)
        setUnscaledSize(newW / currentScaleFactor, newH / currentScaleFactor);
    else
        setUnscaledSize(newW, newH);
    setSize(newW, newH);
    moveBy(mx, my, true);
}

void VisComponent::setTossingNow(bool on)
{
    if (!on) {
        tossingNow = false;
        return;
    }
    const double dx = pointerPos[0] - beforePreviousPointerPos[0];
    const double dy = pointerPos[1] - beforePreviousPointerPos[1];
    const double fps = controller ? controller->getCurrentFPS() : 0.0;
    if (fps > 0.0 && dx * dx + dy * dy > 4200.0 / fps) {
        tossingNow = true;
    } else {
        tossingNow = false;
        if (controller) controller->addToDroppingList(this);
    }
}

void VisComponent::tossComponent()
{
    bool goOn = false;
    if (tossingActive && controller) {
        double f = controller->getTossingSlowdownFactor();
        BufferTemplate<float>* friction =
            parent ? getPassiveBufferAs<float>(TOSSING_FRICTION_BUFFER) : nullptr;
        if (friction) {
            double lx = 0.0;
            double ly = 0.0;
            parent->getLocalCoordinates(pointerPos[0], pointerPos[1], parent->getWidth(),
                                        parent->getHeight(), &lx, &ly);
            const unsigned int bx = parent->getBufferXCoordinateFromLocal(lx);
            const unsigned int by = parent->getBufferYCoordinateFromLocal(ly);
            // Read without interpolation; a pointer off the parent's grid keeps the default.
            if (lx >= 0.0 && ly >= 0.0 && bx < friction->getWidth() && by < friction->getHeight())
                f = friction->getValue(bx, by);
        }
        const double s = f * 0.5;
        const double sx = (pointerPos[0] - beforePreviousPointerPos[0]) * s;
        const double sy = (pointerPos[1] - beforePreviousPointerPos[1]) * s;
        const double tx = pointerPos[0] + sx;
        const double ty = pointerPos[1] + sy;
        const double sw = controller->getScreenWidth();
        const double sh = controller->getScreenHeight();
        if (tx >= 0.0 && tx <= sw && ty >= 0.0 && ty <= sh) {
            moveWithRNTFromTo(pointerPos[0], pointerPos[1], tx, ty);
            goOn = sx * sx + sy * sy >= controller->getTossingCutoff();
        }
    }
    if (!goOn) {
        tossingNow = false;
        if (controller) controller->addToDroppingList(this);
    }
}

// ---------------------------------------------------------------------------------------------
// Dropping, saving and animation

void VisComponent::processDropping(unsigned char* pickColour, double x, double y)
{
    if (!controller) return;
    const unsigned long targetId =
        controller->determineIdFromColor(pickColour[0], pickColour[1], pickColour[2]);
    if (targetId == 0 || targetId >= 0xFFFFFF) {
        if (parent) {
            parent->removeChild(this);
            std::cout << "Child removed." << std::endl;
        }
        return;
    }
    VisComponent* target = controller->getComponent(targetId);
    if (!target) return;
    animationProgress = 0.0;
    animatingToNewStates = true;
    if (target == this) return;
    if (!target->addChild(this)) return;

    double lx = 0.0;
    double ly = 0.0;
    target->getLocalCoordinates(x, y, target->getWidth(), target->getHeight(), &lx, &ly);
    const unsigned int bx = target->getBufferXCoordinateFromLocal(lx);
    const unsigned int by = target->getBufferYCoordinateFromLocal(ly);
    BufferTemplate<float>* direction = target->getActiveBufferAs<float>(DIRECTION_BUFFER);
    BufferTemplate<float>* absoluteSize = target->getActiveBufferAs<float>(ABSOLUTE_SIZE_BUFFER);
    const bool inside = lx >= 0.0 && ly >= 0.0;
    double value = 0.0;
    if (direction) {
        if (inside && bx < direction->getWidth() && by < direction->getHeight()) {
            float v[2] = {0.0f, 0.0f};
            direction->get2DValues(bx, by, v);
            value = v[0] != 0.0f ? v[0] : v[1];
        }
    } else if (absoluteSize) {
        if (inside && bx < absoluteSize->getWidth() && by < absoluteSize->getHeight())
            value = absoluteSize->getValue(bx, by);
    } else {
        invalidatePassiveBuffers();
        return;
    }
    if (value == 0.0) {
        invalidatePassiveBuffers();
        return;
    }
    setPos(x, y);
    invalidatePassiveBuffers();
}

void VisComponent::saveImportantAttributes()
{
    if (parent && !parent->isStoringImportantAttributes()) return;
    double* s = savedAttributes;
    s[0] = savedScalar;
    s[1] = surface;
    s[2] = smallestSquareSurface;
    if (!restoringSize) {
        s[3] = width;
        s[4] = height;
        s[5] = halfWidth;
        s[6] = halfHeight;
        s[7] = xScale;
        s[8] = yScale;
    }
    s[9] = realWidth;
    s[10] = realHeight;
    s[11] = oneOverRealWidth;
    s[12] = oneOverRealHeight;
    if (getComposite())
        for (const auto& entry : children) entry.second->saveImportantAttributes();
}

void VisComponent::restoreImportantAttributes()
{
    if (parent && !parent->isStoringImportantAttributes()) return;
    const double* s = savedAttributes;
    savedScalar = s[0];
    surface = s[1];
    smallestSquareSurface = s[2];
    if (controller && controller->isAnimating()) {
        animatingToNewStates = true;
        animationProgress = 0.0;
        animationTargetWidth = s[3];
        animationTargetHeight = s[4];
    } else {
        width = s[3];
        height = s[4];
        halfWidth = s[5];
        halfHeight = s[6];
        xScale = s[7];
        yScale = s[8];
    }
    restoringSize = true;
    realWidth = s[9];
    realHeight = s[10];
    oneOverRealWidth = s[11];
    oneOverRealHeight = s[12];
    if (getComposite())
        for (const auto& entry : children) entry.second->restoreImportantAttributes();
}

void VisComponent::initiateAnimationToNewStates(double start)
{
    animationProgress = start;
    if (start < 1.0) animatingToNewStates = true;
}

void VisComponent::restartAnimation()
{
    animationProgress = 0.0;
    animatingToNewStates = true;
}

void VisComponent::animateMyself(double f)
{
    double tw = width;
    double th = height;
    if (currentlyMagnified) {
        tw /= currentScaleFactor;
        th /= currentScaleFactor;
    }
    if (restoringSize) {
        tw = animationTargetWidth;
        th = animationTargetHeight;
        if (animationProgress >= 1.0) restoringSize = false;
    }

    unsigned int bx = 0;
    unsigned int by = 0;
    if (parent && !parent->getParent() && !tossingNow) {
        BufferTemplate<float>* direction = getPassiveBufferAs<float>(DIRECTION_BUFFER);
        BufferTemplate<float>* absoluteSize = getPassiveBufferAs<float>(ABSOLUTE_SIZE_BUFFER);
        BufferTemplate<float>* orientation = getPassiveBufferAs<float>(ORIENTATION_BUFFER);
        BufferTemplate<float>* tempOrientation =
            getPassiveBufferAs<float>(TEMPORARY_ORIENTATION_BUFFER);

        double lx = 0.0;
        double ly = 0.0;
        parent->getLocalCoordinates(xPos, yPos, parent->getWidth(), parent->getHeight(), &lx, &ly);
        lx = std::clamp(lx, 0.0, parent->getWidth());
        ly = std::clamp(ly, 0.0, parent->getHeight());
        bx = parent->getBufferXCoordinateFromLocal(lx);
        by = parent->getBufferYCoordinateFromLocal(ly);
        const double fbx = bx;
        const double fby = by;

        if (isAnimatingDirection() && direction) {
            float v[2] = {0.0f, 0.0f};
            direction->get2DValues(fbx, fby, v);
            if (v[0] != 0.0f || v[1] != 0.0f) {
                const double a = parent->getRotation() * kDegToRad;
                const double c = std::cos(a);
                const double s = std::sin(a);
                moveBy(f * (v[0] * c - v[1] * s), f * (v[0] * s + v[1] * c));
            }
        }
        if (isAnimatingOrienation() && orientation) {
            float o[2] = {0.0f, 0.0f};
            orientation->get2DValues(fbx, fby, o);
            if (o[0] * o[0] + o[1] * o[1] > 1e-5f) {
                const double e = wrapHalfTurn(orientationAngle(o[0], o[1]) - getRotation());
                rotate(e * animationProgress);
            }
        }
        if (isAnimatingOrienation() && tempOrientation) {
            float t[2] = {0.0f, 0.0f};
            tempOrientation->get2DValues(fbx, fby, t);
            const double parentRotation = parent->getRotation();
            if (t[0] * t[0] + t[1] * t[1] > 1e-5f) {
                const double c = getRotation();
                const double e = wrapHalfTurn(orientationAngle(t[0], t[1]) - c);
                if (!temporaryRotationActive || temporaryRotationLatch) restartAnimation();
                temporaryRotation = parentRotation + c + e * animationProgress;
                temporaryRotationActive = true;
                temporaryRotationLatch = false;
            } else {
                if (temporaryRotationActive && !temporaryRotationLatch) restartAnimation();
                temporaryRotationLatch = temporaryRotationActive;
                temporaryRotationActive = false;
                const double r = getRotation();
                temporaryRotationActive = temporaryRotationLatch;
                const double c = getRotation();
                const double e = wrapHalfTurn(r - c);
                temporaryRotation = parentRotation + c + e * animationProgress;
                if (animationProgress == 1.0) temporaryRotationActive = false;
            }
        } else {
            temporaryRotationActive = false;
        }
        if (isAnimatingAbsoluteSize() && absoluteSize) {
            tw = th = absoluteSize->getValue(fbx, fby);
        }
    }

    double cw = width;
    double ch = height;
    if (currentlyMagnified) {
        cw /= currentScaleFactor;
        ch /= currentScaleFactor;
    }
    const double bw = (tw - cw) * animationProgress + cw;
    const double bh = (th - ch) * animationProgress + ch;
    setUnscaledSize(bw, bh);

    if (parent && !tossingNow && isAnimatingRelativeSize()) {
        if (BufferTemplate<float>* relative = getPassiveBufferAs<float>(RELATIVE_SIZE_BUFFER)) {
            const double m = relative->getValue(static_cast<double>(bx), static_cast<double>(by));
            currentlyMagnified = m >= 1.00001 || m <= 0.99999;
            currentScaleFactor = m;
        }
    }

    if (currentlyMagnified)
        setSize(bw * currentScaleFactor, bh * currentScaleFactor);
    else
        setSize(bw, bh);

    if (animationProgress < 1.0) {
        animationProgress += 0.02;
        if (animationProgress > 1.0) animationProgress = 1.0;
    }
    if (animatingToNewStates && animationProgress == 1.0) {
        animatingToNewStates = false;
        animationEnded();
    }
}

void VisComponent::doConstantAnimations(double)
{
    if (!isAnimatingRelativeSize() || !parent) return;
    BufferTemplate<float>* relative = getPassiveBufferAs<float>(RELATIVE_SIZE_BUFFER);
    if (!relative || relative->getWidth() == 0 || relative->getHeight() == 0) return;
    double lx = 0.0;
    double ly = 0.0;
    parent->getLocalCoordinates(xPos, yPos, parent->getWidth(), parent->getHeight(), &lx, &ly);
    lx = std::clamp(lx, 0.0, static_cast<double>(relative->getWidth() - 1));
    ly = std::clamp(ly, 0.0, static_cast<double>(relative->getHeight() - 1));
    const double m = relative->getValue(lx, ly);
    currentlyMagnified = m >= 1.005 || m <= 0.995;
    if (m != currentScaleFactor) {
        currentScaleFactor = m;
        setSize(m * unscaledWidth, m * unscaledHeight);
    }
}

// ---------------------------------------------------------------------------------------------
// Buffers

IBuffer* VisComponent::getActiveBuffer(BUFFERTAG tag) const
{
    auto it = activeBuffers.find(tag);
    return it == activeBuffers.end() ? nullptr : it->second;
}

void VisComponent::setActiveBuffer(BUFFERTAG tag, IBuffer* buffer)
{
    activeBuffers[tag] = buffer;
}

IBuffer* VisComponent::getPassiveBuffer(BUFFERTAG tag) const
{
    auto it = passiveBuffers.find(tag);
    return it == passiveBuffers.end() ? nullptr : it->second;
}

void VisComponent::setPassiveBuffer(BUFFERTAG tag, IBuffer* buffer)
{
    passiveBuffers[tag] = buffer;
    ++passiveBuffersVersion;
}

void VisComponent::initializePassiveBuffers()
{
    setPassiveBuffer(TOSSING_FRICTION_BUFFER, nullptr);
}

void VisComponent::recreateActiveBuffers()
{
    removeActiveBuffers();
    createActiveBuffers();
    renderInActiveBuffers();
    if (getComposite())
        for (const auto& entry : children) connectBuffers(entry.second);
}

void VisComponent::removeActiveBuffers()
{
    for (auto& entry : activeBuffers)
        if (entry.second) entry.second->destroy();
    activeBuffers.clear();
}

void VisComponent::connectBuffers(VisComponent* child)
{
    linkSharedTags(activeBuffers, child->passiveBuffers, false);
    ++child->passiveBuffersVersion;
}

void VisComponent::disconnectBuffers(VisComponent* child)
{
    linkSharedTags(activeBuffers, child->passiveBuffers, true);
    ++child->passiveBuffersVersion;
}

void VisComponent::renderMeAndMyChildrenIntoBuffers()
{
    renderIntoBuffers();
    if (getComposite() && compositeManagesLocalRenderList())
        for (const auto& entry : children) entry.second->renderIntoBuffers();
}

unsigned long VisComponent::getActiveBuffersMemorySize()
{
    if (!getComposite()) return 0;
    unsigned long kb = 0;
    for (const auto& entry : activeBuffers)
        if (entry.second) kb += entry.second->getAllocatedMemorySize();
    return kb;
}
