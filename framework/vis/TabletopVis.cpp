#include "TabletopVis.h"

#include "TouchIndicator.h"
#include "components/ComponentDestroyerCompositeGL.h"
#include "components/HockeyPuckLeafGL.h"
#include "components/ImageLeafGL.h"
#include "core/BufferTemplate.h"
#include "core/VisComponent.h"

#include <algorithm>
#include <chrono>
#include <iostream>
#include <iterator>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace {

void implementMe(const char* name)
{
    std::cout << "Error: Implement method " << name << " in render-specific visualization!"
              << std::endl;
}

unsigned long steadyMilliseconds()
{
    using namespace std::chrono;
    return static_cast<unsigned long>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// Hit codes after which the controller moves the component itself.
bool movesByRNT(unsigned int r) { return r == 0 || r == 3 || r == 12 || r == 13; }

} // namespace

TabletopVis::TabletopVis(unsigned int users, unsigned int bufferWidth_, unsigned int bufferHeight_,
                         unsigned int sw, unsigned int sh)
    : tickSource(steadyMilliseconds),
      numberOfUsers(users),
      bufferWidth(bufferWidth_),
      bufferHeight(bufferHeight_)
{
    setScreensize(sw, sh);
    IBuffer* control = createNewIntImageBuffer(bufferWidth, bufferHeight);
    globalBuffers[CONTROL_BUFFER] = control;
    memoryChanged = true;
    control->clearBuffer();

    activeComponent.assign(users, nullptr);
    lastActiveComponent.assign(users, nullptr);
    lastComponent.assign(users, nullptr);
    touchIndicators.assign(users, nullptr);
    isPicking.assign(users, false);
    doPainting.assign(users, false);
    deviceIsPressed.assign(users, false);
    posXToPaint.assign(users, 0);
    posYToPaint.assign(users, 0);
    initialPosXToPaint.assign(users, 0);
    initialPosYToPaint.assign(users, 0);
    touchBoundHeight.assign(users, 0.0);
    touchBoundWidth.assign(users, 0.0);
}

TabletopVis::~TabletopVis()
{
    removeAllBuffers();
    removeAllComponents();
}

// ---------------------------------------------------------------------------------------------
// Graphics-dependent operations: reported and neutral here.

double TabletopVis::render(unsigned int, double)
{
    std::cout << "Implement renderer-specific render method!" << std::endl;
    return -1.0;
}

void TabletopVis::setScaleFactorExtendWidth(double f) { scaleFactorExtendWidth = f; }
void TabletopVis::setScaleFactorExtendHeight(double f) { scaleFactorExtendHeight = f; }
double TabletopVis::getScaleFactorExtendWidth() { return scaleFactorExtendWidth; }
double TabletopVis::getScaleFactorExtendHeight() { return scaleFactorExtendHeight; }

bool TabletopVis::hasHardwareExtension(unsigned int)
{
    implementMe("hasHardwareExtension");
    return false;
}
void TabletopVis::enableVSync(bool) { implementMe("enableVSync"); }
bool TabletopVis::isVSyncing()
{
    implementMe("isVSyncing");
    return true;
}
void TabletopVis::wglGetLastError() { implementMe("wglGetLastError"); }
void TabletopVis::init_pbuffer(void*, int, int) { implementMe("init_pbuffer"); }
void TabletopVis::shutdown_pbuffer(void*)
{
    std::cout << "Error: Implement method shutdown_pbuffer in render-specific visualization "
                 "(unless this happened during app. shutdown)!"
              << std::endl;
}
void TabletopVis::activatePBuffer(void*) { implementMe("activatePBuffer"); }
void TabletopVis::deactivatePBuffer(void*) { implementMe("deactivatePBuffer"); }
void TabletopVis::determineTextureFormat() { implementMe("determineTextureFormat"); }
void TabletopVis::determineTextureParameters() { implementMe("determineTextureParameters"); }
unsigned int TabletopVis::loadTexture(const char*, bool)
{
    implementMe("loadTexture");
    return 0;
}
unsigned int TabletopVis::addTexture(unsigned int, unsigned int, unsigned int, unsigned int,
                                     unsigned int, unsigned int)
{
    implementMe("loadTexture");
    return 0;
}
unsigned int TabletopVis::getNumberOfImageTextures()
{
    implementMe("getNumberOfImageTextures");
    return 0;
}
unsigned int TabletopVis::getImageTextureIDAt(unsigned int)
{
    implementMe("getImageTextureIDAt");
    return 0;
}
unsigned int TabletopVis::getTextureHasAlphaAt(unsigned int)
{
    implementMe("getTextureHasAlphaAt");
    return 0;
}
unsigned int TabletopVis::getTextureMinXAt(unsigned int)
{
    implementMe("getTextureMinXAt");
    return 0;
}
unsigned int TabletopVis::getTextureMaxXAt(unsigned int)
{
    implementMe("getTextureMaxXAt");
    return 0;
}
unsigned int TabletopVis::getTextureMinYAt(unsigned int)
{
    implementMe("getTextureMinYAt");
    return 0;
}
unsigned int TabletopVis::getTextureMaxYAt(unsigned int)
{
    implementMe("getTextureMaxYAt");
    return 0;
}
unsigned int TabletopVis::getTextureSizeAt(unsigned int)
{
    implementMe("getTextureSizeAt");
    return 0;
}
void TabletopVis::saveScreenshot() { implementMe("saveScreenshot"); }
bool TabletopVis::loadFont(const char*, int)
{
    implementMe("loadFont");
    return false;
}

ImageLeafGL* TabletopVis::createImage(double, double, bool, bool, double, double, double, double,
                                      unsigned int, bool)
{
    implementMe("createImage");
    return nullptr;
}
DocumentLeafGL* TabletopVis::createDocument(double, bool, bool, double, double, double, double,
                                            const char*, bool)
{
    implementMe("createDocument");
    return nullptr;
}
BoundedContainerGL* TabletopVis::createContainer(double, double, bool, bool, double, double,
                                                 double, unsigned int, unsigned int, bool, bool)
{
    implementMe("createContainer");
    return nullptr;
}
StorageBinCompositeGL* TabletopVis::createStorageBin(double, double, bool, bool, double, double,
                                                     double, unsigned int, unsigned int, bool,
                                                     bool)
{
    implementMe("createStorageBin");
    return nullptr;
}
InterfaceCurrentCompositeGL* TabletopVis::createInterfaceCurrent(double, double, bool, bool,
                                                                 double, double, double,
                                                                 unsigned int, unsigned int, bool,
                                                                 bool)
{
    implementMe("createInterfaceCurrent");
    return nullptr;
}
StickyBoardCompositeGL* TabletopVis::createStickyBoard(double, double, bool, bool, double, double,
                                                       double)
{
    implementMe("createStickyBoard");
    return nullptr;
}
ComponentDestroyerCompositeGL* TabletopVis::createDestroyer(double, double, bool, bool, double,
                                                            double, double, unsigned int)
{
    implementMe("createDestroyer");
    return nullptr;
}
StorageBinCreatorLeafGL* TabletopVis::createStorageBinCreator(double, double, double, double,
                                                              double, double, double,
                                                              unsigned int, unsigned int, bool,
                                                              unsigned int)
{
    implementMe("createStorageBinCreator");
    return nullptr;
}
StickyBoardCreatorLeafGL* TabletopVis::createStickyBoardCreator(double, double, double, double,
                                                                double, double, double,
                                                                unsigned int)
{
    implementMe("createStickyBoardCreator");
    return nullptr;
}
PoolInterfaceCurrentCreatorLeafGL* TabletopVis::createPoolInterfaceCurrentCreator(
    double, double, double, double, double, double, double, unsigned int, unsigned int, bool,
    unsigned int)
{
    implementMe("createPoolInterfaceCurrentCreator");
    return nullptr;
}
BeltInterfaceCurrentCreatorLeafGL* TabletopVis::createBeltInterfaceCurrentCreator(
    double, double, double, double, double, double, double, unsigned int, unsigned int, bool,
    unsigned int)
{
    implementMe("createBeltInterfaceCurrentCreator");
    return nullptr;
}
StickyNoteCreatorLeafGL* TabletopVis::createStickyNoteCreator(double, double, double, double,
                                                              double, double, double,
                                                              unsigned int)
{
    implementMe("createStickyNoteCreator");
    return nullptr;
}
StickyNoteLeafGL* TabletopVis::createStickyNote(double, double, bool, bool, double, double, double,
                                                double)
{
    implementMe("createStickyNote");
    return nullptr;
}
LensCreatorLeafGL* TabletopVis::createLensCreator(double, double, double, double, double, double,
                                                  double, const char*, unsigned int, double,
                                                  double, unsigned int, double, double,
                                                  const char*)
{
    implementMe("createLensCreator");
    return nullptr;
}
SizeLensLeafGL* TabletopVis::createSizeLens(double, double, bool, double, double, double, double,
                                            const char*, double, double, unsigned int)
{
    implementMe("createSizeLens");
    return nullptr;
}
DirectionLensLeafGL* TabletopVis::createDirectionLens(double, double, bool, double, double, double,
                                                      double, const char*, double, double,
                                                      unsigned int, unsigned int)
{
    implementMe("createDirectionLens");
    return nullptr;
}
OrientationLensLeafGL* TabletopVis::createOrientationLens(double, double, bool, bool, double,
                                                          double, double, double, double, double,
                                                          unsigned int, unsigned int)
{
    implementMe("createOrientationLens");
    return nullptr;
}
ControlSurfaceCompositeGL* TabletopVis::createControlSurface(double, double, double, double,
                                                             double, double, double)
{
    implementMe("createSurface");
    return nullptr;
}
HockeySurfaceCompositeGL* TabletopVis::createHockeySurface(double, double, double, double, double,
                                                           double, double, double)
{
    implementMe("createHockeySurface");
    return nullptr;
}
HockeyPaddleLeafGL* TabletopVis::createHockeyPaddle(double, bool, bool, double, double, double)
{
    implementMe("createPaddle");
    return nullptr;
}
HockeyPuckLeafGL* TabletopVis::createHockeyPuck(double, double, double, double, double, bool, bool,
                                                double, double, double)
{
    implementMe("createPuck");
    return nullptr;
}
void TabletopVis::initializeRenderer() {}

// ---------------------------------------------------------------------------------------------
// Pointer input

bool TabletopVis::hasUser(unsigned int user) const
{
    return user < numberOfUsers;
}

bool TabletopVis::admitPointer(unsigned int user)
{
    if (hasUser(user)) return true;
    // Once per number: a second finger held on the table must not flood the output.
    if (reportedPointers.insert(user).second)
        std::cout << "Ignoring pointer " << user << ": only " << numberOfUsers
                  << (numberOfUsers == 1 ? " user" : " users") << " configured" << std::endl;
    return false;
}

void TabletopVis::devicePress(unsigned int x, unsigned int y, unsigned int, unsigned int user)
{
    if (!admitPointer(user)) return;
    if (pressObserver) pressObserver(user);
    deviceIsPressed[user] = true;
    posXToPaint[user] = initialPosXToPaint[user] = x;
    posYToPaint[user] = initialPosYToPaint[user] = y;
    doPainting[user] = true;
    isPicking[user] = true;
}

void TabletopVis::deviceMove(unsigned int x, unsigned int y, unsigned int, unsigned int user)
{
    if (!admitPointer(user)) return;
    posXToPaint[user] = x;
    posYToPaint[user] = y;
}

void TabletopVis::deviceRelease(unsigned int x, unsigned int y, unsigned int, unsigned int user)
{
    if (!admitPointer(user)) return;
    deviceIsPressed[user] = false;
    doPainting[user] = false;
    posXToPaint[user] = x;
    posYToPaint[user] = y;
    touchBoundHeight[user] = 0.0;
    touchBoundWidth[user] = 0.0;
}

void TabletopVis::setTouchBoundHeight(int user, double h)
{
    const auto u = static_cast<unsigned int>(user);
    if (admitPointer(u) && h > 0.0) touchBoundHeight[u] = h;
}

void TabletopVis::setTouchBoundWidth(int user, double w)
{
    const auto u = static_cast<unsigned int>(user);
    if (admitPointer(u) && w > 0.0) touchBoundWidth[u] = w;
}

void TabletopVis::wiimoteEvent(unsigned int users,
                               std::vector<WiiCommunicationData::WIIMOTE_BUTTON>& buttons,
                               WiiCommunicationData& data)
{
    lastWiimoteButtons = buttons;
    lastWiimoteData = data;
    for (unsigned int u = 0; u < users && u < numberOfUsers; ++u)
        if (lastComponent[u]) lastComponent[u]->wiimoteEvent(lastWiimoteButtons, lastWiimoteData);
}

bool TabletopVis::checkDoDrawingForUser(unsigned int user) const
{
    return hasUser(user) && doPainting[user] && posXToPaint[user] <= screenWidth &&
           posYToPaint[user] <= screenHeight;
}

bool TabletopVis::checkTapForUser(unsigned int user) const
{
    return hasUser(user) && isPicking[user] && !doPainting[user] && !deviceIsPressed[user] &&
           posXToPaint[user] <= screenWidth && posYToPaint[user] <= screenHeight;
}

// ---------------------------------------------------------------------------------------------
// Registry

void TabletopVis::addComponent(VisComponent* c, bool drop)
{
    unsigned long id = 0;
    if (!freeIds.empty()) {
        id = freeIds.back();
        freeIds.pop_back();
    } else if (nextComponentId > kMaxComponentId) {
        std::cout << "Error: Maximum number of components reached! Cannot add more! JEEZ!"
                  << std::endl;
        return;
    } else {
        id = nextComponentId++;
    }
    c->setId(id);
    c->setColor(id & 0xFF, (id >> 8) & 0xFF, (id >> 16) & 0xFF, 1);
    components[id] = c;
    // Surfaces keep a static place at the back of the list (drawn first, under everything);
    // a component that may move in the order joins in front of them.
    // A component registered again keeps a single place: its earlier entry goes.
    eraseFromRenderList(c);
    auto at = renderList.end();
    if (!c->hasStaticRenderOrder())
        while (at != renderList.begin() && (*std::prev(at))->hasStaticRenderOrder()) --at;
    insertIntoRenderList(at, c);
    if (drop)
        addToDroppingList(c);
    else
        c->activate();
    memoryChanged = true;
}

VisComponent* TabletopVis::getComponent(unsigned long id) const
{
    auto it = components.find(id);
    return it == components.end() ? nullptr : it->second;
}

void TabletopVis::deleteComponent(VisComponent* c)
{
    if (!c) return;
    freeIds.push_back(c->getId());
    eraseFromRenderList(c);
    removeComponentFromMap(c);
    if (c->getComposite()) memoryChanged = true;
    // No dangling references may survive the component: queues and pointer state. The queues
    // are searched only when the component is in one of them.
    auto queued = queuedEntries.find(c);
    if (queued != queuedEntries.end()) {
        queuedEntries.erase(queued);
        droppingList.erase(std::remove(droppingList.begin(), droppingList.end(), c),
                           droppingList.end());
        deletingList.erase(std::remove(deletingList.begin(), deletingList.end(), c),
                           deletingList.end());
    }
    for (unsigned int u = 0; u < numberOfUsers; ++u) {
        if (activeComponent[u] == c) activeComponent[u] = nullptr;
        if (lastActiveComponent[u] == c) lastActiveComponent[u] = nullptr;
        if (lastComponent[u] == c) lastComponent[u] = nullptr;
    }
    delete c;
}

void TabletopVis::removeComponentFromMap(VisComponent* c)
{
    if (!c) return;
    auto it = components.find(c->getId());
    if (it != components.end() && it->second == c) components.erase(it);
}

void TabletopVis::removeComponentFromRenderList(VisComponent* c)
{
    if (c && !tearingDown) eraseFromRenderList(c);
}

void TabletopVis::insertIntoRenderList(std::list<VisComponent*>::iterator at, VisComponent* c)
{
    renderPositions[c] = renderList.insert(at, c);
}

void TabletopVis::eraseFromRenderList(VisComponent* c)
{
    auto it = renderPositions.find(c);
    if (it == renderPositions.end()) return;
    renderList.erase(it->second);
    renderPositions.erase(it);
}

void TabletopVis::spliceToRenderFront(VisComponent* c)
{
    auto it = renderPositions.find(c);
    if (it == renderPositions.end())
        insertIntoRenderList(renderList.begin(), c);
    else
        renderList.splice(renderList.begin(), renderList, it->second);
}

void TabletopVis::spliceToRenderBack(VisComponent* c)
{
    auto it = renderPositions.find(c);
    if (it == renderPositions.end())
        insertIntoRenderList(renderList.end(), c);
    else
        renderList.splice(renderList.end(), renderList, it->second);
}

void TabletopVis::deleteLastComponent()
{
    if (!components.empty()) deleteComponent(components.rbegin()->second);
}

void TabletopVis::deleteLastImageComponent()
{
    deleteLastComponentOfType<ImageLeafGL>();
}

void TabletopVis::deleteLastHockeyPuckComponent()
{
    deleteLastComponentOfType<HockeyPuckLeafGL>();
}

void TabletopVis::activateDestroyers()
{
    activateComponentsOfType<ComponentDestroyerCompositeGL>();
}

void TabletopVis::removeAllComponents()
{
    // Everything goes at once: the render order is not kept while components leave their
    // parents (each would otherwise be raised to the front) and the list is cleared at the end.
    tearingDown = true;
    std::vector<VisComponent*> all;
    all.reserve(components.size());
    for (auto& entry : components) all.push_back(entry.second);
    // A component is deleted right after it left its parent, and before the parent goes: leaves
    // first, then composites from the deepest up. So no destructor reaches a freed parent, and a
    // child that is deleted anyway skips the hand-back of attributes and buffers (removeChild).
    auto deleteForGood = [this](VisComponent* c) {
        if (VisComponent* p = c->getParent()) {
            deletingForGood = c;
            p->removeChild(c);
            deletingForGood = nullptr;
        }
        delete c;
    };
    std::vector<std::pair<int, VisComponent*>> composites;
    for (VisComponent* c : all) {
        if (!c->getComposite()) {
            deleteForGood(c);
            continue;
        }
        int depth = 0;
        for (VisComponent* p = c->getParent(); p; p = p->getParent()) ++depth;
        composites.emplace_back(depth, c);
    }
    std::stable_sort(composites.begin(), composites.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (const auto& entry : composites) deleteForGood(entry.second);
    components.clear();
    renderList.clear();
    renderPositions.clear();
    freeIds.clear();
    droppingList.clear();
    deletingList.clear();
    queuedEntries.clear();
    tearingDown = false;
    for (unsigned int u = 0; u < numberOfUsers; ++u)
        activeComponent[u] = lastActiveComponent[u] = lastComponent[u] = nullptr;
}

void TabletopVis::moveComponentToRenderFront(VisComponent* c)
{
    if (!c) {
        std::cout << " Error. Could not move component to front of render list." << std::endl;
        return;
    }
    if (tearingDown || c->hasStaticRenderOrder()) return;
    VisComponent* p = c->getParent();
    if (p && !p->hasStaticRenderOrder()) {
        if (renderList.empty() || renderList.front() != p) spliceToRenderFront(p);
        p->moveToRenderFront(c);
        return;
    }
    if (renderList.empty() || renderList.front() != c) spliceToRenderFront(c);
}

void TabletopVis::fixLensOrder(VisComponent* lens,
                               const std::function<bool(VisComponent*)>& isSurface)
{
    if (!lens || renderList.empty()) return;
    auto moveBehind = [&](VisComponent* surface) {
        spliceToRenderBack(lens);
        spliceToRenderBack(surface);
    };
    if (isSurface(renderList.back())) {
        moveBehind(renderList.back());
        return;
    }
    // Walk from the back towards the front; the front element itself is not examined.
    std::vector<VisComponent*> surfaces;
    auto it = renderList.end();
    --it;
    while (it != renderList.begin()) {
        if (isSurface(*it)) surfaces.push_back(*it);
        --it;
    }
    for (VisComponent* surface : surfaces) {
        moveBehind(surface);
        std::cout << "control surface wasn't the last in our render list. watch the fuck out..."
                  << std::endl;
    }
}

void TabletopVis::addToDroppingList(VisComponent* c)
{
    droppingList.push_back(c);
    countQueued(c);
}

void TabletopVis::addToDeletingList(VisComponent* c)
{
    deletingList.push_back(c);
    countQueued(c);
}

void TabletopVis::countQueued(VisComponent* c) { ++queuedEntries[c]; }

void TabletopVis::uncountQueued(VisComponent* c)
{
    auto it = queuedEntries.find(c);
    if (it != queuedEntries.end() && --it->second == 0) queuedEntries.erase(it);
}

VisComponent* TabletopVis::getElementFromDroppingListAndDeleteIt()
{
    if (droppingList.empty()) return nullptr;
    VisComponent* c = droppingList.front();
    droppingList.pop_front();
    uncountQueued(c);
    return c;
}

VisComponent* TabletopVis::getElementFromDeletingListAndDeleteIt()
{
    if (deletingList.empty()) return nullptr;
    VisComponent* c = deletingList.front();
    deletingList.pop_front();
    uncountQueued(c);
    return c;
}

// ---------------------------------------------------------------------------------------------
// Active components and manipulation

void TabletopVis::setLastComponent(VisComponent* c)
{
    for (auto& last : lastComponent) last = c;
}

void TabletopVis::setActiveComponent(unsigned int user, VisComponent* c)
{
    if (!hasUser(user)) return;
    if (activeComponent[user]) activeComponent[user]->setSelectionInactive();
    if (c) c->setSelectionActive();
    activeComponent[user] = c;
}

void TabletopVis::setActiveComponent(unsigned int user, unsigned long id)
{
    setActiveComponent(user, getComponent(id));
}

void TabletopVis::resetActiveComponent(unsigned int user)
{
    if (!hasUser(user)) return;
    if (VisComponent* c = activeComponent[user]) {
        lastActiveComponent[user] = c;
        c->setAnimationActive();
        c->setSelectionInactive();
        activeComponent[user] = nullptr;
    } else {
        lastActiveComponent[user] = nullptr;
    }
}

bool TabletopVis::processSingleComponent(unsigned int u, unsigned char* pixel)
{
    if (!hasUser(u)) return false;
    const double posX = posXToPaint[u];
    const double posY = posYToPaint[u];
    unsigned long id = 0;
    if (isPicking[u]) {
        id = pixel[2] * 65536ul + pixel[1] * 256ul + pixel[0];
        if (VisComponent* picked = getComponent(id)) {
            // Held by another pointer: this press grabs nothing.
            if (picked->getSelectionActive())
                id = 0;
            else
                picked->initializeRNT(posX, posY);
        }
        isPicking[u] = false;
    } else {
        if (!lastActiveComponent[u]) return false;
        id = lastActiveComponent[u]->getId();
    }
    if (id >= kMaxComponentId) return false;
    setActiveComponent(u, id);
    VisComponent* c = activeComponent[u];
    if (!c) return false;

    lastComponent[u] = c;
    c->setTossingNow(false);
    moveComponentToRenderFront(c);
    c->setAnimationInactive();

    const unsigned int r =
        c->hitLocalBuffer(posXToPaint[u], posYToPaint[u],
                          static_cast<unsigned int>(touchBoundWidth[u]),
                          static_cast<unsigned int>(touchBoundHeight[u]));
    if (movesByRNT(r) || r == 9) {
        const bool rnt = c->getRNTActive();
        if (r == 9) c->setRNTActive(false);
        c->moveWithRNTFromTo(initialPosXToPaint[u], initialPosYToPaint[u], posX, posY);
        initialPosXToPaint[u] = posXToPaint[u];
        initialPosYToPaint[u] = posYToPaint[u];
        if (r == 9) c->setRNTActive(rnt);
    } else {
        c->setPointerPos(posX, posY);
    }
    return true;
}

bool TabletopVis::checkWasDroppedByUser(unsigned int u) const
{
    return hasUser(u) && !doPainting[u] && !deviceIsPressed[u] && lastActiveComponent[u] != nullptr;
}

void TabletopVis::processDroppedComponent(unsigned int u)
{
    if (!hasUser(u)) return;
    VisComponent* c = lastActiveComponent[u];
    if (!c) return;
    const unsigned int r =
        c->releaseLocalBuffer(posXToPaint[u], posYToPaint[u],
                              static_cast<unsigned int>(touchBoundWidth[u]),
                              static_cast<unsigned int>(touchBoundHeight[u]));
    if (movesByRNT(r) || r == 9) c->setTossingNow(true);
}

// ---------------------------------------------------------------------------------------------
// Buffers

template <class T>
BufferTemplate<T>* TabletopVis::makeBuffer(unsigned int channels, unsigned int w, unsigned int h)
{
    auto* b = new BufferTemplate<T>(channels, nextImageBufferId++);
    b->setSizeAndAllocateMemory(w, h);
    return b;
}

BufferTemplate<int>* TabletopVis::createNewIntImageBuffer(unsigned int w, unsigned int h)
{
    return makeBuffer<int>(1, w, h);
}
BufferTemplate<unsigned int>* TabletopVis::createNewUIntImageBuffer(unsigned int w, unsigned int h)
{
    return makeBuffer<unsigned int>(1, w, h);
}
BufferTemplate<long>* TabletopVis::createNewLongImageBuffer(unsigned int w, unsigned int h)
{
    return makeBuffer<long>(1, w, h);
}
BufferTemplate<unsigned long>* TabletopVis::createNewULongImageBuffer(unsigned int w,
                                                                     unsigned int h)
{
    return makeBuffer<unsigned long>(1, w, h);
}
BufferTemplate<float>* TabletopVis::createNewFloatImageBuffer(unsigned int w, unsigned int h)
{
    return makeBuffer<float>(1, w, h);
}
BufferTemplate<char>* TabletopVis::createNewCharImageBuffer(unsigned int w, unsigned int h)
{
    return makeBuffer<char>(1, w, h);
}
BufferTemplate<unsigned char>* TabletopVis::createNewUCharImageBuffer(unsigned int w,
                                                                     unsigned int h)
{
    return makeBuffer<unsigned char>(1, w, h);
}
BufferTemplate<bool>* TabletopVis::createNewBoolImageBuffer(unsigned int w, unsigned int h)
{
    return makeBuffer<bool>(1, w, h);
}
BufferTemplate<double>* TabletopVis::createNewDoubleImageBuffer(unsigned int w, unsigned int h)
{
    return makeBuffer<double>(1, w, h);
}
BufferTemplate<float>* TabletopVis::createNew2DFloatVectorImageBuffer(unsigned int w,
                                                                     unsigned int h)
{
    return makeBuffer<float>(2, w, h);
}
BufferTemplate<double>* TabletopVis::createNew2DDoubleVectorImageBuffer(unsigned int w,
                                                                       unsigned int h)
{
    return makeBuffer<double>(2, w, h);
}
BufferTemplate<float>* TabletopVis::createNew3DFloatVectorImageBuffer(unsigned int w,
                                                                     unsigned int h)
{
    return makeBuffer<float>(3, w, h);
}
BufferTemplate<double>* TabletopVis::createNew3DDoubleVectorImageBuffer(unsigned int w,
                                                                       unsigned int h)
{
    return makeBuffer<double>(3, w, h);
}
BufferTemplate<unsigned char>* TabletopVis::createNew3DUCharImageBuffer(unsigned int w,
                                                                       unsigned int h)
{
    return makeBuffer<unsigned char>(3, w, h);
}
BufferTemplate<unsigned char>* TabletopVis::createNew4DUCharImageBuffer(unsigned int w,
                                                                       unsigned int h)
{
    return makeBuffer<unsigned char>(4, w, h);
}

void TabletopVis::setGlobalBuffer(BUFFERTAG tag, IBuffer* buffer)
{
    globalBuffers[tag] = buffer;
    memoryChanged = true;
}

IBuffer* TabletopVis::getGlobalBuffer(BUFFERTAG tag) const
{
    auto it = globalBuffers.find(tag);
    return it == globalBuffers.end() ? nullptr : it->second;
}

void TabletopVis::setControlBuffer(IBuffer* buffer)
{
    setGlobalBuffer(CONTROL_BUFFER, buffer);
}

void TabletopVis::deleteImageBuffer(IBuffer* buffer)
{
    for (auto it = globalBuffers.begin(); it != globalBuffers.end(); ++it) {
        if (it->second == buffer) {
            globalBuffers.erase(it);
            if (buffer) buffer->destroy();
            memoryChanged = true;
            return;
        }
    }
    std::cout << "ERROR deleting buffer." << std::endl;
}

void TabletopVis::removeAllBuffers()
{
    for (auto& entry : globalBuffers)
        if (entry.second) entry.second->destroy();
    globalBuffers.clear();
}

unsigned int TabletopVis::getBufferXCoordinate(unsigned int x) const
{
    const auto b = static_cast<unsigned int>(double(bufferWidth) * x / screenWidth + 0.5);
    return b >= bufferWidth ? bufferWidth - 1 : b;
}

unsigned int TabletopVis::getBufferYCoordinate(unsigned int y) const
{
    const auto b = static_cast<unsigned int>(double(bufferHeight) * y / screenHeight + 0.5);
    return b >= bufferHeight ? bufferHeight - 1 : b;
}

unsigned long TabletopVis::getAllocatedMemorySize()
{
    unsigned long kb = 0;
    for (auto& entry : components) kb += entry.second->getActiveBuffersMemorySize();
    for (auto& entry : globalBuffers)
        if (entry.second) kb += entry.second->getAllocatedMemorySize();
    memoryChanged = false;
    return kb;
}

// ---------------------------------------------------------------------------------------------
// Screen, parameters, switches

void TabletopVis::setScreensize(unsigned int w, unsigned int h)
{
    if (w > 0) screenWidth = w;
    if (h > 0) screenHeight = h;
}

void TabletopVis::checkForResize()
{
    if (screenWidth == lastScreenWidth && screenHeight == lastScreenHeight) return;
    lastScreenWidth = screenWidth;
    lastScreenHeight = screenHeight;
    for (auto it = renderList.rbegin(); it != renderList.rend(); ++it)
        if ((*it)->isResizing()) (*it)->rebuildGraphicRepresentation();
}

void TabletopVis::setContainerControlPointSteps(unsigned int inside, unsigned int outside)
{
    containerInsideControlPointSteps = inside < 3 ? 3 : inside;
    containerOutsideControlPointSteps = outside < 3 ? 3 : outside;
}

void TabletopVis::setRNTParameters(double factor, double circleDisplayTime)
{
    rntFactor = factor;
    quaterSquaredRNTFactor = 0.25 * factor * factor;
    rntCircleDisplayTime = circleDisplayTime;
}

void TabletopVis::enableMipMapping(bool on)
{
    mipMapping = on;
    if (on) {
        std::cout << "Mip Mapping enabled" << std::endl;
    } else {
        std::cout << "Mip Mapping disabled" << std::endl;
        enableLinearFiltering(false);
    }
}

void TabletopVis::enableLinearFiltering(bool on)
{
    if (on) {
        mipMapping = true;
        std::cout << "Mip Mapping enabled" << std::endl;
        linearFiltering = true;
        std::cout << "Linear Filtering enabled" << std::endl;
    } else {
        linearFiltering = false;
        std::cout << "Linear Filtering disabled" << std::endl;
    }
}

void TabletopVis::enableTextureCompression(bool on)
{
    textureCompression = on;
    if (on) {
        std::cout << "Texture Compression enabled" << std::endl;
    } else {
        std::cout << "Texture Compression disabled" << std::endl;
        enableARBTextureCompression(false);
    }
}

void TabletopVis::enableARBTextureCompression(bool on)
{
    if (on) {
        textureCompression = true;
        std::cout << "Texture Compression enabled" << std::endl;
        arbTextureCompression = true;
        std::cout << "ARB Texture Compression enabled" << std::endl;
    } else {
        arbTextureCompression = false;
        std::cout << "ARB Texture Compression disabled" << std::endl;
    }
}

// ---------------------------------------------------------------------------------------------
// Timing

void TabletopVis::pushTimeState()
{
    pausedTickStack.push(systemTicks());
    pausedLastTicksStack.push(lastTicks);
}

void TabletopVis::popTimeState()
{
    // An unmatched pop has nothing to restore.
    if (pausedTickStack.empty() || pausedLastTicksStack.empty()) return;
    const unsigned long pausedAt = pausedTickStack.top();
    const unsigned long savedLast = pausedLastTicksStack.top();
    pausedTickStack.pop();
    pausedLastTicksStack.pop();
    lastTicks = savedLast - pausedAt + systemTicks();
}

double TabletopVis::computeTimeStep(double fps, double referenceRate)
{
    if (fps < 1.0) return 1.0;
    const double step = referenceRate / fps;
    return step > 4.0 ? 4.0 : step;
}

void TabletopVis::measureSpentTime()
{
    const unsigned long now = systemTicks();
    // 32-bit durations and sum: the running sum stays exact modulo 2^32.
    const auto d = static_cast<unsigned int>(now - lastTicks);
    frameTimeSum += d - frameTimes[frameTimeIndex];
    frameTimes[frameTimeIndex] = d;
    frameTimeIndex = (frameTimeIndex + 1) % 10;
    averageFrameTime = frameTimeSum * 0.1;
    lastTicks = currentTicks = now;
    currentFPS = 1000.0 / averageFrameTime;
}

// ---------------------------------------------------------------------------------------------
// Scene rendering

namespace {

// Draws the components in the order given; runs of components drawn by one batch owner are
// bracketed by its begin and end calls.
template <class It, class Draw> void renderInOrder(It first, It last, bool picking, Draw draw)
{
    VisComponent* owner = nullptr;
    for (; first != last; ++first) {
        VisComponent* next = (*first)->getRenderBatchOwner();
        if (next != owner) {
            if (owner) owner->endRenderBatch(picking);
            owner = next;
            if (owner) owner->beginRenderBatch(picking);
        }
        draw(*first);
    }
    if (owner) owner->endRenderBatch(picking);
}

// The render list back to front.
template <class Draw>
void renderInOrder(std::list<VisComponent*>& list, bool picking, Draw draw)
{
    renderInOrder(list.rbegin(), list.rend(), picking, draw);
}

} // namespace

void TabletopVis::renderAllComponents()
{
    checkForResize();
    for (auto it = renderList.rbegin(); it != renderList.rend(); ++it)
        (*it)->renderMeAndMyChildrenIntoBuffers();
    renderInOrder(renderList, false, [](VisComponent* c) { c->render(); });
    measureSpentTime();
}

void TabletopVis::renderAllComponentsWithAnimation(double step)
{
    checkForResize();
    for (auto it = renderList.rbegin(); it != renderList.rend(); ++it)
        (*it)->renderMeAndMyChildrenIntoBuffers();
    renderInOrder(renderList, false, [step](VisComponent* c) { c->renderWithAnimation(step); });
    measureSpentTime();
}

void TabletopVis::renderAllComponentsForPicking()
{
    checkForResize();
    auto pick = [](VisComponent* c) { c->renderForPicking(true); };
    // Lenses of static order lying on a parent, front to back.
    std::vector<VisComponent*> lenses;
    if (pickedBeneathLenses)
        for (VisComponent* c : renderList)
            if (c->hasStaticRenderOrder() && c->getParent()) lenses.push_back(c);
    if (lenses.empty()) {
        renderInOrder(renderList, true, pick);
        return;
    }
    // Each lens goes right after (above) the front-most material of its parent that lies in
    // front of it; lenses sharing that place keep their own order, back to front. One pass from
    // the front, asking about material only until each lens parent's front-most one is known.
    std::unordered_map<VisComponent*, VisComponent*> frontMaterial;
    for (VisComponent* lens : lenses) frontMaterial.emplace(lens->getParent(), nullptr);
    std::unordered_map<VisComponent*, std::vector<VisComponent*>> above;
    std::unordered_set<VisComponent*> lifted;
    for (VisComponent* c : renderList) {
        auto material = frontMaterial.find(c->getParent());
        if (material == frontMaterial.end()) continue;
        if (c->hasStaticRenderOrder()) {
            if (!material->second) continue;
            std::vector<VisComponent*>& lensesAbove = above[material->second];
            lensesAbove.insert(lensesAbove.begin(), c);
            lifted.insert(c);
        } else if (!material->second && pickedBeneathLenses(c)) {
            material->second = c;
        }
    }
    // Back to front, each lifted lens right after its material. A lens has no batch owner, so
    // the material's batch reaches the frame before the lens covers it.
    std::vector<VisComponent*> order;
    order.reserve(renderList.size());
    for (auto it = renderList.rbegin(); it != renderList.rend(); ++it) {
        if (lifted.count(*it)) continue;
        order.push_back(*it);
        auto a = above.find(*it);
        if (a != above.end()) order.insert(order.end(), a->second.begin(), a->second.end());
    }
    renderInOrder(order.begin(), order.end(), true, pick);
}

void TabletopVis::renderCompositesOnlyForPicking(VisComponent* except)
{
    checkForResize();
    for (auto it = renderList.rbegin(); it != renderList.rend(); ++it)
        if (*it != except && (*it)->getComposite()) (*it)->renderForPicking(false);
}

// ---------------------------------------------------------------------------------------------
// Touch indicators

void TabletopVis::moveTouchIndicator(unsigned int user)
{
    if (!admitPointer(user)) return;
    if (TouchIndicator* t = touchIndicators[user]) t->setPos(posXToPaint[user], posYToPaint[user]);
}

void TabletopVis::resizeTouchIndicator(unsigned int user)
{
    if (!admitPointer(user)) return;
    // The height goes with the width factor and the width with the height factor.
    if (TouchIndicator* t = touchIndicators[user]) {
        t->setBoundHeight(touchBoundHeight[user] * scaleFactorExtendWidth);
        t->setBoundWidth(touchBoundWidth[user] * scaleFactorExtendHeight);
    }
}

void TabletopVis::resizeTouchIndicator(unsigned int user, double w, double h)
{
    if (!admitPointer(user)) return;
    if (TouchIndicator* t = touchIndicators[user]) t->setSize(w, h);
}

void TabletopVis::renderTouchIndicators()
{
    for (TouchIndicator* t : touchIndicators)
        if (t) t->render();
}

void TabletopVis::renderTouchIndicatorWithExtend(int user, bool on)
{
    const auto u = static_cast<unsigned int>(user);
    if (!admitPointer(u)) return;
    if (TouchIndicator* t = touchIndicators[u]) t->renderWithExtend(on);
}

void TabletopVis::renderAllTouchIndicatorWithExtend(bool on)
{
    for (TouchIndicator* t : touchIndicators)
        if (t) t->renderWithExtend(on);
}
