// Moving the article view: scrolling by rows, to a text offset, and the tap hit test.
#include "../content/ArticleRecords.h"
#include "../shell/AppState.h"
#include "ArticleView.h"

constexpr int kScrollRefused = 1;
constexpr int kScrollMoved = 3;

int ScrollArticleView(ArticleView* view, int delta, int paintMode, int clamp) {
    if (!view) return -1;
    int top = view->topRow;
    int row = top + delta;
    if (row < 0) {
        row = 0;
    } else if (clamp || row > view->rowCount) {
        // Once the last page has been reached, no further step down.
        if (row >= top && top >= view->maxTopRow) return kScrollRefused;
        if (row > view->rowCount) row = view->maxTopRow;
    }
    if (paintMode == 1 && row == top) return kScrollRefused;
    if (row != top) view->topRow = (uint16_t)row;
    if (paintMode) return PaintArticleView(view, TRUE);
    return row != top ? kScrollMoved : kScrollRefused;
}

int ScrollToOffset(ArticleView* view, int offset) {
    if (!view || !view->lines || !view->article) return 0;
    int row = 0;
    for (const ArticleLine* line = view->lines; line->style; line++) {
        if (line->offset <= offset && offset <= ArticleLineEnd(view->article, *line)) {
            view->topRow = (uint16_t)(row > view->maxTopRow ? view->maxTopRow : row);
            return 1;
        }
        row += (line->style & kStyleBlankAfter) ? 2 : 1;
    }
    return 0;
}

// The line painting starts from (a top row on a paragraph's blank row starts at the
// next line), or -1 without lines.
int FirstVisibleOffset(const ArticleView* view) {
    if (!view || !view->lines || !view->lines[0].style) return -1;
    int top = view->topRow > view->rowCount ? view->maxTopRow : view->topRow;
    int row = 0;
    const ArticleLine* line = view->lines;
    for (; line->style && row < top; line++) row += (line->style & kStyleBlankAfter) ? 2 : 1;
    if (!line->style) line--;
    return line->offset;
}

int HitTestView(ArticleView* view, int x, int y) {
    if (!view) return 0;
    int m = gApp.SurroundingGutter;
    bool across = view->left - m <= x && x <= view->left + view->width + m;
    bool down = view->top - m <= y && y <= view->top + view->height;
    return across && down;
}
