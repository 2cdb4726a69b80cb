// Documents: the Ghostscript worker's time to count the sample PDF's pages and to render one page
// at 1024 × 1024 pixels, and the GUI thread's frame time with one document on the table, once
// with its page shown and once while it renders page after page (same run, same scene). The
// frame time should not grow while pages render: only the upload of a finished page happens on
// the GUI thread. Counters: frame_ms, the mean wall time of frames without an upload;
// upload_frame_ms, of the frames that upload a page; gui_cpu_ms, this thread's processor time a
// frame (on a machine with few cores the worker competes with the renderer for them, which shows
// in wall time but not here). Needs an X display for the offscreen context.
#include "BenchmarkSupport.h"
#include "components/DocumentLeafGL.h"
#include "vis/TabletopVisGL.h"

#include <GL/gl.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <memory>

namespace {

const char* const kSample = NPR_DATA_DIR "/documents/sample.pdf";

using tavlor::DocumentSession;
using tavlor::GhostscriptWorker;

// Wall time of one job, from queueing to its result.
void workerJob(benchmark::State& state, bool count)
{
    GhostscriptWorker& worker = GhostscriptWorker::instance();
    auto session = std::make_shared<DocumentSession>(kSample);
    worker.countPages(session);
    session->waitForEvent(std::chrono::seconds(60));
    session->takeEvents();
    for (auto _ : state) {
        if (count)
            worker.countPages(session);
        else
            worker.renderPage(session, 1, 1024);
        if (!session->waitForEvent(std::chrono::seconds(60))) state.SkipWithError("no result");
        benchmark::DoNotOptimize(session->takeEvents());
    }
}

void BM_DocumentCountPages(benchmark::State& state) { workerJob(state, true); }
void BM_DocumentRenderPage1024(benchmark::State& state) { workerJob(state, false); }

// GUI-thread frames with one document; with turning, a new page is asked for whenever the last
// one has been uploaded, so the worker renders through the whole run.
void BM_DocumentFrame(benchmark::State& state)
{
    const bool turning = state.range(0) != 0;
    bench::Offscreen* gl = bench::Offscreen::get();
    if (!gl) {
        state.SkipWithError("no OpenGL context (is DISPLAY set?)");
        return;
    }
    gl->bind();
    std::streambuf* saved = std::cout.rdbuf(nullptr);
    auto vis = std::make_unique<TabletopVisGL>(1, 64, 64, bench::kWidth, bench::kHeight);
    vis->setAnimating(true);
    DocumentLeafGL* document = vis->createDocument(800, true, true, bench::kWidth / 2.0,
                                                   bench::kHeight / 2.0, 0.0, 0.0, kSample, false);
    while (document->isRendering() || document->getPageCount() == 0) {
        gl->bind();
        vis->render(1, 60.0);
    }
    // Warm up: the first frames with the page texture compile the renderer's drawing paths.
    for (int i = 0; i < 5; ++i) {
        gl->bind();
        vis->render(1, 60.0);
        glFinish();
    }
    long pagesShown = 0;
    long uploads = 0;
    double uploadSeconds = 0.0;
    double otherSeconds = 0.0;
    const double cpuStart = bench::threadSeconds();
    for (auto _ : state) {
        if (turning && !document->isRendering()) {
            document->goToPage(document->getCurrentPage() % document->getPageCount() + 1);
            ++pagesShown;
        }
        const bool uploading = document->isRendering();
        const auto start = std::chrono::steady_clock::now();
        gl->bind();
        vis->render(1, 60.0);
        glFinish();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        // The frame that uploads a finished page is the one that ends the rendering state.
        if (uploading && !document->isRendering()) {
            ++uploads;
            uploadSeconds += seconds;
        } else {
            otherSeconds += seconds;
        }
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["pages"] = static_cast<double>(pagesShown);
    state.counters["gui_cpu_ms"] = (bench::threadSeconds() - cpuStart) * 1000.0 / frames;
    state.counters["frame_ms"] = otherSeconds * 1000.0 / std::max(1.0, frames - uploads);
    state.counters["upload_frame_ms"] = uploads ? uploadSeconds * 1000.0 / uploads : 0.0;
    vis.reset();
    GhostscriptWorker::instance().waitUntilIdle();
    std::cout.rdbuf(saved);
}

} // namespace

BENCHMARK(BM_DocumentCountPages)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(BM_DocumentRenderPage1024)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(BM_DocumentFrame)->ArgName("rendering")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)
    ->UseRealTime()->MinTime(3.0);
