#include "PdfFinish.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The objects of the file by number, each as the bytes from its "N 0 obj" to the
// next object (or the cross-reference table).
struct PdfFile {
    std::vector<std::string> objects;  // empty for free numbers
    std::string header;
    int info = 0, root = 0;
};

long NumberAt(const std::string& text, size_t at) {
    if (at >= text.size()) return -1;
    char* end = nullptr;
    long value = strtol(text.c_str() + at, &end, 10);
    return end == text.c_str() + at ? -1 : value;
}

// The number after key in text ("/Contents 8 0 R" gives 8), -1 when absent.
long NumberAfter(const std::string& text, const char* key) {
    size_t at = text.find(key);
    return at == std::string::npos ? -1 : NumberAt(text, at + strlen(key));
}

bool ReadFile(const std::string& pdf, PdfFile* file) {
    size_t start = pdf.rfind("startxref");
    if (start == std::string::npos) return false;
    long xref = NumberAt(pdf, start + 9);
    if (xref <= 0 || (size_t)xref >= start || pdf.compare(xref, 4, "xref") != 0) return false;
    unsigned first = 0, count = 0;
    if (sscanf(pdf.c_str() + xref + 4, " %u %u", &first, &count) != 2 || first != 0 || count > 1000000) return false;
    size_t line = pdf.find('\n', xref + 5);
    std::vector<std::pair<size_t, int>> offsets;  // offset, number
    for (unsigned i = 0; i < count; i++) {
        unsigned long offset = 0, generation = 0;
        char kind = 0;
        if (line == std::string::npos ||
            sscanf(pdf.c_str() + line + 1, "%lu %lu %c", &offset, &generation, &kind) != 3)
            return false;
        if (kind == 'n') {
            if (offset >= (size_t)xref) return false;
            offsets.push_back({offset, (int)i});
        }
        line = pdf.find('\n', line + 1);
    }
    if (offsets.empty()) return false;
    std::sort(offsets.begin(), offsets.end());
    file->objects.assign(count, std::string());
    for (size_t i = 0; i < offsets.size(); i++) {
        size_t end = i + 1 < offsets.size() ? offsets[i + 1].first : (size_t)xref;
        file->objects[offsets[i].second] = pdf.substr(offsets[i].first, end - offsets[i].first);
    }
    file->header = pdf.substr(0, offsets[0].first);
    std::string trailer = pdf.substr(xref);
    file->info = (int)NumberAfter(trailer, "/Info ");
    file->root = (int)NumberAfter(trailer, "/Root ");
    auto valid = [&](int n) { return n > 0 && (size_t)n < file->objects.size() && !file->objects[n].empty(); };
    return valid(file->info) && valid(file->root);
}

// The numbers of "N 0 R" references between '[' and ']' after key.
std::vector<int> ReferencesAfter(const std::string& text, const char* key) {
    std::vector<int> refs;
    size_t at = text.find(key);
    if (at == std::string::npos) return refs;
    size_t open = text.find('[', at), close = text.find(']', at);
    if (open == std::string::npos || close == std::string::npos || close < open) return refs;
    std::string list = text.substr(open + 1, close - open - 1);
    const char* p = list.c_str();
    char* end = nullptr;
    for (;;) {
        long number = strtol(p, &end, 10);
        if (end == p) break;
        strtol(end, &end, 10);  // generation
        while (*end == ' ' || *end == '\n') end++;
        if (*end != 'R') break;
        refs.push_back((int)number);
        p = end + 1;
    }
    return refs;
}

std::string HexText(const std::u16string& text) {
    std::string hex = "<FEFF";
    char unit[5];
    for (char16_t c : text) {
        snprintf(unit, sizeof unit, "%04X", (unsigned)c);
        hex += unit;
    }
    return hex + ">";
}

std::string Inflate(const std::string& data) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return {};
    // The stream's state is ended however this returns, memory running out included.
    struct Ender {
        z_stream* z;
        ~Ender() { inflateEnd(z); }
    } ender{&z};
    std::string out;
    char chunk[1 << 15];
    z.next_in = (Bytef*)data.data();
    z.avail_in = (uInt)data.size();
    int status = Z_OK;
    while (status == Z_OK) {
        z.next_out = (Bytef*)chunk;
        z.avail_out = sizeof chunk;
        status = inflate(&z, Z_NO_FLUSH);
        out.append(chunk, sizeof chunk - z.avail_out);
        if (status == Z_BUF_ERROR && z.avail_in == 0) break;
    }
    return status == Z_STREAM_END ? out : std::string();
}

std::string Deflate(const std::string& data) {
    uLongf size = compressBound((uLong)data.size());
    std::string out(size, '\0');
    if (compress((Bytef*)out.data(), &size, (const Bytef*)data.data(), (uLong)data.size()) != Z_OK) return {};
    out.resize(size);
    return out;
}

// Where the fill whose rectangle is at line starts: its colour and state lines
// ("/CSp cs ... scn", "/GSa gs") come before it. npos when they do not.
size_t FillStart(const std::string& content, size_t line) {
    static const char kColour[] = "/CSp cs ";
    size_t colour = content.rfind(kColour, line);
    if (colour == std::string::npos || (colour > 0 && content[colour - 1] != '\n')) return std::string::npos;
    size_t between = content.find('\n', colour);
    between = content.find('\n', between + 1);  // the "/GSa gs" line
    return between + 1 == line ? colour : std::string::npos;
}

bool IsRightToLeft(char16_t c) { return (c >= 0x0590 && c <= 0x08FF) || (c >= 0xFB1D && c <= 0xFDFF); }

bool IsLetterOrDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= 0xC0 && c < 0x0590);
}

// Text extractors that place a span's text across its glyphs from left to right
// and then turn each right-to-left stretch round for display (poppler's, on a page
// whose text is mostly left-to-right) would read the reading text backwards. They
// are given the text with each stretch of right-to-left words already turned
// round, so that their turning restores it. Such extractors end a stretch at
// punctuation as well as at Latin letters and digits, so a stretch here holds
// right-to-left letters and spaces only, and a left-to-right mark after it keeps
// what follows out of it.
std::u16string PlacedText(const std::u16string& text) {
    std::u16string placed;
    size_t at = 0;
    while (at < text.size()) {
        if (!IsRightToLeft(text[at])) {
            placed += text[at++];
            continue;
        }
        size_t last = at;
        for (size_t end = at; end < text.size() && (IsRightToLeft(text[end]) || text[end] == u' '); end++)
            if (IsRightToLeft(text[end])) last = end;
        placed.append(text.rbegin() + (text.size() - last - 1), text.rbegin() + (text.size() - at));
        at = last + 1;
        if (at < text.size() && !IsLetterOrDigit(text[at])) placed += u'\u200E';
    }
    return placed;
}

// Each marker square, "X Y 1 1 re\nf\n" with the colour and state lines before it,
// becomes the start or the end of a marked-content span carrying the run's reading
// text, and within it a span with the text as extractors that place it need it
// (see PlacedText); readers that follow the standard take the outer span's text
// for all it holds. Qt puts consecutive fills in one saved state, so the q and Q
// around them stay.
std::string MarkSpans(const std::string& content, const std::vector<PdfReadingSpan>& spans) {
    static const char kFill[] = " 1 1 re\nf\n";
    std::string out;
    size_t copied = 0;
    for (size_t at = content.find(kFill); at != std::string::npos; at = content.find(kFill, at + 1)) {
        size_t line = content.rfind('\n', at);
        line = line == std::string::npos ? 0 : line + 1;
        long x = 0, y = 0;
        if (sscanf(content.c_str() + line, "%ld %ld", &x, &y) != 2) continue;
        if (y != kPdfSpanStartY && y != kPdfSpanEndY) continue;
        size_t start = FillStart(content, line);
        if (start == std::string::npos || start < copied || x > -1 || (size_t)(-x - 1) >= spans.size()) continue;
        out.append(content, copied, start - copied);
        const std::u16string& text = spans[-x - 1].text;
        if (y == kPdfSpanStartY)
            out += "/Span <</ActualText " + HexText(text) + ">> BDC\n/Span <</ActualText " +
                   HexText(PlacedText(text)) + ">> BDC\n";
        else
            out += "EMC\nEMC\n";
        copied = at + strlen(kFill);
    }
    out.append(content, copied, std::string::npos);
    return out;
}

// A page's content stream with its spans marked; the object unchanged when it has
// no marker or is not a stream Qt wrote.
std::string MarkContentObject(const std::string& object, int number, const std::vector<PdfReadingSpan>& spans) {
    size_t data = object.find("stream\n");
    size_t end = object.rfind("endstream");
    if (data == std::string::npos || end == std::string::npos || end < data + 7) return object;
    if (object.find("/FlateDecode") > data) return object;
    std::string content = Inflate(object.substr(data + 7, end - data - 7));
    if (content.empty()) return object;
    std::string marked = MarkSpans(content, spans);
    if (marked == content) return object;
    std::string packed = Deflate(marked);
    if (packed.empty()) return object;
    return std::to_string(number) + " 0 obj\n<<\n/Length " + std::to_string(packed.size()) +
           "\n/Filter /FlateDecode\n>>\nstream\n" + packed + "\nendstream\nendobj\n";
}

// Entries added right after the opening "<<" of an object's dictionary.
void AddEntries(std::string& object, const std::string& entries) {
    size_t open = object.find("<<");
    if (open != std::string::npos) object.insert(open + 2, "\n" + entries);
}

std::string Dest(const std::vector<int>& pages, int page) {
    page = std::clamp(page, 0, (int)pages.size() - 1);
    return "[" + std::to_string(pages[page]) + " 0 R /XYZ null null null]";
}

std::string Ref(int number) { return std::to_string(number) + " 0 R"; }

// The outline as objects numbered from next; the first is its root.
std::vector<std::string> OutlineObjects(const std::vector<PdfOutlineEntry>& entries, const std::vector<int>& pages,
                                        int next) {
    int n = (int)entries.size();
    std::vector<int> parent(n, -1);
    std::vector<std::vector<int>> children(n + 1);  // children[n]: the top level
    std::vector<int> open;                          // the chain of entries above the next one
    for (int i = 0; i < n; i++) {
        while (!open.empty() && entries[open.back()].depth >= entries[i].depth) open.pop_back();
        parent[i] = open.empty() ? -1 : open.back();
        children[open.empty() ? n : open.back()].push_back(i);
        open.push_back(i);
    }
    auto id = [&](int i) { return i < 0 || i == n ? next : next + 1 + i; };
    auto links = [&](const std::vector<int>& kids, bool closed) {
        if (kids.empty()) return std::string();
        return "/First " + Ref(id(kids.front())) + " /Last " + Ref(id(kids.back())) + " /Count " +
               std::to_string(closed ? -(int)kids.size() : (int)kids.size()) + " ";
    };
    std::vector<std::string> objects;
    objects.push_back("<< /Type /Outlines " + links(children[n], false) + ">>");
    for (int i = 0; i < n; i++) {
        const std::vector<int>& siblings = children[parent[i] < 0 ? n : parent[i]];
        size_t place = std::find(siblings.begin(), siblings.end(), i) - siblings.begin();
        std::string item = "<< /Title " + HexText(entries[i].text) + " /Parent " + Ref(id(parent[i])) + " ";
        if (place > 0) item += "/Prev " + Ref(id(siblings[place - 1])) + " ";
        if (place + 1 < siblings.size()) item += "/Next " + Ref(id(siblings[place + 1])) + " ";
        item += links(children[i], true) + "/Dest " + Dest(pages, entries[i].page) + " >>";
        objects.push_back(item);
    }
    return objects;
}

// The page's height in points, from its media box.
double PageHeight(const std::string& page) {
    size_t box = page.find("/MediaBox");
    double x0, y0, x1, y1;
    if (box == std::string::npos || sscanf(page.c_str() + box + 9, " [%lf %lf %lf %lf", &x0, &y0, &x1, &y1) != 4)
        return 842;
    return y1;
}

std::string LinkObject(const PdfLink& link, const std::vector<int>& pages, double scale, double height) {
    char rect[128];
    snprintf(rect, sizeof rect, "[%.2f %.2f %.2f %.2f]", link.area.left * scale, height - link.area.bottom * scale,
             link.area.right * scale, height - link.area.top * scale);
    return std::string("<< /Type /Annot /Subtype /Link /Rect ") + rect + " /Border [0 0 0] /Dest " +
           Dest(pages, link.targetPage) + " >>";
}

std::string Write(const PdfFile& file, const std::vector<std::string>& added) {
    std::string out = file.header;
    std::vector<size_t> offsets;
    for (const std::string& object : file.objects) {
        offsets.push_back(object.empty() ? 0 : out.size());
        out += object;
    }
    int number = (int)file.objects.size();
    for (const std::string& object : added) {
        offsets.push_back(out.size());
        out += std::to_string(number++) + " 0 obj\n" + object + "\nendobj\n";
    }
    size_t xref = out.size();
    out += "xref\n0 " + std::to_string(offsets.size()) + "\n";
    char entry[32];
    for (size_t i = 0; i < offsets.size(); i++) {
        if (offsets[i]) snprintf(entry, sizeof entry, "%010zu 00000 n \n", offsets[i]);
        else snprintf(entry, sizeof entry, "%010u 65535 f \n", 0u);
        out += entry;
    }
    out += "trailer\n<<\n/Size " + std::to_string(offsets.size()) + "\n/Info " + Ref(file.info) + "\n/Root " +
           Ref(file.root) + "\n>>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return out;
}

}  // namespace

std::string FinishPdf(const std::string& pdf, const PdfExtras& extras) {
    PdfFile file;
    if (!ReadFile(pdf, &file)) return {};
    long pagesObject = NumberAfter(file.objects[file.root], "/Pages ");
    if (pagesObject <= 0 || (size_t)pagesObject >= file.objects.size()) return {};
    std::vector<int> pages = ReferencesAfter(file.objects[pagesObject], "/Kids");
    for (int page : pages)
        if (page <= 0 || (size_t)page >= file.objects.size() || file.objects[page].empty()) return {};
    if (pages.empty()) return {};

    AddEntries(file.objects[file.info],
               "/Author " + HexText(extras.author) + "\n/Subject " + HexText(extras.subject));
    for (int page : pages) {
        long content = NumberAfter(file.objects[page], "/Contents ");
        if (content > 0 && (size_t)content < file.objects.size())
            file.objects[content] = MarkContentObject(file.objects[content], (int)content, extras.spans);
    }
    int next = (int)file.objects.size();
    std::vector<std::string> added;
    if (!extras.outline.empty()) {
        AddEntries(file.objects[file.root], "/Outlines " + Ref(next) + "\n/PageMode /UseOutlines");
        added = OutlineObjects(extras.outline, pages, next);
    }
    double scale = 72.0 / extras.resolution;
    std::vector<std::vector<int>> annots(pages.size());
    for (const PdfLink& link : extras.links) {
        if (link.page < 0 || link.page >= (int)pages.size()) continue;
        annots[link.page].push_back(next + (int)added.size());
        added.push_back(LinkObject(link, pages, scale, PageHeight(file.objects[pages[link.page]])));
    }
    for (size_t i = 0; i < pages.size(); i++) {
        long list = NumberAfter(file.objects[pages[i]], "/Annots ");
        if (annots[i].empty() || list <= 0 || (size_t)list >= file.objects.size()) continue;
        std::string refs;
        for (int a : annots[i]) refs += Ref(a) + " ";
        file.objects[list] = std::to_string(list) + " 0 obj\n[ " + refs + "]\nendobj\n";
    }
    return Write(file, added);
}
