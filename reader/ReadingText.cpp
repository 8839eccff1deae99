// The reading text of the article and where its characters stand on the page.
#include "ReadingText.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "../content/ArticleRecords.h"
#include "../platform/Utf16.h"
#include "../shell/AppState.h"
#include "../shell/Export.h"
#include "../views/PageWalk.h"
#include "../views/TextMapping.h"

namespace {

// A paragraph's text at reading offsets [start, start + length), its line ends after.
struct Paragraph {
    int start, length, lineEnds;
    bool rtl;
};

struct Reading {
    const BYTE* article = nullptr;
    uint16_t number = 0;
    uint32_t flags = 0;
    int32_t base = 0;
    std::u16string text;
    std::vector<int32_t> articleAt;  // per reading unit; a line end holds its record's text end
    std::vector<int32_t> readingAt;  // per article byte; -1 outside the records' texts
    std::vector<Paragraph> paragraphs;
};

Reading gReading;

// A record's units in reading order, and the place in the record each came from.
// Unicode Hebrew is turned to reading order as Copy turns it.
void RecordUnits(const ArticleRecord& record, std::u16string* units, std::vector<uint16_t>* order) {
    int n = (int)record.textLength;
    order->resize(n);
    for (int i = 0; i < n; i++) (*order)[i] = (uint16_t)i;
    if (!(record.style & kStyleRtl) || IsSeparatorStyle(record.style)) {
        for (int i = 0; i < n; i++) units->push_back((char16_t)C1AsWindows1252(record.text[i]));
        return;
    }
    uint32_t flags = gApp.Flags;
    if (IsUnicodeHebrewBase(gApp.fontSettings.FontAsciiBase)) gApp.Flags ^= kFlagReverse;
    SetRunBase(record.style);
    WCHAR* mapped = MapText(record.text, n, &gMapping);
    bool reversed = MapReverses(&gMapping);
    ResetRunBase();
    gApp.Flags = flags;
    if (!mapped) throw std::bad_alloc();
    if (reversed) {
        std::reverse(order->begin(), order->end());
        RestoreNumbers(mapped, n, order->data());
    }
    for (int i = 0; i < n; i++) units->push_back(mapped[i] ? (char16_t)C1AsWindows1252(mapped[i]) : u'\uFFFD');
}

void Build(Reading& r, const BYTE* article) {
    r.text.clear();
    r.articleAt.clear();
    r.paragraphs.clear();
    r.readingAt.clear();
    ArticleWalker walker = StartArticleWalk(article);
    ArticleRecord record;
    std::u16string units;
    std::vector<uint16_t> order;
    while (NextArticleRecord(&walker, &record)) {
        int textStart = (int)(record.text - article);
        int textEnd = textStart + (int)record.textLength;
        if ((int)r.readingAt.size() <= textEnd) r.readingAt.resize(textEnd + 1, -1);
        units.clear();
        // A rule is no text, only its own empty line.
        if (!IsSeparatorStyle(record.style)) RecordUnits(record, &units, &order);
        int start = (int)r.text.size();
        for (int i = 0; i < (int)units.size(); i++) {
            r.readingAt[textStart + order[i]] = start + i;
            r.articleAt.push_back(textStart + order[i]);
        }
        r.text += units;
        r.readingAt[textEnd] = (int)r.text.size();
        int lineEnds = (record.style & kStyleBlankAfter) ? 2 : 1;
        r.text.append(lineEnds, u'\n');
        r.articleAt.insert(r.articleAt.end(), lineEnds, textEnd);
        r.paragraphs.push_back({start, (int)units.size(), lineEnds, (record.style & kStyleRtl) != 0});
    }
}

const Reading* ReadingOf(const ArticleView* view) {
    if (!view || !view->article) return nullptr;
    Reading& r = gReading;
    if (r.article == view->article && r.number == gApp.currentArticle && r.flags == gApp.Flags &&
        r.base == gApp.fontSettings.FontAsciiBase && !r.paragraphs.empty())
        return &r;
    try {
        Build(r, view->article);
    } catch (const std::bad_alloc&) {
        r = Reading{};
        return nullptr;
    }
    r.article = view->article;
    r.number = gApp.currentArticle;
    r.flags = gApp.Flags;
    r.base = gApp.fontSettings.FontAsciiBase;
    return &r;
}

// ---- Where the characters of a shown line stand ----

int Extent(HDC surface, const WCHAR* units, int n) {
    SIZE size = {0, 0};
    if (n > 0) GetTextExtentPoint32W(surface, units, n, &size);
    return size.cx;
}

// Cells of count bytes drawn from x as one run, mapped at the line's base or at rest.
void RunCells(HDC surface, const BYTE* bytes, int count, BYTE style, int x, int y, int height, RECT* cells) {
    if (count <= 0) return;
    if (style) SetRunBase(style);
    const WCHAR* mapped = MapText(bytes, count, &gMapping);
    bool reversed = MapReverses(&gMapping);
    ResetRunBase();
    if (!mapped) return;
    for (int i = 0; i < count; i++) {
        int v = reversed ? count - 1 - i : i;  // the place the byte is drawn at
        cells[i] = {x + Extent(surface, mapped, v), y, x + Extent(surface, mapped, v + 1), y + height};
    }
}

// Cells for the article offsets [line.offset, ArticleLineEnd) of a shown line at y;
// the spaces between a label and its run take the gap between them.
std::vector<RECT> LineCells(ArticleView* view, const ArticleLine& line, int y) {
    const BYTE* article = view->article;
    int end = ArticleLineEnd(article, line);
    std::vector<RECT> cells(std::max(end - (int)line.offset, 0), RECT{0, 0, 0, 0});
    if (cells.empty()) return cells;
    HFONT previous = SelectStyleFont(FontStateOf(view, false), line.style);
    const BYTE* run = MainRun(article, line);
    int runAt = (int)(run - article) - line.offset;
    RunCells(view->surface, run, line.count, line.style, line.x, y, line.height, &cells[runAt]);
    if (line.hang) {
        bool rtl = (line.style & kStyleRtl) != 0;
        const BYTE* label = rtl ? SkipSpaces(run + line.count + WordLength(run + line.count)) : article + line.offset;
        int labelAt = (int)(label - article) - line.offset;
        int length = rtl ? (int)strlen((const char*)label) : WordLength(label);
        int labelX = line.x - line.hang;
        if (rtl) {
            MapText(label, length, &gMapping);
            labelX = line.x + line.width + line.hang - Extent(view->surface, gMapping.buffer, length);
        }
        RunCells(view->surface, label, length, 0, labelX, y, line.height, &cells[labelAt]);
        int gapFrom = rtl ? runAt + line.count : labelAt + length, gapTo = rtl ? labelAt : runAt;
        int left = rtl ? line.x + line.width : (length ? cells[labelAt + length - 1].right : labelX);
        int right = rtl ? labelX : line.x;
        for (int i = gapFrom; i < gapTo; i++) cells[i] = {left, y, std::max(left, right), y + line.height};
    }
    RestoreFont(view->surface, previous);
    return cells;
}

}  // namespace

const std::u16string* ReadingTextOf(const ArticleView* view) {
    const Reading* r = ReadingOf(view);
    return r ? &r->text : nullptr;
}

int ReadingOffset(const ArticleView* view, int articleOffset) {
    const Reading* r = ReadingOf(view);
    if (!r || articleOffset < 0 || articleOffset >= (int)r->readingAt.size()) return -1;
    return r->readingAt[articleOffset];
}

int ArticleOffset(const ArticleView* view, int readingOffset) {
    const Reading* r = ReadingOf(view);
    if (!r || readingOffset < 0 || readingOffset > (int)r->articleAt.size()) return -1;
    if (readingOffset == (int)r->articleAt.size()) return r->articleAt.empty() ? 0 : r->articleAt.back();
    return r->articleAt[readingOffset];
}

void ReadingSpan(const ArticleView* view, int from, int to, int* start, int* end) {
    const Reading* r = ReadingOf(view);
    *start = *end = -1;
    int low = INT32_MAX, high = -1;
    for (int a = std::max(from, 0); r && a < std::min(to, (int)r->readingAt.size()); a++)
        if (r->readingAt[a] >= 0) {
            low = std::min(low, r->readingAt[a]);
            high = std::max(high, r->readingAt[a] + 1);
        }
    if (high < 0) {  // an empty range is a caret place
        *start = *end = ReadingOffset(view, from);
        return;
    }
    *start = low;
    *end = high;
}

void ArticleSpan(const ArticleView* view, int start, int end, int* from, int* to) {
    const Reading* r = ReadingOf(view);
    int low = INT32_MAX, high = -1;
    for (int t = std::max(start, 0); r && t < std::min(end, (int)r->articleAt.size()); t++) {
        low = std::min(low, r->articleAt[t]);
        high = std::max(high, r->articleAt[t] + 1);
    }
    if (high < 0) {
        *from = *to = ArticleOffset(view, start);
        return;
    }
    *from = low;
    *to = high;
}

bool ReadingRun(const ArticleView* view, int readingOffset, AccessibleTextRun* run) {
    const Reading* r = ReadingOf(view);
    if (!r) return false;
    for (const Paragraph& p : r->paragraphs) {
        if (readingOffset < p.start || readingOffset >= p.start + p.length + p.lineEnds) continue;
        *run = {p.start, p.start + p.length + p.lineEnds, p.rtl ? "he" : "en", p.rtl, CLR_INVALID};
        return true;
    }
    return false;
}

// Without memory for a line's cells no character is found: painting the caret
// and the screen reader's questions go on without it.
bool CharacterCell(ArticleView* view, int articleOffset, RECT* cell) {
    if (!view || !view->article || !view->lines) return false;
    for (PageWalk walk = FirstVisibleLine(view); Fits(walk); Advance(walk)) {
        const ArticleLine& line = *walk.line;
        if (IsSeparatorStyle(line.style) || articleOffset < line.offset ||
            articleOffset >= ArticleLineEnd(view->article, line))
            continue;
        try {
            *cell = LineCells(view, line, walk.y)[articleOffset - line.offset];
        } catch (const std::bad_alloc&) {
            return false;
        }
        return true;
    }
    return false;
}

int CharacterAt(ArticleView* view, int x, int y) {
    if (!view || !view->article || !view->lines) return -1;
    for (PageWalk walk = FirstVisibleLine(view); Fits(walk); Advance(walk)) {
        const ArticleLine& line = *walk.line;
        if (IsSeparatorStyle(line.style) || y < walk.y || y >= walk.y + line.height) continue;
        try {
            std::vector<RECT> cells = LineCells(view, line, walk.y);
            for (int i = 0; i < (int)cells.size(); i++)
                if (x >= cells[i].left && x < cells[i].right) return line.offset + i;
        } catch (const std::bad_alloc&) {
        }
        return -1;
    }
    return -1;
}
