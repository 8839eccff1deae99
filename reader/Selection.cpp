// Selecting a passage: press, drag and release over the article, or a double click
// on a word. The passage is offered as the primary selection when it is made.
#include "Selection.h"

#include <cstdlib>

#include "../platform/Desktop.h"
#include "../shell/AppState.h"
#include "../shell/Export.h"
#include "../shell/MainWindow.h"
#include "LinkView.h"

namespace {

struct PointerState {
    bool pressed;
    bool dragging;
    int x, y;           // where the button went down
    int anchor;         // the offset there, once a drag began
    uint16_t tapFrom;   // the top row before the last tap paged
    bool tapPaged;
};

PointerState gPointer;

bool BeyondDragDistance(int x, int y) {
    return std::abs(x - gPointer.x) > GetSystemMetrics(SM_CXDRAG) ||
           std::abs(y - gPointer.y) > GetSystemMetrics(SM_CYDRAG);
}

void OfferPrimary(const ArticleView* view) {
    if (!HasSelection(view)) return;
    WCHAR* text = RenderExportText(SelectedRange(view));
    if (text) SetPrimarySelection(text);
    free(text);
}

// Dragging past the top or bottom edge brings the next row in.
void FollowPointer(ArticleView* view, int y) {
    if (y >= view->top + view->height) ScrollArticleView(view, 1, 0, 1);
    else if (y < view->top) ScrollArticleView(view, -1, 0, 1);
}

}  // namespace

void PointerDown(HWND, int x, int y) {
    gPointer.pressed = gApp.articleView != nullptr;
    gPointer.dragging = false;
    gPointer.x = x;
    gPointer.y = y;
}

void PointerMove(HWND window, WPARAM keys, int x, int y) {
    ArticleView* view = gApp.articleView;
    if (!(keys & MK_LBUTTON)) HoverLinks(window, x, y);
    if (!view || !view->article || !gPointer.pressed || !(keys & MK_LBUTTON)) return;
    if (!gPointer.dragging) {
        if (!BeyondDragDistance(x, y)) return;
        gPointer.dragging = true;
        gPointer.anchor = OffsetAtPoint(view, gPointer.x, gPointer.y);
    }
    FollowPointer(view, y);
    SetSelection(view, gPointer.anchor, OffsetAtPoint(view, x, y));
    RepaintNow(window, kPaintAll);
}

void PointerUp(HWND window) {
    ArticleView* view = gApp.articleView;
    if (!gPointer.pressed || !view) return;
    gPointer.pressed = false;
    if (gPointer.dragging) {
        OfferPrimary(view);
        return;
    }
    if (FollowLinkAt(window, gPointer.x, gPointer.y)) return;
    bool hadSelection = HasSelection(view);
    SetSelection(view, 0, 0);
    gPointer.tapFrom = view->topRow;
    TapPage(window, view, gPointer.x, gPointer.y);
    gPointer.tapPaged = view->topRow != gPointer.tapFrom;
    if (hadSelection && !gPointer.tapPaged) RepaintNow(window, kPaintAll);
}

void PointerDoubleClick(HWND window, int x, int y) {
    ArticleView* view = gApp.articleView;
    gPointer.pressed = false;
    if (!view || !view->article) return;
    // The first click of the pair paged as a tap; the word is on the page before it.
    if (gPointer.tapPaged) view->topRow = gPointer.tapFrom;
    gPointer.tapPaged = false;
    int start = 0, end = 0;
    if (WordAround(view, OffsetAtPoint(view, x, y), &start, &end)) SetSelection(view, start, end);
    RepaintNow(window, kPaintAll);
    OfferPrimary(view);
}

void CopySelectionOrArticle(ArticleView* view, int append) {
    if (HasSelection(view))
        ExportRange(SelectedRange(view), append);
    else
        ExportArticle(view, append);
}
