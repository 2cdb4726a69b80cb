// Writes the bundled sample documents, drawn here in PostScript, and turns the PDF ones into PDF
// with Ghostscript's own PDF writer:
//
//   nprtable_docgen DOCUMENT_DIR [FIXTURE_DIR]
//
// DOCUMENT_DIR receives "sample.pdf" (four pages: A4 portrait, A4 landscape, A4 portrait shown
// turned by /Rotate 90, A5 portrait) and "sample.ps" (two US Letter pages). FIXTURE_DIR, when
// given, receives the broken documents the tests feed to documents: "encrypted.pdf" (needs a
// password), "truncated.pdf" (the sample cut in half), "no-pages.pdf", "not-a-document.pdf"
// (plain text) and "failing.ps" (its second page stops with an error while it is rendered).

#include <cstddef>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

using std::size_t;
#include <ghostscript/iapi.h>

namespace {

// One page: size in points, its heading, a colour for the band, and an optional /Rotate.
struct Page {
    int width;
    int height;
    const char* heading;
    const char* colour; // "r g b"
    int rotate;
};

std::string pageProgram(const Page& page, int number)
{
    std::ostringstream ps;
    const int w = page.width, h = page.height;
    ps << "<< /PageSize [" << w << " " << h << "] >> setpagedevice\n";
    if (page.rotate) ps << "[ /Rotate " << page.rotate << " /PAGE pdfmark\n";
    // Frame, coloured band at the top, heading, page number and an arrow that points up the page.
    ps << "0.2 setgray 4 setlinewidth 24 24 " << w - 48 << " " << h - 48 << " rectstroke\n";
    ps << page.colour << " setrgbcolor 24 " << h - 160 << " " << w - 48 << " 136 rectfill\n";
    ps << "1 setgray /Helvetica-Bold findfont 44 scalefont setfont 48 " << h - 110
       << " moveto (" << page.heading << ") show\n";
    ps << "0 setgray /Helvetica findfont 22 scalefont setfont 48 " << h - 210
       << " moveto (Page " << number << " of the nprtable sample) show\n";
    ps << "48 " << h - 246 << " moveto (" << w << " x " << h << " points"
       << (page.rotate ? ", turned by /Rotate" : "") << ") show\n";
    ps << "0.85 0.3 0.1 setrgbcolor newpath " << w / 2 - 40 << " 80 moveto " << w / 2 + 40
       << " 80 lineto " << w / 2 + 40 << " " << h / 2 - 40 << " lineto " << w / 2 + 90 << " "
       << h / 2 - 40 << " lineto " << w / 2 << " " << h / 2 + 60 << " lineto " << w / 2 - 90
       << " " << h / 2 - 40 << " lineto " << w / 2 - 40 << " " << h / 2 - 40
       << " lineto closepath fill\n";
    ps << "0 setgray /Helvetica-Bold findfont 120 scalefont setfont " << w - 150 << " 60 moveto ("
       << number << ") show\n";
    ps << "showpage\n";
    return ps.str();
}

std::string documentProgram(const std::vector<Page>& pages)
{
    std::string ps = "%!PS-Adobe-3.0\n%%Pages: " + std::to_string(pages.size()) + "\n";
    for (size_t i = 0; i < pages.size(); ++i) ps += pageProgram(pages[i], static_cast<int>(i + 1));
    return ps;
}

bool writeFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary);
    out << content;
    return static_cast<bool>(out);
}

// Ghostscript's PDF writer, with extra arguments (passwords) before the input.
bool toPdf(const std::string& input, const std::string& output,
           std::vector<std::string> extra = {})
{
    std::vector<std::string> args = {"docgen", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-dQUIET",
                                     "-sDEVICE=pdfwrite", "-dAutoRotatePages=/None",
                                     "-sOutputFile=" + output};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back("-f");
    args.push_back(input);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    void* gs = nullptr;
    if (gsapi_new_instance(&gs, nullptr) < 0) return false;
    int code = gsapi_init_with_args(gs, static_cast<int>(argv.size()), argv.data());
    const int exitCode = gsapi_exit(gs);
    gsapi_delete_instance(gs);
    if (code == -101) code = 0;
    return code == 0 && exitCode == 0;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: nprtable_docgen DOCUMENT_DIR [FIXTURE_DIR]" << std::endl;
        return 2;
    }
    const std::string dir = argv[1];
    const std::vector<Page> pdfPages = {
        {595, 842, "Portrait", "0.15 0.35 0.65", 0},
        {842, 595, "Landscape", "0.2 0.55 0.3", 0},
        {595, 842, "Rotated page", "0.6 0.2 0.45", 90},
        {420, 595, "A5", "0.75 0.5 0.1", 0},
    };
    const std::vector<Page> psPages = {
        {612, 792, "PostScript", "0.1 0.45 0.55", 0},
        {612, 792, "Second page", "0.55 0.3 0.2", 0},
    };
    const std::string source = dir + "/sample-source.ps";
    bool ok = writeFile(source, documentProgram(pdfPages)) && toPdf(source, dir + "/sample.pdf") &&
              writeFile(dir + "/sample.ps", documentProgram(psPages));
    if (ok && argc > 2) {
        const std::string fixtures = argv[2];
        const std::string pdf = readFile(dir + "/sample.pdf");
        ok = toPdf(source, fixtures + "/encrypted.pdf",
                   {"-sOwnerPassword=owner", "-sUserPassword=reader", "-dEncryptionR=3",
                    "-dKeyLength=128"}) &&
             writeFile(fixtures + "/truncated.pdf", pdf.substr(0, pdf.size() / 2)) &&
             writeFile(fixtures + "/no-pages.pdf",
                       "%PDF-1.4\n1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj\n"
                       "2 0 obj << /Type /Pages /Kids [] /Count 0 >> endobj\n"
                       "trailer << /Root 1 0 R >>\n%%EOF\n") &&
             writeFile(fixtures + "/not-a-document.pdf", "These are notes, not a document.\n") &&
             writeFile(fixtures + "/failing.ps",
                       "%!PS\n" + pageProgram(psPages[0], 1) +
                           "0.5 setgray 0 0 300 300 rectfill\n"
                           "currentpagedevice /Name get (display) eq { nosuchoperator } if\n"
                           "showpage\n" +
                           pageProgram(psPages[1], 3));
    }
    std::remove(source.c_str());
    if (!ok) {
        std::cerr << "nprtable_docgen: could not write the sample documents" << std::endl;
        return 1;
    }
    return 0;
}
