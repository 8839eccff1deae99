// reader/ holds the desktop reader's additions, one feature per file pair named
// after it. They call shell/, views/, content/, resources/ and platform/.
// The article's title, reading text, caret and selection, and the index's lines
// with their depth, state and place, handed to the platform's accessibility layer.
#include "Accessibility.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "../content/ArticleRecords.h"
#include "../content/IndexRecords.h"
#include "../platform/Desktop.h"
#include "../views/TextMapping.h"
#include "../shell/AppState.h"
#include "CaretMode.h"
#include "Highlights.h"
#include "ReadingText.h"

namespace {

std::u16string Mapped(const BYTE* bytes, int count, BYTE style) {
    SetRunBase(style);
    const WCHAR* units = MapText(bytes, count, &gMapping);
    ResetRunBase();
    return units ? std::u16string(units) : std::u16string();
}

std::u16string TitleOf(const BYTE* article) {
    ArticleHeaderEntry title, subtitle;
    ReadArticleHeader(article, &title, &subtitle);
    return Mapped(title.text, (int)title.textLength, title.style);
}

// ---- The article ----

// The screen reader's calls may come at any time: without a view or memory they
// get the failure answer. Nothing thrown here may reach the platform.
template <class R, class Body>
R OnView(R failure, Body&& body) {
    ArticleView* view = gApp.articleView;
    if (!view || !view->article) return failure;
    try {
        return body(view);
    } catch (const std::bad_alloc&) {
        return failure;
    }
}

bool CharacterBox(HWND, int offset, RECT* box) {
    return OnView(false, [&](ArticleView* view) {
        int a = ArticleOffset(view, offset);
        const std::u16string* text = ReadingTextOf(view);
        // A line end has no cell of its own.
        return a >= 0 && text && (*text)[offset] != u'\n' && CharacterCell(view, a, box);
    });
}

int OffsetAt(HWND, int x, int y) {
    return OnView(-1, [&](ArticleView* view) {
        int a = CharacterAt(view, x, y);
        return a < 0 ? -1 : ReadingOffset(view, a);
    });
}

bool SetCaret(HWND window, int offset) {
    return OnView(false, [&](ArticleView*) { return PlaceCaret(window, offset); });
}

bool SetReadingSelection(HWND window, int start, int end) {
    return OnView(false, [&](ArticleView*) { return PlaceSelection(window, start, end); });
}

bool Attributes(HWND, int offset, AccessibleTextRun* run) {
    return OnView(false, [&](ArticleView* view) {
        if (!ReadingRun(view, offset, run)) return false;
        NarrowToHighlights(view, offset, run);
        return true;
    });
}

const AccessibleTextCalls kArticleCalls = {CharacterBox, OffsetAt, SetCaret, SetReadingSelection, Attributes};

void PublishArticle(HWND window, ArticleView* view) {
    const std::u16string* text = ReadingTextOf(view);
    if (!text) return;
    FollowReading(view);
    int from = 0, to = 0, start = 0, end = 0;
    VisibleRange(view, &from, &to);
    ReadingSpan(view, from, to, &start, &end);
    std::u16string visible = start >= 0 && end >= start ? text->substr(start, end - start) : std::u16string();
    std::u16string title = TitleOf(view->article);
    SetAccessibleTextCalls(window, &kArticleCalls);
    SetAccessibleText(window, title.c_str(), visible.c_str(), text->c_str());
    ReadingSpan(view, view->selectionStart, view->selectionEnd, &start, &end);
    if (!HasSelection(view)) start = end = CaretPlace();
    SetAccessibleCaret(window, CaretPlace(), start, end);
    const Note* note = NoteAtOffset(ArticleOffset(view, CaretPlace()));
    SetAccessibleDescription(window, note ? note->text.c_str() : u"");
}

// ---- The index ----

std::map<HWND, IndexView*> gIndexViews;

// The box of each shown line on the page, by line; empty when scrolled away.
std::vector<RECT> IndexBoxes(const IndexView* view) {
    std::vector<RECT> boxes(view->lineCount, RECT{0, 0, 0, 0});
    int row = 0, y = view->top;
    for (int i = 0; i < view->lineCount && view->lines[i].style; i++) {
        const IndexLine& line = view->lines[i];
        if (!(line.style & kIndexShown)) continue;
        if (row++ < view->topRow) continue;
        if (y + line.height > view->top + view->height) break;
        // The icon stands in the indent before the text.
        boxes[i] = {std::max<int>(line.x - kIndexIndent, view->left), y, line.x + line.width, y + line.height};
        y += line.height;
    }
    return boxes;
}

// The first line of the item-th record published, or -1.
int LineOfItem(const IndexView* view, int item) {
    uint16_t lastKey = 0;
    for (int i = 0; view->lines[i].style; i++) {
        const IndexLine& line = view->lines[i];
        if (!(line.style & kIndexShown) || line.key == lastKey) continue;
        lastKey = line.key;
        if (item-- == 0) return i;
    }
    return -1;
}

// The item is marked, then the window's own key does the rest.
void ActOnItem(HWND window, int item, TreeAction action) {
    auto it = gIndexViews.find(window);
    if (it == gIndexViews.end() || !IsWindow(window) || !it->second || !it->second->lines) return;
    int line = LineOfItem(it->second, item);
    if (line < 0) return;
    it->second->focus = line + 1;
    WPARAM key = action == TreeAction::Expand ? VK_RIGHT : action == TreeAction::Collapse ? VK_LEFT : VK_RETURN;
    SendMessageW(window, WM_KEYDOWN, key, 0);
}

// The index's lines as the tree's items, with their depth and state.
void PublishIndexLines(HWND window, IndexView* view) {
    int left = 0xFFFF;
    for (const IndexLine* line = view->lines; line->style; line++) left = std::min<int>(left, line->x);
    std::vector<std::u16string> texts;
    std::vector<AccessibleTreeItem> items;
    std::vector<RECT> boxes = IndexBoxes(view);
    const IndexLine* focused = FocusedLine(view);
    uint16_t lastKey = 0;
    for (const IndexLine* line = view->lines; line->style; line++) {
        // One item per record, from its first shown line.
        if (!(line->style & kIndexShown) || line->key == lastKey) continue;
        lastKey = line->key;
        const BYTE* text = view->index + line->offset;
        texts.push_back(Mapped(text, (int)std::strlen((const char*)text), kStylePlain));
        bool heading = (line->key & kKeyHeading) != 0;
        RECT box = boxes[line - view->lines];
        // The record's later lines widen and lengthen its box.
        for (const IndexLine* m = line + 1; m->style && m->key == line->key; m++)
            if (RECT more = boxes[m - view->lines]; more.right > more.left) {
                box.right = std::max(box.right, more.right);
                box.bottom = more.bottom;
            }
        items.push_back({nullptr, (line->x - left) / kIndexIndent, heading, (line->style & kIndexExpanded) != 0, box,
                         line == focused});
    }
    for (size_t i = 0; i < items.size(); i++) items[i].text = texts[i].c_str();
    gIndexViews[window] = view;
    SetAccessibleTreeAction(window, ActOnItem);
    SetAccessibleTree(window, items.data(), (int)items.size());
}

}  // namespace

// The strings made here may find no memory: the screen reader then keeps the text
// it had, and reading goes on.
void PublishArticleView(HWND window) {
    ArticleView* view = gApp.articleView;
    if (!view || !view->article) return;
    try {
        PublishArticle(window, view);
    } catch (const std::bad_alloc&) {
    }
}

// Likewise the tree keeps its items when there is no memory for the new ones.
void PublishIndexView(HWND window, IndexView* view) {
    if (!view || !view->index || !view->lines) return;
    try {
        PublishIndexLines(window, view);
    } catch (const std::bad_alloc&) {
    }
}

void NameSearchDialog(HWND dialog) {
    // The heading is the dialog's first text without a control id of its own.
    constexpr int kNoId = 0xFFFF;
    WCHAR heading[64];
    if (GetDlgItemTextW(dialog, kNoId, heading, (int)std::size(heading)) > 0) SetAccessibleName(dialog, heading);
}
