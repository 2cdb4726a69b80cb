#pragma once
// DocumentLeafGL: a PDF or PostScript document on the table, shown one page at a time. It is an
// image whose texture is its own: the current page, rendered to 1024 × 1024 pixels by the
// Ghostscript worker (GhostscriptWorker) off the GUI thread and uploaded here, in the frame after
// it arrives (updateTextureImage). The document keeps its height and takes the page's aspect
// ratio. Taps on the strips at half height turn pages (code 123 left: previous, 124 right: next).
//
// Page states, as the flags show them: waiting for the first page (rendering, noPageYet: only the
// busy quad shows), ready (pageReady: the next frame uploads), showing (no flag), rendering
// another page (rendering: the old page under the busy quad). Page turns are refused while a page
// renders. A file that cannot be shown shows an empty (white) page after a message naming it.
//
// Coordinates and context: as ImageLeafGL; everything here runs on the GUI thread with the
// context current. Ownership: the page texture is the document's; the worker's results reach it
// through a shared session that the destructor cancels, so a page still rendering is dropped.

#include "GhostscriptWorker.h"
#include "ImageLeafGL.h"

#include <memory>
#include <string>

class DocumentLeafGL : public ImageLeafGL {
public:
    // size: the edge of the square the document starts as (table pixels); rotation in degrees.
    // The file name is copied.
    DocumentLeafGL(TabletopVisGL* vis, double size, bool rnt, bool tossing, double x, double y,
                   double z, double rotation, const char* fileName);
    ~DocumentLeafGL() override;

    const std::string& getFileName() const { return fileName; }
    // 0 until the pages are counted (and for a document that cannot be shown).
    unsigned int getPageCount() const { return pageCount; }
    unsigned int getCurrentPage() const { return currentPage; }
    // The current page in points, after its rotation; 0 until the first page arrives.
    double getCurrentPageWidth() const { return currentPageWidth; }
    double getCurrentPageHeight() const { return currentPageHeight; }
    bool isRendering() const { return rendering; }
    bool isPageReady() const { return pageReady; }
    bool hasNoPageYet() const { return noPageYet; }
    unsigned int getPageTexture() const { return pageTexture; }

    // Within 1 … getPageCount(), and not while a page renders; otherwise nothing happens.
    void nextPage();
    void previousPage();
    void goToPage(unsigned int page);

    // Takes what the worker has finished (page count, rendered page) and prints its messages.
    void collectResults();
    // Uploads a page that is ready into the page texture and fits the document's width to it.
    void updateTextureImage();

    // After the image's own release: a tap on a page strip turns the page.
    unsigned int releaseLocalBuffer(unsigned int x, unsigned int y, unsigned int boundWidth,
                                    unsigned int boundHeight) override;

protected:
    void specificRender() override;
    // The image's mask plus the two page strips.
    void renderInActiveBuffers() override;

private:
    void renderPage(unsigned int page);
    void setPageCount(unsigned int count) { pageCount = count; }
    void setCurrentPageSize(double width, double height);
    void renderBusyQuad();

    std::string fileName;
    unsigned int pageTexture = 0;
    unsigned int pageCount = 0;
    unsigned int currentPage = 1;
    double currentPageWidth = 0.0;
    double currentPageHeight = 0.0;
    bool pageReady = false;
    bool rendering = false;
    bool noPageYet = true;
    std::shared_ptr<tavlor::DocumentSession> session;
    tavlor::DocumentPageImage waitingPage;
};
