#define GL_GLEXT_PROTOTYPES 1

#include "TabletopVisGL.h"

#include "PBuffer.h"
#include "TextureImageLoader.h"
#include "TouchIndicatorGL.h"
#include "components/BoundedContainerGL.h"
#include "components/ComponentCreatorLeafGL.h"
#include "components/ComponentDestroyerCompositeGL.h"
#include "components/DocumentLeafGL.h"
#include "components/ImageLeafGL.h"
#include "components/LabelLeafGL.h"
#include "components/StickyBoardCompositeGL.h"
#include "components/StickyNoteLeafGL.h"
#include "components/ControlSurfaceCompositeGL.h"
#include "components/HockeyPaddleLeafGL.h"
#include "components/HockeyPuckLeafGL.h"
#include "components/HockeySurfaceCompositeGL.h"
#include "components/DirectionLensLeafGL.h"
#include "components/InterfaceCurrentCompositeGL.h"
#include "components/OrientationLensLeafGL.h"
#include "components/SizeLensLeafGL.h"
#include "components/StorageBinCompositeGL.h"
#include "core/VisComponent.h"

#include <FTGL/ftgl.h>
#include <IL/il.h>
#include <IL/ilu.h>

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>
#include <GL/glx.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

// Whole-token search in a blank-separated extension list (a plain substring search would
// take GL_ARB_texture_compression_bptc for GL_ARB_texture_compression).
bool hasToken(const char* list, const char* name)
{
    if (!list) return false;
    std::istringstream in(list);
    std::string token;
    while (in >> token)
        if (token == name) return true;
    return false;
}

void notFound(const char* name)
{
    std::cout << "OpenGL extension " << name
              << " which is necessary for some of the program was not found!" << std::endl;
}

using SwapIntervalEXTProc = void (*)(Display*, GLXDrawable, int);
using SwapIntervalMESAProc = int (*)(unsigned int);
using GetSwapIntervalMESAProc = int (*)();

// Fixed-function state a separate rendering context would keep for itself.
const GLenum kTargetEnables[7] = {GL_BLEND,        GL_DEPTH_TEST, GL_LINE_SMOOTH, GL_POINT_SMOOTH,
                                  GL_CULL_FACE,    GL_LIGHTING,   GL_TEXTURE_2D};

void identity(double* m)
{
    for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0 : 0.0;
}

// Makes a component for the controller and registers it: queued for dropping into what lies
// under it, or (drop false) activated at once.
template <class T, class... Args> T* registered(TabletopVisGL* vis, bool drop, Args&&... args)
{
    auto* c = new T(vis, std::forward<Args>(args)...);
    vis->addComponent(c, drop);
    return c;
}

} // namespace

TabletopVisGL::TabletopVisGL(unsigned int users, unsigned int bufferWidth_,
                             unsigned int bufferHeight_, unsigned int sw, unsigned int sh)
    : TabletopVis(users, bufferWidth_, bufferHeight_, sw, sh)
{
    for (unsigned int u = 0; u < users; ++u)
        touchIndicators[u] = new TouchIndicatorGL(100.0, 100.0, 1.0, u, 2.0, 20.0);
    mainDisplay = glXGetCurrentDisplay();
    mainDrawable = glXGetCurrentDrawable();
    mainContext = glXGetCurrentContext();
    ilInit();
    iluInit();
    // Image rows from the bottom up, as OpenGL textures and the table's boxes expect.
    ilEnable(IL_ORIGIN_SET);
    ilOriginFunc(IL_ORIGIN_LOWER_LEFT);
}

TabletopVisGL::~TabletopVisGL()
{
    for (TouchIndicator*& t : touchIndicators) {
        delete t;
        t = nullptr;
    }
    // Components may own GL objects and use fonts: they go while both still exist.
    removeAllComponents();
    for (unsigned int name : textureId) {
        GLuint n = name;
        glDeleteTextures(1, &n);
    }
    for (auto& entry : fonts) delete entry.second;
    fonts.clear();
}

// ---------------------------------------------------------------------------------------------
// Renderer set-up and extensions

void* TabletopVisGL::getProcAddress(const char* name)
{
    return reinterpret_cast<void*>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

void TabletopVisGL::initializeRenderer()
{
    GLint dims[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, dims);
    std::cout << "Maximum viewport dimensions:" << dims[0] << "x" << dims[1] << std::endl;

    if (isHardwareOptimization()) {
        const char* glExtensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
        Display* dpy = static_cast<Display*>(mainDisplay);
        const char* glxExtensions =
            dpy ? glXQueryExtensionsString(dpy, DefaultScreen(dpy)) : nullptr;

        // Swap control lives in the window-system binding.
        if (hasToken(glxExtensions, "GLX_EXT_swap_control"))
            swapIntervalEXT = getProcAddress("glXSwapIntervalEXT");
        if (hasToken(glxExtensions, "GLX_MESA_swap_control")) {
            swapIntervalMESA = getProcAddress("glXSwapIntervalMESA");
            getSwapIntervalMESA = getProcAddress("glXGetSwapIntervalMESA");
        }
        extensions[0] = swapIntervalEXT || (swapIntervalMESA && getSwapIntervalMESA);
        if (!extensions[0]) notFound("GLX_EXT_swap_control or GLX_MESA_swap_control");
        enableVSync(false);

        extensions[1] = hasToken(glExtensions, "GL_EXT_texture_compression_s3tc");
        if (!extensions[1]) notFound("GL_EXT_texture_compression_s3tc");
        extensions[2] = hasToken(glExtensions, "GL_ARB_texture_compression");
        if (!extensions[2]) notFound("GL_ARB_texture_compression");
        extensions[3] = hasToken(glExtensions, "GL_SGIS_generate_mipmap");
        if (!extensions[3]) notFound("GL_SGIS_generate_mipmap");

        if (!glxExtensions)
            std::cout << "OpenGL EXT extensions which are necessary for some of the program were "
                         "not found!"
                      << std::endl;

        // Framebuffer objects take the place of pixel formats, pbuffers and render-to-texture.
        const bool fbo = probeFramebufferObjects();
        extensions[4] = extensions[5] = extensions[6] = fbo;
        if (!fbo) notFound("GL_ARB_framebuffer_object");
    }

    glShadeModel(GL_FLAT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_POLYGON_SMOOTH);
    glDisable(GL_NORMALIZE);
    glDisable(GL_DITHER);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_LINE_SMOOTH);
    glHint(GL_LINE_SMOOTH_HINT, GL_FASTEST);
    glHint(GL_GENERATE_MIPMAP_HINT, GL_NICEST);
    glHint(GL_TEXTURE_COMPRESSION_HINT, GL_NICEST);
    determineTextureFormat();
    determineTextureParameters();
}

bool TabletopVisGL::probeFramebufferObjects()
{
    const char* glExtensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    const bool core30 = version && std::atoi(version) >= 3;
    if (!core30 && !hasToken(glExtensions, "GL_ARB_framebuffer_object")) return false;
    return getProcAddress("glGenFramebuffers") && getProcAddress("glBindFramebuffer") &&
           getProcAddress("glFramebufferTexture2D") &&
           getProcAddress("glCheckFramebufferStatus") && getProcAddress("glDeleteFramebuffers");
}

bool TabletopVisGL::hasHardwareExtension(unsigned int index)
{
    if (index < 8) return extensions[index];
    std::cout << "Error: this extension was not checked" << std::endl;
    return false;
}

void TabletopVisGL::enableVSync(bool on)
{
    if (!extensions[0]) return;
    requestedSwapInterval = on ? 1 : 0;
    if (swapIntervalEXT && mainDisplay && mainDrawable)
        reinterpret_cast<SwapIntervalEXTProc>(swapIntervalEXT)(
            static_cast<Display*>(mainDisplay), mainDrawable, requestedSwapInterval);
    else if (swapIntervalMESA)
        reinterpret_cast<SwapIntervalMESAProc>(swapIntervalMESA)(requestedSwapInterval);
}

bool TabletopVisGL::isVSyncing()
{
    if (!extensions[0]) return true;
    if (getSwapIntervalMESA) return reinterpret_cast<GetSwapIntervalMESAProc>(getSwapIntervalMESA)() > 0;
    if (mainDisplay && mainDrawable) {
        unsigned int interval = 0;
        glXQueryDrawable(static_cast<Display*>(mainDisplay), mainDrawable, GLX_SWAP_INTERVAL_EXT,
                         &interval);
        return interval > 0;
    }
    return requestedSwapInterval > 0;
}

void TabletopVisGL::wglGetLastError()
{
    for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError())
        std::cerr << "OpenGL Error:  " << reinterpret_cast<const char*>(gluErrorString(e))
                  << std::endl;
}

// ---------------------------------------------------------------------------------------------
// Off-screen targets

void TabletopVisGL::init_pbuffer(void* record, int width, int height)
{
    if (!record) return;
    auto* pb = static_cast<PBuffer*>(record);
    *pb = PBuffer();
    if (width <= 0 || height <= 0) {
        std::cerr << "pbuffer creation error:  invalid size " << width << "x" << height
                  << std::endl;
        return;
    }
    if (!probeFramebufferObjects()) {
        std::cerr << "pbuffer creation error:  framebuffer objects are not supported"
                  << std::endl;
        return;
    }
    GLint previousTexture = 0;
    GLint previousDraw = 0;
    GLint previousRead = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previousTexture);
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &previousDraw);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previousRead);

    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);

    GLuint fbo = 0;
    glGenFramebuffers(1, &fbo);
    if (!fbo) std::cerr << "pbuffer creation error:  glGenFramebuffers() failed" << std::endl;
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    GLuint depth = 0;
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status != GL_FRAMEBUFFER_COMPLETE)
        std::cerr << "pbuffer creation error:  glCheckFramebufferStatus() failed" << std::endl;

    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, previousDraw);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, previousRead);
    glBindTexture(GL_TEXTURE_2D, previousTexture);

    if (!fbo || status != GL_FRAMEBUFFER_COMPLETE) {
        if (fbo) glDeleteFramebuffers(1, &fbo);
        glDeleteRenderbuffers(1, &depth);
        glDeleteTextures(1, &texture);
        return;
    }
    pb->handle = fbo;
    pb->texture = texture;
    pb->depth = depth;
    pb->width = static_cast<uint32_t>(width);
    pb->height = static_cast<uint32_t>(height);
}

void TabletopVisGL::activatePBuffer(void* record)
{
    auto* pb = static_cast<PBuffer*>(record);
    if (!pb || !pb->handle || pb->active) return;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &pb->previousDrawFramebuffer);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &pb->previousReadFramebuffer);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &pb->targetTexture);
    glGetIntegerv(GL_MATRIX_MODE, &pb->previousMatrixMode);
    glGetDoublev(GL_PROJECTION_MATRIX, pb->previousProjection);
    glGetDoublev(GL_MODELVIEW_MATRIX, pb->previousModelview);
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_VIEWPORT_BIT |
                 GL_LINE_BIT | GL_POINT_BIT | GL_HINT_BIT | GL_CURRENT_BIT | GL_TEXTURE_BIT |
                 GL_POLYGON_BIT | GL_SCISSOR_BIT | GL_LIGHTING_BIT);

    glBindFramebuffer(GL_FRAMEBUFFER, pb->handle);
    glViewport(0, 0, static_cast<GLsizei>(pb->width), static_cast<GLsizei>(pb->height));
    glDisable(GL_SCISSOR_TEST);
    if (!pb->stateSaved) {
        // A fresh target starts as a fresh context would.
        identity(pb->projection);
        identity(pb->modelview);
        pb->blendSrc = GL_ONE;
        pb->blendDst = GL_ZERO;
        pb->depthFunc = GL_LESS;
        for (bool& e : pb->enables) e = false;
        for (float& c : pb->clearColor) c = 0.0f;
    }
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixd(pb->projection);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(pb->modelview);
    for (int i = 0; i < 7; ++i) {
        if (pb->enables[i])
            glEnable(kTargetEnables[i]);
        else
            glDisable(kTargetEnables[i]);
    }
    glBlendFunc(pb->blendSrc, pb->blendDst);
    glDepthFunc(pb->depthFunc);
    glClearColor(pb->clearColor[0], pb->clearColor[1], pb->clearColor[2], pb->clearColor[3]);
    pb->active = true;
}

void TabletopVisGL::deactivatePBuffer(void* record)
{
    auto* pb = static_cast<PBuffer*>(record);
    if (!pb || !pb->handle || !pb->active) return;
    glFinish();

    glGetDoublev(GL_PROJECTION_MATRIX, pb->projection);
    glGetDoublev(GL_MODELVIEW_MATRIX, pb->modelview);
    for (int i = 0; i < 7; ++i) pb->enables[i] = glIsEnabled(kTargetEnables[i]) == GL_TRUE;
    glGetIntegerv(GL_BLEND_SRC, &pb->blendSrc);
    glGetIntegerv(GL_BLEND_DST, &pb->blendDst);
    glGetIntegerv(GL_DEPTH_FUNC, &pb->depthFunc);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, pb->clearColor);
    pb->stateSaved = true;

    // The texture bound at activation now shows what was drawn.
    const GLuint target = static_cast<GLuint>(pb->targetTexture);
    if (target != 0 && target != pb->texture) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, pb->handle);
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        glBindTexture(GL_TEXTURE_2D, target);
        glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 0, 0, static_cast<GLsizei>(pb->width),
                         static_cast<GLsizei>(pb->height), 0);
    }

    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(pb->previousDrawFramebuffer));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(pb->previousReadFramebuffer));
    glPopAttrib();
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixd(pb->previousProjection);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(pb->previousModelview);
    glMatrixMode(static_cast<GLenum>(pb->previousMatrixMode));
    pb->active = false;
}

void TabletopVisGL::shutdown_pbuffer(void* record)
{
    auto* pb = static_cast<PBuffer*>(record);
    if (!pb || !pb->handle) return;
    if (pb->active) deactivatePBuffer(pb);
    GLuint fbo = pb->handle;
    GLuint texture = pb->texture;
    GLuint depth = pb->depth;
    glDeleteFramebuffers(1, &fbo);
    glDeleteRenderbuffers(1, &depth);
    glDeleteTextures(1, &texture);
    pb->handle = 0;
    pb->texture = 0;
    pb->depth = 0;
}

// ---------------------------------------------------------------------------------------------
// Textures

void TabletopVisGL::determineTextureFormat()
{
    if (!isTextureCompression()) {
        texFormatWithAlpha = GL_RGBA;
        texFormatWithoutAlpha = GL_RGB;
    } else if (!isARBTextureCompression()) {
        if (extensions[1]) {
            texFormatWithAlpha = GL_COMPRESSED_RGBA_S3TC_DXT1_EXT;
            texFormatWithoutAlpha = GL_COMPRESSED_RGB_S3TC_DXT1_EXT;
        } else {
            std::cout << "GL_EXT_texture_compression_s3tc extension was not found. Using regular "
                         "texture compression instead."
                      << std::endl;
            texFormatWithAlpha = GL_COMPRESSED_RGB_ARB;
            enableTextureCompression(false);
        }
    } else {
        texFormatWithAlpha = GL_COMPRESSED_RGBA_ARB;
        texFormatWithoutAlpha = GL_COMPRESSED_RGB_ARB;
        if (!extensions[2]) {
            std::cout << "GL_ARB_texture_compression extension was not found. Using regular "
                         "texture compression instead."
                      << std::endl;
            enableARBTextureCompression(false);
        }
    }
}

void TabletopVisGL::determineTextureParameters()
{
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    GLint minFilter = GL_NEAREST;
    GLint magFilter = GL_NEAREST;
    if (isMipMapping()) {
        minFilter = isLinearFiltering() ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
        magFilter = isLinearFiltering() ? GL_LINEAR : GL_NEAREST;
    } else if (isLinearFiltering()) {
        minFilter = magFilter = GL_LINEAR;
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
}

unsigned int TabletopVisGL::loadTexture(const char* file, bool addToTable)
{
    determineTextureFormat();
    // The parameters go to the bound texture: not to one a caller left bound (a font's glyphs).
    glBindTexture(GL_TEXTURE_2D, 0);
    determineTextureParameters();

    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    std::string refusal;
    const TextureImageLoader::Result loaded =
        TextureImageLoader::loadFileIntoBoundImage(file, &refusal);
    if (loaded != TextureImageLoader::Result::Loaded) {
        if (loaded == TextureImageLoader::Result::Refused)
            std::cout << "Texture image " << file << " refused: " << refusal << std::endl;
        std::cout << "Unable to load texture image" << (file ? file : "") << std::endl;
        ilDeleteImages(1, &image);
        return kTextureLoadFailed;
    }

    GLuint name = 0;
    glGenTextures(1, &name);
    if (addToTable) textureId.push_back(name);
    glBindTexture(GL_TEXTURE_2D, name);
    // The parameters belong to the texture object: give them to the new one.
    determineTextureParameters();

    GLenum format = GL_RGB;
    bool alpha = false;
    switch (ilGetInteger(IL_IMAGE_FORMAT)) {
    case IL_RGBA: format = GL_RGBA; alpha = true; break;
    case IL_RGB: format = GL_RGB; break;
    case IL_LUMINANCE: format = GL_LUMINANCE; break;
    case IL_LUMINANCE_ALPHA: format = GL_LUMINANCE_ALPHA; alpha = true; break;
    case IL_COLOUR_INDEX: format = GL_COLOR_INDEX; break;
    default:
        std::cout << "Unknown/unsupported image bit format. Trying RGB. Might crash here."
                  << std::endl;
        // Converted, so that the data really is what the upload reads.
        ilConvertImage(IL_RGB, IL_UNSIGNED_BYTE);
        break;
    }
    // One byte per channel, as uploaded below.
    if (ilGetInteger(IL_IMAGE_TYPE) != IL_UNSIGNED_BYTE)
        ilConvertImage(ilGetInteger(IL_IMAGE_FORMAT), IL_UNSIGNED_BYTE);

    const ILint width = ilGetInteger(IL_IMAGE_WIDTH);
    const ILint height = ilGetInteger(IL_IMAGE_HEIGHT);
    if (addToTable) {
        textureSize.push_back(static_cast<unsigned int>(width));
        if (alpha) {
            textureHasAlpha.push_back(1);
            const ILint channels = ilGetInteger(IL_IMAGE_BYTES_PER_PIXEL);
            std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * channels);
            if (!ilCopyPixels(0, 0, 0, width, height, 1, ilGetInteger(IL_IMAGE_FORMAT),
                              IL_UNSIGNED_BYTE, pixels.data()))
                std::cout << "ilCopyPixels() returned IL_FALSE" << std::endl;
            bool any = false;
            unsigned int minX = 0, maxX = 0, minY = 0, maxY = 0;
            for (ILint y = 0; y < height; ++y) {
                for (ILint x = 0; x < width; ++x) {
                    if (pixels[(static_cast<size_t>(y) * width + x) * channels + channels - 1] == 0)
                        continue;
                    if (!any) {
                        minX = maxX = static_cast<unsigned int>(x);
                        minY = static_cast<unsigned int>(y);
                        any = true;
                    }
                    if (static_cast<unsigned int>(x) < minX) minX = x;
                    if (static_cast<unsigned int>(x) > maxX) maxX = x;
                    maxY = static_cast<unsigned int>(y);
                }
            }
            textureMinX.push_back(minX);
            textureMaxX.push_back(maxX);
            textureMinY.push_back(minY);
            textureMaxY.push_back(maxY);
        } else {
            textureHasAlpha.push_back(0);
            textureMinX.push_back(0);
            textureMaxX.push_back(static_cast<unsigned int>(width));
            textureMinY.push_back(0);
            textureMaxY.push_back(static_cast<unsigned int>(height));
        }
    }

    // DevIL rows are tightly packed; alignment 4 would skew odd widths.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (isMipMapping())
        gluBuild2DMipmaps(GL_TEXTURE_2D, alpha ? 4 : 3, width, height, format, GL_UNSIGNED_BYTE,
                          ilGetData());
    else
        glTexImage2D(GL_TEXTURE_2D, 0,
                     static_cast<GLint>(alpha ? texFormatWithAlpha : texFormatWithoutAlpha), width,
                     height, 0, format, GL_UNSIGNED_BYTE, ilGetData());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);

    ilDeleteImages(1, &image);
    return name;
}

unsigned int TabletopVisGL::addTexture(unsigned int id, unsigned int size, unsigned int minX,
                                       unsigned int maxX, unsigned int minY, unsigned int maxY)
{
    textureId.push_back(id);
    // Rows made elsewhere count as opaque; keeps the columns aligned for later loads.
    textureHasAlpha.push_back(0);
    textureSize.push_back(size);
    textureMinX.push_back(minX);
    textureMaxX.push_back(maxX);
    textureMinY.push_back(minY);
    textureMaxY.push_back(maxY);
    return static_cast<unsigned int>(textureId.size() - 1);
}

unsigned int TabletopVisGL::getNumberOfImageTextures()
{
    return static_cast<unsigned int>(textureId.size());
}
unsigned int TabletopVisGL::getImageTextureIDAt(unsigned int i) { return textureId[i]; }
unsigned int TabletopVisGL::getTextureHasAlphaAt(unsigned int i) { return textureHasAlpha[i]; }
unsigned int TabletopVisGL::getTextureMinXAt(unsigned int i) { return textureMinX[i]; }
unsigned int TabletopVisGL::getTextureMaxXAt(unsigned int i) { return textureMaxX[i]; }
unsigned int TabletopVisGL::getTextureMinYAt(unsigned int i) { return textureMinY[i]; }
unsigned int TabletopVisGL::getTextureMaxYAt(unsigned int i) { return textureMaxY[i]; }
unsigned int TabletopVisGL::getTextureSizeAt(unsigned int i) { return textureSize[i]; }

// ---------------------------------------------------------------------------------------------
// Fonts

std::string TabletopVisGL::fontKey(const char* file, int size)
{
    std::string name(file ? file : "");
    const size_t slash = name.rfind('/');
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name + std::to_string(size);
}

bool TabletopVisGL::loadFont(const char* file, int size)
{
    if (!file) return false;
    const std::string key = fontKey(file, size);
    std::string path(file);
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) path += ".ttf";

    std::cout << "Font" << file << " will be stored in memory as" << key << std::endl;
    if (fonts.count(key)) return true;

    auto* font = new FTTextureFont(path.c_str());
    std::cout << "VeskTabletop Framework: Reading font from" << path << std::endl;
    if (font->Error()) {
        std::fprintf(stderr, "Failed to open font %s: error code: %d \n", path.c_str(),
                     static_cast<int>(font->Error()));
        delete font;
        return false;
    }
    if (size <= 0 || !font->FaceSize(static_cast<unsigned int>(size), 72)) {
        std::cerr << "ERROR: Unable to set font face size" << size << std::endl;
        delete font;
        return false;
    }
    font->UseDisplayList(false);
    fonts[key] = font;
    return true;
}

FTTextureFont* TabletopVisGL::getFont(const char* key)
{
    auto it = fonts.find(key ? key : "");
    if (it != fonts.end()) return it->second;
    std::cout << "WARNING: Font" << (key ? key : "") << " not found" << std::endl;
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Factories of stock components

ImageLeafGL* TabletopVisGL::createImage(double width, double height, bool rnt, bool tossing,
                                        double x, double y, double z, double rotation,
                                        unsigned int texture, bool drop)
{
    return registered<ImageLeafGL>(this, drop, width, height, rnt, tossing, x, y, z, rotation,
                                   texture);
}
DocumentLeafGL* TabletopVisGL::createDocument(double size, bool rnt, bool tossing, double x,
                                              double y, double z, double rotation,
                                              const char* file, bool drop)
{
    return registered<DocumentLeafGL>(this, drop, size, rnt, tossing, x, y, z, rotation, file);
}
BoundedContainerGL* TabletopVisGL::createContainer(double width, double height, bool rnt,
                                                   bool tossing, double x, double y, double z,
                                                   unsigned int controlPoints,
                                                   unsigned int splineLevel,
                                                   bool hasInsideBoundary, bool rounded)
{
    return registered<BoundedContainerGL>(this, true, width, height, rnt, tossing, x, y, z,
                                          controlPoints, splineLevel, hasInsideBoundary, rounded);
}
StorageBinCompositeGL* TabletopVisGL::createStorageBin(double width, double height, bool rnt,
                                                       bool tossing, double x, double y, double z,
                                                       unsigned int controlPoints,
                                                       unsigned int splineLevel,
                                                       bool hasInsideBoundary, bool rounded)
{
    return registered<StorageBinCompositeGL>(this, true, width, height, rnt, tossing, x, y, z,
                                             controlPoints, splineLevel, hasInsideBoundary,
                                             rounded);
}
InterfaceCurrentCompositeGL* TabletopVisGL::createInterfaceCurrent(
    double width, double height, bool rnt, bool tossing, double x, double y, double z,
    unsigned int controlPoints, unsigned int splineLevel, bool belt, bool rounded)
{
    return registered<InterfaceCurrentCompositeGL>(this, true, width, height, rnt, tossing, x, y, z,
                                                   controlPoints, splineLevel, belt, rounded);
}
StickyBoardCompositeGL* TabletopVisGL::createStickyBoard(double width, double height, bool rnt,
                                                         bool tossing, double x, double y,
                                                         double z)
{
    return registered<StickyBoardCompositeGL>(this, true, width, height, rnt, tossing, x, y, z);
}
ComponentDestroyerCompositeGL* TabletopVisGL::createDestroyer(double width, double height,
                                                              bool rnt, bool tossing, double x,
                                                              double y, double z,
                                                              unsigned int texture)
{
    return registered<ComponentDestroyerCompositeGL>(this, true, width, height, rnt, tossing, x, y,
                                                     z, texture);
}
StorageBinCreatorLeafGL* TabletopVisGL::createStorageBinCreator(
    double width, double height, double x, double y, double z, double createdWidth,
    double createdHeight, unsigned int controlPoints, unsigned int splineLevel, bool rounded,
    unsigned int texture)
{
    return registered<StorageBinCreatorLeafGL>(this, true, width, height, x, y, z, createdWidth,
                                               createdHeight, controlPoints, splineLevel, rounded,
                                               texture);
}
StickyBoardCreatorLeafGL* TabletopVisGL::createStickyBoardCreator(double width, double height,
                                                                  double x, double y, double z,
                                                                  double createdWidth,
                                                                  double createdHeight,
                                                                  unsigned int texture)
{
    return registered<StickyBoardCreatorLeafGL>(this, true, width, height, x, y, z, createdWidth,
                                                createdHeight, texture);
}
PoolInterfaceCurrentCreatorLeafGL* TabletopVisGL::createPoolInterfaceCurrentCreator(
    double width, double height, double x, double y, double z, double createdWidth,
    double createdHeight, unsigned int controlPoints, unsigned int splineLevel, bool rounded,
    unsigned int texture)
{
    return registered<PoolInterfaceCurrentCreatorLeafGL>(this, true, width, height, x, y, z,
                                                         createdWidth, createdHeight, controlPoints,
                                                         splineLevel, rounded, texture);
}
BeltInterfaceCurrentCreatorLeafGL* TabletopVisGL::createBeltInterfaceCurrentCreator(
    double width, double height, double x, double y, double z, double createdWidth,
    double createdHeight, unsigned int controlPoints, unsigned int splineLevel, bool rounded,
    unsigned int texture)
{
    return registered<BeltInterfaceCurrentCreatorLeafGL>(this, true, width, height, x, y, z,
                                                         createdWidth, createdHeight, controlPoints,
                                                         splineLevel, rounded, texture);
}
StickyNoteCreatorLeafGL* TabletopVisGL::createStickyNoteCreator(double width, double height,
                                                                double x, double y, double z,
                                                                double createdWidth,
                                                                double createdHeight,
                                                                unsigned int texture)
{
    return registered<StickyNoteCreatorLeafGL>(this, true, width, height, x, y, z, createdWidth,
                                               createdHeight, texture);
}
StickyNoteLeafGL* TabletopVisGL::createStickyNote(double width, double height, bool rnt,
                                                  bool tossing, double x, double y, double z,
                                                  double rotation)
{
    return registered<StickyNoteLeafGL>(this, true, width, height, rnt, tossing, x, y, z, rotation);
}
LabelLeafGL* TabletopVisGL::createLabel(double textHeight, const char* font, const char* text,
                                        bool rnt, bool tossing, double x, double y, double z,
                                        const float* textColor, const float* backgroundColor,
                                        double padding)
{
    static const float black[3] = {0.0f, 0.0f, 0.0f};
    static const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const float* t = textColor ? textColor : black;
    const float* b = backgroundColor ? backgroundColor : white;
    return registered<LabelLeafGL>(this, true, textHeight, font, text, rnt, tossing, x, y, z, t[0],
                                   t[1], t[2], b[0], b[1], b[2], b[3], padding);
}
LensCreatorLeafGL* TabletopVisGL::createLensCreator(double width, double height, double x,
                                                    double y, double z, double createdWidth,
                                                    double createdHeight, const char* dropoff,
                                                    unsigned int texture, double a, double b,
                                                    unsigned int n, double upX, double upY,
                                                    const char* kind)
{
    return registered<LensCreatorLeafGL>(this, true, width, height, x, y, z, createdWidth,
                                         createdHeight, dropoff, texture, a, b, n, upX, upY, kind);
}
SizeLensLeafGL* TabletopVisGL::createSizeLens(double width, double height, bool tossing,
                                              double x, double y, double z, double spare,
                                              const char* dropoff, double strength,
                                              double magnification, unsigned int visible)
{
    auto* lens = registered<SizeLensLeafGL>(this, true, width, height, tossing, x, y, z, spare,
                                            dropoff, strength, magnification, visible);
    // On top of what it magnifies, where a touch finds it.
    moveComponentToRenderFront(lens);
    return lens;
}
DirectionLensLeafGL* TabletopVisGL::createDirectionLens(double width, double height, bool tossing,
                                                        double x, double y, double z,
                                                        double spare, const char* dropoff,
                                                        double strength, double magnification,
                                                        unsigned int directionMode,
                                                        unsigned int visible)
{
    auto* lens =
        registered<DirectionLensLeafGL>(this, true, width, height, tossing, x, y, z, spare, dropoff,
                                        strength, magnification, directionMode, visible);
    // Right above the table surface at the back: the control surface, or a painting canvas.
    placeLensAboveControlSurface<SurfaceCompositeGL>(lens);
    return lens;
}
OrientationLensLeafGL* TabletopVisGL::createOrientationLens(double width, double height, bool rnt,
                                                            bool tossing, double x, double y,
                                                            double z, double spare, double upX,
                                                            double upY, unsigned int visible,
                                                            unsigned int kind)
{
    auto* lens = registered<OrientationLensLeafGL>(this, true, width, height, rnt, tossing, x, y, z,
                                                   spare, upX, upY, visible, kind);
    placeLensAboveControlSurface<SurfaceCompositeGL>(lens);
    return lens;
}
ControlSurfaceCompositeGL* TabletopVisGL::createControlSurface(double a, double b, double c,
                                                               double d, double e, double f,
                                                               double g)
{
    // Screen size (a, b) plus the overflow g; centre (c, d), depth e, border size f.
    return registered<ControlSurfaceCompositeGL>(this, true, static_cast<unsigned int>(g + a),
                                                 static_cast<unsigned int>(b + g), c, d, e, f, g);
}
HockeySurfaceCompositeGL* TabletopVisGL::createHockeySurface(double width, double height,
                                                             double x, double y, double z,
                                                             double border, double overflow,
                                                             double friction)
{
    return registered<HockeySurfaceCompositeGL>(
        this, true, static_cast<unsigned int>(width + overflow),
        static_cast<unsigned int>(height + overflow), x, y, z, border, overflow, friction);
}
// Paddles and pucks go to the front of the render order: drawn over the rink, and picked
// before its full-screen picking area.
HockeyPaddleLeafGL* TabletopVisGL::createHockeyPaddle(double size, bool rnt, bool tossing,
                                                      double x, double y, double z)
{
    auto* paddle = registered<HockeyPaddleLeafGL>(this, true, size, rnt, tossing, x, y, z);
    if (getComponent(paddle->getId()) == paddle) moveComponentToRenderFront(paddle);
    return paddle;
}
HockeyPuckLeafGL* TabletopVisGL::createHockeyPuck(double size, double speed, double d,
                                                  double directionX, double directionY, bool rnt,
                                                  bool tossing, double x, double y, double z)
{
    auto* puck = registered<HockeyPuckLeafGL>(this, true, size, speed, d, directionX, directionY,
                                              rnt, tossing, x, y, z);
    if (getComponent(puck->getId()) == puck) moveComponentToRenderFront(puck);
    return puck;
}

// ---------------------------------------------------------------------------------------------
// The frame

template <class Draw>
void TabletopVisGL::pickPixel(int x, int y, unsigned char* pixel, Draw draw)
{
    // Pixels off the screen read back undefined values: nothing lies there.
    if (x < 0 || y < 0 || x >= static_cast<int>(screenWidth) || y >= static_cast<int>(screenHeight))
        return;
    glScissor(x, y, 1, 1);
    draw();
    glFinish();
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, pixel);
    // The id colour must not show through a translucent component in the visible frame.
    glClear(GL_COLOR_BUFFER_BIT);
}

double TabletopVisGL::render(unsigned int users, double referenceRate)
{
    if (users > numberOfUsers) users = numberOfUsers;
    glClear(GL_COLOR_BUFFER_BIT);
    glPushAttrib(GL_SCISSOR_BIT | GL_COLOR_BUFFER_BIT | GL_ENABLE_BIT | GL_CURRENT_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glEnable(GL_SCISSOR_TEST);
    // Id colours must arrive unchanged.
    glDisable(GL_BLEND);
    glDisable(GL_DITHER);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_POINT_SMOOTH);
    glDisable(GL_POLYGON_SMOOTH);

    for (unsigned int u = 0; u < users; ++u) {
        resetActiveComponent(u);
        const bool tap = checkTapForUser(u);
        if (checkDoDrawingForUser(u) || tap) {
            unsigned char pixel[3] = {0, 0, 0};
            if (isPicking[u])
                pickPixel(static_cast<int>(posXToPaint[u]), static_cast<int>(posYToPaint[u]),
                          pixel, [this] { renderAllComponentsForPicking(); });
            processSingleComponent(u, pixel);
            // The tap is over already: its component is released below, in this frame.
            if (tap) resetActiveComponent(u);
        }
        if (checkWasDroppedByUser(u)) processDroppedComponent(u);
        moveTouchIndicator(u);
        resizeTouchIndicator(u);
    }

    for (unsigned long n = deletingListSize(); n > 0; --n)
        deleteComponent(getElementFromDeletingListAndDeleteIt());

    for (unsigned long n = droppingListSize(); n > 0; --n) {
        VisComponent* c = getElementFromDroppingListAndDeleteIt();
        if (!c) break;
        const double x = c->getPointerXPos();
        const double y = c->getPointerYPos();
        unsigned char pixel[3] = {0, 0, 0};
        pickPixel(static_cast<int>(x), static_cast<int>(y), pixel,
                  [this, c] { renderCompositesOnlyForPicking(c); });
        c->activate();
        c->processDropping(pixel, x, y);
    }

    glPopClientAttrib();
    glPopAttrib();

    const double step = computeTimeStep(getCurrentFPS(), referenceRate);
    if (isPickingRendering())
        renderAllComponentsForPicking();
    else if (isAnimating())
        renderAllComponentsWithAnimation(step);
    else
        renderAllComponents();

    const double fps = getCurrentFPS();
    renderTouchIndicators();
    if (screenshotRequested) writeScreenshot();
    return fps;
}

void TabletopVisGL::saveScreenshot()
{
    screenshotRequested = true;
}

void TabletopVisGL::writeScreenshot()
{
    GLint readBuffer = GL_BACK;
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    GLint readFramebuffer = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
    GLboolean doubleBuffered = GL_FALSE;
    glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
    // A framebuffer object is read through its own colour buffer; a window from its back buffer.
    if (readFramebuffer == 0 && doubleBuffered) glReadBuffer(GL_BACK);

    const unsigned int w = screenWidth;
    const unsigned int h = screenHeight;
    std::vector<unsigned char> pixels(static_cast<size_t>(w) * h * 3);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, static_cast<GLsizei>(w), static_cast<GLsizei>(h), GL_RGB, GL_UNSIGNED_BYTE,
                 pixels.data());
    glPopClientAttrib();

    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    ilTexImage(w, h, 1, 3, IL_RGB, IL_UNSIGNED_BYTE, pixels.data());
    ilRegisterOrigin(IL_ORIGIN_LOWER_LEFT);
    ilEnable(IL_FILE_OVERWRITE);
    const std::string name = "screenshot" + std::to_string(screenshotCounter) + ".bmp";
    ilSaveImage(name.c_str());

    if (readFramebuffer == 0 && doubleBuffered) glReadBuffer(static_cast<GLenum>(readBuffer));
    ++screenshotCounter;
    ilDeleteImages(1, &image);
    screenshotRequested = false;
}
