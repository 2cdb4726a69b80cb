#pragma once
// DocumentFile: what a document file is, before Ghostscript sees it, and the small numeric rules
// of showing its pages. No graphics and no Ghostscript: everything here runs on any thread.
//
// Page sizes are in PostScript points (1/72 inch) after the page's rotation is applied, so a
// page with /Rotate 90 reports its width and height swapped.

#include <string>
#include <vector>

namespace tavlor {

enum class DocumentKind { Missing, Unreadable, NotADocument, Pdf, PostScript };

struct DocumentFacts {
    DocumentKind kind = DocumentKind::Missing;
    bool truncated = false; // a PDF without "%%EOF" in its last kilobyte
    bool encrypted = false; // a PDF that names an /Encrypt dictionary
};

// Reads the file's head (and, for a PDF, its tail and body) to tell what it is: "%PDF-" within the
// first kilobyte is a PDF, "%!" or the DOS EPS header at the start is PostScript.
DocumentFacts inspectDocument(const std::string& path);

struct PageSize {
    double width = 0.0;
    double height = 0.0;
};

// The size a page is shown at: a rotation within 10 degrees of 90 or 270 swaps width and height.
PageSize pageSizeAfterRotation(double width, double height, double rotation);

// Dots per inch that render a page of this size to edge × edge pixels; a side of 0 gets 100.
struct Resolution {
    double x = 100.0;
    double y = 100.0;
};
Resolution renderResolution(const PageSize& size, unsigned int edge);

// Ghostscript's output of the page listing, one "@@page width height rotation" line per page and a
// final "@@end" line (other output, such as Ghostscript's warnings, is skipped). Sizes are
// returned after rotation; `complete` says whether "@@end" arrived.
std::vector<PageSize> parsePageListing(const std::string& output, bool* complete);

// A number in PostScript's syntax for the interpreter's arguments, independent of the locale.
std::string postScriptNumber(double value);

// Hit codes of a document's page-turning strips: previous page left, next page right, both
// W/8 wide and H/8 high around half height (cells of the W × H hit mask, from 0).
constexpr int kPreviousPageCode = 123;
constexpr int kNextPageCode = 124;
// The strip code at cell (x, y), or 0 outside both strips.
int pageStripCode(int x, int y, int width, int height);

} // namespace tavlor
