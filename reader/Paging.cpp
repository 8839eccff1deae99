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
    bool onward = rows > 0 && view->topRow >= view->maxTopRow;
    if (!onward && !(rows < 0 && view->topRow == 0)) {
        PageArticle(window, view, rows);
        return;
    }
    uint16_t left = gApp.currentArticle;
    StepArticle(window, onward ? 1 : -1);
    // Reading straight through: the next article from its top, the previous one
    // backwards from its end, wherever they were left before.
    if (gApp.currentArticle != left) {
        gApp.articleView->topRow = onward ? 0 : gApp.articleView->maxTopRow;
        RepaintNow(window, kPaintAll);
    }
}
