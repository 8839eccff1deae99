// Painting the visible rows of the article view, and the search hit over them.
#include <algorithm>
#include <cstring>

#include "../content/ArticleRecords.h"
#include "ArticleView.h"
#include "PageWalk.h"
#include "Palette.h"
#include "TextMapping.h"

namespace {

// A span of the article drawn in its own colours: the search hit, or the selection.
struct LitRange {
    int start, end;
    COLORREF text, background;
};

LitRange HitRange(const ArticleView* view) {
    const ViewPalette& palette = ActivePalette();
    return {view->hitStart, view->hitEnd, palette.hitText, palette.hitBackground};
}

LitRange SelectionRange(const ArticleView* view) {
    return {view->selectionStart, view->selectionEnd, (COLORREF)GetSysColor(COLOR_HIGHLIGHTTEXT),
            (COLORREF)GetSysColor(COLOR_HIGHLIGHT)};
}

// rowHeight: the text is centred in a row that tall, as painting centres it; 0 for
// the text's own height.
void LightRun(ArticleView* view, const BYTE* article, const LitRange& range, const BYTE* runStart, int runLength,
              int x, int y, int rowHeight);


// The label of a right-to-left hanging line stands after its run in stored order
// and reaches to the end of the record.
const BYTE* RtlLabel(const BYTE* article, const ArticleLine& line) {
    const BYTE* label = article + line.offset + line.count;
    return SkipSpaces(label + WordLength(label));
}

// Right-aligned against the right end of the hanging area; measured unmapped.
void DrawRtlLabel(ArticleView* view, const ArticleLine& line, int y, const LitRange* lit) {
    const BYTE* label = RtlLabel(view->article, line);
    int count = (int)strlen((const char*)label);
    int width = line.hang;
    ResetRunBase();
    MeasureText(view->surface, label, &width, &count);
    int x = line.x + line.width + line.hang - width;
    SetRunBase(line.style);
    if (lit)
        DrawTextRunColored(view->surface, label, count, x, y, width, line.height, lit->text, lit->background);
    else
        DrawTextRun(view->surface, label, count, x, y, width, line.height);
    ResetRunBase();
}

void DrawRule(HDC surface, const ArticleLine& line, int y) {
    int middle = y + line.height / 2;
    if (gNightReading) {
        RECT rule = {line.x, middle, line.x + line.width, middle + 1};
        FillColourRect(surface, &rule, kNightPalette.rule);
        return;
    }
    HGDIOBJ previous = SelectObject(surface, GetStockObject(BLACK_BRUSH));
    Rectangle(surface, line.x, middle, line.x + line.width, middle + 1);
    SelectObject(surface, previous);
}

void DrawLine(ArticleView* view, const ArticleLine& line, int y) {
    const BYTE* text = view->article + line.offset;
    bool rtl = line.style & kStyleRtl;
    if (line.hang && !rtl) {
        int labelLength = WordLength(text);
        int count = labelLength;
        int width = line.hang;
        MeasureText(view->surface, text, &width, &count);
        DrawTextRun(view->surface, text, count, line.x - line.hang, y, width, line.height);
        text = SkipSpaces(text + labelLength);
    } else if (line.hang) {
        DrawRtlLabel(view, line, y, nullptr);
    }
    SetRunBase(line.style);
    DrawTextRun(view->surface, text, line.count, line.x, y, line.width, line.height);
    ResetRunBase();
}

void HighlightLine(ArticleView* view, const LitRange& range, const ArticleLine& line, int y) {
    const BYTE* text = view->article + line.offset;
    bool rtl = line.style & kStyleRtl;
    if (line.hang && !rtl) {
        int labelLength = WordLength(text);
        LightRun(view, view->article, range, text, labelLength, line.x - line.hang, y, line.height);
        text = SkipSpaces(text + labelLength);
    } else if (line.hang) {
        DrawRtlLabel(view, line, y, &range);
    }
    SetRunBase(line.style);
    LightRun(view, view->article, range, text, line.count, line.x, y, line.height);
    ResetRunBase();
}

// Extent of the first n units of the text mapped from `start` to the end of its record.
SIZE PrefixExtent(HDC surface, const BYTE* start, int n) {
    SIZE size = {0, 0};
    int length = (int)strlen((const char*)start);
    const WCHAR* text = MapText(start, length, &gMapping);
    if (text) GetTextExtentPoint32W(surface, text, std::min(n, length), &size);
    return size;
}

bool CanPaint(const ArticleView* view) { return view && view->article && view->lines; }

// Redraws the visible text inside the range in its colours.
void LightVisible(ArticleView* view, const LitRange& range) {
    ViewFontState fonts = FontStateOf(view, false);
    PageWalk walk = FirstVisibleLine(view);
    BYTE style = IsSeparatorStyle(walk.line->style) ? kStylePlain : walk.line->style;
    HFONT previous = SelectStyleFont(fonts, style);
    for (; Fits(walk); Advance(walk)) {
        const ArticleLine& line = *walk.line;
        if (IsSeparatorStyle(line.style)) continue;
        if (range.end < line.offset || range.start > ArticleLineEnd(view->article, line)) continue;
        if ((line.style ^ style) & kFontKeyMask) SelectStyleFont(fonts, line.style);
        style = line.style;
        HighlightLine(view, range, line, walk.y);
    }
    RestoreFont(view->surface, previous);
}

void LightRun(ArticleView* view, const BYTE* article, const LitRange& range, const BYTE* runStart, int runLength,
              int x, int y, int rowHeight) {
    int n = runLength;
    int shift = 0;
    int f = range.start - (int)(runStart - article);
    if (f >= 0) {
        n -= f;
        if (n < 0) return;
        shift = PrefixExtent(view->surface, runStart, f).cx;
        runStart += f;
    }
    int m = std::min(range.end - (int)(runStart - article), n);
    if (m < 1) return;
    SIZE size = PrefixExtent(view->surface, runStart, m);
    DrawTextRunColored(view->surface, runStart, m, x + shift, y, size.cx, std::max<int>(size.cy, rowHeight), range.text,
                       range.background);
}

void LightOtherHits(ArticleView* view) {
    const ViewPalette& palette = ActivePalette();
    for (int i = 0; view->otherHits && i < view->otherHitCount; i++) {
        int start = view->otherHits[i];
        if (start != view->hitStart) LightVisible(view, {start, start + view->otherHitLength, palette.text, palette.otherHitBackground});
    }
}

}  // namespace

int ArticleLineEnd(const BYTE* article, const ArticleLine& line) {
    if (!line.hang) return line.offset + line.count;
    if (line.style & kStyleRtl) {
        const BYTE* label = RtlLabel(article, line);
        return (int)(label - article + strlen((const char*)label));
    }
    const BYTE* text = article + line.offset;
    return (int)(SkipSpaces(text + WordLength(text)) - article) + line.count;
}

int PaintArticleView(ArticleView* view, BOOL erase) {
    if (!CanPaint(view)) return -1;
    HDC surface = view->surface;
    ViewFontState fonts = FontStateOf(view, false);
    view->rowsPainted = 0;
    PageWalk walk = FirstVisibleLine(view);
    BYTE style = IsSeparatorStyle(walk.line->style) ? kStylePlain : walk.line->style;
    COLORREF textColour = GetTextColor(surface);
    COLORREF backColour = SetBkColor(surface, ActivePalette().background);
    HFONT previous = SelectStyleFont(fonts, style | kColourRequest);
    if (erase) EraseViewRect(surface, view->left, view->top, view->width, view->height);
    // Over a fresh background the text needs no cells of its own, so what lies under it shows.
    int cells = erase && gArticleUnderlay ? SetBkMode(surface, TRANSPARENT) : 0;
    if (cells) gArticleUnderlay(view);
    for (; Fits(walk); view->rowsPainted += Advance(walk)) {
        const ArticleLine& line = *walk.line;
        if (IsSeparatorStyle(line.style)) {
            DrawRule(surface, line, walk.y);
            continue;
        }
        if ((line.style ^ style) & kFontKeyMask) SelectStyleFont(fonts, line.style | kColourRequest);
        style = line.style;
        DrawLine(view, line, walk.y);
    }
    RestoreFont(surface, previous);
    if (cells) SetBkMode(surface, cells);
    SetTextColor(surface, textColour);
    SetBkColor(surface, backColour);
    LightOtherHits(view);
    // Drawn over the text, under the search hit and the selection.
    if (gArticleOverlay) gArticleOverlay(view);
    int result = (view->hitStart || view->hitEnd) ? HighlightSearchHit(view) : 0;
    if (HasSelection(view)) LightVisible(view, SelectionRange(view));
    return result;
}

void (*gArticleOverlay)(ArticleView* view);
void (*gArticleUnderlay)(ArticleView* view);

void LightSpan(ArticleView* view, int start, int end, COLORREF text, COLORREF background) {
    if (CanPaint(view)) LightVisible(view, {start, end, text, background});
}

int HighlightSearchHit(ArticleView* view) {
    if (!CanPaint(view)) return -1;
    LightVisible(view, HitRange(view));
    return 0;
}

void HighlightRun(ArticleView* view, const BYTE* article, const BYTE* runStart, int runLength, int x, int y) {
    LightRun(view, article, HitRange(view), runStart, runLength, x, y, 0);
}
