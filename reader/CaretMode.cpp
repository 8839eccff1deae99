#include "CaretMode.h"

#include <algorithm>

#include "../content/ArticleRecords.h"
#include "../resources/Commands.h"
#include "../shell/AppState.h"
#include "../shell/Bookmarks.h"
#include "../shell/MainWindow.h"
#include "../views/Palette.h"
#include "FullScreen.h"
#include "ReadingText.h"

namespace {

struct CaretState {
    bool on;
    int caret, anchor;  // reading offsets; the anchor of a selection made with Shift
    // What the caret last followed.
    const BYTE* article;
    uint16_t number;
    int hit, pageStart, pageEnd;
};

CaretState gCaret = {false, 0, -1, nullptr, 0, -1, -1, -1};
void (*gOverlayBelow)(ArticleView* view);

int TextLength(const ArticleView* view) {
    const std::u16string* text = ReadingTextOf(view);
    return text ? (int)text->size() : 0;
}

// The bar before the caret's character: at its left edge in left-to-right lines,
// its right edge in right-to-left ones; after the last character at a line's end.
bool CaretBar(ArticleView* view, RECT* bar) {
    int a = ArticleOffset(view, gCaret.caret);
    RECT cell;
    bool after = false;
    if (a < 0) return false;
    if (!CharacterCell(view, a, &cell)) {
        if (a == 0 || !CharacterCell(view, a - 1, &cell)) return false;
        after = true;
    }
    AccessibleTextRun run;
    bool rtl = ReadingRun(view, gCaret.caret, &run) && run.rightToLeft;
    int x = (rtl != after) ? cell.right : cell.left;
    *bar = {x - 1, cell.top, x + 1, cell.bottom};
    return true;
}

void DrawCaret(ArticleView* view) {
    if (gOverlayBelow) gOverlayBelow(view);
    RECT bar;
    if (gCaret.on && CaretBar(view, &bar)) FillColourRect(view->surface, &bar, ActivePalette().text);
}

// The display line holding an article offset (a paragraph's end belongs to its last line).
int LineOf(const ArticleView* view, int offset) {
    for (int i = 0; view->lines[i].style; i++) {
        const ArticleLine& line = view->lines[i];
        if (!IsSeparatorStyle(line.style) && offset >= line.offset &&
            offset <= ArticleLineEnd(view->article, line))
            return i;
    }
    return -1;
}

// The same column on the next shown line up or down, or the caret itself.
int LineStep(const ArticleView* view, int direction) {
    int a = ArticleOffset(view, gCaret.caret);
    int at = LineOf(view, a);
    if (at < 0) return gCaret.caret;
    int column = a - view->lines[at].offset;
    for (int i = at + direction; i >= 0 && i < view->lineCount; i += direction) {
        const ArticleLine& line = view->lines[i];
        if (IsSeparatorStyle(line.style)) continue;
        int end = ArticleLineEnd(view->article, line);
        int place = ReadingOffset(view, std::min<int>(line.offset + column, std::max<int>(end - 1, line.offset)));
        return place < 0 ? gCaret.caret : place;
    }
    return gCaret.caret;
}

int Target(const ArticleView* view, WPARAM key) {
    switch (key) {
        case VK_LEFT: return std::max(gCaret.caret - 1, 0);
        case VK_RIGHT: return std::min(gCaret.caret + 1, TextLength(view));
        case VK_UP: return LineStep(view, -1);
        case VK_DOWN: return LineStep(view, 1);
        case VK_HOME: return 0;
        case VK_END: return TextLength(view);
        default: return -1;
    }
}

// Rows scroll a step at a time while the caret is just off the page, in one jump further.
void ShowCaret(ArticleView* view) {
    int a = ArticleOffset(view, gCaret.caret);
    RECT cell;
    for (int step = 0; step < 3 && !CharacterCell(view, a, &cell) && !CharacterCell(view, a - 1, &cell); step++) {
        int start = 0, end = 0;
        VisibleRange(view, &start, &end);
        ScrollArticleView(view, a < start ? -1 : 1, 0, 1);
    }
    if (!CharacterCell(view, a, &cell) && !CharacterCell(view, a - 1, &cell)) ScrollToOffset(view, a);
}

void Select(ArticleView* view, int start, int end) {
    int from = 0, to = 0;
    ArticleSpan(view, std::min(start, end), std::max(start, end), &from, &to);
    SetSelection(view, from, to);
}

// The caret moved by the program: shown on the page and told to the listener.
void Moved(HWND window, ArticleView* view) {
    ShowCaret(view);
    int start = 0, end = 0;
    VisibleRange(view, &start, &end);
    gCaret.pageStart = start;
    gCaret.pageEnd = end;
    RepaintNow(window, kPaintAll);
}

}  // namespace

bool CaretModeOn() { return gCaret.on; }
int CaretPlace() { return gCaret.caret; }

void UpdateCaretModeCheck() { SetMenuCheck(ViewMenu(), kCheckSet, kCmdCaretMode, gCaret.on); }

void ToggleCaretMode(HWND window) {
    gCaret.on = !gCaret.on;
    // Drawn over whatever else the page draws over its text.
    if (gArticleOverlay != DrawCaret) {
        gOverlayBelow = gArticleOverlay;
        gArticleOverlay = DrawCaret;
    }
    UpdateCaretModeCheck();
    RepaintNow(window, kPaintAll);
}

bool CaretKey(HWND window, WPARAM key) {
    ArticleView* view = gApp.articleView;
    if (!gCaret.on || !view || !view->article) return false;
    int target = Target(view, key);
    if (target < 0) return false;
    bool extend = GetKeyState(VK_SHIFT) < 0;
    if (extend && gCaret.anchor < 0) gCaret.anchor = gCaret.caret;
    if (!extend) gCaret.anchor = -1;
    gCaret.caret = target;
    if (extend) {
        Select(view, gCaret.anchor, target);
    } else {
        SetSelection(view, 0, 0);
    }
    Moved(window, view);
    return true;
}

void FollowReading(ArticleView* view) {
    if (!view || !view->article) return;
    int start = 0, end = 0;
    VisibleRange(view, &start, &end);
    int hit = view->hitEnd > view->hitStart ? view->hitStart : -1;
    int place = ArticleOffset(view, gCaret.caret);
    if (view->article != gCaret.article || gApp.currentArticle != gCaret.number) {
        gCaret.caret = std::max(ReadingOffset(view, start), 0);
        gCaret.anchor = -1;
    } else if (hit >= 0 && hit != gCaret.hit) {
        gCaret.caret = std::max(ReadingOffset(view, hit), 0);
    } else if ((start != gCaret.pageStart || end != gCaret.pageEnd) && (place < start || place > end)) {
        gCaret.caret = std::max(ReadingOffset(view, start), 0);
    }
    gCaret.article = view->article;
    gCaret.number = gApp.currentArticle;
    gCaret.hit = hit;
    gCaret.pageStart = start;
    gCaret.pageEnd = end;
}

bool PlaceCaret(HWND window, int readingOffset) {
    ArticleView* view = gApp.articleView;
    if (!view || !view->article || readingOffset < 0 || readingOffset > TextLength(view)) return false;
    gCaret.caret = readingOffset;
    gCaret.anchor = -1;
    SetSelection(view, 0, 0);
    Moved(window, view);
    return true;
}

bool PlaceSelection(HWND window, int start, int end) {
    ArticleView* view = gApp.articleView;
    int length = TextLength(view);
    if (!view || start < 0 || end < 0 || start > length || end > length) return false;
    Select(view, start, end);
    gCaret.anchor = start == end ? -1 : std::min(start, end);
    gCaret.caret = std::max(start, end);
    Moved(window, view);
    return true;
}
