#include "StatusLine.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "../views/Palette.h"
#include "ReadMarks.h"
#include "WindowTitle.h"

namespace {

constexpr int kPadding = 2;  // above and below the text
constexpr int kTextSize = 256;

struct NoteShown {
    WCHAR text[64];
    WCHAR brief[24];
    int article;
};

NoteShown gNote = {{0}, {0}, 0};

int Length(const WCHAR* text) {
    int n = 0;
    while (text[n]) n++;
    return n;
}

// Rows a full page shows: those of the last page, which ends the article exactly.
int PageRows(const ArticleView* view) { return std::max(1, view->rowCount - view->maxTopRow); }

// Digits and ASCII only, so a byte-wise copy widens it.
int Widen(const char* text, WCHAR* out, int capacity) {
    int n = 0;
    for (; text[n] && n < capacity - 1; n++) out[n] = (WCHAR)(unsigned char)text[n];
    out[n] = 0;
    return n;
}

int WidthOf(HDC surface, const WCHAR* text, int length) {
    SIZE size = {};
    GetTextExtentPoint32W(surface, text, length, &size);
    return size.cx;
}

int LineHeightOf(HDC surface) {
    HGDIOBJ previous = SelectObject(surface, GetStockObject(SYSTEM_FONT));
    TEXTMETRICW metrics = {};
    GetTextMetricsW(surface, &metrics);
    SelectObject(surface, previous);
    return metrics.tmHeight + 2 * kPadding;
}

// The note at the right of the room left, its right edge then moved left past it.
// A note wider than the room keeps its start (the hit's number) and loses whole
// words from its end: a number cut short would read as another.
void DrawNote(HDC surface, RECT* room, int gap) {
    const WCHAR* note = gNote.text;
    int length = Length(note), width = WidthOf(surface, note, length);
    if (width > room->right - room->left && gNote.brief[0]) {
        note = gNote.brief;
        length = Length(note), width = WidthOf(surface, note, length);
    }
    UINT side = DT_RIGHT;
    for (int end = length; width > room->right - room->left && end > 0; width = WidthOf(surface, note, length)) {
        while (end > 0 && note[end - 1] != u' ') end--;
        length = end > 0 ? end - 1 : 0;
        end = length, side = DT_LEFT;
    }
    DrawTextW(surface, note, length, room, side | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    room->right -= width + gap;
}

template <size_t N>
void CopyNote(WCHAR (&to)[N], const WCHAR* text) {
    size_t n = 0;
    for (; text && text[n] && n < N - 1; n++) to[n] = text[n];
    to[n] = 0;
}

}  // namespace

ArticleProgress ProgressOf(const ArticleView* view) {
    if (!view || !view->rowCount) return {1, 1, 100};
    int top = std::min<int>(view->topRow, view->maxTopRow);
    int step = std::max(1, PageRows(view) - 1);  // a page forward keeps one row
    int pages = 1 + (view->maxTopRow + step - 1) / step;
    int page = top >= view->maxTopRow ? pages : 1 + (top + step - 1) / step;
    int percent = std::min(100, (top + PageRows(view)) * 100 / view->rowCount);
    return {page, pages, percent};
}

int ProgressText(const ArticleProgress& progress, WCHAR* out, int capacity) {
    char text[64];
    std::snprintf(text, sizeof text, "page %d of %d  %d%%", progress.page, progress.pages, progress.percent);
    return Widen(text, out, capacity);
}

int StatusLineHeight(HWND window) {
    HDC surface = GetDC(window);
    if (!surface) return 0;
    int height = LineHeightOf(surface);
    ReleaseDC(window, surface);
    return height;
}

void DrawStatusLine(const ArticleView* view, int number) {
    if (!view || !view->surface) return;
    // Every change of what the page shows ends in this line: the read mark is
    // noted first, so that the count drawn includes it.
    NoteShownPage(view, number);
    HDC surface = view->surface;
    RECT line = {view->left, view->top + view->height, view->left + view->width, 0};
    line.bottom = line.top + LineHeightOf(surface);
    EraseViewRect(surface, line.left, line.top, line.right - line.left, line.bottom - line.top);
    HGDIOBJ previousFont = SelectObject(surface, GetStockObject(SYSTEM_FONT));
    COLORREF previousColour = SetTextColor(surface, ActivePalette().text);
    int previousMode = SetBkMode(surface, TRANSPARENT);
    WCHAR text[kTextSize];
    int n = ProgressText(ProgressOf(view), text, kTextSize);
    RECT right = line;
    DrawTextW(surface, text, n, &right, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    int gap = 2 * LineHeightOf(surface);
    RECT left = line;
    left.right -= WidthOf(surface, text, n) + gap;  // never under the progress
    if (Length(StatusNote(number))) DrawNote(surface, &left, gap);
    char numberText[16];
    std::snprintf(numberText, sizeof numberText, "%d  ", number);
    int at = Widen(numberText, text, kTextSize);
    int numberLength = at;
    at += ArticleTitleText(view, text + at, kTextSize - at);
    char readText[32];
    WCHAR read[32];
    ReadCountText(readText, sizeof readText);
    int readLength = Widen(readText, read, 32);
    int readWidth = WidthOf(surface, read, readLength) + gap;
    // What the line has no room for is left out whole rather than cut mid-letter:
    // the read count first, then the title.
    int room = left.right - left.left, whole = WidthOf(surface, text, at);
    if (whole + readWidth <= room) {
        RECT count = left;
        DrawTextW(surface, read, readLength, &count, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    } else if (whole > room) {
        at = numberLength;
    }
    DrawTextW(surface, text, at, &left, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SetBkMode(surface, previousMode);
    SetTextColor(surface, previousColour);
    SelectObject(surface, previousFont);
}

SCROLLINFO ProportionalScrollInfo(const ArticleView* view) {
    SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 1, 0, 0};
    if (!view || !view->rowCount) return info;
    info.nMax = view->rowCount - 1;
    info.nPage = (UINT)PageRows(view);
    info.nPos = std::min<int>(view->topRow, view->maxTopRow);
    return info;
}

void SetStatusNote(const WCHAR* text, int article, const WCHAR* brief) {
    CopyNote(gNote.text, text);
    CopyNote(gNote.brief, brief);
    gNote.article = article;
}

void NoteSearchStep(int fromArticle, int fromHit, int toArticle, int toHit) {
    // Past the last article, or round the whole collection back into the same one.
    bool wrapped = toArticle < fromArticle || (toArticle == fromArticle && fromHit && toHit <= fromHit);
    SetStatusNote(wrapped ? u"search wrapped from the last article to the first" : u"", toArticle,
                  wrapped ? u"wrapped" : nullptr);
}

const WCHAR* StatusNote(int article) { return article == gNote.article ? gNote.text : u""; }
