#include "components/GhostscriptWorker.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <string>
#include <thread>

using namespace tavlor;
using namespace std::chrono_literals;

namespace {

const std::string kSamplePdf = NPR_DOCUMENT_DIR "/sample.pdf";
const std::string kSamplePs = NPR_DOCUMENT_DIR "/sample.ps";

GhostscriptWorker& worker() { return GhostscriptWorker::instance(); }

// Waits for n results of the session (a generous limit: the machine may be busy).
std::vector<DocumentEvent> collect(DocumentSession& session, std::size_t n)
{
    std::vector<DocumentEvent> events;
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (events.size() < n && std::chrono::steady_clock::now() < deadline) {
        session.waitForEvent(100ms);
        for (DocumentEvent& e : session.takeEvents()) events.push_back(std::move(e));
    }
    return events;
}

// RGB of a pixel of a rendered page, (x, y) from the top left.
std::array<int, 3> pixel(const DocumentPageImage& image, unsigned x, unsigned y)
{
    const std::size_t at = (std::size_t(image.edge - 1 - y) * image.edge + x) * 3;
    return {image.rgb[at], image.rgb[at + 1], image.rgb[at + 2]};
}

bool allWhite(const DocumentPageImage& image)
{
    for (unsigned char c : image.rgb)
        if (c != 255) return false;
    return !image.rgb.empty();
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string all;
    for (const std::string& line : lines) all += line + "\n";
    return all;
}

} // namespace

TEST(GhostscriptWorker, CountsAndRendersEveryPageOfThePdfAfterRotationButNoneBeyond)
{
    auto session = std::make_shared<DocumentSession>(kSamplePdf);
    worker().countPages(session);
    for (unsigned page = 1; page <= 5; ++page) worker().renderPage(session, page);
    const std::vector<DocumentEvent> events = collect(*session, 6);
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[0].pageCount, 4u);

    const struct {
        double width, height;
        unsigned bandX, bandY; // a pixel of the page's coloured band, from the top left
        int dominant;          // its strongest colour channel
    } pages[] = {
        {595, 842, 512, 60, 2},   // portrait: blue band along the top
        {842, 595, 512, 100, 1},  // landscape: green band along the top
        {842, 595, 980, 512, 0},  // /Rotate 90: the purple band lies along the right side
        {420, 595, 512, 80, 0},   // A5: orange band along the top
    };
    for (unsigned i = 0; i < 4; ++i) {
        const DocumentEvent& e = events[i + 1];
        SCOPED_TRACE("page " + std::to_string(i + 1));
        EXPECT_FALSE(e.failed);
        ASSERT_EQ(e.image.rgb.size(), 1024u * 1024u * 3u);
        EXPECT_DOUBLE_EQ(e.image.size.width, pages[i].width);
        EXPECT_DOUBLE_EQ(e.image.size.height, pages[i].height);
        const auto band = pixel(e.image, pages[i].bandX, pages[i].bandY);
        for (int c = 0; c < 3; ++c)
            if (c != pages[i].dominant) { EXPECT_GT(band[pages[i].dominant], band[c]); }
        // The sizes decide the scale, so the rendering needs no "Rescaling image.".
        EXPECT_TRUE(e.messages.empty()) << joined(e.messages);
    }

    EXPECT_TRUE(events[5].failed);
    EXPECT_EQ(joined(events[5].messages),
              "Cannot show page 5 of the document \"" + kSamplePdf + "\": it has 4 pages.\n");
    EXPECT_TRUE(allWhite(events[5].image));
}

TEST(GhostscriptWorker, BadDocumentsShowABlankPageAndSayWhy)
{
    const struct {
        const char* file;
        const char* messages; // of the count; page 1 then fails silently
    } rows[] = {
        {NPR_FIXTURE_DIR "/no-such-file.pdf", "no such file."},
        {NPR_FIXTURE_DIR "/not-a-document.pdf", "not a PDF or PostScript file."},
        {NPR_FIXTURE_DIR "/truncated.pdf", "the PDF is truncated."},
        {NPR_FIXTURE_DIR "/encrypted.pdf", "the PDF is encrypted."},
        {NPR_FIXTURE_DIR "/no-pages.pdf", "it has no pages."},
        {NPR_FIXTURE_DIR, "not a PDF or PostScript file."}, // a folder
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        auto session = std::make_shared<DocumentSession>(row.file);
        worker().countPages(session);
        worker().renderPage(session, 1);
        const auto events = collect(*session, 2);
        ASSERT_EQ(events.size(), 2u);
        EXPECT_TRUE(events[0].failed);
        EXPECT_EQ(events[0].pageCount, 0u);
        EXPECT_EQ(joined(events[0].messages), "Cannot show the document \"" +
                                                  std::string(row.file) + "\": " + row.messages +
                                                  "\n");
        EXPECT_TRUE(events[1].messages.empty());
        EXPECT_TRUE(allWhite(events[1].image));
    }
}

TEST(GhostscriptWorker, RenderingFailingHalfWayFailsThatPageOnly)
{
    // Its second page stops with an error on the display device only, after drawing a part.
    const std::string failing = NPR_FIXTURE_DIR "/failing.ps";
    auto broken = std::make_shared<DocumentSession>(failing);
    worker().countPages(broken);
    worker().renderPage(broken, 2);
    worker().renderPage(broken, 1);
    const auto events = collect(*broken, 3);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(joined(events[1].messages),
              "Something went wrong w/ GS.\nCannot show page 2 of the document \"" + failing +
                  "\": Ghostscript failed while rendering it.\n");
    EXPECT_TRUE(allWhite(events[1].image));
    EXPECT_FALSE(events[2].failed) << joined(events[2].messages);
    EXPECT_FALSE(allWhite(events[2].image));
}

// The PDF and the PostScript sample flip pages at once: one interpreter run at a time, and the
// PostScript pages are counted and rendered at their own size.
TEST(GhostscriptWorker, TwoDocumentsFlippingPagesNeverRunTwoInterpreters)
{
    auto a = std::make_shared<DocumentSession>(kSamplePdf);
    auto b = std::make_shared<DocumentSession>(kSamplePs);
    worker().countPages(a);
    worker().countPages(b);
    // Both flip as fast as they can, from two threads.
    std::thread other([&] {
        for (unsigned i = 0; i < 6; ++i) worker().renderPage(b, 1 + i % 2);
    });
    for (unsigned i = 0; i < 6; ++i) worker().renderPage(a, 1 + i % 4);
    other.join();
    const auto fromA = collect(*a, 7);
    const auto fromB = collect(*b, 7);
    ASSERT_EQ(fromA.size(), 7u);
    ASSERT_EQ(fromB.size(), 7u);
    for (unsigned i = 0; i < 6; ++i) {
        EXPECT_EQ(fromA[i + 1].image.page, 1 + i % 4); // in the order asked
        EXPECT_EQ(fromB[i + 1].image.page, 1 + i % 2);
        EXPECT_FALSE(fromA[i + 1].failed || fromB[i + 1].failed) << i;
    }
    EXPECT_DOUBLE_EQ(fromB[2].image.size.height, 792);
    EXPECT_FALSE(allWhite(fromB[2].image));
    EXPECT_EQ(worker().mostRunsAtOnce(), 1);
}
