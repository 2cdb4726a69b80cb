#pragma once
// GhostscriptWorker: the one thread of the program that runs Ghostscript. Documents hand it jobs
// (count the pages of a file, render one page) through a first-in, first-out queue; it runs them
// one after the other, each in a fresh interpreter instance with -dSAFER and read permission for
// that one file only, so two documents or a fast page flip never run two interpreters at once.
//
// A job holds its document only through a shared DocumentSession, never by a raw pointer. The
// worker posts each result (and the messages that go with it) to the session; the document takes
// them on its own thread (takeEvents). A document that goes away cancels its session: queued jobs
// of a cancelled session are skipped and the result of a job under way is dropped.
//
// Messages are composed here but printed by the document, on the thread that owns the standard
// output, so the worker never writes to it.
//
// Lifetime: one worker per process (instance()), started with the first job; at exit it drops
// the jobs still queued, waits for the one under way and joins its thread.
// No graphics: pages arrive as RGB bytes; the document uploads them.

#include "DocumentFile.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tavlor {

// A rendered page: edge × edge RGB bytes, three per pixel, the bottom row first (the order of a
// GL texture whose t coordinate grows up the page).
struct DocumentPageImage {
    unsigned int page = 0;
    unsigned int edge = 0;
    PageSize size;               // points, after rotation (0 × 0 when unknown)
    std::vector<unsigned char> rgb;
};

struct DocumentEvent {
    enum Type { Counted, PageRendered };
    Type type = Counted;
    bool failed = false;           // a page that failed carries a blank (white) image
    unsigned int pageCount = 0;    // Counted
    DocumentPageImage image;       // PageRendered
    std::vector<std::string> messages; // lines for the standard output, in order
};

class DocumentSession {
public:
    // The file name as the document was given it: used for Ghostscript and in messages.
    explicit DocumentSession(std::string fileName);
    const std::string& fileName() const { return fileName_; }

    // The document is gone: its queued jobs are skipped and results are dropped.
    void cancel() { cancelled_ = true; }
    bool cancelled() const { return cancelled_; }

    // The results posted so far, oldest first; never blocks for long.
    std::vector<DocumentEvent> takeEvents();
    // Waits until at least one result is there (tests and benchmarks); false on timeout.
    bool waitForEvent(std::chrono::milliseconds timeout);

private:
    friend class GhostscriptWorker;
    void post(DocumentEvent event);

    const std::string fileName_;
    std::atomic<bool> cancelled_{false};
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<DocumentEvent> events_;
    // Written and read by the worker thread only: the counting job fills them for page jobs.
    DocumentFacts facts_;
    bool counted_ = false;
    std::vector<PageSize> pages_;
};

class GhostscriptWorker {
public:
    static constexpr unsigned int kPageEdge = 1024;

    static GhostscriptWorker& instance();

    // Checks the library once per process, printing "Found Ghostscript …, everything's fine." or
    // what is wrong; false when documents cannot be rendered. Call on the thread that prints.
    bool checkLibrary();

    // Queue jobs. Page numbers count from 1.
    void countPages(const std::shared_ptr<DocumentSession>& session);
    void renderPage(const std::shared_ptr<DocumentSession>& session, unsigned int page,
                    unsigned int edge = kPageEdge);

    // Waits until the queue is empty and no job runs (tests and benchmarks).
    void waitUntilIdle();
    // The most interpreter instances ever alive at the same time (1 once anything ran).
    int mostRunsAtOnce() const { return mostRuns_; }

    ~GhostscriptWorker();
    GhostscriptWorker(const GhostscriptWorker&) = delete;
    GhostscriptWorker& operator=(const GhostscriptWorker&) = delete;

private:
    GhostscriptWorker() = default;

    struct Job {
        std::shared_ptr<DocumentSession> session;
        bool count = false;
        unsigned int page = 0;
        unsigned int edge = kPageEdge;
    };
    void enqueue(Job job);
    void run();
    void runCount(DocumentSession& session);
    void runPage(DocumentSession& session, unsigned int page, unsigned int edge);

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Job> queue_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread thread_;
    std::atomic<int> runs_{0};
    std::atomic<int> mostRuns_{0};
    // Written by checkLibrary on the printing thread, read by the worker.
    std::atomic<bool> checked_{false};
    std::atomic<bool> usable_{false};
};

} // namespace tavlor
