#include "Paging.h"

#include "../shell/AppState.h"
#include "../shell/MainWindow.h"

namespace {

// The last page step, with what it was taken on: only on the same layout does the
// opposite step return to its start.
struct PageStep {
    const BYTE* article;
    int width, height, rowCount;
    int from, to;
    int direction;
};
PageStep gLastStep = {};

bool SameLayout(const PageStep& step, const ArticleView* view) {
    return step.article == view->article && step.width == view->width && step.height == view->height &&
           step.rowCount == view->rowCount;
}

int Direction(int rows) { return rows > 0 ? 1 : (rows < 0 ? -1 : 0); }

}  // namespace

int PagedTopRow(const ArticleView* view, int rows) {
    int top = view->topRow > view->rowCount ? view->maxTopRow : view->topRow;
    const PageStep& last = gLastStep;
    if (rows && SameLayout(last, view) && last.to == top && last.direction == -Direction(rows)) return last.from;
    int row = top + rows;
    // Forward never past the last full page (End's row); back never above the top.
    if (rows > 0 && row > view->maxTopRow) row = top > view->maxTopRow ? top : view->maxTopRow;
    return row < 0 ? 0 : row;
}

void PageArticle(HWND window, ArticleView* view, int rows) {
    if (!view) return;
    int from = view->topRow;
    int to = PagedTopRow(view, rows);
    if (to == from) return;
    gLastStep = {view->article, view->width, view->height, view->rowCount, from, to, Direction(rows)};
    view->topRow = (uint16_t)to;
    PaintArticleView(view, TRUE);
    UpdateScrollBar(window);
}

void ReadOn(HWND window, ArticleView* view, int rows) {
    if (!view) return;
    if (rows > 0 && view->topRow >= view->maxTopRow) {
        NextArticle(window);
    } else if (rows < 0 && view->topRow == 0) {
        uint16_t left = gApp.currentArticle;
        PreviousArticle(window);
        // The previous article is read on from its end, backwards.
        if (gApp.currentArticle != left) {
            gApp.articleView->topRow = gApp.articleView->maxTopRow;
            RepaintNow(window, kPaintAll);
        }
    } else {
        PageArticle(window, view, rows);
    }
}
