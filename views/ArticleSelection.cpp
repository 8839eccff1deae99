// Pointing at text in the article view: the offset under a point, the word around
// an offset, and the selected passage that painting draws in selection colours.
#include <algorithm>

#include "ArticleView.h"
#include "PageWalk.h"
#include "TextMapping.h"

namespace {

int RunOffset(const ArticleView* view, const ArticleLine& line) {
    return (int)(MainRun(view->article, line) - view->article);
}

int LineEnd(const ArticleView* view, const ArticleLine& line) {
    return IsSeparatorStyle(line.style) ? line.offset : RunOffset(view, line) + line.count;
}

// The characters of the run left of x, measured in the line's own font.
int OffsetInLine(ArticleView* view, const ArticleLine& line, int x) {
    if (IsSeparatorStyle(line.style)) return line.offset;
    if (x < line.x) return line.hang ? line.offset : RunOffset(view, line);
    int width = x - line.x;
    int count = line.count;
    HFONT previous = SelectStyleFont(FontStateOf(view, false), line.style);
    SetRunBase(line.style);
    MeasureText(view->surface, MainRun(view->article, line), &width, &count);
    ResetRunBase();
    RestoreFont(view->surface, previous);
    return RunOffset(view, line) + count;
}

}  // namespace

int OffsetAtPoint(ArticleView* view, int x, int y) {
    if (!view || !view->article || !view->lines) return -1;
    PageWalk walk = FirstVisibleLine(view);
    if (!walk.line->style) return 0;
    if (y < walk.y) return IsSeparatorStyle(walk.line->style) ? walk.line->offset : RunOffset(view, *walk.line);
    const ArticleLine* last = walk.line;
    for (; Fits(walk); Advance(walk)) {
        last = walk.line;
        // A paragraph's blank row belongs to its last line.
        if (y < walk.y + RowsOf(*walk.line) * walk.line->height) return OffsetInLine(view, *walk.line, x);
    }
    return LineEnd(view, *last);
}

bool WordAround(const ArticleView* view, int offset, int* start, int* end) {
    if (!view || !view->article || !view->lines) return false;
    const BYTE* text = view->article;
    for (const ArticleLine* line = view->lines; line->style; line++) {
        if (IsSeparatorStyle(line->style)) continue;
        int low = line->offset, high = LineEnd(view, *line);
        if (offset < low || offset >= high) continue;
        if (text[offset] == ' ') return false;
        int s = offset, e = offset;
        while (s > low && text[s - 1] != ' ') s--;
        while (e < high && text[e] != ' ') e++;
        *start = s;
        *end = e;
        return true;
    }
    return false;
}

void SetSelection(ArticleView* view, int anchor, int caret) {
    if (!view) return;
    view->selectionStart = (uint16_t)std::clamp(std::min(anchor, caret), 0, 0xFFFF);
    view->selectionEnd = (uint16_t)std::clamp(std::max(anchor, caret), 0, 0xFFFF);
}

bool HasSelection(const ArticleView* view) { return view && view->selectionEnd > view->selectionStart; }

void VisibleRange(ArticleView* view, int* start, int* end) {
    *start = *end = 0;
    if (!view || !view->article || !view->lines) return;
    PageWalk walk = FirstVisibleLine(view);
    if (!Fits(walk)) return;
    *start = walk.line->offset;
    for (; Fits(walk); Advance(walk)) *end = LineEnd(view, *walk.line);
}
