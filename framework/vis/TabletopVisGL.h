#pragma once
// TabletopVisGL: the OpenGL controller. Adds the extension probe, off-screen render targets
// (PBuffer records realised as framebuffer objects), the texture table filled through DevIL,
// FTGL texture fonts, the touch indicators' drawing, the frame step and screenshots.
//
// Context: construct, use and destroy it with the application's OpenGL context current on the
// calling thread. The application sets the projection: orthographic in screen pixels, origin at
// the bottom left. Picking and screenshots read the currently bound (read) framebuffer.
// Ownership: textures in the table, fonts, touch indicators, plus everything TabletopVis owns.
// Texture rows: index = the texture index components use; the box is in image pixels with the
// origin at the bottom-left corner.

#include "TabletopVis.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class FTTextureFont;
class LabelLeafGL;

class TabletopVisGL : public TabletopVis {
public:
    // loadTexture's answer for a file that cannot be loaded.
    static constexpr unsigned int kTextureLoadFailed = 0xFFFFFFFFu;

    TabletopVisGL(unsigned int users = 1, unsigned int bufferWidth = 100,
                  unsigned int bufferHeight = 100, unsigned int screenWidth = 100,
                  unsigned int screenHeight = 100);
    ~TabletopVisGL() override;

    double render(unsigned int users, double referenceRate) override;
    // 0 swap control, 1 S3TC, 2 ARB texture compression, 3 SGIS mipmap generation,
    // 4–6 framebuffer objects (off-screen targets), 7 never set.
    bool hasHardwareExtension(unsigned int index) override;
    void enableVSync(bool on) override;
    bool isVSyncing() override;
    // Reports and clears pending OpenGL errors on standard error.
    void wglGetLastError() override;
    // pbuffer: a PBuffer record (PBuffer.h). width, height in pixels.
    void init_pbuffer(void* pbuffer, int width, int height) override;
    void shutdown_pbuffer(void* pbuffer) override;
    // Drawing goes into the target until deactivatePBuffer, which then copies it into the 2D
    // texture bound at activation (unless that is the target's own texture or none).
    void activatePBuffer(void* pbuffer) override;
    void deactivatePBuffer(void* pbuffer) override;
    void determineTextureFormat() override;
    void determineTextureParameters() override;
    unsigned int loadTexture(const char* file, bool addToTable) override;
    unsigned int addTexture(unsigned int textureId, unsigned int size, unsigned int minX,
                            unsigned int maxX, unsigned int minY, unsigned int maxY) override;
    unsigned int getNumberOfImageTextures() override;
    unsigned int getImageTextureIDAt(unsigned int index) override;
    // 0 for rows made by addTexture.
    unsigned int getTextureHasAlphaAt(unsigned int index) override;
    unsigned int getTextureMinXAt(unsigned int index) override;
    unsigned int getTextureMaxXAt(unsigned int index) override;
    unsigned int getTextureMinYAt(unsigned int index) override;
    unsigned int getTextureMaxYAt(unsigned int index) override;
    unsigned int getTextureSizeAt(unsigned int index) override;
    // Writes "screenshot<N>.bmp" into the working directory at the end of the next frame.
    void saveScreenshot() override;
    // Stores the font under its key: base name + size ("fonts/Arial.ttf", 24 → "Arial24").
    bool loadFont(const char* file, int size) override;
    ImageLeafGL* createImage(double width, double height, bool rnt, bool tossing, double x,
                             double y, double z, double rotation, unsigned int texture,
                             bool drop) override;
    DocumentLeafGL* createDocument(double size, bool rnt, bool tossing, double x, double y,
                                   double z, double rotation, const char* file,
                                   bool drop) override;
    BoundedContainerGL* createContainer(double width, double height, bool rnt, bool tossing,
                                        double x, double y, double z, unsigned int controlPoints,
                                        unsigned int splineLevel, bool hasInsideBoundary,
                                        bool rounded) override;
    StorageBinCompositeGL* createStorageBin(double width, double height, bool rnt, bool tossing,
                                            double x, double y, double z,
                                            unsigned int controlPoints, unsigned int splineLevel,
                                            bool hasInsideBoundary, bool rounded) override;
    InterfaceCurrentCompositeGL* createInterfaceCurrent(double width, double height, bool rnt,
                                                        bool tossing, double x, double y, double z,
                                                        unsigned int controlPoints,
                                                        unsigned int splineLevel, bool belt,
                                                        bool rounded) override;
    StickyBoardCompositeGL* createStickyBoard(double width, double height, bool rnt, bool tossing,
                                              double x, double y, double z) override;
    ComponentDestroyerCompositeGL* createDestroyer(double width, double height, bool rnt,
                                                   bool tossing, double x, double y, double z,
                                                   unsigned int texture) override;
    StorageBinCreatorLeafGL* createStorageBinCreator(double width, double height, double x,
                                                     double y, double z, double createdWidth,
                                                     double createdHeight,
                                                     unsigned int controlPoints,
                                                     unsigned int splineLevel, bool rounded,
                                                     unsigned int texture) override;
    StickyBoardCreatorLeafGL* createStickyBoardCreator(double width, double height, double x,
                                                       double y, double z, double createdWidth,
                                                       double createdHeight,
                                                       unsigned int texture) override;
    PoolInterfaceCurrentCreatorLeafGL* createPoolInterfaceCurrentCreator(
        double width, double height, double x, double y, double z, double createdWidth,
        double createdHeight, unsigned int controlPoints, unsigned int splineLevel, bool rounded,
        unsigned int texture) override;
    BeltInterfaceCurrentCreatorLeafGL* createBeltInterfaceCurrentCreator(
        double width, double height, double x, double y, double z, double createdWidth,
        double createdHeight, unsigned int controlPoints, unsigned int splineLevel, bool rounded,
        unsigned int texture) override;
    StickyNoteCreatorLeafGL* createStickyNoteCreator(double width, double height, double x,
                                                     double y, double z, double createdWidth,
                                                     double createdHeight,
                                                     unsigned int texture) override;
    StickyNoteLeafGL* createStickyNote(double width, double height, bool rnt, bool tossing,
                                       double x, double y, double z, double rotation) override;
    LensCreatorLeafGL* createLensCreator(double width, double height, double x, double y,
                                         double z, double createdWidth, double createdHeight,
                                         const char* dropoff, unsigned int texture, double a,
                                         double b, unsigned int n, double upX, double upY,
                                         const char* kind) override;
    SizeLensLeafGL* createSizeLens(double width, double height, bool rnt, double x, double y,
                                   double z, double rotation, const char* dropoff, double a,
                                   double b, unsigned int n) override;
    DirectionLensLeafGL* createDirectionLens(double width, double height, bool rnt, double x,
                                             double y, double z, double rotation,
                                             const char* dropoff, double a, double b,
                                             unsigned int n, unsigned int m) override;
    OrientationLensLeafGL* createOrientationLens(double width, double height, bool rnt,
                                                 bool tossing, double x, double y, double z,
                                                 double rotation, double upX, double upY,
                                                 unsigned int n, unsigned int kind) override;
    ControlSurfaceCompositeGL* createControlSurface(double a, double b, double c, double d,
                                                    double e, double f, double g) override;
    HockeySurfaceCompositeGL* createHockeySurface(double a, double b, double c, double d, double e,
                                                  double f, double g, double h) override;
    HockeyPaddleLeafGL* createHockeyPaddle(double size, bool rnt, bool tossing, double x, double y,
                                           double z) override;
    HockeyPuckLeafGL* createHockeyPuck(double size, double speed, double d, double directionX,
                                       double directionY, bool rnt, bool tossing, double x,
                                       double y, double z) override;
    // Prints the viewport limit, probes extensions (with hardware optimization on) and sets the
    // fixed-function defaults and texture format. Call once with the context current.
    void initializeRenderer() override;

    // --- slot 50 ---
    // The font stored under key, or null (with a warning).
    virtual FTTextureFont* getFont(const char* key);
    // --- slot 51 ---
    // A text label (LabelLeafGL), registered and dropped like the other items. font: a font key
    // ("arial32"); textColor RGB and backgroundColor RGBA, 0 … 1 (null: black on white);
    // padding in table pixels.
    virtual LabelLeafGL* createLabel(double textHeight, const char* font, const char* text,
                                     bool rnt, bool tossing, double x, double y, double z,
                                     const float* textColor, const float* backgroundColor,
                                     double padding);

    // The font key of a file and size: base name without extension, then the size.
    static std::string fontKey(const char* file, int size);
    // Entry point of the OpenGL binding by name, or null.
    static void* getProcAddress(const char* name);

protected:
    // One 1x1 picking render at (x, y) of the currently bound framebuffer into pixel (RGB);
    // a point off the screen leaves pixel as it is.
    template <class Draw> void pickPixel(int x, int y, unsigned char* pixel, Draw draw);
    void writeScreenshot();
    bool probeFramebufferObjects();

    // Texture table (parallel columns, one row per texture).
    std::vector<unsigned int> textureId;
    std::vector<unsigned int> textureHasAlpha;
    std::vector<unsigned int> textureMinX;
    std::vector<unsigned int> textureMaxX;
    std::vector<unsigned int> textureMinY;
    std::vector<unsigned int> textureMaxY;
    std::vector<unsigned int> textureSize;

    // Swap-control entry points of the GLX binding, null until found.
    void* swapIntervalEXT = nullptr;
    void* swapIntervalMESA = nullptr;
    void* getSwapIntervalMESA = nullptr;
    int requestedSwapInterval = 0;

    bool extensions[8] = {};

    // The GLX display, drawable and context current at construction (null without GLX).
    void* mainDisplay = nullptr;
    unsigned long mainDrawable = 0;
    void* mainContext = nullptr;

    std::map<std::string, FTTextureFont*> fonts;

    bool screenshotRequested = false;
    unsigned int screenshotCounter = 0;
};
