#include "GhostscriptWorker.h"

#include <QImage>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>

using std::size_t; // gdevdsp.h uses size_t unqualified
#include <ghostscript/gdevdsp.h>
#include <ghostscript/iapi.h>

namespace tavlor {

namespace {

// Ghostscript's own code for a run that ended with `quit`.
constexpr int kQuitCode = -101;

bool runSucceeded(int code)
{
    return code == 0 || code == kQuitCode;
}

std::string quoted(const std::string& fileName)
{
    return "\"" + fileName + "\"";
}

std::string cannotShow(const std::string& fileName, const std::string& why)
{
    return "Cannot show the document " + quoted(fileName) + ": " + why;
}

std::string cannotShowPage(unsigned int page, const std::string& fileName, const std::string& why)
{
    return "Cannot show page " + std::to_string(page) + " of the document " + quoted(fileName) +
           ": " + why;
}

// Revisions up to 9.52 are three digits (952), later ones four or five (9530, 10000).
std::string versionText(long revision)
{
    char text[32];
    if (revision >= 1000)
        std::snprintf(text, sizeof text, "%ld.%02ld.%ld", revision / 1000, revision / 10 % 100,
                      revision % 10);
    else
        std::snprintf(text, sizeof text, "%ld.%02ld", revision / 100, revision % 100);
    return text;
}

// What one interpreter run leaves behind; the instance's callbacks write into it.
struct RunRecord {
    std::string out;
    std::string err;
    // Display device state of a rendering run.
    int width = 0;
    int height = 0;
    int raster = 0;
    unsigned char* pixels = nullptr;
    bool pageShown = false;
    bool tooWide = false;
    // The shown page, rows packed, bottom first (the device may change size again as it closes).
    int pageWidth = 0;
    int pageHeight = 0;
    std::vector<unsigned char> rgb;
};

int captureOut(void* handle, const char* text, int length)
{
    static_cast<RunRecord*>(handle)->out.append(text, static_cast<size_t>(length));
    return length;
}

int captureErr(void* handle, const char* text, int length)
{
    static_cast<RunRecord*>(handle)->err.append(text, static_cast<size_t>(length));
    return length;
}

int displayNothing(void*, void*)
{
    return 0;
}

int displayPresize(void*, void*, int, int, int, unsigned int)
{
    return 0;
}

int displaySize(void* handle, void*, int width, int height, int raster, unsigned int,
                unsigned char* pixels)
{
    auto* record = static_cast<RunRecord*>(handle);
    record->width = width;
    record->height = height;
    record->raster = raster;
    record->pixels = pixels;
    if (raster >= 16384) record->tooWide = true;
    return 0;
}

int displayPage(void* handle, void*, int, int)
{
    auto* record = static_cast<RunRecord*>(handle);
    if (!record->pixels || record->width <= 0 || record->height <= 0) return 0;
    const size_t row = static_cast<size_t>(record->width) * 3;
    record->rgb.resize(row * static_cast<size_t>(record->height));
    for (int y = 0; y < record->height; ++y)
        std::memcpy(record->rgb.data() + row * static_cast<size_t>(y),
                    record->pixels + static_cast<size_t>(record->raster) * static_cast<size_t>(y),
                    row);
    record->pageWidth = record->width;
    record->pageHeight = record->height;
    record->pageShown = true;
    return 0;
}

int displaySeparation(void*, void*, int, const char*, unsigned short, unsigned short,
                      unsigned short, unsigned short)
{
    return 0;
}

display_callback makeDisplayCallback()
{
    display_callback callback {};
    // Version 2 of the record: Ghostscript allocates the bitmap and renders the page whole.
    callback.size = static_cast<int>(offsetof(display_callback, display_adjust_band_height));
    callback.version_major = DISPLAY_VERSION_MAJOR_V2;
    callback.version_minor = DISPLAY_VERSION_MINOR_V2;
    callback.display_open = displayNothing;
    callback.display_preclose = displayNothing;
    callback.display_close = displayNothing;
    callback.display_presize = displayPresize;
    callback.display_size = displaySize;
    callback.display_sync = displayNothing;
    callback.display_page = displayPage;
    callback.display_separation = displaySeparation;
    return callback;
}

display_callback gDisplayCallback = makeDisplayCallback();

// The display device asks for its callbacks; the handle is the run's record.
int displayCallout(void*, void* handle, const char* device, int id, int size, void* data)
{
    if (!device || std::strcmp(device, "display") != 0 || id != DISPLAY_CALLOUT_GET_CALLBACK ||
        size < static_cast<int>(sizeof(gs_display_get_callback_t)))
        return -1;
    auto* answer = static_cast<gs_display_get_callback_t*>(data);
    answer->callback = &gDisplayCallback;
    answer->caller_handle = handle;
    return 0;
}

// One interpreter instance, from creation to deletion. Reading is permitted for the one file.
class Interpreter {
public:
    Interpreter(RunRecord& record, const std::string& file, std::atomic<int>& runs,
                std::atomic<int>& mostRuns)
        : runs_(runs)
    {
        const int now = ++runs_;
        int most = mostRuns.load();
        while (now > most && !mostRuns.compare_exchange_weak(most, now)) {}
        if (gsapi_new_instance(&instance_, &record) < 0) {
            instance_ = nullptr;
            return;
        }
        gsapi_set_stdio_with_handle(instance_, nullptr, captureOut, captureErr, &record);
        gsapi_register_callout(instance_, displayCallout, &record);
        gsapi_add_control_path(instance_, GS_PERMIT_FILE_READING, file.c_str());
    }
    ~Interpreter()
    {
        if (instance_) {
            if (initialised_) gsapi_exit(instance_);
            gsapi_delete_instance(instance_);
        }
        --runs_;
    }
    Interpreter(const Interpreter&) = delete;
    Interpreter& operator=(const Interpreter&) = delete;

    bool created() const { return instance_ != nullptr; }

    int init(std::vector<std::string> arguments)
    {
        std::vector<char*> argv;
        for (std::string& a : arguments) argv.push_back(a.data());
        const int code = gsapi_init_with_args(instance_, static_cast<int>(argv.size()), argv.data());
        initialised_ = true;
        return code;
    }

    int run(const std::string& program)
    {
        int exitCode = 0;
        const int code = gsapi_run_string(instance_, program.c_str(), 0, &exitCode);
        return code;
    }

private:
    std::atomic<int>& runs_;
    void* instance_ = nullptr;
    bool initialised_ = false;
};

const std::vector<std::string> kQueryArguments = {"gs", "-dNOPAUSE", "-dBATCH", "-dSAFER",
                                                  "-dQUIET", "-dNOINTERPOLATE"};

// Lists every page of a PDF: "@@page width height rotation" from its MediaBox and /Rotate.
const char* const kListPdfPages =
    "/DocFile DocName (r) file def\n"
    "DocFile runpdfbegin\n"
    "1 1 pdfpagecount {\n"
    "  pdfgetpage dup type /dicttype eq {\n"
    "    dup /MediaBox pget {\n"
    "      aload pop 3 -1 roll sub abs 3 1 roll exch sub abs exch\n"
    "    } { 0 0 } ifelse\n"
    "    (@@page ) print exch =print ( ) print =print ( ) print\n"
    "    /Rotate pget { =print } { (0) print } ifelse (\\n) print\n"
    "  } { pop (@@page 0 0 0\\n) print } ifelse\n"
    "} for\n"
    "(@@end\\n) print flush quit\n";

// Runs a PostScript file on the null device, listing each page's size as it is shown.
const char* const kListPostScriptPages =
    "<< /EndPage { exch pop 2 ne dup {\n"
    "  currentpagedevice /PageSize get aload pop exch\n"
    "  (@@page ) print =print ( ) print =print ( 0\\n) print flush\n"
    "} if } >> setpagedevice\n"
    "DocName run\n"
    "(@@end\\n) print flush quit\n";

DocumentPageImage blankPage(unsigned int page, unsigned int edge, PageSize size)
{
    DocumentPageImage image;
    image.page = page;
    image.edge = edge;
    image.size = size;
    image.rgb.assign(static_cast<size_t>(edge) * edge * 3, 255);
    return image;
}

} // namespace

// ---------------------------------------------------------------------------------------------

DocumentSession::DocumentSession(std::string fileName) : fileName_(std::move(fileName)) {}

std::vector<DocumentEvent> DocumentSession::takeEvents()
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<DocumentEvent> taken(std::make_move_iterator(events_.begin()),
                                     std::make_move_iterator(events_.end()));
    events_.clear();
    return taken;
}

bool DocumentSession::waitForEvent(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return arrived_.wait_for(lock, timeout, [this] { return !events_.empty(); });
}

void DocumentSession::post(DocumentEvent event)
{
    if (cancelled_) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back(std::move(event));
    }
    arrived_.notify_all();
}

// ---------------------------------------------------------------------------------------------

GhostscriptWorker& GhostscriptWorker::instance()
{
    static GhostscriptWorker worker;
    return worker;
}

bool GhostscriptWorker::checkLibrary()
{
    if (checked_) return usable_;
    checked_ = true;
    gsapi_revision_t revision {};
    if (gsapi_revision(&revision, sizeof revision) != 0) {
        std::cout << "Ghostscript revision structure size is incorrect." << std::endl;
    } else if (revision.revision < 650) {
        std::cout << "Need at least Ghostscript 6.50" << std::endl;
    } else {
        std::cout << "Found Ghostscript " << versionText(revision.revision)
                  << ", everything's fine." << std::endl;
        usable_ = true;
    }
    return usable_;
}

void GhostscriptWorker::countPages(const std::shared_ptr<DocumentSession>& session)
{
    Job job;
    job.session = session;
    job.count = true;
    enqueue(std::move(job));
}

void GhostscriptWorker::renderPage(const std::shared_ptr<DocumentSession>& session,
                                   unsigned int page, unsigned int edge)
{
    Job job;
    job.session = session;
    job.page = page;
    job.edge = edge == 0 ? kPageEdge : edge;
    enqueue(std::move(job));
}

void GhostscriptWorker::enqueue(Job job)
{
    if (!job.session) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_) return;
        queue_.push_back(std::move(job));
        if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
    }
    wake_.notify_one();
}

void GhostscriptWorker::waitUntilIdle()
{
    std::unique_lock<std::mutex> lock(mutex_);
    idle_.wait(lock, [this] { return queue_.empty() && !busy_; });
}

GhostscriptWorker::~GhostscriptWorker()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void GhostscriptWorker::run()
{
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            busy_ = false;
            if (queue_.empty()) idle_.notify_all();
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) return;
            job = std::move(queue_.front());
            queue_.pop_front();
            busy_ = true;
        }
        if (job.session->cancelled()) continue;
        if (job.count)
            runCount(*job.session);
        else
            runPage(*job.session, job.page, job.edge);
    }
}

void GhostscriptWorker::runCount(DocumentSession& session)
{
    DocumentEvent event;
    event.type = DocumentEvent::Counted;
    const std::string& file = session.fileName();
    session.counted_ = true;
    session.pages_.clear();
    session.facts_ = inspectDocument(file);
    const DocumentFacts& facts = session.facts_;

    auto fail = [&](const std::string& why) {
        event.failed = true;
        event.messages.push_back(cannotShow(file, why));
        session.post(std::move(event));
    };
    switch (facts.kind) {
    case DocumentKind::Missing: return fail("no such file.");
    case DocumentKind::Unreadable: return fail("the file cannot be read.");
    case DocumentKind::NotADocument: return fail("not a PDF or PostScript file.");
    case DocumentKind::Pdf:
        if (facts.truncated) return fail("the PDF is truncated.");
        break;
    case DocumentKind::PostScript: break;
    }
    if (checked_ && !usable_) {
        event.failed = true;
        session.post(std::move(event));
        return;
    }

    RunRecord record;
    int code = 0;
    {
        Interpreter gs(record, file, runs_, mostRuns_);
        if (!gs.created()) {
            event.messages.push_back("Could not create ghostscipt instance.");
            return fail("Ghostscript is not available.");
        }
        std::vector<std::string> arguments = kQueryArguments;
        // A PDF is listed from its page tree; PostScript is run, and needs its fonts for that.
        if (facts.kind == DocumentKind::Pdf) {
            arguments.push_back("-dNOFONTMAP");
            arguments.push_back("-dNODISPLAY");
        } else {
            arguments.push_back("-sDEVICE=nullpage");
        }
        arguments.push_back("-sDocName=" + file);
        code = gs.init(arguments);
        if (code >= 0)
            code = gs.run(facts.kind == DocumentKind::Pdf ? kListPdfPages : kListPostScriptPages);
    }
    bool complete = false;
    session.pages_ = parsePageListing(record.out, &complete);
    if (!runSucceeded(code)) event.messages.push_back("Something went wrong w/ GS.");
    if (session.pages_.empty()) {
        if (facts.encrypted) return fail("the PDF is encrypted.");
        if (!runSucceeded(code)) return fail("Ghostscript could not read it.");
        return fail("it has no pages.");
    }
    if (!runSucceeded(code))
        event.messages.push_back(cannotShow(file, "Ghostscript stopped after page " +
                                                      std::to_string(session.pages_.size()) +
                                                      "; the pages before it are shown."));
    event.pageCount = static_cast<unsigned int>(session.pages_.size());
    session.post(std::move(event));
}

void GhostscriptWorker::runPage(DocumentSession& session, unsigned int page, unsigned int edge)
{
    DocumentEvent event;
    event.type = DocumentEvent::PageRendered;
    const std::string& file = session.fileName();
    const bool known = page >= 1 && page <= session.pages_.size();
    const PageSize size = known ? session.pages_[page - 1] : PageSize {};

    auto fail = [&](const std::string& why) {
        event.failed = true;
        if (!why.empty()) event.messages.push_back(cannotShowPage(page, file, why));
        event.image = blankPage(page, edge, size);
        session.post(std::move(event));
    };
    // A document that could not be counted has said why already.
    if (!session.counted_ || session.pages_.empty() || (checked_ && !usable_)) return fail("");
    if (!known)
        return fail("it has " + std::to_string(session.pages_.size()) +
                    (session.pages_.size() == 1 ? " page." : " pages."));

    const Resolution dpi = renderResolution(size, edge);
    RunRecord record;
    int code = 0;
    {
        Interpreter gs(record, file, runs_, mostRuns_);
        if (!gs.created()) {
            event.messages.push_back("Could not create ghostscipt instance.");
            return fail("Ghostscript is not available.");
        }
        char format[32];
        std::snprintf(format, sizeof format, "-dDisplayFormat=%d",
                      DISPLAY_COLORS_RGB | DISPLAY_ALPHA_NONE | DISPLAY_DEPTH_8 |
                          DISPLAY_BIGENDIAN | DISPLAY_BOTTOMFIRST);
        code = gs.init({"gs", "-dTextAlphaBits=4", "-dGraphicAlphaBits=4", "-dNOPAUSE",
                        "-dBATCH", "-dSAFER", "-dQUIET",
                        "-r" + postScriptNumber(dpi.x) + "x" + postScriptNumber(dpi.y),
                        "-dFirstPage=" + std::to_string(page),
                        "-dLastPage=" + std::to_string(page), "-sDEVICE=display", format, "-f",
                        file});
    }
    if (record.tooWide)
        event.messages.push_back("Houson, we have a problem! This should not occur: too high "
                                 "resolution for Ghostscript to render.");
    // An error after the page was shown belongs to a later page of a PostScript file.
    if (!record.pageShown) {
        if (!runSucceeded(code)) event.messages.push_back("Something went wrong w/ GS.");
        return fail("Ghostscript failed while rendering it.");
    }
    if (session.cancelled()) return;

    event.image.page = page;
    event.image.edge = edge;
    event.image.size = size;
    if (record.pageWidth == static_cast<int>(edge) && record.pageHeight == static_cast<int>(edge)) {
        event.image.rgb = std::move(record.rgb);
    } else {
        event.messages.push_back("Rescaling image.");
        const QImage rendered(record.rgb.data(), record.pageWidth, record.pageHeight,
                              record.pageWidth * 3, QImage::Format_RGB888);
        const QImage scaled =
            rendered.scaled(static_cast<int>(edge), static_cast<int>(edge), Qt::IgnoreAspectRatio,
                            Qt::SmoothTransformation)
                .convertToFormat(QImage::Format_RGB888);
        event.image.rgb.resize(static_cast<size_t>(edge) * edge * 3);
        for (unsigned int y = 0; y < edge; ++y)
            std::memcpy(event.image.rgb.data() + static_cast<size_t>(y) * edge * 3,
                        scaled.constScanLine(static_cast<int>(y)), static_cast<size_t>(edge) * 3);
    }
    session.post(std::move(event));
}

} // namespace tavlor
