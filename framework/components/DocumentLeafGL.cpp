#include "DocumentLeafGL.h"

#include "core/BufferTemplate.h"
#include "vis/TabletopVisGL.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <iostream>

using tavlor::DocumentEvent;
using tavlor::GhostscriptWorker;

DocumentLeafGL::DocumentLeafGL(TabletopVisGL* vis, double size, bool rnt, bool tossing, double x,
                               double y, double z, double rotation, const char* file)
    : ImageLeafGL(vis, size, size, rnt, tossing, x, y, z, rotation, 0),
      fileName(file ? file : ""),
      session(std::make_shared<tavlor::DocumentSession>(fileName))
{
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    pageTexture = texture;
    setTextureID(pageTexture);
    glBindTexture(GL_TEXTURE_2D, pageTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    recreateActiveBuffers(); // the page strips join the image's mask

    GhostscriptWorker& worker = GhostscriptWorker::instance();
    worker.checkLibrary();
    worker.countPages(session);
    currentPage = 1;
    renderPage(1);
}

DocumentLeafGL::~DocumentLeafGL()
{
    session->cancel();
    if (pageTexture) {
        GLuint texture = pageTexture;
        glDeleteTextures(1, &texture);
    }
}

void DocumentLeafGL::renderPage(unsigned int page)
{
    if (rendering) return;
    rendering = true;
    std::cout << "Rendering page " << page << " from " << fileName << std::endl;
    GhostscriptWorker::instance().renderPage(session, page);
}

void DocumentLeafGL::nextPage()
{
    if (!rendering && pageCount > 0 && currentPage < pageCount) {
        ++currentPage;
        renderPage(currentPage);
    }
}

void DocumentLeafGL::previousPage()
{
    if (!rendering && pageCount > 0 && currentPage >= 2) {
        --currentPage;
        renderPage(currentPage);
    }
}

void DocumentLeafGL::goToPage(unsigned int page)
{
    if (rendering || page < 1 || page > pageCount) return;
    currentPage = page;
    renderPage(page);
}

void DocumentLeafGL::setCurrentPageSize(double width, double height)
{
    currentPageWidth = width;
    currentPageHeight = height;
}

void DocumentLeafGL::collectResults()
{
    for (DocumentEvent& event : session->takeEvents()) {
        for (const std::string& line : event.messages) std::cout << line << std::endl;
        if (event.type == DocumentEvent::Counted) {
            setPageCount(event.pageCount);
        } else if (event.image.page == currentPage) {
            waitingPage = std::move(event.image);
            pageReady = true;
        }
    }
}

void DocumentLeafGL::updateTextureImage()
{
    if (!pageReady) return;
    TabletopVis* vis = getController();
    if (vis) vis->pushTimeState();
    const GLsizei edge = static_cast<GLsizei>(waitingPage.edge);
    if (edge > 0 && waitingPage.rgb.size() == static_cast<size_t>(edge) * edge * 3) {
        GLint bound = 0;
        GLint alignment = 4;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glBindTexture(GL_TEXTURE_2D, pageTexture);
        if (vis && vis->isMipMapping()) {
            gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB, edge, edge, GL_RGB, GL_UNSIGNED_BYTE,
                              waitingPage.rgb.data());
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        } else {
            // The controller's format once its renderer is initialised, plain RGB before that.
            const unsigned int chosen = vis ? vis->getTexFormatWithoutAlpha() : 0;
            const GLint format = chosen ? static_cast<GLint>(chosen) : GLint(GL_RGB);
            glTexImage2D(GL_TEXTURE_2D, 0, format, edge, edge, 0, GL_RGB, GL_UNSIGNED_BYTE,
                         waitingPage.rgb.data());
            // One level only: a mipmapping filter would leave the texture incomplete.
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        }
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
        glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    }
    // Keep the height, take the page's aspect ratio (a page of unknown size keeps the shape).
    const tavlor::PageSize size = waitingPage.size;
    if (size.width > 0 && size.height > 0) {
        setCurrentPageSize(size.width, size.height);
        const double height = getHeight();
        const double width = height / size.height * size.width;
        setUnscaledSize(width, height);
        setSize(width, height);
        recreateActiveBuffers();
    }
    waitingPage = tavlor::DocumentPageImage();
    pageReady = false;
    rendering = false;
    noPageYet = false;
    if (vis) vis->popTimeState();
}

void DocumentLeafGL::specificRender()
{
    collectResults();
    if (pageReady) updateTextureImage();
    if (!noPageYet) ImageLeafGL::specificRender();
    if (rendering) renderBusyQuad();
}

void DocumentLeafGL::renderBusyQuad()
{
    // doCommonTransformations scales to the displayed size: draw in unscaled units.
    const double hw = getHalfWidth() / getXScale() * kPictureShare;
    const double hh = getHalfHeight() / getYScale() * kPictureShare;
    glPushMatrix();
    doCommonTransformations();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0.25f, 0.25f, 0.3f, 0.45f);
    glBegin(GL_QUADS);
    glVertex2d(-hw, -hh);
    glVertex2d(hw, -hh);
    glVertex2d(hw, hh);
    glVertex2d(-hw, hh);
    glEnd();
    glDisable(GL_BLEND);
    glPopMatrix();
}

void DocumentLeafGL::renderInActiveBuffers()
{
    ImageLeafGL::renderInActiveBuffers();
    BufferTemplate<int>* mask = getActiveBufferAs<int>(LOCAL_HIT_BUFFER);
    if (!mask) return;
    const int w = static_cast<int>(mask->getWidth());
    const int h = static_cast<int>(mask->getHeight());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (const int code = tavlor::pageStripCode(x, y, w, h))
                mask->setValue(static_cast<unsigned int>(x), static_cast<unsigned int>(y), code);
}

unsigned int DocumentLeafGL::releaseLocalBuffer(unsigned int x, unsigned int y,
                                                unsigned int boundWidth, unsigned int boundHeight)
{
    const unsigned int code = ImageLeafGL::releaseLocalBuffer(x, y, boundWidth, boundHeight);
    if (code == tavlor::kPreviousPageCode)
        previousPage();
    else if (code == tavlor::kNextPageCode)
        nextPage();
    return code;
}
