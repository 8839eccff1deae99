#include "KeepPlace.h"

#include <algorithm>

#include "../content/ArticleRecords.h"
#include "../views/PageWalk.h"

namespace {

// The place last put back, so that a run of changes (a window dragged wider step
// by step) keeps the same character first instead of drifting to earlier lines.
struct KeptPlace {
    const BYTE* article;
    int offset;
};
KeptPlace gKept = {nullptr, -1};

// A line ending exactly where the next begins does not hold the next's first
// character; only a separator (which holds none) is matched by its offset.
bool Holds(const BYTE* article, const ArticleLine& line, int offset) {
    return line.offset <= offset && (offset < ArticleLineEnd(article, line) || offset == line.offset);
}

// The row of the line holding offset, or -1.
int RowHolding(const ArticleView* view, int offset) {
    int row = 0;
    for (const ArticleLine* line = view->lines; line->style; line++) {
        if (Holds(view->article, *line, offset)) return row;
        row += RowsOf(*line);
    }
    return -1;
}

}  // namespace

int PlaceOf(const ArticleView* view) {
    int first = FirstVisibleOffset(view);
    if (first < 0 || gKept.article != view->article) return first;
    // Still on the kept place's line (or its last page): that character is the place.
    int row = RowHolding(view, gKept.offset);
    int top = std::min(view->topRow, view->maxTopRow);
    bool onIt = row >= 0 && (RowHolding(view, first) == row || (top == view->maxTopRow && row > top));
    return onIt ? gKept.offset : first;
}

bool ReturnToPlace(ArticleView* view, int offset) {
    if (!view || !view->lines || !view->article) return false;
    int found = RowHolding(view, offset);
    if (found < 0) return false;
    gKept = {view->article, offset};
    view->topRow = (uint16_t)(found > view->maxTopRow ? view->maxTopRow : found);
    return true;
}

LitHits LitHitsOf(const ArticleView* view) {
    return {view->article, view->hitStart, view->hitEnd, view->otherHits, view->otherHitCount, view->otherHitLength};
}

void Relight(ArticleView* view, const LitHits& lit) {
    if (!view->article || view->article != lit.article) return;
    view->hitStart = lit.hitStart, view->hitEnd = lit.hitEnd;
    view->otherHits = lit.otherHits, view->otherHitCount = lit.otherHitCount, view->otherHitLength = lit.otherHitLength;
}
