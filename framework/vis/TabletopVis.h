#pragma once
// TabletopVis: the rendering-independent controller of one tabletop scene. It owns every
// component, gives each an id that doubles as its picking colour, keeps the top-level render
// order and the dropping and deletion queues, tracks each user's pointer, measures the frame
// rate and holds the scene-wide parameters that components read. Everything that needs the
// graphics system is virtual; the versions here print an error line and return a neutral
// value (TabletopVisGL implements them).
//
// Coordinates: screen (table) pixels, origin at the bottom left, y up; pointer positions are
// unsigned pixels in that frame (the caller flips the window's y axis).
// Ids: 24 bits; id 0 is never given out (black in the picking image), 0xFFFFFF is white.
// Time: ticks are milliseconds of a monotonic clock.
// Ownership: every registered component, the global buffers and the touch indicators. Buffers
// returned by the createNew…ImageBuffer operations belong to the caller.
// Users: the per-user state has one element per user, 0 … getNumberOfUsers() − 1. Every
// per-user operation checks its user number first (see admitPointer): a number out of range
// changes nothing, and queries answer 0, false or null for it.
// Threads: one, the thread that owns the graphics context.

#include "core/BufferTag.h"
#include "core/IBuffer.h"
#include "core/VisComponent.h"
#include "core/WiiCommunicationData.h"

#include <deque>
#include <functional>
#include <list>
#include <map>
#include <set>
#include <stack>
#include <unordered_map>
#include <vector>

class TouchIndicator;
template <class T> class BufferTemplate;

// Stock components, made by the graphics implementation's factories.
class ImageLeafGL;
class DocumentLeafGL;
class BoundedContainerGL;
class StorageBinCompositeGL;
class InterfaceCurrentCompositeGL;
class StickyBoardCompositeGL;
class ComponentDestroyerCompositeGL;
class StorageBinCreatorLeafGL;
class StickyBoardCreatorLeafGL;
class PoolInterfaceCurrentCreatorLeafGL;
class BeltInterfaceCurrentCreatorLeafGL;
class StickyNoteCreatorLeafGL;
class StickyNoteLeafGL;
class LensCreatorLeafGL;
class SizeLensLeafGL;
class DirectionLensLeafGL;
class OrientationLensLeafGL;
class ControlSurfaceCompositeGL;
class HockeySurfaceCompositeGL;
class HockeyPaddleLeafGL;
class HockeyPuckLeafGL;

class TabletopVis {
public:
    // Largest usable id and the picking colour of "nothing in particular" (white).
    static constexpr unsigned long kMaxComponentId = 0xFFFFFF;

    // Screen size arguments of 0 keep the default of 100.
    TabletopVis(unsigned int users = 1, unsigned int bufferWidth = 100,
                unsigned int bufferHeight = 100, unsigned int screenWidth = 100,
                unsigned int screenHeight = 100);
    // The controller owns its components and buffers: copies would free them twice.
    TabletopVis(const TabletopVis&) = delete;
    TabletopVis& operator=(const TabletopVis&) = delete;

    // --- virtual operations, slots 0 to 49 ---
    virtual ~TabletopVis();
    // One frame: picking, manipulation, queues, animation, drawing. Returns the frame rate.
    virtual double render(unsigned int users, double referenceRate);
    // Scale from the touch device's contact extent to table pixels.
    virtual void setScaleFactorExtendWidth(double f);
    virtual void setScaleFactorExtendHeight(double f);
    virtual double getScaleFactorExtendWidth();
    virtual double getScaleFactorExtendHeight();
    virtual bool hasHardwareExtension(unsigned int index);
    virtual void enableVSync(bool on);
    virtual bool isVSyncing();
    virtual void wglGetLastError();
    // Off-screen render targets; the record is the caller's (see PBuffer.h).
    virtual void init_pbuffer(void* pbuffer, int width, int height);
    virtual void shutdown_pbuffer(void* pbuffer);
    virtual void activatePBuffer(void* pbuffer);
    virtual void deactivatePBuffer(void* pbuffer);
    virtual void determineTextureFormat();
    virtual void determineTextureParameters();
    // The texture name, or 4294967295 when the file cannot be loaded.
    virtual unsigned int loadTexture(const char* file, bool addToTable);
    virtual unsigned int addTexture(unsigned int textureId, unsigned int size, unsigned int minX,
                                    unsigned int maxX, unsigned int minY, unsigned int maxY);
    virtual unsigned int getNumberOfImageTextures();
    virtual unsigned int getImageTextureIDAt(unsigned int index);
    virtual unsigned int getTextureHasAlphaAt(unsigned int index);
    virtual unsigned int getTextureMinXAt(unsigned int index);
    virtual unsigned int getTextureMaxXAt(unsigned int index);
    virtual unsigned int getTextureMinYAt(unsigned int index);
    virtual unsigned int getTextureMaxYAt(unsigned int index);
    virtual unsigned int getTextureSizeAt(unsigned int index);
    virtual void saveScreenshot();
    virtual bool loadFont(const char* file, int size);
    // Factories: make, register and return one stock component. Leading arguments: width,
    // height, rotate-and-translate, tossing, x, y, z (table pixels; z orders depth).
    virtual ImageLeafGL* createImage(double width, double height, bool rnt, bool tossing, double x,
                                     double y, double z, double rotation, unsigned int texture,
                                     bool drop);
    virtual DocumentLeafGL* createDocument(double size, bool rnt, bool tossing, double x, double y,
                                           double z, double rotation, const char* file, bool drop);
    virtual BoundedContainerGL* createContainer(double width, double height, bool rnt,
                                                bool tossing, double x, double y, double z,
                                                unsigned int controlPoints,
                                                unsigned int splineLevel, bool hasInsideBoundary,
                                                bool rounded);
    virtual StorageBinCompositeGL* createStorageBin(double width, double height, bool rnt,
                                                    bool tossing, double x, double y, double z,
                                                    unsigned int controlPoints,
                                                    unsigned int splineLevel,
                                                    bool hasInsideBoundary, bool rounded);
    // belt: true for a belt, false for a pool.
    virtual InterfaceCurrentCompositeGL* createInterfaceCurrent(double width, double height,
                                                                bool rnt, bool tossing, double x,
                                                                double y, double z,
                                                                unsigned int controlPoints,
                                                                unsigned int splineLevel,
                                                                bool belt, bool rounded);
    virtual StickyBoardCompositeGL* createStickyBoard(double width, double height, bool rnt,
                                                      bool tossing, double x, double y, double z);
    virtual ComponentDestroyerCompositeGL* createDestroyer(double width, double height, bool rnt,
                                                           bool tossing, double x, double y,
                                                           double z, unsigned int texture);
    // Creators: their own size and position, then the size of what they create.
    virtual StorageBinCreatorLeafGL* createStorageBinCreator(
        double width, double height, double x, double y, double z, double createdWidth,
        double createdHeight, unsigned int controlPoints, unsigned int splineLevel, bool rounded,
        unsigned int texture);
    virtual StickyBoardCreatorLeafGL* createStickyBoardCreator(double width, double height,
                                                               double x, double y, double z,
                                                               double createdWidth,
                                                               double createdHeight,
                                                               unsigned int texture);
    virtual PoolInterfaceCurrentCreatorLeafGL* createPoolInterfaceCurrentCreator(
        double width, double height, double x, double y, double z, double createdWidth,
        double createdHeight, unsigned int controlPoints, unsigned int splineLevel, bool rounded,
        unsigned int texture);
    virtual BeltInterfaceCurrentCreatorLeafGL* createBeltInterfaceCurrentCreator(
        double width, double height, double x, double y, double z, double createdWidth,
        double createdHeight, unsigned int controlPoints, unsigned int splineLevel, bool rounded,
        unsigned int texture);
    virtual StickyNoteCreatorLeafGL* createStickyNoteCreator(double width, double height, double x,
                                                             double y, double z,
                                                             double createdWidth,
                                                             double createdHeight,
                                                             unsigned int texture);
    virtual StickyNoteLeafGL* createStickyNote(double width, double height, bool rnt, bool tossing,
                                               double x, double y, double z, double rotation);
    virtual LensCreatorLeafGL* createLensCreator(double width, double height, double x, double y,
                                                 double z, double createdWidth,
                                                 double createdHeight, const char* dropoff,
                                                 unsigned int texture, double a, double b,
                                                 unsigned int n, double upX, double upY,
                                                 const char* kind);
    virtual SizeLensLeafGL* createSizeLens(double width, double height, bool rnt, double x,
                                           double y, double z, double rotation,
                                           const char* dropoff, double a, double b,
                                           unsigned int n);
    virtual DirectionLensLeafGL* createDirectionLens(double width, double height, bool rnt,
                                                     double x, double y, double z,
                                                     double rotation, const char* dropoff,
                                                     double a, double b, unsigned int n,
                                                     unsigned int m);
    virtual OrientationLensLeafGL* createOrientationLens(double width, double height, bool rnt,
                                                         bool tossing, double x, double y,
                                                         double z, double rotation, double upX,
                                                         double upY, unsigned int n,
                                                         unsigned int kind);
    virtual ControlSurfaceCompositeGL* createControlSurface(double a, double b, double c, double d,
                                                            double e, double f, double g);
    virtual HockeySurfaceCompositeGL* createHockeySurface(double a, double b, double c, double d,
                                                          double e, double f, double g, double h);
    virtual HockeyPaddleLeafGL* createHockeyPaddle(double size, bool rnt, bool tossing, double x,
                                                   double y, double z);
    virtual HockeyPuckLeafGL* createHockeyPuck(double size, double speed, double d,
                                               double directionX, double directionY, bool rnt,
                                               bool tossing, double x, double y, double z);
    virtual void initializeRenderer();

    // --- pointer input: the one checked door of every input source ---
    // Mouse, touch screen, TUIO, tablet and Wii input reach the per-user state only through
    // these operations, and each checks its user number with admitPointer first. A number at or
    // beyond getNumberOfUsers() is dropped; the first time each such number arrives one line
    // says so ("Ignoring pointer 1: only 1 user configured"), later arrivals stay silent.
    // Callers that keep per-pointer state of their own ask admitPointer before touching it.
    bool admitPointer(unsigned int user);
    // The number names a user (no message).
    bool hasUser(unsigned int user) const;

    // Called by devicePress for an admitted pointer before the press takes effect (the
    // application records its painting before each gesture); empty: none.
    void setPressObserver(std::function<void(unsigned int user)> observer)
    {
        pressObserver = std::move(observer);
    }

    // Direction and orientation lenses keep a static place right above the table surface, drawn
    // beneath the material painted on their parent. For picking, each such lens lying on a
    // parent is drawn again right above the front-most of its parent's children that `material`
    // accepts (the painting's primitives), so that a touch anywhere on it reaches the lens while
    // components raised above the painting (palettes, menus) still cover it. Empty: picking
    // follows the drawing order.
    void setPickedBeneathLenses(std::function<bool(const VisComponent*)> material)
    {
        pickedBeneathLenses = std::move(material);
    }

    // Screen pixels; the device value is ignored.
    void devicePress(unsigned int x, unsigned int y, unsigned int device, unsigned int user);
    void deviceMove(unsigned int x, unsigned int y, unsigned int device, unsigned int user);
    void deviceRelease(unsigned int x, unsigned int y, unsigned int device, unsigned int user);
    // Contact extent in device units; values not greater than 0 are ignored. A negative user
    // number is out of range.
    void setTouchBoundHeight(int user, double h);
    void setTouchBoundWidth(int user, double w);
    double getTouchBoundHeight(unsigned int user) const
    {
        return hasUser(user) ? touchBoundHeight[user] : 0.0;
    }
    double getTouchBoundWidth(unsigned int user) const
    {
        return hasUser(user) ? touchBoundWidth[user] : 0.0;
    }
    // Copies the sample, then hands the copies to each of the first `users` users' last component.
    void wiimoteEvent(unsigned int users, std::vector<WiiCommunicationData::WIIMOTE_BUTTON>& buttons,
                      WiiCommunicationData& data);
    unsigned int getPosXToPaint(unsigned int user) const
    {
        return hasUser(user) ? posXToPaint[user] : 0;
    }
    unsigned int getPosYToPaint(unsigned int user) const
    {
        return hasUser(user) ? posYToPaint[user] : 0;
    }
    unsigned int getInitialPosXToPaint(unsigned int user) const
    {
        return hasUser(user) ? initialPosXToPaint[user] : 0;
    }
    unsigned int getInitialPosYToPaint(unsigned int user) const
    {
        return hasUser(user) ? initialPosYToPaint[user] : 0;
    }
    bool getDoPainting(unsigned int user) const { return hasUser(user) && doPainting[user]; }
    bool getDeviceIsPressed(unsigned int user) const
    {
        return hasUser(user) && deviceIsPressed[user];
    }
    bool getIsPicking(unsigned int user) const { return hasUser(user) && isPicking[user]; }
    void setIsPicking(unsigned int user, bool on)
    {
        if (hasUser(user)) isPicking[user] = on;
    }
    // The pointer is down and on the screen (edges included).
    bool checkDoDrawingForUser(unsigned int user) const;
    // A press released before a frame picked it (a quick tap), on the screen: the next frame
    // picks, hits and releases it at once.
    bool checkTapForUser(unsigned int user) const;
    unsigned int getNumberOfUsers() const { return numberOfUsers; }

    // --- registry ---
    // Registers c under a fresh or recycled id and gives it its picking colour; with drop the
    // component is queued for dropping, else activated. Past the id limit c stays unregistered.
    void addComponent(VisComponent* c, bool drop);
    VisComponent* getComponent(unsigned long id) const;
    unsigned long countComponents() const { return components.size(); }
    // The id a picking colour encodes.
    unsigned long determineIdFromColor(unsigned char r, unsigned char g, unsigned char b) const
    {
        return static_cast<unsigned long>(b) << 16 | static_cast<unsigned long>(g) << 8 | r;
    }
    void deleteComponent(VisComponent* c);
    void removeComponentFromMap(VisComponent* c);
    void removeComponentFromRenderList(VisComponent* c);
    void deleteLastComponent();
    void deleteLastImageComponent();
    void deleteLastHockeyPuckComponent();
    // Deletes every registered component. Leaves go first, then composites from the deepest up,
    // so each leaves a parent that still exists and only has to forget it.
    void removeAllComponents();
    // True for the component removeAllComponents is deleting right now: its parent need not hand
    // back attributes, buffers or a place in the render order to it.
    bool isDeletingForGood(const VisComponent* c) const { return c && c == deletingForGood; }
    void activateDestroyers();
    void moveComponentToRenderFront(VisComponent* c);
    const std::list<VisComponent*>& getRenderList() const { return renderList; }

    // --- queues ---
    void addToDroppingList(VisComponent* c);
    void addToDeletingList(VisComponent* c);
    unsigned long droppingListSize() const { return droppingList.size(); }
    unsigned long deletingListSize() const { return deletingList.size(); }
    // Oldest element, removed from the queue; null when the queue is empty.
    VisComponent* getElementFromDroppingListAndDeleteIt();
    VisComponent* getElementFromDeletingListAndDeleteIt();

    // --- active components ---
    VisComponent* getActiveComponent(unsigned int user) const
    {
        return hasUser(user) ? activeComponent[user] : nullptr;
    }
    VisComponent* getLastActiveComponent(unsigned int user) const
    {
        return hasUser(user) ? lastActiveComponent[user] : nullptr;
    }
    VisComponent* getLastComponent(unsigned int user) const
    {
        return hasUser(user) ? lastComponent[user] : nullptr;
    }
    void setLastActiveComponent(unsigned int user, VisComponent* c)
    {
        if (hasUser(user)) lastActiveComponent[user] = c;
    }
    void setLastComponent(unsigned int user, VisComponent* c)
    {
        if (hasUser(user)) lastComponent[user] = c;
    }
    // For every user.
    void setLastComponent(VisComponent* c);
    void setActiveComponent(unsigned int user, VisComponent* c);
    void setActiveComponent(unsigned int user, unsigned long id);
    void resetActiveComponent(unsigned int user);
    // Picking result or continued drag of one user; pixel: RGB read under the pointer.
    bool processSingleComponent(unsigned int user, unsigned char* pixel);
    // True in the first frame after the user's release.
    bool checkWasDroppedByUser(unsigned int user) const;
    void processDroppedComponent(unsigned int user);

    // --- buffers (the caller owns what these return; ids count up from 0) ---
    BufferTemplate<int>* createNewIntImageBuffer(unsigned int w, unsigned int h);
    BufferTemplate<unsigned int>* createNewUIntImageBuffer(unsigned int w, unsigned int h);
    BufferTemplate<long>* createNewLongImageBuffer(unsigned int w, unsigned int h);
    BufferTemplate<unsigned long>* createNewULongImageBuffer(unsigned int w, unsigned int h);
    BufferTemplate<float>* createNewFloatImageBuffer(unsigned int w, unsigned int h);
    BufferTemplate<char>* createNewCharImageBuffer(unsigned int w, unsigned int h);
    BufferTemplate<unsigned char>* createNewUCharImageBuffer(unsigned int w, unsigned int h);
    BufferTemplate<bool>* createNewBoolImageBuffer(unsigned int w, unsigned int h);
    BufferTemplate<double>* createNewDoubleImageBuffer(unsigned int w, unsigned int h);
    BufferTemplate<float>* createNew2DFloatVectorImageBuffer(unsigned int w, unsigned int h);
    BufferTemplate<double>* createNew2DDoubleVectorImageBuffer(unsigned int w, unsigned int h);
    BufferTemplate<float>* createNew3DFloatVectorImageBuffer(unsigned int w, unsigned int h);
    BufferTemplate<double>* createNew3DDoubleVectorImageBuffer(unsigned int w, unsigned int h);
    BufferTemplate<unsigned char>* createNew3DUCharImageBuffer(unsigned int w, unsigned int h);
    BufferTemplate<unsigned char>* createNew4DUCharImageBuffer(unsigned int w, unsigned int h);
    // Global buffers: the controller takes ownership.
    void setGlobalBuffer(BUFFERTAG tag, IBuffer* buffer);
    IBuffer* getGlobalBuffer(BUFFERTAG tag) const;
    IBuffer* getControlBuffer() const { return getGlobalBuffer(CONTROL_BUFFER); }
    void setControlBuffer(IBuffer* buffer);
    unsigned long countImageBuffers() const { return globalBuffers.size(); }
    // Frees a registered global buffer; an unknown one is reported and left alone.
    void deleteImageBuffer(IBuffer* buffer);
    void removeAllBuffers();
    void changeBufferSize(unsigned int w, unsigned int h) { bufferWidth = w; bufferHeight = h; }
    unsigned int getBufferWidth() const { return bufferWidth; }
    unsigned int getBufferHeight() const { return bufferHeight; }
    // Screen pixel to control-buffer cell, clamped to the last cell.
    unsigned int getBufferXCoordinate(unsigned int x) const;
    unsigned int getBufferYCoordinate(unsigned int y) const;
    // Kilobytes held by the components' active buffers and the global buffers.
    unsigned long getAllocatedMemorySize();
    bool bufferMemoryChanged() const { return memoryChanged; }

    // --- screen ---
    unsigned int getScreenWidth() const { return screenWidth; }
    unsigned int getScreenHeight() const { return screenHeight; }
    // A value of 0 leaves that dimension unchanged.
    void setScreensize(unsigned int w, unsigned int h);
    // Rebuilds resizable components once after the screen size changed.
    void checkForResize();

    // --- scene-wide parameters ---
    double getInitialMaxCurrentWidth() const { return initialMaxCurrentWidth; }
    void setInitialMaxCurrentWidth(double w) { initialMaxCurrentWidth = w; }
    double getContainerBorderWidth() const { return containerBorderWidth; }
    void setContainerBorderWidth(double w) { containerBorderWidth = w; }
    double getContainerOpacity() const { return containerOpacity; }
    void setContainerOpacity(double o) { containerOpacity = o; }
    // RGB, 0 … 1.
    void setInsideColor(float r, float g, float b) { setRGB(insideColor, r, g, b); }
    void getInsideColor(float* r, float* g, float* b) const { getRGB(insideColor, r, g, b); }
    void setBorderColor(float r, float g, float b) { setRGB(borderColor, r, g, b); }
    void getBorderColor(float* r, float* g, float* b) const { getRGB(borderColor, r, g, b); }
    void setHighlightColor(float r, float g, float b) { setRGB(highlightColor, r, g, b); }
    void getHighlightColor(float* r, float* g, float* b) const { getRGB(highlightColor, r, g, b); }
    // Values below 3 are raised to 3.
    void setContainerControlPointSteps(unsigned int inside, unsigned int outside);
    unsigned int getContainerInsideControlPointSteps() const { return containerInsideControlPointSteps; }
    unsigned int getContainerOutsideControlPointSteps() const { return containerOutsideControlPointSteps; }
    double getTossingSlowdownFactor() const { return tossingSlowdownFactor; }
    double getTossingCutoff() const { return tossingCutoff; }
    void setTossingParameters(double slowdownFactor, double cutoff)
    {
        tossingSlowdownFactor = slowdownFactor;
        tossingCutoff = cutoff;
    }
    void setRNTParameters(double factor, double circleDisplayTime);
    double getRNTFactor() const { return rntFactor; }
    double getQuaterSquaredRNTFactor() const { return quaterSquaredRNTFactor; }
    double getRNTCircleDisplayTime() const { return rntCircleDisplayTime; }
    unsigned int getTexFormatWithAlpha() const { return texFormatWithAlpha; }
    void setTexFormatWithAlpha(unsigned int f) { texFormatWithAlpha = f; }
    unsigned int getTexFormatWithoutAlpha() const { return texFormatWithoutAlpha; }
    void setTexFormatWithoutAlpha(unsigned int f) { texFormatWithoutAlpha = f; }

    // --- switches (the texture-quality ones print a line per change) ---
    void enableMipMapping(bool on);
    void enableLinearFiltering(bool on);
    void enableTextureCompression(bool on);
    void enableARBTextureCompression(bool on);
    void enableHardwareOptimization(bool on) { hardwareOptimization = on; }
    bool isHardwareOptimization() const { return hardwareOptimization; }
    bool isMipMapping() const { return mipMapping; }
    bool isLinearFiltering() const { return linearFiltering; }
    bool isTextureCompression() const { return textureCompression; }
    bool isARBTextureCompression() const { return arbTextureCompression; }
    void setPickingRendering(bool on) { pickingRendering = on; }
    bool isPickingRendering() const { return pickingRendering; }
    bool isAnimating() const { return animating; }
    void setAnimating(bool on) { animating = on; }

    // --- timing (ticks in milliseconds) ---
    unsigned long getTicksPerSecond() const { return ticksPerSecond; }
    unsigned long getCurrentTicks() const { return currentTicks; }
    double getCurrentFPS() const { return currentFPS; }
    // Brackets blocking work so that its duration does not count as frame time.
    void pushTimeState();
    void popTimeState();
    // The animation step for a frame rate: referenceRate / fps, at most 4, 1 below 1 fps.
    static double computeTimeStep(double fps, double referenceRate);

    // --- touch indicators ---
    TouchIndicator* getTouchIndicator(unsigned int user) const
    {
        return hasUser(user) ? touchIndicators[user] : nullptr;
    }
    void moveTouchIndicator(unsigned int user);
    void resizeTouchIndicator(unsigned int user);
    void resizeTouchIndicator(unsigned int user, double w, double h);
    void renderTouchIndicators();
    void renderTouchIndicatorWithExtend(int user, bool on);
    void renderAllTouchIndicatorWithExtend(bool on);

protected:
    // --- scene rendering, back to front ---
    void renderAllComponents();
    void renderAllComponentsWithAnimation(double step);
    void renderAllComponentsForPicking();
    // Only composites can be hit, never `except`.
    void renderCompositesOnlyForPicking(VisComponent* except);
    void measureSpentTime();
    // Milliseconds of the monotonic clock (tests may replace the source).
    unsigned long systemTicks() const { return tickSource(); }
    std::function<unsigned long()> tickSource;

    // After a lens L was registered: keep L just before the control surface of type Surface at
    // the back of the render list (the surface is drawn first, the lens right above it).
    template <class Surface> void placeLensAboveControlSurface(VisComponent* lens);
    // Deletes the registered component of type T with the highest id, if any.
    template <class T> void deleteLastComponentOfType();
    // Activates every top-level component of type T, front to back.
    template <class T> void activateComponentsOfType();

private:
    static void setRGB(float* c, float r, float g, float b) { c[0] = r; c[1] = g; c[2] = b; }
    static void getRGB(const float* c, float* r, float* g, float* b)
    {
        *r = c[0]; *g = c[1]; *b = c[2];
    }
    void fixLensOrder(VisComponent* lens, const std::function<bool(VisComponent*)>& isSurface);
    // renderList edits through the stored positions: constant time, at most one entry per
    // component.
    void insertIntoRenderList(std::list<VisComponent*>::iterator at, VisComponent* c);
    void eraseFromRenderList(VisComponent* c);
    void spliceToRenderFront(VisComponent* c);
    void spliceToRenderBack(VisComponent* c);
    // Bookkeeping of the dropping and deleting queues' entries.
    void countQueued(VisComponent* c);
    void uncountQueued(VisComponent* c);
    template <class T> BufferTemplate<T>* makeBuffer(unsigned int channels, unsigned int w,
                                                     unsigned int h);

protected:
    // Sizes and counters
    unsigned int numberOfUsers;
    unsigned int lastScreenWidth = 0;
    unsigned int lastScreenHeight = 0;
    bool memoryChanged = false;
    unsigned int texFormatWithAlpha = 0;
    unsigned int texFormatWithoutAlpha = 0;
    unsigned int nextImageBufferId = 0;
    unsigned long nextComponentId = 1;
    unsigned int bufferWidth;
    unsigned int bufferHeight;
    unsigned int screenWidth = 100;
    unsigned int screenHeight = 100;

    // Registry and render order
    std::map<unsigned long, VisComponent*> components;
    // Recycled ids, used as a stack: the most recently freed first.
    std::deque<unsigned long> freeIds;
    // Top-level draw order; the front is drawn last (on top).
    std::list<VisComponent*> renderList;
    // Where each component of renderList sits in it, so that removing a component or raising it
    // to the front does not search the list (tearing down thousands of primitives stays linear).
    std::unordered_map<const VisComponent*, std::list<VisComponent*>::iterator> renderPositions;
    // While removeAllComponents runs, the render order is not kept: the list is cleared after.
    bool tearingDown = false;
    const VisComponent* deletingForGood = nullptr;
    std::map<BUFFERTAG, IBuffer*> globalBuffers;

    // Per-user pointer state (one element per user)
    std::vector<VisComponent*> activeComponent;
    std::vector<VisComponent*> lastActiveComponent;
    std::vector<VisComponent*> lastComponent;
    std::vector<TouchIndicator*> touchIndicators;
    std::vector<bool> isPicking;
    std::vector<bool> doPainting;
    std::vector<bool> deviceIsPressed;
    std::function<void(unsigned int)> pressObserver;
    std::function<bool(const VisComponent*)> pickedBeneathLenses;
    std::vector<unsigned int> posXToPaint;
    std::vector<unsigned int> posYToPaint;
    std::vector<unsigned int> initialPosXToPaint;
    std::vector<unsigned int> initialPosYToPaint;
    std::vector<double> touchBoundHeight;
    std::vector<double> touchBoundWidth;
    // Out-of-range pointer numbers already reported by admitPointer.
    std::set<unsigned int> reportedPointers;

    // Queues
    std::deque<VisComponent*> droppingList;
    std::deque<VisComponent*> deletingList;
    // Entries per component in both queues together: deleting a component that is in neither
    // skips searching them.
    std::unordered_map<const VisComponent*, unsigned int> queuedEntries;

    // Scene-wide parameters
    double initialMaxCurrentWidth = 100.0;
    double containerBorderWidth = 15.0;
    double containerOpacity = 0.75;
    float insideColor[3] = {0.0f, 0.0f, 0.0f};
    float borderColor[3] = {0.0f, 0.0f, 0.0f};
    float highlightColor[3] = {0.0f, 0.0f, 0.0f};
    double tossingSlowdownFactor = 0.98;
    double tossingCutoff = 0.15;
    unsigned int containerInsideControlPointSteps = 3;
    unsigned int containerOutsideControlPointSteps = 6;
    double scaleFactorExtendHeight = 1.0;
    double scaleFactorExtendWidth = 1.0;
    double rntFactor = 0.5;
    double quaterSquaredRNTFactor = 0.125;
    double rntCircleDisplayTime = 2.0;

    // Timing
    double currentFPS = 50.0;
    unsigned long currentTicks = 0;
    unsigned long ticksPerSecond = 1000;
    unsigned long lastTicks = 0;
    std::stack<unsigned long> pausedTickStack;
    std::stack<unsigned long> pausedLastTicksStack;
    // Durations of the last ten rendered frames, in ticks; 32-bit like the running sum.
    unsigned int frameTimes[10] = {};
    unsigned int frameTimeSum = 0;
    double averageFrameTime = 50.0;
    unsigned int frameTimeIndex = 0;

    // Switches
    bool animating = false;
    bool hardwareOptimization = false;
    bool mipMapping = false;
    bool linearFiltering = false;
    bool textureCompression = false;
    bool arbTextureCompression = false;
    bool pickingRendering = false;

    // Wii remote relay
    std::vector<WiiCommunicationData::WIIMOTE_BUTTON> lastWiimoteButtons;
    WiiCommunicationData lastWiimoteData;
};

template <class Surface> void TabletopVis::placeLensAboveControlSurface(VisComponent* lens)
{
    fixLensOrder(lens, [](VisComponent* c) { return dynamic_cast<Surface*>(c) != nullptr; });
}

template <class T> void TabletopVis::deleteLastComponentOfType()
{
    for (auto it = components.rbegin(); it != components.rend(); ++it) {
        if (dynamic_cast<T*>(it->second)) {
            deleteComponent(it->second);
            return;
        }
    }
}

template <class T> void TabletopVis::activateComponentsOfType()
{
    for (VisComponent* c : renderList)
        if (dynamic_cast<T*>(c)) c->activate();
}
