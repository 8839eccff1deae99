// Paging by keys and taps both ways: a page forward stops at the last full page,
// a page back right after a page forward (or the other way round) returns to the
// very row it came from, and Space reads on across articles.
#pragma once

#include "../platform/win32.h"
#include "../views/ArticleView.h"

// The top row a page step of rows (signed) lands on from the view's top row.
int PagedTopRow(const ArticleView* view, int rows);
// Moves the view by a page step of rows (signed) and repaints; the step is kept,
// so that the opposite step from where it landed undoes it exactly.
void PageArticle(HWND window, ArticleView* view, int rows);
// Space and Shift+Space: a page step, except that at the last page Space goes on to
// the next article's top, and at the top Shift+Space back to the previous one's
// last page.
void ReadOn(HWND window, ArticleView* view, int rows);
