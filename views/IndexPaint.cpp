// Painting the index tree with its icons, scrolling it by rows, and turning a tap
// into a chosen article or a toggled heading.
#include "../content/ArticleRecords.h"
#include "../content/IndexRecords.h"
#include "../shell/AppState.h"
#include "IndexView.h"
#include "Palette.h"
#include "TextMapping.h"

namespace {

constexpr int kIconSize = 9;

// The first line at or below the top row: shown lines are counted off from the
// first until top row of them are passed (it may be a hidden line).
int StartLine(const IndexView* view) {
    int i = 0;
    for (int passed = 0; passed != view->topRow && view->lines[i].style; i++)
        if (view->lines[i].style & kIndexShown) passed++;
    return i;
}

HBITMAP IconOf(const IndexLine& line) {
    if (!(line.key & kKeyHeading)) return gApp.indexIcons[kIconLink];
    return gApp.indexIcons[(line.style & kIndexExpanded) ? kIconExpanded : kIconCollapsed];
}

bool Inside(const IndexView* view, int x, int y) {
    return x >= view->left && x <= view->left + view->width && y >= view->top && y <= view->top + view->height;
}

}  // namespace

int PaintIndexView(IndexView* view, BOOL erase) {
    if (!view || !view->index || !view->lines) return -1;
    view->rowsPainted = 0;
    int space = view->height;
    if (view->topRow > view->rowCount) view->topRow = view->maxTopRow;
    int first = StartLine(view);
    HDC surface = view->surface;
    COLORREF savedColour = GetTextColor(surface);
    COLORREF savedBack = SetBkColor(surface, ActivePalette().background);
    gMapping.base = kRestingBase;
    BYTE style = view->lines[first].style;
    HFONT replaced = SelectStyleFont(FontStateOf(view, true), style | kColourRequest);
    uint16_t lastKey = 0;
    int y = view->top;
    if (erase) EraseViewRect(surface, view->left, view->top, view->width, view->height);
    for (int i = first; view->lines[i].style; i++) {
        const IndexLine& line = view->lines[i];
        if (space < line.height) break;  // a row cut at the bottom is not drawn
        if (!(line.style & kIndexShown)) continue;
        if ((line.style ^ style) & kFontKeyMask) SelectStyleFont(FontStateOf(view, true), line.style | kColourRequest);
        style = line.style;
        if (line.key != lastKey) {  // one icon per record, beside its first drawn line
            DrawIndexIcon(view, &line, y);
            lastKey = line.key;
        }
        DrawTextRun(surface, view->index + line.offset, line.count, line.x, y, line.width, line.height);
        DrawFocusMark(view, &line, y);
        if (view->decorate) view->decorate(view, &line, y);
        y += line.height;
        space -= line.height;
        view->rowsPainted++;
    }
    RestoreFont(surface, replaced);
    SetTextColor(surface, savedColour);
    SetBkColor(surface, savedBack);
    return 0;
}

void DrawIndexIcon(IndexView* view, const IndexLine* line, int y) {
    HBITMAP icon = IconOf(*line);
    if (!icon) return;
    HDC memory = CreateCompatibleDC(view->surface);
    if (!memory) return;
    HGDIOBJ previous = SelectObject(memory, icon);
    int d = (line->height - kIconSize) / 2;
    StretchBlt(view->surface, line->x - kIndexIndent, d > 0 ? y + d : y, kIconSize, kIconSize, memory, 0, 0,
               kIconSize, kIconSize, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
}

int ScrollIndexView(IndexView* view, int delta, int paintMode, int clamp) {
    if (!view) return -1;
    int a = view->topRow + delta;
    if (a < 0) a = 0;
    else if ((clamp || a > view->rowCount) && a > view->maxTopRow) a = view->maxTopRow;
    if (paintMode == 1 && a == view->topRow) return 1;
    view->topRow = (uint16_t)a;
    if (paintMode == 0) return 1;
    return PaintIndexView(view, TRUE);
}

int32_t HitTestIndex(IndexView* view, int x, int y) {
    if (!view || !view->index || !view->lines || !Inside(view, x, y)) return 0;
    int bottom = view->top;
    int space = view->height;
    IndexLine* tapped = nullptr;
    for (int i = StartLine(view); view->lines[i].style && !tapped; i++) {
        IndexLine& line = view->lines[i];
        if (space < line.height) return kTapBelowLastRow;
        if (!(line.style & kIndexShown)) continue;
        space -= line.height;
        bottom += line.height;
        if (y <= bottom) tapped = &line;
    }
    if (!tapped) return kTapBelowLastRow;
    if (x >= tapped->x - kIndexIndent && x <= tapped->x + tapped->width) {
        if (tapped->key & kKeyLink) return tapped->key & kKeyNumberMask;
        return ToggleHeading(view, tapped);
    }
    // Left of a heading's text, anywhere in its indent, toggles it too.
    if ((tapped->key & kKeyHeading) && x < tapped->x) return ToggleHeading(view, tapped);
    return 0;
}
