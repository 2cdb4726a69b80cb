#include "components/DocumentLeafGL.h"

#include "../vis/GLTestComponents.h"
#include "GLTestContext.h"
#include "OutputCapture.h"
#include "core/BufferTemplate.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

const std::string kSamplePdf = NPR_DOCUMENT_DIR "/sample.pdf";
const std::string kSamplePs = NPR_DOCUMENT_DIR "/sample.ps";

class DocumentGLTest : public GLTest {
protected:
    static void SetUpTestSuite()
    {
        // Prints "Found Ghostscript …" once per process; keep it out of the captured messages.
        tavlor::GhostscriptWorker::instance().checkLibrary();
    }
    void SetUp() override
    {
        GLTest::SetUp();
        vis = std::make_unique<ClockedVisGL>(1, 256, 256, 256, 256);
        vis->useFakeClock();
        vis->enableMipMapping(false);
    }
    void TearDown() override
    {
        vis.reset(); // deletes the documents with the context current
    }
    DocumentLeafGL* create(const std::string& file, double x = 128, double y = 128)
    {
        return vis->createDocument(120, true, true, x, y, 0.0, 0.0, file.c_str(), false);
    }
    // Frames until done() holds (60 seconds at most: the machine may be busy).
    bool frameUntil(const std::function<bool()>& done)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            gl->bindFramebuffer();
            vis->frame();
        }
        return true;
    }
    bool showing(DocumentLeafGL* d)
    {
        return frameUntil([d] { return !d->isRendering() && !d->hasNoPageYet(); });
    }
    // A tap at table point (x, y).
    void tap(unsigned x, unsigned y)
    {
        vis->devicePress(x, y, 0, 0);
        gl->bindFramebuffer();
        vis->frame();
        vis->deviceRelease(x, y, 0, 0);
        gl->bindFramebuffer();
        vis->frame();
    }
    // Texel (x, y) of the page texture, y from the top of the page.
    std::vector<int> texel(DocumentLeafGL* d, int x, int y)
    {
        glBindTexture(GL_TEXTURE_2D, d->getPageTexture());
        GLint w = 0, h = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        std::vector<unsigned char> rgb(size_t(w) * h * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        if (w != 1024 || h != 1024) return {w, h};
        const size_t at = (size_t(1023 - y) * 1024 + x) * 3;
        return {rgb[at], rgb[at + 1], rgb[at + 2]};
    }
    std::unique_ptr<ClockedVisGL> vis;
};

TEST_F(DocumentGLTest, ShowsTheFirstPageAndTurnsPagesWithTheStrips)
{
    OutputCapture out;
    DocumentLeafGL* d = create(kSamplePdf);
    EXPECT_TRUE(d->hasNoPageYet());
    EXPECT_TRUE(d->isRendering());
    ASSERT_TRUE(showing(d));
    EXPECT_EQ(d->getPageCount(), 4u);
    EXPECT_EQ(d->getCurrentPage(), 1u);
    // A4 portrait: the height stays 120, the width follows the page.
    EXPECT_DOUBLE_EQ(d->getCurrentPageWidth(), 595);
    EXPECT_DOUBLE_EQ(d->getCurrentPageHeight(), 842);
    EXPECT_NEAR(d->getWidth(), 120.0 * 595 / 842, 1e-9);
    EXPECT_NEAR(d->getHeight(), 120.0, 1e-9);
    const std::vector<int> band = texel(d, 512, 60); // the blue band along the top
    ASSERT_EQ(band.size(), 3u);
    EXPECT_GT(band[2], band[0]);
    // The picture shows on the table: the page's white paper at the document's centre.
    gl->bindFramebuffer();
    vis->frame();
    EXPECT_GT(gl->pixel(128, 128)[0], 200);

    // The previous-page strip on page 1 changes nothing; pages outside 1 … 4 are refused.
    const unsigned left = unsigned(128 - d->getWidth() / 2 + 4);
    tap(left, 128);
    d->goToPage(0);
    d->goToPage(5);
    EXPECT_FALSE(d->isRendering());
    EXPECT_EQ(d->getCurrentPage(), 1u);

    // Next page: landscape. A second tap while it renders turns no page.
    tap(unsigned(128 + d->getWidth() / 2 - 4), 128);
    EXPECT_TRUE(d->isRendering());
    // The busy shade covers the picture only.
    gl->bindFramebuffer();
    vis->frame();
    if (d->isRendering()) { EXPECT_LT(gl->pixel(128, 128)[0], 200); } // unless the page came
    EXPECT_EQ(gl->pixel(128 + int(d->getWidth()), 128)[0], 0);
    d->nextPage();
    d->previousPage();
    ASSERT_TRUE(showing(d));
    EXPECT_EQ(d->getCurrentPage(), 2u);
    EXPECT_NEAR(d->getWidth(), 120.0 * 842 / 595, 1e-9);

    // Page 3 carries /Rotate 90: shown turned, as wide as the landscape page.
    d->nextPage();
    ASSERT_TRUE(showing(d));
    EXPECT_DOUBLE_EQ(d->getCurrentPageWidth(), 842);
    EXPECT_DOUBLE_EQ(d->getCurrentPageHeight(), 595);
    const std::vector<int> rotatedBand = texel(d, 980, 512); // the purple band, now on the right
    ASSERT_EQ(rotatedBand.size(), 3u);
    EXPECT_GT(rotatedBand[0], rotatedBand[1]);

    d->goToPage(1);
    ASSERT_TRUE(showing(d));
    EXPECT_NEAR(d->getWidth(), 120.0 * 595 / 842, 1e-9);
    EXPECT_EQ(out.take(), "Rendering page 1 from " + kSamplePdf + "\nRendering page 2 from " +
                              kSamplePdf + "\nRendering page 3 from " + kSamplePdf +
                              "\nRendering page 1 from " + kSamplePdf + "\n");
}

TEST_F(DocumentGLTest, HitMaskAddsThePageStripsToTheImageCorners)
{
    DocumentLeafGL* d = create(kSamplePs);
    const BufferTemplate<int>* mask = d->getActiveBufferAs<int>(LOCAL_HIT_BUFFER);
    ASSERT_NE(mask, nullptr);
    const unsigned w = mask->getWidth(), h = mask->getHeight();
    EXPECT_EQ(mask->getValue(0u, h / 2), tavlor::kPreviousPageCode);
    EXPECT_EQ(mask->getValue(w - 1, h / 2), tavlor::kNextPageCode);
    EXPECT_EQ(mask->getValue(w / 2, h / 2), 3);
    EXPECT_EQ(mask->getValue(w - 1, 0u), 4);
    EXPECT_EQ(mask->getValue(0u, h - 1), 7);
    EXPECT_EQ(mask->getValue(w - 1, h - 1), 8);
    ASSERT_TRUE(showing(d)); // the mask follows the page's new shape
    mask = d->getActiveBufferAs<int>(LOCAL_HIT_BUFFER);
    EXPECT_EQ(mask->getValue(mask->getWidth() - 1, mask->getHeight() / 2), tavlor::kNextPageCode);
}

TEST_F(DocumentGLTest, ABadDocumentShowsAnEmptyPageAndSaysWhy)
{
    const std::string missing = NPR_FIXTURE_DIR "/no-such-file.pdf";
    OutputCapture out;
    DocumentLeafGL* d = create(missing);
    ASSERT_TRUE(showing(d));
    EXPECT_EQ(out.take(), "Rendering page 1 from " + missing + "\nCannot show the document \"" +
                              missing + "\": no such file.\n");
    EXPECT_EQ(d->getPageCount(), 0u);
    d->nextPage();
    EXPECT_FALSE(d->isRendering());
    EXPECT_EQ(texel(d, 512, 512), (std::vector<int>{255, 255, 255}));
    EXPECT_DOUBLE_EQ(d->getWidth(), 120.0); // a page of unknown size keeps the square
}

TEST_F(DocumentGLTest, DeletingADocumentWhileItsPageRendersDropsThePage)
{
    OutputCapture out;
    DocumentLeafGL* gone = create(kSamplePdf);
    vis->deleteComponent(gone); // counting and page 1 are queued or under way
    DocumentLeafGL* d = create(kSamplePs);
    ASSERT_TRUE(showing(d));
    EXPECT_EQ(d->getPageCount(), 2u) << "its own count, not the deleted PDF's";
    tavlor::GhostscriptWorker::instance().waitUntilIdle();
    gl->bindFramebuffer();
    vis->frame();
    EXPECT_EQ(out.take(), "Rendering page 1 from " + kSamplePdf + "\nRendering page 1 from " +
                              kSamplePs + "\n");
}

} // namespace
