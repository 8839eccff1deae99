#include "TreeKeys.h"

#include <algorithm>
#include <cstdlib>

#include "../content/IndexRecords.h"
#include "Accessibility.h"

namespace {

// Enter on a link chooses it; on a heading it opens or closes the heading.
int ChooseFocused(IndexView* view) {
    IndexLine* focused = FocusedLine(view);
    if (!focused) return 0;
    if (!(focused->key & kKeyHeading)) return focused->key & kKeyNumberMask;
    ToggleHeading(view, focused);
    return 0;
}

void OpenFocused(IndexView* view, bool open) {
    IndexLine* focused = FocusedLine(view);
    if (focused && (focused->key & kKeyHeading) && ((focused->style & kIndexExpanded) != 0) != open)
        ToggleHeading(view, focused);
}

void MoveBy(IndexView* view, int direction, int steps) {
    while (steps-- > 0 && MoveFocus(view, direction)) {
    }
    ScrollFocusIntoView(view);
}

// A page keeps one row of the last for context, as the article's paging does.
int PageSteps(const IndexView* view) { return std::max<int>(view->rowsPainted - 1, 1); }

// The focused record as its key and how many records of that key come before it,
// which survive a relayout; the line numbers do not.
struct FocusPlace {
    uint16_t key;
    int nth;
};

bool StartsRecord(const IndexLine* lines, const IndexLine* m) { return m == lines || m[-1].key != m->key; }

FocusPlace SaveFocus(IndexView* view) {
    const IndexLine* focused = FocusedLine(view);
    if (!focused) return {0, 0};
    int nth = 0;
    for (const IndexLine* m = view->lines; m < focused; m++)
        if (m->key == focused->key && StartsRecord(view->lines, m)) nth++;
    return {focused->key, nth};
}

void RestoreFocus(IndexView* view, FocusPlace place) {
    if (!view || !view->lines || !place.key) return;
    for (int i = 0, nth = 0; view->lines[i].style; i++) {
        if (view->lines[i].key != place.key || !StartsRecord(view->lines, &view->lines[i])) continue;
        if (nth++ == place.nth) {
            view->focus = i + 1;
            return;
        }
    }
}

}  // namespace

TreeKeyResult TreeKey(IndexView* view, WPARAM key) {
    if (!view) return {false, 0};
    switch (key) {
        case VK_UP:
        case VK_DOWN: MoveBy(view, key == VK_DOWN ? 1 : -1, 1); break;
        case VK_PRIOR:
        case VK_NEXT: MoveBy(view, key == VK_NEXT ? 1 : -1, PageSteps(view)); break;
        case VK_HOME:
        case VK_END:
            view->focus = 0;  // from outside the tree, the first step lands on its first or last record
            MoveBy(view, key == VK_HOME ? 1 : -1, 1);
            break;
        case VK_RIGHT:
        case VK_LEFT: OpenFocused(view, key == VK_RIGHT); break;
        case VK_RETURN: return {true, ChooseFocused(view)};
        default:
            if (!((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))) return {false, 0};
            if (FocusNextStartingWith(view, (char)key)) ScrollFocusIntoView(view);
            break;
    }
    return {true, 0};
}

int32_t TreeClick(IndexView* view, int x, int y) {
    FocusAtPoint(view, y);
    int32_t r = HitTestIndex(view, x, y);
    if (r == 0) PaintIndexView(view, TRUE);  // the mark moved; a toggle has painted already
    return r;
}

void RelayoutTree(IndexView* view, int width, int height) {
    uint16_t* expansion = SaveExpansion(view);
    FocusPlace focus = SaveFocus(view);
    ResizeIndexView(view, width, height);
    RestoreExpansion(view, expansion);
    RestoreFocus(view, focus);
    free(expansion);
}

void UpdateTreeScrollBar(HWND window, IndexView* view) {
    SCROLLINFO info = {sizeof(SCROLLINFO), SIF_RANGE | SIF_POS, 0, view ? view->maxTopRow : 0, 0,
                       view ? view->topRow : 0, 0};
    SetScrollInfo(window, SB_VERT, &info, TRUE);
    PublishIndexView(window, view);
}
