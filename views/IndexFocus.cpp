// The keyboard's place in the index tree: a mark around the lines of one shown
// record, moved record by record and kept inside the visible rows.
#include <algorithm>
#include <cctype>

#include "../content/IndexRecords.h"
#include "IndexView.h"

namespace {

constexpr COLORREF kFocusColour = 0xC07000;  // a quiet blue

bool Shown(const IndexLine& line) { return (line.style & kIndexShown) != 0; }

bool StartsRecord(const IndexLine* lines, int i) { return i == 0 || lines[i - 1].key != lines[i].key; }

// The line whose first shown row is marked for the record starting at or before i.
int RecordStart(const IndexLine* lines, int i) {
    while (!StartsRecord(lines, i)) i--;
    return i;
}

// Rows of the shown lines before line i, and of the record that starts there.
void RowsOf(const IndexView* view, int at, int* before, int* own) {
    *before = *own = 0;
    const IndexLine* lines = view->lines;
    for (int i = 0; i < at && lines[i].style; i++)
        if (Shown(lines[i])) (*before)++;
    for (int i = at; lines[i].style && lines[i].key == lines[at].key; i++)
        if (Shown(lines[i])) (*own)++;
}

}  // namespace

IndexLine* FocusedLine(IndexView* view) {
    if (!view || !view->lines || view->focus <= 0 || view->focus > view->lineCount) return nullptr;
    return &view->lines[view->focus - 1];
}

void DrawFocusMark(IndexView* view, const IndexLine* line, int y) {
    const IndexLine* focused = FocusedLine(view);
    if (!focused || line < focused || line->key != focused->key) return;
    for (const IndexLine* m = focused; m < line; m++)
        if (m->key != focused->key) return;  // a later record with the same key
    RECT r = {line->x - kIndexIndent - 2, y, line->x + line->width + 2, y + line->height};
    if (r.left < view->left) r.left = view->left;
    HGDIOBJ brush = SelectObject(view->surface, GetStockObject(NULL_BRUSH));
    DrawFrame(view->surface, &r, kFocusColour, 1);
    SelectObject(view->surface, brush);
}

void FocusArticle(IndexView* view, int article) {
    if (!view || !view->lines) return;
    view->focus = 0;
    for (int i = 0; view->lines[i].style; i++) {
        const IndexLine& m = view->lines[i];
        if ((m.key & kKeyLink) && (m.key & kKeyNumberMask) == article && Shown(m)) {
            view->focus = i + 1;
            return;
        }
    }
}

int MoveFocus(IndexView* view, int direction) {
    if (!view || !view->lines || !view->lines[0].style) return 0;
    IndexLine* lines = view->lines;
    int at = view->focus - 1;
    if (at < 0) {
        at = direction > 0 ? -1 : view->lineCount;
    } else if (direction > 0) {
        while (lines[at + 1].style && lines[at + 1].key == lines[at].key) at++;  // past the record
    }
    for (int i = at + direction; i >= 0 && i < view->lineCount && lines[i].style; i += direction) {
        if (!Shown(lines[i])) continue;
        while (direction < 0 && i > 0 && lines[i - 1].key == lines[i].key) i--;  // to the record's start
        view->focus = i + 1;
        return 1;
    }
    return 0;
}

void ScrollFocusIntoView(IndexView* view) {
    if (!FocusedLine(view)) return;
    int before, own;
    RowsOf(view, view->focus - 1, &before, &own);
    if (before < view->topRow) view->topRow = (uint16_t)before;
    PaintIndexView(view, TRUE);
    // Rows differ in height, so how many fit is known only once painted: step on
    // until the mark is on the page or the tree can go no further.
    while (before + own > view->topRow + view->rowsPainted && view->topRow < view->maxTopRow) {
        int top = std::max(view->topRow + 1, before + own - std::max<int>(view->rowsPainted, 1));
        view->topRow = (uint16_t)std::min<int>(top, view->maxTopRow);
        PaintIndexView(view, TRUE);
    }
}

void FocusAtPoint(IndexView* view, int y) {
    if (!view || !view->lines || y < view->top) return;
    int row = 0, bottom = view->top;
    for (int i = 0; view->lines[i].style; i++) {
        const IndexLine& m = view->lines[i];
        if (!Shown(m) || row++ < view->topRow) continue;
        bottom += m.height;
        if (bottom > view->top + view->height) return;  // a row cut at the bottom is not drawn
        if (y <= bottom) {  // the bottom edge belongs to the row, as for a tap
            view->focus = RecordStart(view->lines, i) + 1;
            return;
        }
    }
}

int FocusNextStartingWith(IndexView* view, char c) {
    if (!view || !view->lines || !view->index || !view->lines[0].style) return 0;
    const IndexLine* lines = view->lines;
    int count = view->lineCount, from = std::max(view->focus - 1, 0);
    c = (char)std::tolower((unsigned char)c);
    for (int step = 1; step <= count; step++) {
        int i = (from + step) % count;
        if (!Shown(lines[i]) || !StartsRecord(lines, i)) continue;
        if (std::tolower(view->index[lines[i].offset]) != c) continue;
        view->focus = i + 1;
        return 1;
    }
    return 0;
}
