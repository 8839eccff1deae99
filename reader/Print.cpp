#include "Print.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "../content/Content.h"
#include "../content/IndexRecords.h"
#include "../platform/Utf16.h"
#include "../shell/AppState.h"
#include "../shell/Export.h"
#include "../shell/MainWindow.h"
#include "../views/PageWalk.h"
#include "../views/Palette.h"
#include "../views/TextMapping.h"
#include "LinkView.h"

namespace {

// The screen's default cell of 16 pixels prints as a 12.5 pt cell: type of about
// 10.5 pt in the faces the reader uses.
constexpr double kDefaultCellPoints = 12.5;
constexpr int kDefaultCellPixels = 16;
// Paper carries Hebrew as Unicode whatever the screen's base, so that a PDF's text
// is Hebrew text.
constexpr int32_t kUnicodeHebrewBase = 1488;
constexpr double kSideMarginMm = 18;
constexpr double kHeadMarginMm = 22;  // the title runs in it, as the page number in the foot's
constexpr double kFootMarginMm = 22;
const WCHAR kVendor[] = u"Velmora";

constexpr int kMostPageLinks = 64;

// Content buffers and views freed however the print ends: the strings and lists
// around them may run out of memory.
struct FreeContent {
    void operator()(BYTE* buffer) const { free(buffer); }
};
using ContentBuffer = std::unique_ptr<BYTE, FreeContent>;
struct DestroyView {
    void operator()(ArticleView* view) const { DestroyArticleView(view, TRUE); }
};
using OwnedView = std::unique_ptr<ArticleView, DestroyView>;

int MmToPixels(double mm, int resolution) { return (int)std::lround(mm * resolution / 25.4); }

bool IsHeadingLine(const ArticleLine& line) {
    return !IsSeparatorStyle(line.style) && (line.style & (kStyleLarge | kStyleBold));
}

bool IsHebrew(WCHAR unit) { return (unit >= 0x0590 && unit <= 0x05FF) || (unit >= 0xFB1D && unit <= 0xFB4F); }

// Stored text as the page shows it, in reading order.
std::u16string ShownText(const BYTE* text, int count, BYTE style) {
    SetRunBase(style);
    const WCHAR* mapped = MapText(text, count, &gMapping);
    std::u16string shown = mapped ? std::u16string(mapped) : std::u16string();
    ResetRunBase();
    std::u16string reading = ReadingTextOfRun(shown.data(), (int)shown.size());
    if (!reading.empty()) return reading;
    for (char16_t& unit : shown) unit = (char16_t)C1AsWindows1252(unit);
    return shown;
}

std::u16string ArticleTitle(const BYTE* article) {
    ArticleHeaderEntry title, subtitle;
    ReadArticleHeader(article, &title, &subtitle);
    return title.textLength ? ShownText(title.text, (int)title.textLength, title.style) : std::u16string();
}

struct DocumentLink {
    int page;
    RECT area;
    int article;
};

}  // namespace

// The document being painted: where pages stand and what its outline and links need.
struct PrintDocument {
    HDC dc;
    PrintPageArea area;
    FontSettings font;
    RECT body;  // where the article's rows go
    int page = 0;
    bool begun = false;  // the current page has been painted on
    std::vector<int> firstPage = std::vector<int>(kArticleCount + 1, -1);
    std::vector<DocumentLink> links;
    std::string* message;
};

namespace {

PrintDocument MakeDocument(HDC dc, const PrintPageArea& area, const PrintRequest& request, std::string* message) {
    PrintDocument doc{dc, area, request.font, {}, 0, false, {}, {}, message};
    doc.firstPage.assign(kArticleCount + 1, -1);
    int side = MmToPixels(kSideMarginMm, area.resolution);
    doc.body = {side, MmToPixels(kHeadMarginMm, area.resolution), area.width - side,
                area.height - MmToPixels(kFootMarginMm, area.resolution)};
    doc.font.size = PrintFontSize(request.font.size, area.resolution);
    doc.font.FontAsciiBase = kUnicodeHebrewBase;
    return doc;
}

int Fail(PrintDocument& doc, const std::string& message) {
    *doc.message = message;
    return 1;
}

// One line of small text centred across the body, its top at y.
void DrawCentred(ArticleView* view, const BYTE* text, int count, BYTE style, int y, int height) {
    int width = view->width;
    SetRunBase(style);
    MeasureText(view->surface, text, &width, &count);
    DrawTextRun(view->surface, text, count, view->left + (view->width - width) / 2, y, width, height);
    ResetRunBase();
}

// The article's title above the body and the page number below it.
void DrawPageFrame(PrintDocument& doc, ArticleView* view) {
    HFONT previous = SelectStyleFont(FontStateOf(view, false), kStyleSmall | kColourRequest);
    TEXTMETRICW metrics{};
    GetTextMetricsW(doc.dc, &metrics);
    int height = metrics.tmHeight;
    ArticleHeaderEntry title, subtitle;
    ReadArticleHeader(view->article, &title, &subtitle);
    if (title.textLength)
        DrawCentred(view, title.text, (int)title.textLength, kStyleSmall | (title.style & kStyleRtl),
                    doc.body.top - 2 * height, height);
    char number[16];
    int length = snprintf(number, sizeof number, "%d", doc.page + 1);
    DrawCentred(view, (const BYTE*)number, length, kStyleSmall, doc.body.bottom + height, height);
    RestoreFont(doc.dc, previous);
}

// The lines [*first, *end) that show part of the selection.
void SelectedLines(const ArticleView* view, const PrintRequest& request, int* first, int* end) {
    *first = view->lineCount;
    *end = 0;
    for (int i = 0; i < view->lineCount; i++) {
        const ArticleLine& line = view->lines[i];
        if (line.offset >= request.selectionEnd || ArticleLineEnd(view->article, line) <= request.selectionStart)
            continue;
        *first = std::min(*first, i);
        *end = i + 1;
    }
}

bool StartPage(PrintDocument& doc) {
    if (!doc.begun) return true;
    if (!NewPrintPage(doc.dc)) return false;
    doc.page++;
    doc.begun = false;
    return true;
}

// The page's cross-references become links to their articles' first pages.
void AddPageLinks(PrintDocument& doc, ArticleView* view) {
    TextLink links[kMostPageLinks];
    int count = VisibleLinks(view, links, kMostPageLinks);
    for (int i = 0; i < count; i++) {
        RECT area;
        int target = links[i].target;
        if (LinkArea(view, links[i], &area)) AddArticleLinks(&doc, &area, &target, 1);
    }
}

int PaintPages(PrintDocument& doc, ArticleView* view, int number, const std::vector<PrintPage>& pages) {
    for (const PrintPage& page : pages) {
        if (!StartPage(doc)) return Fail(doc, "the printer stopped taking pages");
        if (doc.firstPage[number] < 0) doc.firstPage[number] = doc.page;
        DrawPageFrame(doc, view);
        view->topRow = page.topRow;
        view->height = page.height;
        PaintArticleView(view, FALSE);
        AddPageLinks(doc, view);
        doc.begun = true;
    }
    return 0;
}

int PaintArticle(PrintDocument& doc, int number, const PrintRequest& request) {
    int status = 0;
    BYTE* article = LoadContent(number, &status);
    if (!article) return Fail(doc, "article " + std::to_string(number) + " cannot be loaded");
    ContentBuffer articleUntilLaidOut(article);
    OwnedView owned(CreateArticleView(doc.dc, &doc.body, &doc.font, kViewCapacity));
    ArticleView* view = owned.get();
    if (!view) return Fail(doc, "not enough memory to print");
    // Laying out hands the article to the view, which frees it.
    articleUntilLaidOut.release();
    int result = 0;
    std::vector<PrintPage> pages;
    int first = 0, end = 0;
    if (LayoutArticle(view, article, TRUE) != 0) {
        result = Fail(doc, "article " + std::to_string(number) + " cannot be laid out");
    } else {
        end = view->lineCount;
        if (request.scope == PrintScope::Selection) SelectedLines(view, request, &first, &end);
        if (!PlanPages(view, first, end, doc.body.bottom - doc.body.top, &pages))
            result = Fail(doc, "the page is too small for one line of text");
        else
            result = PaintPages(doc, view, number, pages);
    }
    return result;
}

// The index as the outline: each entry goes to its article's first page, a heading
// to the first article after it.
void AddIndexOutline(PrintDocument& doc) {
    int status = 0;
    ContentBuffer owned(LoadContent(kIndexContentNumber, &status));
    const BYTE* index = owned.get();
    if (!index) return;
    std::vector<IndexEntry> entries;
    IndexWalker walker = StartIndexWalk(index);
    IndexEntry entry;
    while (NextIndexEntry(&walker, &entry)) entries.push_back(entry);
    int page = doc.page;
    for (size_t i = entries.size(); i-- > 0;) {  // backwards, so a heading knows the page after it
        const IndexEntry& e = entries[i];
        int number = e.key & kKeyNumberMask;
        if ((e.key & kKeyLink) && number >= 1 && number <= kArticleCount && doc.firstPage[number] >= 0)
            page = doc.firstPage[number];
        entries[i].key = (uint16_t)page;  // reused as the entry's page from here on
    }
    for (const IndexEntry& e : entries)
        AddPrintOutlineEntry(doc.dc, ShownText(e.text, (int)e.textLength, e.style).c_str(), e.level - 1, e.key);
}

void AddArticleOutline(PrintDocument& doc, int number) {
    int status = 0;
    ContentBuffer article(LoadContent(number, &status));
    if (article) AddPrintOutlineEntry(doc.dc, ArticleTitle(article.get()).c_str(), 0, 0);
}

void AddDocumentLinks(PrintDocument& doc) {
    for (const DocumentLink& link : doc.links) {
        int target = doc.firstPage[link.article];
        if (target >= 0) AddPrintLink(doc.dc, link.page, link.area, target);
    }
}

int PaintScope(PrintDocument& doc, const PrintRequest& request) {
    if (request.scope != PrintScope::Handbook) return PaintArticle(doc, request.article, request);
    for (int number = 1; number <= kArticleCount; number++)
        if (int result = PaintArticle(doc, number, request)) return result;
    return 0;
}

}  // namespace

PrintDocumentInfo PrintInfoOf(const PrintRequest& request) {
    PrintDocumentInfo info;
    info.author = kVendor;
    info.paper = request.paper;
    info.title = u"Velun";
    info.subject = u"The Velun handbook";
    if (request.scope == PrintScope::Handbook) return info;
    int status = 0;
    ContentBuffer article(LoadContent(request.article, &status));
    if (article) info.title = ArticleTitle(article.get());
    info.subject += u", article " + Utf8ToUtf16(std::to_string(request.article));
    return info;
}

namespace {

struct PdfJob {
    const PrintRequest* request;
    std::string* message;
};

int PaintPdfJob(HDC dc, const PrintPageArea& area, void* context) {
    auto* job = (PdfJob*)context;
    SetPrintReadingText(dc, ReadingTextOfRun);
    return PaintPrintRequest(dc, area, *job->request, job->message);
}

}  // namespace

bool PlanPages(const ArticleView* view, int first, int end, int bodyHeight, std::vector<PrintPage>* pages) {
    pages->clear();
    int row = 0;
    for (int i = 0; i < first; i++) row += RowsOf(view->lines[i]);
    for (int i = first; i < end;) {
        int used = 0, j = i;
        for (; j < end && used + view->lines[j].height <= bodyHeight; j++)
            used += RowsOf(view->lines[j]) * view->lines[j].height;
        if (j == i) return false;
        if (j < end) {  // a heading goes over with the text it heads
            int k = j;
            while (k - 1 > i && IsHeadingLine(view->lines[k - 1])) k--;
            j = k;
        }
        PrintPage page = {(uint16_t)row, 0};
        for (; i < j; i++) {
            page.height += RowsOf(view->lines[i]) * view->lines[i].height;
            row += RowsOf(view->lines[i]);
        }
        pages->push_back(page);
    }
    return true;
}

int32_t PrintFontSize(int32_t readerSize, int resolution) {
    double pixels = readerSize > 0 ? readerSize : kDefaultCellPixels;
    return (int32_t)std::lround(kDefaultCellPoints * pixels / kDefaultCellPixels * resolution / 72);
}

std::u16string ReadingTextOfRun(const WCHAR* drawn, int count) {
    if ((gApp.Flags & kFlagReverse) || std::none_of(drawn, drawn + count, IsHebrew)) return {};
    std::u16string text(drawn, drawn + count);
    ReverseText(text.data(), count);
    RestoreNumbers(text.data(), text.size());
    for (char16_t& unit : text) unit = (char16_t)C1AsWindows1252(unit);
    return text;
}

int PaintPrintRequest(HDC dc, const PrintPageArea& area, const PrintRequest& request, std::string* message) {
    PrintDocument doc = MakeDocument(dc, area, request, message);
    if (doc.body.right - doc.body.left < doc.font.size || doc.body.bottom - doc.body.top < doc.font.size)
        return Fail(doc, "the page is too small for one line of text");
    // Paper is printed by day, with Hebrew as Unicode text.
    BOOL night = gNightReading;
    int32_t base = gApp.fontSettings.FontAsciiBase;
    gNightReading = FALSE;
    gApp.fontSettings.FontAsciiBase = kUnicodeHebrewBase;
    int result = PaintScope(doc, request);
    if (result == 0 && request.scope == PrintScope::Handbook) AddIndexOutline(doc);
    else if (result == 0) AddArticleOutline(doc, request.article);
    AddDocumentLinks(doc);
    gNightReading = night;
    gApp.fontSettings.FontAsciiBase = base;
    return result;
}

int WritePrintPdf(const char* path, const PrintRequest& request, std::string* message) {
    PdfJob job = {&request, message};
    int result = WritePdfDocument(path, PrintInfoOf(request), PaintPdfJob, &job);
    if (result == 1) *message = std::string("cannot write ") + path;
    return result == 0 ? 0 : 1;
}

void AddArticleLinks(PrintDocument* document, const RECT* areas, const int* articles, int count) {
    for (int i = 0; i < count; i++)
        if (articles[i] >= 1 && articles[i] <= kArticleCount)
            document->links.push_back({document->page, areas[i], articles[i]});
}
