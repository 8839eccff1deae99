// Painting the visible rows of the article view, and the search hit over them.
#include <algorithm>
#include <cstring>

#include "../content/ArticleRecords.h"
#include "ArticleView.h"
#include "TextMapping.h"

namespace {

// Where drawing stands while walking the visible lines.
struct PageWalk {
    const ArticleLine* line;
    int y;
    int spaceLeft;
};

int RowsOf(const ArticleLine& line) { return (line.style & kStyleBlankAfter) ? 2 : 1; }

PageWalk FirstVisibleLine(ArticleView* view) {
    if (view->topRow > view->rowCount) view->topRow = view->maxTopRow;
    const ArticleLine* line = view->lines;
    int rows = 0;
    while (rows < view->topRow && line->style) rows += RowsOf(*line++);
    if (rows > view->topRow) {  // the top row is the blank row after the previous line
        int height = line[-1].height;
        return {line, view->top + height, view->height - height};
    }
    return {line, view->top, view->height};
}

// Moves past a line and its blank row; returns the rows passed.
int Advance(PageWalk& walk) {
    int rows = RowsOf(*walk.line);
    walk.y += rows * walk.line->height;
    walk.spaceLeft -= rows * walk.line->height;
    walk.line++;
    return rows;
}

bool Fits(const PageWalk& walk) { return walk.line->style && walk.line->height <= walk.spaceLeft; }

int WordLength(const BYTE* text) {
    int n = 0;
    while (text[n] && text[n] != ' ') n++;
    return n;
}

const BYTE* SkipSpaces(const BYTE* text) {
    while (*text == ' ') text++;
    return text;
}

// The label of a right-to-left hanging line stands after its run in stored order
// and reaches to the end of the record.
const BYTE* RtlLabel(const BYTE* article, const ArticleLine& line) {
    const BYTE* label = article + line.offset + line.count;
    return SkipSpaces(label + WordLength(label));
}

// Right-aligned against the right end of the hanging area; measured unmapped.
void DrawRtlLabel(ArticleView* view, const ArticleLine& line, int y, bool highlighted) {
    const BYTE* label = RtlLabel(view->article, line);
    int count = (int)strlen((const char*)label);
    int width = line.hang;
    ResetRunBase();
    MeasureText(view->surface, label, &width, &count);
    int x = line.x + line.width + line.hang - width;
    SetRunBase(line.style);
    if (highlighted)
        DrawTextRunColored(view->surface, label, count, x, y, width, line.height, kBlue, kYellow);
    else
        DrawTextRun(view->surface, label, count, x, y, width, line.height);
    ResetRunBase();
}

void DrawRule(HDC surface, const ArticleLine& line, int y) {
    HGDIOBJ previous = SelectObject(surface, GetStockObject(BLACK_BRUSH));
    int middle = y + line.height / 2;
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
        DrawRtlLabel(view, line, y, false);
    }
    SetRunBase(line.style);
    DrawTextRun(view->surface, text, line.count, line.x, y, line.width, line.height);
    ResetRunBase();
}

void HighlightLine(ArticleView* view, const ArticleLine& line, int y) {
    const BYTE* text = view->article + line.offset;
    bool rtl = line.style & kStyleRtl;
    if (line.hang && !rtl) {
        int labelLength = WordLength(text);
        HighlightRun(view, view->article, text, labelLength, line.x - line.hang, y);
        text = SkipSpaces(text + labelLength);
    } else if (line.hang) {
        DrawRtlLabel(view, line, y, true);
    }
    SetRunBase(line.style);
    HighlightRun(view, view->article, text, line.count, line.x, y);
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
    HFONT previous = SelectStyleFont(fonts, style | kColourRequest);
    if (erase) FillViewRect(surface, view->left, view->top, view->width, view->height, WHITE_BRUSH);
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
    SetTextColor(surface, textColour);
    if (view->hitStart || view->hitEnd) return HighlightSearchHit(view);
    return 0;
}

int HighlightSearchHit(ArticleView* view) {
    if (!CanPaint(view)) return -1;
    ViewFontState fonts = FontStateOf(view, false);
    PageWalk walk = FirstVisibleLine(view);
    BYTE style = IsSeparatorStyle(walk.line->style) ? kStylePlain : walk.line->style;
    HFONT previous = SelectStyleFont(fonts, style);
    for (; Fits(walk); Advance(walk)) {
        const ArticleLine& line = *walk.line;
        if (IsSeparatorStyle(line.style)) continue;
        if (view->hitEnd < line.offset || view->hitStart > ArticleLineEnd(view->article, line)) continue;
        if ((line.style ^ style) & kFontKeyMask) SelectStyleFont(fonts, line.style);
        style = line.style;
        HighlightLine(view, line, walk.y);
    }
    RestoreFont(view->surface, previous);
    return 0;
}

void HighlightRun(ArticleView* view, const BYTE* article, const BYTE* runStart, int runLength, int x, int y) {
    int n = runLength;
    int shift = 0;
    int f = view->hitStart - (int)(runStart - article);
    if (f >= 0) {
        n -= f;
        if (n < 0) return;
        shift = PrefixExtent(view->surface, runStart, f).cx;
        runStart += f;
    }
    int m = std::min(view->hitEnd - (int)(runStart - article), n);
    if (m < 1) return;
    SIZE size = PrefixExtent(view->surface, runStart, m);
    DrawTextRunColored(view->surface, runStart, m, x + shift, y, size.cx, size.cy, kBlue, kYellow);
}
