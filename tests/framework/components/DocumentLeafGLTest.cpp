#include "components/DocumentLeafGL.h"

#include "ComponentTestSupport.h"
#include "OutputCapture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace {

const std::string kSamplePdf = NPR_DOCUMENT_DIR "/sample.pdf";
const std::string kSamplePs = NPR_DOCUMENT_DIR "/sample.ps";

class DocumentGLTest : public ItemGLTest {
protected:
    static void SetUpTestSuite()
    {
        // Prints "Found Ghostscript …" once per process; keep it out of the captured messages.
        tavlor::GhostscriptWorker::instance().checkLibrary();
    }
    void SetUp() override
    {
        ItemGLTest::SetUp();
        if (gl) scene().vis->enableMipMapping(false);
    }
    DocumentLeafGL* create(const std::string& file)
    {
        return scene().vis->createDocument(120, true, true, 128, 128, 0.0, 0.0, file.c_str(), false);
    }
    // Frames until done() holds (60 seconds at most: the machine may be busy).
    bool frameUntil(const std::function<bool()>& done)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            frame();
        }
        return true;
    }
    bool showing(DocumentLeafGL* d)
    {
        return frameUntil([d] { return !d->isRendering() && !d->hasNoPageYet(); });
    }
    void frame() { scene().frameAfter(gl, 20); }
    void tap(unsigned x, unsigned y)
    {
        scene().vis->devicePress(x, y, 0, 0);
        frame();
        scene().vis->deviceRelease(x, y, 0, 0);
        frame();
    }
};

TEST_F(DocumentGLTest, ShowsTheFirstPageAndTurnsPagesWithTheStrips)
{
    OutputCapture out;
    DocumentLeafGL* d = create(kSamplePdf);
    ASSERT_TRUE(showing(d));
    EXPECT_EQ(d->getPageCount(), 4u);
    // A4 portrait: the height stays 120, the width follows the page.
    EXPECT_NEAR(d->getWidth(), 120.0 * 595 / 842, 1e-9);
    // The picture shows on the table: the page's white paper at the document's centre.
    frame();
    EXPECT_GT(gl->pixel(128, 128)[0], 200);

    // The previous-page strip on page 1 changes nothing; pages outside 1 … 4 are refused.
    tap(unsigned(128 - d->getWidth() / 2 + 4), 128);
    d->goToPage(0);
    d->goToPage(5);
    EXPECT_FALSE(d->isRendering());
    EXPECT_EQ(d->getCurrentPage(), 1u);

    // Next page: landscape. A second tap while it renders turns no page.
    tap(unsigned(128 + d->getWidth() / 2 - 4), 128);
    EXPECT_TRUE(d->isRendering());
    // The busy shade covers the picture only.
    frame();
    if (d->isRendering()) { EXPECT_LT(gl->pixel(128, 128)[0], 200); } // unless the page came
    EXPECT_EQ(gl->pixel(128 + int(d->getWidth()), 128)[0], 0);
    d->nextPage();
    d->previousPage();
    ASSERT_TRUE(showing(d));
    EXPECT_EQ(d->getCurrentPage(), 2u);
    EXPECT_NEAR(d->getWidth(), 120.0 * 842 / 595, 1e-9);

    // The hit mask was rebuilt for the landscape page: its previous-page strip turns back.
    tap(unsigned(128 - d->getWidth() / 2 + 4), 128);
    ASSERT_TRUE(showing(d));
    EXPECT_EQ(d->getCurrentPage(), 1u);
    EXPECT_EQ(out.take(), "Rendering page 1 from " + kSamplePdf + "\nRendering page 2 from " +
                              kSamplePdf + "\nRendering page 1 from " + kSamplePdf + "\n");
}

TEST_F(DocumentGLTest, ABadDocumentShowsAnEmptyPageAndSaysWhy)
{
    const std::string missing = NPR_FIXTURE_DIR "/no-such-file.pdf";
    OutputCapture out;
    DocumentLeafGL* d = create(missing);
    ASSERT_TRUE(showing(d)); // the message itself is the worker's
    EXPECT_EQ(d->getPageCount(), 0u);
    d->nextPage();
    EXPECT_FALSE(d->isRendering());
    EXPECT_DOUBLE_EQ(d->getWidth(), 120.0); // a page of unknown size keeps the square
}

TEST_F(DocumentGLTest, DeletingADocumentWhileItsPageRendersDropsThePage)
{
    OutputCapture out;
    DocumentLeafGL* gone = create(kSamplePdf);
    scene().vis->deleteComponent(gone); // counting and page 1 are queued or under way
    DocumentLeafGL* d = create(kSamplePs);
    ASSERT_TRUE(showing(d));
    EXPECT_EQ(d->getPageCount(), 2u) << "its own count, not the deleted PDF's";
    tavlor::GhostscriptWorker::instance().waitUntilIdle();
    frame();
    EXPECT_EQ(out.take(), "Rendering page 1 from " + kSamplePdf + "\nRendering page 1 from " +
                              kSamplePs + "\n");
}

} // namespace
