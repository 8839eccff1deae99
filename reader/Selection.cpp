// Selecting a passage: press, drag and release over the article, or a double click
// on a word. The passage is offered as the primary selection when it is made. A
// drag held above or below the article scrolls on a timer, faster the further
// away the pointer is, the selection following.
#include "Selection.h"

#include <algorithm>
#include <cstdlib>

#include "../platform/Desktop.h"
#include "../shell/AppState.h"
#include "../shell/Export.h"
#include "../shell/MainWindow.h"
#include "Highlights.h"
#include "LinkView.h"

namespace {

struct PointerState {
    bool pressed;
    bool dragging;
    int x, y;           // where the button went down
    int anchor;         // the offset there, once a drag began
    int lastX, lastY;   // where the pointer is now
    bool scrolling;     // the drag's scroll timer runs
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

constexpr UINT_PTR kDragScrollTimer = 1;
constexpr int kSlowestStepMs = 120, kFastestStepMs = 20;

// How far the pointer is above (negative) or below (positive) the article, in pixels.
int DistanceOutside(const ArticleView* view, int y) {
    if (y >= view->top + view->height) return y - (view->top + view->height) + 1;
    if (y < view->top) return y - view->top;
    return 0;
}

// A row a step, the steps quicker the further the pointer is from the article.
UINT StepInterval(int distance) { return (UINT)std::max(kFastestStepMs, kSlowestStepMs - 4 * std::abs(distance)); }

void StopScrolling(HWND window) {
    if (!gPointer.scrolling) return;
    KillTimer(window, kDragScrollTimer);
    gPointer.scrolling = false;
}

// Brings the next row in towards the pointer and stretches the selection to it.
void ScrollTowardsPointer(HWND window, ArticleView* view) {
    int distance = DistanceOutside(view, gPointer.lastY);
    if (distance == 0) {
        StopScrolling(window);
        return;
    }
    ScrollArticleView(view, distance > 0 ? 1 : -1, 0, 1);
    SetSelection(view, gPointer.anchor, OffsetAtPoint(view, gPointer.lastX, gPointer.lastY));
    RepaintNow(window, kPaintAll);
    // Setting the timer again takes the new distance's pace.
    gPointer.scrolling = SetTimer(window, kDragScrollTimer, StepInterval(distance), nullptr) != 0;
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
    if (!(keys & MK_LBUTTON)) {
        HoverLinks(window, x, y);
        HoverNotes(window, x, y);
    }
    if (!view || !view->article || !gPointer.pressed || !(keys & MK_LBUTTON)) return;
    if (!gPointer.dragging) {
        if (!BeyondDragDistance(x, y)) return;
        gPointer.dragging = true;
        gPointer.anchor = OffsetAtPoint(view, gPointer.x, gPointer.y);
    }
    gPointer.lastX = x;
    gPointer.lastY = y;
    if (DistanceOutside(view, y) != 0) {
        // The first step at once, the rest on the timer.
        if (!gPointer.scrolling) ScrollTowardsPointer(window, view);
        return;
    }
    StopScrolling(window);
    SetSelection(view, gPointer.anchor, OffsetAtPoint(view, x, y));
    RepaintNow(window, kPaintAll);
}

void PointerTimer(HWND window, WPARAM id) {
    ArticleView* view = gApp.articleView;
    if (id != kDragScrollTimer) return;
    if (!view || !view->article || !gPointer.pressed || !gPointer.dragging) {
        StopScrolling(window);
        return;
    }
    ScrollTowardsPointer(window, view);
}

void PointerUp(HWND window) {
    ArticleView* view = gApp.articleView;
    StopScrolling(window);
    if (!gPointer.pressed || !view) return;
    gPointer.pressed = false;
    if (gPointer.dragging) {
        OfferPrimary(view);
        return;
    }
    if (OpenNoteAt(window, gPointer.x, gPointer.y) || FollowLinkAt(window, gPointer.x, gPointer.y)) return;
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
    // Memory running out there ran the exit sequence, which took the view.
    if (gApp.articleView) OfferPrimary(gApp.articleView);
}

void CopySelectionOrArticle(ArticleView* view, int append) {
    if (HasSelection(view))
        ExportRange(SelectedRange(view), append);
    else
        ExportArticle(view, append);
}
