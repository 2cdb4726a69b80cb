#include "DocumentFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/stat.h>

namespace tavlor {

namespace {

bool contains(const std::string& text, const char* what)
{
    return text.find(what) != std::string::npos;
}

bool parseDouble(const std::string& token, double* value)
{
    const char* begin = token.data();
    const char* end = begin + token.size();
    auto result = std::from_chars(begin, end, *value);
    return result.ec == std::errc() && result.ptr == end;
}

} // namespace

DocumentFacts inspectDocument(const std::string& path)
{
    DocumentFacts facts;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        facts.kind = errno == ENOENT || errno == ENOTDIR ? DocumentKind::Missing
                                                         : DocumentKind::Unreadable;
        return facts;
    }
    if (!S_ISREG(info.st_mode)) {
        facts.kind = DocumentKind::NotADocument;
        return facts;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        facts.kind = DocumentKind::Unreadable;
        return facts;
    }
    // Documents are read whole by Ghostscript anyway; the body is needed to look for /Encrypt.
    const std::string content((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
    const std::string head = content.substr(0, 1024);
    if (contains(head, "%PDF-")) {
        facts.kind = DocumentKind::Pdf;
        const std::string tail =
            content.size() > 1024 ? content.substr(content.size() - 1024) : content;
        facts.truncated = !contains(tail, "%%EOF");
        facts.encrypted = contains(content, "/Encrypt");
    } else if (head.compare(0, 2, "%!") == 0 || head.compare(0, 4, "\xC5\xD0\xD3\xC6") == 0) {
        facts.kind = DocumentKind::PostScript;
    } else {
        facts.kind = DocumentKind::NotADocument;
    }
    return facts;
}

PageSize pageSizeAfterRotation(double width, double height, double rotation)
{
    double r = std::fmod(rotation, 360.0);
    if (r < 0) r += 360.0;
    if (std::fabs(r - 90.0) <= 10.0 || std::fabs(r - 270.0) <= 10.0) std::swap(width, height);
    return {width, height};
}

Resolution renderResolution(const PageSize& size, unsigned int edge)
{
    Resolution r;
    if (size.width > 0) r.x = edge * 72.0 / size.width;
    if (size.height > 0) r.y = edge * 72.0 / size.height;
    return r;
}

std::vector<PageSize> parsePageListing(const std::string& output, bool* complete)
{
    std::vector<PageSize> pages;
    bool ended = false;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t at = line.find("@@");
        if (at == std::string::npos) continue;
        std::istringstream fields(line.substr(at));
        std::string tag, w, h, r;
        fields >> tag;
        if (tag == "@@end") {
            ended = true;
            continue;
        }
        if (tag != "@@page" || !(fields >> w >> h >> r)) continue;
        double width = 0, height = 0, rotation = 0;
        if (!parseDouble(w, &width) || !parseDouble(h, &height) || !parseDouble(r, &rotation))
            continue;
        pages.push_back(pageSizeAfterRotation(std::fabs(width), std::fabs(height), rotation));
    }
    if (complete) *complete = ended;
    return pages;
}

std::string postScriptNumber(double value)
{
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    return std::string(buffer, result.ptr);
}

int pageStripCode(int x, int y, int width, int height)
{
    if (y < height / 2 - height / 16 || y >= height / 2 + height / 16) return 0;
    if (x < width / 8) return kPreviousPageCode;
    if (x >= width - width / 8) return kNextPageCode;
    return 0;
}

} // namespace tavlor
